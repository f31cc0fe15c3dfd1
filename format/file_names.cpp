#include "format/file_names.h"

#include <optional>
#include <string_view>

namespace scenario {
namespace {

// The last part of a path, after its last '/' or '\\'.
std::string_view base_name(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The name before `suffix` when `name` ends in it and something stands before it.
std::optional<std::string> before_suffix(std::string_view name, std::string_view suffix) {
  if (name.size() <= suffix.size() || !name.ends_with(suffix)) return std::nullopt;
  return std::string(name.substr(0, name.size() - suffix.size()));
}

}  // namespace

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

ChosenNames names_for_descriptions(const std::string& line_path, const std::string& train_path,
                                   const std::string* given_line_name, const std::string* given_train_number) {
  std::optional<std::string> line_from_file = before_suffix(base_name(line_path), "_linea.txt");
  std::string line_file = line_path;
  std::optional<std::string> number_from_file;
  if (const std::optional<std::string> scenario = before_suffix(base_name(train_path), "-.txt")) {
    const size_t underscore = scenario->rfind('_');
    if (underscore != std::string::npos && underscore > 0 && underscore + 1 < scenario->size()) {
      number_from_file = scenario->substr(underscore + 1);
      if (!line_from_file) {
        line_from_file = scenario->substr(0, underscore);
        line_file = train_path;
      }
    }
  }
  ChosenNames chosen;
  if (given_line_name != nullptr) {
    chosen.line_name = *given_line_name;
  } else if (line_from_file) {
    chosen.line_name = *line_from_file;
    chosen.line_name_from_file = true;
    chosen.line_name_file = line_file;
  } else {
    chosen.line_name = kEmbeddedLineName;
    chosen.line_name_default = true;
  }
  if (given_train_number != nullptr) {
    chosen.train_number = *given_train_number;
  } else if (number_from_file) {
    chosen.train_number = *number_from_file;
    chosen.train_number_from_file = true;
  } else {
    chosen.train_number = kEmbeddedTrainNumber;
    chosen.train_number_default = true;
  }
  return chosen;
}

}  // namespace scenario
