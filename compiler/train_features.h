// Placing the train-side features of the line on the cells: signals and slowdowns.
//
// memo_segnale puts one signal on cell c = near(posizione / 50 + 1) (kind 1) with its packed
// aspect codes, and an approach code on the four cells c - 2, c - 4, c - 6 and c - 8.
// memo_rallentamento puts one slowdown on the cells: its warning board 1200 m before the start
// (kind 4, only for starts beyond 1500 m), its start (kind 3) and end (kind 2), and on request the
// four pre-warning cells before the warning board (kind 5, values 4, 3, 2, 1).
//
// Both refuse a cell that is already taken (not free: kind other than 0 and 11), and equally a cell
// that would lie outside the array, by setting their error number; they set no ErrorPosition (the
// caller knows the record's position). Packed 16-bit values wrap at 16 bits, the 8-bit codes at 8.
#ifndef SCENARIO_COMPILER_TRAIN_FEATURES_H_
#define SCENARIO_COMPILER_TRAIN_FEATURES_H_

#include <cstdint>

#include "compiler/cell_values.h"
#include "compiler/track_model.h"

namespace scenario {

// The six values of a "rallentamento" record, in file order.
struct SlowdownRecord {
  int32_t x = 0;     // start position, metres
  int32_t v = 0;     // speed, km/h
  int32_t l = 0;     // length, metres
  int32_t f_tt = 0;  // stored with the start and end markers
  int32_t f_ta = 0;  // nonzero: four pre-warning cells before the warning board
  int32_t d_v = 0;   // stored with the markers when nonzero
};

// Error numbers of the placers.
inline constexpr int32_t kErrorSignalTaken = 16;
inline constexpr int32_t kErrorWarningTaken = 17;
inline constexpr int32_t kErrorStartTaken = 18;
inline constexpr int32_t kErrorEndTaken = 19;
inline constexpr int32_t kErrorPrewarningTaken = 20;

// Places a signal. `tempo` between 1 and 100 becomes 101 (the record keeps the new value).
// A taken signal cell, or approach cells that would fall before cell 0 (a signal closer than
// 325 m to the start), set error 16 and write nothing. Returns whether the signal was placed.
bool memo_segnale(CompileState& state, SignalRecord& record);

// Places a slowdown. Errors, tested in this order, each before anything is written: 17 warning
// board cell taken (x > 1500 only), 18 start cell taken, 19 end cell taken; a cell outside the
// array counts as taken, and a negative length is refused as 19. Error 20 (a pre-warning cell
// taken) leaves the start, end and warning board written. Returns whether no error was set.
bool memo_rallentamento(CompileState& state, const SlowdownRecord& record);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_FEATURES_H_
