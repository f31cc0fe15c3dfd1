// scenario_tool render: draws a compiled scenario as a self-contained HTML page with its plan and
// longitudinal profile in SVG.
#ifndef SCENARIO_TOOLS_RENDER_COMMAND_H_
#define SCENARIO_TOOLS_RENDER_COMMAND_H_

#include <string>

namespace CLI {
class App;
}

namespace scenario {

struct RenderOptions {
  std::string dat;   // the track cells, LINE_TRAIN.dat
  std::string sim;   // the scenario record, LINE_TRAIN.sim
  std::string plan;  // the line record, LINE_linea.dat; empty: a page without the plan
  std::string out;   // the folder for index.html, plan.svg and profile.svg (made when missing)
  bool verbose = false;
  bool no_wait = false;  // refuse when another run is writing into the output folder
};

// Declares 'render' and its options on `app`; parsing the command line fills *options.
CLI::App* add_render_command(CLI::App& app, RenderOptions* options);

// Runs the drawing; returns the exit status (0, or 3 when a file cannot be read, decoded or written).
int run_render_command(const RenderOptions& options);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_RENDER_COMMAND_H_
