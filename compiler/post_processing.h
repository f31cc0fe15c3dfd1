// Post-processing of the finished cells: cut-off points around slowdowns.
//
// One walk over cells 1 to cell_count - 2 adds abbattimento cells (kind 12, value 180): before
// signals near a slowdown warning (rule 1), in three bands before each slowdown start (rule 2),
// every 8 cells inside a slowdown below 110 km/h (rule 3), and before the first signal after its
// end (rule 4). Errors 11, 12 and 13 are recorded (whole, with no description place) and the walk
// goes on. Every mark is seen by the
// free tests of the rules after it, so the order (cells upward, rules 2, 3, 4 within a start) counts.
//
// No rule looks outside the array: a rule 3 walk that meets no end cell stops at the last cell with
// error 13; rule 4 looks no further than the last cell. For a slowdown of 110 km/h or more, which
// rule 3 does not walk, rule 4 looks from the slowdown's own end cell (the first end after its start).
#ifndef SCENARIO_COMPILER_POST_PROCESSING_H_
#define SCENARIO_COMPILER_POST_PROCESSING_H_

#include <cstdint>

#include "compiler/check_findings.h"
#include "model/track_model.h"

namespace scenario {

// With `findings` (a check), every error of the walk is also added there.
void post_process(CompileState& state, CheckFindings* findings = nullptr);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_POST_PROCESSING_H_
