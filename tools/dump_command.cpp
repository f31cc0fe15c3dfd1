#include "tools/dump_command.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <iostream>
#include <string>
#include <system_error>

#include "cli/command_line.h"
#include "cli/compiled_files.h"
#include "cli/verbose_log.h"
#include "model/status.h"
#include "model/track_model.h"
#include "render/dump.h"

namespace scenario {
namespace {

constexpr const char* kDumpFooter =
    "Shows the file as stable, diffable text or as JSON. The kind of file follows from its name:\n"
    "LINE_linea.dat is the line record (the plan), LINE_TRAIN.sim the scenario record, LINE_TRAIN.dat\n"
    "the track cells; --kind says it for a file whose name does not tell (or tells wrong).\n"
    "\n"
    "Exit status: 0 shown; 3 the file could not be read or decoded; 64 bad usage.";

// The kind --kind names, or the one the file's name tells.
CompiledFileKind kind_of(const DumpOptions& options) {
  if (options.kind == "dat") return CompiledFileKind::kTrackCells;
  if (options.kind == "sim") return CompiledFileKind::kScenarioRecord;
  if (options.kind == "plan") return CompiledFileKind::kLinePlan;
  return compiled_file_kind(options.file);
}

// The reason a --step value is refused, or "".
std::string step_reason(const std::string& value) {
  int32_t step = 0;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), step);
  if (result.ec == std::errc() && result.ptr == value.data() + value.size() && step >= 1) return "";
  return "needs a whole number of metres, 1 or more, not '" + value + "'";
}

int fail(const Status& status) {
  std::cerr << "scenario_tool dump: " << status.ToString() << "\n";
  return status.kind() == Status::Kind::kUsage ? kExitUsage : kExitFileSystem;
}

}  // namespace

CLI::App* add_dump_command(CLI::App& app, DumpOptions* options) {
  CLI::App* command = app.add_subcommand("dump", "show a compiled .dat, .sim or _linea.dat file as text or JSON");
  command->add_option("FILE", options->file, "the compiled file")
      ->type_name("")->required()->check(non_empty_value());
  command->add_option("--kind", options->kind, "the file's kind when its name does not tell: dat, sim or plan")
      ->type_name("KIND")->check(CLI::IsMember({"dat", "sim", "plan"}));
  command->add_option("--format", options->format, "text (the default) or JSON")
      ->type_name("FORMAT")->check(CLI::IsMember({"text", "json"}));
  command->add_option("--step", options->step, "for a line record: show a point every METRES metres")
      ->type_name("METRES")->capture_default_str()->check(CLI::Validator(step_reason, "", "step"));
  command->add_flag("-v,--verbose", options->verbose, "tell what was read and how long each phase took");
  command->footer(kDumpFooter);
  return command;
}

int run_dump_command(const DumpOptions& options) {
  const CompiledFileKind kind = kind_of(options);
  if (kind == CompiledFileKind::kUnknown) {
    return fail(Status::Usage("cannot tell the kind of '" + options.file +
                              "' from its name: expected LINE_linea.dat, LINE_TRAIN.sim or LINE_TRAIN.dat, "
                              "or give --kind dat|sim|plan"));
  }
  const bool json = options.format == "json";

  VerboseLog log(options.verbose, std::cerr, "scenario_tool dump");
  Status status;
  std::string text;
  if (kind == CompiledFileKind::kTrackCells) {
    std::vector<TrackCell> cells;
    status = load_track_cells(options.file, &cells, log);
    if (!status.ok()) return fail(status);
    text = json ? dump_track_cells_json(cells) : dump_track_cells_text(cells);
  } else if (kind == CompiledFileKind::kScenarioRecord) {
    ScenarioRecord record;
    status = load_scenario_record(options.file, &record, log);
    if (!status.ok()) return fail(status);
    text = json ? dump_scenario_record_json(record) : dump_scenario_record_text(record);
  } else {
    LinePlan plan;
    status = load_line_plan(options.file, &plan, log);
    if (!status.ok()) return fail(status);
    text = json ? dump_line_plan_json(plan, options.step) : dump_line_plan_text(plan, options.step);
  }
  log.phase(std::string("formatted ") + (json ? "JSON" : "text") + ", " + std::to_string(text.size()) +
            " bytes");
  std::cout << text;
  std::cout.flush();
  if (!std::cout) return fail(Status::FileSystem("standard output", "could not write the dump"));
  log.phase("wrote the dump to standard output");
  return kExitClean;
}

}  // namespace scenario
