// scenario_tool build: builds the embedded scenario into a folder, as scenario_build does into its
// own: the same six files (three binary files and three documents for the driver), byte for byte,
// the two descriptions written, compiled and removed again.
#ifndef SCENARIO_TOOLS_BUILD_COMMAND_H_
#define SCENARIO_TOOLS_BUILD_COMMAND_H_

#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct BuildOptions {
  std::string out = ".";  // where the six files go (made when missing)
  bool no_wait = false;   // refuse when another run is writing into `out`
};

// Declares 'build' and its options on `app`; parsing the command line fills *options.
CLI::App* add_build_command(CLI::App& app, BuildOptions* options);

// Runs the build; returns the exit status, scenario_build's (0 clean, 1 compile error, 2 fatal
// report, 3 a file could not be read, written or removed).
int run_build_command(const BuildOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_BUILD_COMMAND_H_
