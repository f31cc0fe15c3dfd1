// The programs' runs into one folder, as two people (or two scripts) start them at once, and as a
// run killed at a random moment leaves it: the folder holds the whole set of one run, never files
// of two.
//
//  - Pairs of scenario_build started together in the same folder, and pairs of scenario_tool
//    compile of two different scenarios into the same folder: both end well and the folder holds
//    one run's set, whole.
//  - A run killed after a random delay, then another program run in that folder (render, which
//    writes files of its own there and rolls the killed run's set forward first): the six kept
//    files are all old or all new.
//  - --no-wait refuses a folder another run holds; without it the run waits and says so.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "disk/folder_lock.h"
#include "format/file_names.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::files_in;
using testing::read_whole_file;
using testing::run_command;
using testing::run_split;
using testing::TempFolder;
using testing::write_whole_file;

using FolderContents = std::map<std::string, std::string>;

std::string quoted(const std::string& text) { return "'" + text + "'"; }

FolderContents contents_of(const std::string& folder, const std::vector<std::string>& names) {
  FolderContents contents;
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    contents[name] = fs::exists(path) ? read_whole_file(path) : "<none>";
  }
  return contents;
}

ScenarioFileNames embedded_names() { return scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber); }

std::vector<std::string> kept_names() {
  const ScenarioFileNames names = embedded_names();
  return {names.notes,       names.slowdown_order,  names.timetable_card,
          names.line_record, names.scenario_record, names.track_cells};
}

std::vector<std::string> compiled_names() {
  const ScenarioFileNames names = embedded_names();
  return {names.line_record, names.scenario_record, names.track_cells};
}

// Starts `command` in the background of a shell that waits for both; returns both statuses.
std::vector<int> run_pair(const std::string& first, const std::string& second, std::string* output) {
  TempFolder logs;
  const std::string script = "(" + first + ") >" + logs.file("1") + " 2>&1 & a=$!; (" + second + ") >" +
                             logs.file("2") + " 2>&1 & b=$!; wait $a; echo $?; wait $b; echo $?";
  std::string statuses;
  run_command(script, &statuses);
  *output = read_whole_file(logs.file("1")) + read_whole_file(logs.file("2"));
  int a = -1;
  int b = -1;
  if (std::sscanf(statuses.c_str(), "%d %d", &a, &b) != 2) return {-1, -1};
  return {a, b};
}

constexpr int kPairs = 12;

TEST(ConcurrentRunsTest, TwoScenarioBuildRunsInOneFolderBothEndWellWithOneWholeSet) {
  TempFolder folder;
  const std::string program = folder.file("scenario_build");
  fs::copy_file(SCENARIO_BUILD_BIN, program);
  std::string output;
  ASSERT_EQ(run_command(quoted(program), &output), 0) << output;
  const FolderContents reference = contents_of(folder.path(), kept_names());
  int failed = 0;
  for (int pair = 0; pair < kPairs; ++pair) {
    SCOPED_TRACE("pair " + std::to_string(pair));
    const std::vector<int> statuses = run_pair(quoted(program), quoted(program), &output);
    if (statuses != std::vector<int>{0, 0}) ++failed;
    EXPECT_EQ(statuses, (std::vector<int>{0, 0})) << output;
    EXPECT_TRUE(contents_of(folder.path(), kept_names()) == reference);
    std::vector<std::string> expected = kept_names();
    expected.push_back("scenario_build");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_in(folder.path()), expected);
  }
  std::printf("scenario_build: %d pairs of runs in one folder, %d failed\n", kPairs, failed);
}

// Two scenarios that differ in one value of the train description, compiled into one folder at
// once: the folder ends with the three files of one of them, never two of one and one of the other.
TEST(ConcurrentRunsTest, TwoCompilesIntoOneFolderLeaveTheSetOfOne) {
  TempFolder folder;
  const std::string line = folder.file("line.txt");
  write_whole_file(line, render_table(line_data_table()));
  const std::string train = render_table(train_data_table());
  const std::string sand = "sabbia,    60";
  ASSERT_NE(train.find(sand), std::string::npos);
  std::string other_train = train;
  other_train.replace(other_train.find(sand), sand.size(), "sabbia,    61");
  write_whole_file(folder.file("a.txt"), train);
  write_whole_file(folder.file("b.txt"), other_train);
  auto compile = [&](const char* train_file, const std::string& out) {
    return quoted(SCENARIO_TOOL_BIN) + " compile --line " + quoted(line) + " --train " +
           quoted(folder.file(train_file)) + " --out " + quoted(out);
  };
  std::string output;
  ASSERT_EQ(run_command(compile("a.txt", folder.file("a")), &output), 0) << output;
  ASSERT_EQ(run_command(compile("b.txt", folder.file("b")), &output), 0) << output;
  const FolderContents set_a = contents_of(folder.file("a"), compiled_names());
  const FolderContents set_b = contents_of(folder.file("b"), compiled_names());
  ASSERT_NE(set_a, set_b);

  const std::string out = folder.file("out");
  int failed = 0;
  int mixed = 0;
  for (int pair = 0; pair < kPairs; ++pair) {
    SCOPED_TRACE("pair " + std::to_string(pair));
    const std::vector<int> statuses = run_pair(compile("a.txt", out), compile("b.txt", out), &output);
    if (statuses != std::vector<int>{0, 0}) ++failed;
    EXPECT_EQ(statuses, (std::vector<int>{0, 0})) << output;
    const FolderContents found = contents_of(out, compiled_names());
    if (found != set_a && found != set_b) ++mixed;
    EXPECT_TRUE(found == set_a || found == set_b) << "the folder holds files of both runs";
    std::vector<std::string> expected = compiled_names();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_in(out), expected);
  }
  std::printf("compile: %d pairs into one folder, %d failed, %d mixed sets\n", kPairs, failed, mixed);
}

