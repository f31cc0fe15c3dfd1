// The plan of the line as SVG: the track from the line record, north up with one scale on both
// axes, as large as the drawing allows, with the features at their positions and a scale bar.
//
// The drawing is 1200 pixels wide and as tall as the line's shape asks (between kPlanMinHeight
// and kPlanMaxHeight); the track fills it to kPlanMargin pixels of either the width or the height.
// Stations are named by labels that never overlap one another, a station's dot or (as far as the
// candidates allow) the track, placed afresh for every zoom step (render_zoom.h); kilometre marks
// follow a tick step that shrinks as the zoom grows, and are labelled where there is room. Every
// mark carries its words as a tooltip: a station its times, a signal what its values mean.
#ifndef SCENARIO_RENDER_RENDER_PLAN_H_
#define SCENARIO_RENDER_RENDER_PLAN_H_

#include <string>

#include "model/track_model.h"
#include "render/render_scene.h"

namespace scenario {

inline constexpr double kPlanWidth = 1200;
inline constexpr double kPlanMinHeight = 360;
inline constexpr double kPlanMaxHeight = 1000;
inline constexpr double kPlanMargin = 40;

// The plan as a standalone SVG document; without a started plan, an SVG that says so.
std::string render_plan_svg(const ScenarioModel& model, const LineScene& scene);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_PLAN_H_
