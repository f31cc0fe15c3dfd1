#include "disk/file_replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Temporaries of earlier runs that ended are removed when their file is replaced; those a live
// writer holds locked, those of other files and names that only look alike are left alone.
TEST_P(TemporariesTest, StaleTemporariesOfTheFileAreRemovedAndLiveOnesKept) {
  TempFolder folder;
  const std::vector<std::string> stale = {".out.dat.tmp.a1B2c3", ".out.dat.tmp.123-0", ".out.dat.Zq9xW2"};
  const std::vector<std::string> others = {".out.dat.tmp.live01", ".other.dat.tmp.x1y2z3", ".out.dat.backup1",
                                           ".out.dat.b-k_up", "out.dat.tmp.abcdef"};
  for (const std::string& name : stale) write_whole_file(folder.file(name), "stale");
  for (const std::string& name : others) write_whole_file(folder.file(name), "keep");
  const int live = open(folder.file(".out.dat.tmp.live01").c_str(), O_RDONLY);
  ASSERT_GE(live, 0);
  ASSERT_EQ(flock(live, LOCK_EX), 0);  // as a writer still at work holds it

  ASSERT_TRUE(replace_file(folder.file("out.dat"), "new").ok());
  close(live);
  std::vector<std::string> expected = others;
  expected.push_back("out.dat");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_in(folder.path()), expected);
  EXPECT_EQ(read_whole_file(folder.file("out.dat")), "new");
}

INSTANTIATE_TEST_SUITE_P(Kinds, TemporariesTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& kind) {
                           return std::string(kind.param ? "Unnamed" : "Named");
                         });

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

TEST(FolderSinkTest, WritesAndRemovesInItsFolder) {
  TempFolder folder;
  FolderSink sink(folder.path());
  ASSERT_TRUE(sink.write_file("a.txt", "1").ok());
  EXPECT_EQ(read_whole_file(folder.file("a.txt")), "1");
  ASSERT_TRUE(sink.remove_file("a.txt").ok());
  EXPECT_FALSE(std::filesystem::exists(folder.file("a.txt")));
  EXPECT_TRUE(sink.remove_file("a.txt").ok());  // already gone
}

}  // namespace
}  // namespace scenario
