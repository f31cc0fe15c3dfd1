// The line phase of the compile: the line description into the track model.
//
// Reads the general section (line length, which sizes cells and plan; kilometric progressions;
// backgrounds; signal repetition), orders the progressions, then the body: gradients, curves (the
// plan metre by metre), mountain stretches, speed indicator boards and line-side boards; at the
// end it fills the remaining gradients and continues the plan straight.
//
// Errors are recorded in the state's error record with the place of the record's keyword field.
// Beyond the simulator's numbers: a line length below 0 is error 1, a general section without a
// length record is error 104 (no cells: nothing to write), a curve that would run past the plan's
// last metre is error 103, and an 81st line-side board (its text would go into entry 0) is error
// 106; 80 boards fill entries 80 down to 1. A read failure (the file ends inside a record, a value
// outside its field) is error 25. No record reads or writes outside the cells, the plan or the
// station table.
#ifndef SCENARIO_COMPILER_LINE_PARSER_H_
#define SCENARIO_COMPILER_LINE_PARSER_H_

#include "compiler/check_findings.h"
#include "description/field_reader.h"
#include "model/track_model.h"

namespace scenario {

// How the line phase ended: kGoOn (end of file, or error 15) lets the train phase run; kStop (any
// other error) ends the parse; kFailed (error 25) ends it too, and the train description is then
// removed unread.
enum class LinePhaseEnd { kGoOn, kStop, kFailed };

// With `findings`, the check mode of the parse (see DescriptionParser): every error is recorded
// there too and the reading goes on past it; a refused line length still sizes the model (clamped
// to 0 to 1000000 m), so that the body is checked.
LinePhaseEnd parse_line_description(CompileState& state, FieldReader& reader, CheckFindings* findings = nullptr);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_LINE_PARSER_H_
