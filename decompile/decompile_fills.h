// The values of a stretch of track (gradient, speed limit, adhesion) back into the records that
// fill them.
//
// The compile fills each of these one-byte fields over the cells from a list of (position, value)
// records: the value before the first record is 0; a record at p ends the previous value's stretch
// at cell near(p / 50) - 1 and starts its own; the last value runs to cell N - 3 (N the highest
// cell index), and also to cell N - 2 when a record stands at that cell. A record at or before
// the fill's cursor still writes the one cell at the cursor.
//
// recover_fill gives the fewest records that give the cells' values exactly: one at position 0
// with cell 0's value, one at each cell whose value differs from the cell before it, and for the
// last three cells (which no ordinary stretch reaches) a record at cell N - 2 followed by records
// at 50 m, each of which writes one more cell. The stored byte is returned; the caller turns it
// into the record's value (gradient - 100, speed * 5, adhesion as is).
#ifndef SCENARIO_DECOMPILE_DECOMPILE_FILLS_H_
#define SCENARIO_DECOMPILE_DECOMPILE_FILLS_H_

#include <cstdint>
#include <vector>

#include "model/track_model.h"

namespace scenario {

struct FillRecord {
  int32_t position = 0;
  uint8_t stored = 0;
};

std::vector<FillRecord> recover_fill(const std::vector<TrackCell>& cells, uint8_t TrackCell::*field);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_FILLS_H_
