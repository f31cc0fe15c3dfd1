#include "render/render_profile.h"

#include <algorithm>
#include <cmath>

#include "render/dump.h"
#include "render/render_axis.h"
#include "render/render_labels.h"
#include "render/render_svg.h"
#include "render/render_zoom.h"

namespace scenario {
namespace {

using std::to_string;

constexpr double kLabelGap = 1.5;
constexpr double kSmallFont = 9;
constexpr double kSpeedFont = 10;

// Maps values into a horizontal band of the drawing.
struct Band {
  double top = 0, bottom = 0, low = 0, high = 1;
  double y(double value) const {
    const double span = high > low ? high - low : 1.0;
    return round_tenth(bottom - (value - low) / span * (bottom - top));
  }
};

// The rows of the drawing, top to bottom.
struct ProfileLayout {
  double labels_bottom = 0;  // the upright station labels stand on this line
  Band heights;
  double gradient_top = 0, gradient_bottom = 0;
  double tunnel_top = 0, tunnel_bottom = 0, tunnel_label = 0;
  Band speeds;
  double axis = 0, height = 0;
};

ProfileLayout layout(const LineScene& scene) {
  ProfileLayout l;
  l.labels_bottom = 10 + std::clamp(upright_label_height(scene.stations, true), 50.0, 260.0);
  l.heights.top = l.labels_bottom + 14;
  l.heights.bottom = l.heights.top + 220;
  l.gradient_top = l.heights.bottom + 6;
  l.gradient_bottom = l.gradient_top + 16;
  l.tunnel_top = l.gradient_bottom + 6;
  l.tunnel_bottom = l.tunnel_top + 10;
  l.tunnel_label = l.tunnel_bottom + 11;
  l.speeds.top = l.tunnel_label + 34;
  l.speeds.bottom = l.speeds.top + 120;
  l.axis = l.speeds.bottom + 16;
  l.height = l.axis + 42;
  return l;
}

std::string tunnel_words(const SceneTunnel& tunnel) {
  return tunnel.to > tunnel.from ? tunnel.name + " " + metres_words(tunnel.to - tunnel.from) : tunnel.name;
}

std::string gradient_words(const SceneSpan& span) {
  const char* way = span.value > 0 ? "rising" : span.value < 0 ? "falling" : "level";
  return "gradient " + gradient_text(span.value) + " (" + way + "), " + kilometre_text(span.from) + " to " +
         kilometre_text(span.to) + ", " + metres_words(span.to - span.from);
}

class ProfileDrawing {
 public:
  explicit ProfileDrawing(const LineScene& scene);
  std::string draw() const;

 private:
  double x(double position) const { return axis_.x(position); }
  double first_height_tick() const { return std::ceil(l_.heights.low / height_step_) * height_step_; }
  double limit_at(int64_t position) const;  // the line's speed limit there, km/h
  std::string height_band() const;
  std::string height_axis() const;  // outside the plot
  // A rectangle over a span of the line between two heights, at least `least_width` wide.
  std::string span_rect(const char* cls, const SceneSpan& span, double top, double bottom, double least_width,
                        const std::string& title) const;
  std::string gradient_rects() const;
  std::string gradient_labels() const;
  std::string tunnel_bars() const;
  std::string tunnel_labels() const;
  std::string speed_band() const;
  std::string speed_labels() const;
  std::string station_lines() const;

