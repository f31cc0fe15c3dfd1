#include "tools/render_command.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

#include "cli/command_line.h"
#include "cli/compiled_files.h"
#include "cli/reports.h"
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
    "nothing from outside: open it in any browser. The four files are replaced as one set; a second\n"
    "run into FOLDER waits for the first (--no-wait: refuses).\n"
    "\n"
    "Exit status: 0 drawn; 3 a file could not be read, decoded or written; 64 bad usage.";

// The files the command writes into the output folder.
constexpr const char* kPageName = "index.html";
constexpr const char* kPlanName = "plan.svg";
constexpr const char* kProfileName = "profile.svg";
constexpr const char* kChartName = "chart.svg";

constexpr const char* kProgram = "scenario_tool render";

int fail(const Status& status) { return report_file_system_failure(status, kProgram); }

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
  command->add_flag("--no-wait", options->no_wait,
                    "refuse at once (status 3) when another run is writing into FOLDER, instead of waiting for it");
  command->footer(kRenderFooter);
  return command;
}

int run_render_command(const RenderOptions& options) {
  VerboseLog log(options.verbose, std::cerr, kProgram);
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
  // The page and its drawings are one set: all new or all old.
  FolderSink sink(options.out);
  if (const int refused = claim_output_folder(sink, kProgram, options.no_wait); refused != kExitClean) return refused;
  const std::pair<const char*, const std::string*> files[] = {{kPlanName, &drawings.plan},
                                                              {kProfileName, &drawings.profile},
                                                              {kChartName, &drawings.chart},
                                                              {kPageName, &page}};
  for (const auto& [name, bytes] : files) {
    status = sink.write_file(name, *bytes);
    if (!status.ok()) break;
  }
  if (const int failed = finish_writing(sink, status, kProgram); failed != kExitClean) return failed;
  for (const auto& [name, bytes] : files) {
    log.phase("wrote " + utf8_of(path_of(options.out) / name) + ", " + std::to_string(bytes->size()) + " bytes");
  }
  return kExitClean;
}

}  // namespace scenario
