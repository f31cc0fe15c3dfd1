#include "tools/compile_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "cli/description_input.h"
#include "cli/finding_formats.h"
#include "cli/reports.h"
#include "cli/verbose_log.h"
#include "compiler/compile.h"
#include "compiler/description_check.h"
#include "compiler/error_catalogue.h"
#include "description/description_text.h"
#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "format/binary_outputs.h"
#include "format/cp1252.h"
#include "format/file_names.h"
#include "model/status.h"
#include "model/track_model.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool compile";

constexpr const char* kCompileFooter =
    "Compiles exactly as scenario_build compiles its own scenario, and writes into DIR:\n"
    "  NAME_linea.dat    the line record (not with --no-plan)\n"
    "  NAME_NUM.sim      the scenario record\n"
    "  NAME_NUM.dat      the track cells\n"
    "The description files are only read: they are never changed or deleted. The warnings that\n"
    "check gives on the same descriptions go to standard error first (not with --quiet-warnings).\n"
    "A run owns DIR until its files are in place: a second run into DIR waits for it (--no-wait:\n"
    "refuses), and the three files are replaced as one set, never a mix of two runs.\n"
    "\n"
    "Exit status: 0 compiled cleanly; 1 a compile error (reported on standard error; the files are\n"
    "written when a track model was built), or with --werror a warning; 2 a fatal report\n"
    "(\" Errore n. 1250\" or \"1251\"), no file written; 3 a file could not be read or written; 64 bad\n"
    "usage.";

// Reads a description file given on the command line. A file that is not there is a description
// that does not exist (the compile reports it); any other failure is a file-system failure, and a
// UTF-8 file with a character code page 1252 cannot hold is refused with its place (status 3).
int read_given_description(const std::string& path, TextEncoding encoding, Description* description,
                           VerboseLog& log) {
  const DescriptionInput input = read_description_file(path, encoding, description);
  if (input.missing) {
    log.phase("found no file " + path);
    return kExitClean;
  }
  if (!input.status.ok()) return report_file_system_failure(input.status, kProgram);
  if (!input.decoded.ok) {
    std::cerr << editor_line(input.decoded.place, "error", input.decoded.words) << "\n"
              << kProgram << ": no file written" << std::endl;
    return kExitFileSystem;
  }
  log.phase("read " + path + ", " + std::to_string(description->bytes.size()) + " bytes" +
            (input.decoded.was_utf8 ? ", UTF-8 converted to code page 1252" : ""));
  return kExitClean;
}

// Writes the compiled files into the output folder and leaves the description files alone; tells
// the verbose log when the compile proper has ended, what each file took to encode and write, and,
// once finish() has put them under their names, what was written.
class ToolSink : public OutputSink {
 public:
  ToolSink(const std::string& folder, const CompileState& state, VerboseLog& log)
      : folder_sink_(folder), state_(state), log_(log) {}

  Status write_file(const std::string& name, std::string_view bytes) override {
    StringSource source(bytes);
    return stream_file(name, source);
  }
  Status stream_file(const std::string& name, ByteSource& source) override {
    note_compiled();
    const uint64_t size = source.size();
    Status status = folder_sink_.stream_file(name, source);
    if (status.ok()) {
      handed_over_.emplace_back(name, size);
      log_.phase("encoded " + name + ", " + std::to_string(size) + " bytes");
    }
    return status;
  }
  Status remove_file(const std::string& name) override { return folder_sink_.remove_file(name); }
  [[nodiscard]] Status finish() override {
    Status status = folder_sink_.finish();
    if (!status.ok() || handed_over_.empty()) return status;
    log_.phase("flushed " + std::to_string(handed_over_.size()) + " files to disk and renamed them over their names");
    for (const auto& [name, size] : handed_over_) {
      written_.push_back(name);
      log_.phase("wrote " + utf8_of(path_of(folder_sink_.folder()) / name) + ", " +
                 std::to_string(size) + " bytes");
    }
    handed_over_.clear();
    return status;
  }

  const std::vector<std::string>& written() const { return written_; }
  FolderSink& folder_sink() { return folder_sink_; }

  // Logs the end of the parse and post-processing, once.
  void note_compiled() {
    if (compiled_noted_) return;
    compiled_noted_ = true;
    int stations = 0;
    for (int k = 1; k < state_.board_slot && k < kFirstBoardSlot; ++k) {
      if (!state_.station_table[static_cast<size_t>(k)].name.empty()) ++stations;
    }
    std::string what = "compiled: ";
    if (state_.has_cells()) {
      what += std::to_string(state_.cells.size()) + " cells, " + std::to_string(stations) + " stations, " +
              std::to_string(kFirstBoardSlot - state_.board_slot) + " line-side boards";
    } else {
      what += "no track model";
    }
    what += ", error code " + std::to_string(state_.error().ErrorCode);
    log_.phase(what);
  }

 private:
  FolderSink folder_sink_;
  const CompileState& state_;
  VerboseLog& log_;
  bool compiled_noted_ = false;
  std::vector<std::pair<std::string, uint64_t>> handed_over_;  // waiting for finish(), with their sizes
  std::vector<std::string> written_;
};

