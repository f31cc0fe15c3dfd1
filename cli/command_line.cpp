#include "cli/command_line.h"

#include <string>

namespace scenario {

CLI::Validator non_empty_value() {
  return CLI::Validator([](const std::string& value) { return value.empty() ? std::string("needs a value") : ""; },
                        "", "non-empty value");
}

CLI::Validator file_name_part() {
  return CLI::Validator(
      [](const std::string& name) {
        if (name.find_first_of(std::string("/\\\0", 3)) == std::string::npos) return std::string();
        return "'" + name + "' must not hold a path separator";
      },
      "", "file name part");
}

}  // namespace scenario
