// What the numbers of a track cell mean: where a cell lies, and how its bytes hold speeds,
// gradients and a signal's terms.
//
//  - A feature on cell i stands at CELL_LENGTH * (i - 1) metres (the placers' cell of a position);
//    the stretch values of cell i (gradient, speed limit, adhesion, montagna_tipo) hold from
//    CELL_LENGTH * i metres on (the fills' cell of a position). Every view that names a cell's
//    metres (dump, render, decompile's findings, check's messages) takes them from these two.
//  - speed_limit is the speed in km/h divided by 5 (near), gradient the per mille plus 100, both
//    in one byte.
//  - A signal cell packs the eleven terms of its record: value_d = rapp * 10 + side code, with the
//    side code sx * 3 + dx; value_a, value_b, value_c = s1 * 10 + d1, s2 * 10 + d2, s3 * 10 + d3.
//    The cells before it carry approach codes side code * 10 + k, k = 1 on the nearest (a station
//    stop's approach boards use the same codes with side code 8). The terms are taken apart with
//    floor division, so dx comes back as 0 to 2, each d as 0 to 9 and the side code as 0 to 9: for
//    a record whose terms lie in those ranges (and s and rapp are not negative) they are the
//    record's own terms, and in any case they pack into the same cell values again.
//  - Cell 1 carries the header of the track cells: value_a the constant 5121, value_b the first
//    check code.
#ifndef SCENARIO_MODEL_CELL_VALUES_H_
#define SCENARIO_MODEL_CELL_VALUES_H_

#include <cstddef>
#include <cstdint>

#include "model/rounding.h"
#include "model/track_model.h"

namespace scenario {

// A value stored in a 16-bit or an 8-bit field of a cell keeps its low bits.
constexpr int16_t low16(int64_t value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
// Whether a value fits a cell's 16-bit field as it is.
constexpr bool fits_int16(int64_t value) { return value >= INT16_MIN && value <= INT16_MAX; }
constexpr uint8_t low8(int64_t value) { return static_cast<uint8_t>(value & 0xFF); }

// Where the feature of cell i stands, in metres.
constexpr int64_t cell_metres(int64_t cell_index) { return CELL_LENGTH * (cell_index - 1); }
// Where the stretch values of cell i begin, in metres.
constexpr int64_t stretch_metres(int64_t cell_index) { return CELL_LENGTH * cell_index; }
// The stretch fills end at cell N - 3 of an array whose highest index is N: the last three cells
// lie past the line's end and no record gives them a stretch value.
inline constexpr int64_t kUnfilledLastCells = 3;
constexpr bool past_stretch_fills(int64_t cell_index, int64_t highest_cell) {
  return cell_index > highest_cell - kUnfilledLastCells;
}

// Speed limits are stored in steps of 5 km/h.
inline constexpr int64_t kSpeedStep = 5;
constexpr int32_t speed_kmh(uint8_t speed_limit) { return speed_limit * static_cast<int32_t>(kSpeedStep); }
// The step count of a speed in km/h, near(kmh / 5); it is stored only when it fits a byte.
constexpr int64_t speed_steps(int64_t kmh) { return near(kmh, kSpeedStep); }
constexpr bool fits_speed_limit(int64_t steps) { return steps >= 0 && steps <= 255; }

// Gradients are stored plus 100, kept to their low eight bits.
inline constexpr int64_t kGradientOffset = 100;
constexpr int32_t gradient_per_mille(uint8_t gradient) { return gradient - static_cast<int32_t>(kGradientOffset); }
constexpr uint8_t gradient_byte(int64_t per_mille) { return low8(per_mille + kGradientOffset); }

// The eleven values of a "segnale" record, in file order.
struct SignalRecord {
  int32_t posizione = 0;  // metres
  int32_t sx = 0;
  int32_t s1 = 0;
  int32_t s2 = 0;
  int32_t s3 = 0;
  int32_t rapp = 0;
  int32_t dx = 0;
  int32_t d1 = 0;
  int32_t d2 = 0;
  int32_t d3 = 0;
  int32_t tempo = 0;

  bool operator==(const SignalRecord&) const = default;
};

// A signal's tempo of 1 to 100 is stored as 101; only a signal whose sx is 2 keeps its time.
inline constexpr int32_t kTempoRaisedFrom = 1;
inline constexpr int32_t kTempoRaisedTo = 100;
inline constexpr int32_t kTempoRaised = 101;
inline constexpr int32_t kSxWithTime = 2;

// The side code of a signal, sx * 3 + dx, and a packed pair tens * 10 + units, in 64 bits (the
// cell keeps their low 16 bits).
constexpr int64_t side_code(int64_t sx, int64_t dx) { return sx * 3 + dx; }
constexpr int64_t packed_pair(int64_t tens, int64_t units) { return tens * 10 + units; }

// Packs a record's terms into value_a, value_b, value_c and value_d of a signal cell.
void pack_signal(const SignalRecord& record, TrackCell& cell);
// The record a signal cell holds, its terms taken apart as far as they can be: posizione is the
// cell's metres, tempo its signal_time byte (which holds a tempo of 1 to 100 as 101, and only for
// sx 2).
SignalRecord signal_record(int64_t cell_index, const TrackCell& cell);

// What an approach code says: the side code of the signal ahead and the cell's step before it
// (1 the nearest, 4 the farthest). 0 means no approach code.
struct ApproachTerms {
  int32_t side_code = 0;
  int32_t sx = 0;
  int32_t dx = 0;
  int32_t step = 0;

  bool operator==(const ApproachTerms&) const = default;
};
constexpr uint8_t approach_code(int64_t side, int64_t step) { return low8(side * 10 + step); }
ApproachTerms approach_terms(uint8_t code);

// Mountain stretches: a type above kMarkedTypeOffset is stored less the offset and lays a marker on
// every kMarkerSpacing-th free cell of the stretch; a stretch that starts at most
// kAdjacentStretchGap metres after the one before ends takes type kAdjacentStretchType.
inline constexpr int32_t kMarkedTypeOffset = 10;
inline constexpr int64_t kMarkerSpacing = 4;
inline constexpr int64_t kAdjacentStretchGap = 150;
inline constexpr int32_t kAdjacentStretchType = 3;

// The value post-processing gives the cut-off points it lays before a slowdown's start.
inline constexpr int16_t kCutOffPointValue = 180;

// The header of the track cells, in cell 1.
inline constexpr size_t kHeaderCell = 1;
inline constexpr int16_t kHeaderCellMarker = 5121;

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELL_VALUES_H_
