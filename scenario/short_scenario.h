// The short scenario: the 12 km line of Valbruna and its train 8842, the smallest scenario that
// shows every record kind (three stations, curves, gradients, a tunnel, boards, signals, a
// slowdown and a cut-off point). It is the pair doc/tutorial.md builds step by step, and what `scenario_tool init
// --empty` writes to start from instead of the embedded 124 km line.
//
// The tables' entries are the files' lines, closed by the end marker, as the embedded tables are.
#ifndef SCENARIO_SCENARIO_SHORT_SCENARIO_H_
#define SCENARIO_SCENARIO_SHORT_SCENARIO_H_

#include "scenario/line_table.h"

namespace scenario {

inline constexpr const char* kShortLineName = "Valbruna";
inline constexpr const char* kShortTrainNumber = "8842";

LineTable short_line_table();
LineTable short_train_table();

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_SHORT_SCENARIO_H_
