#include "compiler/train_parser.h"

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "compiler/cell_values.h"
#include "compiler/header_view.h"
#include "compiler/rounding.h"
#include "compiler/train_features.h"

namespace scenario {
namespace {

constexpr int64_t kRangeReach = 100;         // a record at p is refused when (p + 100) / 50 > N
constexpr int64_t kStationRangeReach = 800;  // a station at p when (p + 800) / 50 > N
constexpr int32_t kStationStep = 50;         // station positions are multiples of 50 m
constexpr int32_t kPlatformStep = 100;       // platform lengths are multiples of 100 m
constexpr int32_t kProgressionStep = 50;
constexpr int64_t kStationSpacing = 350;     // least gap between two stations' areas
constexpr int64_t kShortStationEnd = 150;    // types 5 and 6 end this far after their position
constexpr int64_t kExtensionLength = 50;     // option_c extends other types' end by this much
constexpr int32_t kLongPlatform = 600;       // option_b is kept only for platforms this long
constexpr uint8_t kFirstStationWithoutStop = 25;  // types from 25 up get no stop marker
constexpr int kApproachBoards = 4;
constexpr uint8_t kApproachBoardCode = 80;   // approach boards carry 81 to 84

constexpr int32_t kErrorProgression = 2;
constexpr int32_t kErrorCutOffTaken = 7;
constexpr int32_t kErrorStationStep = 8;
constexpr int32_t kErrorPlatformStep = 9;
constexpr int32_t kErrorStationTableFull = 10;
constexpr int32_t kErrorBeyondModel = 15;
constexpr int32_t kErrorStationSpacing = 22;
constexpr int32_t kErrorStationTooEarly = 24;

bool is_short_station(uint8_t type) { return type == 5 || type == 6; }
bool is_origin_station(uint8_t type) { return type == 7 || type == 8; }

// A value computed from read numbers that the 32-bit field it goes into cannot hold is a failure
// of the read, as a number too large for its field is.
int32_t to_long_field(int64_t value, const char* what) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    throw ReadFailure{std::string(what) + " " + std::to_string(value) + " does not fit 32 bits"};
  }
  return static_cast<int32_t>(value);
}

class TrainParser {
 public:
  TrainParser(CompileState& state, FieldReader& reader) : state_(state), reader_(reader) {}

  void run();

 private:
  // How a record left the parse: go on with the next record, go to the end of the phase (the
  // fills and the progression check), or stop at once.
  enum class Step { kGoOn, kEndOfPhase, kStop };

  const std::string& read_field() {
    state_.current_field = reader_.read_text();
    return state_.current_field;
  }

  // Sets an error that belongs to the record whose keyword stood at `keyword`, with more words on
  // it where the error number alone would mislead.
  void fail(int32_t code, const FieldPosition& keyword) {
    state_.set_error(code);
    state_.error_place = reader_.place_of(keyword);
    state_.error_detail.clear();
  }
  void fail_at(int32_t code, int32_t position, const FieldPosition& keyword, std::string detail = "") {
    state_.set_error(code, position);
    state_.error_place = reader_.place_of(keyword);
    state_.error_detail = std::move(detail);
  }
  // Error 15 for a record beyond the model; the phase then ends through its fills.
  bool beyond(int32_t position, int64_t reach, const FieldPosition& keyword) {
    if (!beyond_model(position, reach, state_.cell_count)) return false;
    fail_at(kErrorBeyondModel, position, keyword);
    return true;
  }

  TrackCell& cell(int64_t index) { return state_.cells[static_cast<size_t>(index)]; }
  // Highest index a fill may write: the last cell.
  int64_t last_cell() const { return static_cast<int64_t>(state_.cells.size()) - 1; }

  Step record(const std::string& field, const FieldPosition& keyword);
  Step speed_limit(const FieldPosition& keyword);
  Step adhesion(const FieldPosition& keyword);
  Step signal(const FieldPosition& keyword);
  Step slowdown(const FieldPosition& keyword);
  Step cut_off_point(const FieldPosition& keyword);
  Step station(const FieldPosition& keyword);
  void finish();

  CompileState& state_;
  FieldReader& reader_;
  int32_t station_number_ = 1;
  int64_t speed_fill_ = 0;
  int64_t adhesion_fill_ = 0;
  uint8_t current_speed_code_ = 0;  // the last speed limit read, in steps of 5 km/h
  uint8_t current_adhesion_ = 0;    // the last adhesion read, its low eight bits
};

void TrainParser::run() {
  // Everything before the first field holding "[generale]" is passed over.
  while (!reader_.at_end()) {
    if (contains_nocase(read_field(), "[generale]")) break;
  }

  std::string field;
  while (read_keyword_field(reader_, field)) {
    state_.current_field = field;
    const Step step = record(field, reader_.last_field());
    if (step == Step::kStop) return;
    if (step == Step::kEndOfPhase) break;
  }
  finish();
}

