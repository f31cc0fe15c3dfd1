// The line description recovered from the compiled files.
//
//  - general records: the line length from entry 84, checked against the cell count (a length the
//    cells contradict is a finding, and the length the cells give is used); the kilometric
//    progressions of entries 81 to 83 in an order that the compile's ordering turns back into
//    them (each tried through progressive_ordina itself); backgrounds and signal repetition;
//  - curves from the plan, when there is one (decompile_plan.h);
//  - gradients from the cells' gradient values (decompile_fills.h);
//  - mountain stretches: each run of cells of one nonzero stretch type is a stretch, marked when a
//    montagna_marker stands on one of its 4th, 8th, ... cells. A stretch that begins within 150 m
//    after the one before is given type 3 by the compile; it is written with the type of the
//    stretch it continues. A run that begins 3 cells after the one before and is not of type 3 is
//    moved 24 m apart from it so that it keeps its own type. A stretch written over an earlier one
//    shows as a run of type 3 inside or right after a run of another type: the earlier stretch is
//    written reaching over it (decompile_line.cpp says how each is told);
//  - speed indicator boards from cells of kind 6 (and from the values a station's stop marker
//    left of a board it covered);
//  - line-side boards from cells of kind 14 and the texts of the entries they name, in the order
//    of their entries (80 downward), which the compile gives them again; a board whose cell a
//    station's stop marker took shows only by its entry, and is written on a stop marker's cell.
// Every record is placed at the simplest position that maps to its cell.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_LINE_H_
#define SCENARIO_DECOMPILE_DECOMPILE_LINE_H_

#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

// `files` holds the decoded cells, station table and (when given) plan.
LineDescription recover_line(const ScenarioModel& files, Findings& findings);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_LINE_H_
