// scenario_tool dump: see run_dump_command.
#ifndef SCENARIO_TOOLS_DUMP_COMMAND_H_
#define SCENARIO_TOOLS_DUMP_COMMAND_H_

#include <string>
#include <vector>

namespace scenario {

// Runs 'scenario_tool dump' with the arguments after the command word; returns the exit status.
int run_dump_command(const std::vector<std::string>& args);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DUMP_COMMAND_H_
