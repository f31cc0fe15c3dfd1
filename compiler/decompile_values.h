// The compiled model's numbers read back as the values of the records that wrote them.
//
// The one place where the decompile takes the header entries and the packed cell values apart:
//  - the header entries 81 to 86 by what they hold (line length, progressions, backgrounds, signal
//    repetition, braked mass, cars, sand, clock);
//  - positions: a marker on cell c is written at 50 * (c - 1) m (near(p / 50 + 1) = c), a
//    whole-array fill or a cut-off point starting at cell c at 50 * c m (near(p / 50) = c);
//  - packed values: tens and units (signals, stripes), a board speed left * 20 + right / 5, a
//    departure time in seconds, and a whole signal cell with the approach code it left 8 cells
//    before it;
//  - texts: what a text field reads back.
// Every split chooses the simplest values that pack to the same number: units 0 to 9, right-hand
// speeds 0 to 95 km/h, hours, minutes and seconds of one sign.
#ifndef SCENARIO_COMPILER_DECOMPILE_VALUES_H_
#define SCENARIO_COMPILER_DECOMPILE_VALUES_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/track_model.h"
#include "compiler/train_features.h"

namespace scenario {

// Header entries, by what they hold.
inline int32_t header_line_length(const ScenarioRecord& r) { return r[kEntryTrain].area_end; }
inline int32_t header_braked_mass(const ScenarioRecord& r) { return r[kEntryTrain].area_start; }
inline int32_t header_cars(const ScenarioRecord& r) { return r[kEntryTrain].position; }
inline int32_t header_sfondo_uno(const ScenarioRecord& r) { return r[kEntryLine].area_start; }
inline int32_t header_sfondo_due(const ScenarioRecord& r) { return r[kEntryLine].position; }
inline int32_t header_sfondo_tre(const ScenarioRecord& r) { return r[kEntryLine].area_end; }
inline int32_t header_repetition_from(const ScenarioRecord& r) { return r[kEntryRepetition].area_start; }
inline int32_t header_repetition_to(const ScenarioRecord& r) { return r[kEntryRepetition].area_end; }
inline int32_t header_repetition_codes(const ScenarioRecord& r) { return r[kEntryRepetition].position; }
inline int32_t header_sand(const ScenarioRecord& r) { return r[kEntryRepetition].group1_a; }
inline int32_t header_clock_hours(const ScenarioRecord& r) { return r[kEntryRepetition].group2_a; }
inline int32_t header_clock_minutes(const ScenarioRecord& r) { return r[kEntryRepetition].group2_b; }
inline int32_t header_clock_seconds(const ScenarioRecord& r) { return r[kEntryRepetition].group2_c; }

// The position whose marker lands on `cell` (near(p / 50 + 1)).
inline int32_t marker_position(int64_t cell) { return static_cast<int32_t>((cell - 1) * 50); }
// The position whose fill or cut-off point starts at `cell` (near(p / 50)).
inline int32_t fill_position(int64_t cell) { return static_cast<int32_t>(cell * 50); }

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

// The values of a "segnale" record that give a signal cell and the approach code on the cell 8
// before it (always the signal's own: no later signal reaches that far back). The side code
// sx * 3 + dx is the one the approach code names; sx is 2 when the cell holds a signal time.
// Returns false, with the side code taken from value_d alone, when no side code fits both.
bool unpack_signal(const TrackCell& signal, uint8_t farthest_approach_code, SignalRecord* record);

// Whether a station-table entry holds a number (a station's does; a line-side board's holds only
// its text).
bool holds_a_number(const StationEntry& entry);

// The text a description's text field (a station name, a board text) gives back when `text` is
// written in it: cut at the first comma or line end, without blanks or tabs around it.
std::string text_as_read(std::string_view text);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DECOMPILE_VALUES_H_
