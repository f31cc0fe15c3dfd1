// What a console program does first on every system: takes its command-line arguments as UTF-8
// strings and makes standard output and standard error pass every byte unchanged.
//
// On POSIX the arguments are the bytes of argv as they are, and the streams change nothing
// already. On Windows the arguments are read from the system as UTF-16 (argv holds them in the
// ANSI code page, which cannot hold every letter of a path) and converted to UTF-8 once, here;
// standard output and standard error are put in binary mode, so that "\n" is not written as
// "\r\n" and a dump or a report holds the same bytes as on POSIX.
#ifndef SCENARIO_DISK_CONSOLE_H_
#define SCENARIO_DISK_CONSOLE_H_

#include <string>
#include <vector>

namespace scenario {

// The arguments, argv[0] first, as UTF-8.
std::vector<std::string> start_console_program(int argc, char** argv);

}  // namespace scenario

#endif  // SCENARIO_DISK_CONSOLE_H_
