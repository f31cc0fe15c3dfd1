#include "tools/build_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "cli/command_line.h"
#include "cli/embedded_build.h"
#include "cli/reports.h"
#include "compiler/error_catalogue.h"
#include "disk/native_path.h"
#include "model/status.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool build";

constexpr const char* kBuildFooter =
    "Builds the embedded scenario (line MorvellaC_DrasconaX, train 5521) into DIR, exactly as\n"
    "scenario_build does into its own folder, and writes there:\n"
    "  MorvellaC_DrasconaX_5521.dat                    the track cells\n"
    "  MorvellaC_DrasconaX_5521.sim                    the scenario record\n"
    "  MorvellaC_DrasconaX_linea.dat                   the line record\n"
    "  MorvellaC_DrasconaX_5521_scheda_treno.txt       the timetable card\n"
    "  MorvellaC_DrasconaX_5521_rallentamenti.txt      the slowdown order\n"
    "  MorvellaC_DrasconaX_5521_note.txt               the notes\n"
    "The two descriptions are written there, compiled and removed again. A second run into DIR\n"
    "waits for the first (--no-wait: refuses).\n"
    "\n"
    "Exit status: 0 built cleanly; 1 a compile error; 2 a fatal report; 3 a file could not be read,\n"
    "written or removed; 64 bad usage.";

}  // namespace

CLI::App* add_build_command(CLI::App& app, BuildOptions* options) {
  CLI::App* command = app.add_subcommand("build", "build the embedded scenario's six files into a folder");
  command->add_option("--out", options->out, "where the files go (made when missing)")
      ->type_name("DIR")->capture_default_str()->check(non_empty_value());
  command->add_flag("--no-wait", options->no_wait,
                    "refuse at once (status 3) when another run is writing into DIR, instead of waiting for it");
  command->footer(kBuildFooter);
  return command;
}

int run_build_command(const BuildOptions& options) {
  std::error_code error;
  std::filesystem::create_directories(path_of(options.out), error);
  if (error) return report_file_system_failure(Status::FileSystem(options.out, error.message()), kProgram);
  const EmbeddedBuildResult result =
      build_embedded_scenario(options.out, kProgram, options.no_wait ? LockWait::kRefuse : LockWait::kWait);
  if (result.fatal != 0) {
    std::cerr << fatal_report(std::to_string(result.fatal)) << std::endl;
    return kExitFatal;
  }
  return result.status;
}

}  // namespace scenario
