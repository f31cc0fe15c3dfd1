#include "tools/init_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/command_line.h"
#include "cli/reports.h"
#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "model/status.h"
#include "scenario/line_table.h"
#include "scenario/short_scenario.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool init";

constexpr const char* kInitFooter =
    "Writes into DIR (default: the current folder) the embedded scenario's descriptions, exactly as\n"
    "scenario_build writes them before compiling (code page 1252, CR LF):\n"
    "  MorvellaC_DrasconaX_linea.txt    the line description\n"
    "  MorvellaC_DrasconaX_5521-.txt    the train description\n"
    "With --empty, the short scenario instead: a 12 km line with three stations, curves, gradients,\n"
    "a tunnel, boards, signals and a slowdown (the one doc/tutorial.md builds step by step):\n"
    "  Valbruna_linea.txt               the line description\n"
    "  Valbruna_8842-.txt               the train description\n"
    "Edit them, then run 'scenario_tool check' and 'scenario_tool compile' on them.\n"
    "\n"
    "Exit status: 0 written; 1 a description is already there (nothing written; --force replaces\n"
    "it); 3 a file could not be written; 64 bad usage.";

}  // namespace

CLI::App* add_init_command(CLI::App& app, InitOptions* options) {
  CLI::App* command = app.add_subcommand("init", "write the embedded scenario's descriptions to start from");
  command->add_option("DIR", options->folder, "where the descriptions go (made when missing)")
      ->type_name("DIR")->capture_default_str()->check(non_empty_value());
  command->add_flag("--force", options->force, "replace descriptions already there");
  command->add_flag("--empty", options->empty,
                    "write the short 12 km scenario (every record kind once or twice) instead of the embedded one");
  command->footer(kInitFooter);
  return command;
}

int run_init_command(const InitOptions& options) {
  const ScenarioFileNames names = options.empty ? scenario_file_names(kShortLineName, kShortTrainNumber)
                                                : scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  MemorySink texts;
  Status status = options.empty ? scrivi_righe(texts, names.line_description, short_line_table())
                                : dati_linea(texts, names);
  if (status.ok()) {
    status = options.empty ? scrivi_righe(texts, names.train_description, short_train_table())
                           : dati_treno(texts, names);
  }
  if (!status.ok()) return report_file_system_failure(status, kProgram);

  const std::filesystem::path folder = path_of(options.folder);
  const std::string descriptions[] = {names.line_description, names.train_description};
  if (!options.force) {
    bool refused = false;
    for (const std::string& name : descriptions) {
      std::error_code error;
      if (std::filesystem::exists(folder / name, error) || error) {
        std::cerr << kProgram << ": '" << utf8_of(folder / name)
                  << "' is already there; nothing written (--force replaces it)" << std::endl;
        refused = true;
      }
    }
    if (refused) return kExitCompileError;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return report_file_system_failure(Status::FileSystem(options.folder, error.message()), kProgram);
  for (const std::string& name : descriptions) {
    status = replace_file(utf8_of(folder / name), texts.files.at(name));
    if (!status.ok()) return report_file_system_failure(status, kProgram);
  }
  return kExitClean;
}

}  // namespace scenario
