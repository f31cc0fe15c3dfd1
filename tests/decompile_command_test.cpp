// scenario_tool decompile, run as its own program on compiled files in a temporary folder: the
// round trip through the files, bad usage, bad files refused with their offset, findings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "format/file_names.h"
#include "tests/compiled_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::exists;
using testing::tool;

const ScenarioFileNames kNames = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class DecompileCommandTest : public ::testing::Test {
 protected:
  // The embedded scenario's compiled files in the folder, under their standard names.
  void write_embedded_files(bool with_plan) {
    compiled = testing::compile_in_memory(testing::embedded_line_description(), testing::embedded_train_description(),
                                          with_plan);
    write_whole_file(folder.file(kNames.track_cells), compiled.track_cells);
    write_whole_file(folder.file(kNames.scenario_record), compiled.scenario_record);
    if (with_plan) write_whole_file(folder.file(kNames.line_record), compiled.line_record);
  }

  int decompile(const std::string& extra, std::string* output) {
    return run_command(tool() + " decompile --dat '" + folder.file(kNames.track_cells) + "' --sim '" +
                           folder.file(kNames.scenario_record) + "' --out '" + folder.file("src") + "' " + extra,
                       output);
  }

  std::string plan_option() const { return "--plan '" + folder.file(kNames.line_record) + "'"; }

  TempFolder folder;
  testing::CompiledFiles compiled;
};

TEST_F(DecompileCommandTest, HelpNamesEveryOption) {
  std::string output;
  EXPECT_EQ(run_command(tool() + " decompile --help", &output), 0);
  for (const char* option : {"--dat", "--sim", "--plan", "--out", "--line-name", "--train-number", "--verbose"}) {
    EXPECT_TRUE(holds(output, option)) << option;
  }
  EXPECT_EQ(run_command(tool() + " --help", &output), 0);
  EXPECT_TRUE(holds(output, "decompile"));
}

// decompile, then compile what it wrote: the same files, byte for byte, with and without the plan.
TEST_F(DecompileCommandTest, EmbeddedFilesRoundTripThroughTheTool) {
  for (bool with_plan : {true, false}) {
    SCOPED_TRACE(with_plan ? "with the plan" : "without the plan");
    write_embedded_files(with_plan);
    std::string output;
    ASSERT_EQ(decompile(with_plan ? plan_option() : "", &output), 0) << output;
    EXPECT_EQ(output, "");
    const std::string line = folder.file("src/" + kNames.line_description);
    const std::string train = folder.file("src/" + kNames.train_description);
    ASSERT_TRUE(exists(line) && exists(train));
    const std::string out = folder.file(with_plan ? "again" : "again_without_plan");
    ASSERT_EQ(run_command(tool() + " compile --line '" + line + "' --train '" + train + "' --out '" + out + "'" +
                              (with_plan ? "" : " --no-plan"),
                          &output),
              0)
        << output;
    EXPECT_TRUE(read_whole_file(out + "/" + kNames.track_cells) == compiled.track_cells);
    EXPECT_TRUE(read_whole_file(out + "/" + kNames.scenario_record) == compiled.scenario_record);
    EXPECT_EQ(exists(out + "/" + kNames.line_record), with_plan);
    if (with_plan) {
      EXPECT_TRUE(read_whole_file(out + "/" + kNames.line_record) == compiled.line_record);
    }
  }
}

// A usage error is one line saying what is wrong and a pointer to the command's --help.
TEST_F(DecompileCommandTest, BadUsageIsStatus64) {
  struct Case {
    const char* arguments;
    const char* message;
  };
  for (const Case& c :
       {Case{"--sim a.sim --out o", "--dat is required"}, Case{"--dat a.dat --sim a.sim", "--out is required"},
        Case{"--dat a.dat --sim a.sim --out ''", "needs a value"},
        Case{"--dat a --sim b --out o --line-name a/b", "'a/b' must not hold a path separator"},
        Case{"--dat a --sim b --out o --frobnicate", "--frobnicate"}}) {
    SCOPED_TRACE(c.arguments);
    std::string output;
    EXPECT_EQ(run_command(tool() + " decompile " + c.arguments, &output), 64);
    EXPECT_TRUE(holds(output, c.message)) << output;
    EXPECT_TRUE(holds(output, "Run 'scenario_tool decompile --help' for more information.")) << output;
  }
}

