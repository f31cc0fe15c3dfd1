#include "compiler/train_parser.h"

#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/description_parser.h"
#include "compiler/stretch_fill.h"
#include "compiler/timetable_check.h"
#include "compiler/train_features.h"
#include "format/cp1252.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "model/rounding.h"

namespace scenario {
namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

constexpr int32_t kStationStep = 50;    // station positions are multiples of 50 m
constexpr int32_t kPlatformStep = 100;  // platform lengths are multiples of 100 m
constexpr int32_t kProgressionStep = 50;
constexpr int64_t kStationSpacing = 350;          // least gap between two stations' areas
constexpr int64_t kShortStationEnd = 150;         // types 5 and 6 end this far after their position
constexpr int64_t kExtensionLength = 50;          // option_c extends other types' end by this much
constexpr int32_t kLongPlatform = 600;            // option_b is kept only for platforms this long
constexpr uint8_t kFirstStationWithoutStop = 25;  // types from 25 up get no stop marker
constexpr int kApproachBoards = 4;
constexpr uint8_t kApproachBoardCode = 80;  // approach boards carry 81 to 84

// The keywords as the program writes them, for the check's "did you mean".
constexpr std::string_view kTrainKeywords[] = {"percentuale massa frenata", "numero vetture", "velocita",
                                               "aderenza", "orologio", "sabbia", "segnale", "rallentamento",
                                               "abbattimento", "stazione"};
constexpr KnownKeywords kKnownKeywords{kTrainKeywords, {}, ""};

bool is_short_station(uint8_t type) { return type == 5 || type == 6; }
bool is_origin_station(uint8_t type) { return type == 7 || type == 8; }

// A value computed from read numbers that the 32-bit field it goes into cannot hold is a failure
// of the read, as a number too large for its field is.
int32_t to_long_field(int64_t value, const char* what, std::optional<FieldPosition> field = std::nullopt) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw ReadFailure{std::string(what) + " " + std::to_string(value) + " does not fit 32 bits", field};
  }
  return static_cast<int32_t>(value);
}

// What a station too close to the one before it is: the same station again, one written out of
// order, or one too near.
std::string station_spacing_words(const StationEntry& entry, const StationEntry& previous) {
  const std::string before = cp1252_to_utf8(previous.name) + " at " + std::to_string(previous.position) + " m";
  if (entry.position == previous.position && entry.name == previous.name) {
    return "the station written before it is the same one: " + before + " is written twice";
  }
  if (entry.position <= previous.position) {
    return "it stands before " + before + ", the station written before it: stations are written in ascending position";
  }
  return "its area starts at " + std::to_string(entry.area_start) + " m, " + before + " ends at " +
         std::to_string(previous.area_end) + " m";
}

class TrainParser : public DescriptionParser {
 public:
  TrainParser(CompileState& state, FieldReader& reader) : DescriptionParser(state, reader) {}

  void parse() {
    run_guarded([this] { run(); });
    if (checking()) check_timetable_against_line();
    finish_check();
  }

 private:
  // How a record left the parse: go on with the next record, go to the end of the phase (the
  // fills and the progression check), or stop at once.
  // A run-time failure of a placer stops the phase as a refusal does: only the error differs.
  enum class Step { kGoOn, kEndOfPhase, kStop };
  static Step step_after(Placed placed) { return placed == Placed::kYes ? Step::kGoOn : Step::kStop; }

  void run();
  Step record(const std::string& field);
  void clock();
  Step speed_limit();
  Step adhesion();
  Step signal();
  Step slowdown();
  Step cut_off_point();
  Step station();
  void read_station_values(StationEntry& entry);
  void set_station_area(StationEntry& entry, int32_t length) const;
  Step place_stop(const StationEntry& entry, int32_t position);
  Step next_station(const StationEntry& entry, int32_t position);
  void finish();

  // Check mode: warnings on values the compile stores as they come but an author rarely means.
  void check_signal(const SignalRecord& record);
  void check_slowdown(const SlowdownRecord& record);
  void check_station(const StationEntry& entry);
  // After the reading: the timed stations the speed limits and slowdowns leave too little time for.
  void check_timetable_against_line();

