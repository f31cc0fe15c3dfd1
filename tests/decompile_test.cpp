#include "compiler/decompile.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/compiled_scenario.h"
#include "tests/scenario_generator.h"

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

// Compiles, decompiles, compiles again: the same bytes and no finding; and (every third seed)
// decompiling the second compile gives the same descriptions again.
TEST(DecompileTest, GeneratedScenariosRoundTrip) {
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    const testing::GeneratedScenario scenario = testing::generate_scenario(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + scenario.line + scenario.train);
    const CompiledFiles original = testing::compile_in_memory(scenario.line, scenario.train, scenario.with_plan);
    ASSERT_EQ(original.error_code, 0);
    CompileState files;
    std::string why;
    ASSERT_TRUE(testing::decode_files(original, &files, &why)) << why;
    const DecompileResult result = decompile(files);
    ASSERT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.line << result.descriptions.train;
    const CompiledFiles again =
        testing::compile_in_memory(result.descriptions.line, result.descriptions.train, scenario.with_plan);
    ASSERT_EQ(again.error_code, 0);
    ASSERT_TRUE(again.track_cells == original.track_cells);
    ASSERT_TRUE(again.scenario_record == original.scenario_record);
    ASSERT_TRUE(again.line_record == original.line_record);
    if (seed % 3 != 0) continue;
    CompileState files_again;
    ASSERT_TRUE(testing::decode_files(again, &files_again, &why)) << why;
    const DecompileResult twice = decompile(files_again);
    EXPECT_EQ(twice.descriptions.line, result.descriptions.line);
    EXPECT_EQ(twice.descriptions.train, result.descriptions.train);
  }
}

}  // namespace
}  // namespace scenario