// A file cut short or grown is refused by the strict decoder with its byte offset; nothing is written.
TEST_F(DecompileCommandTest, BadFilesAreRefusedWithTheirOffset) {
  struct Case {
    const char* what;
    std::string ScenarioFileNames::*file;
    long change;  // bytes added (above 0) or cut (below 0)
    const char* message;
  };
  const Case cases[] = {
      {"cells cut by 7 bytes", &ScenarioFileNames::track_cells, -7, "at byte 39300: cell 2620 is cut short"},
      {"record cut by 10 bytes", &ScenarioFileNames::scenario_record, -10, "at byte 4036: entry 86 runs past the end"},
      {"record grown by 2 bytes", &ScenarioFileNames::scenario_record, 2, "at byte 4074: 2 bytes after the last entry"},
      {"plan cut by 3 bytes", &ScenarioFileNames::line_record, -3, "at byte 2619960: element 262000 is cut short"},
      {"plan emptied", &ScenarioFileNames::line_record, -2619964, "at byte 0: the file is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_embedded_files(true);
    const std::string path = folder.file(kNames.*c.file);
    std::string bytes = read_whole_file(path);
    if (c.change < 0) bytes.resize(bytes.size() - static_cast<size_t>(-c.change));
    if (c.change > 0) bytes.append(static_cast<size_t>(c.change), '\0');
    write_whole_file(path, bytes);
    std::string output;
    EXPECT_EQ(decompile(plan_option(), &output), 3);
    EXPECT_TRUE(holds(output, c.message)) << output;
    EXPECT_FALSE(exists(folder.file("src")));
  }
  std::string output;
  EXPECT_EQ(run_command(tool() + " decompile --dat '" + folder.file("none.dat") + "' --sim x --out '" +
                            folder.file("src") + "'",
                        &output),
            3);
  EXPECT_TRUE(holds(output, "none.dat")) << output;
}

// A hand-edited cell: said with its place, status 1, and the closest descriptions still written.
TEST_F(DecompileCommandTest, AHandEditIsReportedAndTheClosestDescriptionsWritten) {
  write_embedded_files(false);
  std::string cells = compiled.track_cells;
  cells[15 * 100] = 9;  // cell 100's kind
  write_whole_file(folder.file(kNames.track_cells), cells);
  std::string output;
  EXPECT_EQ(decompile("", &output), 1);
  EXPECT_TRUE(holds(output, "cell 100 (4950 m): kind 9, which no record and no rule of the compile lays")) << output;
  EXPECT_TRUE(holds(output, "the closest descriptions were written")) << output;
  EXPECT_TRUE(exists(folder.file("src/" + kNames.line_description)));
  EXPECT_TRUE(exists(folder.file("src/" + kNames.train_description)));
}

TEST_F(DecompileCommandTest, NamesComeFromTheRecordOrTheOptions) {
  write_embedded_files(false);
  std::string output;
  // Other names: the descriptions are named by them, and compiled with them they give other names
  // in entries 85 and 86, which is said.
  EXPECT_EQ(decompile("--line-name Valle --train-number 7", &output), 1);
  EXPECT_TRUE(exists(folder.file("src/Valle_linea.txt")));
  EXPECT_TRUE(exists(folder.file("src/Valle_7-.txt")));
  EXPECT_TRUE(holds(output, "entry 85: the name is 'MorvellaC_DrasconaX' in the file, 'Valle' from the description"))
      << output;

  // A record without a line name needs the option.
  const testing::CompiledFiles unnamed = testing::compile_in_memory(
      testing::embedded_line_description(), testing::embedded_train_description(), false, "", "5521");
  write_whole_file(folder.file(kNames.scenario_record), unnamed.scenario_record);
  write_whole_file(folder.file(kNames.track_cells), unnamed.track_cells);
  EXPECT_EQ(decompile("", &output), 64);
  EXPECT_TRUE(holds(output, "give one with --line-name")) << output;
}

}  // namespace
}  // namespace scenario
