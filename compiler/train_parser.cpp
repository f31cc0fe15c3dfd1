#include "compiler/train_parser.h"

namespace scenario {

void parse_train_description(CompileState& state, FieldReader& reader) {
  (void)state;
  (void)reader;  // placeholder until the train parser lands
}

}  // namespace scenario
