#include "tests/compiled_scenario.h"

#include "format/binary_inputs.h"
#include "compiler/compile_driver.h"
#include "format/output_sink.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"

namespace scenario::testing {

CompiledFiles compile_in_memory(const std::string& line, const std::string& train, bool with_plan,
                                const std::string& line_name, const std::string& train_number) {
  const ScenarioFileNames names = scenario_file_names(line_name, train_number);
  CompileState state;
  state.line_name = line_name;
  state.train_number = train_number;
  MemorySink sink;
  const CompileResult result =
      memorizza_percorso(state, with_plan ? 1 : 0, Description{names.line_description, true, line},
                         Description{names.train_description, true, train}, names, sink);
  CompiledFiles files;
  files.with_plan = with_plan;
  files.error_code = state.error().ErrorCode;
  files.fatal = result.fatal;
  auto take = [&sink](const std::string& name, std::string* bytes) {
    const auto found = sink.files.find(name);
    if (found != sink.files.end()) *bytes = found->second;
  };
  take(names.track_cells, &files.track_cells);
  take(names.scenario_record, &files.scenario_record);
  take(names.line_record, &files.line_record);
  return files;
}

std::string embedded_line_description() { return render_table(line_data_table()); }
std::string embedded_train_description() { return render_table(train_data_table()); }

bool decode_files(const CompiledFiles& files, CompileState* state, std::string* why) {
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  DecodeResult result = decode_track_cells(files.track_cells, &cells);
  if (result.ok()) result = decode_scenario_record(files.scenario_record, &record);
  if (result.ok() && files.with_plan) result = decode_line_plan(files.line_record, &plan);
  if (!result.ok()) {
    *why = result.ToString();
    return false;
  }
  *state = CompileState();
  adopt_decoded(std::move(cells), record, std::move(plan), state);
  return true;
}

}  // namespace scenario::testing
