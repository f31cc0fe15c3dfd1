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

}  // namespace
}  // namespace scenario
