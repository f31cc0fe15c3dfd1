// scenario_tool compile: see run_compile_command.
#ifndef SCENARIO_TOOLS_COMPILE_COMMAND_H_
#define SCENARIO_TOOLS_COMPILE_COMMAND_H_

#include <string>
#include <vector>

namespace scenario {

// Runs 'scenario_tool compile' with the arguments after the command word; returns the exit status.
int run_compile_command(const std::vector<std::string>& args);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMPILE_COMMAND_H_
