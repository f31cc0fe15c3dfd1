// Fault injection: the program and `scenario_tool compile` against a file system that refuses.
//
// Every fault must end the run with exit status 3 and a message naming the path and the reason,
// and must leave each output file either as it was before the run or absent: never half-written,
// and no temporary file left behind. The faults are made so that they work for root too, where
// permission bits do not stop writes:
//  - a folder that cannot be written: permissions taken away and the run made as the unprivileged
//    user "nobody" (through setpriv when the tests run as root), or a path below a regular file;
//  - a file that cannot be replaced: a folder standing where the file would go;
//  - a disk that fills up: the child's file size limit (ulimit -f), with SIGXFSZ ignored so that
//    the write fails with EFBIG part-way through instead of killing the process;
//  - a description that cannot be read: a folder given in its place, or a file without read
//    permission read as "nobody".
// The program writes into its own folder, so each program test runs a copy of it in a fresh folder.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "format/binary_outputs.h"
#include "format/file_names.h"
#include "format/output_sink.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::read_whole_file;
using testing::run_command;
using testing::write_whole_file;

constexpr int kBlockBytes = 512;  // unit of ulimit -f

// What a folder holds: regular files by name with their bytes; other entries by name with "<dir>".
using FolderContents = std::map<std::string, std::string>;

FolderContents contents_of(const std::string& folder) {
  FolderContents contents;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    contents[name] = entry.is_regular_file() ? read_whole_file(entry.path().string()) : "<dir>";
  }
  return contents;
}

// Names of the temporary files that file replacement creates (".NAME.XXXXXX") left in a folder.
std::vector<std::string> leftover_temporaries(const std::string& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".")) names.push_back(name);
  }
  return names;
}

// Each file of `after` other than the ones named in `ignore` is either absent or byte for byte as
// in `before` (a file written again by the same deterministic run has the same bytes).
void expect_intact_or_absent(const FolderContents& before, const FolderContents& after,
                             const std::vector<std::string>& ignore = {}) {
  for (const auto& [name, bytes] : after) {
    if (std::find(ignore.begin(), ignore.end(), name) != ignore.end()) continue;
    const auto old = before.find(name);
    if (old == before.end()) {
      ADD_FAILURE() << name << " appeared although the run failed";
    } else {
      EXPECT_TRUE(old->second == bytes) << name << " changed although the run failed";
    }
  }
}

// How to run a command as the unprivileged user: the prefix is "" when the tests do not run as
// root (permission bits then apply already); `available` is false when root cannot drop its
// privileges here.
struct Unprivileged {
  bool available = true;
  std::string prefix;
};

Unprivileged unprivileged() {
  if (geteuid() != 0) return {true, ""};
  std::string output;
  if (run_command("setpriv --reuid=65534 --regid=65534 --clear-groups true", &output) != 0) return {false, ""};
  return {true, "setpriv --reuid=65534 --regid=65534 --clear-groups "};
}

