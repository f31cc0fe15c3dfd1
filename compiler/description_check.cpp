#include "compiler/description_check.h"

#include "description/field_reader.h"
#include "compiler/line_parser.h"
#include "compiler/post_processing.h"
#include "compiler/train_parser.h"

namespace scenario {

std::vector<CheckFinding> check_descriptions(const Description& line, const Description& train, bool with_plan) {
  CompileState state;
  state.write_line_plan = with_plan ? 1 : 0;
  CheckFindings findings({line.file_name, train.file_name});
  FieldReader line_reader(line.bytes, line.file_name);
  const LinePhaseEnd end = parse_line_description(state, line_reader, &findings);
  findings.place_unplaced(0, line.file_name);
  if (end != LinePhaseEnd::kStop && state.has_cells()) {
    const size_t train_first = findings.all().size();
    FieldReader train_reader(train.bytes, train.file_name);
    parse_train_description(state, train_reader, &findings);
    post_process(state, &findings);
    // The progressions are the line description's, although the train phase checks them.
    findings.place_unplaced(train_first, train.file_name, error_code(ErrorNumber::kProgressionStep),
                            line.file_name);
  }
  return findings.sorted();
}

}  // namespace scenario
