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

// The names a pair of description files carries when they are named as the program names them:
// LINE_linea.txt gives the line name, LINE_NUM-.txt the train number (after its last '_') and,
// when the line description's name gives none, the line name. Only the last part of each path
// counts (after '/' or '\\'). A name given (an option) wins over the file's; a name neither given
// nor carried is the embedded scenario's, and `line_name_default` or `train_number_default` says so.
struct ChosenNames {
  std::string line_name;
  std::string train_number;
  bool line_name_from_file = false;
  bool train_number_from_file = false;
  std::string line_name_file;  // the path whose file name gave the line name
  bool line_name_default = false;
  bool train_number_default = false;
};
ChosenNames names_for_descriptions(const std::string& line_path, const std::string& train_path,
                                   const std::string* given_line_name, const std::string* given_train_number);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_FILE_NAMES_H_
