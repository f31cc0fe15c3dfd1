// The longitudinal profile of the line as SVG, distance along the line from left to right.
//
// From top to bottom: the stations (a dashed line and a label standing upright with the name and
// the times: arrival and departure at a stop, the passing time at a passing point, nothing where
// the train has no time), the height of the line from its gradients with a height axis of round
// figures, the gradient of every stretch (coloured by sign, its figure in per mille written where
// it fits and always in its tooltip), mountain stretches and the tunnels named by their boards,
// the speed limit with its km/h at every change and the slowdowns with their speed and length,
// signals as short strokes, and the kilometres. The drawing zooms and pans along the distance
// only (render_zoom.h); labels are placed afresh for every zoom step, never overlapping.
#ifndef SCENARIO_RENDER_RENDER_PROFILE_H_
#define SCENARIO_RENDER_RENDER_PROFILE_H_

#include <string>

#include "render/render_scene.h"

namespace scenario {

inline constexpr double kProfileWidth = 1200;
inline constexpr double kProfileLeft = 72;   // the axes' figures stand in this margin
inline constexpr double kProfileRight = 16;

// The longitudinal profile as a standalone SVG document.
std::string render_profile_svg(const LineScene& scene);

// "+12‰", "-5‰", "0‰": a gradient as written on the profile.
std::string gradient_text(int per_mille);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_PROFILE_H_
