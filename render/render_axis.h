// The distance axis that the profile and the time-distance chart share: positions along the line
// from left to right, kilometre ticks that grow denser as the drawing zooms in, and the stations'
// labels standing upright above the axis.
//
// Positions map linearly from 0 to the scene's extent onto the plot's width at zoom 1; the zoom
// multiplies x only (render_zoom.h, data-zoom="x"). Upright labels read from bottom to top, just
// right of their station's line; where two would meet, one slides sideways (drawn with a leader
// back to its station), for every zoom step on its own, so that none ever overlaps another.
#ifndef SCENARIO_RENDER_RENDER_AXIS_H_
#define SCENARIO_RENDER_RENDER_AXIS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "render/render_scene.h"
#include "render/render_zoom.h"

namespace scenario {

// Positions fill the plot's width but for kAxisInset pixels at either end, where the figures of
// the first and last kilometre find room.
inline constexpr double kAxisInset = 10;

struct DistanceAxis {
  int64_t extent = 1;  // metres
  double width = 1;    // pixels of the plot at zoom 1
  // The plot's x of a position at zoom 1, clamped to the axis; rounded to the written tenth.
  double x(double position) const;
};

// Kilometre positions from 0 to `length` shown at some zoom step, and at each step the tick step.
std::vector<int64_t> kilometre_marks(int64_t length, std::vector<int64_t>* tick_per_step);
// Shown at the steps whose tick step divides `position`.
std::vector<StepPlace> shown_where_ticked(int64_t position, const std::vector<int64_t>& tick_per_step);

// Tick marks and kilometre figures at `y` (the axis line), grid lines from `grid_top` to
// `grid_bottom`, and "km" at the axis's right end.
std::string kilometre_axis(const DistanceAxis& axis, double y, double grid_top, double grid_bottom);

// Label sizes: the station name in bold, the times in the line below.
inline constexpr double kUprightNameFont = 11;
inline constexpr double kUprightTimeFont = 10;
inline constexpr double kUprightLineStep = 12;

// How tall the upright labels of `stations` stand (with their times or not).
double upright_label_height(const std::vector<SceneStation>& stations, bool with_times);

// The stations' upright labels standing on `bottom`, with their leaders.
std::string upright_station_labels(const DistanceAxis& axis, const std::vector<SceneStation>& stations,
                                   double bottom, bool with_times);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_AXIS_H_