  // Fills speed_limit with the current speed up to the cell before `until`, never past `highest`.
  // A speed whose step count does not fit a byte fails the run (25) once a cell would take it,
  // reported at the record that set it. Returns false then.
  bool fill_speed(int64_t until, int64_t highest);

  TrackCell& cell(int64_t index) { return state_.cells[static_cast<size_t>(index)]; }
  // Highest index a fill may write: the last cell; a speed record's fill stops before cell N.
  int64_t last_cell() const { return static_cast<int64_t>(state_.cells.size()) - 1; }
  int64_t last_speed_record_cell() const { return int64_t{state_.cell_count} - 1; }

  int32_t station_number_ = 1;
  StretchFill speed_fill_{&TrackCell::speed_limit};
  StretchFill adhesion_fill_{&TrackCell::adhesion};
  bool speed_read_ = false;                    // check mode: a speed limit record was read
  bool adhesion_read_ = false;                 // check mode: an adhesion record was read
  std::map<std::string, int32_t> station_names_;  // check mode: each station's name, its position
  std::optional<std::pair<int32_t, std::string>> last_timed_station_;  // check mode: time, name
  // Check mode: what the timetable is held against, and the timed stations with their names and
  // records.
  std::vector<SpeedLimitPoint> speed_limits_;
  std::vector<SlowdownStretch> slowdowns_;
  std::vector<TimedStop> timed_stops_;
  std::vector<std::pair<std::string, FieldPosition>> timed_stop_records_;
  int32_t current_speed_ = 0;                  // the last speed limit read, km/h
  std::optional<FieldPosition> speed_record_;  // where its speed was read
  uint8_t current_adhesion_ = 0;               // the last adhesion read, its low eight bits
};

void TrainParser::run() {
  // Everything before the first field holding "[generale]" is passed over.
  bool general_section = false;
  while (!reader_.at_end()) {
    if (contains_nocase(read_field(), "[generale]")) {
      general_section = true;
      break;
    }
  }
  if (checking() && !general_section) {
    warn("no-general-section", FieldPosition{1, 1, 0},
         "the train description has no [generale] line: the compile reads none of its records");
  }
  while (read_keyword()) {
    if (checking()) {
      const std::string field = field_;
      check_record(field, kKnownKeywords, [&] { record(field); });
      note_header_slots();
      continue;
    }
    const Step step = record(field_);
    note_header_slots();
    if (step == Step::kStop) return;
    if (step == Step::kEndOfPhase) break;
  }
  finish();
}

// The keyword tests, each applied to the same field in this order; every one that matches reads
// its values, and one that ends the phase or the parse stops the tests.
TrainParser::Step TrainParser::record(const std::string& field) {
  const HeaderView header(state_.station_table);
  if (matched(contains_nocase(field, "frenata") && contains_nocase(field, "massa"))) {
    header.braked_mass_percentage() = reader_.read_long();
  }
  if (matched(contains_nocase(field, "vetture"))) header.number_of_cars() = reader_.read_long();
  Step step = Step::kGoOn;
  if (matched(contains_nocase(field, "velocit"))) step = speed_limit();
  if (step == Step::kGoOn && matched(contains_nocase(field, "aderenza"))) step = adhesion();
  if (step != Step::kGoOn) return step;
  if (matched(contains_nocase(field, "orologio"))) clock();
  if (matched(contains_nocase(field, "sabbia"))) header.sand() = reader_.read_short();
  if (matched(contains_nocase(field, "segnale"))) step = signal();
  if (step == Step::kGoOn && matched(contains_nocase(field, "rallentamento"))) step = slowdown();
  if (step == Step::kGoOn && matched(contains_nocase(field, "abbattimento"))) step = cut_off_point();
  if (step == Step::kGoOn && matched(contains_nocase(field, "stazione"))) step = station();
  return step;
}

