// Arbitrary bytes as a train description, parsed from memory over the track model of the
// embedded line (its boards, speed boards and mountain markers already on the cells).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "compiler/line_parser.h"
#include "compiler/train_parser.h"
#include "description/field_reader.h"
#include "fuzz/fuzz_input.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"

namespace {

// The embedded line parsed once; every input starts from a copy of it.
const scenario::CompileState& embedded_line_model() {
  static const scenario::CompileState model = [] {
    scenario::CompileState state = scenario::fuzz::named_state();
    const std::string line = scenario::render_table(scenario::line_data_table());
    scenario::FieldReader reader(line, "embedded_linea.txt");
    scenario::parse_line_description(state, reader);
    // Without cells the target would test nothing; stop at once rather than fuzz in vain.
    if (!state.has_cells() || state.error().ErrorCode != 0) std::abort();
    return state;
  }();
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scenario::CompileState state = embedded_line_model();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  scenario::FieldReader reader(bytes, "fuzz-.txt");
  // A read failure is error 25, recorded by the parser: nothing may escape it.
  scenario::parse_train_description(state, reader);
  return 0;
}
