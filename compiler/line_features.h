// Line features laid onto the track model while the line description is read.
//
//  - progressive_ordina: puts the three kilometric progressions (entries 81 to 83 of the station
//    table, each a triple first / second / flag) into their final order, largest first value first,
//    and adds 100 to the second value of every triple whose flag is 1.
//  - memo_montagna: lays a mountain stretch onto the cells: its type on every cell of the stretch,
//    type 3 when it begins within 150 m after the previous stretch ends, and for a marked stretch
//    (type above 10) a montagna_marker on every 4th free cell.
//  - memo_indicatori_v_max: lays a speed indicator board onto one cell, each of the three speeds
//    encoded as left * 20 + right / 5 and the stripe counts as left * 10 + right.
// None of them touches a cell outside the cell array, whatever the positions they are given, and
// none records an error: memo_indicatori_v_max returns its refusal to the caller.
#ifndef SCENARIO_COMPILER_LINE_FEATURES_H_
#define SCENARIO_COMPILER_LINE_FEATURES_H_

#include <cstdint>

#include "description/description_records.h"
#include "model/compile_error.h"
#include "model/track_model.h"

namespace scenario {

// Orders entries 81 to 83. Returns false, leaving the order done but the triple's second value
// unchanged, when adding 100 to a second value would leave the 32-bit range (the caller treats
// that as a run-time failure of the compile).
bool progressive_ordina(CompileState& state);

// Lays the stretch `inizio` to `fine` (metres) of type `tipo` onto the cells; `tipo` is changed as
// the stretch's marking and adjacency decide. Cells from near(inizio / 50) to
// near(fine / 50 - 1), clamped to the cell array. montagna_count counts every stretch, and
// montagna_previous_end keeps the end of the last for the next one's adjacency. Sets no error.
void memo_montagna(CompileState& state, int32_t inizio, int32_t fine, int32_t& tipo);

// Lays a speed indicator board on cell near(posizione / 50 + 1). Refuses a taken cell, or one
// outside the cell array, with error 21, and an encoded speed that does not fit 16 bits as a
// run-time failure (25); a refused board writes nothing.
Placement memo_indicatori_v_max(CompileState& state, const SpeedBoardRecord& board);

// A speed board's stored speed: left * 20 + right / 5, rounded as one division; a board is laid
// only when each of its three fits 16 bits.
int64_t board_speed(int32_t left, int32_t right);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_FEATURES_H_
