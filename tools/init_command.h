// scenario_tool init: writes the embedded scenario's line and train descriptions, byte for byte
// as scenario_build writes them before compiling, into a folder, as a start for one's own; with
// --empty the short scenario's instead (scenario/short_scenario.h: a 12 km line with every record
// kind, the one doc/tutorial.md builds).
#ifndef SCENARIO_TOOLS_INIT_COMMAND_H_
#define SCENARIO_TOOLS_INIT_COMMAND_H_

#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct InitOptions {
  std::string folder = ".";  // where the descriptions go (made when missing)
  bool force = false;        // replace descriptions already there
  bool empty = false;        // the short scenario instead of the embedded one
};

// Declares 'init' and its options on `app`; parsing the command line fills *options.
CLI::App* add_init_command(CLI::App& app, InitOptions* options);

// Writes the two descriptions; returns the exit status (0 written, 1 a description is already
// there and --force was not given: nothing written, 3 a file could not be written).
int run_init_command(const InitOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_INIT_COMMAND_H_
