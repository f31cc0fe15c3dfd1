// scenario_tool diff: says what changed between two compiled scenarios as an author thinks of it
// (diff/scenario_diff.h), as text or JSON, with diff's exit statuses.
#ifndef SCENARIO_TOOLS_DIFF_COMMAND_H_
#define SCENARIO_TOOLS_DIFF_COMMAND_H_

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace scenario {

struct DiffOptions {
  std::vector<std::string> folders;  // OLD and NEW: folders of compiled files
  std::vector<std::string> dat;      // or the files, each option with OLD and NEW
  std::vector<std::string> sim;
  std::vector<std::string> plan;
  std::string format = "text";
  bool verbose = false;
};

// Declares 'diff' and its options on `app`; parsing the command line fills *options.
CLI::App* add_diff_command(CLI::App& app, DiffOptions* options);

// Compares; returns the exit status (0 nothing differs, 1 something does, 3 a file could not be
// found, read or decoded, 64 bad usage).
int run_diff_command(const DiffOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DIFF_COMMAND_H_
