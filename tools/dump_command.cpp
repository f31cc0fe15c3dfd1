#include "tools/dump_command.h"

#include <iostream>

#include "compiler/status.h"

namespace scenario {

int run_dump_command(const std::vector<std::string>& args) {
  (void)args;
  std::cerr << "scenario_tool dump: not available yet\n";
  return kExitUsage;
}

}  // namespace scenario
