// Label placement: the placer's rules, and the drawings' labels, read back from the SVG they are
// written in, at every zoom step: the embedded scenario and a crowded line.
#include "render/render_labels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "format/file_names.h"
#include "render/render.h"
#include "render/render_axis.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

// --- the placer ---

TEST(LabelPlacer, TakesTheCheapestFreeCandidateInsideTheBounds) {
  const Box a{10, 10, 30, 20};
  struct Case {
    const char* what;
    std::vector<LabelCandidate> candidates;
    bool required;
    int chosen;
    int conflicts;
  };
  const std::vector<Case> cases = {
      {"the first free one", {{a, 0}, {a.moved(40, 0), 1}}, false, 0, 0},
      {"a cheaper one later", {{a, 5}, {a.moved(40, 0), 1}}, false, 1, 0},
      {"outside the bounds", {{a.moved(-20, 0), 0}, {a.moved(40, 0), 1}}, false, 1, 0},
      {"on the obstacle", {{a.moved(0, 50), 0}, {a.moved(40, 0), 1}}, false, 1, 0},
      {"within the gap of the obstacle", {{a.moved(0, 39), 0}, {a.moved(40, 0), 1}}, false, 1, 0},
      {"over soft points", {{a.moved(100, 0), 0}, {a.moved(40, 0), 8}}, false, 1, 0},
      {"nothing free, left out", {{a.moved(0, 50), 0}}, false, -1, 0},
      {"nothing free, required: the cheapest", {{a.moved(0, 50), 3}, {a.moved(0, 39), 1}}, true, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LabelPlacer placer({0, 0, 200, 100}, 2);
    placer.add_obstacle({0, 60, 40, 80});  // a.moved(0, 50) lies on it, a.moved(0, 39) within its gap
    for (double x = 112; x < 128; x += 4) placer.add_soft_point({x, 15}, 3);  // 4 points under a.moved(100, 0)
    EXPECT_EQ(placer.place(c.candidates, c.required), c.chosen);
    EXPECT_EQ(placer.conflicts(), c.conflicts);
    EXPECT_EQ(placer.placed().size(), c.chosen < 0 ? 0u : 1u);
  }
}

TEST(LabelPlacer, ALabelKeepsClearOfThoseBeforeIt) {
  LabelPlacer placer({0, 0, 100, 100}, 2);
  EXPECT_EQ(placer.place({{{10, 10, 30, 20}, 0}}, true), 0);
  EXPECT_EQ(placer.place({{{31, 10, 50, 20}, 0}, {{33, 10, 50, 20}, 1}}, true), 1);  // 1 px off is too close
  EXPECT_EQ(placer.conflicts(), 0);
}

// The placer's rules with every box counted against every candidate: what the placer's grid of
// boxes and its early stop must agree with, choice for choice.
class CountingEveryBox {
 public:
  CountingEveryBox(Box bounds, double gap) : bounds_(bounds), gap_(gap) {}
  void add_obstacle(const Box& box) { boxes_.push_back(box); }
  int place(const std::vector<LabelCandidate>& candidates, bool required) {
    int best = -1, fallback = -1;
    double best_cost = INFINITY, fallback_rank = INFINITY;
    for (size_t i = 0; i < candidates.size(); ++i) {
      const LabelCandidate& c = candidates[i];
      if (!bounds_.contains(c.box) || c.cost >= best_cost) continue;
      int blocked = 0;
      for (const Box& other : boxes_) blocked += c.box.grown(gap_).overlaps(other) ? 1 : 0;
      if (blocked == 0) {
        best = static_cast<int>(i);
        best_cost = c.cost;
      } else if (required && blocked * 1e6 + c.cost < fallback_rank) {
        fallback = static_cast<int>(i);
        fallback_rank = blocked * 1e6 + c.cost;
      }
    }
    if (best < 0 && required) best = fallback >= 0 ? fallback : (candidates.empty() ? -1 : 0);
    if (best >= 0) boxes_.push_back(candidates[static_cast<size_t>(best)].box);
    return best;
  }

 private:
  Box bounds_;
  double gap_;
  std::vector<Box> boxes_;
};

TEST(LabelPlacer, ChoosesAsIfEveryBoxWereCountedForEveryCandidate) {
  // Crowds of required and optional labels piled on a few spots, in bounds of a few squares and
  // of more than the grid's most squares a side, with obstacles across the bounds' edges, far
  // outside them, wider than the grid keeps by square, and not numbers.
  struct Case {
    const char* what;
    Box bounds;
    double spread;
  };
  const Case cases[] = {{"small bounds", {0, 0, 300, 120}, 300},
                        {"wide bounds", {-50, 10, 400000, 90}, 400000},
                        {"tall bounds", {0, 0, 150, 3e6}, 3e6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LabelPlacer placer(c.bounds, 2);
    CountingEveryBox reference(c.bounds, 2);
    const Box obstacles[] = {{c.bounds.x0 - 30, c.bounds.y0 - 30, c.bounds.x0 + 25, c.bounds.y0 + 25},
                             {c.bounds.x1 - 10, c.bounds.y1 - 10, c.bounds.x1 + 1e300, c.bounds.y1 + 1e300},
                             {c.bounds.x0, c.bounds.y0 + 40, c.bounds.x1, c.bounds.y0 + 44},
                             {1e308, 1e308, INFINITY, INFINITY},
                             {NAN, 0, NAN, 10}};
    for (const Box& box : obstacles) {
      placer.add_obstacle(box);
      reference.add_obstacle(box);
    }
    uint32_t random = 12345;
    const auto next = [&random](double range) {
      random = random * 1664525u + 1013904223u;
      return static_cast<double>(random >> 8) / static_cast<double>(1u << 24) * range;
    };
    for (int label = 0; label < 600; ++label) {
      // Most labels near one of three spots, so that required ones pile up.
      const double x = label % 4 == 0 ? next(c.spread) : c.bounds.x0 + 20 + next(40) + (label % 3) * c.spread / 3;
      const double y = c.bounds.y0 + next(std::min(100.0, c.bounds.y1 - c.bounds.y0));
      const Box box{x, y, x + 10 + next(30), y + 8 + next(6)};
      const std::vector<LabelCandidate> candidates = shifted_along(box, 4, 24, 11, 3);
      const bool required = label % 5 != 0;
      ASSERT_EQ(placer.place(candidates, required), reference.place(candidates, required)) << "label " << label;
    }
  }
}

TEST(LabelCandidates, RingsAroundAPointAndShiftsAlongARow) {
  const std::vector<LabelCandidate> ring = around_point({100, 50}, 40, 10, 5, 3);
  ASSERT_EQ(ring.size(), 8u + 16u + 16u);
  EXPECT_DOUBLE_EQ(ring[0].box.x0, 105);  // right of the point, centred on it
  EXPECT_DOUBLE_EQ(ring[0].box.y0, 45);
  EXPECT_DOUBLE_EQ(ring[1].box.x1, 95);   // left
  EXPECT_DOUBLE_EQ(ring[2].box.y1, 45);   // above
  EXPECT_DOUBLE_EQ(ring[3].box.y0, 55);   // below
  for (size_t i = 1; i < ring.size(); ++i) EXPECT_GE(ring[i].cost, ring[i - 1].cost) << i;
  const std::vector<LabelCandidate> row = shifted_along({0, 0, 10, 10}, 5, 10, 12, 2);
  const std::vector<double> x0 = {0, 5, -5, 10, -10, 0, 5, -5, 10, -10};
  ASSERT_EQ(row.size(), x0.size());
  for (size_t i = 0; i < row.size(); ++i) EXPECT_DOUBLE_EQ(row[i].box.x0, x0[i]) << i;
  EXPECT_DOUBLE_EQ(row[5].box.y0, -12);
  EXPECT_EQ(nearest_point({10, 10, 20, 20}, {0, 15}).x, 10);
  EXPECT_EQ(nearest_point({10, 10, 20, 20}, {15, 15}).y, 15);
}

// --- the labels of a drawing, read back from its SVG ---

std::string attribute(const std::string& tag, const std::string& name) {
  const size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 3;
  return tag.substr(start, tag.find('"', start) - start);
}

std::string unescaped(std::string text) {
  const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                                          {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) {
      text.replace(at, std::string(entity).size(), plain);
    }
  }
  return text;
}

// The text of the first `element` with `cls` inside `content`, or "".
std::string inner(const std::string& content, const std::string& cls) {
  const size_t at = content.find("class=\"" + cls + "\"");
  if (at == std::string::npos) return "";
  const size_t start = content.find('>', at) + 1;
  return unescaped(content.substr(start, content.find('<', start) - start));
}

struct SvgLabel {
  std::string cls;
  std::string text;     // the name, for an upright label
  std::string times;    // an upright label's second line
  std::string station;  // data-station
  Point at;
  std::vector<std::string> place;
  bool upright = false;
  double y = 0;         // the y attribute
  bool middle = false;  // text-anchor="middle"
};

const std::map<std::string, double> kLabelFonts = {
    {"station-label", 11}, {"km-label", 9},     {"time-label", 10},   {"speed-label", 10},
    {"slowdown-label", 10}, {"gradient-label", 9}, {"tunnel-label", 9}, {"km-tick", 10}};

std::vector<SvgLabel> labels_of(const std::string& svg) {
  std::vector<SvgLabel> labels;
  for (size_t at = svg.find("<text "); at != std::string::npos; at = svg.find("<text ", at + 1)) {
    const std::string tag = svg.substr(at, svg.find('>', at) - at);
    SvgLabel label;
    label.cls = attribute(tag, "class");
    const std::string anchor = attribute(tag, "data-at");
    if (!kLabelFonts.count(label.cls) || anchor.empty()) continue;
    label.at = {std::stod(anchor), std::stod(anchor.substr(anchor.find(' ') + 1))};
    const std::string place = attribute(tag, "data-place");
    for (size_t from = 0; !place.empty() && from <= place.size();) {
      const size_t semicolon = place.find(';', from);
      label.place.push_back(place.substr(from, semicolon == std::string::npos ? std::string::npos : semicolon - from));
      if (semicolon == std::string::npos) break;
      from = semicolon + 1;
    }
    label.upright = !attribute(tag, "data-rotate").empty();
    label.station = attribute(tag, "data-station");
    label.middle = attribute(tag, "text-anchor") == "middle";
    label.y = attribute(tag, "y").empty() ? 0 : std::stod(attribute(tag, "y"));
    std::string content = svg.substr(at + tag.size() + 1, svg.find("</text>", at) - at - tag.size() - 1);
    const size_t title = content.find("</title>");
    if (title != std::string::npos) content = content.substr(title + 8);
    label.text = label.upright ? inner(content, "station-name") : unescaped(content);
    label.times = label.upright ? inner(content, "station-time") : "";
    labels.push_back(label);
  }
  return labels;
}

// The label's box at zoom step k, or false when it is hidden there.
bool box_at_step(const SvgLabel& label, size_t k, bool zoom_y, Box* box) {
  const std::string entry = label.place.empty() ? "0 0" : label.place[std::min(k, label.place.size() - 1)];
  if (entry == "-") return false;
  const double s = kZoomSteps[k];
  const double dx = std::stod(entry), dy = std::stod(entry.substr(entry.find(' ') + 1));
  const Point o{label.at.x * s + dx, (zoom_y ? label.at.y * s : label.at.y) + dy + label.y};
  const double f = kLabelFonts.at(label.cls);
  if (label.upright) {
    const double along = std::max(text_width(label.text, kUprightNameFont), text_width(label.times, kUprightTimeFont));
    const double right = label.times.empty() ? kTextDescent * f : kUprightLineStep + kTextDescent * kUprightTimeFont;
    *box = {o.x - kTextAscent * f, o.y - along, o.x + right, o.y};
    return true;
  }
  const double w = text_width(label.text, f);
  *box = text_box(label.middle ? o.x - w / 2 : o.x, o.y, label.text, f);
  return true;
}

// Station dots of the plan, which no label may cover.
std::vector<Box> station_dots(const std::string& svg) {
  std::vector<Box> dots;
  const std::string start = "<circle class=\"station\"";
  for (size_t at = svg.find(start); at != std::string::npos; at = svg.find(start, at + 1)) {
    const std::string anchor = attribute(svg.substr(at, svg.find('>', at) - at), "data-at");
    const Point p{std::stod(anchor), std::stod(anchor.substr(anchor.find(' ') + 1))};
    dots.push_back({p.x - 4.5, p.y - 4.5, p.x + 4.5, p.y + 4.5});
  }
  return dots;
}

// Every pair of labels shown at the same step that overlap, as words; and the labels of each class
// shown at each step.
struct StepCheck {
  std::vector<std::string> overlaps;
  std::vector<std::map<std::string, int>> shown;  // per step: class -> count
};

StepCheck check_steps(const std::string& svg) {
  const bool zoom_y = svg.find("data-zoom=\"xy\"") != std::string::npos;
  const std::vector<SvgLabel> labels = labels_of(svg);
  const std::vector<Box> dots = station_dots(svg);
  StepCheck check;
  for (size_t k = 0; k < kZoomStepCount; ++k) {
    std::vector<std::pair<Box, const SvgLabel*>> boxes;
    check.shown.emplace_back();
    for (const SvgLabel& label : labels) {
      Box box;
      if (!box_at_step(label, k, zoom_y, &box)) continue;
      ++check.shown.back()[label.cls];
      boxes.push_back({box, &label});
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
      for (size_t j = i + 1; j < boxes.size(); ++j) {
        if (boxes[i].first.overlaps(boxes[j].first)) {
          check.overlaps.push_back("step " + std::to_string(k) + ": " + boxes[i].second->text + " / " +
                                   boxes[j].second->text);
        }
      }
      for (const Box& dot : dots) {
        const double s = kZoomSteps[k];
        const Box zoomed_dot{dot.x0 * s + 4.5 * (s - 1), dot.y0 * s + 4.5 * (s - 1), dot.x1 * s - 4.5 * (s - 1),
                             dot.y1 * s - 4.5 * (s - 1)};
        if (boxes[i].first.overlaps(zoomed_dot)) {
          check.overlaps.push_back("step " + std::to_string(k) + ": " + boxes[i].second->text + " over a station");
        }
      }
    }
  }
  return check;
}

struct Rendered {
  CompileState state;
  LineScene scene;
  std::string plan, profile, chart;
};

Rendered embedded() {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  MemorySink texts;
  EXPECT_TRUE(dati_linea(texts, names).ok());
  EXPECT_TRUE(dati_treno(texts, names).ok());
  Rendered r;
  r.state.line_name = kEmbeddedLineName;
  r.state.train_number = kEmbeddedTrainNumber;
  compile(r.state, true, {names.line_description, true, texts.files.at(names.line_description)},
          {names.train_description, true, texts.files.at(names.train_description)});
  EXPECT_EQ(r.state.error().ErrorCode, 0);
  r.scene = build_scene(r.state);
  r.plan = render_plan_svg(r.state, r.scene);
  r.profile = render_profile_svg(r.scene);
  r.chart = render_chart_svg(r.scene);
  return r;
}

TEST(DrawingLabels, TheEmbeddedScenarioHasNoOverlappingLabelAtAnyZoomStep) {
  const Rendered r = embedded();
  const size_t stations = r.scene.stations.size();
  size_t timed = 0;
  for (const SceneStation& station : r.scene.stations) timed += has_time(station) ? 1u : 0u;
  ASSERT_EQ(stations, 23u);
  ASSERT_EQ(timed, 16u);
  for (const auto& [name, svg] : {std::pair{"plan", &r.plan}, std::pair{"profile", &r.profile},
                                  std::pair{"chart", &r.chart}}) {
    SCOPED_TRACE(name);
    const StepCheck check = check_steps(*svg);
    for (const std::string& overlap : check.overlaps) ADD_FAILURE() << overlap;
    ASSERT_EQ(check.shown.size(), kZoomStepCount);
    for (size_t k = 0; k < kZoomStepCount; ++k) {
      auto shown = check.shown[k];
      EXPECT_EQ(shown["station-label"], static_cast<int>(stations)) << "step " << k;
      if (std::string(name) == "chart") {
        EXPECT_EQ(shown["time-label"], static_cast<int>(timed)) << "step " << k;
      }
      if (std::string(name) == "profile") {
        EXPECT_EQ(shown["speed-label"], 12) << "step " << k;  // every change of the limit
        EXPECT_EQ(shown["slowdown-label"], 3) << "step " << k;
        EXPECT_GE(shown["gradient-label"], 2) << "step " << k;
      }
      if (std::string(name) == "plan") {
        EXPECT_GE(shown["km-label"], 10) << "step " << k;
      }
    }
    // Zooming in shows more of the gradients' figures.
    if (std::string(name) == "profile") {
      EXPECT_GT(check.shown.back().at("gradient-label"), 3 * check.shown.front().at("gradient-label"));
    }
  }
}

// Seven stations 50 m apart on a bend, with long names: labels move out on leaders.
TEST(DrawingLabels, ACrowdedLineStillGetsALabelForEveryStationWithNoOverlap) {
  CompileState state;
  state.write_line_plan = 1;
  // An 11 km line whose seven stations stand within 300 m of each other: the plan fits the line,
  // and at that scale their labels crowd.
  state.allocate_model(11000);
  for (TrackCell& cell : state.cells) {
    cell.gradient = 100;
    cell.speed_limit = 20;
  }
  const char* names[] = {"ALPHA CENTRALE", "BETA", "GAMMA SUPERIORE", "DELTA", "EPSILON DI SOPRA", "ZETA", "ETA"};
  for (int i = 0; i < 7; ++i) {
    StationEntry& entry = state.station_table[static_cast<size_t>(i + 1)];
    entry = {11, 1000 + 50 * i, 1100 + 50 * i, 1050 + 50 * i, 0, names[i], 1, 1, 0, 0, 0, 0,
             static_cast<uint8_t>(i % 2 == 0 ? 30 : 0), 0, 0, 70000 + 90 * i};
  }
  state.station_table[84].area_end = 11000;
  state.plan.start();
  double dx = 0, dy = 1;  // a plan that bends left from metre 1000 on
  for (int32_t m = 2; m <= state.plan_length - 2; ++m) {
    if (m > 1000 && m < 2000) {
      const double c = -0.002, ndx = dx + c * dy, ndy = dy - c * dx;
      dx = ndx;
      dy = ndy;
    }
    state.plan.append(state.plan.x(m - 1) + dx, state.plan.y(m - 1) + dy);
  }
  const LineScene scene = build_scene(state);
  for (const std::string& svg : {render_plan_svg(state, scene), render_profile_svg(scene), render_chart_svg(scene)}) {
    SCOPED_TRACE(svg.substr(0, svg.find('>')));
    const StepCheck check = check_steps(svg);
    for (const std::string& overlap : check.overlaps) ADD_FAILURE() << overlap;
    for (size_t k = 0; k < kZoomStepCount; ++k) EXPECT_EQ(check.shown[k].at("station-label"), 7) << "step " << k;
    // At rest the labels cannot all sit next to their stations: some stand out on a leader.
    EXPECT_NE(svg.find("class=\"leader\""), std::string::npos);
    size_t visible_leaders = 0;
    for (size_t at = svg.find("class=\"leader\""); at != std::string::npos; at = svg.find("class=\"leader\"", at + 1)) {
      const std::string tag = svg.substr(at, svg.find('>', at) - at);
      visible_leaders += tag.find("data-place=\"-\"") == std::string::npos ? 1u : 0u;
    }
    EXPECT_GT(visible_leaders, 0u);
  }
}

}  // namespace
}  // namespace scenario
