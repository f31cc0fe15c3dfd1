#include "tests/compiled_scenario.h"

#include "compiler/compile.h"
#include "format/binary_inputs.h"
#include "format/binary_outputs.h"
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
  const CompileResult result = compile(state, with_plan, Description{names.line_description, true, line},
                                       Description{names.train_description, true, train});
  CompiledFiles files;
  files.with_plan = with_plan;
  files.error_code = state.error().ErrorCode;
  files.fatal = result.fatal;
  if (result.has_model()) {
    files.track_cells = encode_track_cells(state);
    files.scenario_record = encode_scenario_record(state);
    if (with_plan) files.line_record = encode_line_plan(state.plan);
  }
  return files;
}

std::string embedded_line_description() { return render_table(line_data_table()); }
std::string embedded_train_description() { return render_table(train_data_table()); }

bool decode_files(const CompiledFiles& files, CompileState* state, std::string* why) {
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  Status result = decode_track_cells(files.track_cells, &cells);
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
