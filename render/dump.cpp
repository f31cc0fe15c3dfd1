#include "render/dump.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <set>

#include "format/cp1252.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "render/signal_words.h"

namespace scenario {
namespace {

using std::to_string;

std::string signed_text(int64_t value) { return (value > 0 ? "+" : "") + to_string(value); }

// JSON documents keep their keys in the order they were set, so that dumps read and diff well.
using Json = nlohmann::ordered_json;

// A document as text: two blanks of indent, UTF-8; bytes that are not UTF-8 become U+FFFD rather
// than an exception.
std::string json_text(const Json& document) {
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// A double for the text dump: fixed, to the millimetre.
std::string metre_number(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

// A double in JSON: exact (the shortest form that reads back to the same value), null when it is
// not a finite number.
Json json_number(double value) { return std::isfinite(value) ? Json(value) : Json(nullptr); }

std::string metres_text(int64_t metres) { return to_string(metres) + " m (" + kilometre_text(metres) + ")"; }

// The numeric fields of a station entry in file order; the name sits between option_a and group1_a.
struct NumericField {
  const char* name;
  int64_t value;
};
constexpr size_t kFieldsBeforeName = 5;

std::vector<NumericField> numeric_fields(const StationEntry& entry) {
  return {{"station_type", entry.station_type}, {"area_start", entry.area_start}, {"area_end", entry.area_end},
          {"position", entry.position},         {"option_a", entry.option_a},     {"group1_a", entry.group1_a},
          {"group1_b", entry.group1_b},         {"group2_a", entry.group2_a},     {"group2_b", entry.group2_b},
          {"group2_c", entry.group2_c},         {"group1_c", entry.group1_c},     {"stop_value", entry.stop_value},
          {"option_c", entry.option_c},         {"option_b", entry.option_b},     {"time_seconds", entry.time_seconds}};
}

bool is_metre_field(const std::string& name) {
  return name == "area_start" || name == "area_end" || name == "position";
}

// A station's field as shown: positions with their kilometre, the time as a clock.
std::string station_field_text(const NumericField& field) {
  const std::string name = field.name;
  if (is_metre_field(name)) return metres_text(field.value);
  if (name == "time_seconds") return to_string(field.value) + " (" + clock_text(field.value) + ")";
  return to_string(field.value);
}

std::string two_digits(int64_t value) {
  std::string text = to_string(value);
  return value >= 0 && value < 10 ? "0" + text : text;
}

// --- track cells ---

bool holds_anything(const TrackCell& cell) {
  return cell.kind != 0 || cell.value_a != 0 || cell.value_b != 0 || cell.value_c != 0 || cell.value_d != 0 ||
         cell.signal_time != 0 || cell.approach_code != 0;
}

bool same_stretch(const TrackCell& a, const TrackCell& b) {
  return a.montagna_tipo == b.montagna_tipo && a.speed_limit == b.speed_limit && a.gradient == b.gradient &&
         a.adhesion == b.adhesion;
}

// How many of value_a..value_d a kind carries (Part of the cell-kind table).
int values_carried(uint8_t kind) {
  switch (kind) {
    case kSignal:
    case kSpeedBoard: return 4;
    case kSlowdownEnd:
    case kSlowdownStart: return 3;
    case kSlowdownWarning:
    case kSlowdownPrewarning: return 2;
    case kStopMarker:
    case kCutOffPoint:
    case kBoardText: return 1;
    default: return 0;
  }
}

// What a cell's value means, in a few words, or "".
std::string value_meaning(size_t cell_index, const TrackCell& cell, int value_number, int16_t value) {
  if (value_number == 0) {
    switch (cell.kind) {
      case kSlowdownEnd:
      case kSlowdownStart:
      case kSlowdownWarning: return "slowdown speed " + to_string(value) + " km/h";
      case kSlowdownPrewarning: return "pre-warning " + to_string(value) + " of 4";
      case kStopMarker: return "station entry " + to_string(value);
      case kBoardText: return "board entry " + to_string(value);
      default: break;
    }
  }
  if (cell_index == kHeaderCell && cell.kind == kEmpty) {
    if (value_number == 0) return "header constant";
    if (value_number == 1) return "first check code";
  }
  return "";
}

std::string kind_text(uint8_t kind) {
  const std::string name = cell_kind_name(kind);
  return "kind " + to_string(kind) + " " + (name.empty() ? "unused_code" : name);
}

bool no_stretch_value(const TrackCell& cell) {
  return cell.speed_limit == 0 && cell.gradient == 0 && cell.adhesion == 0 && cell.montagna_tipo == 0;
}

// The stretch values of cell i, from where they hold; the last cells, which no fill reaches, say so.
std::string stretch_text(size_t index, size_t highest, const TrackCell& cell) {
  const int64_t i = static_cast<int64_t>(index);
  std::string text = "stretch from " + metres_text(stretch_metres(i)) + ": ";
  if (past_stretch_fills(i, static_cast<int64_t>(highest)) && no_stretch_value(cell)) {
    return text + "none (past the line's end, where no record sets a stretch value)";
  }
  return text + "speed_limit " + to_string(cell.speed_limit) + " (" + to_string(speed_kmh(cell.speed_limit)) +
         " km/h), gradient " + to_string(cell.gradient) + " (" + signed_text(gradient_per_mille(cell.gradient)) +
         " per mille), adhesion " + to_string(cell.adhesion) + ", montagna_tipo " + to_string(cell.montagna_tipo);
}

std::string cell_line(size_t index, size_t highest, const TrackCell& cell, bool show_stretch) {
  std::vector<std::string> parts;
  if (cell.kind != 0) parts.push_back(kind_text(cell.kind));
  const int16_t values[4] = {cell.value_a, cell.value_b, cell.value_c, cell.value_d};
  const char* value_names[4] = {"value_a", "value_b", "value_c", "value_d"};
  const int carried = values_carried(cell.kind);
  for (int v = 0; v < 4; ++v) {
    if (v >= carried && values[v] == 0) continue;
    std::string part = std::string(value_names[v]) + " " + to_string(values[v]);
    const std::string meaning = value_meaning(index, cell, v, values[v]);
    if (!meaning.empty()) part += " (" + meaning + ")";
    parts.push_back(part);
  }
  if (cell.kind == kSignal || cell.signal_time != 0) parts.push_back("signal_time " + to_string(cell.signal_time));
  if (cell.approach_code != 0) parts.push_back("approach_code " + to_string(cell.approach_code));
  // A cell that holds no feature is named by its index alone: its stretch says where it holds from.
  std::string line = "cell " + to_string(index);
  if (!parts.empty() || !show_stretch) line += " at " + metres_text(cell_metres(static_cast<int64_t>(index)));
  line += ":";
  for (size_t p = 0; p < parts.size(); ++p) line += (p == 0 ? " " : ", ") + parts[p];
  if (show_stretch) line += (parts.empty() ? " " : "; ") + stretch_text(index, highest, cell);
  return line + "\n";
}

// A signal cell's line ends with what its values mean in the terms of the signal record.
std::string with_signal_words(const std::vector<TrackCell>& cells, size_t index, std::string line) {
  if (cells[index].kind != kSignal) return line;
  line.insert(line.size() - 1, "; meaning: " + signal_words(cells, index));  // before the line end
  return line;
}

// --- scenario record ---

std::string quoted_name(const std::string& cp1252_name) { return json_string(cp1252_to_utf8(cp1252_name)); }

void append_station_block(int index, const StationEntry& entry, EntryRole role, std::string* out) {
  *out += "entry " + to_string(index) + ": " + entry_role_name(role) + "\n";
  const std::vector<NumericField> fields = numeric_fields(entry);
  for (size_t f = 0; f < fields.size(); ++f) {
    if (f == kFieldsBeforeName) *out += "  name: " + quoted_name(entry.name) + "\n";
    // A board holds only its text; any number it carries all the same is shown too.
    if (role == EntryRole::kBoard && fields[f].value == 0) continue;
    *out += "  " + std::string(fields[f].name) + ": " + station_field_text(fields[f]) + "\n";
  }
}

void append_header_block(int index, const StationEntry& entry, const std::vector<HeaderValue>& header,
                         std::string* out) {
  *out += "entry " + to_string(index) + ": header\n";
  std::set<std::string> covered;
  for (const HeaderValue& value : header) {
    if (value.entry != index) continue;
    *out += "  " + std::string(value.meaning) + " (" + value.field + "): " + value.text + "\n";
    std::string fields = value.field;
    size_t start = 0;
    while (start <= fields.size()) {
      const size_t comma = fields.find(", ", start);
      covered.insert(fields.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 2;
    }
  }
  // Fields the header gives no meaning to are shown only when they hold something.
  if (!covered.count("name") && !entry.name.empty()) *out += "  name: " + quoted_name(entry.name) + "\n";
  for (const NumericField& field : numeric_fields(entry)) {
    if (covered.count(field.name) || field.value == 0) continue;
    *out += "  " + std::string(field.name) + ": " + to_string(field.value) + "\n";
  }
}

void append_empty_run(int first, int last, std::string* out) {
  if (first == last) {
    *out += "entry " + to_string(first) + ": empty\n";
  } else {
    *out += "entries " + to_string(first) + " to " + to_string(last) + ": empty\n";
  }
}

// --- line record ---

// The metres shown by a plan dump: 0, step, 2 * step ... and the last computed metre.
std::vector<int32_t> shown_metres(const LinePlan& plan, int32_t step) {
  std::vector<int32_t> metres;
  if (!plan.started()) return metres;
  if (step < 1) step = 1;
  const int32_t last = plan.next_metre() - 1;
  for (int64_t m = 0; m <= last; m += step) metres.push_back(static_cast<int32_t>(m));
  if (metres.back() != last) metres.push_back(last);
  return metres;
}

std::string plan_title(const LinePlan& plan) {
  if (!plan.allocated()) return "line record: no plan (the line length was never read)\n";
  std::string text = "line record: plan of metres 0 to " + to_string(plan.plan_length()) + ", " +
                     to_string(2 * (static_cast<int64_t>(plan.plan_length()) + 1)) + " elements\n";
  if (!plan.started()) return text + "all elements empty: the plan was sized but never computed\n";
  const int32_t last = plan.next_metre() - 1;
  text += "metres 0 and 1: 16-bit integers; ";
  text += last >= 2 ? "doubles from metre 2 to " + to_string(last) : std::string("no doubles");
  if (last < plan.plan_length()) {
    text += "; empty from metre " + to_string(last + 1) + " to " + to_string(plan.plan_length());
  }
  return text + "\n";
}

}  // namespace

std::string kilometre_text(int64_t metres) {
  const bool negative = metres < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(metres) : static_cast<uint64_t>(metres);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "Km %s%llu+%03llu", negative ? "-" : "",
                static_cast<unsigned long long>(magnitude / 1000), static_cast<unsigned long long>(magnitude % 1000));
  return buffer;
}

std::string clock_text(int64_t seconds) {
  if (seconds < 0) return "-" + clock_text(-seconds);
  return two_digits(seconds / 3600) + ":" + two_digits(seconds / 60 % 60) + ":" + two_digits(seconds % 60);
}

EntryRole entry_role(int index, const StationEntry& entry) {
  if (index >= kEntryProgressionTre) return EntryRole::kHeader;
  bool any_number = false;
  for (const NumericField& field : numeric_fields(entry)) any_number = any_number || field.value != 0;
  if (any_number) return EntryRole::kStation;
  return entry.name.empty() ? EntryRole::kEmpty : EntryRole::kBoard;
}

const char* entry_role_name(EntryRole role) {
  switch (role) {
    case EntryRole::kEmpty: return "empty";
    case EntryRole::kStation: return "station";
    case EntryRole::kBoard: return "line-side board";
    case EntryRole::kHeader: return "header";
  }
  return "";
}

std::vector<HeaderValue> header_values(const ScenarioRecord& record) {
  const HeaderView header(record);
  std::vector<HeaderValue> values;
  const char* progression_names[3] = {"kilometric progression tre", "kilometric progression due",
                                      "kilometric progression uno"};
  for (const ProgressionSlot slot : kProgressionSlots) {
    const Progression progression = header.progression(slot);
    values.push_back({progression_entry(slot), "area_start, area_end, position",
                      progression_names[static_cast<int>(slot)],
                      "first " + metres_text(progression.first) + ", second " + metres_text(progression.second) +
                          ", third " + to_string(progression.flag)});
  }
  values.push_back({kEntryTrain, "area_start", "braked mass percentage", to_string(header.braked_mass_percentage())});
  values.push_back({kEntryTrain, "area_end", "line length", metres_text(header.line_length())});
  values.push_back({kEntryTrain, "position", "number of cars", to_string(header.number_of_cars())});
  values.push_back({kEntryLine, "area_start", "background one", to_string(header.background_one())});
  values.push_back({kEntryLine, "position", "background two", to_string(header.background_two())});
  values.push_back({kEntryLine, "area_end", "background three", to_string(header.background_three())});
  values.push_back({kEntryLine, "name", "line name", quoted_name(header.line_name())});
  values.push_back({kEntryLine, "group1_a", "header constant", to_string(header.header_constant())});
  values.push_back({kEntryLine, "time_seconds", "check code", to_string(header.check_code())});
  values.push_back({kEntryRepetition, "area_start", "signal repetition from", metres_text(header.repetition_from())});
  values.push_back({kEntryRepetition, "area_end", "signal repetition to", metres_text(header.repetition_to())});
  values.push_back({kEntryRepetition, "position", "signal repetition codes", to_string(header.repetition_codes())});
  values.push_back({kEntryRepetition, "name", "train number", quoted_name(header.train_number())});
  values.push_back({kEntryRepetition, "group1_a", "sand", to_string(header.sand())});
  values.push_back({kEntryRepetition, "group2_a, group2_b, group2_c", "start clock",
                    two_digits(header.clock_hours()) + ":" + two_digits(header.clock_minutes()) + ":" +
                        two_digits(header.clock_seconds())});
  return values;
}

std::string json_string(std::string_view utf8) {
  return Json(utf8).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string dump_track_cells_text(const std::vector<TrackCell>& cells) {
  std::string out;
  if (cells.empty()) return "track cells: none\n";
  const size_t highest = cells.size() - 1;
  out += "track cells: " + to_string(cells.size()) + " cells, 0 to " + to_string(highest) +
         "; a feature on cell i stands at 50 * (i - 1) m, the stretch values of cell i hold from 50 * i m\n";
  for (size_t i = 0; i < cells.size(); ++i) {
    const bool stretch_changed = i == 0 || !same_stretch(cells[i], cells[i - 1]);
    if (stretch_changed || holds_anything(cells[i])) {
      out += with_signal_words(cells, i, cell_line(i, highest, cells[i], stretch_changed));
    }
  }
  return out;
}

std::string dump_track_cells_json(const std::vector<TrackCell>& cells) {
  Json list = Json::array();
  for (size_t i = 0; i < cells.size(); ++i) {
    const TrackCell& c = cells[i];
    const int64_t metres = cell_metres(static_cast<int64_t>(i));
    list.push_back({{"index", i},
                    {"metres", metres},
                    {"km", kilometre_text(metres)},
                    {"kind", c.kind},
                    {"kind_name", cell_kind_name(c.kind)},
                    {"value_a", c.value_a},
                    {"value_b", c.value_b},
                    {"value_c", c.value_c},
                    {"value_d", c.value_d},
                    {"signal_time", c.signal_time},
                    {"approach_code", c.approach_code},
                    {"stretch_metres", stretch_metres(static_cast<int64_t>(i))},
                    {"stretch_set", !(past_stretch_fills(static_cast<int64_t>(i), static_cast<int64_t>(cells.size()) - 1) &&
                                      no_stretch_value(c))},
                    {"montagna_tipo", c.montagna_tipo},
                    {"speed_limit", c.speed_limit},
                    {"speed_limit_kmh", speed_kmh(c.speed_limit)},
                    {"gradient", c.gradient},
                    {"gradient_per_mille", gradient_per_mille(c.gradient)},
                    {"adhesion", c.adhesion}});
  }
  return json_text({{"file", "track cells"}, {"number_of_cells", cells.size()}, {"cells", std::move(list)}});
}

std::string dump_scenario_record_text(const ScenarioRecord& record) {
  std::string out = "scenario record: " + to_string(kStationEntryCount) + " entries, 0 to " +
                    to_string(kStationEntryCount - 1) + "\n";
  const std::vector<HeaderValue> header = header_values(record);
  int empty_from = -1;
  for (int index = 0; index < kStationEntryCount; ++index) {
    const StationEntry& entry = record[static_cast<size_t>(index)];
    const EntryRole role = entry_role(index, entry);
    if (role == EntryRole::kEmpty) {
      if (empty_from < 0) empty_from = index;
      continue;
    }
    if (empty_from >= 0) append_empty_run(empty_from, index - 1, &out);
    empty_from = -1;
    if (role == EntryRole::kHeader) {
      append_header_block(index, entry, header, &out);
    } else {
      append_station_block(index, entry, role, &out);
    }
  }
  if (empty_from >= 0) append_empty_run(empty_from, kStationEntryCount - 1, &out);
  return out;
}

std::string dump_scenario_record_json(const ScenarioRecord& record) {
  const std::vector<HeaderValue> header = header_values(record);
  Json entries = Json::array();
  for (int index = 0; index < kStationEntryCount; ++index) {
    const StationEntry& entry = record[static_cast<size_t>(index)];
    Json item = {{"index", index}, {"role", entry_role_name(entry_role(index, entry))}};
    const std::vector<NumericField> fields = numeric_fields(entry);
    for (size_t f = 0; f < fields.size(); ++f) {
      if (f == kFieldsBeforeName) item["name"] = cp1252_to_utf8(entry.name);
      item[fields[f].name] = fields[f].value;
    }
    if (index >= kEntryProgressionTre) {
      Json meanings = Json::object();
      for (const HeaderValue& value : header) {
        if (value.entry != index) continue;
        // A name's value is shown as the name itself; others as their text.
        const bool is_name = std::string(value.field) == "name";
        meanings[value.meaning] = is_name ? cp1252_to_utf8(entry.name) : value.text;
      }
      item["meanings"] = std::move(meanings);
    }
    entries.push_back(std::move(item));
  }
  return json_text({{"file", "scenario record"}, {"entries", std::move(entries)}});
}

std::string dump_line_plan_text(const LinePlan& plan, int32_t step) {
  std::string out = plan_title(plan);
  for (const int32_t metre : shown_metres(plan, step)) {
    out += "metre " + to_string(metre) + " (" + kilometre_text(metre) + "): x " + metre_number(plan.x(metre)) +
           ", y " + metre_number(plan.y(metre)) + "\n";
  }
  return out;
}

std::string dump_line_plan_json(const LinePlan& plan, int32_t step) {
  Json points = Json::array();
  for (const int32_t metre : shown_metres(plan, step)) {
    points.push_back({{"metre", metre}, {"x", json_number(plan.x(metre))}, {"y", json_number(plan.y(metre))}});
  }
  return json_text({{"file", "line record"},
                    {"allocated", plan.allocated()},
                    {"plan_length", plan.allocated() ? plan.plan_length() : 0},
                    {"started", plan.started()},
                    {"last_computed_metre", plan.started() ? Json(plan.next_metre() - 1) : Json(nullptr)},
                    {"step", step < 1 ? 1 : step},
                    {"points", std::move(points)}});
}

}  // namespace scenario
