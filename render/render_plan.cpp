#include "render/render_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "render/dump.h"
#include "render/render_axis.h"
#include "render/render_labels.h"
#include "render/render_svg.h"
#include "render/render_zoom.h"

namespace scenario {
namespace {

using std::to_string;

constexpr double kStationFont = 11;
constexpr double kKmFont = 9;
constexpr double kStationRadius = 4.5;
constexpr double kLabelGap = 2;         // between two labels
constexpr double kStationLabelRing = 9; // from a station's centre to its label, clear of its dot
constexpr size_t kStationRings = 9;     // rings of candidates around a station, leaders beyond the first
constexpr double kTrackPenalty = 12;    // per track sample under a label
constexpr double kMarkPenalty = 2;      // per signal or board under a label
constexpr double kTrackSampling = 5;    // pixels between track samples
constexpr double kFurnitureWidth = 190;  // the north arrow and the scale bar, in a corner
constexpr double kFurnitureHeight = 46;
constexpr double kFurnitureInset = 8;

// 2 decimals: world paths are magnified up to the last zoom step.
std::string fine(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

// The line record drawn into the box: plan coordinates to zoom-1 pixels. The box fits the line
// itself, metres 0 to `fitted` (its end, or the farthest station or slowdown past it); the
// run-out of the cells beyond lies outside the fit, where the box cuts it off.
class PlanView {
 public:
  PlanView(const LinePlan& plan, int64_t last, int64_t fitted)
      : plan_(plan), last_(last), fitted_(std::clamp<int64_t>(fitted, 1, last)) {}

  bool fit();  // false when no point is finite
  double width() const { return kPlanWidth; }
  double height() const { return height_; }
  double pixels_per_unit() const { return scale_; }
  int64_t last() const { return last_; }
  // Metres between two samples of the track `pixels` apart at zoom `zoom`: at least 1, at most
  // the whole plan.
  int64_t sampling_step(double pixels, double zoom) const;
  // The drawing's point of metre m of the plan (m clamped to the plan), or false.
  bool at(int64_t metre, Point* point) const;
  // A path through the plan from metre `from` to `to`, broken where a point is not drawable.
  std::string path(int64_t from, int64_t to, int64_t step) const;

 private:
  // Each metre of the plan moves its point by one unit, so a point of a real line lies no farther
  // from the origin than the line is long. A point beyond that (or not a number) came from a
  // hand-made file: it is left out like a gap, which also keeps every span and scale finite.
  bool drawable(double x, double y) const {
    const double reach = 2.0 * static_cast<double>(last_ + 2);
    return std::isfinite(x) && std::isfinite(y) && std::fabs(x) <= reach && std::fabs(y) <= reach;
  }

  const LinePlan& plan_;
  int64_t last_;
  int64_t fitted_;
  double min_x_ = 0, max_y_ = 0, scale_ = 1, left_ = 0, top_ = 0, height_ = kPlanMinHeight;
};

bool PlanView::fit() {
  double min_x = INFINITY, max_x = -INFINITY, min_y = INFINITY, max_y = -INFINITY;
  for (int64_t m = 0; m <= fitted_; ++m) {
    const double x = plan_.x(static_cast<int32_t>(m)), y = plan_.y(static_cast<int32_t>(m));
    if (!drawable(x, y)) continue;
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
  }
  if (!(min_x <= max_x)) return false;
  const double span_x = std::max(max_x - min_x, 1.0), span_y = std::max(max_y - min_y, 1.0);
  scale_ = std::min((kPlanWidth - 2 * kPlanMargin) / span_x, (kPlanMaxHeight - 2 * kPlanMargin) / span_y);
  // The scale made the span fill the height to the pixel; rounding must not add one.
  height_ = std::max(kPlanMinHeight, std::ceil(span_y * scale_ + 2 * kPlanMargin - 1e-6));
  min_x_ = min_x;
  max_y_ = max_y;
  left_ = (kPlanWidth - span_x * scale_) / 2;
  top_ = (height_ - span_y * scale_) / 2;
  return true;
}

bool PlanView::at(int64_t metre, Point* point) const {
  const auto m = static_cast<int32_t>(std::clamp<int64_t>(metre, 0, last_));
  const double x = plan_.x(m), y = plan_.y(m);
  if (!drawable(x, y)) return false;
  *point = {left_ + (x - min_x_) * scale_, top_ + (max_y_ - y) * scale_};
  return true;
}

int64_t PlanView::sampling_step(double pixels, double zoom) const {
  const double metres = pixels / (scale_ * zoom);
  if (!(metres >= 1)) return 1;
  return metres >= static_cast<double>(last_ + 1) ? last_ + 1 : static_cast<int64_t>(metres);
}

std::string PlanView::path(int64_t from, int64_t to, int64_t step) const {
  std::string d;
  bool pen_down = false;
  for (int64_t m = from; m <= to; m = (m == to ? to + 1 : std::min(to, m + step))) {
    Point p;
    if (!at(m, &p)) {
      pen_down = false;
      continue;
    }
    d += (pen_down ? " L" : " M") + fine(p.x) + " " + fine(p.y);
    pen_down = true;
  }
  return d;
}

// Everything the labels of one zoom step must keep clear of, or rather not cover.
LabelPlacer step_placer(const PlanView& view, const LineScene& scene, const Box& furniture, double s) {
  LabelPlacer placer({2, 2, view.width() * s - 2, view.height() * s - 2}, kLabelGap);
  const double r = kStationRadius + 1;
  for (const SceneStation& station : scene.stations) {
    Point p;
    if (!view.at(station.position, &p)) continue;
    const Point z = zoomed(p, s, ZoomAxes::kXY);
    placer.add_obstacle({z.x - r, z.y - r, z.x + r, z.y + r});
  }
  const int64_t step = view.sampling_step(kTrackSampling, s);
  for (int64_t m = 0; m <= view.last(); m += step) {
    Point p;
    if (view.at(m, &p)) placer.add_soft_point(zoomed(p, s, ZoomAxes::kXY), kTrackPenalty);
  }
  for (const auto* marks : {&scene.signals, &scene.boards, &scene.speed_boards, &scene.warnings}) {
    for (const SceneMark& mark : *marks) {
      Point p;
      if (view.at(mark.position, &p)) placer.add_soft_point(zoomed(p, s, ZoomAxes::kXY), kMarkPenalty);
    }
  }
  if (s == kZoomSteps[0]) placer.add_obstacle(furniture);  // it stands over the drawing at rest
  return placer;
}

// The corner for the north arrow and the scale bar: the one the track crosses least.
Box furniture_corner(const PlanView& view) {
  const double w = kFurnitureWidth, h = kFurnitureHeight, in = kFurnitureInset;
  const Box corners[] = {{in, view.height() - in - h, in + w, view.height() - in},
                         {view.width() - in - w, view.height() - in - h, view.width() - in, view.height() - in},
                         {in, in, in + w, in + h},
                         {view.width() - in - w, in, view.width() - in, in + h}};
  const int64_t step = view.sampling_step(kTrackSampling, 1);
  size_t best = 0;
  int64_t fewest = -1;
  for (size_t c = 0; c < std::size(corners); ++c) {
    int64_t crossed = 0;
    const Box kept = corners[c].grown(6);
    for (int64_t m = 0; m <= view.last(); m += step) {
      Point p;
      if (view.at(m, &p) && p.x >= kept.x0 && p.x <= kept.x1 && p.y >= kept.y0 && p.y <= kept.y1) ++crossed;
    }
    if (fewest < 0 || crossed < fewest) {
      best = c;
      fewest = crossed;
    }
  }
  return corners[best];
}

// A label's text element and leader line over the zoom steps.
struct PlacedLabel {
  std::vector<StepPlace> text;
  std::vector<StepPlace> leader;
};

void place_at_step(LabelPlacer& placer, Point anchor, const std::string& words, double font, double ring,
                   size_t rings, bool required, double s, PlacedLabel* label) {
  const Point z = zoomed(anchor, s, ZoomAxes::kXY);
  const double w = text_width(words, font), h = (kTextAscent + kTextDescent) * font;
  const std::vector<LabelCandidate> candidates = around_point(z, w, h, ring, rings);
  const int chosen = placer.place(candidates, required);
  if (chosen < 0) {
    label->text.push_back({});
    label->leader.push_back({});
    return;
  }
  const Box& box = candidates[static_cast<size_t>(chosen)].box;
  label->text.push_back({true, box.x0 - z.x, box.y0 + kTextAscent * font - z.y});
  const Point end = nearest_point(box, z);
  const bool far = std::hypot(end.x - z.x, end.y - z.y) > ring + 3;
  label->leader.push_back({far, 0, 0, end.x - z.x, end.y - z.y});
}

// The labels of the stations and of the kilometre marks, placed for every zoom step.
struct PlanLabels {
  std::vector<PlacedLabel> stations;
  std::vector<int64_t> marks;  // kilometre marks, in metres
  std::vector<PlacedLabel> km;
  std::vector<std::vector<StepPlace>> km_shown;
};

class PlanDrawing {
 public:
  PlanDrawing(const PlanView& view, const LineScene& scene)
      : view_(view), scene_(scene), furniture_(furniture_corner(view)) {}
  std::string draw();

 private:
  std::string world() const;
  std::string marks(const std::vector<SceneMark>& list, const char* cls, const char* words, double size) const;
  PlanLabels place_labels() const;
  std::string labels() const;
  std::string furniture() const;

  const PlanView& view_;
  const LineScene& scene_;
  Box furniture_;
};

std::string PlanDrawing::world() const {
  const int64_t last = view_.last();
  const int64_t step = std::max<int64_t>(1, last / 6500);
  const int64_t line_end = std::min(last, scene_.line_length);
  std::string out = "<g class=\"world\">\n";
  for (const SceneSpan& span : scene_.mountains) {
    if (span.from > last) continue;
    out += "<path class=\"mountain\" d=\"" + view_.path(std::max<int64_t>(0, span.from), std::min(last, span.to), step) +
           "\"><title>mountain stretch, type " + to_string(span.value) + ", " + kilometre_text(span.from) + " to " +
           kilometre_text(span.to) + "</title></path>\n";
  }
  // The track to the line's end, then the run-out of the cells past it, dashed and faint.
  out += "<path class=\"track\" d=\"" + view_.path(0, line_end, step) + "\"/>\n";
  if (line_end < last) {
    out += "<path class=\"run-out\" d=\"" + view_.path(line_end, last, step) +
           "\"><title>past the end of the line</title></path>\n";
  }
  for (const SceneSpan& span : scene_.slowdowns) {
    if (span.from > last) continue;
    out += "<path class=\"slowdown\" d=\"" +
           view_.path(std::max<int64_t>(0, span.from), std::clamp<int64_t>(span.to, 0, last), std::max<int64_t>(1, step / 4)) +
           "\"><title>slowdown " + to_string(span.value) + " km/h over " + metres_words(span.to - span.from) + ", " +
           kilometre_text(span.from) + " to " + kilometre_text(span.to) + "</title></path>\n";
  }
  return out + "</g>\n";
}

std::string PlanDrawing::marks(const std::vector<SceneMark>& list, const char* cls, const char* words,
                               double size) const {
  std::string out = "<g class=\"" + std::string(cls) + "s\">\n";
  for (const SceneMark& mark : list) {
    Point p;
    if (!view_.at(mark.position, &p)) continue;
    const std::string shape = std::string(cls) == "signal"
                                  ? "<circle class=\"signal\" r=\"" + num(size / 2) + "\""
                                  : "<rect class=\"" + std::string(cls) + "\" x=\"" + num(-size / 2) + "\" y=\"" +
                                        num(-size / 2) + "\" width=\"" + num(size) + "\" height=\"" + num(size) + "\"";
    out += shape + zoom_attributes(p, {}) + "><title>" + words + ", " + kilometre_text(mark.position) + "\n" +
           xml_text(mark.text) + "</title>" + (std::string(cls) == "signal" ? "</circle>\n" : "</rect>\n");
  }
  return out + "</g>\n";
}

PlanLabels PlanDrawing::place_labels() const {
  PlanLabels placed;
  std::vector<int64_t> ticks;
  placed.marks = kilometre_marks(std::min(scene_.line_length, view_.last()), &ticks);
  placed.stations.resize(scene_.stations.size());
  placed.km.resize(placed.marks.size());
  placed.km_shown.resize(placed.marks.size());
  for (size_t k = 0; k < kZoomStepCount; ++k) {
    const double s = kZoomSteps[k];
    LabelPlacer placer = step_placer(view_, scene_, furniture_, s);
    Point p;
    for (size_t i = 0; i < scene_.stations.size(); ++i) {
      if (!view_.at(scene_.stations[i].position, &p)) continue;
      place_at_step(placer, {round_tenth(p.x), round_tenth(p.y)}, scene_.stations[i].name, kStationFont,
                    kStationLabelRing, kStationRings, true, s, &placed.stations[i]);
    }
    for (size_t i = 0; i < placed.marks.size(); ++i) {
      const bool shown = placed.marks[i] % ticks[k] == 0 && view_.at(placed.marks[i], &p);
      placed.km_shown[i].push_back({shown});
      if (!shown) {
        placed.km[i].text.push_back({});
        placed.km[i].leader.push_back({});
        continue;
      }
      place_at_step(placer, {round_tenth(p.x), round_tenth(p.y)}, to_string(placed.marks[i] / 1000), kKmFont, 3, 2,
                    false, s, &placed.km[i]);
    }
  }
  return placed;
}

std::string PlanDrawing::labels() const {
  const PlanLabels placed = place_labels();
  const std::vector<int64_t>& marks = placed.marks;
  const std::vector<PlacedLabel>& km = placed.km;
  const std::vector<std::vector<StepPlace>>& km_shown = placed.km_shown;
  const std::vector<PlacedLabel>& stations = placed.stations;
  std::string out = "<g class=\"kilometres\">\n";
  for (size_t i = 0; i < marks.size(); ++i) {
    Point p;
    if (!view_.at(marks[i], &p)) continue;
    out += "<circle class=\"km-mark\" r=\"1.8\"" + zoom_attributes(p, km_shown[i]) + "><title>" +
           kilometre_text(marks[i]) + "</title></circle>\n";
    out += "<text class=\"km-label\"" + zoom_attributes(p, km[i].text) + ">" + to_string(marks[i] / 1000) +
           "</text>\n";
  }
  out += "</g>\n<g class=\"stations\">\n";
  for (size_t i = 0; i < scene_.stations.size(); ++i) {
    const SceneStation& station = scene_.stations[i];
    Point p;
    if (!view_.at(station.position, &p)) continue;
    const std::string times = timing_text(station);
    out += "<circle class=\"station\" r=\"" + num(kStationRadius) + "\"" + zoom_attributes(p, {}) + "><title>" +
           xml_text(station.name) + ", " + kilometre_text(station.position) + (times.empty() ? "" : "\n" + times) +
           "</title></circle>\n";
    out += leader_element(p, stations[i].leader);
    out += "<text class=\"station-label\"" + zoom_attributes(p, stations[i].text) + ">" + xml_text(station.name) +
           "</text>\n";
  }
  return out + "</g>\n";
}

std::string PlanDrawing::furniture() const {
  std::string scales;
  std::string first_text;
  double first_px = 0;
  for (size_t k = 0; k < kZoomStepCount; ++k) {
    const double per_metre = view_.pixels_per_unit() * kZoomSteps[k];
    const double metres = nice_step(60 / per_metre, 1, 1);  // a bar of 60 to 150 pixels
    const double px = metres * per_metre;
    const std::string text = metres >= 1000 ? num(metres / 1000).substr(0, num(metres / 1000).size() - 2) + " km"
                                            : to_string(static_cast<int64_t>(metres)) + " m";
    if (k > 0) scales += ';';
    scales += num(px);
    scales += ' ';
    scales += text;
    if (k == 0) {
      first_text = text;
      first_px = px;
    }
  }
  const std::string at = "translate(" + num(furniture_.x0) + " " + num(furniture_.y0) + ")";
  return "<g class=\"north\" transform=\"" + at + "\"><path d=\"M8 2 L14 20 L8 16 L2 20 Z\"/><text x=\"8\" y=\"36\" "
         "text-anchor=\"middle\">N</text><title>north is up; both axes at one scale</title></g>\n<g class=\"scale-bar\" "
         "data-scales=\"" + scales + "\" transform=\"" + translate({furniture_.x0 + 30, furniture_.y0 + 32}) +
         "\"><path d=\"M0 0h" + num(first_px) + "\"/><text y=\"-6\">" + first_text + "</text></g>\n";
}

std::string PlanDrawing::draw() {
  std::string svg = svg_open(view_.width(), view_.height(), "plan",
                             "Plan of line " + scene_.line_name + ", train " + scene_.train_number,
                             " data-zoom=\"xy\"");
  svg += "<svg class=\"plot\" x=\"0\" y=\"0\" width=\"" + num(view_.width()) + "\" height=\"" + num(view_.height()) +
         "\">\n";
  svg += world();
  svg += marks(scene_.boards, "board", "line-side board", 5);
  svg += marks(scene_.speed_boards, "speed-board", "speed indicator board", 5);
  svg += marks(scene_.warnings, "warning", "slowdown warning board", 6);
  svg += marks(scene_.signals, "signal", "signal", 5);
  svg += labels();
  svg += "</svg>\n";
  svg += furniture();
  return svg + "</svg>\n";
}

}  // namespace

std::string render_plan_svg(const ScenarioModel& model, const LineScene& scene) {
  const LinePlan& plan = model.plan;
  const std::string title = "Plan of line " + scene.line_name + ", train " + scene.train_number;
  if (plan.started() && plan.next_metre() >= 2) {
    PlanView view(plan, plan.next_metre() - 1, scene.extent);
    if (view.fit()) return PlanDrawing(view, scene).draw();
  }
  return svg_open(kPlanWidth, 120, "plan", title) +
         "<text class=\"note\" x=\"40\" y=\"60\">No plan: the line record was not given or holds no computed "
         "metre.</text>\n</svg>\n";
}

}  // namespace scenario
