// The check of a line and a train description: every finding at once, and no file written.
//
// Runs the compile's own parsers and placers in their check mode on a model of its own (the plan
// included, so that curves are checked): each error the compile would report is a finding, and so
// is each one it would reach had the earlier faulty records been fixed. Then it runs the compile
// itself on the same texts: post-processing checks exactly the cells the compile has, and the
// error the compile reports, or its fatal report (1250, 1251) at the record that took the header
// slot, is among the findings and marked as the one reported. The line phase's errors that belong
// to no record are placed in the line description, the train phase's and post-processing's in the
// train description. The train description is read whenever the line description gave a track
// model. A description that does not exist gives the compile's error (101 for the line, 25 for the
// train).
#ifndef SCENARIO_COMPILER_DESCRIPTION_CHECK_H_
#define SCENARIO_COMPILER_DESCRIPTION_CHECK_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "compiler/check_findings.h"
#include "compiler/compile.h"

namespace scenario {

// The findings are ordered by file (line, then train), line and column. Without `with_plan` the
// curves are passed over, as a compile without the line record passes them over.
std::vector<CheckFinding> check_descriptions(const Description& line, const Description& train, bool with_plan = true);

// A check that keeps at most `kept_per_file` findings of each description (0: all), the first it
// makes, besides the error the compile reports, and counts the others: its memory stays bounded
// however many findings a description holds.
struct CheckOutcome {
  std::vector<CheckFinding> findings;                    // ordered as above
  std::vector<std::pair<std::string, size_t>> not_kept;  // per file, how many were only counted
  size_t errors_not_kept = 0;
};
CheckOutcome check_descriptions(const Description& line, const Description& train, bool with_plan,
                                size_t kept_per_file);

// The warnings of the check alone, in the same order: what a compile tells beside its own report;
// at most `kept_per_file` of each description (0: all).
std::vector<CheckFinding> description_warnings(const Description& line, const Description& train,
                                               bool with_plan = true, size_t kept_per_file = 0);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DESCRIPTION_CHECK_H_
