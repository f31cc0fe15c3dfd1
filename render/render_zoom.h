// How the page's drawings zoom and pan, and the one small script that does it.
//
// A zoomable drawing is an <svg data-zoom="xy"> (both axes, the plan) or data-zoom="x" (distance
// only: the profile and the time-distance chart) holding a nested <svg class="plot"> that clips
// what it shows. Inside the plot:
//  - <g class="world">: the lines and areas, drawn at zoom 1; the script gives the group the
//    transform of the zoom and pan (its strokes keep their width: vector-effect in the style);
//  - elements with data-at="x y": marks and labels that keep their size. Each stands at its
//    anchor (x, y) moved by the zoom and pan, plus its offset at the current zoom step from
//    data-place: one entry per step of kZoomSteps, separated by ";", each "dx dy", "-" for hidden
//    or, for a leader line (class "leader"), "dx dy ex ey" with the line drawn to (ex, ey); a
//    single entry holds for every step, and no data-place means offset 0 at every step.
//    data-rotate adds a rotation after the move.
//  - an element with data-scales="px text;px text;..." (the plan's scale bar) gets, per step, a
//    line of px pixels (its <path>) and the text (its <text>).
// The element's attributes as written are those of step 0, so that the page before any zoom and
// a drawing saved on its own (no script) show the same thing. Labels are placed for every step
// in advance; the script only picks the step, so that what the tests check is what the page shows.
//
// The script adds −, + and reset buttons above each drawing and zooms one step per wheel notch
// around the pointer; dragging pans. It requests nothing; the page admits it by the hash
// zoom_script_source() gives for its content security policy.
#ifndef SCENARIO_RENDER_RENDER_ZOOM_H_
#define SCENARIO_RENDER_RENDER_ZOOM_H_

#include <array>
#include <string>
#include <vector>

#include "render/render_svg.h"

namespace scenario {

inline constexpr std::array<double, 9> kZoomSteps = {1, 1.5, 2, 3, 4, 6, 8, 12, 16};
inline constexpr size_t kZoomStepCount = kZoomSteps.size();

enum class ZoomAxes { kX, kXY };

// Where an anchor lands at zoom `scale` before any panning: x (and y for kXY) times the scale.
Point zoomed(Point anchor, double scale, ZoomAxes axes);

// Where an element stands at one zoom step.
struct StepPlace {
  bool shown = false;
  double dx = 0, dy = 0;  // offset from the zoomed anchor
  double ex = 0, ey = 0;  // leaders: the far end of the line, from the element's origin
};

// The attributes of an element that moves with the zoom (each with its leading blank): data-at,
// data-place (omitted when `steps` is empty: always at its anchor), data-rotate, and the
// transform (and visibility) of step 0. `anchor` is rounded to the tenth it is written with.
std::string zoom_attributes(Point anchor, const std::vector<StepPlace>& steps, const std::string& rotate = "");

// A leader line from `anchor`, drawn at the steps where it is shown.
std::string leader_element(Point anchor, const std::vector<StepPlace>& steps);

// The translate() of a point, as the script writes it.
std::string translate(Point point);

// The script, exactly as it stands between <script> and </script>.
const std::string& zoom_script();
// Its content-security-policy source: 'sha256-' and the base64 of the script's SHA-256.
std::string zoom_script_source();

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_ZOOM_H_
