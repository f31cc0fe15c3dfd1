// One cell, one place: a feature and a stretch value written at known metres are found at those
// same metres in the four views that name cells (dump, the page, decompile and check), which all
// take them from the model's mapping (model/cell_values.h).
#include <gtest/gtest.h>

#include <string>

#include "compiler/check_findings.h"
#include "compiler/compile.h"
#include "compiler/description_check.h"
#include "decompile/decompile.h"
#include "decompile/decompile_findings.h"
#include "model/cell_values.h"
#include "render/dump.h"
#include "render/render_page.h"
#include "render/render_profile.h"
#include "render/render_scene.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::lines;

// A gradient of 5 per mille from 41,200 to 41,800 m, and a signal at 19,500 m (cell 391) with two
// signals right before it, so that the slowdown whose warning board stands 400 m after it finds no
// free cell for the signal's cut-off point: error 11, about the signal at 19,500 m.
const std::string kLine = lines({"[generale]", "lunghezza percorso, 50000", "[pendenze]", "pendenza, 0, 0",
                                 "pendenza, 41200, 5", "pendenza, 41800, 0", "[fine]"});
const std::string kTrain = lines({"[generale]", "velocita, 0, 100", "aderenza, 0, 100", "segnale, 19400, 2,3,1,0,0, 0,0,0,0, 0",
                                  "segnale, 19450, 2,3,1,0,0, 0,0,0,0, 0", "segnale, 19500, 2,3,1,0,0, 0,0,0,0, 0",
                                  "rallentamento, 21150, 50, 300, 0, 0, 0", "[fine]"});
constexpr int64_t kSignalCell = 391;
constexpr int64_t kGradientCell = 824;

CompileState compiled() {
  CompileState state;
  state.line_name = "L";
  state.train_number = "1";
  compile(state, false, Description{"L_linea.txt", true, kLine}, Description{"L_1-.txt", true, kTrain});
  return state;
}

TEST(CellViewsTest, TheModelPutsTheFeatureAndTheStretchOnTheirCells) {
  const CompileState state = compiled();
  EXPECT_EQ(state.cells.at(kSignalCell).kind, kSignal);
  EXPECT_EQ(cell_metres(kSignalCell), 19500);
  EXPECT_EQ(gradient_per_mille(state.cells.at(kGradientCell - 1).gradient), 0);
  EXPECT_EQ(gradient_per_mille(state.cells.at(kGradientCell).gradient), 5);
  EXPECT_EQ(stretch_metres(kGradientCell), 41200);
  EXPECT_EQ(state.error().ErrorCode, 11);
}

TEST(CellViewsTest, DumpShowsTheWrittenMetres) {
  const std::string dump = dump_track_cells_text(compiled().cells);
  EXPECT_NE(dump.find("cell 391 at 19500 m (Km 19+500): kind 1 signal"), std::string::npos);
  EXPECT_NE(dump.find("stretch from 41200 m (Km 41+200): speed_limit 20 (100 km/h), gradient 105 (+5 per mille)"),
            std::string::npos);
  EXPECT_NE(dump.find("stretch from 41800 m (Km 41+800): speed_limit 20 (100 km/h), gradient 100 (0 per mille)"),
            std::string::npos);
  EXPECT_EQ(dump.find("41150 m"), std::string::npos);
}

TEST(CellViewsTest, ThePageShowsTheWrittenMetres) {
  const CompileState state = compiled();
  const LineScene scene = build_scene(state);
  const std::string profile = render_profile_svg(scene);
  EXPECT_NE(profile.find("Km 41+200 to Km 41+800"), std::string::npos);
  const std::string page = render_page(scene, state.station_table, PageDrawings{});
  EXPECT_NE(page.find("<tr><td>Km 19+500</td>"), std::string::npos);
}

TEST(CellViewsTest, DecompileWritesAndReportsTheWrittenMetres) {
  const CompileState state = compiled();
  ScenarioModel files = state;
  const DecompileResult result = decompile(files);
  EXPECT_NE(result.descriptions.line.find("pendenza,  41200,   5"), std::string::npos) << result.descriptions.line;
  EXPECT_NE(result.descriptions.line.find("pendenza,  41800,   0"), std::string::npos);
  EXPECT_NE(result.descriptions.train.find("segnale,   19500"), std::string::npos) << result.descriptions.train;
  EXPECT_EQ(cell_place(kSignalCell), "cell 391 (19500 m)");
  EXPECT_EQ(stretch_place(kGradientCell), "cell 824 (from 41200 m)");
}

TEST(CellViewsTest, CheckNamesTheWrittenMetres) {
  const auto findings = check_descriptions(Description{"L_linea.txt", true, kLine}, Description{"L_1-.txt", true, kTrain},
                                           false);
  bool found = false;
  for (const CheckFinding& finding : findings) {
    if (finding.code != "11") continue;
    found = true;
    EXPECT_NE(finding.message.find("the signal on cell 391, at 19500 m"), std::string::npos) << finding.message;
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace scenario
