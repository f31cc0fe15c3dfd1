#include "disk/file_replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::read_whole_file;
using testing::TempFolder;
using testing::write_whole_file;

TEST(ReplaceFileTest, ALongerOldFileIsReplacedEntirely) {
  TempFolder folder;
  const std::string path = folder.file("out.dat");
  write_whole_file(path, std::string(1000, 'x'));
  ASSERT_TRUE(replace_file(path, "abc").ok());
  EXPECT_EQ(read_whole_file(path), "abc");
}

TEST(ReplaceFileTest, AMissingFileIsCreatedAndNoTemporaryFileIsLeft) {
  TempFolder folder;
  ASSERT_TRUE(replace_file(folder.file("new.txt"), std::string("a\0b", 3)).ok());
  EXPECT_EQ(read_whole_file(folder.file("new.txt")), std::string("a\0b", 3));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(ReplaceFileTest, AFolderThatCannotBeWrittenIsReportedWithPathAndReason) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempFolder folder;
  write_whole_file(folder.file("old.dat"), "good");
  chmod(folder.path().c_str(), 0555);
  const Status status = replace_file(folder.file("old.dat"), "new");
  chmod(folder.path().c_str(), 0755);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), folder.file("old.dat"));
  EXPECT_NE(status.reason().find("Permission denied"), std::string::npos);
  EXPECT_EQ(read_whole_file(folder.file("old.dat")), "good");
}

TEST(ReplaceFileTest, AMissingFolderIsReported) {
  TempFolder folder;
  const Status status = replace_file(folder.file("no/such/folder/x.dat"), "new");
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.ToString().find("No such file or directory"), std::string::npos);
}

TEST(ReadFileTest, TellsAMissingFileApart) {
  TempFolder folder;
  std::string bytes;
  bool missing = false;
  EXPECT_FALSE(read_file(folder.file("absent"), &bytes, &missing).ok());
  EXPECT_TRUE(missing);
  write_whole_file(folder.file("present"), "xyz");
  EXPECT_TRUE(read_file(folder.file("present"), &bytes, &missing).ok());
  EXPECT_FALSE(missing);
  EXPECT_EQ(bytes, "xyz");
  EXPECT_FALSE(read_file(folder.path(), &bytes, &missing).ok());  // a folder is not a file
  EXPECT_FALSE(missing);
}

// A source of `size` bytes of a pattern that shows a chunk given twice or skipped.
class PatternSource : public ByteSource {
 public:
  explicit PatternSource(uint64_t size) : size_(size) {}
  uint64_t size() const override { return size_; }
  size_t next_chunk(char* out, size_t capacity) override {
    size_t n = 0;
    for (; n < capacity && given_ < size_; ++n, ++given_) out[n] = static_cast<char>(given_ * 7 % 251);
    return n;
  }
  static std::string bytes(uint64_t size) {
    PatternSource source(size);
    return gather(source);
  }

 private:
  uint64_t size_;
  uint64_t given_ = 0;
};

std::string kind_name(const ::testing::TestParamInfo<bool>& unnamed) { return unnamed.param ? "Unnamed" : "Named"; }

class TemporariesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { allow_unnamed_temporaries(GetParam()); }
  void TearDown() override { allow_unnamed_temporaries(true); }
};

TEST_P(TemporariesTest, AStreamedFileOfManyChunksArrivesWholeWithTheUsualPermissions) {
  TempFolder folder;
  const std::string path = folder.file("big.dat");
  write_whole_file(path, "old");
  for (const uint64_t size : {uint64_t{0}, uint64_t{1}, uint64_t{(1u << 20) + 7}}) {
    SCOPED_TRACE(size);
    PatternSource source(size);
    ASSERT_TRUE(replace_file(path, source).ok());
    EXPECT_EQ(read_whole_file(path), PatternSource::bytes(size));
    EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{"big.dat"});
  }
  const mode_t mask = umask(0);
  umask(mask);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

