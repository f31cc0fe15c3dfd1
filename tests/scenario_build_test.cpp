// The whole program, run as the person who starts it would: a copy of it in an empty folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "format/file_names.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;

constexpr const char* kProgramName = "scenario_build";

std::map<std::string, std::string> kept_files(const TempFolder& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : files_in(folder.path())) {
    if (name != kProgramName) files[name] = read_whole_file(folder.file(name));
  }
  return files;
}

class ScenarioBuildTest : public ::testing::Test {
 protected:
  ScenarioBuildTest() {
    std::filesystem::copy_file(SCENARIO_BUILD_BIN, folder.file(kProgramName));
  }
  // Runs the copy from another working folder: it must write next to itself.
  int run(std::string* output) { return run_command("cd / && '" + folder.file(kProgramName) + "'", output); }

  TempFolder folder;
};

TEST_F(ScenarioBuildTest, RunLeavesExactlyTheKeptFiles) {
  std::string output;
  ASSERT_EQ(run(&output), 0) << output;
  EXPECT_EQ(output, "Attendere\n");
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  std::vector<std::string> expected = {names.notes,       names.slowdown_order, names.timetable_card,
                                       names.line_record, names.scenario_record, names.track_cells,
                                       kProgramName};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_in(folder.path()), expected);
  EXPECT_EQ(std::filesystem::file_size(folder.file(names.track_cells)), 39315u);
  EXPECT_EQ(std::filesystem::file_size(folder.file(names.line_record)), 2619964u);
}

TEST_F(ScenarioBuildTest, SecondRunReplacesEveryFileWithTheSameBytes) {
  std::string output;
  ASSERT_EQ(run(&output), 0) << output;
  const auto first = kept_files(folder);
  // Longer leftovers under the kept names must not leave a tail behind.
  for (const auto& [name, bytes] : first) write_whole_file(folder.file(name), bytes + std::string(5000, 'x'));
  ASSERT_EQ(run(&output), 0) << output;
  EXPECT_EQ(kept_files(folder), first);
}

TEST_F(ScenarioBuildTest, FolderThatCannotBeWrittenIsStatus3) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes into any folder";
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  std::string output;
  EXPECT_EQ(run(&output), 3);
  EXPECT_NE(output.find("scenario_build: "), std::string::npos) << output;
}

// --help and --version answer on standard output and build nothing; any other argument is a usage
// error that builds nothing either.
TEST_F(ScenarioBuildTest, ArgumentsAreAnsweredOrRefusedWithoutABuild) {
  struct Case {
    std::string arguments;
    int status;
    std::string out_start;
    std::string err_start;
  };
  const std::vector<Case> cases = {
      {"--help", 0, "Usage: scenario_build [--help | --version]\n", ""},
      {"--version", 0, std::string("scenario_build ") + SCENARIO_VERSION + "\n", ""},
      {"--out /tmp", 64, "", "scenario_build: unknown option '--out'; the program takes none\n"},
      {"build", 64, "", "scenario_build: unexpected argument 'build'; the program takes none\n"},
      {"--help extra", 64, "", "scenario_build: unexpected argument 'extra'; the program takes none\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string out;
    std::string err;
    EXPECT_EQ(testing::run_split("cd / && '" + folder.file(kProgramName) + "' " + c.arguments, &out, &err), c.status);
    EXPECT_TRUE(out.starts_with(c.out_start)) << out;
    EXPECT_TRUE(err.starts_with(c.err_start)) << err;
    if (c.status == 64) {
      EXPECT_NE(err.find("Run 'scenario_build --help'"), std::string::npos) << err;
    }
    EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{kProgramName});
  }
  std::string out;
  testing::run_split("'" + folder.file(kProgramName) + "' --help", &out, nullptr);
  EXPECT_NE(out.find("scenario_tool build --out DIR"), std::string::npos) << out;
}

// scenario_tool build writes the very files scenario_build writes beside itself, into --out or
// into the current folder.
TEST_F(ScenarioBuildTest, ScenarioToolBuildWritesTheSameSixFiles) {
  std::string output;
  ASSERT_EQ(run(&output), 0) << output;
  const auto expected = kept_files(folder);
  ASSERT_EQ(expected.size(), 6u);
  TempFolder elsewhere;
  std::string err;
  EXPECT_EQ(testing::run_split(testing::tool() + " build --out '" + elsewhere.file("new/folder") + "'", nullptr, &err),
            0)
      << err;
  EXPECT_EQ(err, "");
  std::map<std::string, std::string> built;
  for (const std::string& name : files_in(elsewhere.file("new/folder"))) {
    built[name] = read_whole_file(elsewhere.file("new/folder/" + name));
  }
  EXPECT_TRUE(built == expected);
  EXPECT_EQ(testing::run_split("cd '" + elsewhere.path() + "' && " + testing::tool() + " build", nullptr, &err), 0)
      << err;
  for (const auto& [name, bytes] : expected) EXPECT_TRUE(read_whole_file(elsewhere.file(name)) == bytes) << name;
}

// A run that fails once it has written the line description (no train description can be written
// where a folder stands under its name) removes it again: no description of the run is left.
TEST_F(ScenarioBuildTest, AFailedRunRemovesEveryDescriptionItWrote) {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  std::filesystem::create_directory(folder.file(names.train_description));
  std::string output;
  EXPECT_EQ(run(&output), 3) << output;
  EXPECT_NE(output.find(folder.file(names.train_description)), std::string::npos) << output;
  EXPECT_FALSE(std::filesystem::exists(folder.file(names.line_description)));
  std::vector<std::string> expected = {kProgramName, names.train_description};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_in(folder.path()), expected);
}

}  // namespace
}  // namespace scenario
