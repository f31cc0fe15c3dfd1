// The saved inputs of the decoder fuzz target (fuzz/corpus/decoder), and what its runs found, as
// test rows: a kind byte (0 track cells, 1 scenario record, 2 line record) and a file. A file that
// decodes encodes back to its bytes and renders (with the embedded scenario's other files); one
// that does not is refused with an offset inside it.
//  - record_far_times.bin: a scenario record whose times lie decades apart. The time-distance
//    chart grew with the time span, and the labels' samples with it, past 2 GB.
//  - plan_far_point_found.bin: a line record with a point 3.6e153 m away. The plan's scale came out
//    so small that the metres between two track samples did not fit an integer.
//  - cells_crowded_speed_labels_found.bin: 2,621 cells with thousands of speed-limit changes. Every
//    speed label's candidates were tested against every label placed before it, at nine zoom
//    steps: one render took seconds (now the placer looks only at the boxes near a candidate).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "format/binary_inputs.h"
#include "format/binary_outputs.h"
#include "render/render_chart.h"
#include "render/render_page.h"
#include "render/render_plan.h"
#include "render/render_profile.h"
#include "render/render_scene.h"
#include "tests/compiled_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpus() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(SCENARIO_SOURCE_DIR) / "fuzz/corpus/decoder")) {
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool renders(const CompileState& state) {
  const LineScene scene = build_scene(state);
  const PageDrawings drawings{render_plan_svg(state, scene), render_profile_svg(scene), render_chart_svg(scene)};
  return !render_page(scene, state.station_table, drawings).empty();
}

TEST(DecoderCorpusTest, EverySavedInputDecodesAndComesBackOrIsRefusedWithAnOffset) {
  const testing::CompiledFiles embedded = testing::compile_in_memory(
      testing::embedded_line_description(), testing::embedded_train_description(), /*with_plan=*/false);
  std::vector<TrackCell> embedded_cells;
  ScenarioRecord embedded_record;
  ASSERT_TRUE(decode_track_cells(embedded.track_cells, &embedded_cells).ok());
  ASSERT_TRUE(decode_scenario_record(embedded.scenario_record, &embedded_record).ok());
  const std::vector<fs::path> files = corpus();
  ASSERT_FALSE(files.empty());
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    const std::string input = testing::read_whole_file(path.string());
    if (input.empty()) continue;
    const std::string bytes = input.substr(1);
    std::vector<TrackCell> cells = embedded_cells;
    ScenarioRecord record = embedded_record;
    LinePlan plan;
    Status result;
    std::string encoded;
    switch (static_cast<unsigned char>(input[0]) % 3) {
      case 0:
        result = decode_track_cells(bytes, &cells);
        if (result.ok()) {
          CompileState only_cells;
          only_cells.cells = cells;
          encoded = encode_track_cells(only_cells);
        }
        break;
      case 1:
        result = decode_scenario_record(bytes, &record);
        if (result.ok()) {
          CompileState only_record;
          only_record.station_table = record;
          encoded = encode_scenario_record(only_record);
        }
        break;
      default:
        result = decode_line_plan(bytes, &plan);
        if (result.ok()) encoded = encode_line_plan(plan);
        break;
    }
    if (!result.ok()) {
      EXPECT_LE(result.offset(), bytes.size());
      EXPECT_FALSE(result.reason().empty());
      continue;
    }
    EXPECT_TRUE(encoded == bytes) << "the file does not encode back to its bytes";
    CompileState state;
    adopt_decoded(std::move(cells), record, std::move(plan), &state);
    EXPECT_TRUE(renders(state));
  }
}

}  // namespace
}  // namespace scenario