// Temporaries of earlier runs that ended are removed when their file is replaced, by replace_file
// and by a sink (which lists the folder once for all its files); those a live writer holds locked,
// those of other files, and names that only look alike (a user's own dot files, the temporaries
// of earlier versions) are left alone.
TEST_P(TemporariesTest, StaleTemporariesOfTheFileAreRemovedAndLiveOnesKept) {
  for (const bool through_sink : {false, true}) {
    SCOPED_TRACE(through_sink ? "FolderSink" : "replace_file");
    TempFolder folder;
    const std::vector<std::string> stale = {".out.dat.~scenario-tmp~0000007b00000000",
                                            ".out.dat.~scenario-tmp~a1b2c3d4e5f60718",
                                            ".b.txt.~scenario-tmp~0000004d00000001"};
    const std::vector<std::string> others = {".out.dat.~scenario-tmp~00000000000live1",
                                             ".other.dat.~scenario-tmp~0000007b00000000",
                                             ".out.dat.~scenario-tmp~0000007b0000000",
                                             ".out.dat.~scenario-tmp~0000007B00000000",
                                             ".out.dat.~scenario-tmp~0000007b000000000",
                                             ".out.dat.tmp.a1B2c3",
                                             ".out.dat.tmp.123-0",
                                             ".out.dat.Zq9xW2",
                                             ".out.dat.backup",
                                             ".out.dat.v2best",
                                             ".out.dat.b-k_up",
                                             "out.dat.~scenario-tmp~0000007b00000000"};
    for (const std::string& name : stale) write_whole_file(folder.file(name), "stale");
    for (const std::string& name : others) write_whole_file(folder.file(name), "keep");
    const std::string live_name = ".out.dat.~scenario-tmp~0000000100000002";
    write_whole_file(folder.file(live_name), "live");
    const int live = open(folder.file(live_name).c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(flock(live, LOCK_EX), 0);  // as a writer still at work holds it

    if (through_sink) {
      FolderSink sink(folder.path());
      ASSERT_TRUE(sink.write_file("out.dat", "new").ok());
      ASSERT_TRUE(sink.write_file("b.txt", "b").ok());
      ASSERT_TRUE(sink.finish().ok());
    } else {
      ASSERT_TRUE(replace_file(folder.file("out.dat"), "new").ok());
      ASSERT_TRUE(replace_file(folder.file("b.txt"), "b").ok());
    }
    close(live);
    std::vector<std::string> expected = others;
    expected.push_back(live_name);
    expected.push_back("out.dat");
    expected.push_back("b.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_in(folder.path()), expected);
    EXPECT_EQ(read_whole_file(folder.file("out.dat")), "new");
  }
}

// The names a writer tries first (its process number and a count) all taken by live writers: it
// falls back to random names, and the others' files stay.
TEST_P(TemporariesTest, TakenTemporaryNamesGiveWayToRandomOnes) {
  TempFolder folder;
  char process[9];
  std::snprintf(process, sizeof process, "%08x", static_cast<unsigned>(getpid()));
  std::vector<int> held;
  for (unsigned count = 0; count < 300; ++count) {
    char number[9];
    std::snprintf(number, sizeof number, "%08x", count);
    const std::string name = folder.file(".out.dat.~scenario-tmp~" + std::string(process) + number);
    write_whole_file(name, "live");
    held.push_back(open(name.c_str(), O_RDONLY));
    ASSERT_EQ(flock(held.back(), LOCK_EX), 0);
  }
  for (int k = 0; k < 5; ++k) {
    ASSERT_TRUE(replace_file(folder.file("out.dat"), "new " + std::to_string(k)).ok());
    EXPECT_EQ(read_whole_file(folder.file("out.dat")), "new " + std::to_string(k));
  }
  for (const int fd : held) close(fd);
  EXPECT_EQ(files_in(folder.path()).size(), 301u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TemporariesTest, ::testing::Values(true, false), kind_name);

// A file larger than the bound is refused before it is read: a regular file by its size, anything
// else (here an endless device) as soon as it has given more than the bound.
TEST(ReadFileTest, RefusesAFileLargerThanItsBound) {
  TempFolder folder;
  write_whole_file(folder.file("ten"), std::string(10, 'x'));
  std::string bytes = "left over";
  EXPECT_TRUE(read_file(folder.file("ten"), &bytes, nullptr, 10).ok());
  EXPECT_EQ(bytes, std::string(10, 'x'));
  for (const std::string& path : {folder.file("ten"), std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    const Status status = read_file(path, &bytes, nullptr, 9);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.path(), path);
    EXPECT_NE(status.reason().find("more than the 9 that such a file can hold"), std::string::npos) << status.reason();
    EXPECT_TRUE(bytes.empty());
  }
  // The default bound: a sparse file of 64 MiB and one byte costs no disk.
  const std::string huge = folder.file("huge.txt");
  write_whole_file(huge, "");
  ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(kMaxInputFileSize + 1)), 0);
  const Status status = read_file(huge, &bytes);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("67108865 bytes"), std::string::npos) << status.reason();
}

