// What scenario_tool's commands share on the command line, beside CLI11 itself.
//
// Each command declares its options on a CLI::App subcommand (see scenario_tool_main.cpp); the
// checks of option values that more than one command needs are here, as CLI11 validators, so that
// a bad value is a usage error like any other (one line, a pointer to --help, exit status 64).
#ifndef SCENARIO_CLI_COMMAND_LINE_H_
#define SCENARIO_CLI_COMMAND_LINE_H_

#include <CLI/CLI.hpp>

namespace scenario {

// Refuses an empty value ("--out ''"): "needs a value".
CLI::Validator non_empty_value();

// Refuses a name that is part of file names and of the scenario record (--line-name,
// --train-number): an empty one, one holding a path separator (it would lead out of the folder
// its files go to) or a control character, text that is not UTF-8, and a character code page 1252
// cannot hold (the scenario record holds the name in that code page).
CLI::Validator file_name_part();

}  // namespace scenario

#endif  // SCENARIO_CLI_COMMAND_LINE_H_
