// A run killed at any moment: every kept file is the complete old one or the complete new one, the
// new ones are those written first (the kept files are put under their names together at the end,
// in the order written); once the next run has taken the folder (any program's sink, which rolls
// the killed run's journal forward) the kept files are all old or all new, never a mix of two
// runs; and the next complete run leaves exactly the six kept files.
//
// The run is stopped at each of its disk steps in turn (every write of a chunk, flush, link,
// rename and removal; set_disk_step_hook), by SIGKILL in a forked child, with unnamed temporaries
// (O_TMPFILE) and with the named ones the file system fallback uses. The folder starts with old
// files under the kept names, different from the new ones.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "disk/file_replace.h"
#include "disk/folder_lock.h"
#include "disk/run_journal.h"
#include "driver/build_sequence.h"
#include "format/file_names.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::read_whole_file;
using testing::TempFolder;
using testing::write_whole_file;

using FolderContents = std::map<std::string, std::string>;

FolderContents contents_of(const std::string& folder) {
  FolderContents contents;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    contents[entry.path().filename().string()] = read_whole_file(entry.path().string());
  }
  return contents;
}

std::vector<std::string> names_of(const FolderContents& contents) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : contents) names.push_back(name);
  return names;
}

// The same names with the same bytes (the bytes are not printed: they are megabytes).
void expect_same_files(const FolderContents& found, const FolderContents& expected) {
  ASSERT_EQ(names_of(found), names_of(expected));
  for (const auto& [name, bytes] : expected) EXPECT_TRUE(found.at(name) == bytes) << name << " differs";
}

// The kept names in the order the run writes them.
std::vector<std::string> kept_names() {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  return {names.notes,       names.slowdown_order,  names.timetable_card,
          names.line_record, names.scenario_record, names.track_cells};
}

int64_t steps_before_kill = -1;  // the child's countdown; negative: never kill

void kill_at_step() {
  if (steps_before_kill >= 0 && steps_before_kill-- == 0) raise(SIGKILL);
}

// The result of a run in a child process: killed, or its exit status.
struct ChildEnd {
  bool killed = false;
  int status = 0;
};

// Runs the program's build in `folder` in a child killed at its disk step `kill_step` (never when
// negative).
ChildEnd run_child(const std::string& folder, int64_t kill_step, bool unnamed) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (std::freopen("/dev/null", "w", stderr) == nullptr) _exit(99);  // the wait notice
    steps_before_kill = kill_step;
    set_disk_step_hook(kill_at_step);
    allow_unnamed_temporaries(unnamed);
    _exit(Form_Load(folder));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ChildEnd end;
  end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  end.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return end;
}

class InterruptedRunTest : public ::testing::TestWithParam<bool> {};

TEST_P(InterruptedRunTest, EveryKeptFileIsOldOrNewAndTheNextRunLeavesOnlyTheKeptFiles) {
  const bool unnamed = GetParam();
  TempFolder reference;
  ASSERT_EQ(run_child(reference.path(), -1, unnamed).status, 0);
  const FolderContents fresh = contents_of(reference.path());
  ASSERT_EQ(fresh.size(), kept_names().size());

  int64_t kills = 0;
  int64_t mixed_before = 0;
  int64_t mixed_after = 0;
  for (int64_t step = 0;; ++step) {
    SCOPED_TRACE("killed at disk step " + std::to_string(step));
    TempFolder folder;
    for (const std::string& name : kept_names()) write_whole_file(folder.file(name), "old " + name);
    const ChildEnd end = run_child(folder.path(), step, unnamed);
    if (!end.killed) {
      EXPECT_EQ(end.status, 0);
      break;  // the run had fewer steps: every one has been tried
    }
    ++kills;
    // Whether the kept files are a mix of old and new ones.
    auto is_mixed = [&](const FolderContents& after) {
      bool earlier_one_old = false;
      bool any_new = false;
      for (const std::string& name : kept_names()) {
        const auto found = after.find(name);
        EXPECT_NE(found, after.end()) << name << " vanished";
        if (found == after.end()) return true;
        const bool is_old = found->second == "old " + name;
        EXPECT_TRUE(is_old || found->second == fresh.at(name)) << name << " is neither";
        EXPECT_FALSE(!is_old && earlier_one_old) << name << " is new although a file written before it is old";
        earlier_one_old = earlier_one_old || is_old;
        any_new = any_new || !is_old;
      }
      return earlier_one_old && any_new;
    };
    if (is_mixed(contents_of(folder.path()))) ++mixed_before;
    {
      // What every program does first in a folder it writes into.
      FolderSink next_run(folder.path());
      ASSERT_TRUE(next_run.claim(LockWait::kRefuse).ok());
      ASSERT_TRUE(next_run.finish().ok());
    }
    const FolderContents settled = contents_of(folder.path());
    if (is_mixed(settled)) ++mixed_after;
    EXPECT_EQ(settled.count(kRunJournalName), 0u);
    ASSERT_EQ(run_child(folder.path(), -1, unnamed).status, 0);
    expect_same_files(contents_of(folder.path()), fresh);
  }
  EXPECT_GT(kills, 20);  // the run does have that many steps: the hook is reached
  EXPECT_EQ(mixed_after, 0);
  EXPECT_GT(mixed_before, 0);  // some kills do fall among the renames
  std::printf(
      "%s temporaries: %lld runs killed, one at each disk step; mixed sets %lld before the next run, %lld "
      "after\n",
      unnamed ? "unnamed" : "named", static_cast<long long>(kills), static_cast<long long>(mixed_before),
      static_cast<long long>(mixed_after));
}

INSTANTIATE_TEST_SUITE_P(Temporaries, InterruptedRunTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& kind) {
                           return std::string(kind.param ? "Unnamed" : "Named");
                         });

}  // namespace
}  // namespace scenario