// Runs `command` in a shell whose file size limit is `blocks` of 512 bytes, with SIGXFSZ ignored.
std::string with_file_size_limit(long blocks, const std::string& command) {
  return "(trap '' XFSZ; ulimit -f " + std::to_string(blocks) + " && exec " + command + ")";
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// A copy of the program in a folder of its own.
class ProgramCopy {
 public:
  ProgramCopy() {
    fs::copy_file(SCENARIO_BUILD_BIN, program());
    fs::permissions(program(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    // The unprivileged user must reach the folder.
    fs::permissions(folder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  }

  const std::string& folder() const { return temp_.path(); }
  std::string program() const { return temp_.file("scenario_build"); }
  std::string file(const std::string& name) const { return temp_.file(name); }

  // Runs the program (after `prefix`, when given) and returns its exit status.
  int run(std::string* output, const std::string& prefix = "") const {
    return run_command(prefix + quoted(program()), output);
  }
  int run_limited(long blocks, std::string* output) const {
    return run_command(with_file_size_limit(blocks, quoted(program())), output);
  }

  // Runs the program once normally; its outputs are the good files a failing run must not spoil.
  FolderContents good_run() const {
    std::string output;
    const int status = run(&output);
    EXPECT_TRUE(status == 0 || status == 1) << output;
    FolderContents contents = contents_of(folder());
    EXPECT_TRUE(contents.count(names().track_cells)) << output;
    return contents;
  }

  static ScenarioFileNames names() { return scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber); }

 private:
  TempFolder temp_;
};

TEST(ProgramFaultTest, FolderThatCannotBeWrittenIsReportedAndLeftAsItWas) {
  const Unprivileged user = unprivileged();
  if (!user.available) GTEST_SKIP() << "cannot run a command as an unprivileged user here";
  ProgramCopy copy;
  fs::permissions(copy.folder(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const FolderContents before = contents_of(copy.folder());

  std::string output;
  const int status = copy.run(&output, user.prefix);
  fs::permissions(copy.folder(), fs::perms::owner_write, fs::perm_options::add);

  EXPECT_EQ(status, 3) << output;
  EXPECT_NE(output.find("'" + copy.folder() + "' cannot be written into: " + std::strerror(EACCES)), std::string::npos)
      << output;
  EXPECT_NE(output.find("scenario_tool build --out DIR"), std::string::npos) << output;
  EXPECT_EQ(contents_of(copy.folder()), before);
}

// A folder where one of the run's files would go: the run stops there with status 3 and spoils
// nothing, whichever file it is. A run stopped before the compile keeps the two description files
// it has already written, complete.
struct RunFile {
  const char* label;
  std::string ScenarioFileNames::*name;
};

class ProgramUnreplaceableFileTest : public ::testing::TestWithParam<RunFile> {};

TEST_P(ProgramUnreplaceableFileTest, StopsWithTheFileNamedAndEarlierOutputsIntact) {
  ProgramCopy copy;
  const ScenarioFileNames names = ProgramCopy::names();
  const std::string name = names.*GetParam().name;
  const FolderContents before = copy.good_run();
  fs::remove(copy.file(name));
  fs::create_directory(copy.file(name));
  write_whole_file(copy.file(name) + "/inside", "kept");

  std::string output;
  EXPECT_EQ(copy.run(&output), 3) << output;
  EXPECT_NE(output.find(copy.file(name)), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EISDIR)), std::string::npos) << output;
  EXPECT_EQ(read_whole_file(copy.file(name) + "/inside"), "kept");
  const FolderContents after = contents_of(copy.folder());
  expect_intact_or_absent(before, after, {name, names.line_description, names.train_description});
  if (after.count(names.line_description) && name != names.line_description) {
    EXPECT_EQ(after.at(names.line_description), render_table(line_data_table()));
  }
  if (after.count(names.train_description)) {
    EXPECT_EQ(after.at(names.train_description), render_table(train_data_table()));
  }
  EXPECT_TRUE(leftover_temporaries(copy.folder()).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfFile, ProgramUnreplaceableFileTest,
                         ::testing::Values(RunFile{"line_description", &ScenarioFileNames::line_description},
                                           RunFile{"notes", &ScenarioFileNames::notes},
                                           RunFile{"line_record", &ScenarioFileNames::line_record},
                                           RunFile{"scenario_record", &ScenarioFileNames::scenario_record},
                                           RunFile{"track_cells", &ScenarioFileNames::track_cells}),
                         [](const ::testing::TestParamInfo<RunFile>& run_file) { return std::string(run_file.param.label); });

// The file size limit falls inside the line record, the biggest file and the first binary one: the
// text files fit, the line record's write fails part-way.
TEST(ProgramFaultTest, DiskFullDuringTheLineRecordKeepsEveryEarlierFile) {
  ProgramCopy copy;
  const FolderContents before = copy.good_run();
  const ScenarioFileNames names = ProgramCopy::names();
  const long limit_blocks = 1 << 11;  // 1 MiB
  const size_t limit = static_cast<size_t>(limit_blocks) * kBlockBytes;
  ASSERT_GT(before.at(names.line_record).size(), limit);
  ASSERT_LT(before.at(names.timetable_card).size(), limit);

  std::string output;
  EXPECT_EQ(copy.run_limited(limit_blocks, &output), 3) << output;
  EXPECT_NE(output.find(copy.file(names.line_record)), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EFBIG)), std::string::npos) << output;
  const FolderContents after = contents_of(copy.folder());
  expect_intact_or_absent(before, after);
  ASSERT_EQ(after.count(names.line_record), 1u);
  EXPECT_TRUE(after.at(names.line_record) == before.at(names.line_record));
  EXPECT_TRUE(leftover_temporaries(copy.folder()).empty());
}

TEST(ProgramFaultTest, DiskFullInAnEmptyFolderLeavesNoHalfWrittenFile) {
  ProgramCopy copy;
  const ScenarioFileNames names = ProgramCopy::names();
  for (long limit_blocks : {0L, 1L << 11}) {
    SCOPED_TRACE("limit " + std::to_string(limit_blocks) + " blocks");
    std::string output;
    EXPECT_EQ(copy.run_limited(limit_blocks, &output), 3) << output;
    EXPECT_NE(output.find(std::strerror(EFBIG)), std::string::npos) << output;
    const FolderContents after = contents_of(copy.folder());
    for (const std::string* name : {&names.line_record, &names.scenario_record, &names.track_cells}) {
      EXPECT_EQ(after.count(*name), 0u) << *name;
    }
    EXPECT_TRUE(leftover_temporaries(copy.folder()).empty());
  }
}

// An OutputSink that refuses its Nth write, as a full disk would.
class FailingSink : public OutputSink {
 public:
  explicit FailingSink(int failing_write) : failing_write_(failing_write) {}
  Status write_file(const std::string& name, std::string_view bytes) override {
    attempted.push_back(name);
    if (static_cast<int>(attempted.size()) - 1 == failing_write_) return Status::FileSystem(name, "disk full");
    return memory.write_file(name, bytes);
  }
  Status remove_file(const std::string& name) override { return memory.remove_file(name); }

  MemorySink memory;
  std::vector<std::string> attempted;

 private:
  int failing_write_;
};

TEST(CompileFaultTest, AFailingWriteIsReturnedAndNothingIsWrittenAfterIt) {
  const ScenarioFileNames names = ProgramCopy::names();
  const Description line{names.line_description, true, render_table(line_data_table())};
  const Description train{names.train_description, true, render_table(train_data_table())};
  const std::vector<std::string> all_writes = {names.line_record, names.scenario_record, names.track_cells};
  for (int failing = 0; failing < static_cast<int>(all_writes.size()); ++failing) {
    SCOPED_TRACE("write " + std::to_string(failing) + " fails");
    CompileState state;
    state.line_name = kEmbeddedLineName;
    state.train_number = kEmbeddedTrainNumber;
    FailingSink sink(failing);
    ASSERT_TRUE(compile(state, true, line, train).has_model());
    const Status status = write_outputs(state, names, sink);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.path(), all_writes[static_cast<size_t>(failing)]);
    EXPECT_EQ(status.reason(), "disk full");
    EXPECT_EQ(sink.attempted, std::vector<std::string>(all_writes.begin(), all_writes.begin() + failing + 1));
  }
}

// scenario_tool compile on the embedded descriptions, written into `in`, with outputs in `out`.
class ToolFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(out());
    write_whole_file(line_file(), render_table(line_data_table()));
    write_whole_file(train_file(), render_table(train_data_table()));
  }

  std::string line_file() const { return in_.file("line.txt"); }
  std::string train_file() const { return in_.file("train.txt"); }
  std::string out() const { return in_.file("out"); }

  static std::string compile_command(const std::string& line, const std::string& train, const std::string& out) {
    return quoted(SCENARIO_TOOL_BIN) + " compile --line " + quoted(line) + " --train " + quoted(train) +
           " --out " + quoted(out);
  }
  std::string command() const { return compile_command(line_file(), train_file(), out()); }

  // A run that writes the good outputs, and what the folder then holds.
  FolderContents good_run() const {
    std::string output;
    const int status = run_command(command(), &output);
    EXPECT_TRUE(status == 0 || status == 1) << output;
    FolderContents contents = contents_of(out());
    EXPECT_TRUE(contents.count(ProgramCopy::names().track_cells)) << output;
    return contents;
  }

  // The descriptions are only ever read.
  void expect_descriptions_untouched() const {
    EXPECT_EQ(read_whole_file(line_file()), render_table(line_data_table()));
    EXPECT_EQ(read_whole_file(train_file()), render_table(train_data_table()));
  }

  TempFolder in_;
};