void TrainParser::clock() {
  const HeaderView header(state_.station_table);
  header.clock_hours() = reader_.read_short();
  header.clock_minutes() = reader_.read_short();
  header.clock_seconds() = reader_.read_short();
}

bool TrainParser::fill_speed(int64_t until, int64_t highest) {
  const int64_t steps = speed_steps(current_speed_);
  if (!fits_speed_limit(steps) && speed_fill_.writes_a_cell(state_.cells, highest)) {
    record_error(ErrorNumber::kRunTimeFailure, speed_record_, std::nullopt,
                 "the speed limit " + std::to_string(current_speed_) + " km/h is outside 0 to 1277 km/h");
    return false;
  }
  speed_fill_.fill_to(state_.cells, until, highest, static_cast<uint8_t>(steps));
  return true;
}

// The cells before the record's position get the previous record's speed. An out-of-order record
// still writes the one cell at the fill index; the fill never passes cell N - 1.
TrainParser::Step TrainParser::speed_limit() {
  const int32_t position = reader_.read_long();
  const int32_t speed = reader_.read_long();
  const FieldPosition speed_field = reader_.last_field();
  if (beyond(position)) return Step::kEndOfPhase;
  check_order("speed limit", position, position);
  if (checking()) {
    if (!speed_read_ && position > 0) {
      warn("no-value-at-start", keyword_,
           "the first speed limit starts at " + std::to_string(position) + " m: the cells before it keep 0 km/h");
    }
    if (speed % kSpeedStep != 0) {
      warn("speed-rounded", speed_field,
           "the speed " + std::to_string(speed) + " km/h is not a multiple of 5: it is stored as " +
               std::to_string(speed_steps(speed) * kSpeedStep) + " km/h");
    }
    speed_read_ = true;
    speed_limits_.push_back({position, speed_steps(speed) * kSpeedStep});
  }
  const int64_t n = fill_cell_of_position(position);
  // The compile stops at a speed it cannot store; check reports it once, at the record that set
  // it, and goes on with this record's speed.
  const bool filled = n <= 0 || fill_speed(n, last_speed_record_cell());
  if (!filled && !checking()) return Step::kStop;
  current_speed_ = speed;
  speed_record_ = speed_field;
  return filled ? Step::kGoOn : Step::kStop;
}

// As the speed limit, except that the fill is bounded only by the array's end.
TrainParser::Step TrainParser::adhesion() {
  const int32_t position = reader_.read_long();
  const int32_t value = reader_.read_long();
  const FieldPosition value_field = reader_.last_field();
  if (beyond(position)) return Step::kEndOfPhase;
  check_order("adhesion", position, position);
  if (checking()) {
    if (!adhesion_read_ && position > 0) {
      warn("no-value-at-start", keyword_,
           "the first adhesion starts at " + std::to_string(position) + " m: the cells before it keep 0");
    }
    if (value < 0 || value > 255) {
      warn("value-wraps", value_field,
           "the adhesion " + std::to_string(value) + " does not fit its byte: it is stored as " +
               std::to_string(low8(value)));
    }
    adhesion_read_ = true;
  }
  const int64_t n = fill_cell_of_position(position);
  if (n > 0) adhesion_fill_.fill_to(state_.cells, n, last_cell(), current_adhesion_);
  current_adhesion_ = low8(value);
  return Step::kGoOn;
}

TrainParser::Step TrainParser::signal() {
  SignalRecord record;
  for (int32_t* value : {&record.posizione, &record.sx, &record.s1, &record.s2, &record.s3, &record.rapp, &record.dx,
                         &record.d1, &record.d2, &record.d3, &record.tempo}) {
    *value = reader_.read_long();
  }
  if (beyond(record.posizione)) return Step::kEndOfPhase;
  check_order("signal", record.posizione, record.posizione);
  if (checking()) check_signal(record);
  return step_after(placed(memo_segnale(state_, record), record.posizione));
}

