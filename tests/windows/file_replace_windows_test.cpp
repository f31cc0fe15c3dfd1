// disk/file_replace on Windows: the contract of tests/file_replace_test.cpp kept with the Windows
// API (wide paths, FlushFileBuffers, MoveFileExW, temporaries owned by their writer's process),
// in folders whose names hold spaces and letters beyond ASCII.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/file_replace.h"
#include "disk/native_path.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::read_whole_file;
using testing::TempFolder;
using testing::write_whole_file;

// A folder "Scenari con spazi Zoë" inside a fresh temporary folder.
class SpacedFolder {
 public:
  SpacedFolder() : path_(path_in_folder(base_.path(), "Scenari con spazi Zo\xC3\xAB")) {
    std::filesystem::create_directory(path_of(path_));
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_in_folder(path_, name); }

 private:
  TempFolder base_;
  std::string path_;
};

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

TEST(WindowsReplaceFileTest, FilesAreReplacedWholeUnderWideNamesWithEveryByteAsGiven) {
  SpacedFolder folder;
  EXPECT_EQ(folder.file("a.txt").substr(folder.path().size()), "\\a.txt");
  const std::string name = "Caff\xC3\xA8 linea.dat";
  write_whole_file(folder.file(name), std::string(1000, 'x'));
  // CR LF, a lone LF, a NUL and a Ctrl-Z: a file opened in text mode would change or stop at them.
  const std::string bytes("a\r\nb\nc\0d\x1A" "e\r", 11);
  for (const uint64_t size : {uint64_t{0}, uint64_t{1}, uint64_t{(1u << 20) + 7}}) {
    SCOPED_TRACE(size);
    PatternSource source(size);
    ASSERT_TRUE(replace_file(folder.file(name), source).ok());
    EXPECT_TRUE(read_whole_file(folder.file(name)) == PatternSource::bytes(size));
    EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{name});
  }
  ASSERT_TRUE(replace_file(folder.file(name), bytes).ok());
  EXPECT_EQ(read_whole_file(folder.file(name)), bytes);
  std::string read;
  ASSERT_TRUE(read_file(folder.file(name), &read).ok());
  EXPECT_EQ(read, bytes);
  // The name on disk is the wide name, not the UTF-8 bytes taken as ANSI letters.
  EXPECT_TRUE(std::filesystem::exists(path_of(folder.path()) / L"Caff\u00e8 linea.dat"));
}

TEST(WindowsReadFileTest, TellsAMissingFileAFolderAndAFileTooLargeApart) {
  SpacedFolder folder;
  std::string bytes;
  bool missing = false;
  Status status = read_file(folder.file("absent"), &bytes, &missing);
  EXPECT_FALSE(status.ok());
  EXPECT_TRUE(missing);
  EXPECT_EQ(status.reason(), "cannot read: No such file or directory");
  status = read_file(folder.file("no folder\\absent"), &bytes, &missing);
  EXPECT_TRUE(missing);
  status = read_file(folder.path(), &bytes, &missing);
  EXPECT_FALSE(status.ok());
  EXPECT_FALSE(missing);
  EXPECT_EQ(status.reason(), "cannot read: Is a directory");

  write_whole_file(folder.file("ten"), std::string(10, 'x'));
  EXPECT_TRUE(read_file(folder.file("ten"), &bytes, nullptr, 10).ok());
  EXPECT_EQ(bytes, std::string(10, 'x'));
  status = read_file(folder.file("ten"), &bytes, nullptr, 9);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), folder.file("ten"));
  EXPECT_EQ(status.reason(), "not read: the file holds 10 bytes, more than the 9 that such a file can hold");
  EXPECT_TRUE(bytes.empty());

  status = read_file("bad \xFF name", &bytes);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("not valid UTF-8"), std::string::npos);
}

TEST(WindowsReplaceFileTest, FailuresLeaveTheOldFileAndNoTemporary) {
  SpacedFolder folder;
  Status status = replace_file(folder.file("no\\such\\folder\\x.dat"), "new");
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.ToString().find("No such file or directory"), std::string::npos) << status.ToString();

  // A program holding the file open without sharing it: the move over it is refused.
  write_whole_file(folder.file("held.dat"), "good");
  std::wstring held = path_of(folder.file("held.dat")).native();
  const HANDLE other = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  status = replace_file(folder.file("held.dat"), "new");
  CloseHandle(other);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.path(), folder.file("held.dat"));
  EXPECT_EQ(status.reason().rfind("cannot replace: ", 0), 0u) << status.reason();
  EXPECT_EQ(read_whole_file(folder.file("held.dat")), "good");
  EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{"held.dat"});

  EXPECT_TRUE(remove_file(folder.file("held.dat")).ok());
  EXPECT_TRUE(remove_file(folder.file("held.dat")).ok());  // already gone
  EXPECT_TRUE(files_in(folder.path()).empty());
}

