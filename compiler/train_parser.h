// The train phase of the compile: the train description into the track model.
//
// Reads the train's header values, the speed limits and adhesion along the line, the stations
// (station table, stop markers, approach boards), cut-off points, signals and slowdowns; at the
// end it fills the remaining speed limits and adhesion and checks the kilometric progressions.
// Every error a record sets also records the place of the record's keyword field; a read failure
// (the file ends inside a record, a value outside its field) is error 25, and so is a speed limit
// whose step count does not fit a byte once a cell would take it (the place is then the record
// that set it; a speed replaced before any cell takes it is no error). No record writes outside
// the cell array: a station whose stop marker would lie beyond the last cell is refused as lying
// beyond the model (error 15), and the fills stop at the array's end. When the line's boards have
// taken every entry down to 1, a station finds no free entry and is refused (error 10).
#ifndef SCENARIO_COMPILER_TRAIN_PARSER_H_
#define SCENARIO_COMPILER_TRAIN_PARSER_H_

#include "compiler/check_findings.h"
#include "description/field_reader.h"
#include "model/track_model.h"

namespace scenario {

// Runs on a model whose cells exist. With `findings`, the check mode of the parse (see
// DescriptionParser): every error is recorded there too and the reading goes on past it.
void parse_train_description(CompileState& state, FieldReader& reader, CheckFindings* findings = nullptr);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TRAIN_PARSER_H_
