#include "render/render_page.h"

#include "render/dump.h"
#include "render/render_svg.h"
#include "render/render_zoom.h"

namespace scenario {
namespace {

using std::to_string;

constexpr const char* kPageStyle =
    "<style>\n"
    "  body { font-family: 'DejaVu Sans', sans-serif; margin: 16px 24px; color: #222; background: #fff; }\n"
    "  h1 { font-size: 20px; } h2 { font-size: 16px; margin: 24px 0 6px; }\n"
    "  svg[role=img] { border: 1px solid #ccc; background: #fcfcfa; max-width: 100%; height: auto; display: block; }\n"
    "  svg.live { cursor: grab; touch-action: none; user-select: none; }\n"
    "  .zoom-bar { margin: 0 0 4px; font-size: 12px; color: #555; }\n"
    "  .zoom-bar button { font-size: 13px; min-width: 28px; margin-right: 4px; }\n"
    "  table { border-collapse: collapse; font-size: 13px; }\n"
    "  td, th { border: 1px solid #ccc; padding: 2px 8px; text-align: left; vertical-align: top; }\n"
    "  .legend { list-style: none; padding: 0; columns: 3; font-size: 13px; }\n"
    "  .legend li { margin: 3px 0; } .legend svg { vertical-align: middle; }\n"
    "</style>\n";

std::string legend() {
  struct LegendItem {
    const char* shape;
    const char* words;
  };
  const LegendItem items[] = {
      {"<path class=\"track\" d=\"M2 8 H26\"/>", "track (plan), north up"},
      {"<circle class=\"station\" cx=\"14\" cy=\"8\" r=\"4.5\"/>", "station (its times on hover)"},
      {"<circle class=\"signal\" cx=\"14\" cy=\"8\" r=\"2.5\"/>", "signal (its values in words on hover)"},
      {"<path class=\"slowdown\" d=\"M2 8 H26\"/>", "slowdown (speed and length)"},
      {"<rect class=\"warning\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "slowdown warning board"},
      {"<rect class=\"speed-board\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "speed indicator board"},
      {"<rect class=\"board\" x=\"11\" y=\"5\" width=\"6\" height=\"6\"/>", "line-side board (its text on hover)"},
      {"<path class=\"mountain\" d=\"M2 8 H26\"/>", "mountain stretch; tunnels named by their boards"},
      {"<rect class=\"height\" x=\"2\" y=\"3\" width=\"24\" height=\"10\"/>", "height from the gradients"},
      {"<rect class=\"rise\" x=\"2\" y=\"4\" width=\"12\" height=\"8\"/><rect class=\"fall\" x=\"14\" y=\"4\" "
       "width=\"12\" height=\"8\"/>",
       "gradient rising / falling (per mille)"},
      {"<path class=\"speed-limit\" d=\"M2 12 H12 V4 H26\"/>", "line speed limit (km/h at each change)"},
      {"<path class=\"train-run\" d=\"M2 2 L12 8\"/><path class=\"stop\" d=\"M12 8 V14\"/>",
       "the train's run; a stop from arrival to departure"},
  };
  std::string out = "<h2>Legend</h2>\n<ul class=\"legend\">\n";
  for (const LegendItem& item : items) {
    out += "<li><svg width=\"28\" height=\"16\" viewBox=\"0 0 28 16\">" + std::string(item.shape) + "</svg> " +
           item.words + "</li>\n";
  }
  return out + "</ul>\n";
}

std::string station_table(const LineScene& scene) {
  std::string out =
      "<h2>Stations</h2>\n<table id=\"stations\">\n<tr><th>entry</th><th>name</th><th>position</th><th>arrival</th>"
      "<th>departure</th><th>passes</th><th>stop</th><th>type</th></tr>\n";
  for (const SceneStation& station : scene.stations) {
    const bool arrives = station.timing == StationTiming::kStop || station.timing == StationTiming::kArrival;
    const bool departs = station.timing == StationTiming::kStop || station.timing == StationTiming::kDeparture;
    const bool passes = station.timing == StationTiming::kPassing;
    out += "<tr><td>" + to_string(station.entry) + "</td><td>" + xml_text(station.name) + "</td><td>" +
           to_string(station.position) + " m (" + kilometre_text(station.position) + ")</td><td>" +
           (arrives ? clock_text(station.arrival) : "") + "</td><td>" + (departs ? clock_text(station.departure) : "") +
           "</td><td>" + (passes ? clock_text(station.departure) : "") + "</td><td>" +
           (station.stop_seconds > 0 ? to_string(station.stop_seconds) + " s" : "") + "</td><td>" +
           to_string(station.station_type) + "</td></tr>\n";
  }
  return out + "</table>\n";
}

// One row per signal, its values grouped by side in plain words.
std::string signal_table(const LineScene& scene) {
  std::string out = "<h2>Signals</h2>\n<table id=\"signals\">\n<tr><th>position</th><th>left side</th>"
                    "<th>right side</th><th>repetition</th><th>time</th><th>next signal</th></tr>\n";
  for (const SceneMark& signal : scene.signals) {
    out += "<tr><td>" + kilometre_text(signal.position) + "</td>";
    for (const std::string& column : signal.columns) out += "<td>" + xml_text(column) + "</td>";
    out += "</tr>\n";
  }
  return out + "</table>\n";
}

std::string header_table(const ScenarioRecord& record) {
  std::string out = "<h2>Header</h2>\n<table id=\"header\">\n<tr><th>entry</th><th>meaning</th><th>field</th>"
                    "<th>value</th></tr>\n";
  for (const HeaderValue& value : header_values(record)) {
    out += "<tr><td>" + to_string(value.entry) + "</td><td>" + xml_text(value.meaning) + "</td><td>" +
           xml_text(value.field) + "</td><td>" + xml_text(value.text) + "</td></tr>\n";
  }
  return out + "</table>\n";
}

}  // namespace

std::string render_page(const LineScene& scene, const ScenarioRecord& record, const PageDrawings& drawings) {
  const std::string title = "Line " + scene.line_name + ", train " + scene.train_number;
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                     "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
                     "'unsafe-inline'; script-src " +
                     zoom_script_source() + "\">\n<title>" + xml_text(title) + "</title>\n" + kPageStyle +
                     "</head>\n<body>\n<h1>" + xml_text(title) + "</h1>\n";
  page += "<p>" + to_string(scene.stations.size()) + " stations, " + to_string(scene.signals.size()) + " signals, " +
          to_string(scene.slowdowns.size()) + " slowdowns, " + to_string(scene.boards.size()) +
          " line-side boards, line length " + to_string(scene.line_length) + " m.</p>\n";
  page += "<h2>Plan</h2>\n" + drawings.plan + "<h2>Profile</h2>\n" + drawings.profile +
          "<h2>Time-distance chart</h2>\n" + drawings.chart;
  page += legend() + station_table(scene) + signal_table(scene) + header_table(record);
  return page + "<script>" + zoom_script() + "</script>\n</body>\n</html>\n";
}

}  // namespace scenario
