#include "render/render_axis.h"

#include <algorithm>
#include <cmath>

#include "render/render_labels.h"
#include "render/render_svg.h"

namespace scenario {
namespace {

using std::to_string;

constexpr double kUprightGap = 1.5;     // between two upright labels
constexpr double kUprightOffset = 2;    // from the station's line to its label
constexpr double kUprightSlide = 3;     // pixels per sideways step of a crowded label
constexpr double kUprightMostSlide = 160;

struct UprightSize {
  double across;  // screen width: one or two lines
  double along;   // screen height: the longer line
};

UprightSize upright_size(const SceneStation& station, bool with_times) {
  const std::string times = with_times ? timing_text(station) : "";
  const double name = text_width(station.name, kUprightNameFont);
  if (times.empty()) return {(kTextAscent + kTextDescent) * kUprightNameFont, name};
  return {kTextAscent * kUprightNameFont + kUprightLineStep + kTextDescent * kUprightTimeFont,
          std::max(name, text_width(times, kUprightTimeFont))};
}

}  // namespace

double DistanceAxis::x(double position) const {
  const double length = static_cast<double>(std::max<int64_t>(extent, 1));
  return round_tenth(kAxisInset + std::clamp(position, 0.0, length) / length * (width - 2 * kAxisInset));
}

std::vector<int64_t> kilometre_marks(int64_t length, std::vector<int64_t>* tick_per_step) {
  std::vector<int64_t> marks;
  for (size_t k = 0; k < kZoomStepCount; ++k) {
    const int64_t tick = kilometre_tick_step(static_cast<int64_t>(static_cast<double>(length) / kZoomSteps[k]));
    tick_per_step->push_back(tick);
    for (int64_t m = 0; m <= length; m += tick) marks.push_back(m);
  }
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  return marks;
}

std::vector<StepPlace> shown_where_ticked(int64_t position, const std::vector<int64_t>& tick_per_step) {
  std::vector<StepPlace> steps;
  for (const int64_t tick : tick_per_step) steps.push_back({position % tick == 0});
  return steps;
}

std::string kilometre_axis(const DistanceAxis& axis, double y, double grid_top, double grid_bottom) {
  std::vector<int64_t> ticks;
  const std::vector<int64_t> marks = kilometre_marks(axis.extent, &ticks);
  std::string out = "<g class=\"kilometres\">\n<path class=\"axis\" d=\"M0 " + num(y) + " H" + num(axis.width) + "\"/>\n";
  for (const int64_t m : marks) {
    const std::vector<StepPlace> shown = shown_where_ticked(m, ticks);
    const double x = axis.x(static_cast<double>(m));
    out += "<path class=\"grid\"" + zoom_attributes({x, grid_top}, shown) + " d=\"M0 0V" + num(grid_bottom - grid_top) +
           "\"/>\n";
    out += "<path class=\"axis\"" + zoom_attributes({x, y}, shown) + " d=\"M0 0v5\"/>\n";
    out += "<text class=\"km-tick\"" + zoom_attributes({x, y}, shown) + " y=\"17\" text-anchor=\"middle\">" +
           to_string(m / 1000) + "</text>\n";
  }
  out += "<text class=\"caption\" x=\"" + num(axis.width - 2) + "\" y=\"" + num(y + 32) +
         "\" text-anchor=\"end\">km</text>\n</g>\n";
  return out;
}

double upright_label_height(const std::vector<SceneStation>& stations, bool with_times) {
  double tallest = 0;
  for (const SceneStation& station : stations) tallest = std::max(tallest, upright_size(station, with_times).along);
  return std::ceil(tallest) + 4;
}

std::string upright_station_labels(const DistanceAxis& axis, const std::vector<SceneStation>& stations,
                                   double bottom, bool with_times) {
  std::vector<std::vector<StepPlace>> text(stations.size()), leader(stations.size());
  for (const double s : kZoomSteps) {
    LabelPlacer placer({0, 0, axis.width * s, bottom + 1}, kUprightGap);
    for (size_t i = 0; i < stations.size(); ++i) {
      const double zx = axis.x(static_cast<double>(stations[i].position)) * s;
      const UprightSize size = upright_size(stations[i], with_times);
      const Box preferred{zx + kUprightOffset, bottom - size.along, zx + kUprightOffset + size.across, bottom};
      const std::vector<LabelCandidate> candidates =
          shifted_along(preferred, kUprightSlide, kUprightMostSlide, 0, 1);
      const int chosen = placer.place(candidates, true);
      const Box box = chosen < 0 ? preferred : candidates[static_cast<size_t>(chosen)].box;
      text[i].push_back({true, box.x0 + kTextAscent * kUprightNameFont - zx, 0});
      const double middle = (box.x0 + box.x1) / 2 - zx;
      leader[i].push_back({std::abs(box.x0 - preferred.x0) > 4, 0, 4, middle, -4});
    }
  }
  std::string out = "<g class=\"station-labels\">\n";
  for (size_t i = 0; i < stations.size(); ++i) {
    const Point anchor{axis.x(static_cast<double>(stations[i].position)), bottom};
    out += leader_element(anchor, leader[i]);
    out += "<text class=\"station-label\"" + zoom_attributes(anchor, text[i], " rotate(-90)") +
           "><tspan class=\"station-name\">" + xml_text(stations[i].name) + "</tspan>";
    const std::string times = with_times ? timing_text(stations[i]) : "";
    if (!times.empty()) {
      out += "<tspan class=\"station-time\" x=\"0\" dy=\"" + num(kUprightLineStep) + "\">" + times + "</tspan>";
    }
    out += "</text>\n";
  }
  return out + "</g>\n";
}

}  // namespace scenario
