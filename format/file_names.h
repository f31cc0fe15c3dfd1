// The names of every file of a scenario, built from its line name and train number.
//
// line description  LINE_linea.txt          (temporary)
// train description LINE_TRAIN-.txt         (temporary; note the hyphen)
// documents         LINE_TRAIN_note.txt, LINE_TRAIN_rallentamenti.txt, LINE_TRAIN_scheda_treno.txt
// line record       LINE_linea.dat
// scenario record   LINE_TRAIN.sim
// track cells       LINE_TRAIN.dat
#ifndef SCENARIO_FORMAT_FILE_NAMES_H_
#define SCENARIO_FORMAT_FILE_NAMES_H_

#include <string>

namespace scenario {

// The embedded scenario's names.
inline constexpr const char* kEmbeddedLineName = "MorvellaC_DrasconaX";
inline constexpr const char* kEmbeddedTrainNumber = "5521";

struct ScenarioFileNames {
  std::string line_description;
  std::string train_description;
  std::string notes;
  std::string slowdown_order;
  std::string timetable_card;
  std::string line_record;
  std::string scenario_record;
  std::string track_cells;
};

ScenarioFileNames scenario_file_names(const std::string& line_name, const std::string& train_number);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_FILE_NAMES_H_
