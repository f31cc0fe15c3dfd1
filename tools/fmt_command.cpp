#include "tools/fmt_command.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/command_line.h"
#include "cli/reports.h"
#include "description/description_layout.h"
#include "disk/file_replace.h"
#include "model/status.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool fmt";

constexpr const char* kFmtFooter =
    "Lays each description out as the program writes its own: every record whose keyword and values\n"
    "it fully understands gets the writer's blanks and right-aligned values, section headers lose\n"
    "the blanks around them, every other line keeps its bytes, and every line ends in CR LF. What a\n"
    "description compiles to never changes. A file is replaced whole (never half-written), and only\n"
    "when its layout changes.\n"
    "\n"
    "Exit status: 0 every file is laid out; 1 with --check: a file is not laid out (each such file\n"
    "is named on standard output, nothing is written); 3 a file could not be read or written (the\n"
    "other files are still done); 64 bad usage.";

}  // namespace

CLI::App* add_fmt_command(CLI::App& app, FmtOptions* options) {
  CLI::App* command = app.add_subcommand("fmt", "lay description files out as the program writes its own");
  command->add_option("FILE", options->files, "a line or train description")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_flag("--check", options->check, "write nothing; name the files that are not laid out and exit 1");
  command->footer(kFmtFooter);
  return command;
}

int run_fmt_command(const FmtOptions& options) {
  int status = kExitClean;
  for (const std::string& file : options.files) {
    std::string bytes;
    Status read = read_file(file, &bytes);
    if (!read.ok()) {
      status = report_file_system_failure(read, kProgram);
      continue;
    }
    const std::string laid = lay_out_description(bytes);
    if (laid == bytes) continue;
    if (options.check) {
      std::cout << file << "\n";
      if (status == kExitClean) status = kExitCompileError;
      continue;
    }
    const Status written = replace_file(file, laid);
    if (!written.ok()) status = report_file_system_failure(written, kProgram);
  }
  std::cout.flush();
  return status;
}

}  // namespace scenario
