#include "tools/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compiler/cp1252.h"
#include "tools/dump.h"

namespace scenario {
namespace {

using std::to_string;

constexpr int64_t kCell = 50;

// A coordinate for SVG: one decimal is finer than a screen pixel here.
std::string num(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

std::string utf8_name(const std::string& cp1252) { return cp1252_to_utf8(cp1252); }

// Shared look of both drawings; a standalone SVG file carries it too.
constexpr const char* kSvgStyle =
    "<style>\n"
    "  text { font-family: sans-serif; font-size: 11px; fill: #222; }\n"
    "  .track { fill: none; stroke: #333; stroke-width: 1.5; }\n"
    "  .run-out { fill: none; stroke: #999; stroke-width: 1; stroke-dasharray: 4 3; }\n"
    "  .km-mark { fill: #555; }\n"
    "  .km-label { font-size: 9px; fill: #777; }\n"
    "  .mountain { fill: none; stroke: #8e5b2e; stroke-width: 7; stroke-opacity: 0.55; }\n"
    "  .slowdown { fill: none; stroke: #e67e22; stroke-width: 4; }\n"
    "  .slowdown-band { fill: #e67e22; fill-opacity: 0.18; }\n"
    "  .slowdown-speed { fill: none; stroke: #e67e22; stroke-width: 2; }\n"
    "  .station { fill: #1f4e9c; }\n"
    "  .station-line { stroke: #1f4e9c; stroke-width: 0.8; stroke-dasharray: 3 3; }\n"
    "  .station-label { fill: #1f4e9c; font-weight: bold; }\n"
    "  .signal { fill: #c0392b; stroke: #c0392b; }\n"
    "  .warning { fill: #f1c40f; stroke: #8a6d00; stroke-width: 0.8; }\n"
    "  .speed-board { fill: #16a085; }\n"
    "  .board { fill: #7f8c8d; }\n"
    "  .height { fill: #cfe3c4; stroke: #4a7a3a; stroke-width: 1.2; }\n"
    "  .speed-limit { fill: none; stroke: #2c3e50; stroke-width: 1.5; }\n"
    "  .axis { stroke: #555; stroke-width: 1; fill: none; }\n"
    "  .grid { stroke: #ddd; stroke-width: 0.6; }\n"
    "  .line-end { stroke: #999; stroke-width: 1.2; stroke-dasharray: 6 3; }\n"
    "  .caption { font-size: 12px; font-weight: bold; }\n"
    "  .note { font-size: 14px; fill: #666; }\n"
    "</style>\n";

std::string svg_open(double width, double height, const char* id, const std::string& title) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + std::string(id) + "\" width=\"" + num(width) +
         "\" height=\"" + num(height) + "\" viewBox=\"0 0 " + num(width) + " " + num(height) +
         "\" role=\"img\">\n<title>" + xml_text(title) + "</title>\n" + kSvgStyle;
}

std::string scene_title(const LineScene& scene, const char* what) {
  return std::string(what) + " of line " + scene.line_name + ", train " + scene.train_number;
}

// --- plan ---

// Maps plan coordinates to the drawing: scaled to fit, y pointing up.
struct PlanView {
  double min_x = 0, max_y = 0, scale = 1, margin = 40;
  double px(double x) const { return margin + (x - min_x) * scale; }
  double py(double y) const { return margin + (max_y - y) * scale; }
};

bool finite_point(const LinePlan& plan, int32_t metre) {
  return std::isfinite(plan.x(metre)) && std::isfinite(plan.y(metre));
}

// A polyline through the plan from metre `from` to `to`, every `step` metres, broken where a
// point is not a number.
std::string plan_path(const LinePlan& plan, const PlanView& view, int64_t from, int64_t to, int64_t step) {
  std::string path;
  bool pen_down = false;
  for (int64_t m = from; m <= to; m = (m == to ? to + 1 : std::min(to, m + step))) {
    const int32_t metre = static_cast<int32_t>(m);
    if (!finite_point(plan, metre)) {
      pen_down = false;
      continue;
    }
    path += (pen_down ? " L" : " M") + num(view.px(plan.x(metre))) + " " + num(view.py(plan.y(metre)));
    pen_down = true;
  }
  return path;
}

// --- profile ---

// Maps line positions and values into a band of the profile drawing.
struct Band {
  double top = 0, bottom = 0, low = 0, high = 1;
  double y(double value) const {
    const double span = high > low ? high - low : 1.0;
    return bottom - (value - low) / span * (bottom - top);
  }
};

}  // namespace

LineScene build_scene(const CompileState& state) {
  LineScene scene;
  const ScenarioRecord& record = state.station_table;
  scene.line_name = utf8_name(record[kEntryLine].name);
  scene.train_number = utf8_name(record[kEntryRepetition].name);
  scene.line_length = record[kEntryTrain].area_end;
  const std::vector<TrackCell>& cells = state.cells;
  const int64_t covered = static_cast<int64_t>(cells.size()) * kCell;
  if (scene.line_length <= 0 || scene.line_length > covered) {
    // No usable line length in the header: show what the cells cover, less their run-out.
    scene.line_length = std::max<int64_t>(kCell, covered - kCellsPastLineEnd);
  }

  for (int index = 1; index < kEntryProgressionTre; ++index) {
    const StationEntry& entry = record[static_cast<size_t>(index)];
    if (entry_role(index, entry) != EntryRole::kStation) continue;
    scene.stations.push_back({index, utf8_name(entry.name), entry.position, entry.area_start, entry.area_end,
                              entry.time_seconds, entry.station_type});
  }

  bool slowdown_open = false;
  SceneSpan slowdown;
  std::string values;
  for (size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const int64_t at = kCell * (static_cast<int64_t>(i) - 1);
    switch (cell.kind) {
      case kSignal:
        scene.signals.push_back({at, 0, "signal " + to_string(cell.value_a) + " " + to_string(cell.value_b) + " " +
                                            to_string(cell.value_c) + " " + to_string(cell.value_d)});
        break;
      case kSlowdownStart:
        // A start with no end before the next start is a slowdown shorter than a cell.
        if (slowdown_open) scene.slowdowns.push_back(slowdown);
        slowdown = {at, at, cell.value_a};
        slowdown_open = true;
        break;
      case kSlowdownEnd:
        if (slowdown_open) {
          slowdown.to = at;
          scene.slowdowns.push_back(slowdown);
          slowdown_open = false;
        }
        break;
      case kSlowdownWarning:
        scene.warnings.push_back({at, cell.value_a, "slowdown warning " + to_string(cell.value_a) + " km/h"});
        break;
      case kSpeedBoard:
        scene.speed_boards.push_back({at, 0, "speed board " + to_string(cell.value_a) + " " +
                                                 to_string(cell.value_b) + " " + to_string(cell.value_c) + " " +
                                                 to_string(cell.value_d)});
        break;
      case kBoardText: {
        const int entry = cell.value_a;
        const std::string text = entry >= 0 && entry < kStationEntryCount
                                     ? utf8_name(record[static_cast<size_t>(entry)].name)
                                     : "(entry " + to_string(entry) + ")";
        scene.boards.push_back({at, entry, text});
        break;
      }
      default:
        break;
    }
  }
  if (slowdown_open) scene.slowdowns.push_back(slowdown);

  // A terminal station may lie in the run-out past the line's end: the profile reaches it.
  scene.extent = scene.line_length;
  for (const SceneStation& station : scene.stations) {
    scene.extent = std::max(scene.extent, std::max(station.position, station.area_end));
  }
  for (const SceneSpan& span : scene.slowdowns) scene.extent = std::max(scene.extent, span.to);
  scene.extent = std::max(scene.line_length, std::min(scene.extent, covered - kCell));

  // Stretch values: cell i holds from 50 * i to 50 * (i + 1).
  for (size_t i = 0; i < cells.size();) {
    const uint8_t type = cells[i].montagna_tipo;
    size_t j = i;
    while (j + 1 < cells.size() && cells[j + 1].montagna_tipo == type) ++j;
    if (type != 0) {
      scene.mountains.push_back({kCell * static_cast<int64_t>(i), kCell * static_cast<int64_t>(j + 1), type});
    }
    i = j + 1;
  }
  double height = 0.0;
  scene.heights.push_back({0, 0.0});
  for (size_t i = 0; i < cells.size(); ++i) {
    height += (cells[i].gradient - 100) * static_cast<double>(kCell) / 1000.0;
    scene.heights.push_back({kCell * (static_cast<int64_t>(i) + 1), height});
    const int speed = cells[i].speed_limit * 5;
    if (i == 0 || cells[i].speed_limit != cells[i - 1].speed_limit) {
      scene.speed_limits.push_back({kCell * static_cast<int64_t>(i), static_cast<double>(speed)});
    }
  }
  return scene;
}

int64_t kilometre_tick_step(int64_t line_length) {
  for (int64_t decade = 1000;; decade *= 10) {
    for (const int64_t factor : {1, 2, 5}) {
      if (line_length / (decade * factor) <= 25) return decade * factor;
    }
  }
}

std::string xml_text(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) {
          out += "\xEF\xBF\xBD";  // U+FFFD: XML cannot hold these control characters
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string render_plan_svg(const CompileState& state, const LineScene& scene) {
  const LinePlan& plan = state.plan;
  const double width = 1000;
  if (!plan.started() || plan.next_metre() < 2) {
    std::string svg = svg_open(width, 120, "plan", scene_title(scene, "Plan"));
    svg += "<text class=\"note\" x=\"40\" y=\"60\">No plan: the line record was not given or holds no "
           "computed metre.</text>\n</svg>\n";
    return svg;
  }
  const int64_t last = plan.next_metre() - 1;
  const int64_t step = std::max<int64_t>(1, last / 4000);

  double min_x = INFINITY, max_x = -INFINITY, min_y = INFINITY, max_y = -INFINITY;
  for (int64_t m = 0; m <= last; m = (m == last ? last + 1 : std::min(last, m + step))) {
    const int32_t metre = static_cast<int32_t>(m);
    if (!finite_point(plan, metre)) continue;
    min_x = std::min(min_x, plan.x(metre));
    max_x = std::max(max_x, plan.x(metre));
    min_y = std::min(min_y, plan.y(metre));
    max_y = std::max(max_y, plan.y(metre));
  }
  if (!(min_x <= max_x)) min_x = max_x = min_y = max_y = 0;  // no finite point at all
  PlanView view;
  const double span_x = std::max(max_x - min_x, 1.0);
  const double span_y = std::max(max_y - min_y, 1.0);
  const double inner_width = width - 2 * view.margin - 160;  // room for labels on the right
  double height = std::clamp(inner_width * span_y / span_x, 300.0, 1100.0) + 2 * view.margin;
  view.scale = std::min(inner_width / span_x, (height - 2 * view.margin) / span_y);
  view.min_x = min_x;
  view.max_y = max_y;
  height = span_y * view.scale + 2 * view.margin;

  auto point_of = [&](int64_t position, double* x, double* y) {
    const int32_t metre = static_cast<int32_t>(std::clamp<int64_t>(position, 0, last));
    if (!finite_point(plan, metre)) return false;
    *x = view.px(plan.x(metre));
    *y = view.py(plan.y(metre));
    return true;
  };

  std::string svg = svg_open(width, height, "plan", scene_title(scene, "Plan"));
  svg += "<g class=\"mountains\">\n";
  for (const SceneSpan& span : scene.mountains) {
    if (span.from > last) continue;
    svg += "<path class=\"mountain\" d=\"" + plan_path(plan, view, std::max<int64_t>(0, span.from),
                                                      std::min(last, span.to), step) +
           "\"><title>mountain stretch type " + to_string(span.value) + ", " + kilometre_text(span.from) + " to " +
           kilometre_text(span.to) + "</title></path>\n";
  }
  svg += "</g>\n";
  // The track to the line's end, then the run-out of the cells past it, dashed.
  const int64_t line_end = std::min(last, scene.line_length);
  svg += "<path class=\"track\" d=\"" + plan_path(plan, view, 0, line_end, step) + "\"/>\n";
  if (line_end < last) {
    svg += "<path class=\"run-out\" d=\"" + plan_path(plan, view, line_end, last, step) +
           "\"><title>past the end of the line</title></path>\n";
  }
  // Kilometre marks along the track.
  svg += "<g class=\"kilometres\">\n";
  const int64_t tick = kilometre_tick_step(scene.line_length);
  for (int64_t m = 0; m <= line_end; m += tick) {
    double x = 0, y = 0;
    if (!point_of(m, &x, &y)) continue;
    svg += "<circle class=\"km-mark\" cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"1.8\"/><text class=\"km-label\" x=\"" +
           num(x - 4) + "\" y=\"" + num(y - 4) + "\" text-anchor=\"end\">" + to_string(m / 1000) + "</text>\n";
  }
  svg += "</g>\n<g class=\"slowdowns\">\n";
  for (const SceneSpan& span : scene.slowdowns) {
    if (span.from > last) continue;
    svg += "<path class=\"slowdown\" d=\"" + plan_path(plan, view, std::max<int64_t>(0, span.from),
                                                      std::clamp<int64_t>(span.to, 0, last), std::max<int64_t>(1, step / 4)) +
           "\"><title>slowdown " + to_string(span.value) + " km/h, " + kilometre_text(span.from) + " to " +
           kilometre_text(span.to) + "</title></path>\n";
  }
  svg += "</g>\n";
  auto marks = [&](const std::vector<SceneMark>& list, const char* group, const char* cls, double size) {
    std::string out = "<g class=\"" + std::string(group) + "\">\n";
    for (const SceneMark& mark : list) {
      double x = 0, y = 0;
      if (!point_of(mark.position, &x, &y)) continue;
      out += "<rect class=\"" + std::string(cls) + "\" x=\"" + num(x - size / 2) + "\" y=\"" + num(y - size / 2) +
             "\" width=\"" + num(size) + "\" height=\"" + num(size) + "\"><title>" + xml_text(mark.text) + ", " +
             kilometre_text(mark.position) + "</title></rect>\n";
    }
    return out + "</g>\n";
  };
  svg += marks(scene.boards, "boards", "board", 5);
  svg += marks(scene.speed_boards, "speed-boards", "speed-board", 5);
  svg += marks(scene.warnings, "warnings", "warning", 6);
  svg += "<g class=\"signals\">\n";
  for (const SceneMark& mark : scene.signals) {
    double x = 0, y = 0;
    if (!point_of(mark.position, &x, &y)) continue;
    svg += "<circle class=\"signal\" cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"2.5\"><title>" +
           xml_text(mark.text) + ", " + kilometre_text(mark.position) + "</title></circle>\n";
  }
  svg += "</g>\n<g class=\"stations\">\n";
  for (const SceneStation& station : scene.stations) {
    double x = 0, y = 0;
    if (!point_of(station.position, &x, &y)) continue;
    svg += "<circle class=\"station\" cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"4.5\"><title>" +
           xml_text(station.name) + ", " + kilometre_text(station.position) + ", departs " +
           clock_text(station.departure) + "</title></circle>\n";
    svg += "<text class=\"station-label\" x=\"" + num(x + 7) + "\" y=\"" + num(y + 4) + "\">" +
           xml_text(station.name) + "</text>\n";
  }
  svg += "</g>\n";
  // Scale bar: one tick step of the profile, in plan units (metres).
  const int64_t bar = kilometre_tick_step(std::max(scene.line_length, int64_t{1000})) / 2;
  const double bar_px = static_cast<double>(bar) * view.scale;
  svg += "<path class=\"axis\" d=\"M" + num(view.margin) + " " + num(height - 12) + " h" + num(bar_px) + "\"/>\n";
  svg += "<text x=\"" + num(view.margin) + "\" y=\"" + num(height - 16) + "\">" + num(static_cast<double>(bar) / 1000.0) + " km</text>\n";
  return svg + "</svg>\n";
}

std::string render_profile_svg(const LineScene& scene) {
  const double width = 1200, height = 600, left = 60, right = 20;
  const int64_t extent = std::max<int64_t>(scene.extent, 1);
  const double length = static_cast<double>(extent);
  auto x_of = [&](double position) { return left + std::clamp(position, 0.0, length) / length * (width - left - right); };
  auto on_line = [&](int64_t position) { return position >= 0 && position <= extent; };

  Band heights{170, 380, 0, 1};
  double low = INFINITY, high = -INFINITY;
  for (const ScenePoint& point : scene.heights) {
    if (point.position > extent) break;
    low = std::min(low, point.value);
    high = std::max(high, point.value);
  }
  if (!(low <= high)) low = high = 0;
  const double pad = std::max(5.0, (high - low) * 0.08);
  heights.low = low - pad;
  heights.high = high + pad;

  Band speeds{410, 520, 0, 20};
  for (const ScenePoint& point : scene.speed_limits) speeds.high = std::max(speeds.high, point.value);
  for (const SceneSpan& span : scene.slowdowns) speeds.high = std::max(speeds.high, static_cast<double>(span.value));
  speeds.high = std::ceil((speeds.high + 10) / 20) * 20;

  std::string svg = svg_open(width, height, "profile", scene_title(scene, "Profile"));
  svg += "<text class=\"caption\" x=\"4\" y=\"" + num(heights.top - 6) + "\">height (m)</text>\n";
  svg += "<text class=\"caption\" x=\"4\" y=\"" + num(speeds.top - 6) + "\">speed limit (km/h)</text>\n";

  // Slowdowns: a shaded band over both drawings.
  svg += "<g class=\"slowdowns\">\n";
  for (const SceneSpan& span : scene.slowdowns) {
    if (span.to < 0 || span.from > extent) continue;
    const double x0 = x_of(static_cast<double>(span.from));
    const double x1 = std::max(x_of(static_cast<double>(span.to)), x0 + 1.5);
    svg += "<rect class=\"slowdown-band\" x=\"" + num(x0) + "\" y=\"" + num(heights.top) + "\" width=\"" +
           num(x1 - x0) + "\" height=\"" + num(speeds.bottom - heights.top) + "\"><title>slowdown " +
           to_string(span.value) + " km/h, " + kilometre_text(span.from) + " to " + kilometre_text(span.to) +
           "</title></rect>\n";
    svg += "<path class=\"slowdown-speed\" d=\"M" + num(x0) + " " + num(speeds.y(span.value)) + " H" + num(x1) +
           "\"/>\n";
    svg += "<text class=\"slowdown-label\" x=\"" + num(x0) + "\" y=\"" + num(speeds.y(span.value) - 3) + "\">" +
           to_string(span.value) + "</text>\n";
  }
  svg += "</g>\n";

  // Height: a filled area from the integrated gradients.
  std::string area = "M" + num(x_of(0)) + " " + num(heights.bottom);
  for (const ScenePoint& point : scene.heights) {
    if (point.position > extent) break;
    area += " L" + num(x_of(static_cast<double>(point.position))) + " " + num(heights.y(point.value));
  }
  const int64_t last_height = scene.heights.empty() ? 0 : std::min(scene.heights.back().position, extent);
  area += " L" + num(x_of(static_cast<double>(last_height))) + " " + num(heights.bottom) + " Z";
  svg += "<path class=\"height\" d=\"" + area + "\"/>\n";
  svg += "<text x=\"" + num(left - 4) + "\" y=\"" + num(heights.y(high) + 4) + "\" text-anchor=\"end\">" +
         num(high) + "</text>\n";
  svg += "<text x=\"" + num(left - 4) + "\" y=\"" + num(heights.y(low) + 4) + "\" text-anchor=\"end\">" + num(low) +
         "</text>\n";

  // Speed limit: a step line.
  std::string steps;
  for (size_t i = 0; i < scene.speed_limits.size(); ++i) {
    const ScenePoint& point = scene.speed_limits[i];
    if (point.position > extent) break;
    const double x = x_of(static_cast<double>(point.position));
    steps += (i == 0 ? "M" : " H") + num(x) + (i == 0 ? " " : " V") + num(speeds.y(point.value));
  }
  if (!steps.empty()) steps += " H" + num(x_of(length));
  svg += "<path class=\"axis\" d=\"M" + num(left) + " " + num(speeds.top) + " V" + num(speeds.bottom) + " H" +
         num(width - right) + "\"/>\n";
  svg += "<path class=\"speed-limit\" d=\"" + steps + "\"/>\n";
  for (double v = 0; v <= speeds.high; v += speeds.high >= 120 ? 40 : 20) {
    svg += "<text x=\"" + num(left - 4) + "\" y=\"" + num(speeds.y(v) + 4) + "\" text-anchor=\"end\">" +
           to_string(static_cast<int>(v)) + "</text>\n";
  }

  // Signals: short strokes between the two drawings.
  svg += "<g class=\"signals\">\n";
  for (const SceneMark& mark : scene.signals) {
    if (!on_line(mark.position)) continue;
    const double x = x_of(static_cast<double>(mark.position));
    svg += "<path class=\"signal\" d=\"M" + num(x) + " " + num(heights.bottom + 6) + " v10\"><title>" +
           xml_text(mark.text) + ", " + kilometre_text(mark.position) + "</title></path>\n";
  }
  svg += "</g>\n";

  // The line's end, when the profile runs past it.
  if (extent > scene.line_length) {
    const double x = x_of(static_cast<double>(scene.line_length));
    svg += "<path class=\"line-end\" d=\"M" + num(x) + " " + num(heights.top) + " V" + num(speeds.bottom) +
           "\"><title>end of the line, " + kilometre_text(scene.line_length) + "</title></path>\n";
  }

  // Stations: a dashed line and the name with the departure time.
  svg += "<g class=\"stations\">\n";
  for (const SceneStation& station : scene.stations) {
    if (!on_line(station.position)) continue;
    const double x = x_of(static_cast<double>(station.position));
    svg += "<path class=\"station-line\" d=\"M" + num(x) + " " + num(heights.top - 4) + " V" + num(speeds.bottom) +
           "\"/>\n";
    svg += "<text class=\"station-label\" transform=\"translate(" + num(x + 4) + " " + num(heights.top - 8) +
           ") rotate(-90)\"><tspan class=\"station-name\">" + xml_text(station.name) + "</tspan>";
    // A station whose entry holds no time (one the train runs through) shows its name alone.
    if (station.departure != 0) {
      svg += " <tspan class=\"station-time\">" + clock_text(station.departure) + "</tspan>";
    }
    svg += "</text>\n";
  }
  svg += "</g>\n";

  // Kilometre ticks.
  const int64_t tick = kilometre_tick_step(extent);
  const double axis_y = speeds.bottom + 18;
  svg += "<g class=\"kilometres\">\n<path class=\"axis\" d=\"M" + num(left) + " " + num(axis_y) + " H" +
         num(width - right) + "\"/>\n";
  for (int64_t m = 0; m <= extent; m += tick) {
    const double x = x_of(static_cast<double>(m));
    svg += "<path class=\"grid\" d=\"M" + num(x) + " " + num(heights.top) + " V" + num(speeds.bottom) + "\"/>\n";
    svg += "<path class=\"axis\" d=\"M" + num(x) + " " + num(axis_y) + " v5\"/>\n";
    svg += "<text class=\"km-tick\" x=\"" + num(x) + "\" y=\"" + num(axis_y + 18) + "\" text-anchor=\"middle\">" +
           to_string(m / 1000) + "</text>\n";
  }
  svg += "<text class=\"caption\" x=\"" + num(width - right) + "\" y=\"" + num(axis_y + 34) +
         "\" text-anchor=\"end\">km</text>\n</g>\n";
  return svg + "</svg>\n";
}

std::string render_page(const LineScene& scene, const ScenarioRecord& record, const std::string& plan_svg,
                        const std::string& profile_svg) {
  const std::string title = "Line " + scene.line_name + ", train " + scene.train_number;
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
      "<title>" +
      xml_text(title) +
      "</title>\n<style>\n"
      "  body { font-family: sans-serif; margin: 16px 24px; color: #222; background: #fff; }\n"
      "  h1 { font-size: 20px; } h2 { font-size: 16px; margin-top: 24px; }\n"
      "  svg { border: 1px solid #ccc; background: #fcfcfa; max-width: 100%; height: auto; }\n"
      "  table { border-collapse: collapse; font-size: 13px; }\n"
      "  td, th { border: 1px solid #ccc; padding: 2px 8px; text-align: left; }\n"
      "  .legend { list-style: none; padding: 0; columns: 3; font-size: 13px; }\n"
      "  .legend li { margin: 3px 0; } .legend svg { border: none; background: none; vertical-align: middle; }\n"
      "</style>\n</head>\n<body>\n<h1>" +
      xml_text(title) + "</h1>\n";
  page += "<p>" + to_string(scene.stations.size()) + " stations, " + to_string(scene.signals.size()) +
          " signals, " + to_string(scene.slowdowns.size()) + " slowdowns, " + to_string(scene.boards.size()) +
          " line-side boards, line length " + to_string(scene.line_length) + " m.</p>\n";
  page += "<h2>Plan</h2>\n" + plan_svg + "<h2>Profile</h2>\n" + profile_svg;

  struct LegendItem {
    const char* shape;
    const char* words;
  };
  const LegendItem legend[] = {
      {"<path class=\"track\" d=\"M2 8 H26\"/>", "track (plan)"},
      {"<circle class=\"station\" cx=\"14\" cy=\"8\" r=\"4.5\"/>", "station, with its departure time"},
      {"<circle class=\"signal\" cx=\"14\" cy=\"8\" r=\"2.5\"/>", "signal"},
      {"<path class=\"slowdown\" d=\"M2 8 H26\"/>", "slowdown (start to end, speed in km/h)"},
      {"<rect class=\"warning\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "slowdown warning board"},
      {"<rect class=\"speed-board\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "speed indicator board"},
      {"<rect class=\"board\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "line-side board (its text on hover)"},
      {"<path class=\"mountain\" d=\"M2 8 H26\"/>", "mountain stretch / tunnel"},
      {"<rect class=\"height\" x=\"2\" y=\"3\" width=\"24\" height=\"10\"/>", "height from the gradients"},
      {"<path class=\"speed-limit\" d=\"M2 12 H12 V4 H26\"/>", "line speed limit"},
  };
  page += "<h2>Legend</h2>\n<ul class=\"legend\">\n";
  for (const LegendItem& item : legend) {
    page += "<li><svg width=\"28\" height=\"16\" viewBox=\"0 0 28 16\">" + std::string(item.shape) + "</svg> " +
            item.words + "</li>\n";
  }
  page += "</ul>\n<h2>Header</h2>\n<table id=\"header\">\n<tr><th>entry</th><th>meaning</th><th>field</th>"
          "<th>value</th></tr>\n";
  for (const HeaderValue& value : header_values(record)) {
    page += "<tr><td>" + to_string(value.entry) + "</td><td>" + xml_text(value.meaning) + "</td><td>" +
            xml_text(value.field) + "</td><td>" + xml_text(value.text) + "</td></tr>\n";
  }
  page += "</table>\n<h2>Stations</h2>\n<table id=\"stations\">\n<tr><th>entry</th><th>name</th><th>position</th>"
          "<th>departure</th><th>type</th></tr>\n";
  for (const SceneStation& station : scene.stations) {
    page += "<tr><td>" + to_string(station.entry) + "</td><td>" + xml_text(station.name) + "</td><td>" +
            to_string(station.position) + " m (" + kilometre_text(station.position) + ")</td><td>" +
            clock_text(station.departure) + "</td><td>" + to_string(station.station_type) + "</td></tr>\n";
  }
  return page + "</table>\n</body>\n</html>\n";
}

}  // namespace scenario
