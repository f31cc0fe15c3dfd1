// scenario_tool check: reads a line and a train description as the compile reads them and
// reports every finding at once (every compile error, also those past the first, and warnings on
// what the compile accepts silently), in text, JSON or SARIF on standard output. Writes no file.
#ifndef SCENARIO_TOOLS_CHECK_COMMAND_H_
#define SCENARIO_TOOLS_CHECK_COMMAND_H_

#include <cstddef>
#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct CheckOptions {
  std::string line;              // the line description file
  std::string train;             // the train description file
  std::string format = "text";   // "text", "json" or "sarif"
  std::string encoding = "auto";  // "auto", "cp1252" or "utf-8"
  bool werror = false;           // a warning fails the check too
  bool plan = true;              // read the curves, as a compile that builds the line record does
  size_t max_findings = 300;     // findings written of each file (0: all); the same as kDefaultMaxFindings
};

// Declares 'check' and its options on `app`; parsing the command line fills *options.
CLI::App* add_check_command(CLI::App& app, CheckOptions* options);

// Runs the check; returns the exit status (0 no error, 1 an error or, with werror, any finding,
// 3 a file could not be read). A description that is not there is the compile's error (101 for
// the line, 25 for the train), as compile reports it.
int run_check_command(const CheckOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_CHECK_COMMAND_H_
