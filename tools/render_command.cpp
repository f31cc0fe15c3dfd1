#include "tools/render_command.h"

#include <iostream>

#include "compiler/status.h"

namespace scenario {

int run_render_command(const std::vector<std::string>& args) {
  (void)args;
  std::cerr << "scenario_tool render: not available yet\n";
  return kExitUsage;
}

}  // namespace scenario
