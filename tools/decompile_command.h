// scenario_tool decompile: see run_decompile_command.
#ifndef SCENARIO_TOOLS_DECOMPILE_COMMAND_H_
#define SCENARIO_TOOLS_DECOMPILE_COMMAND_H_

#include <string>
#include <vector>

namespace scenario {

// Runs 'scenario_tool decompile' with the arguments after the command word; returns the exit status.
int run_decompile_command(const std::vector<std::string>& args);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DECOMPILE_COMMAND_H_
