// Drawing a compiled scenario: one HTML page with the line's plan, its longitudinal profile and the
// train's time-distance chart as inline SVG.
//
// Rendering has two steps, both pure functions of the decoded model (no files, no clock):
//  1. build_scene reads the features off the model into a LineScene (render_scene.h);
//  2. the drawings: render_plan_svg (render_plan.h), render_profile_svg (render_profile.h) and
//     render_chart_svg (render_chart.h), each a standalone SVG document, and render_page
//     (render_page.h), which puts them into one page with a legend and tables.
// The drawings zoom and pan on the page (render_zoom.h); their labels are placed so that none
// overlaps another at any zoom step (render_labels.h, render_axis.h).
#ifndef SCENARIO_RENDER_RENDER_H_
#define SCENARIO_RENDER_RENDER_H_

#include "render/render_chart.h"
#include "render/render_page.h"
#include "render/render_plan.h"
#include "render/render_profile.h"
#include "render/render_scene.h"
#include "render/render_svg.h"
#include "render/render_zoom.h"

#endif  // SCENARIO_RENDER_RENDER_H_