TrainParser::Step TrainParser::slowdown() {
  SlowdownRecord record;
  for (int32_t* value : {&record.x, &record.v, &record.l, &record.f_tt, &record.f_ta, &record.d_v}) {
    *value = reader_.read_long();
  }
  if (beyond(record.x)) return Step::kEndOfPhase;
  check_order("slowdown", record.x, record.x);
  if (checking()) check_slowdown(record);
  return step_after(placed(memo_rallentamento(state_, record), record.x));
}

// A cut-off point goes on cell near(p / 50), without the +1 of signals.
TrainParser::Step TrainParser::cut_off_point() {
  const int32_t position = reader_.read_long();
  const int32_t value = reader_.read_long();
  if (beyond(position)) return Step::kEndOfPhase;
  const int64_t c = fill_cell_of_position(position);
  if (c < 0 || c > last_cell()) {
    fail(ErrorNumber::kCutOffTaken, position, "the point lies outside the cells");
    return Step::kStop;
  }
  if (!is_free(cell(c))) {
    fail(ErrorNumber::kCutOffTaken, position, taken_words(c));
    return Step::kStop;
  }
  if (value > 0) {
    state_.lay(c, kCutOffPoint);
    cell(c).value_a = low16(value);
  } else {
    state_.lay(c, kCutOffPointZero);
  }
  return Step::kGoOn;
}

// A station goes into the next entry of the station table, its values stored as they are read.
// When the line's boards have taken every entry down to 1 it finds none and is refused at once.
TrainParser::Step TrainParser::station() {
  if (station_number_ > state_.board_slot) {
    fail(ErrorNumber::kStationTableFull);
    return Step::kStop;
  }
  StationEntry& entry = state_.station_table[static_cast<size_t>(station_number_)];
  const int32_t position = reader_.read_long();
  const FieldPosition position_field = reader_.last_field();
  entry.position = position;
  if (beyond(position, kStationReach, position_field)) return Step::kEndOfPhase;
  if (position % kStationStep != 0) {
    fail_at(position_field, ErrorNumber::kStationStep, position);
    return Step::kStop;
  }
  entry.station_type = reader_.read_byte();
  const int32_t length = reader_.read_long();
  if (length % kPlatformStep != 0) {
    fail_at(reader_.last_field(), ErrorNumber::kPlatformStep, position);
    return Step::kStop;
  }
  read_station_values(entry);
  if (checking()) check_station(entry);
  set_station_area(entry, length);
  if (const Step step = place_stop(entry, position); step != Step::kGoOn) return step;
  return next_station(entry, position);
}

// Values 4 to 17 of a station record, after the platform length.
void TrainParser::read_station_values(StationEntry& entry) {
  entry.option_a = reader_.read_byte();
  entry.option_b = reader_.read_byte();
  entry.option_c = reader_.read_byte();
  entry.group1_a = reader_.read_short();
  entry.group1_b = reader_.read_short();
  entry.group1_c = reader_.read_byte();
  entry.group2_a = reader_.read_short();
  entry.group2_b = reader_.read_short();
  entry.group2_c = reader_.read_short();
  entry.stop_value = reader_.read_byte();
  const int64_t hours = reader_.read_long();
  const FieldPosition hours_field = reader_.last_field();
  const int64_t minutes = reader_.read_long();
  const int64_t seconds = reader_.read_long();
  entry.name = read_field();
  entry.time_seconds =
      to_long_field((hours * 60 + minutes) * 60 + seconds, "the departure time in seconds", hours_field);
}

// The station's area by its type; option_b only for long platforms, neither option for the first
// station.
void TrainParser::set_station_area(StationEntry& entry, int32_t length) const {
  const int64_t position = entry.position;
  int64_t area_start;
  int64_t area_end;
  if (is_short_station(entry.station_type)) {
    area_start = position - length;
    area_end = position + kShortStationEnd;
    entry.option_c = 0;
  } else if (is_origin_station(entry.station_type)) {
    area_start = position - length;
    area_end = position + length;
    entry.option_c = 0;
  } else {
    area_start = position - length / 2;
    area_end = position + length / 2 + (entry.option_c != 0 ? kExtensionLength : 0);
  }
  entry.area_start = to_long_field(area_start, "the station's area start");
  entry.area_end = to_long_field(area_end, "the station's area end");
  if (length < kLongPlatform) entry.option_b = 0;
  if (station_number_ == 1) {
    entry.option_c = 0;
    entry.option_b = 0;
  }
}

