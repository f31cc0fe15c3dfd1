// Decompiling: the simulator's compiled files back into a line and a train description that
// compile to the very same bytes.
//
// decompile recovers the line description (decompile_line.h, with the curves from the plan,
// decompile_plan.h) and the train description (decompile_train.h) from the decoded files, writes
// them in the writer's layout (decompile_writer.h), and proves them by compiling them in memory
// (decompile_verify.h). What the post-processing adds to the cells is not written as records, the
// compile lays it again; the points of 180 it needs as records are found by compiling the cells
// (decompile_cut_offs.h).
//
// The result is exact when there is no finding: compiling the two descriptions (with the plan
// exactly when the files had one) gives the files byte for byte, cleanly. Otherwise the findings
// say what no description can give and where, and the descriptions are the closest ones found.
// Time and memory are linear in the line's length; no input makes it read outside the model.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_H_
#define SCENARIO_DECOMPILE_DECOMPILE_H_

#include <string>

#include "decompile/decompile_findings.h"
#include "decompile/decompile_verify.h"
#include "description/description_records.h"
#include "model/track_model.h"

namespace scenario {

struct DecompileResult {
  DescriptionTexts descriptions;  // line and train description, code-page-1252 bytes, CR LF
  Findings findings;

  bool exact() const { return findings.empty(); }
};

// `files` holds the decoded files (adopt_decoded): cells, station table, the plan when the line
// record was given (allocated), and in line_name and train_number the names the descriptions are
// to be compiled with (code-page-1252 bytes).
DecompileResult decompile(const ScenarioModel& files);

// The two descriptions recovered from `files`, without proving them (for measuring the recovery).
DescriptionTexts recover_descriptions(const ScenarioModel& files, Findings& findings);

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_H_
