#include "tools/decompile_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <utility>

#include "cli/command_line.h"
#include "cli/compiled_files.h"
#include "cli/reports.h"
#include "cli/verbose_log.h"
#include "decompile/decompile.h"
#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "format/binary_inputs.h"
#include "format/cp1252.h"
#include "format/file_names.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool decompile";

constexpr const char* kDecompileFooter =
    "Writes into DIR, under the standard names NAME_linea.txt and NAME_NUM-.txt, the line and the\n"
    "train description that compile to the given files, and proves them: 'scenario_tool compile' of\n"
    "the two (with --no-plan when no --plan was given) writes the same files, byte for byte.\n"
    "\n"
    "Exit status: 0 the descriptions compile to the very same files; 1 the files hold something no\n"
    "description gives (each such place is reported: cell and metres, entry, or metre of the plan;\n"
    "the closest descriptions are still written); 3 a file could not be read, decoded or written;\n"
    "64 bad usage.";

// A usage error found after parsing: one line and a pointer to --help, like the parser's own.
int fail_usage(const Status& status) {
  std::cerr << kProgram << ": " << status.ToString() << "\nRun '" << kProgram << " --help' for more information.\n";
  return kExitUsage;
}

// The name the descriptions are named and compiled with: the option's, or the scenario record's.
// A name from the record must be usable in a file name (the options' are checked when parsed).
Status choose_name(const std::string& option, const std::string& recorded_cp1252, const char* what, std::string* utf8,
                   std::string* cp1252) {
  if (!option.empty()) {
    *utf8 = option;
    *cp1252 = utf8_to_cp1252(option);
  } else {
    *utf8 = cp1252_to_utf8(recorded_cp1252);
    *cp1252 = recorded_cp1252;
  }
  std::string name = *utf8;
  if (name.empty() || !file_name_part()(name).empty()) {
    return Status::Usage(std::string("the ") + what + " '" + *utf8 + "' cannot name a file; give one with --" +
                         (what[0] == 'l' ? "line-name" : "train-number"));
  }
  return Status::Ok();
}

void report_findings(const Findings& findings) {
  for (const Finding& finding : findings.kept()) {
    std::cerr << kProgram << ": " << finding.place << ": " << finding.words << "\n";
  }
  if (findings.count() > findings.kept().size()) {
    std::cerr << kProgram << ": and " << findings.count() - findings.kept().size() << " more findings\n";
  }
  std::cerr << kProgram << ": the files hold what no description gives; the closest descriptions were written"
            << std::endl;
}

}  // namespace

CLI::App* add_decompile_command(CLI::App& app, DecompileOptions* options) {
  CLI::App* command =
      app.add_subcommand("decompile", "write the descriptions that compile to a scenario's files, byte for byte");
  command->add_option("--dat", options->dat, "the track cells, NAME_NUM.dat")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--sim", options->sim, "the scenario record, NAME_NUM.sim")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--plan", options->plan, "the line record, NAME_linea.dat (without it no curves are written)")
      ->type_name("FILE")->check(non_empty_value());
  command->add_option("--out", options->out, "where the descriptions go (made when missing)")
      ->type_name("DIR")->required()->check(non_empty_value());
  command->add_option("--line-name", options->line_name, "the line name (default: the scenario record's)")
      ->type_name("NAME")->check(non_empty_value())->check(file_name_part());
  command->add_option("--train-number", options->train_number, "the train number (default: the scenario record's)")
      ->type_name("NUM")->check(non_empty_value())->check(file_name_part());
  command->add_flag("-v,--verbose", options->verbose, "tell what was read and written and how long each phase took");
  command->add_flag("--no-wait", options->no_wait,
                    "refuse at once (status 3) when another run is writing into DIR, instead of waiting for it");
  command->footer(kDecompileFooter);
  return command;
}

int run_decompile_command(const DecompileOptions& options) {
  VerboseLog log(options.verbose, std::cerr, kProgram);
  ScenarioModel files;
  Status status = load_compiled_scenario(options.dat, options.sim, options.plan, &files, log);
  if (!status.ok()) return report_file_system_failure(status, kProgram);
  std::string line_name;
  std::string train_number;
  status = choose_name(options.line_name, files.line_name, "line name", &line_name, &files.line_name);
  if (status.ok()) {
    status = choose_name(options.train_number, files.train_number, "train number", &train_number, &files.train_number);
  }
  if (!status.ok()) return fail_usage(status);

  const DecompileResult result = decompile(files);
  log.phase(result.exact() ? "decompiled; the descriptions compile to the same files"
                           : "decompiled, with " + std::to_string(result.findings.count()) + " findings");

  std::error_code error;
  std::filesystem::create_directories(path_of(options.out), error);
  if (error) return report_file_system_failure(Status::FileSystem(options.out, error.message()), kProgram);
  const ScenarioFileNames names = scenario_file_names(line_name, train_number);
  FolderSink sink(options.out);
  if (const int refused = claim_output_folder(sink, kProgram, options.no_wait); refused != kExitClean) return refused;
  const std::pair<const std::string*, const std::string*> descriptions[] = {
      {&names.line_description, &result.descriptions.line}, {&names.train_description, &result.descriptions.train}};
  for (const auto& [name, bytes] : descriptions) {
    status = sink.write_file(*name, *bytes);
    if (!status.ok()) break;
  }
  if (const int failed = finish_writing(sink, status, kProgram); failed != kExitClean) return failed;
  for (const auto& [name, bytes] : descriptions) {
    log.phase("wrote " + utf8_of(path_of(options.out) / *name) + ", " + std::to_string(bytes->size()) +
              " bytes");
  }
  if (result.exact()) return kExitClean;
  report_findings(result.findings);
  return kExitCompileError;
}

}  // namespace scenario