// The stop marker stands on the cell before the area's end, the approach boards on the four cells
// before that (only on cells above 1). A stop marker beyond the last cell would leave the array:
// the station lies beyond the model as much as one whose position does.
TrainParser::Step TrainParser::place_stop(const StationEntry& entry, int32_t position) {
  if (entry.station_type >= kFirstStationWithoutStop) return Step::kGoOn;
  const int64_t stop_cell = near(int64_t{entry.area_end} - CELL_LENGTH, CELL_LENGTH);
  if (stop_cell > last_cell()) {
    fail(ErrorNumber::kBeyondModel, position, "the station's stop marker would lie beyond the last cell");
    return Step::kEndOfPhase;
  }
  if (!is_short_station(entry.station_type)) {
    for (int j = 1; j <= kApproachBoards; ++j) {
      const int64_t i = stop_cell - j;
      if (i > 1) cell(i).approach_code = static_cast<uint8_t>(kApproachBoardCode + j);
    }
  }
  if (stop_cell <= 1) {
    fail(ErrorNumber::kStationTooEarly);
    return Step::kStop;
  }
  state_.lay(stop_cell, kStopMarker);
  cell(stop_cell).value_a = static_cast<int16_t>(station_number_);
  return Step::kGoOn;
}

// Stations keep 350 m between their areas, and leave the entry before the next board free.
TrainParser::Step TrainParser::next_station(const StationEntry& entry, int32_t position) {
  const int32_t k = station_number_;
  const StationEntry& previous = state_.station_table[static_cast<size_t>(k - 1)];
  if (k > 1 && int64_t{entry.area_start} - kStationSpacing < previous.area_end) {
    fail(ErrorNumber::kStationSpacing, position, station_spacing_words(entry, previous));
    return Step::kStop;
  }
  station_number_ = k + 1;
  if (station_number_ >= state_.board_slot) {
    fail(ErrorNumber::kStationTableFull);
    return Step::kStop;
  }
  return Step::kGoOn;
}

// The end of the phase: the last speed limit and adhesion run on to cell N - 3 (each fill writes
// at least one cell), then the kilometric progressions are checked.
void TrainParser::finish() {
  const int64_t fill_to = int64_t{state_.cell_count} - 2;
  if (!fill_speed(fill_to, last_cell())) return;
  adhesion_fill_.fill_to(state_.cells, fill_to, last_cell(), current_adhesion_);

  const HeaderView header(state_.station_table);
  for (const ProgressionSlot slot : kProgressionSlots) {
    const Progression progression = header.progression(slot);
    if (progression.first % kProgressionStep != 0 || progression.second % kProgressionStep != 0) {
      record_error(ErrorNumber::kProgressionStep, std::nullopt);
      return;
    }
  }
}


// "H:MM:SS" of a time in seconds.
std::string clock_text(int64_t seconds) {
  const int64_t minutes = seconds / 60;
  std::string text = std::to_string(minutes / 60) + ":";
  for (const int64_t part : {minutes % 60, seconds % 60}) text += (part < 10 ? "0" : "") + std::to_string(part) + ":";
  text.pop_back();
  return text;
}

// The side code sx * 3 + dx and the pairs s * 10 + d are taken apart again only when dx is 0 to 2
// and each d 0 to 9, each s not negative.
void TrainParser::check_signal(const SignalRecord& record) {
  bool apart = record.dx >= 0 && record.dx <= 2;
  for (const auto& [tens, units] : {std::pair{record.s1, record.d1}, {record.s2, record.d2}, {record.s3, record.d3}}) {
    apart = apart && tens >= 0 && units >= 0 && units <= 9;
  }
  if (!apart) {
    warn("signal-code", keyword_,
         "this signal's values cannot be taken apart again from its cell (dx must be 0 to 2, d1 to d3 0 to 9, "
         "s1 to s3 not negative): the packed codes spill into each other");
  }
}

