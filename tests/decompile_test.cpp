#include "compiler/decompile.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/compiled_scenario.h"

namespace scenario {
namespace {

using testing::CompiledFiles;

std::string findings_text(const Findings& findings) {
  std::string text;
  for (const Finding& f : findings.kept()) text += f.place + ": " + f.words + "\n";
  return text;
}

TEST(DecompileTest, EmbeddedScenarioRoundTrip) {
  for (bool with_plan : {false, true}) {
    SCOPED_TRACE(with_plan ? "with the plan" : "without the plan");
    const CompiledFiles original = testing::compile_in_memory(testing::embedded_line_description(),
                                                              testing::embedded_train_description(), with_plan);
    CompileState files;
    std::string why;
    ASSERT_TRUE(testing::decode_files(original, &files, &why)) << why;
    const DecompileResult result = decompile(files);
    EXPECT_TRUE(result.exact()) << findings_text(result.findings);
    const CompiledFiles again =
        testing::compile_in_memory(result.descriptions.line, result.descriptions.train, with_plan);
    EXPECT_EQ(again.error_code, 0);
    EXPECT_TRUE(again.track_cells == original.track_cells);
    EXPECT_TRUE(again.scenario_record == original.scenario_record);
    EXPECT_TRUE(again.line_record == original.line_record);
  }
}

}  // namespace
}  // namespace scenario