// The keyword tests, each applied to the same field in this order; every one that matches reads
// its values.
TrainParser::Step TrainParser::record(const std::string& field, const FieldPosition& keyword) {
  const HeaderView header(state_.station_table);
  if (contains_nocase(field, "frenata") && contains_nocase(field, "massa")) {
    header.braked_mass_percentage() = reader_.read_long();
  }
  if (contains_nocase(field, "vetture")) header.number_of_cars() = reader_.read_long();
  if (contains_nocase(field, "velocit")) {
    if (const Step step = speed_limit(keyword); step != Step::kGoOn) return step;
  }
  if (contains_nocase(field, "aderenza")) {
    if (const Step step = adhesion(keyword); step != Step::kGoOn) return step;
  }
  if (contains_nocase(field, "orologio")) {
    header.clock_hours() = reader_.read_short();
    header.clock_minutes() = reader_.read_short();
    header.clock_seconds() = reader_.read_short();
  }
  if (contains_nocase(field, "sabbia")) header.sand() = reader_.read_short();
  if (contains_nocase(field, "segnale")) {
    if (const Step step = signal(keyword); step != Step::kGoOn) return step;
  }
  if (contains_nocase(field, "rallentamento")) {
    if (const Step step = slowdown(keyword); step != Step::kGoOn) return step;
  }
  if (contains_nocase(field, "abbattimento")) {
    if (const Step step = cut_off_point(keyword); step != Step::kGoOn) return step;
  }
  if (contains_nocase(field, "stazione")) {
    if (const Step step = station(keyword); step != Step::kGoOn) return step;
  }
  return Step::kGoOn;
}

// The cells before the record's position get the previous record's speed. An out-of-order record
// still writes the one cell at the fill index; the fill never passes cell N - 1.
TrainParser::Step TrainParser::speed_limit(const FieldPosition& keyword) {
  const int32_t position = reader_.read_long();
  const int32_t speed = reader_.read_long();
  if (beyond(position, kRangeReach, keyword)) return Step::kEndOfPhase;
  const int64_t speed_code = speed_steps(speed);
  if (!fits_speed_limit(speed_code)) {
    throw ReadFailure{"the speed limit " + std::to_string(speed) + " km/h is outside 0 to 1277 km/h"};
  }
  const int64_t n = fill_cell_of_position(position);
  if (n > 0) {
    do {
      if (speed_fill_ >= state_.cell_count || speed_fill_ > last_cell()) break;
      cell(speed_fill_).speed_limit = current_speed_code_;
      ++speed_fill_;
    } while (speed_fill_ < n);
  }
  current_speed_code_ = static_cast<uint8_t>(speed_code);
  return Step::kGoOn;
}

// As the speed limit, except that the fill is bounded only by the array's end.
TrainParser::Step TrainParser::adhesion(const FieldPosition& keyword) {
  const int32_t position = reader_.read_long();
  const int32_t value = reader_.read_long();
  if (beyond(position, kRangeReach, keyword)) return Step::kEndOfPhase;
  const int64_t n = fill_cell_of_position(position);
  if (n > 0) {
    do {
      if (adhesion_fill_ > last_cell()) break;
      cell(adhesion_fill_).adhesion = current_adhesion_;
      ++adhesion_fill_;
    } while (adhesion_fill_ < n);
  }
  current_adhesion_ = static_cast<uint8_t>(value & 0xFF);
  return Step::kGoOn;
}

TrainParser::Step TrainParser::signal(const FieldPosition& keyword) {
  SignalRecord record;
  for (int32_t* value : {&record.posizione, &record.sx, &record.s1, &record.s2, &record.s3, &record.rapp, &record.dx,
                         &record.d1, &record.d2, &record.d3, &record.tempo}) {
    *value = reader_.read_long();
  }
  if (beyond(record.posizione, kRangeReach, keyword)) return Step::kEndOfPhase;
  if (!memo_segnale(state_, record)) {
    fail_at(state_.ErrorCode, record.posizione, keyword, state_.error_detail);
    return Step::kStop;
  }
  return Step::kGoOn;
}

TrainParser::Step TrainParser::slowdown(const FieldPosition& keyword) {
  SlowdownRecord record;
  for (int32_t* value : {&record.x, &record.v, &record.l, &record.f_tt, &record.f_ta, &record.d_v}) {
    *value = reader_.read_long();
  }
  if (beyond(record.x, kRangeReach, keyword)) return Step::kEndOfPhase;
  if (!memo_rallentamento(state_, record)) {
    fail_at(state_.ErrorCode, record.x, keyword, state_.error_detail);
    return Step::kStop;
  }
  return Step::kGoOn;
}

// A cut-off point goes on cell near(p / 50), without the +1 of signals.
TrainParser::Step TrainParser::cut_off_point(const FieldPosition& keyword) {
  const int32_t position = reader_.read_long();
  const int32_t value = reader_.read_long();
  if (beyond(position, kRangeReach, keyword)) return Step::kEndOfPhase;
  const int64_t c = fill_cell_of_position(position);
  if (c < 0 || c > last_cell()) {
    fail_at(kErrorCutOffTaken, position, keyword, "the point lies outside the cells");
    return Step::kStop;
  }
  if (!is_free(cell(c))) {
    fail_at(kErrorCutOffTaken, position, keyword);
    return Step::kStop;
  }
  if (value > 0) {
    cell(c).kind = kAbbattimento;
    cell(c).value_a = static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
  } else {
    cell(c).kind = kAbbattimentoZero;
  }
  return Step::kGoOn;
}

