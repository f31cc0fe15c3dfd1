// scenario_tool fmt: lays description files out as the program writes its own (the writer's
// blanks for every record it fully understands, CR LF line ends), in place; --check only tells
// which files are not laid out. The layout never changes what a description compiles to
// (description/description_layout.h).
#ifndef SCENARIO_TOOLS_FMT_COMMAND_H_
#define SCENARIO_TOOLS_FMT_COMMAND_H_

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace scenario {

struct FmtOptions {
  std::vector<std::string> files;
  bool check = false;  // write nothing; list the files that are not laid out
};

// Declares 'fmt' and its options on `app`; parsing the command line fills *options.
CLI::App* add_fmt_command(CLI::App& app, FmtOptions* options);

// Lays the files out; returns the exit status (0 every file laid out, 1 with --check: a file is
// not laid out, 3 a file could not be read or written).
int run_fmt_command(const FmtOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_FMT_COMMAND_H_
