// scenario_tool render: see run_render_command.
#ifndef SCENARIO_TOOLS_RENDER_COMMAND_H_
#define SCENARIO_TOOLS_RENDER_COMMAND_H_

#include <string>
#include <vector>

namespace scenario {

// Runs 'scenario_tool render' with the arguments after the command word; returns the exit status.
int run_render_command(const std::vector<std::string>& args);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_RENDER_COMMAND_H_