// The sink's files, with unnamed and with named temporaries.
using FolderSinkTest = TemporariesTest;

// The names in a folder that are not temporaries.
std::vector<std::string> kept_in(const std::string& folder) {
  std::vector<std::string> names = files_in(folder);
  std::erase_if(names, [](const std::string& name) { return name.starts_with("."); });
  return names;
}

// Records, at every disk step, the names of `watched_folder` that have come to hold a new file: the
// order in which a finish puts its files under their names. A file is new when it is there and,
// for the one that had an old file, of another size.
const TempFolder* watched_folder = nullptr;
std::vector<std::string> appeared;

void note_appearances() {
  for (const char* name : {"c.txt", "b.dat", "a.txt"}) {
    const std::string path = watched_folder->file(name);
    const bool is_new = std::filesystem::exists(path) && std::filesystem::file_size(path) != 5;
    if (is_new && std::find(appeared.begin(), appeared.end(), name) == appeared.end()) appeared.push_back(name);
  }
}

TEST_P(FolderSinkTest, DurableFilesAppearOnlyAtFinishInTheOrderWritten) {
  TempFolder folder;
  write_whole_file(folder.file("b.dat"), "old b");
  constexpr uint64_t kBig = (uint64_t{1} << 20) + 3;  // several chunks
  FolderSink sink(folder.path());
  sink.write_without_sync("d.txt");
  PatternSource big(kBig);
  ASSERT_TRUE(sink.write_file("c.txt", "c").ok());
  ASSERT_TRUE(sink.stream_file("b.dat", big).ok());
  ASSERT_TRUE(sink.write_file("d.txt", "read back at once").ok());
  ASSERT_TRUE(sink.write_file("a.txt", "").ok());
  EXPECT_EQ(kept_in(folder.path()), (std::vector<std::string>{"b.dat", "d.txt"}));
  EXPECT_EQ(read_whole_file(folder.file("b.dat")), "old b");
  EXPECT_EQ(read_whole_file(folder.file("d.txt")), "read back at once");

  watched_folder = &folder;
  appeared.clear();
  set_disk_step_hook(note_appearances);
  const Status status = sink.finish();
  set_disk_step_hook(nullptr);
  note_appearances();
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(appeared, (std::vector<std::string>{"c.txt", "b.dat", "a.txt"}));
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"a.txt", "b.dat", "c.txt", "d.txt"}));
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "");
  EXPECT_TRUE(read_whole_file(folder.file("b.dat")) == PatternSource::bytes(kBig));
  EXPECT_EQ(read_whole_file(folder.file("c.txt")), "c");
  EXPECT_TRUE(sink.finish().ok());  // nothing left to do
}

TEST_P(FolderSinkTest, ASinkDestroyedWithoutFinishLeavesTheFolderAsItWas) {
  TempFolder folder;
  write_whole_file(folder.file("a.txt"), "old a");
  {
    FolderSink sink(folder.path());
    PatternSource big(uint64_t{1} << 19);
    ASSERT_TRUE(sink.write_file("a.txt", "new a").ok());
    ASSERT_TRUE(sink.stream_file("b.dat", big).ok());
  }
  EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "old a");
}

