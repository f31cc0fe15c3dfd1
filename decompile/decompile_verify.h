// Proving a decompile: the recovered descriptions compiled in memory, and where the result differs
// from the files they were recovered from.
//
// compile_descriptions runs the whole compile (compile()) on two description texts, with
// the names and the plan flag of the files, into a state whose cells, station table and plan are
// exactly what the compile writes. compare_compiled then adds a finding for a compile that does not
// end cleanly (its error, a fatal report, no track model) and for the first difference of each
// file: the cell (index and metres) and field, the entry and field, the metre and coordinate.
// Since the decoders read every byte into the model and the encoders write every field, equal
// models are equal files, byte for byte.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_VERIFY_H_
#define SCENARIO_DECOMPILE_DECOMPILE_VERIFY_H_

#include <string>

#include "compiler/compile.h"
#include "decompile/decompile_findings.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

struct DescriptionTexts {
  std::string line;
  std::string train;
};

// Compiles `texts` into `compiled` with the names of `names_from` (its line_name and
// train_number), building the plan when `with_plan`.
CompileResult compile_descriptions(const DescriptionTexts& texts, const ScenarioModel& names_from, bool with_plan,
                                   CompileState* compiled);

// Findings for an unclean compile and for the first difference between `compiled` and `files`.
void compare_compiled(const CompileState& compiled, const CompileResult& result, const ScenarioModel& files,
                      Findings& findings);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_VERIFY_H_
