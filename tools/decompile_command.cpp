#include "tools/decompile_command.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <utility>

#include "compiler/binary_inputs.h"
#include "compiler/cp1252.h"
#include "compiler/decompile.h"
#include "compiler/file_names.h"
#include "compiler/status.h"
#include "compiler/track_model.h"
#include "driver/build_sequence.h"
#include "driver/file_replace.h"
#include "tools/compiled_files.h"
#include "tools/verbose_log.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool decompile";

constexpr const char* kDecompileUsage =
    "usage: scenario_tool decompile --dat FILE --sim FILE [--plan FILE] --out DIR\n"
    "                               [--line-name NAME] [--train-number NUM] [--verbose]\n"
    "\n"
    "Writes the line description and the train description that compile to the given files, into\n"
    "DIR (made when missing) under the standard names NAME_linea.txt and NAME_NUM-.txt, and proves\n"
    "them: 'scenario_tool compile' of the two (with --no-plan when no --plan was given) writes the\n"
    "same files, byte for byte.\n"
    "\n"
    "  --dat FILE           the track cells, NAME_NUM.dat\n"
    "  --sim FILE           the scenario record, NAME_NUM.sim\n"
    "  --plan FILE          the line record, NAME_linea.dat (without it no curves are written)\n"
    "  --out DIR            where the descriptions go\n"
    "  --line-name NAME     the line name (default: the one the scenario record holds)\n"
    "  --train-number NUM   the train number (default: the one the scenario record holds)\n"
    "  --verbose            tell what was read and written and how long each phase took\n"
    "\n"
    "Exit status: 0 the descriptions compile to the very same files; 1 the files hold something no\n"
    "description can give (each such place is reported: cell and metres, entry, or metre of the plan;\n"
    "the closest descriptions are still written); 3 a file could not be read, decoded or written;\n"
    "64 bad usage.\n";

struct DecompileOptions {
  std::string dat;
  std::string sim;
  std::string plan;
  std::string out;
  std::string line_name;     // UTF-8; empty: the scenario record's
  std::string train_number;  // UTF-8; empty: the scenario record's
  bool verbose = false;
  bool help = false;
};

Status parse_options(const std::vector<std::string>& args, DecompileOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    if (arg == "--verbose" || arg == "-v") {
      options->verbose = true;
      continue;
    }
    std::string* target = nullptr;
    if (arg == "--dat") target = &options->dat;
    if (arg == "--sim") target = &options->sim;
    if (arg == "--plan") target = &options->plan;
    if (arg == "--out") target = &options->out;
    if (arg == "--line-name") target = &options->line_name;
    if (arg == "--train-number") target = &options->train_number;
    if (target == nullptr) return Status::Usage("unexpected argument '" + arg + "'");
    if (i + 1 == args.size() || args[i + 1].empty()) return Status::Usage(arg + " needs a value");
    if (!target->empty()) return Status::Usage(arg + " given twice");
    *target = args[++i];
  }
  if (options->help) return Status::Ok();
  if (options->dat.empty()) return Status::Usage("--dat FILE is required");
  if (options->sim.empty()) return Status::Usage("--sim FILE is required");
  if (options->out.empty()) return Status::Usage("--out DIR is required");
  return Status::Ok();
}

int fail_usage(const Status& status) {
  std::cerr << kProgram << ": " << status.ToString() << "\n'scenario_tool decompile --help' explains the options.\n";
  return kExitUsage;
}

// The name the descriptions are named and compiled with: the option's, or the scenario record's.
// A name from the record must be usable in a file name.
Status choose_name(const std::string& option, const std::string& recorded_cp1252, const char* what,
                   std::string* utf8, std::string* cp1252) {
  if (!option.empty()) {
    *utf8 = option;
    *cp1252 = utf8_to_cp1252(option);
  } else {
    *utf8 = cp1252_to_utf8(recorded_cp1252);
    *cp1252 = recorded_cp1252;
  }
  if (utf8->empty() || utf8->find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
    return Status::Usage(std::string("the ") + what + " '" + *utf8 +
                         "' cannot name a file; give one with --" + (what[0] == 'l' ? "line-name" : "train-number"));
  }
  return Status::Ok();
}

// Reads and decodes the given files into `files`, strictly (a bad file is refused with its offset).
Status load_files(const DecompileOptions& options, CompileState* files, VerboseLog& log) {
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  Status status = load_track_cells(options.dat, &cells, log);
  if (status.ok()) status = load_scenario_record(options.sim, &record, log);
  if (status.ok() && !options.plan.empty()) {
    status = load_line_plan(options.plan, &plan, log);
    if (status.ok() && !plan.allocated()) {
      status = Status::FileSystem(options.plan, "at byte 0: the file is empty, a line record holds the plan of a line");
    }
  }
  if (status.ok()) adopt_decoded(std::move(cells), record, std::move(plan), files);
  return status;
}

void report_findings(const Findings& findings) {
  for (const Finding& finding : findings.kept()) {
    std::cerr << kProgram << ": " << finding.place << ": " << finding.words << "\n";
  }
  if (findings.count() > findings.kept().size()) {
    std::cerr << kProgram << ": and " << findings.count() - findings.kept().size() << " more findings\n";
  }
  std::cerr << kProgram
            << ": the files hold what no description gives; the closest descriptions were written" << std::endl;
}

}  // namespace

int run_decompile_command(const std::vector<std::string>& args) {
  DecompileOptions options;
  Status status = parse_options(args, &options);
  if (!status.ok()) return fail_usage(status);
  if (options.help) {
    std::cout << kDecompileUsage;
    return kExitClean;
  }

  VerboseLog log(options.verbose, std::cerr, kProgram);
  CompileState files;
  status = load_files(options, &files, log);
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
  std::filesystem::create_directories(options.out, error);
  if (error) return report_file_system_failure(Status::FileSystem(options.out, error.message()), kProgram);
  const ScenarioFileNames names = scenario_file_names(line_name, train_number);
  FolderSink sink(options.out);
  for (const auto& [name, bytes] : {std::pair{&names.line_description, &result.descriptions.line},
                                    std::pair{&names.train_description, &result.descriptions.train}}) {
    status = sink.write_file(*name, *bytes);
    if (!status.ok()) return report_file_system_failure(status, kProgram);
    log.phase("wrote " + (std::filesystem::path(options.out) / *name).string() + ", " +
              std::to_string(bytes->size()) + " bytes");
  }
  if (result.exact()) return kExitClean;
  report_findings(result.findings);
  return kExitCompileError;
}

}  // namespace scenario
