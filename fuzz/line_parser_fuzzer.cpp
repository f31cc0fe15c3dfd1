// Arbitrary bytes as a line description, parsed from memory twice: without the plan of the line
// (curve records passed over) and with it (curves computed metre by metre).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compiler/line_parser.h"
#include "description/field_reader.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int32_t write_line_plan : {0, 1}) {
    scenario::CompileState state = scenario::fuzz::named_state();
    state.write_line_plan = write_line_plan;
    scenario::FieldReader reader(bytes, "fuzz_linea.txt");
    // A read failure is error 25, recorded by the parser: nothing may escape it.
    scenario::parse_line_description(state, reader);
  }
  return 0;
}