TEST_F(ToolFaultTest, OutputFolderBelowARegularFile) {
  write_whole_file(in_.file("plain"), "a file, not a folder");
  const std::string out = in_.file("plain") + "/out";
  std::string output;
  EXPECT_EQ(run_command(compile_command(line_file(), train_file(), out), &output), 3) << output;
  EXPECT_NE(output.find(out), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(ENOTDIR)), std::string::npos) << output;
  EXPECT_EQ(read_whole_file(in_.file("plain")), "a file, not a folder");
  expect_descriptions_untouched();
}

TEST_F(ToolFaultTest, OutputFolderThatCannotBeWritten) {
  const Unprivileged user = unprivileged();
  if (!user.available) GTEST_SKIP() << "cannot run a command as an unprivileged user here";
  const FolderContents before = good_run();
  const fs::perms reachable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(in_.path(), reachable);
  fs::permissions(line_file(), reachable);
  fs::permissions(train_file(), reachable);
  fs::permissions(out(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

  std::string output;
  const int status = run_command(user.prefix + command(), &output);
  fs::permissions(out(), fs::perms::owner_write, fs::perm_options::add);

  EXPECT_EQ(status, 3) << output;
  EXPECT_NE(output.find(out()), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EACCES)), std::string::npos) << output;
  EXPECT_EQ(contents_of(out()), before);
  expect_descriptions_untouched();
}

