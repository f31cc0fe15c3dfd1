// The compiled model's numbers read back as the values of the records that wrote them, beyond
// what the cell arithmetic (cell_values.h) and the header view (header_view.h) give:
//  - positions of records: a marker on cell c is written at 50 * (c - 1) m (near(p / 50 + 1) = c),
//    a whole-array fill or a cut-off point starting at cell c at 50 * c m (near(p / 50) = c);
//  - packed values: tens and units (stripes), a board speed left * 20 + right / 5, a departure
//    time in seconds, and a whole signal cell with the approach code it left 8 cells before it
//    and its time;
//  - station-table entries that hold only a text, and what a text field reads back.
// Every split chooses the simplest values that pack to the same number: units 0 to 9, right-hand
// speeds 0 to 95 km/h, hours, minutes and seconds of one sign.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_VALUES_H_
#define SCENARIO_DECOMPILE_DECOMPILE_VALUES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "model/cell_values.h"
#include "model/track_model.h"

namespace scenario {

// The position of a record whose marker lands on `cell` (near(p / 50 + 1)).
inline int32_t marker_position(int64_t cell) { return static_cast<int32_t>(cell_metres(cell)); }
// The position of a record whose fill or cut-off point starts at `cell` (near(p / 50)).
inline int32_t fill_position(int64_t cell) { return static_cast<int32_t>(stretch_metres(cell)); }

// value == tens * 10 + unit with unit in 0..9.
struct TensAndUnit {
  int32_t tens = 0;
  int32_t unit = 0;
};
TensAndUnit split_tens(int64_t value);

// A speed indicator board value == near((right + 100 * left) / 5), right a multiple of 5 in 0..95.
struct BoardSpeeds {
  int32_t left = 0;
  int32_t right = 0;
};
BoardSpeeds split_board_speed(int16_t value);

// seconds == (hours * 60 + minutes) * 60 + seconds, all three of the sign of the whole.
struct DepartureTime {
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
};
DepartureTime split_departure_time(int32_t seconds);

// The values of a "segnale" record that give a signal cell, the approach code of its `step`-th
// approach cell (2 * step cells before it, holding side * 10 + step; by default the farthest, 8
// cells before) and its time. The terms are
// signal_record's, except that the side code sx * 3 + dx is one the approach code names (when
// value_d's last digit does not), sx is 2 when the cell holds a time, and a time of 1 to 100
// comes from a tempo 256 higher (1 to 100 itself is stored as 101). Returns false, with the side
// code of value_d alone, when no side code fits both value_d and the approach code (or, without
// `other_sides`, when the side code of value_d's last digit does not). posizione is left as it
// was: the cell's index is the caller's.
inline constexpr int64_t kFarthestApproachStep = 4;
bool unpack_signal(const TrackCell& signal, uint8_t approach, SignalRecord* record,
                   int64_t step = kFarthestApproachStep, bool other_sides = true);

// Whether a station-table entry holds a number (a station's does; a line-side board's holds only
// its text).
bool holds_a_number(const StationEntry& entry);

// The text a description's text field (a station name, a board text) gives back when `text` is
// written in it: cut at the first comma or line end, without blanks or tabs around it.
std::string text_as_read(std::string_view text);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_VALUES_H_
