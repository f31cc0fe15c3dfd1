// Arbitrary bytes as a (line, train) pair of descriptions and the line-plan flag (see
// fuzz_input.h), through the whole compile, the binary writers into memory, and the error report.
//
// Beyond the sanitizers, the written files are checked against the model they came from: each
// must decode strictly, the track cells and the scenario record to exactly the compiled cells and
// station table (names cut to the 65535 bytes their count can say), the line record to a plan of
// the same length, computed as far.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "format/binary_inputs.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "fuzz/fuzz_input.h"

namespace {

using scenario::CompileState;

// Stops the run as a finding; libFuzzer keeps the input.
void require(bool condition) {
  if (!condition) __builtin_trap();
}

void check_written_files(const CompileState& state, const scenario::ScenarioFileNames& names,
                         const scenario::MemorySink& sink) {
  std::vector<scenario::TrackCell> cells;
  require(scenario::decode_track_cells(sink.files.at(names.track_cells), &cells).ok());
  require(cells == state.cells);

  scenario::ScenarioRecord record;
  require(scenario::decode_scenario_record(sink.files.at(names.scenario_record), &record).ok());
  scenario::ScenarioRecord expected = state.station_table;
  for (scenario::StationEntry& entry : expected) {
    entry.name.resize(std::min<size_t>(entry.name.size(), std::numeric_limits<uint16_t>::max()));
  }
  require(record == expected);

  require((state.write_line_plan != 0) == (sink.files.count(names.line_record) == 1));
  if (state.write_line_plan != 0) {
    scenario::LinePlan plan;
    require(scenario::decode_line_plan(sink.files.at(names.line_record), &plan).ok());
    require(plan.plan_length() == state.plan.plan_length() && plan.next_metre() == state.plan.next_metre());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const scenario::fuzz::DescriptionPair pair = scenario::fuzz::split_pair(data, size);
  CompileState state = scenario::fuzz::named_state();
  const scenario::ScenarioFileNames names = scenario::scenario_file_names(state.line_name, state.train_number);

  const scenario::Description line{names.line_description, true, std::string(pair.line)};
  const scenario::Description train{names.train_description, true, std::string(pair.train)};
  scenario::MemorySink sink;
  const scenario::CompileResult result = scenario::compile(state, pair.write_line_plan != 0, line, train);
  if (state.error().ErrorCode != 0) require(!scenario::compile_error_report(state.error()).empty());

  if (result.has_model()) {
    require(scenario::write_outputs(state, names, sink).ok());
    require(sink.files.count(names.track_cells) == 1);
    check_written_files(state, names, sink);
  }
  return 0;
}
