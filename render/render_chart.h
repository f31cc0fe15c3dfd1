// The time-distance chart of the train's run, as railway people plan timetables on it.
//
// Distance along the line runs from left to right on the profile's axis (render_axis.h), with
// every station's name standing above it; the time of day runs downwards, with hours and minutes
// on the left. The train's line goes through its times at the stations (render_scene.h): a stop
// is a short vertical stroke from arrival to departure, a passing point a point on the line, and
// between two timed stations the line is straight (stations without a time lie on it). Every
// timed station carries its time as a label; labels never overlap, at any zoom step along the
// distance axis.
#ifndef SCENARIO_RENDER_RENDER_CHART_H_
#define SCENARIO_RENDER_RENDER_CHART_H_

#include <string>

#include "render/render_scene.h"

namespace scenario {

// The chart as a standalone SVG document; without two timed stations, an SVG that says so.
std::string render_chart_svg(const LineScene& scene);

// "19:25" for a whole minute, else "19:24:30": a time as the chart writes it.
std::string chart_time_text(int64_t seconds);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_CHART_H_
