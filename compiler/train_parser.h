// The train phase of the compile: the train description into the track model.
//
// Reads the train's header values, the speed limits and adhesion along the line, the stations
// (station table, stop markers, approach boards), cut-off points, signals and slowdowns; at the
// end it fills the remaining speed limits and adhesion and checks the kilometric progressions.
// Every error a record sets also records the place of the record's keyword field. No record
// writes outside the cell array: a station whose stop marker would lie beyond the last cell is
// refused as lying beyond the model (error 15), and the fills stop at the array's end.
#ifndef SCENARIO_COMPILER_TRAIN_PARSER_H_
#define SCENARIO_COMPILER_TRAIN_PARSER_H_

#include "compiler/field_reader.h"
#include "compiler/track_model.h"

namespace scenario {

// Runs on a model whose cells exist. Read failures are thrown as ReadFailure.
void parse_train_description(CompileState& state, FieldReader& reader);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_PARSER_H_
