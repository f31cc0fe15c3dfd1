#include "tools/command_line.h"

#include <string>

namespace scenario {

CLI::Validator non_empty_value() {
  return CLI::Validator([](const std::string& value) { return value.empty() ? std::string("needs a value") : ""; },
                        "", "non-empty value");
}

}  // namespace scenario
