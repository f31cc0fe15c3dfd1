// Post-processing of the finished cells: cut-off points around slowdowns.
//
// One walk over cells 1 to cell_count - 2 adds abbattimento cells (kind 12, value 180): before
// signals near a slowdown warning (rule 1), in three bands before each slowdown start (rule 2),
// every 8 cells inside a slowdown below 110 km/h (rule 3), and before the first signal after its
// end (rule 4). Errors 11, 12 and 13 are recorded and the walk goes on.
#ifndef SCENARIO_COMPILER_POST_PROCESSING_H_
#define SCENARIO_COMPILER_POST_PROCESSING_H_

#include <cstdint>

#include "compiler/track_model.h"

namespace scenario {

void post_process(CompileState& state);

// y when x > y, otherwise x.
int16_t minimo(int16_t x, int16_t y);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_POST_PROCESSING_H_
