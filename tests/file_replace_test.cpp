#include "disk/file_replace.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace scenario {
namespace {

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
