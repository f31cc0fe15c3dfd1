// Which points of 180 in the cells are cut-off records, and which the post-processing lays.
//
// The post-processing lays points of 180 (kind 12) on free cells by its rules. A cut-off record of
// 180 lays the same cell, and also takes it from the rules, which then look further: inside a slow
// slowdown a point moved one cell back moves every later point of the slowdown. So a point of the
// files is either the rules' or a record's, and where it is a record matters.
//
// add_post_processing_records decides with the compile as judge. It compiles the cells (without the
// plan) with the records chosen so far, finds the first cell where the points differ from the
// files, and tries the few changes that can mend that place: the cell itself as a record, a point
// the compile laid within two cells of it taken as a record instead, or a record there given back
// to the rules. It keeps the change that moves the first difference furthest on, and stops when no
// point differs, when no change moves it, or after kMaxCutOffCompiles compiles. The records of
// other values (and of no value) are not in question: recover_train has them already.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_CUT_OFFS_H_
#define SCENARIO_DECOMPILE_DECOMPILE_CUT_OFFS_H_

#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

// Compiles of the cells that the search may make, at most.
inline constexpr int kMaxCutOffCompiles = 48;

// Adds to `train` the cut-off records of 180 that the files need beside the post-processing's.
void add_post_processing_records(const ScenarioModel& files, const LineDescription& line, TrainDescription& train);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_CUT_OFFS_H_
