#include "tools/render_command.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "compiler/binary_inputs.h"
#include "compiler/status.h"
#include "compiler/track_model.h"
#include "disk/file_replace.h"
#include "tools/compiled_files.h"
#include "tools/render.h"
#include "tools/verbose_log.h"

namespace scenario {
namespace {

constexpr const char* kRenderUsage =
    "usage: scenario_tool render --dat FILE --sim FILE [--plan FILE] --out FOLDER [--verbose]\n"
    "\n"
    "Draws a compiled scenario as a self-contained HTML page with SVG: the plan of the line (from\n"
    "the line record), the longitudinal profile with speed limits, slowdowns and stations, a legend\n"
    "and the header values. Writes FOLDER/index.html, FOLDER/plan.svg and FOLDER/profile.svg.\n"
    "\n"
    "  --dat FILE     the track cells, LINE_TRAIN.dat\n"
    "  --sim FILE     the scenario record, LINE_TRAIN.sim\n"
    "  --plan FILE    the line record, LINE_linea.dat (without it the page has no plan)\n"
    "  --out FOLDER   where the page and the drawings go (made when missing)\n"
    "  --verbose      tell what was read and written and how long each phase took\n";

// The files the command writes into the output folder.
constexpr const char* kPageName = "index.html";
constexpr const char* kPlanName = "plan.svg";
constexpr const char* kProfileName = "profile.svg";

struct RenderOptions {
  std::string dat;
  std::string sim;
  std::string plan;
  std::string out;
  bool verbose = false;
  bool help = false;
};

Status parse_options(const std::vector<std::string>& args, RenderOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* target = nullptr;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    if (arg == "--verbose" || arg == "-v") {
      options->verbose = true;
      continue;
    }
    if (arg == "--dat") target = &options->dat;
    if (arg == "--sim") target = &options->sim;
    if (arg == "--plan") target = &options->plan;
    if (arg == "--out") target = &options->out;
    if (target == nullptr) return Status::Usage("unexpected argument '" + arg + "'");
    if (i + 1 == args.size() || args[i + 1].empty()) return Status::Usage(arg + " needs a value");
    if (!target->empty()) return Status::Usage(arg + " given twice");
    *target = args[++i];
  }
  if (options->help) return Status::Ok();
  if (options->dat.empty()) return Status::Usage("--dat FILE is required");
  if (options->sim.empty()) return Status::Usage("--sim FILE is required");
  if (options->out.empty()) return Status::Usage("--out FOLDER is required");
  return Status::Ok();
}

int fail(const Status& status) {
  std::cerr << "scenario_tool render: " << status.ToString() << "\n";
  if (status.kind() == Status::Kind::kUsage) {
    std::cerr << "\n" << kRenderUsage;
    return kExitUsage;
  }
  return kExitFileSystem;
}

Status write_output(const std::string& folder, const char* name, const std::string& bytes, VerboseLog& log) {
  const std::string path = (std::filesystem::path(folder) / name).string();
  Status status = replace_file(path, bytes);
  if (status.ok()) log.phase("wrote " + path + ", " + std::to_string(bytes.size()) + " bytes");
  return status;
}

}  // namespace

int run_render_command(const std::vector<std::string>& args) {
  RenderOptions options;
  Status status = parse_options(args, &options);
  if (!status.ok()) return fail(status);
  if (options.help) {
    std::cout << kRenderUsage;
    return kExitClean;
  }

  VerboseLog log(options.verbose, std::cerr, "scenario_tool render");
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  status = load_track_cells(options.dat, &cells, log);
  if (!status.ok()) return fail(status);
  status = load_scenario_record(options.sim, &record, log);
  if (!status.ok()) return fail(status);
  if (!options.plan.empty()) {
    status = load_line_plan(options.plan, &plan, log);
    if (!status.ok()) return fail(status);
  }
  CompileState state;
  adopt_decoded(std::move(cells), record, std::move(plan), &state);

  const LineScene scene = build_scene(state);
  log.phase("read the scene: " + std::to_string(scene.stations.size()) + " stations, " +
            std::to_string(scene.signals.size()) + " signals, " + std::to_string(scene.slowdowns.size()) +
            " slowdowns");
  const std::string plan_svg = render_plan_svg(state, scene);
  const std::string profile_svg = render_profile_svg(scene);
  const std::string page = render_page(scene, state.station_table, plan_svg, profile_svg);
  log.phase("drew the plan, the profile and the page");

  std::error_code error;
  std::filesystem::create_directories(options.out, error);
  if (error) return fail(Status::FileSystem(options.out, error.message()));
  for (const auto& [name, bytes] : {std::pair{kPlanName, &plan_svg}, std::pair{kProfileName, &profile_svg},
                                    std::pair{kPageName, &page}}) {
    status = write_output(options.out, name, *bytes, log);
    if (!status.ok()) return fail(status);
  }
  return kExitClean;
}

}  // namespace scenario
