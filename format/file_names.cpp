#include "format/file_names.h"

namespace scenario {

ScenarioFileNames scenario_file_names(const std::string& line_name, const std::string& train_number) {
  const std::string scenario = line_name + "_" + train_number;
  ScenarioFileNames names;
  names.line_description = line_name + "_linea.txt";
  names.train_description = scenario + "-.txt";
  names.notes = scenario + "_note.txt";
  names.slowdown_order = scenario + "_rallentamenti.txt";
  names.timetable_card = scenario + "_scheda_treno.txt";
  names.line_record = line_name + "_linea.dat";
  names.scenario_record = scenario + ".sim";
  names.track_cells = scenario + ".dat";
  return names;
}

}  // namespace scenario
