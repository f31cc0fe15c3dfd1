// scenario_tool dump: shows a compiled file (track cells, scenario record or line record, told
// apart by name) as stable text or as JSON on standard output.
#ifndef SCENARIO_TOOLS_DUMP_COMMAND_H_
#define SCENARIO_TOOLS_DUMP_COMMAND_H_

#include <cstdint>
#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct DumpOptions {
  std::string file;
  std::string format = "text";  // "text" or "json"
  std::string kind;             // "dat", "sim" or "plan"; empty: told by the file's name
  int32_t step = 50;            // for a line record: a point every `step` metres, 1 or more
  bool verbose = false;
};

// Declares 'dump' and its options on `app`; parsing the command line fills *options.
CLI::App* add_dump_command(CLI::App& app, DumpOptions* options);

// Runs the dump; returns the exit status (0, 3 when the file cannot be read or decoded, 64 when
// its name does not tell its kind).
int run_dump_command(const DumpOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_DUMP_COMMAND_H_
