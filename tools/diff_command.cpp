#include "tools/diff_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

#include "cli/command_line.h"
#include "cli/compiled_files.h"
#include "cli/verbose_log.h"
#include "diff/scenario_diff.h"
#include "disk/native_path.h"
#include "format/binary_inputs.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool diff";

constexpr const char* kDiffFooter =
    "Says what changed from OLD to NEW as an author thinks of it: header values; stations by name\n"
    "(added, removed, moved, retimed); signals, slowdowns, boards and cut-off points by position\n"
    "(added, removed, moved, changed); speed limits, gradients, adhesion and mountain types by\n"
    "stretch; the stretch of the plan that moved, and by how much. OLD and NEW are folders that\n"
    "each hold one scenario's compiled files (LINE_NUM.dat, LINE_NUM.sim and, when there,\n"
    "LINE_linea.dat); or give the files: --dat OLD NEW --sim OLD NEW [--plan OLD NEW].\n"
    "Prints nothing when nothing differs.\n"
    "\n"
    "Exit status: 0 nothing differs; 1 something does; 3 a file could not be found, read or\n"
    "decoded; 64 bad usage.";

// The compiled files of one side.
struct SideFiles {
  std::string dat;
  std::string sim;
  std::string plan;  // empty: no line record
};

// The one scenario in a folder: its .sim, the .dat of the same name and the line record of its line.
Status files_in_folder(const std::string& folder, SideFiles* files) {
  std::error_code error;
  std::vector<std::string> sims;
  for (const auto& entry : std::filesystem::directory_iterator(path_of(folder), error)) {
    const std::string name = utf8_of(entry.path().filename());
    if (name.ends_with(".sim")) sims.push_back(name);
  }
  if (error) return Status::FileSystem(folder, error.message());
  if (sims.size() != 1) {
    return Status::FileSystem(folder, sims.empty() ? "no compiled scenario (no .sim file) in it"
                                                   : "more than one compiled scenario (.sim file) in it");
  }
  const std::string stem = sims.front().substr(0, sims.front().size() - 4);
  files->sim = utf8_of(path_of(folder) / sims.front());
  files->dat = utf8_of(path_of(folder) / (stem + ".dat"));
  for (const auto& entry : std::filesystem::directory_iterator(path_of(folder), error)) {
    const std::string name = utf8_of(entry.path().filename());
    const std::string suffix = "_linea.dat";
    if (!name.ends_with(suffix)) continue;
    const std::string line = name.substr(0, name.size() - suffix.size());
    if (stem.starts_with(line + "_")) files->plan = utf8_of(path_of(folder) / name);
  }
  return Status::Ok();
}

int fail(const Status& status) {
  std::cerr << kProgram << ": " << status.ToString() << "\n";
  return kExitFileSystem;
}

int usage(const std::string& words) {
  std::cerr << kProgram << ": " << words << "\nRun '" << kProgram << " --help' for more information.\n";
  return kExitUsage;
}

}  // namespace

CLI::App* add_diff_command(CLI::App& app, DiffOptions* options) {
  CLI::App* command = app.add_subcommand("diff", "say what changed between two compiled scenarios");
  command->add_option("FOLDERS", options->folders, "OLD and NEW, two folders of compiled files")
      ->type_name("")->expected(2)->check(non_empty_value());
  command->add_option("--dat", options->dat, "the track cells, old and new")
      ->type_name("FILE")->expected(2)->check(non_empty_value());
  command->add_option("--sim", options->sim, "the scenario records, old and new")
      ->type_name("FILE")->expected(2)->check(non_empty_value());
  command->add_option("--plan", options->plan, "the line records, old and new")
      ->type_name("FILE")->expected(2)->check(non_empty_value());
  command->add_option("--format", options->format, "text (the default) or JSON")
      ->type_name("FORMAT")->check(CLI::IsMember({"text", "json"}));
  command->add_flag("-v,--verbose", options->verbose, "tell what was read and how long each phase took");
  command->footer(kDiffFooter);
  return command;
}

int run_diff_command(const DiffOptions& options) {
  VerboseLog log(options.verbose, std::cerr, kProgram);
  SideFiles sides[2];
  if (!options.folders.empty()) {
    if (!options.dat.empty() || !options.sim.empty() || !options.plan.empty()) {
      return usage("give two folders, or the files with --dat and --sim, not both");
    }
    for (size_t i = 0; i < 2; ++i) {
      if (const Status status = files_in_folder(options.folders[i], &sides[i]); !status.ok()) return fail(status);
    }
  } else {
    if (options.dat.empty() || options.sim.empty()) return usage("give two folders, or --dat OLD NEW and --sim OLD NEW");
    for (size_t i = 0; i < 2; ++i) {
      sides[i] = {options.dat[i], options.sim[i], options.plan.empty() ? "" : options.plan[i]};
    }
  }
  ScenarioModel models[2];
  for (size_t i = 0; i < 2; ++i) {
    const Status status = load_compiled_scenario(sides[i].dat, sides[i].sim, sides[i].plan, &models[i], log);
    if (!status.ok()) return fail(status);
  }
  const std::vector<ScenarioChange> changes = scenario_diff(models[0], models[1]);
  log.phase("compared: " + std::to_string(changes.size()) + (changes.size() == 1 ? " change" : " changes"));
  if (options.format == "json") {
    std::cout << diff_json(changes);
  } else {
    std::cout << diff_text(changes);
  }
  std::cout << std::flush;
  return changes.empty() ? kExitClean : kExitCompileError;
}

}  // namespace scenario
