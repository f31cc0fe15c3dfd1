#include "compiler/line_parser.h"

namespace scenario {

LinePhaseEnd parse_line_description(CompileState& state, FieldReader& reader) {
  (void)state;
  (void)reader;
  return LinePhaseEnd::kStop;  // placeholder until the line parser lands
}

}  // namespace scenario
