// The train description recovered from the compiled files.
//
//  - general records: cars, braked mass, sand and clock from entries 84 and 86;
//  - adhesion and speed limits from the cells' values (decompile_fills.h);
//  - stations from entries 1 upward (up to the last entry that holds a number, below the boards'
//    entries): position, type and options as stored, the platform length from the station's area
//    as its type lays it out, the end extension of the first station from its area, and the
//    departure time split into hours, minutes and seconds. Stop markers and approach boards are
//    not read: the compile lays them again;
//  - slowdowns from their start cells (kind 3), each with the next end cell (kind 2) of the same
//    values, or none for a slowdown shorter than a cell; the warning board 24 cells before the
//    start (and whether the start lies beyond 1500 m), pre-warning cells, speed and values;
//  - signals from cells of kind 1 (decompile_values.h unpacks them, with the code of an approach
//    cell that still holds theirs), in the order that leaves every approach code the cells hold
//    (decompile_signal_order.h);
//  - cut-off points from cells of kind 13, and of kind 12 with a value other than 180. Cells of
//    kind 12 with 180 are the post-processing's points, which the compile lays again; those it
//    does not lay again are added as records by the decompile (decompile.h).
// Cells of a kind no record lays (7, 8, 9, above 14), and markers no slowdown explains, are
// findings.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_TRAIN_H_
#define SCENARIO_DECOMPILE_DECOMPILE_TRAIN_H_

#include <cstdint>

#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

TrainDescription recover_train(const ScenarioModel& files, Findings& findings);

// The cut-off record that lays `cell` (of kind 12 or 13) at index `index`.
PositionValue cut_off_record(int64_t index, const TrackCell& cell);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_TRAIN_H_