// Temporaries of runs that ended are removed when their file is replaced, by replace_file and by a
// sink; those of a live writer (here this very process), of other files, and names that only look
// alike (a user's backups, the forms of earlier versions) are left alone.
TEST(WindowsTemporariesTest, StaleTemporariesOfTheFileAreRemovedAndLiveOnesKept) {
  char live_number[9];
  std::snprintf(live_number, sizeof live_number, "%08lx", static_cast<unsigned long>(GetCurrentProcessId()));
  const std::string live = ".out.dat.~scenario-tmp~" + std::string(live_number) + "0000270f";
  for (const bool through_sink : {false, true}) {
    SCOPED_TRACE(through_sink ? "FolderSink" : "replace_file");
    SpacedFolder folder;
    // 4294967295 is no process's number: Windows numbers processes by multiples of four.
    const std::vector<std::string> stale = {".out.dat.~scenario-tmp~ffffffff00000000",
                                            ".b.txt.~scenario-tmp~ffffffff00000001"};
    const std::vector<std::string> others = {live,
                                             ".other.dat.~scenario-tmp~ffffffff00000000",
                                             ".out.dat.backup1",
                                             ".out.dat.tmp.4294967295-0",
                                             ".out.dat.Zq9xW2",
                                             "out.dat.tmp.abcdef",
                                             ".out.dat.~scenario-tmp~ffffffff0000000"};
    for (const std::string& name : stale) write_whole_file(folder.file(name), "stale");
    for (const std::string& name : others) write_whole_file(folder.file(name), "keep");
    if (through_sink) {
      FolderSink sink(folder.path());
      ASSERT_TRUE(sink.write_file("out.dat", "new").ok());
      ASSERT_TRUE(sink.write_file("b.txt", "b").ok());
      ASSERT_TRUE(sink.finish().ok());
    } else {
      ASSERT_TRUE(replace_file(folder.file("out.dat"), "new").ok());
      ASSERT_TRUE(replace_file(folder.file("b.txt"), "b").ok());
    }
    std::vector<std::string> expected = others;
    expected.push_back("out.dat");
    expected.push_back("b.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_in(folder.path()), expected);
    EXPECT_EQ(read_whole_file(folder.file("out.dat")), "new");
  }
}

// The names in a folder that are not temporaries.
std::vector<std::string> kept_in(const std::string& folder) {
  std::vector<std::string> names = files_in(folder);
  std::erase_if(names, [](const std::string& name) { return name.starts_with("."); });
  return names;
}

TEST(WindowsFolderSinkTest, DurableFilesAppearOnlyAtFinishAndTheLastWriteOfANameWins) {
  SpacedFolder folder;
  write_whole_file(folder.file("b.dat"), "old b");
  constexpr uint64_t kBig = (uint64_t{1} << 20) + 3;  // several chunks, written on the second thread
  FolderSink sink(folder.path());
  sink.write_without_sync("d.txt");
  PatternSource big(kBig);
  ASSERT_TRUE(sink.write_file("c.txt", "first").ok());
  ASSERT_TRUE(sink.stream_file("b.dat", big).ok());
  ASSERT_TRUE(sink.write_file("d.txt", "read back at once").ok());
  ASSERT_TRUE(sink.write_file("c.txt", "c").ok());
  ASSERT_TRUE(sink.write_file("e.txt", "removed").ok());
  ASSERT_TRUE(sink.remove_file("e.txt").ok());
  EXPECT_EQ(kept_in(folder.path()), (std::vector<std::string>{"b.dat", "d.txt"}));
  EXPECT_EQ(read_whole_file(folder.file("b.dat")), "old b");
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"b.dat", "c.txt", "d.txt"}));
  EXPECT_TRUE(read_whole_file(folder.file("b.dat")) == PatternSource::bytes(kBig));
  EXPECT_EQ(read_whole_file(folder.file("c.txt")), "c");
  EXPECT_EQ(read_whole_file(folder.file("d.txt")), "read back at once");
}

TEST(WindowsFolderSinkTest, ASinkDestroyedWithoutFinishLeavesTheFolderAsItWas) {
  SpacedFolder folder;
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

// A folder standing under the second name: the finish keeps the first file, discards the rest and
// leaves no temporary.
// A folder under one of the set's names is found before anything is renamed: no file of the set is
// published, the old ones stay, and no temporary is left.
TEST(WindowsFolderSinkTest, AFailingFinishKeepsEveryOldFileAndNoTemporary) {
  SpacedFolder folder;
  std::filesystem::create_directory(path_of(folder.file("b.txt")));
  write_whole_file(folder.file("c.txt"), "old c");
  FolderSink sink(folder.path());
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(sink.write_file(name, "new").ok());
  const Status status = sink.finish();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.path(), folder.file("b.txt"));
  EXPECT_EQ(files_in(folder.path()), (std::vector<std::string>{"b.txt", "c.txt"}));
  EXPECT_TRUE(std::filesystem::is_directory(path_of(folder.file("b.txt"))));
  EXPECT_EQ(read_whole_file(folder.file("c.txt")), "old c");
}

}  // namespace
}  // namespace scenario
