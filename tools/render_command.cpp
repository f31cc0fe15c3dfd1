#include "tools/render_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/command_line.h"
#include "cli/compiled_files.h"
#include "cli/verbose_log.h"
#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "format/binary_inputs.h"
#include "model/status.h"
#include "model/track_model.h"
#include "render/render.h"

namespace scenario {
namespace {

constexpr const char* kRenderFooter =
    "Draws a compiled scenario as a self-contained HTML page: the plan of the line (from the line\n"
    "record), the longitudinal profile (height, gradients, tunnels, speed limits, slowdowns, stations\n"
    "with their times), the train's time-distance chart, a legend and tables of the stations, the\n"
    "signals in words and the header values; the drawings zoom and pan in a browser. Writes\n"
    "FOLDER/index.html, FOLDER/plan.svg, FOLDER/profile.svg and FOLDER/chart.svg. The page loads\n"
    "nothing from outside: open it in any browser.\n"
    "\n"
    "Exit status: 0 drawn; 3 a file could not be read, decoded or written; 64 bad usage.";

// The files the command writes into the output folder.
constexpr const char* kPageName = "index.html";
constexpr const char* kPlanName = "plan.svg";
constexpr const char* kProfileName = "profile.svg";
constexpr const char* kChartName = "chart.svg";

int fail(const Status& status) {
  std::cerr << "scenario_tool render: " << status.ToString() << "\n";
  return kExitFileSystem;
}

Status write_output(const std::string& folder, const char* name, const std::string& bytes, VerboseLog& log) {
  const std::string path = utf8_of(path_of(folder) / name);
  Status status = replace_file(path, bytes);
  if (status.ok()) log.phase("wrote " + path + ", " + std::to_string(bytes.size()) + " bytes");
  return status;
}

}  // namespace

CLI::App* add_render_command(CLI::App& app, RenderOptions* options) {
  CLI::App* command =
      app.add_subcommand("render", "draw a compiled scenario as an HTML page: plan, profile and time-distance chart");
  command->add_option("--dat", options->dat, "the track cells, LINE_TRAIN.dat")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--sim", options->sim, "the scenario record, LINE_TRAIN.sim")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--plan", options->plan, "the line record, LINE_linea.dat (without it the page has no plan)")
      ->type_name("FILE")->check(non_empty_value());
  command->add_option("--out", options->out, "where the page and the drawings go (made when missing)")
      ->type_name("FOLDER")->required()->check(non_empty_value());
  command->add_flag("-v,--verbose", options->verbose, "tell what was read and written and how long each phase took");
  command->footer(kRenderFooter);
  return command;
}

int run_render_command(const RenderOptions& options) {
  VerboseLog log(options.verbose, std::cerr, "scenario_tool render");
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  Status status = load_track_cells(options.dat, &cells, log);
  if (!status.ok()) return fail(status);
  status = load_scenario_record(options.sim, &record, log);
  if (!status.ok()) return fail(status);
  if (!options.plan.empty()) {
    status = load_line_plan(options.plan, &plan, log);
    if (!status.ok()) return fail(status);
  }
  ScenarioModel model;
  adopt_decoded(std::move(cells), record, std::move(plan), &model);

  const LineScene scene = build_scene(model);
  log.phase("read the scene: " + std::to_string(scene.stations.size()) + " stations, " +
            std::to_string(scene.signals.size()) + " signals, " + std::to_string(scene.slowdowns.size()) +
            " slowdowns");
  const PageDrawings drawings{render_plan_svg(model, scene), render_profile_svg(scene), render_chart_svg(scene)};
  const std::string page = render_page(scene, model.station_table, drawings);
  log.phase("drew the plan, the profile, the chart and the page");

  std::error_code error;
  std::filesystem::create_directories(path_of(options.out), error);
  if (error) return fail(Status::FileSystem(options.out, error.message()));
  for (const auto& [name, bytes] : {std::pair{kPlanName, &drawings.plan}, std::pair{kProfileName, &drawings.profile},
                                    std::pair{kChartName, &drawings.chart}, std::pair{kPageName, &page}}) {
    status = write_output(options.out, name, *bytes, log);
    if (!status.ok()) return fail(status);
  }
  return kExitClean;
}

}  // namespace scenario
