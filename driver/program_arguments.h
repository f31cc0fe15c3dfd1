// What scenario_build takes on its command line: nothing, --help or --version.
//
// The program's whole interface is to be started: it builds the embedded scenario into its own
// folder. --help says so (and names scenario_tool build for building elsewhere), --version gives
// the version; either answers on standard output, builds nothing and ends with status 0. Any other
// argument is a usage error: one line, a pointer to --help, status 64, nothing built.
#ifndef SCENARIO_DRIVER_PROGRAM_ARGUMENTS_H_
#define SCENARIO_DRIVER_PROGRAM_ARGUMENTS_H_

#include <optional>
#include <string>
#include <vector>

namespace scenario {

// The exit status when the arguments (argv[1] on) are answered without a build; nothing when the
// program is to build.
std::optional<int> answer_arguments(const std::vector<std::string>& arguments);

// The refusal of a program folder the program must not write into, for `why`
// (driver/program_folder.h: folder_refusal): the folder, why, and how to build the scenario
// elsewhere. Returns 3.
int refuse_program_folder(const std::string& folder, const std::string& why);

}  // namespace scenario

#endif  // SCENARIO_DRIVER_PROGRAM_ARGUMENTS_H_
