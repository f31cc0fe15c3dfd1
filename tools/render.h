// Drawing a compiled scenario: the line's plan and its longitudinal profile as SVG, in one HTML page.
//
// Rendering has two steps, both pure functions of the decoded model (no files, no clock):
//  1. read the features off the model into a LineScene: stations (with their departure times),
//     signals, slowdowns, warning boards, speed boards, line-side boards with their texts,
//     mountain stretches, the speed limit and the height of the line;
//  2. draw the scene: render_plan_svg (the plan from the line record, scaled to fit, with the
//     features at their positions), render_profile_svg (height, speed-limit band, slowdowns,
//     stations, kilometre ticks) and render_page (both drawings inline, a legend and the header
//     values). The page loads nothing: no script, no style sheet, no image, no font from outside,
//     and its content security policy forbids any request.
//
// Positions: a feature on cell i lies at 50 * (i - 1) m (the placers' cell of a position); the
// stretch values of cell i (gradient, speed limit, mountain type) hold from 50 * i m to
// 50 * (i + 1) m (the fills' cell of a position). The gradient byte is per mille plus 100, so the
// height rises by (gradient - 100) * 50 / 1000 m over a cell; the speed limit byte is km/h / 5.
#ifndef SCENARIO_TOOLS_RENDER_H_
#define SCENARIO_TOOLS_RENDER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/track_model.h"

namespace scenario {

struct SceneStation {
  int entry = 0;             // index in the station table
  std::string name;          // UTF-8
  int64_t position = 0;      // metres
  int64_t area_start = 0;
  int64_t area_end = 0;
  int64_t departure = 0;     // seconds after midnight
  int station_type = 0;
};

struct SceneMark {
  int64_t position = 0;  // metres
  int value = 0;         // the slowdown speed of a warning board; unused otherwise
  std::string text;      // UTF-8: a board's text, a speed board's values
};

struct SceneSpan {
  int64_t from = 0;  // metres
  int64_t to = 0;
  int value = 0;     // slowdown speed in km/h, or mountain type
};

// A point of a profile: the height or speed limit that holds from `position` to the next point.
struct ScenePoint {
  int64_t position = 0;
  double value = 0.0;
};

struct LineScene {
  std::string line_name;     // UTF-8
  std::string train_number;  // UTF-8
  int64_t line_length = 0;   // metres: header entry 84, or what the cells cover when it is not set
  int64_t extent = 0;        // metres the profile covers: the line, and past its end as far as a
                             // station or slowdown lies there, but no further than the cells reach
  std::vector<SceneStation> stations;
  std::vector<SceneMark> signals;
  std::vector<SceneMark> warnings;      // slowdown warning boards
  std::vector<SceneMark> speed_boards;
  std::vector<SceneMark> boards;        // line-side boards with their texts
  std::vector<SceneSpan> slowdowns;     // start marker to end marker, at the slowdown speed
  std::vector<SceneSpan> mountains;     // runs of cells with the same nonzero montagna_tipo
  std::vector<ScenePoint> heights;      // height in metres at 0, 50, 100 ... m, starting at 0
  std::vector<ScenePoint> speed_limits; // km/h, one point where the limit changes
};

// Reads the features off the model (cells and station table).
LineScene build_scene(const CompileState& state);

// Distance between two kilometre ticks for a line of the given length: 1, 2, 5, 10, 20, 50 ... km
// in metres, so that a line has at most 25 ticks.
int64_t kilometre_tick_step(int64_t line_length);

// Text for XML and HTML: & < > " ' escaped, and characters XML cannot hold replaced by U+FFFD.
std::string xml_text(std::string_view utf8);

// The plan as a standalone SVG document; without a started plan, an SVG that says so.
std::string render_plan_svg(const CompileState& state, const LineScene& scene);
// The longitudinal profile as a standalone SVG document.
std::string render_profile_svg(const LineScene& scene);
// The whole page, with both SVGs inline, the legend and the header values of `record`.
std::string render_page(const LineScene& scene, const ScenarioRecord& record, const std::string& plan_svg,
                        const std::string& profile_svg);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_RENDER_H_
