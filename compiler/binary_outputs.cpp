#include "compiler/binary_outputs.h"

namespace scenario {

// Placeholders until the binary writers land.
std::string encode_track_cells(const CompileState&) { return {}; }
std::string encode_scenario_record(const CompileState&) { return {}; }
std::string encode_line_plan(const LinePlan&) { return {}; }

Status write_outputs(const CompileState& state, const ScenarioFileNames& names, OutputSink& sink) {
  if (state.write_line_plan != 0) {
    Status status = sink.write_file(names.line_record, encode_line_plan(state.plan));
    if (!status.ok()) return status;
  }
  Status status = sink.write_file(names.scenario_record, encode_scenario_record(state));
  if (!status.ok()) return status;
  return sink.write_file(names.track_cells, encode_track_cells(state));
}

}  // namespace scenario
