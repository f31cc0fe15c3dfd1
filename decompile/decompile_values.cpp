#include "decompile/decompile_values.h"

#include <cstdlib>

namespace scenario {
namespace {

// The remainder of value / divisor in 0..divisor - 1, for a divisor above 0.
int64_t floor_mod(int64_t value, int64_t divisor) { return ((value % divisor) + divisor) % divisor; }
int64_t floor_div(int64_t value, int64_t divisor) { return (value - floor_mod(value, divisor)) / divisor; }

// 5 * 77 == 385 == 1 (mod 128): the inverse of 5 modulo 128, to solve side * 10 == r (mod 256).
constexpr int64_t kInverseOfFive = 77;
constexpr int64_t kSideCodePeriod = 128;

bool names_side(int64_t side, uint8_t code, int64_t step) { return approach_code(side, step) == code; }

// A side code that the approach code names and that leaves value_d - side a multiple of 10, the
// one nearest to 0. Two can be equally near (320 and -320 for approach code 132 and a value_d
// ending in 0): the first found, the negative one, is kept. Returns false when there is none.
bool side_from_approach(int64_t value_d, uint8_t code, int64_t step, int64_t* side) {
  const int64_t tens = (int64_t{code} - step) & 0xFF;  // side * 10 mod 256
  if (tens % 2 != 0) return false;
  const int64_t base = (tens / 2) * kInverseOfFive % kSideCodePeriod;
  bool found = false;
  for (int64_t j = -5; j <= 5; ++j) {
    const int64_t candidate = base + kSideCodePeriod * j;
    if (floor_mod(value_d - candidate, 10) != 0 || !names_side(candidate, code, step)) continue;
    if (!found || std::llabs(candidate) < std::llabs(*side)) *side = candidate;
    found = true;
  }
  return found;
}

}  // namespace

TensAndUnit split_tens(int64_t value) {
  return TensAndUnit{static_cast<int32_t>(floor_div(value, 10)), static_cast<int32_t>(floor_mod(value, 10))};
}

BoardSpeeds split_board_speed(int16_t value) {
  return BoardSpeeds{static_cast<int32_t>(floor_div(value, 20)), static_cast<int32_t>(floor_mod(value, 20) * 5)};
}

DepartureTime split_departure_time(int32_t seconds) {
  const int32_t within_hour = seconds % 3600;
  return DepartureTime{seconds / 3600, within_hour / 60, within_hour % 60};
}

bool unpack_signal(const TrackCell& signal, uint8_t approach, SignalRecord* record, int64_t step, bool other_sides) {
  const int32_t posizione = record->posizione;
  *record = signal_record(0, signal);
  record->posizione = posizione;  // the cell's index is the caller's
  int64_t side = side_code(record->sx, record->dx);
  bool consistent = names_side(side, approach, step);
  if (!consistent && other_sides && side_from_approach(signal.value_d, approach, step, &side)) {
    consistent = true;
    record->rapp = static_cast<int32_t>((signal.value_d - side) / 10);
    record->sx = static_cast<int32_t>(floor_div(side, 3));
  }
  if (signal.signal_time != 0) record->sx = kSxWithTime;
  record->dx = static_cast<int32_t>(side - 3 * int64_t{record->sx});
  const int32_t time = signal.signal_time;
  record->tempo = 0;
  if (record->sx == kSxWithTime) {
    // A stored time of 1 to 100 cannot be that tempo (it would be stored as 101): tempo + 256 has
    // the same low eight bits.
    record->tempo = time >= kTempoRaisedFrom && time <= kTempoRaisedTo ? time + 256 : time;
  }
  return consistent;
}

bool holds_a_number(const StationEntry& entry) {
  StationEntry numbers = entry;
  numbers.name.clear();
  return !(numbers == StationEntry());
}

std::string text_as_read(std::string_view text) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t end = text.find_first_of(",\r\n");
  if (end == std::string_view::npos) end = text.size();
  size_t begin = 0;
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace scenario