// The lock held here stands for a run at work in the folder.
TEST(ConcurrentRunsTest, NoWaitRefusesAFolderInUseAndWaitingIsTold) {
  TempFolder folder;
  const std::string out = folder.file("out");
  fs::create_directory(out);
  const std::string build = quoted(SCENARIO_TOOL_BIN) + " build --out " + quoted(out);
  FolderLock held;
  ASSERT_TRUE(held.acquire(out, LockWait::kRefuse).ok());

  std::string err;
  EXPECT_EQ(run_split(build + " --no-wait", nullptr, &err), 3);
  EXPECT_EQ(err, "scenario_tool build: '" + out + "': " + kFolderBusyReason + "\n");
  EXPECT_EQ(files_in(out), std::vector<std::string>{kFolderLockName});

  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    held.release();
  });
  const int status = run_split(build, nullptr, &err);
  holder.join();
  EXPECT_EQ(status, 0) << err;
  EXPECT_EQ(err, "scenario_tool build: waiting for another run writing into '" + out + "' to end\n");
  EXPECT_EQ(files_in(out).size(), kept_names().size());
}

// A scenario_build killed at a random moment, then render into its folder: the kept files are the
// old ones or the new ones, all of them.
TEST(KilledRunTest, AfterTheNextRunInTheFolderNoSetIsMixed) {
  TempFolder reference;
  const std::string program = reference.file("scenario_build");
  fs::copy_file(SCENARIO_BUILD_BIN, program);
  std::string output;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(run_command(quoted(program), &output), 0) << output;
  const auto run_time = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const FolderContents fresh = contents_of(reference.path(), kept_names());
  const std::string render = quoted(SCENARIO_TOOL_BIN) + " render --dat " +
                             quoted(reference.file(embedded_names().track_cells)) + " --sim " +
                             quoted(reference.file(embedded_names().scenario_record)) + " --out ";

  constexpr int kKills = 40;
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int64_t> delay(0, run_time.count() * 11 / 10);
  int killed = 0;
  int mixed_before = 0;
  int mixed_after = 0;
  for (int round = 0; round < kKills; ++round) {
    TempFolder folder;
    fs::copy_file(SCENARIO_BUILD_BIN, folder.file("scenario_build"));
    for (const std::string& name : kept_names()) write_whole_file(folder.file(name), "old " + name);
    const pid_t pid = fork();
    if (pid == 0) {
      if (std::freopen("/dev/null", "w", stderr) == nullptr) _exit(99);
      const std::string path = folder.file("scenario_build");
      execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      _exit(98);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) ++killed;

    auto is_mixed = [&](const FolderContents& found) {
      bool any_old = false;
      bool any_new = false;
      for (const auto& [name, bytes] : found) {
        const bool is_old = bytes == "old " + name;
        EXPECT_TRUE(is_old || bytes == fresh.at(name)) << name << " is neither old nor new";
        (is_old ? any_old : any_new) = true;
      }
      return any_old && any_new;
    };
    if (is_mixed(contents_of(folder.path(), kept_names()))) ++mixed_before;
    ASSERT_EQ(run_command(render + quoted(folder.path()), &output), 0) << output;
    if (is_mixed(contents_of(folder.path(), kept_names()))) ++mixed_after;
  }
  std::printf("%d runs killed at random moments (%d before their end); mixed sets: %d before the next run, %d after\n",
              kKills, killed, mixed_before, mixed_after);
  EXPECT_EQ(mixed_after, 0);
  EXPECT_GT(killed, kKills / 2);
}

}  // namespace
}  // namespace scenario
