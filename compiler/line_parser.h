// The line phase of the compile: the line description into the track model.
//
// Reads the general section (line length, which sizes cells and plan; kilometric progressions;
// backgrounds; signal repetition), orders the progressions, then the body: gradients, curves (the
// plan metre by metre), mountain stretches, speed indicator boards and line-side boards; at the
// end it fills the remaining gradients and continues the plan straight.
//
// Errors go to state.ErrorCode / ErrorPosition with the place of the record's keyword field in
// state.error_place. Beyond the simulator's numbers: a line length below 0 is error 1, a general
// section without a length record is error 104 (no cells: nothing to write), a curve that would
// run past the plan's last metre is error 103, and an 80th line-side board (its slot would reach
// entry 1, the first station's) is error 106. No record reads or writes outside the cells, the
// plan or the station table.
#ifndef SCENARIO_COMPILER_LINE_PARSER_H_
#define SCENARIO_COMPILER_LINE_PARSER_H_

#include "compiler/field_reader.h"
#include "compiler/track_model.h"

namespace scenario {

// How the line phase ended: kGoOn (end of file, or error 15) lets the train phase run; kStop (any
// other error) ends the parse. Read failures are thrown as ReadFailure.
enum class LinePhaseEnd { kGoOn, kStop };

LinePhaseEnd parse_line_description(CompileState& state, FieldReader& reader);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_PARSER_H_