// Says where the names came from: the verbose log always; standard error when a name is the
// default because neither an option nor the descriptions' file names gave one.
void report_chosen_names(const ChosenNames& chosen, const CompileOptions& options, VerboseLog& log) {
  const std::string line = "line name " + chosen.line_name + " (" +
                           (chosen.line_name_from_file ? "from " + chosen.line_name_file
                            : chosen.line_name_default ? std::string("the default: no --line-name, and neither description is "
                                                                     "named LINE_linea.txt or LINE_NUM-.txt")
                                                       : std::string("--line-name")) +
                           ")";
  const std::string train = "train number " + chosen.train_number + " (" +
                            (chosen.train_number_from_file ? "from " + options.train
                             : chosen.train_number_default ? std::string("the default: no --train-number, and the "
                                                                         "train description is not named LINE_NUM-.txt")
                                                           : std::string("--train-number")) +
                            ")";
  log.phase(line + ", " + train);
  if (chosen.line_name_default || chosen.train_number_default) {
    std::cerr << kProgram << ": " << line << ", " << train << std::endl;
  }
}

}  // namespace

CLI::App* add_compile_command(CLI::App& app, CompileOptions* options) {
  CLI::App* command =
      app.add_subcommand("compile", "compile a line and a train description into the simulator's files");
  command->add_option("--line", options->line, "the line description")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--train", options->train, "the train description")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--out", options->out, "where the compiled files go (made when missing)")
      ->type_name("DIR")->required()->check(non_empty_value());
  command->add_option("--line-name", options->line_name, "the line name (default: LINE of LINE_linea.txt)")
      ->type_name("NAME")->capture_default_str()->check(non_empty_value())->check(file_name_part())
      ->each([options](const std::string&) { options->line_name_given = true; });
  command->add_option("--train-number", options->train_number, "the train number (default: NUM of LINE_NUM-.txt)")
      ->type_name("NUM")->capture_default_str()->check(non_empty_value())->check(file_name_part())
      ->each([options](const std::string&) { options->train_number_given = true; });
  command->add_flag_callback(
      "--no-plan", [options] { options->plan = false; }, "do not build or write the line record");
  add_encoding_option(*command, &options->encoding);
  command->add_flag("-v,--verbose", options->verbose, "tell what was read and written and how long each phase took");
  command->add_flag("--werror", options->werror, "a warning of the check fails the compile (status 1), files written");
  command->add_flag("--quiet-warnings", options->quiet_warnings, "do not print the check's warnings");
  command->add_flag("--no-wait", options->no_wait,
                    "refuse at once (status 3) when another run is writing into DIR, instead of waiting for it");
  command->footer(kCompileFooter);
  return command;
}

int run_compile_command(const CompileOptions& options) {
  VerboseLog log(options.verbose, std::cerr, kProgram);
  Description line;
  Description train;
  const TextEncoding encoding = text_encoding_named(options.encoding).value_or(TextEncoding::kAuto);
  if (const int status = read_given_description(options.line, encoding, &line, log); status != kExitClean) return status;
  if (const int status = read_given_description(options.train, encoding, &train, log); status != kExitClean) {
    return status;
  }

  std::error_code error;
  std::filesystem::create_directories(path_of(options.out), error);
  if (error) return report_file_system_failure(Status::FileSystem(options.out, error.message()), kProgram);

  // Names on the command line are UTF-8: the files are named with them as given, the station
  // table holds them in code page 1252 like every text of the compiled files.
  const ChosenNames chosen = names_for_descriptions(options.line, options.train,
                                                    options.line_name_given ? &options.line_name : nullptr,
                                                    options.train_number_given ? &options.train_number : nullptr);
  report_chosen_names(chosen, options, log);
  CompileState state;
  state.line_name = utf8_to_cp1252(chosen.line_name);
  state.train_number = utf8_to_cp1252(chosen.train_number);
  const ScenarioFileNames names = scenario_file_names(chosen.line_name, chosen.train_number);
  ToolSink sink(options.out, state, log);
  if (const int refused = claim_output_folder(sink.folder_sink(), kProgram, options.no_wait); refused != kExitClean) {
    return refused;
  }
  // The check's warnings on the same texts: what the compile accepts but an author rarely means.
  std::vector<CheckFinding> warnings;
  if (options.werror || !options.quiet_warnings) {
    warnings = description_warnings(line, train, options.plan, kDefaultMaxFindings);
  }
  if (!options.quiet_warnings && !warnings.empty()) std::cerr << findings_text(warnings) << std::flush;

  // The description files are only read: the tool never removes them.
  const CompileResult result = compile(state, options.plan, line, train);
  sink.note_compiled();
  const Status status = result.has_model() ? write_outputs(state, names, sink) : Status::Ok();
  if (const int failed = finish_writing(sink, status, kProgram); failed != kExitClean) return failed;

  if (result.fatal != 0) {
    std::cerr << fatal_report(std::to_string(result.fatal)) << std::endl;
    return kExitFatal;
  }
  const int exit_status = report_compile(state, result, kProgram, sink.written());
  if (exit_status == kExitClean && options.werror && !warnings.empty()) {
    std::cerr << kProgram << ": " << warnings.size() << (warnings.size() == 1 ? " warning" : " warnings")
              << " and --werror: status 1 (the files are written)" << std::endl;
    return kExitCompileError;
  }
  return exit_status;
}

}  // namespace scenario