// A name handed over again keeps only its last file; a removed name loses its waiting file and its
// old one at once.
TEST_P(FolderSinkTest, TheLastWriteOfANameWinsAndARemovalDropsItsWaitingFile) {
  TempFolder folder;
  write_whole_file(folder.file("b.txt"), "old b");
  FolderSink sink(folder.path());
  ASSERT_TRUE(sink.write_file("a.txt", "first").ok());
  ASSERT_TRUE(sink.write_file("b.txt", "new b").ok());
  ASSERT_TRUE(sink.write_file("a.txt", "second").ok());
  ASSERT_TRUE(sink.remove_file("b.txt").ok());
  EXPECT_EQ(kept_in(folder.path()), std::vector<std::string>{});
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "second");
  EXPECT_TRUE(sink.remove_file("a.txt").ok());
  EXPECT_TRUE(sink.remove_file("a.txt").ok());  // already gone
  EXPECT_TRUE(files_in(folder.path()).empty());
}

// A finish that fails before its renames leaves every old file (and no new one, no temporary).
struct FinishFault {
  const char* label;
  void (*make)(const std::string& folder);  // after the files were handed over
  const char* failing;                      // the file named in the failure
  int error_number;
  bool folder_left;  // false: the fault removes the folder
};

TEST_P(FolderSinkTest, AFinishFailingBeforeItsRenamesKeepsEveryOldFile) {
  const FinishFault faults[] = {
      {"a folder stands under the second name", [](const std::string&) {}, "b.txt", EISDIR, true},
      {"the folder is removed", [](const std::string& out) { std::filesystem::remove_all(out); }, "a.txt", ENOENT,
       false},
  };
  for (const FinishFault& fault : faults) {
    SCOPED_TRACE(fault.label);
    TempFolder folder;
    const std::string out = folder.file("out");
    std::filesystem::create_directory(out);
    std::filesystem::create_directory(out + "/b.txt");
    write_whole_file(out + "/c.txt", "old c");
    FolderSink sink(out);
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(sink.write_file(name, "new").ok());
    fault.make(out);

    const Status status = sink.finish();
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.path(), out + "/" + fault.failing);
    EXPECT_NE(status.reason().find(std::strerror(fault.error_number)), std::string::npos) << status.reason();
    if (!fault.folder_left) {
      EXPECT_FALSE(std::filesystem::exists(out));
      continue;
    }
    EXPECT_EQ(files_in(out), (std::vector<std::string>{"b.txt", "c.txt"}));
    EXPECT_TRUE(std::filesystem::is_directory(out + "/b.txt"));
    EXPECT_EQ(read_whole_file(out + "/c.txt"), "old c");
  }
}

// Makes a folder under "b.txt" of `watched_folder` once "a.txt" has been renamed into it: a
// failure among the renames, which no check before them can foresee.
void block_second_rename() {
  if (std::filesystem::exists(watched_folder->file("a.txt")) &&
      !std::filesystem::exists(watched_folder->file("b.txt"))) {
    std::filesystem::create_directory(watched_folder->file("b.txt"));
  }
}

TEST_P(FolderSinkTest, AFailureAmongTheRenamesSaysWhichFilesAreNewAndWhichOld) {
  TempFolder folder;
  write_whole_file(folder.file("c.txt"), "old c");
  FolderSink sink(folder.path());
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(sink.write_file(name, "new").ok());
  watched_folder = &folder;
  set_disk_step_hook(block_second_rename);
  const Status status = sink.finish();
  set_disk_step_hook(nullptr);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.path(), folder.file("b.txt"));
  EXPECT_NE(status.reason().find(std::strerror(EISDIR)), std::string::npos) << status.reason();
  EXPECT_NE(status.reason().find("the set of files is incomplete: new a.txt; old b.txt, c.txt"), std::string::npos)
      << status.reason();
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));  // no journal, no lock
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "new");
  EXPECT_EQ(read_whole_file(folder.file("c.txt")), "old c");
}

INSTANTIATE_TEST_SUITE_P(Kinds, FolderSinkTest, ::testing::Values(true, false), kind_name);

}  // namespace
}  // namespace scenario
