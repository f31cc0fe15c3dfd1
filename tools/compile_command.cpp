#include "tools/compile_command.h"

#include <iostream>

#include "compiler/status.h"

namespace scenario {

int run_compile_command(const std::vector<std::string>& args) {
  (void)args;
  std::cerr << "scenario_tool compile: not available yet\n";
  return kExitUsage;
}

}  // namespace scenario
