#include "tools/watch_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>

#include "cli/command_line.h"
#include "cli/description_input.h"
#include "cli/finding_formats.h"
#include "compiler/description_check.h"
#include "disk/file_replace.h"
#include "disk/file_watch.h"
#include "format/file_names.h"
#include "model/status.h"
#include "tools/compile_command.h"
#include "tools/render_command.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool watch";

constexpr const char* kWatchFooter =
    "Compiles the two descriptions into DIR at start, as 'scenario_tool compile' does, and again\n"
    "each time either of them is saved (one compile for one save, however the editor writes it).\n"
    "Each compile prints the check's findings in the editor form (FILE:LINE:COLUMN: ...) and then\n"
    "one line, \"compiled in N ms\". A description with an error is not compiled: the last good\n"
    "files stay in DIR (and the last good page in --page), so the simulator never loads a broken\n"
    "scenario. With --page the page of 'scenario_tool render' is drawn again after each compile.\n"
    "Ctrl-C ends it cleanly. Linux only for now (inotify); other systems say so.\n"
    "\n"
    "Exit status: 0 ended by Ctrl-C; 3 the descriptions' folders cannot be watched; 64 bad usage.";

// One round: check, and compile and render when the check finds no error.
void compile_once(const WatchOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  Description line;
  Description train;
  for (auto [path, description] : {std::pair{&options.line, &line}, std::pair{&options.train, &train}}) {
    const DescriptionInput input = read_description_file(*path, TextEncoding::kAuto, description);
    if (!input.status.ok() && !input.missing) {
      std::cout << kProgram << ": '" << *path << "': " << input.status.reason() << "; the last good files stay" << std::endl;
      return;
    }
  }
  const std::vector<CheckFinding> findings = check_descriptions(line, train, true, kDefaultMaxFindings).findings;
  std::cout << findings_text(findings);
  const bool error = std::any_of(findings.begin(), findings.end(),
                                 [](const CheckFinding& finding) { return finding.severity == Severity::kError; });
  if (error) {
    std::cout << kProgram << ": not compiled; the last good files stay in " << options.out << std::endl;
    return;
  }
  CompileOptions compile;
  compile.line = options.line;
  compile.train = options.train;
  compile.out = options.out;
  compile.quiet_warnings = true;  // printed above
  if (run_compile_command(compile) != kExitClean) {
    std::cout << kProgram << ": the compile failed" << std::endl;
    return;
  }
  if (!options.page.empty()) {
    // The names the compile chose: from the descriptions' standard file names, else the defaults.
    const ChosenNames chosen = names_for_descriptions(options.line, options.train, nullptr, nullptr);
    const ScenarioFileNames names = scenario_file_names(chosen.line_name, chosen.train_number);
    RenderOptions render;
    render.dat = path_in_folder(options.out, names.track_cells);
    render.sim = path_in_folder(options.out, names.scenario_record);
    render.plan = path_in_folder(options.out, names.line_record);
    render.out = options.page;
    if (run_render_command(render) != kExitClean) std::cout << kProgram << ": the page was not drawn" << std::endl;
  }
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::cout << "compiled in " << took.count() << " ms" << std::endl;
}

}  // namespace

CLI::App* add_watch_command(CLI::App& app, WatchOptions* options) {
  CLI::App* command = app.add_subcommand("watch", "compile two descriptions again whenever one is saved");
  command->add_option("--line", options->line, "the line description")->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--train", options->train, "the train description")->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--out", options->out, "where the compiled files go (made when missing)")
      ->type_name("DIR")->required()->check(non_empty_value());
  command->add_option("--page", options->page, "draw the page of 'render' there after each compile")
      ->type_name("DIR")->check(non_empty_value());
  command->footer(kWatchFooter);
  return command;
}

int run_watch_command(const WatchOptions& options) {
  Status status;
  const std::unique_ptr<FileWatch> watch = start_file_watch({options.line, options.train}, &status);
  if (watch == nullptr) {
    std::cerr << kProgram << ": " << (status.path().empty() ? "" : "'" + status.path() + "': ") << status.reason()
              << std::endl;
    return kExitFileSystem;
  }
  compile_once(options);
  for (;;) {
    WatchEvent event = watch->wait(-1);
    // One save is often several writes (truncate, write, rename): wait until they settle.
    while (event == WatchEvent::kChanged) {
      event = watch->wait(options.settle_ms);
      if (event == WatchEvent::kTimeout) break;
    }
    if (event == WatchEvent::kInterrupted) {
      std::cout << kProgram << ": ended" << std::endl;
      return kExitClean;
    }
    compile_once(options);
  }
}

}  // namespace scenario
