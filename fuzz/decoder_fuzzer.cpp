// Bytes as a compiled file through the strict decoders, the encoders, dump and render. The first
// byte chooses the kind (its value modulo 3: track cells .dat, scenario record .sim, line record
// _linea.dat); the rest is the file.
//
// A file that decodes must encode back to exactly its bytes, and dump (text and JSON, the plan at
// two steps) and render of it must complete; render draws it with the embedded scenario's other
// files (without their plan, which would cost a point per metre of every run). A file that does
// not decode must be refused with an offset inside it and a reason.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "format/binary_inputs.h"
#include "format/binary_outputs.h"
#include "render/dump.h"
#include "render/render_chart.h"
#include "render/render_page.h"
#include "render/render_plan.h"
#include "render/render_profile.h"
#include "render/render_scene.h"
#include "tests/compiled_scenario.h"

namespace {

using scenario::CompileState;
using scenario::Status;

enum Kind { kTrackCells, kScenarioRecord, kLinePlan };

// Stops the run as a finding; libFuzzer keeps the input.
void require(bool condition) {
  if (!condition) __builtin_trap();
}

// The embedded scenario's track cells and scenario record, decoded once.
struct EmbeddedFiles {
  std::vector<scenario::TrackCell> cells;
  scenario::ScenarioRecord record;
};

const EmbeddedFiles& embedded_files() {
  static const EmbeddedFiles files = [] {
    using namespace scenario::testing;
    const CompiledFiles compiled =
        compile_in_memory(embedded_line_description(), embedded_train_description(), /*with_plan=*/false);
    EmbeddedFiles decoded;
    require(scenario::decode_track_cells(compiled.track_cells, &decoded.cells).ok());
    require(scenario::decode_scenario_record(compiled.scenario_record, &decoded.record).ok());
    return decoded;
  }();
  return files;
}

// The files as the tools hold them once read.
CompileState adopted(std::vector<scenario::TrackCell> cells, const scenario::ScenarioRecord& record,
                     scenario::LinePlan plan) {
  CompileState state;
  scenario::adopt_decoded(std::move(cells), record, std::move(plan), &state);
  return state;
}

void render(const CompileState& state) {
  const scenario::LineScene scene = scenario::build_scene(state);
  const scenario::PageDrawings drawings{scenario::render_plan_svg(state, scene), scenario::render_profile_svg(scene),
                                        scenario::render_chart_svg(scene)};
  require(!scenario::render_page(scene, state.station_table, drawings).empty());
}

void refused(const Status& result, std::string_view bytes) {
  require(result.offset() <= bytes.size());
  require(!result.reason().empty());
}

void track_cells(std::string_view bytes) {
  std::vector<scenario::TrackCell> cells;
  const Status result = scenario::decode_track_cells(bytes, &cells);
  if (!result.ok()) return refused(result, bytes);
  const CompileState state = adopted(std::move(cells), embedded_files().record, scenario::LinePlan());
  require(scenario::encode_track_cells(state) == bytes);
  require(!scenario::dump_track_cells_text(state.cells).empty());
  require(!scenario::dump_track_cells_json(state.cells).empty());
  render(state);
}

void scenario_record(std::string_view bytes) {
  scenario::ScenarioRecord record;
  const Status result = scenario::decode_scenario_record(bytes, &record);
  if (!result.ok()) return refused(result, bytes);
  const CompileState state = adopted(embedded_files().cells, record, scenario::LinePlan());
  require(scenario::encode_scenario_record(state) == bytes);
  require(!scenario::dump_scenario_record_text(record).empty());
  require(!scenario::dump_scenario_record_json(record).empty());
  render(state);
}

void line_plan(std::string_view bytes) {
  scenario::LinePlan plan;
  const Status result = scenario::decode_line_plan(bytes, &plan);
  if (!result.ok()) return refused(result, bytes);
  require(scenario::encode_line_plan(plan) == bytes);
  for (const int32_t step : {1, 997}) {
    require(!scenario::dump_line_plan_text(plan, step).empty());
    require(!scenario::dump_line_plan_json(plan, step).empty());
  }
  render(adopted(embedded_files().cells, embedded_files().record, std::move(plan)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case kTrackCells: track_cells(bytes); break;
    case kScenarioRecord: scenario_record(bytes); break;
    case kLinePlan: line_plan(bytes); break;
  }
  return 0;
}
