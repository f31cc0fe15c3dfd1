#include "render/render_scene.h"

#include <algorithm>
#include <optional>

#include "format/cp1252.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "render/dump.h"
#include "render/signal_words.h"

namespace scenario {
namespace {

using std::to_string;

constexpr int64_t kCell = CELL_LENGTH;
constexpr int64_t kMountainGap = 150;  // stretches this close belong to one tunnel

std::string utf8_name(const std::string& cp1252) { return cp1252_to_utf8(cp1252); }

std::string trimmed(std::string text) {
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// The groups of a board text "(A)(B)(C)", trimmed.
std::vector<std::string> board_groups(const std::string& text) {
  std::vector<std::string> groups;
  for (size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
    const size_t close = text.find(')', open);
    if (close == std::string::npos) break;
    groups.push_back(trimmed(text.substr(open + 1, close - open - 1)));
  }
  return groups;
}

// Whole digits, or nothing.
std::optional<int64_t> digits_value(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return {};
  return std::stoll(text);
}

// "Km 105+800" as metres.
std::optional<int64_t> kilometre_mark(const std::string& group) {
  if (group.rfind("Km ", 0) != 0) return {};
  const size_t plus = group.find('+');
  if (plus == std::string::npos) return {};
  const auto km = digits_value(trimmed(group.substr(3, plus - 3)));
  const auto m = digits_value(group.substr(plus + 1));
  if (!km || !m) return {};
  return *km * 1000 + *m;
}

// "L.m 6.478" as metres; the point separates thousands.
std::optional<int64_t> tunnel_length(const std::string& group) {
  if (group.rfind("L.m ", 0) != 0) return {};
  std::string number = trimmed(group.substr(4));
  number.erase(std::remove(number.begin(), number.end(), '.'), number.end());
  return digits_value(number);
}

void add_tunnel(const std::string& text, LineScene* scene) {
  const std::vector<std::string> groups = board_groups(text);
  if (groups.size() < 2 || groups[0].empty() || groups[0].rfind("P.L.", 0) == 0) return;
  const std::optional<int64_t> from = kilometre_mark(groups[1]);
  if (!from) return;
  SceneTunnel tunnel{groups[0], *from, *from};
  if (const auto length = groups.size() > 2 ? tunnel_length(groups[2]) : std::nullopt) {
    tunnel.to = *from + *length;
  } else {
    for (const SceneSpan& span : scene->mountains) {
      const bool starts_it = tunnel.to == tunnel.from && span.from >= *from - kCell && span.from <= *from + kCell;
      const bool continues_it = tunnel.to > tunnel.from && span.from <= tunnel.to + kMountainGap;
      if (span.from >= *from - kCell && (starts_it || continues_it)) tunnel.to = std::max(tunnel.to, span.to);
    }
  }
  scene->tunnels.push_back(tunnel);
}

void read_stations(const ScenarioRecord& record, LineScene* scene) {
  for (int index = 1; index < kEntryProgressionTre; ++index) {
    const StationEntry& entry = record[static_cast<size_t>(index)];
    if (entry_role(index, entry) != EntryRole::kStation) continue;
    SceneStation station;
    station.entry = index;
    station.name = utf8_name(entry.name);
    station.position = entry.position;
    station.area_start = entry.area_start;
    station.area_end = entry.area_end;
    station.station_type = entry.station_type;
    station.stop_seconds = entry.stop_value;
    station.departure = entry.time_seconds;
    scene->stations.push_back(station);
  }
  // The run's order is the line's order.
  std::stable_sort(scene->stations.begin(), scene->stations.end(),
                   [](const SceneStation& a, const SceneStation& b) { return a.position < b.position; });
  std::vector<SceneStation*> timed;
  for (SceneStation& station : scene->stations) {
    if (station.departure != 0) timed.push_back(&station);
  }
  for (SceneStation* station : timed) {
    if (station == timed.front()) {
      station->timing = StationTiming::kDeparture;
    } else if (station == timed.back() && station->stop_seconds == 0) {
      station->timing = StationTiming::kArrival;
      station->arrival = station->departure;
      station->departure = 0;
    } else if (station->stop_seconds > 0) {
      station->timing = StationTiming::kStop;
      station->arrival = station->departure - station->stop_seconds;
    } else {
      station->timing = StationTiming::kPassing;
    }
  }
}

void read_cells(const ScenarioModel& model, LineScene* scene) {
  const ScenarioRecord& record = model.station_table;
  const std::vector<TrackCell>& cells = model.cells;
  bool slowdown_open = false;
  SceneSpan slowdown;
  for (size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& cell = cells[i];
    const int64_t at = cell_metres(static_cast<int64_t>(i));
    switch (cell.kind) {
      case kSignal: {
        std::string words;
        for (const std::string& phrase : signal_phrases(cells, i)) words += (words.empty() ? "" : "\n") + phrase;
        const SignalTerms terms = signal_terms(cells, i);
        scene->signals.push_back({at, 0, words, {terms.left, terms.right, terms.repetition, terms.time, terms.next_signal}});
        break;
      }
      case kSlowdownStart:
        // A start with no end before the next start is a slowdown shorter than a cell.
        if (slowdown_open) scene->slowdowns.push_back(slowdown);
        slowdown = {at, at, cell.value_a};
        slowdown_open = true;
        break;
      case kSlowdownEnd:
        if (slowdown_open) {
          slowdown.to = at;
          scene->slowdowns.push_back(slowdown);
          slowdown_open = false;
        }
        break;
      case kSlowdownWarning:
        scene->warnings.push_back({at, cell.value_a, "slowdown warning " + to_string(cell.value_a) + " km/h", {}});
        break;
      case kSpeedBoard:
        scene->speed_boards.push_back({at, 0, "speed board " + to_string(cell.value_a) + " " +
                                                  to_string(cell.value_b) + " " + to_string(cell.value_c) + " " +
                                                  to_string(cell.value_d),
                                               {}});
        break;
      case kBoardText: {
        const int entry = cell.value_a;
        const std::string text = entry >= 0 && entry < kStationEntryCount
                                     ? utf8_name(record[static_cast<size_t>(entry)].name)
                                     : "(entry " + to_string(entry) + ")";
        scene->boards.push_back({at, entry, text, {}});
        break;
      }
      default:
        break;
    }
  }
  if (slowdown_open) scene->slowdowns.push_back(slowdown);
}

// Runs of cells with one value of a stretch field: cell i holds from 50 * i to 50 * (i + 1).
template <typename Field>
std::vector<SceneSpan> stretch_runs(const std::vector<TrackCell>& cells, Field field, bool skip_zero) {
  std::vector<SceneSpan> runs;
  for (size_t i = 0; i < cells.size();) {
    const int value = field(cells[i]);
    size_t j = i;
    while (j + 1 < cells.size() && field(cells[j + 1]) == value) ++j;
    if (!skip_zero || value != 0) {
      runs.push_back({stretch_metres(static_cast<int64_t>(i)), stretch_metres(static_cast<int64_t>(j + 1)), value});
    }
    i = j + 1;
  }
  return runs;
}

void read_stretches(const std::vector<TrackCell>& cells, LineScene* scene) {
  scene->mountains = stretch_runs(cells, [](const TrackCell& c) { return static_cast<int>(c.montagna_tipo); }, true);
  scene->gradients = stretch_runs(cells, [](const TrackCell& c) { return gradient_per_mille(c.gradient); }, false);
  double height = 0.0;
  scene->heights.push_back({0, 0.0});
  for (size_t i = 0; i < cells.size(); ++i) {
    height += gradient_per_mille(cells[i].gradient) * static_cast<double>(kCell) / 1000.0;
    scene->heights.push_back({stretch_metres(static_cast<int64_t>(i) + 1), height});
    if (i == 0 || cells[i].speed_limit != cells[i - 1].speed_limit) {
      scene->speed_limits.push_back({stretch_metres(static_cast<int64_t>(i)), static_cast<double>(speed_kmh(cells[i].speed_limit))});
    }
  }
}

}  // namespace

std::string timing_text(const SceneStation& station) {
  switch (station.timing) {
    case StationTiming::kNone: return "";
    case StationTiming::kDeparture: return "dep " + clock_text(station.departure);
    case StationTiming::kStop: return "arr " + clock_text(station.arrival) + " dep " + clock_text(station.departure);
    case StationTiming::kPassing: return "passes " + clock_text(station.departure);
    case StationTiming::kArrival: return "arr " + clock_text(station.arrival);
  }
  return "";
}

bool has_time(const SceneStation& station) { return station.timing != StationTiming::kNone; }

int64_t first_time(const SceneStation& station) {
  return station.timing == StationTiming::kStop || station.timing == StationTiming::kArrival ? station.arrival
                                                                                              : station.departure;
}

int64_t last_time(const SceneStation& station) {
  return station.timing == StationTiming::kArrival ? station.arrival : station.departure;
}

std::string metres_words(int64_t metres) {
  const std::string digits = to_string(metres < 0 ? -metres : metres);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return (metres < 0 ? "-" : "") + out + " m";
}

LineScene build_scene(const ScenarioModel& model) {
  LineScene scene;
  const ScenarioRecord& record = model.station_table;
  const HeaderView header(record);
  scene.line_name = utf8_name(header.line_name());
  scene.train_number = utf8_name(header.train_number());
  scene.line_length = header.line_length();
  const int64_t covered = static_cast<int64_t>(model.cells.size()) * kCell;
  if (scene.line_length <= 0 || scene.line_length > covered) {
    // No usable line length in the header: show what the cells cover, less their run-out.
    scene.line_length = std::max<int64_t>(kCell, covered - kCellsPastLineEnd);
  }
  read_stations(record, &scene);
  read_cells(model, &scene);
  read_stretches(model.cells, &scene);
  for (const SceneMark& board : scene.boards) add_tunnel(board.text, &scene);

  // A terminal station may lie in the run-out past the line's end: the profile reaches it.
  scene.extent = scene.line_length;
  for (const SceneStation& station : scene.stations) {
    scene.extent = std::max(scene.extent, std::max(station.position, station.area_end));
  }
  for (const SceneSpan& span : scene.slowdowns) scene.extent = std::max(scene.extent, span.to);
  scene.extent = std::max(scene.line_length, std::min(scene.extent, covered - kCell));
  return scene;
}

}  // namespace scenario