void TrainParser::check_slowdown(const SlowdownRecord& record) {
  if (record.l >= 0 && cell_of_position(int64_t{record.x} + record.l) == cell_of_position(record.x)) {
    warn("short-slowdown", keyword_,
         "this slowdown (" + std::to_string(record.l) + " m from " + std::to_string(record.x) +
             " m) starts and ends on one cell: its end marker is lost, and the cut-off points run on to the "
             "next slowdown's end");
  }
  if (record.v == 0) warn("zero-speed-slowdown", keyword_, "this slowdown's speed is 0 km/h: the train must stop in it");
  slowdowns_.push_back({record.x, int64_t{record.x} + record.l, record.v});
}

void TrainParser::check_station(const StationEntry& entry) {
  const auto [named, first] = station_names_.try_emplace(entry.name, entry.position);
  if (!first && !entry.name.empty()) {
    warn("duplicate-station", keyword_,
         "a station named " + cp1252_to_utf8(entry.name) + " is already written, at " + std::to_string(named->second) +
             " m: this one is another stop of the timetable");
  }
  const int64_t time = entry.time_seconds;
  if (time <= 0) return;
  if (time >= kSecondsPerDay) {
    warn("timetable-order", keyword_,
         "the departure time " + clock_text(time) + " is past 24:00: the chart draws the train going back in time");
  }
  const HeaderView header(state_.station_table);
  const int64_t clock = (int64_t{header.clock_hours()} * 60 + header.clock_minutes()) * 60 + header.clock_seconds();
  if (time < clock) {
    warn("timetable-order", keyword_,
         "the departure time " + clock_text(time) + " is before the train's clock starts (" + clock_text(clock) + ")");
  }
  if (last_timed_station_ && time < last_timed_station_->first) {
    warn("timetable-order", keyword_,
         "the departure time " + clock_text(time) + " is before that of the station written before it (" +
             cp1252_to_utf8(last_timed_station_->second) + ", " + clock_text(last_timed_station_->first) + ")");
  }
  last_timed_station_ = std::pair{entry.time_seconds, entry.name};
  timed_stops_.push_back({entry.position, entry.time_seconds, entry.stop_value});
  timed_stop_records_.emplace_back(entry.name, keyword_);
}

// "N min SS s" of a duration in seconds.
std::string duration_text(int64_t seconds) {
  const int64_t part = seconds % 60;
  return std::to_string(seconds / 60) + " min " + (part < 10 ? "0" : "") + std::to_string(part) + " s";
}

// "6.2 km" of a distance in metres, to the tenth of a kilometre.
std::string kilometres_text(int64_t metres) {
  const int64_t tenths = near(metres, 100);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " km";
}

void TrainParser::check_timetable_against_line() {
  for (const TooFastStretch& stretch : too_fast_stretches(speed_limits_, slowdowns_, timed_stops_)) {
    const TimedStop& from = timed_stops_[stretch.from];
    const TimedStop& to = timed_stops_[stretch.to];
    const auto& [to_name, to_record] = timed_stop_records_[stretch.to];
    std::string least = "at the speed limits";
    if (to.dwell > 0) least += " and with its " + std::to_string(to.dwell) + " s stop";
    warn("timetable-too-fast", to_record,
         "from " + cp1252_to_utf8(timed_stop_records_[stretch.from].first) + " to " + cp1252_to_utf8(to_name) + " " +
             kilometres_text(to.position - from.position) + " in " + duration_text(stretch.given_seconds) + "; " +
             least + " at least " + duration_text(stretch.least_seconds));
  }
}
}  // namespace

void parse_train_description(CompileState& state, FieldReader& reader, CheckFindings* findings) {
  TrainParser parser(state, reader);
  parser.check_into(findings);
  parser.parse();
}

}  // namespace scenario
