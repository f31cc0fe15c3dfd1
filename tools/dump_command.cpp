#include "tools/dump_command.h"

#include <charconv>
#include <iostream>

#include "compiler/status.h"
#include "compiler/track_model.h"
#include "tools/compiled_files.h"
#include "tools/dump.h"
#include "tools/verbose_log.h"

namespace scenario {
namespace {

constexpr const char* kDumpUsage =
    "usage: scenario_tool dump FILE [--format text|json] [--step METRES] [--verbose]\n"
    "\n"
    "Shows a compiled file as stable, diffable text or as JSON. The kind of file follows from its\n"
    "name: LINE_linea.dat is the line plan, LINE_TRAIN.sim the scenario record, LINE_TRAIN.dat the\n"
    "track cells.\n"
    "\n"
    "  --format text|json  text (the default) or JSON\n"
    "  --step METRES       for a line plan: show a point every METRES metres (default 50)\n"
    "  --verbose           tell what was read and how long each phase took (on standard error)\n";

struct DumpOptions {
  std::string file;
  bool json = false;
  int32_t step = 50;
  bool verbose = false;
  bool help = false;
};

Status parse_options(const std::vector<std::string>& args, DumpOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--verbose" || arg == "-v") {
      options->verbose = true;
    } else if (arg == "--format" || arg == "--step") {
      if (i + 1 == args.size()) return Status::Usage(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--format") {
        if (value != "text" && value != "json") return Status::Usage("--format is text or json, not '" + value + "'");
        options->json = value == "json";
      } else {
        int32_t step = 0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), step);
        if (result.ec != std::errc() || result.ptr != value.data() + value.size() || step < 1) {
          return Status::Usage("--step needs a whole number of metres, 1 or more, not '" + value + "'");
        }
        options->step = step;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Status::Usage("unknown option '" + arg + "'");
    } else if (options->file.empty()) {
      options->file = arg;
    } else {
      return Status::Usage("one file at a time: '" + options->file + "' and '" + arg + "'");
    }
  }
  if (!options->help && options->file.empty()) return Status::Usage("no file given");
  return Status::Ok();
}

int fail(const Status& status) {
  std::cerr << "scenario_tool dump: " << status.ToString() << "\n";
  if (status.kind() == Status::Kind::kUsage) {
    std::cerr << "\n" << kDumpUsage;
    return kExitUsage;
  }
  return kExitFileSystem;
}

}  // namespace

int run_dump_command(const std::vector<std::string>& args) {
  DumpOptions options;
  Status status = parse_options(args, &options);
  if (!status.ok()) return fail(status);
  if (options.help) {
    std::cout << kDumpUsage;
    return kExitClean;
  }
  const CompiledFileKind kind = compiled_file_kind(options.file);
  if (kind == CompiledFileKind::kUnknown) {
    return fail(Status::Usage("cannot tell the kind of '" + options.file +
                              "' from its name: expected LINE_linea.dat, LINE_TRAIN.sim or LINE_TRAIN.dat"));
  }

  VerboseLog log(options.verbose, std::cerr, "scenario_tool dump");
  std::string text;
  if (kind == CompiledFileKind::kTrackCells) {
    std::vector<TrackCell> cells;
    status = load_track_cells(options.file, &cells, log);
    if (!status.ok()) return fail(status);
    text = options.json ? dump_track_cells_json(cells) : dump_track_cells_text(cells);
  } else if (kind == CompiledFileKind::kScenarioRecord) {
    ScenarioRecord record;
    status = load_scenario_record(options.file, &record, log);
    if (!status.ok()) return fail(status);
    text = options.json ? dump_scenario_record_json(record) : dump_scenario_record_text(record);
  } else {
    LinePlan plan;
    status = load_line_plan(options.file, &plan, log);
    if (!status.ok()) return fail(status);
    text = options.json ? dump_line_plan_json(plan, options.step) : dump_line_plan_text(plan, options.step);
  }
  log.phase(std::string("formatted ") + (options.json ? "JSON" : "text") + ", " + std::to_string(text.size()) +
            " bytes");
  std::cout << text;
  std::cout.flush();
  if (!std::cout) return fail(Status::FileSystem("standard output", "could not write the dump"));
  log.phase("wrote the dump to standard output");
  return kExitClean;
}

}  // namespace scenario
