#include "diff/scenario_diff.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>

#include "decompile/decompile_findings.h"
#include "decompile/decompile_line.h"
#include "decompile/decompile_train.h"
#include "description/description_records.h"
#include "format/cp1252.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "render/dump.h"

namespace scenario {
namespace {

using std::to_string;

// A plan point that moved less than this, in metres, has not moved: the plan is computed in
// floating point from the same curves.
constexpr double kPlanTolerance = 0.001;

// A record's values by name, in file order, as shown.
using Values = std::vector<std::pair<std::string, std::string>>;

std::vector<FieldChange> changed_fields(const Values& old_values, const Values& new_values) {
  std::vector<FieldChange> fields;
  for (size_t i = 0; i < old_values.size() && i < new_values.size(); ++i) {
    if (old_values[i].second != new_values[i].second) {
      fields.push_back({old_values[i].first, old_values[i].second, new_values[i].second});
    }
  }
  return fields;
}

std::vector<FieldChange> added_fields(const Values& values) {
  std::vector<FieldChange> fields;
  for (const auto& [name, value] : values) fields.push_back({name, "", value});
  return fields;
}

// Records of one kind that stand at positions: matched by position, then moved pairs of equal
// values (the nearest first), then the rest added and removed.
template <typename Record>
void diff_placed(const std::string& kind, const std::vector<Record>& old_records, const std::vector<Record>& new_records,
                 const std::function<int64_t(const Record&)>& position_of,
                 const std::function<Values(const Record&)>& values_of, std::vector<ScenarioChange>* out) {
  std::vector<bool> old_used(old_records.size()), new_used(new_records.size());
  std::vector<ScenarioChange> changes;
  for (size_t o = 0; o < old_records.size(); ++o) {
    for (size_t n = 0; n < new_records.size(); ++n) {
      if (new_used[n] || position_of(old_records[o]) != position_of(new_records[n])) continue;
      old_used[o] = new_used[n] = true;
      const std::vector<FieldChange> fields = changed_fields(values_of(old_records[o]), values_of(new_records[n]));
      if (!fields.empty()) {
        const int64_t at = position_of(old_records[o]);
        changes.push_back({kind, "changed", "", at, at, std::nullopt, fields});
      }
      break;
    }
  }
  for (size_t o = 0; o < old_records.size(); ++o) {
    if (old_used[o]) continue;
    const int64_t from = position_of(old_records[o]);
    const Values values = values_of(old_records[o]);
    std::optional<size_t> nearest;
    for (size_t n = 0; n < new_records.size(); ++n) {
      if (new_used[n] || values_of(new_records[n]) != values) continue;
      if (!nearest || std::llabs(position_of(new_records[n]) - from) < std::llabs(position_of(new_records[*nearest]) - from)) {
        nearest = n;
      }
    }
    if (!nearest) continue;
    old_used[o] = new_used[*nearest] = true;
    changes.push_back({kind, "moved", "", from, position_of(new_records[*nearest]), std::nullopt, {}});
  }
  for (size_t o = 0; o < old_records.size(); ++o) {
    if (!old_used[o]) changes.push_back({kind, "removed", "", position_of(old_records[o]), std::nullopt, std::nullopt, {}});
  }
  for (size_t n = 0; n < new_records.size(); ++n) {
    if (!new_used[n]) {
      changes.push_back({kind, "added", "", std::nullopt, position_of(new_records[n]), std::nullopt,
                         added_fields(values_of(new_records[n]))});
    }
  }
  std::stable_sort(changes.begin(), changes.end(), [](const ScenarioChange& a, const ScenarioChange& b) {
    return a.old_at.value_or(a.new_at.value_or(0)) < b.old_at.value_or(b.new_at.value_or(0));
  });
  out->insert(out->end(), changes.begin(), changes.end());
}

std::string two_digits(int64_t value) { return (value >= 0 && value < 10 ? "0" : "") + to_string(value); }

std::string clock_words(int64_t hours, int64_t minutes, int64_t seconds) {
  return two_digits(hours) + ":" + two_digits(minutes) + ":" + two_digits(seconds);
}

std::string utf8(const std::string& cp1252) { return cp1252_to_utf8(cp1252); }

// --- header ---

Values header_values(const ScenarioModel& files) {
  const HeaderView header(files.station_table);
  Values values = {{"line name", utf8(header.line_name())},
                   {"train number", utf8(header.train_number())},
                   {"line length", to_string(header.line_length()) + " m"}};
  const char* const progression_names[] = {"progression (entry 81)", "progression (entry 82)", "progression (entry 83)"};
  for (size_t i = 0; i < std::size(kProgressionSlots); ++i) {
    const Progression p = header.progression(kProgressionSlots[i]);
    values.push_back({progression_names[i], to_string(p.first) + ", " + to_string(p.second) + ", " + to_string(p.flag)});
  }
  values.push_back({"sfondo uno", to_string(header.background_one())});
  values.push_back({"sfondo due", to_string(header.background_two())});
  values.push_back({"sfondo tre", to_string(header.background_three())});
  values.push_back({"signal repetition", to_string(header.repetition_from()) + " to " + to_string(header.repetition_to()) +
                                             " m, " + to_string(header.repetition_codes()) + " codes"});
  values.push_back({"cars", to_string(header.number_of_cars())});
  values.push_back({"braked mass", to_string(header.braked_mass_percentage()) + " %"});
  values.push_back({"sand", to_string(header.sand())});
  values.push_back({"clock", clock_words(header.clock_hours(), header.clock_minutes(), header.clock_seconds())});
  return values;
}

// --- stations ---

Values station_values(const StationRecord& s) {
  return {{"type", to_string(s.station_type)},
          {"platform", to_string(s.platform_length) + " m"},
          {"flags", to_string(s.option_a) + ", " + to_string(s.option_b) + ", " + to_string(s.option_c)},
          {"left group", to_string(s.group1_a) + ", " + to_string(s.group1_b) + ", " + to_string(s.group1_c)},
          {"right group", to_string(s.group2_a) + ", " + to_string(s.group2_b) + ", " + to_string(s.group2_c)},
          {"stop", to_string(s.stop_value) + " s"},
          {"departure", clock_words(s.hours, s.minutes, s.seconds)}};
}

void diff_stations(const std::vector<StationRecord>& old_stations, const std::vector<StationRecord>& new_stations,
                   std::vector<ScenarioChange>* out) {
  // The n-th station of a name goes with the n-th of that name.
  std::map<std::string, std::vector<size_t>> new_by_name;
  for (size_t n = 0; n < new_stations.size(); ++n) new_by_name[new_stations[n].name].push_back(n);
  std::map<std::string, size_t> taken;
  std::vector<bool> new_used(new_stations.size());
  std::vector<ScenarioChange> changes;
  for (const StationRecord& old_station : old_stations) {
    const std::vector<size_t>& same_name = new_by_name[old_station.name];
    size_t& next = taken[old_station.name];
    if (next >= same_name.size()) {
      changes.push_back({"station", "removed", utf8(old_station.name), old_station.position, std::nullopt, std::nullopt, {}});
      continue;
    }
    const StationRecord& new_station = new_stations[same_name[next]];
    new_used[same_name[next]] = true;
    ++next;
    const std::vector<FieldChange> fields = changed_fields(station_values(old_station), station_values(new_station));
    const bool moved = old_station.position != new_station.position;
    if (!moved && fields.empty()) continue;
    const bool only_time = std::all_of(fields.begin(), fields.end(), [](const FieldChange& f) {
      return f.field == "departure" || f.field == "stop";
    });
    changes.push_back({"station", moved ? "moved" : only_time ? "retimed" : "changed", utf8(old_station.name),
                       old_station.position, new_station.position, std::nullopt, fields});
  }
  for (size_t n = 0; n < new_stations.size(); ++n) {
    if (new_used[n]) continue;
    changes.push_back({"station", "added", utf8(new_stations[n].name), std::nullopt, new_stations[n].position,
                       std::nullopt, added_fields(station_values(new_stations[n]))});
  }
  std::stable_sort(changes.begin(), changes.end(), [](const ScenarioChange& a, const ScenarioChange& b) {
    return a.old_at.value_or(a.new_at.value_or(0)) < b.old_at.value_or(b.new_at.value_or(0));
  });
  out->insert(out->end(), changes.begin(), changes.end());
}

// --- placed features ---

Values signal_values(const SignalRecord& s) {
  return {{"sx", to_string(s.sx)},     {"s1", to_string(s.s1)}, {"s2", to_string(s.s2)}, {"s3", to_string(s.s3)},
          {"rapp", to_string(s.rapp)}, {"dx", to_string(s.dx)}, {"d1", to_string(s.d1)}, {"d2", to_string(s.d2)},
          {"d3", to_string(s.d3)},     {"tempo", to_string(s.tempo)}};
}

Values slowdown_values(const SlowdownRecord& s) {
  return {{"speed", to_string(s.v) + " km/h"}, {"length", to_string(s.l) + " m"}, {"f_tt", to_string(s.f_tt)},
          {"f_ta", to_string(s.f_ta)},         {"d_v", to_string(s.d_v)}};
}

Values speed_board_values(const SpeedBoardRecord& b) {
  return {{"left", to_string(b.vas) + ", " + to_string(b.vbs) + ", " + to_string(b.vcs) + " km/h, " +
                       to_string(b.strisces) + " stripes"},
          {"right", to_string(b.vad) + ", " + to_string(b.vbd) + ", " + to_string(b.vcd) + " km/h, " +
                        to_string(b.strisced) + " stripes"}};
}

Values board_values(const BoardRecord& b) { return {{"text", utf8(b.text)}}; }

Values cut_off_values(const PositionValue& p) { return {{"value", to_string(p.value)}}; }

// --- stretches ---

// Runs of cells whose old and new value differ, each with one old and one new value.
void diff_stretch(const std::string& kind, const std::vector<TrackCell>& old_cells, const std::vector<TrackCell>& new_cells,
                  const std::function<std::string(const TrackCell&)>& value_of, std::vector<ScenarioChange>* out) {
  const size_t common = std::min(old_cells.size(), new_cells.size());
  for (size_t i = 0; i < common;) {
    const std::string old_value = value_of(old_cells[i]);
    const std::string new_value = value_of(new_cells[i]);
    size_t j = i;
    while (j + 1 < common && value_of(old_cells[j + 1]) == old_value && value_of(new_cells[j + 1]) == new_value) ++j;
    if (old_value != new_value) {
      const int64_t from = stretch_metres(static_cast<int64_t>(i));
      out->push_back({kind, "changed", "", from, from, stretch_metres(static_cast<int64_t>(j) + 1),
                      {{"value", old_value, new_value}}});
    }
    i = j + 1;
  }
}

std::string signed_number(int64_t value) { return (value > 0 ? "+" : "") + to_string(value); }

// --- plan ---

std::string metres_number(double value) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

void diff_plan(const LinePlan& old_plan, const LinePlan& new_plan, std::vector<ScenarioChange>* out) {
  const bool old_has = old_plan.started() && old_plan.next_metre() >= 2;
  const bool new_has = new_plan.started() && new_plan.next_metre() >= 2;
  if (!old_has && !new_has) return;
  if (old_has != new_has) {
    out->push_back({"plan", old_has ? "removed" : "added", "", std::nullopt, std::nullopt, std::nullopt, {}});
    return;
  }
  const int64_t last = std::min(old_plan.next_metre(), new_plan.next_metre()) - 1;
  std::optional<int64_t> first_moved;
  int64_t last_moved = 0;
  double most = 0;
  for (int64_t m = 0; m <= last; ++m) {
    const auto i = static_cast<int32_t>(m);
    const double distance = std::hypot(old_plan.x(i) - new_plan.x(i), old_plan.y(i) - new_plan.y(i));
    // A point that is not a number differs from every other.
    if (distance > kPlanTolerance || std::isnan(distance)) {
      if (!first_moved) first_moved = m;
      last_moved = m;
      if (!(distance <= most)) most = distance;
    }
  }
  if (!first_moved) return;
  out->push_back({"plan", "moved", "", *first_moved, *first_moved, last_moved, {{"by up to", "", metres_number(most) + " m"}}});
}

std::string at_words(int64_t metres) { return kilometre_text(metres); }

}  // namespace

std::vector<ScenarioChange> scenario_diff(const ScenarioModel& old_files, const ScenarioModel& new_files) {
  std::vector<ScenarioChange> changes;
  const std::vector<FieldChange> header = changed_fields(header_values(old_files), header_values(new_files));
  for (const FieldChange& field : header) {
    changes.push_back({"header", "changed", "", std::nullopt, std::nullopt, std::nullopt, {field}});
  }

  Findings unused;
  const LineDescription old_line = recover_line(old_files, unused);
  const LineDescription new_line = recover_line(new_files, unused);
  const TrainDescription old_train = recover_train(old_files, unused);
  const TrainDescription new_train = recover_train(new_files, unused);

  diff_stations(old_train.stations, new_train.stations, &changes);
  diff_placed<SignalRecord>("signal", old_train.signals, new_train.signals,
                            [](const SignalRecord& s) { return int64_t{s.posizione}; }, signal_values, &changes);
  diff_placed<SlowdownRecord>("slowdown", old_train.slowdowns, new_train.slowdowns,
                              [](const SlowdownRecord& s) { return int64_t{s.x}; }, slowdown_values, &changes);
  diff_placed<SpeedBoardRecord>("speed board", old_line.speed_boards, new_line.speed_boards,
                                [](const SpeedBoardRecord& b) { return int64_t{b.posizione}; }, speed_board_values,
                                &changes);
  diff_placed<BoardRecord>("board", old_line.boards, new_line.boards,
                           [](const BoardRecord& b) { return int64_t{b.position}; }, board_values, &changes);
  diff_placed<PositionValue>("cut-off point", old_train.cut_off_points, new_train.cut_off_points,
                             [](const PositionValue& p) { return int64_t{p.position}; }, cut_off_values, &changes);

  diff_stretch("speed limit", old_files.cells, new_files.cells,
               [](const TrackCell& c) { return to_string(speed_kmh(c.speed_limit)) + " km/h"; }, &changes);
  diff_stretch("gradient", old_files.cells, new_files.cells,
               [](const TrackCell& c) { return signed_number(gradient_per_mille(c.gradient)) + " per mille"; }, &changes);
  diff_stretch("adhesion", old_files.cells, new_files.cells, [](const TrackCell& c) { return to_string(c.adhesion); },
               &changes);
  diff_stretch("mountain type", old_files.cells, new_files.cells,
               [](const TrackCell& c) { return c.montagna_tipo == 0 ? std::string("none") : to_string(c.montagna_tipo); },
               &changes);
  diff_plan(old_files.plan, new_files.plan, &changes);
  return changes;
}

std::string diff_text(const std::vector<ScenarioChange>& changes) {
  std::string out;
  for (const ScenarioChange& c : changes) {
    std::string line = c.kind;
    if (!c.subject.empty()) line += " " + c.subject;
    if (c.to) {
      line += " " + at_words(*c.old_at) + " to " + at_words(*c.to);
    } else if (c.old_at) {
      line += " at " + at_words(*c.old_at);
    } else if (c.new_at) {
      line += " at " + at_words(*c.new_at);
    }
    line += ": ";
    if (c.kind == "header" || (c.to && c.change == "changed")) {
      // A value: its old and new.
    } else {
      line += c.change;
      if (c.change == "moved" && c.old_at && c.new_at && c.old_at != c.new_at) line += " to " + at_words(*c.new_at);
    }
    std::string fields;
    for (const FieldChange& f : c.fields) {
      fields += fields.empty() ? "" : ", ";
      if (c.change == "added") {
        fields += f.field + " " + f.new_value;
      } else if (f.old_value.empty()) {
        fields += f.field + " " + f.new_value;
      } else {
        fields += (f.field == "value" ? "" : f.field + " ") + f.old_value + " -> " + f.new_value;
      }
    }
    if (!fields.empty()) line += (line.ends_with(": ") ? "" : ": ") + fields;
    if (line.ends_with(": ")) line.resize(line.size() - 2);
    out += line + "\n";
  }
  return out;
}

std::string diff_json(const std::vector<ScenarioChange>& changes) {
  using Json = nlohmann::ordered_json;
  Json list = Json::array();
  for (const ScenarioChange& c : changes) {
    Json fields = Json::array();
    for (const FieldChange& f : c.fields) {
      fields.push_back({{"field", f.field}, {"old", f.old_value}, {"new", f.new_value}});
    }
    Json change = {{"kind", c.kind}, {"change", c.change}};
    if (!c.subject.empty()) change["name"] = c.subject;
    change["old_metres"] = c.old_at ? Json(*c.old_at) : Json(nullptr);
    change["new_metres"] = c.new_at ? Json(*c.new_at) : Json(nullptr);
    if (c.to) change["to_metres"] = *c.to;
    change["fields"] = std::move(fields);
    list.push_back(std::move(change));
  }
  const Json document = {{"count", changes.size()}, {"changes", std::move(list)}};
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace scenario