  const LineScene& scene_;
  DistanceAxis axis_;
  ProfileLayout l_;
  double height_step_ = 100;
};

ProfileDrawing::ProfileDrawing(const LineScene& scene) : scene_(scene), l_(layout(scene)) {
  axis_.extent = std::max<int64_t>(scene.extent, 1);
  axis_.width = kProfileWidth - kProfileLeft - kProfileRight;
  double low = INFINITY, high = -INFINITY;
  for (const ScenePoint& point : scene.heights) {
    if (point.position > axis_.extent) break;
    low = std::min(low, point.value);
    high = std::max(high, point.value);
  }
  if (!(low <= high)) low = high = 0;
  height_step_ = nice_step(std::max(high - low, 1.0), 6, 1);
  l_.heights.low = low - 0.04 * std::max(high - low, 1.0);
  l_.heights.high = std::ceil(high / height_step_) * height_step_;
  if (l_.heights.high <= high) l_.heights.high += height_step_;
  l_.speeds.high = 20;
  for (const ScenePoint& point : scene.speed_limits) l_.speeds.high = std::max(l_.speeds.high, point.value);
  l_.speeds.high = std::ceil((l_.speeds.high + 10) / 20) * 20;
}

std::string ProfileDrawing::height_band() const {
  std::string out;
  for (double v = first_height_tick(); v <= l_.heights.high + 1e-9; v += height_step_) {
    out += "<path class=\"grid\" d=\"M0 " + num(l_.heights.y(v)) + " H" + num(axis_.width) + "\"/>\n";
  }
  std::string area = "M" + num(x(0)) + " " + num(l_.heights.bottom);
  int64_t last = 0;
  for (const ScenePoint& point : scene_.heights) {
    if (point.position > axis_.extent) break;
    area += " L" + num(x(static_cast<double>(point.position))) + " " + num(l_.heights.y(point.value));
    last = point.position;
  }
  area += " L" + num(x(static_cast<double>(last))) + " " + num(l_.heights.bottom) + " Z";
  return out + "<path class=\"height\" d=\"" + area + "\"><title>height of the line from its gradients</title></path>\n";
}

std::string ProfileDrawing::height_axis() const {
  std::string out = "<g class=\"height-axis\">\n";
  for (double v = first_height_tick(); v <= l_.heights.high + 1e-9; v += height_step_) {
    out += "<text class=\"tick-label\" x=\"" + num(kProfileLeft - 6) + "\" y=\"" + num(l_.heights.y(v) + 3.5) +
           "\" text-anchor=\"end\">" + to_string(static_cast<int64_t>(std::llround(v))) + "</text>\n";
  }
  out += "<text class=\"caption\" transform=\"translate(14 " + num((l_.heights.top + l_.heights.bottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">height (m)</text>\n";
  out += "<text class=\"tick-label\" x=\"" + num(kProfileLeft - 6) + "\" y=\"" + num(l_.gradient_bottom - 4) +
         "\" text-anchor=\"end\">gradient</text>\n";
  out += "<text class=\"tick-label\" x=\"" + num(kProfileLeft - 6) + "\" y=\"" + num(l_.tunnel_bottom) +
         "\" text-anchor=\"end\">tunnels</text>\n";
  for (double v = 0; v <= l_.speeds.high; v += l_.speeds.high >= 120 ? 40 : 20) {
    out += "<text class=\"tick-label\" x=\"" + num(kProfileLeft - 6) + "\" y=\"" + num(l_.speeds.y(v) + 3.5) +
           "\" text-anchor=\"end\">" + to_string(static_cast<int>(v)) + "</text>\n";
  }
  out += "<text class=\"caption\" transform=\"translate(14 " + num((l_.speeds.top + l_.speeds.bottom) / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">speed (km/h)</text>\n";
  return out + "</g>\n";
}

std::string ProfileDrawing::span_rect(const char* cls, const SceneSpan& span, double top, double bottom,
                                      double least_width, const std::string& title) const {
  const double x0 = x(static_cast<double>(span.from)), x1 = x(static_cast<double>(std::min(span.to, axis_.extent)));
  return "<rect class=\"" + std::string(cls) + "\" x=\"" + num(x0) + "\" y=\"" + num(top) + "\" width=\"" +
         num(std::max(x1 - x0, least_width)) + "\" height=\"" + num(bottom - top) + "\"><title>" + title +
         "</title></rect>\n";
}

std::string ProfileDrawing::gradient_rects() const {
  std::string out = "<g class=\"gradients\">\n";
  for (const SceneSpan& span : scene_.gradients) {
    if (span.from >= axis_.extent) break;
    const char* cls = span.value > 0 ? "rise" : span.value < 0 ? "fall" : "level";
    out += span_rect(cls, span, l_.gradient_top, l_.gradient_bottom, 0.1, gradient_words(span));
  }
  return out + "</g>\n";
}

// A gradient's figure stands at the zoom steps where it fits inside its stretch.
std::string ProfileDrawing::gradient_labels() const {
  std::string out = "<g class=\"gradient-labels\">\n";
  const double baseline = l_.gradient_bottom - 4.5;
  for (const SceneSpan& span : scene_.gradients) {
    if (span.from >= axis_.extent) break;
    const double x0 = x(static_cast<double>(span.from)), x1 = x(static_cast<double>(std::min(span.to, axis_.extent)));
    const std::string figure = gradient_text(span.value);
    const double w = text_width(figure, kSmallFont);
    std::vector<StepPlace> steps;
    for (const double s : kZoomSteps) steps.push_back({(x1 - x0) * s >= w + 4, round_tenth(-w / 2), 0});
    out += "<text class=\"gradient-label\"" + zoom_attributes({(x0 + x1) / 2, baseline}, steps) + ">" + figure +
           "</text>\n";
  }
  return out + "</g>\n";
}

std::string ProfileDrawing::tunnel_bars() const {
  std::string out = "<g class=\"mountains\">\n";
  for (const SceneSpan& span : scene_.mountains) {
    if (span.from >= axis_.extent) continue;
    out += span_rect("mountain-band", span, l_.tunnel_top, l_.tunnel_bottom, 0.5,
                     "mountain stretch, type " + to_string(span.value) + ", " + kilometre_text(span.from) + " to " +
                         kilometre_text(span.to) + ", " + metres_words(span.to - span.from));
  }
  return out + "</g>\n";
}

// A tunnel's name and length under its stretch, where it has room.
std::string ProfileDrawing::tunnel_labels() const {
  std::vector<std::vector<StepPlace>> steps(scene_.tunnels.size());
  for (const double s : kZoomSteps) {
    LabelPlacer placer({0, l_.tunnel_bottom, axis_.width * s, l_.tunnel_label + 4}, kLabelGap);
    for (size_t i = 0; i < scene_.tunnels.size(); ++i) {
      const SceneTunnel& t = scene_.tunnels[i];
      const double zx = x(static_cast<double>(t.from)) * s;
      const std::vector<LabelCandidate> candidates =
          shifted_along(text_box(zx, l_.tunnel_label, tunnel_words(t), kSmallFont), 4, 40, 0, 1);
      const int chosen = t.from < axis_.extent ? placer.place(candidates, false) : -1;
      steps[i].push_back(chosen < 0 ? StepPlace{}
                                    : StepPlace{true, round_tenth(candidates[static_cast<size_t>(chosen)].box.x0 - zx), 0});
    }
  }
  std::string out = "<g class=\"tunnel-labels\">\n";
  for (size_t i = 0; i < scene_.tunnels.size(); ++i) {
    const SceneTunnel& t = scene_.tunnels[i];
    out += "<g" + zoom_attributes({x(static_cast<double>(t.from)), l_.tunnel_label}, steps[i]) + "><title>tunnel " +
           xml_text(t.name) + ", " + kilometre_text(t.from) + " to " + kilometre_text(t.to) + ", " +
           metres_words(t.to - t.from) + "</title><text class=\"tunnel-label\">" + xml_text(tunnel_words(t)) +
           "</text></g>\n";
  }
  return out + "</g>\n";
}

double ProfileDrawing::limit_at(int64_t position) const {
  double limit = 0;
  for (const ScenePoint& point : scene_.speed_limits) {
    if (point.position > position) break;
    limit = point.value;
  }
  return limit;
}

std::string ProfileDrawing::speed_band() const {
  std::string out = "<path class=\"axis\" d=\"M0 " + num(l_.speeds.bottom) + " H" + num(axis_.width) + "\"/>\n";
  for (double v = 0; v <= l_.speeds.high; v += l_.speeds.high >= 120 ? 40 : 20) {
    out += "<path class=\"grid\" d=\"M0 " + num(l_.speeds.y(v)) + " H" + num(axis_.width) + "\"/>\n";
  }
  std::string steps;
  for (size_t i = 0; i < scene_.speed_limits.size(); ++i) {
    const ScenePoint& point = scene_.speed_limits[i];
    if (point.position > axis_.extent) break;
    const double px = x(static_cast<double>(point.position));
    steps += (i == 0 ? "M" + num(px) + " " : " H" + num(px) + " V") + num(l_.speeds.y(point.value));
  }
  if (!steps.empty()) steps += " H" + num(x(static_cast<double>(axis_.extent)));
  out += "<path class=\"speed-limit\" d=\"" + steps + "\"><title>line speed limit</title></path>\n";
  for (const SceneSpan& span : scene_.slowdowns) {
    if (span.to < 0 || span.from > axis_.extent) continue;
    const double x0 = x(static_cast<double>(span.from));
    const double x1 = std::max(x(static_cast<double>(span.to)), x0 + 0.2);
    const std::string words = "slowdown " + to_string(span.value) + " km/h over " + metres_words(span.to - span.from) +
                              ", " + kilometre_text(span.from) + " to " + kilometre_text(span.to);
    out += "<rect class=\"slowdown-band\" x=\"" + num(x0) + "\" y=\"" + num(l_.heights.top) + "\" width=\"" +
           num(x1 - x0) + "\" height=\"" + num(l_.speeds.bottom - l_.heights.top) + "\"><title>" + words +
           "</title></rect>\n";
    // A notch down from the line's limit to the slowdown's speed and back.
    const double limit = l_.speeds.y(limit_at(span.from)), speed = l_.speeds.y(span.value);
    out += "<path class=\"slowdown-speed\" d=\"M" + num(x0) + " " + num(limit) + " V" + num(speed) + " H" + num(x1) +
           " V" + num(limit) + "\"><title>" + words + "</title></path>\n";
  }
  return out;
}

// The speed limit's figure at each change and each slowdown's speed and length, none over another.
std::string ProfileDrawing::speed_labels() const {
  struct Item {
    Point anchor;
    std::string words;
    bool below;  // a slowdown's words go under its speed line
  };
  std::vector<Item> items;
  for (const SceneSpan& span : scene_.slowdowns) {
    if (span.to < 0 || span.from > axis_.extent) continue;
    items.push_back({{x(static_cast<double>(span.from)), l_.speeds.y(span.value)},
                     to_string(span.value) + " km/h, " + metres_words(span.to - span.from), true});
  }
  for (const ScenePoint& point : scene_.speed_limits) {
    if (point.position > axis_.extent) break;
    items.push_back({{x(static_cast<double>(point.position)), l_.speeds.y(point.value)},
                     to_string(static_cast<int>(point.value)), false});
  }
  std::vector<std::vector<StepPlace>> steps(items.size());
  for (const double s : kZoomSteps) {
    LabelPlacer placer({0, l_.speeds.top - 32, axis_.width * s, l_.speeds.bottom - 1}, kLabelGap);
    for (size_t i = 0; i < items.size(); ++i) {
      const Point z = zoomed(items[i].anchor, s, ZoomAxes::kX);
      const double w = text_width(items[i].words, kSpeedFont);
      const double baseline = items[i].below ? z.y + 12 : z.y - 3;
      const double rise = items[i].below ? -11 : 11;
      std::vector<LabelCandidate> candidates = shifted_along(text_box(z.x + 3, baseline, items[i].words, kSpeedFont), 4, 60, rise, 4);
      for (LabelCandidate c : shifted_along(text_box(z.x - 3 - w, baseline, items[i].words, kSpeedFont), 4, 60, rise, 4)) {
        c.cost += 6;
        candidates.push_back(c);
      }
      const int chosen = placer.place(candidates, true);
      const Box& box = candidates[static_cast<size_t>(std::max(chosen, 0))].box;
      steps[i].push_back({true, box.x0 - z.x, box.y0 + kTextAscent * kSpeedFont - z.y});
    }
  }
  std::string out = "<g class=\"speed-labels\">\n";
  for (size_t i = 0; i < items.size(); ++i) {
    out += "<text class=\"" + std::string(items[i].below ? "slowdown-label" : "speed-label") + "\"" +
           zoom_attributes(items[i].anchor, steps[i]) + ">" + items[i].words + "</text>\n";
  }
  return out + "</g>\n";
}

std::string ProfileDrawing::station_lines() const {
  std::string out;
  for (const SceneStation& station : scene_.stations) {
    if (station.position < 0 || station.position > axis_.extent) continue;
    out += "<path class=\"station-line\" d=\"M" + num(x(static_cast<double>(station.position))) + " " +
           num(l_.labels_bottom + 4) + " V" + num(l_.speeds.bottom) + "\"/>\n";
  }
  for (const SceneMark& mark : scene_.signals) {
    if (mark.position < 0 || mark.position > axis_.extent) continue;
    out += "<path class=\"signal\" d=\"M" + num(x(static_cast<double>(mark.position))) + " " +
           num(l_.heights.bottom - 9) + " v9\"><title>signal, " + kilometre_text(mark.position) + "\n" +
           xml_text(mark.text) + "</title></path>\n";
  }
  if (axis_.extent > scene_.line_length) {
    const double end = x(static_cast<double>(scene_.line_length));
    out += "<path class=\"line-end\" d=\"M" + num(end) + " " + num(l_.heights.top) + " V" + num(l_.speeds.bottom) +
           "\"><title>end of the line, " + kilometre_text(scene_.line_length) + "</title></path>\n";
  }
  return out;
}

std::string ProfileDrawing::draw() const {
  std::string svg = svg_open(kProfileWidth, l_.height, "profile",
                             "Profile of line " + scene_.line_name + ", train " + scene_.train_number, " data-zoom=\"x\"");
  svg += height_axis();
  svg += "<svg class=\"plot\" x=\"" + num(kProfileLeft) + "\" y=\"0\" width=\"" + num(axis_.width) + "\" height=\"" +
         num(l_.height) + "\">\n<g class=\"world\">\n";
  svg += height_band() + gradient_rects() + tunnel_bars() + speed_band() + station_lines();
  svg += "</g>\n";
  svg += gradient_labels() + tunnel_labels() + speed_labels();
  svg += upright_station_labels(axis_, scene_.stations, l_.labels_bottom, true);
  svg += kilometre_axis(axis_, l_.axis, l_.heights.top, l_.speeds.bottom);
  return svg + "</svg>\n</svg>\n";
}

}  // namespace

std::string render_profile_svg(const LineScene& scene) { return ProfileDrawing(scene).draw(); }

std::string gradient_text(int per_mille) {
  return (per_mille > 0 ? "+" : "") + to_string(per_mille) + "\xE2\x80\xB0";  // U+2030 per mille
}

}  // namespace scenario
