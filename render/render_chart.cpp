#include "render/render_chart.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/dump.h"
#include "render/render_axis.h"
#include "render/render_labels.h"
#include "render/render_profile.h"
#include "render/render_svg.h"
#include "render/render_zoom.h"

namespace scenario {
namespace {

using std::to_string;

constexpr double kTimeFont = 10;
constexpr double kPlotMinutesHeight = 760;  // pixels for the run's minutes, within the limits below
constexpr double kLeastPixelsPerMinute = 2.5;
constexpr double kMostPixelsPerMinute = 9;
// A short run is drawn at least this tall, and its time labels stand at least this far apart.
constexpr double kLeastPlotHeight = 320;
constexpr double kLeastTickSpacing = 20;
// The tallest plot: two days at the least scale. Only times far apart in a hand-made file reach it;
// their chart is drawn smaller instead of growing (with its samples and labels) without bound.
constexpr double kTallestPlotHeight = kLeastPixelsPerMinute * 2 * 1440;
constexpr double kLabelGap = 1.5;
constexpr double kRunPenalty = 3;  // per sample of the train's line under a label

// Seconds between two time ticks: steps that divide an hour (or whole hours), at most 14 ticks,
// each at least kLeastTickSpacing pixels from the next.
int64_t time_step(double minutes, double per_minute) {
  for (const int64_t step : {1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720}) {
    const auto step_minutes = static_cast<double>(step);
    if (minutes / step_minutes <= 14 && step_minutes * per_minute >= kLeastTickSpacing) return step * 60;
  }
  return 1440 * 60;
}

class ChartDrawing {
 public:
  ChartDrawing(const LineScene& scene, std::vector<const SceneStation*> timed);
  std::string draw() const;

 private:
  double y(int64_t seconds) const {
    return round_tenth(top_ + static_cast<double>(seconds - start_) / 60.0 * per_minute_);
  }
  Point at(const SceneStation& station, int64_t seconds) const {
    return {axis_.x(static_cast<double>(station.position)), y(seconds)};
  }
  std::string time_axis() const;
  std::string world() const;
  std::string time_labels() const;

