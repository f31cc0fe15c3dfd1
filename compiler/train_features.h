// Placing the train-side features of the line on the cells: signals and slowdowns.
//
// memo_segnale puts one signal on cell c = near(posizione / 50 + 1) (kind 1) with its packed
// aspect codes, and an approach code on the four cells c - 2, c - 4, c - 6 and c - 8.
// memo_rallentamento puts one slowdown on the cells: its warning board 1200 m before the start
// (kind 4, only for starts beyond 1500 m), its start (kind 3) and end (kind 2), and on request the
// four pre-warning cells before the warning board (kind 5, values 4, 3, 2, 1).
//
// Both refuse a cell that is already taken (not free: kind other than 0 and 11), and equally a cell
// that would lie outside the array, and return the refusal (its error number, and words where the
// number alone would mislead) to the caller, which records it with the record's place and
// position. Packed 16-bit values wrap at 16 bits, the 8-bit codes at 8.
#ifndef SCENARIO_COMPILER_TRAIN_FEATURES_H_
#define SCENARIO_COMPILER_TRAIN_FEATURES_H_

#include <cstdint>

#include "description/description_records.h"
#include "model/cell_values.h"
#include "model/compile_error.h"
#include "model/track_model.h"

namespace scenario {

// Places a signal. `tempo` between 1 and 100 becomes 101 (the record keeps the new value).
// A taken signal cell, or approach cells that would fall before cell 0 (a signal closer than
// 325 m to the start), are refused with error 16; nothing is written then.
Placement memo_segnale(CompileState& state, SignalRecord& record);

// Places a slowdown. Refusals, tested in this order, each before anything is written: 17 warning
// board cell taken (x > 1500 only), 18 start cell taken, 19 end cell taken or lying before the
// start cell; a cell outside the array counts as taken. A negative length is no fault in itself:
// from -24 to -1 m it lays the same cells as length 0. Refusal 20 (a pre-warning cell taken) leaves
// the start, end and warning board written.
Placement memo_rallentamento(CompileState& state, const SlowdownRecord& record);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_FEATURES_H_
