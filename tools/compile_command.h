// scenario_tool compile: compiles a line and a train description given on the command line into
// the simulator's files, exactly as scenario_build compiles its own, and leaves the descriptions
// alone.
#ifndef SCENARIO_TOOLS_COMPILE_COMMAND_H_
#define SCENARIO_TOOLS_COMPILE_COMMAND_H_

#include <string>

#include "format/file_names.h"

namespace CLI {
class App;
}

namespace scenario {

struct CompileOptions {
  std::string line;   // the line description file
  std::string train;  // the train description file
  std::string out;    // the folder the compiled files go to (made when missing)
  // UTF-8; name the files and entries 85 and 86. Not given, they come from the descriptions' file
  // names when those are the standard ones, else these defaults are used (and said so).
  std::string line_name = kEmbeddedLineName;
  std::string train_number = kEmbeddedTrainNumber;
  bool line_name_given = false;
  bool train_number_given = false;
  bool plan = true;  // build and write the line record
  std::string encoding = "auto";  // the descriptions': "auto", "cp1252" or "utf-8"
  bool verbose = false;
  bool werror = false;          // a warning of the check makes the exit status 1
  bool quiet_warnings = false;  // the check's warnings are not printed
  bool no_wait = false;         // refuse when another run is writing into `out`
};

// Declares 'compile' and its options on `app`; parsing the command line fills *options.
CLI::App* add_compile_command(CLI::App& app, CompileOptions* options);

// Runs the compile; returns the exit status (0 clean, 1 compile error, or with werror a warning,
// 2 fatal report, 3 a file could not be read or written). The check's warnings on the same texts
// go to standard error first, in the editor form, unless quiet_warnings.
int run_compile_command(const CompileOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_COMPILE_COMMAND_H_
