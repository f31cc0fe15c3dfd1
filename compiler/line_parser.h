// The line phase of the compile: the line description into the track model.
//
// Reads the general section (line length, which sizes cells and plan; kilometric progressions;
// backgrounds; signal repetition), orders the progressions, then the body: gradients, curves (the
// plan metre by metre), mountain stretches, speed indicator boards and line-side boards; at the
// end it fills the remaining gradients and continues the plan straight.
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