  const LineScene& scene_;
  std::vector<const SceneStation*> timed_;
  DistanceAxis axis_;
  double labels_bottom_ = 0, top_ = 0, bottom_ = 0, per_minute_ = 4, height_ = 0;
  int64_t start_ = 0, end_ = 0, step_ = 600;
};

ChartDrawing::ChartDrawing(const LineScene& scene, std::vector<const SceneStation*> timed)
    : scene_(scene), timed_(std::move(timed)) {
  axis_.extent = std::max<int64_t>(scene.extent, 1);
  axis_.width = kProfileWidth - kProfileLeft - kProfileRight;
  labels_bottom_ = 10 + std::clamp(upright_label_height(scene.stations, false), 40.0, 200.0);
  top_ = labels_bottom_ + 16;
  int64_t first = first_time(*timed_.front()), last = first;
  for (const SceneStation* station : timed_) {
    first = std::min(first, first_time(*station));
    last = std::max(last, last_time(*station));
  }
  // The height follows the run's minutes, and a short run still gets a readable plot: the scale
  // for the run chooses the ticks, and the plot's span, whole ticks, sets the scale.
  const auto scale = [](double minutes) {
    return std::min(std::max(std::clamp(kPlotMinutesHeight / minutes, kLeastPixelsPerMinute, kMostPixelsPerMinute),
                             kLeastPlotHeight / minutes),
                    kTallestPlotHeight / minutes);
  };
  const double minutes = std::max(1.0, static_cast<double>(last - first) / 60.0);
  step_ = time_step(minutes, scale(minutes));
  start_ = first / step_ * step_;
  end_ = (last + step_ - 1) / step_ * step_;
  per_minute_ = scale(std::max(1.0, static_cast<double>(end_ - start_) / 60.0));
  bottom_ = y(end_);
  height_ = bottom_ + 48;
}

std::string ChartDrawing::time_axis() const {
  std::string out = "<g class=\"time-axis\">\n";
  for (int64_t t = start_; t <= end_; t += step_) {
    out += "<text class=\"tick-label\" x=\"" + num(kProfileLeft - 6) + "\" y=\"" + num(y(t) + 3.5) +
           "\" text-anchor=\"end\">" + chart_time_text(t) + "</text>\n";
  }
  out += "<text class=\"caption\" transform=\"translate(14 " + num((top_ + bottom_) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">time of day</text>\n";
  return out + "</g>\n";
}

std::string ChartDrawing::world() const {
  std::string out = "<g class=\"world\">\n";
  for (int64_t t = start_; t <= end_; t += step_) {
    out += "<path class=\"" + std::string(t % 3600 == 0 ? "grid-strong" : "grid") + "\" d=\"M0 " + num(y(t)) + " H" +
           num(axis_.width) + "\"/>\n";
  }
  for (const SceneStation& station : scene_.stations) {
    out += "<path class=\"station-line\" d=\"M" + num(axis_.x(static_cast<double>(station.position))) + " " +
           num(labels_bottom_ + 4) + " V" + num(bottom_) + "\"/>\n";
  }
  std::string run;
  for (const SceneStation* station : timed_) {
    const Point a = at(*station, first_time(*station)), d = at(*station, last_time(*station));
    run += (run.empty() ? "M" : " L") + num(a.x) + " " + num(a.y);
    if (d.y != a.y) run += " L" + num(d.x) + " " + num(d.y);
  }
  out += "<path class=\"train-run\" d=\"" + run + "\"><title>train " + xml_text(scene_.train_number) +
         "</title></path>\n";
  for (const SceneStation* station : timed_) {
    if (station->timing != StationTiming::kStop) continue;
    const Point a = at(*station, station->arrival), d = at(*station, station->departure);
    out += "<path class=\"stop\" d=\"M" + num(a.x) + " " + num(a.y) + " V" + num(std::max(d.y, a.y + 3)) + "\"><title>" +
           xml_text(station->name) + ": stop of " + to_string(station->stop_seconds) + " s, " +
           timing_text(*station) + "</title></path>\n";
  }
  return out + "</g>\n";
}

std::string ChartDrawing::time_labels() const {
  std::vector<std::vector<StepPlace>> text(timed_.size()), leader(timed_.size());
  for (const double s : kZoomSteps) {
    LabelPlacer placer({0, top_ - 14, axis_.width * s, bottom_ + 14}, kLabelGap);
    for (const SceneStation* station : timed_) {  // the stop strokes and the points
      const Point a = zoomed(at(*station, first_time(*station)), s, ZoomAxes::kX);
      const Point z = zoomed(at(*station, last_time(*station)), s, ZoomAxes::kX);
      placer.add_obstacle({z.x - 3.5, std::min(a.y, z.y) - 3.5, z.x + 3.5, z.y + 3.5});
    }
    for (size_t i = 0; i + 1 < timed_.size(); ++i) {  // the line between two timed stations
      const Point a = zoomed(at(*timed_[i], last_time(*timed_[i])), s, ZoomAxes::kX);
      const Point b = zoomed(at(*timed_[i + 1], first_time(*timed_[i + 1])), s, ZoomAxes::kX);
      const int samples = static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 4) + 1;
      for (int j = 0; j <= samples; ++j) {
        const double f = static_cast<double>(j) / samples;
        placer.add_soft_point({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f}, kRunPenalty);
      }
    }
    for (size_t i = 0; i < timed_.size(); ++i) {
      const Point z = zoomed(at(*timed_[i], last_time(*timed_[i])), s, ZoomAxes::kX);
      const std::string words = chart_time_text(last_time(*timed_[i]));
      const std::vector<LabelCandidate> candidates =
          around_point(z, text_width(words, kTimeFont), (kTextAscent + kTextDescent) * kTimeFont, 5, 6);
      const int chosen = placer.place(candidates, true);
      const Box& box = candidates[static_cast<size_t>(std::max(chosen, 0))].box;
      text[i].push_back({true, box.x0 - z.x, box.y0 + kTextAscent * kTimeFont - z.y});
      const Point end = nearest_point(box, z);
      leader[i].push_back({std::hypot(end.x - z.x, end.y - z.y) > 8, 0, 0, end.x - z.x, end.y - z.y});
    }
  }
  std::string out = "<g class=\"time-labels\">\n";
  for (size_t i = 0; i < timed_.size(); ++i) {
    const SceneStation& station = *timed_[i];
    const Point p = at(station, last_time(station));
    if (station.timing != StationTiming::kStop) {  // a stop is its stroke
      out += "<circle class=\"time-point\" r=\"2.5\"" + zoom_attributes(p, {}) + "><title>" + xml_text(station.name) +
             ", " + kilometre_text(station.position) + "\n" + timing_text(station) + "</title></circle>\n";
    }
    out += leader_element(p, leader[i]);
    out += "<text class=\"time-label\" data-station=\"" + to_string(station.entry) + "\"" + zoom_attributes(p, text[i]) +
           ">" + chart_time_text(last_time(station)) + "</text>\n";
  }
  return out + "</g>\n";
}

std::string ChartDrawing::draw() const {
  std::string svg = svg_open(kProfileWidth, height_, "chart",
                             "Time-distance chart of train " + scene_.train_number + " on line " + scene_.line_name,
                             " data-zoom=\"x\"");
  svg += time_axis();
  svg += "<svg class=\"plot\" x=\"" + num(kProfileLeft) + "\" y=\"0\" width=\"" + num(axis_.width) + "\" height=\"" +
         num(height_) + "\">\n";
  svg += world();
  svg += upright_station_labels(axis_, scene_.stations, labels_bottom_, false);
  svg += time_labels();
  svg += kilometre_axis(axis_, bottom_ + 6, labels_bottom_ + 4, labels_bottom_ + 4);
  return svg + "</svg>\n</svg>\n";
}

}  // namespace

std::string chart_time_text(int64_t seconds) {
  const std::string full = clock_text(seconds);
  return seconds % 60 == 0 && full.size() > 3 ? full.substr(0, full.size() - 3) : full;
}

std::string render_chart_svg(const LineScene& scene) {
  std::vector<const SceneStation*> timed;
  for (const SceneStation& station : scene.stations) {
    if (has_time(station)) timed.push_back(&station);
  }
  if (timed.size() >= 2) return ChartDrawing(scene, std::move(timed)).draw();
  return svg_open(kProfileWidth, 120, "chart", "Time-distance chart of train " + scene.train_number) +
         "<text class=\"note\" x=\"40\" y=\"60\">No run to chart: the train has fewer than two stations with a "
         "time.</text>\n</svg>\n";
}

}  // namespace scenario
