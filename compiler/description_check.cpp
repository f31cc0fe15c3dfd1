#include "compiler/description_check.h"

#include "compiler/line_parser.h"
#include "compiler/train_parser.h"
#include "description/field_reader.h"

namespace scenario {

namespace {

// The reading: every record of both descriptions in check mode, going on past errors where the
// compile stops.
void read_in_check_mode(const Description& line, const Description& train, bool with_plan, CheckFindings& findings) {
  if (line.exists) {
    CompileState state;
    state.write_line_plan = with_plan ? 1 : 0;
    FieldReader line_reader(line.bytes, line.file_name);
    const LinePhaseEnd end = parse_line_description(state, line_reader, &findings);
    findings.place_unplaced(0, line.file_name);
    if (end != LinePhaseEnd::kStop && state.has_cells() && train.exists) {
      const size_t train_first = findings.all().size();
      FieldReader train_reader(train.bytes, train.file_name);
      parse_train_description(state, train_reader, &findings);
      // The progressions are the line description's, although the train phase checks them.
      findings.place_unplaced(train_first, train.file_name, error_code(ErrorNumber::kProgressionStep),
                              line.file_name);
    }
  }
}

}  // namespace

std::vector<CheckFinding> description_warnings(const Description& line, const Description& train, bool with_plan,
                                               size_t kept_per_file) {
  CheckFindings findings({line.file_name, train.file_name});
  findings.keep_at_most(kept_per_file);
  read_in_check_mode(line, train, with_plan, findings);
  std::vector<CheckFinding> warnings;
  for (CheckFinding& finding : findings.sorted()) {
    if (finding.severity == Severity::kWarning) warnings.push_back(std::move(finding));
  }
  return warnings;
}

std::vector<CheckFinding> check_descriptions(const Description& line, const Description& train, bool with_plan) {
  return check_descriptions(line, train, with_plan, 0).findings;
}

CheckOutcome check_descriptions(const Description& line, const Description& train, bool with_plan,
                                size_t kept_per_file) {
  CheckFindings findings({line.file_name, train.file_name});
  findings.keep_at_most(kept_per_file);
  read_in_check_mode(line, train, with_plan, findings);

  // The compile itself on the same texts: its post-processing runs on exactly its cells, and the
  // error it reports (or its fatal report) is marked among the findings, added where the reading
  // did not find it.
  CompileState compiled;
  const size_t post_first = findings.all().size();
  const CompileResult result = compile(compiled, with_plan, line, train, &findings);
  findings.place_unplaced(post_first, train.file_name);
  if (result.fatal != 0) {
    const SourcePlace& taker =
        result.fatal == kFatalCell1ValueA ? compiled.header_value_a_from : compiled.header_value_b_from;
    findings.add_fatal(result.fatal, taker, train.file_name);
  } else if (compiled.error().ErrorCode != 0) {
    const bool line_error = compiled.error().ErrorCode == error_code(ErrorNumber::kLineDescriptionMissing);
    findings.mark_reported(compiled.error(), line_error ? line.file_name : train.file_name);
  }
  return CheckOutcome{findings.sorted(), findings.not_kept(), findings.errors_not_kept()};
}

}  // namespace scenario
