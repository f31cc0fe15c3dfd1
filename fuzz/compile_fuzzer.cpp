// Arbitrary bytes as a (line, train) pair of descriptions (see fuzz_input.h), through the whole
// compile with the plan of the line, the binary writers into memory, and the error report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/compile_driver.h"
#include "compiler/error_catalogue.h"
#include "compiler/file_names.h"
#include "compiler/output_sink.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto [line_bytes, train_bytes] = scenario::fuzz::split_pair(data, size);
  scenario::CompileState state = scenario::fuzz::named_state();
  const scenario::ScenarioFileNames names = scenario::scenario_file_names(state.line_name, state.train_number);

  scenario::Description line{names.line_description, true, std::string(line_bytes)};
  scenario::Description train{names.train_description, true, std::string(train_bytes)};
  scenario::MemorySink sink;
  scenario::memorizza_percorso(state, 1, line, train, names, sink);
  if (state.ErrorCode != 0) {
    const std::string report = scenario::compile_error_report(state);
    if (report.empty()) __builtin_trap();  // every compile error has words
  }
  return 0;
}