TEST_F(ToolFaultTest, ExistingOutputThatCannotBeReplaced) {
  const FolderContents before = good_run();
  const std::string name = ProgramCopy::names().scenario_record;
  fs::remove(out() + "/" + name);
  fs::create_directory(out() + "/" + name);

  std::string output;
  EXPECT_EQ(run_command(command(), &output), 3) << output;
  EXPECT_NE(output.find(out() + "/" + name), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EISDIR)), std::string::npos) << output;
  expect_intact_or_absent(before, contents_of(out()), {name});
  EXPECT_TRUE(leftover_temporaries(out()).empty());
  expect_descriptions_untouched();
}

TEST_F(ToolFaultTest, DiskFullPartWayKeepsTheEarlierOutputs) {
  const FolderContents before = good_run();
  const std::string name = ProgramCopy::names().line_record;
  const long limit_blocks = 1 << 11;
  ASSERT_GT(before.at(name).size(), static_cast<size_t>(limit_blocks) * kBlockBytes);

  std::string output;
  EXPECT_EQ(run_command(with_file_size_limit(limit_blocks, command()), &output), 3) << output;
  EXPECT_NE(output.find(out() + "/" + name), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EFBIG)), std::string::npos) << output;
  EXPECT_EQ(contents_of(out()), before);
  expect_descriptions_untouched();
}

TEST_F(ToolFaultTest, DescriptionThatIsAFolder) {
  for (bool line_is_folder : {true, false}) {
    SCOPED_TRACE(line_is_folder ? "line description" : "train description");
    const std::string folder = in_.file("a_folder");
    fs::create_directory(folder);
    const std::string line = line_is_folder ? folder : line_file();
    const std::string train = line_is_folder ? train_file() : folder;
    std::string output;
    EXPECT_EQ(run_command(compile_command(line, train, out()), &output), 3) << output;
    EXPECT_NE(output.find(folder), std::string::npos) << output;
    EXPECT_NE(output.find(std::strerror(EISDIR)), std::string::npos) << output;
    EXPECT_TRUE(fs::is_empty(out()));
  }
  expect_descriptions_untouched();
}

TEST_F(ToolFaultTest, DescriptionWithoutReadPermission) {
  const Unprivileged user = unprivileged();
  if (!user.available) GTEST_SKIP() << "cannot run a command as an unprivileged user here";
  const fs::perms reachable = fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all;
  fs::permissions(in_.path(), reachable);
  fs::permissions(out(), reachable);
  fs::permissions(line_file(), reachable);
  fs::permissions(train_file(), fs::perms::none);

  std::string output;
  const int status = run_command(user.prefix + command(), &output);
  fs::permissions(train_file(), fs::perms::owner_read | fs::perms::owner_write);

  EXPECT_EQ(status, 3) << output;
  EXPECT_NE(output.find(train_file()), std::string::npos) << output;
  EXPECT_NE(output.find(std::strerror(EACCES)), std::string::npos) << output;
  EXPECT_TRUE(fs::is_empty(out()));
  expect_descriptions_untouched();
}

}  // namespace
}  // namespace scenario
