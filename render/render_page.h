// The scenario page: one self-contained HTML document with the three drawings inline, a legend and
// the tables an author reads the scenario by (stations with their times, signals in words, the
// header values).
//
// The page loads nothing. Its content security policy is default-src 'none' with inline styles
// and, by its hash, the one inline zoom script (render_zoom.h) admitted; without the script the
// drawings show at rest, as the standalone SVG files do.
#ifndef SCENARIO_RENDER_RENDER_PAGE_H_
#define SCENARIO_RENDER_RENDER_PAGE_H_

#include <string>

#include "model/track_model.h"
#include "render/render_scene.h"

namespace scenario {

// The drawings of a page, each a standalone SVG document.
struct PageDrawings {
  std::string plan;
  std::string profile;
  std::string chart;
};

std::string render_page(const LineScene& scene, const ScenarioRecord& record, const PageDrawings& drawings);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_PAGE_H_