TrainParser::Step TrainParser::station(const FieldPosition& keyword) {
  const int32_t k = station_number_;
  StationEntry& entry = state_.station_table[static_cast<size_t>(k)];

  const int32_t position = reader_.read_long();
  entry.position = position;
  if (beyond(position, kStationRangeReach, keyword)) return Step::kEndOfPhase;
  if (position % kStationStep != 0) {
    fail_at(kErrorStationStep, position, keyword);
    return Step::kStop;
  }
  entry.station_type = reader_.read_byte();
  const int32_t length = reader_.read_long();
  state_.platform_length = length;
  if (length % kPlatformStep != 0) {
    fail_at(kErrorPlatformStep, position, keyword);
    return Step::kStop;
  }
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
  const int64_t minutes = reader_.read_long();
  const int64_t seconds = reader_.read_long();
  entry.name = read_field();
  entry.time_seconds = to_long_field((hours * 60 + minutes) * 60 + seconds, "the departure time in seconds");

  // The station's area, by type.
  int64_t area_start;
  int64_t area_end;
  if (is_short_station(entry.station_type)) {
    area_start = int64_t{position} - length;
    area_end = int64_t{position} + kShortStationEnd;
    entry.option_c = 0;
  } else if (is_origin_station(entry.station_type)) {
    area_start = int64_t{position} - length;
    area_end = int64_t{position} + length;
    entry.option_c = 0;
  } else {
    area_start = int64_t{position} - length / 2;
    area_end = int64_t{position} + length / 2 + (entry.option_c != 0 ? kExtensionLength : 0);
  }
  entry.area_start = to_long_field(area_start, "the station's area start");
  entry.area_end = to_long_field(area_end, "the station's area end");
  if (length < kLongPlatform) entry.option_b = 0;
  if (k == 1) {
    entry.option_c = 0;
    entry.option_b = 0;
  }

  // The stop marker stands on the cell before the area's end, the approach boards on the four
  // cells before that. A stop marker beyond the last cell would leave the array: the station lies
  // beyond the model as much as one whose position does.
  const bool has_stop = entry.station_type < kFirstStationWithoutStop;
  const int64_t stop_cell = near(area_end - CELL_LENGTH, CELL_LENGTH);
  if (has_stop && stop_cell > last_cell()) {
    fail_at(kErrorBeyondModel, position, keyword, "the station's stop marker would lie beyond the last cell");
    return Step::kEndOfPhase;
  }
  if (has_stop && !is_short_station(entry.station_type)) {
    for (int j = 1; j <= kApproachBoards; ++j) {
      const int64_t i = stop_cell - j;
      if (i > 1) cell(i).approach_code = static_cast<uint8_t>(kApproachBoardCode + j);
    }
  }
  if (has_stop) {
    if (stop_cell <= 1) {
      fail(kErrorStationTooEarly, keyword);
      return Step::kStop;
    }
    cell(stop_cell).kind = kStopMarker;
    cell(stop_cell).value_a = static_cast<int16_t>(k);
  }

  if (k > 1 && area_start - kStationSpacing < state_.station_table[static_cast<size_t>(k - 1)].area_end) {
    fail_at(kErrorStationSpacing, position, keyword);
    return Step::kStop;
  }
  station_number_ = k + 1;
  if (station_number_ >= state_.board_slot) {
    fail(kErrorStationTableFull, keyword);
    return Step::kStop;
  }
  return Step::kGoOn;
}

// The end of the phase: the last speed limit and adhesion run on to cell N - 3 (each fill writes
// at least one cell), then the kilometric progressions are checked.
void TrainParser::finish() {
  const int64_t fill_to = int64_t{state_.cell_count} - 2;
  do {
    if (speed_fill_ > last_cell()) break;
    cell(speed_fill_).speed_limit = current_speed_code_;
    ++speed_fill_;
  } while (speed_fill_ < fill_to);
  do {
    if (adhesion_fill_ > last_cell()) break;
    cell(adhesion_fill_).adhesion = current_adhesion_;
    ++adhesion_fill_;
  } while (adhesion_fill_ < fill_to);

  const HeaderView header(state_.station_table);
  for (const ProgressionSlot slot : kProgressionSlots) {
    const Progression progression = header.progression(slot);
    if (progression.first % kProgressionStep != 0 || progression.second % kProgressionStep != 0) {
      state_.set_error(kErrorProgression);
      state_.error_place = SourcePlace();
      state_.error_detail.clear();
    }
  }
}

}  // namespace

void parse_train_description(CompileState& state, FieldReader& reader) { TrainParser(state, reader).run(); }

}  // namespace scenario
