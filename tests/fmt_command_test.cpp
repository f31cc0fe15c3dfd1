#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_split;
using testing::TempFolder;
using testing::tool;
using testing::write_whole_file;

constexpr const char* kMessy = "[pendenze]\npendenza,0,0\n; a note  \r\n";
constexpr const char* kLaidOut = "[pendenze]\r\npendenza,   0,    0\r\n; a note  \r\n";

TEST(FmtCommandTest, LaysFilesOutInPlace) {
  TempFolder folder;
  write_whole_file(folder.file("a_linea.txt"), kMessy);
  write_whole_file(folder.file("b-.txt"), kLaidOut);
  std::string out;
  std::string err;
  EXPECT_EQ(run_split(tool() + " fmt '" + folder.file("a_linea.txt") + "' '" + folder.file("b-.txt") + "'", &out, &err), 0)
      << err;
  EXPECT_EQ(out, "");
  EXPECT_EQ(read_whole_file(folder.file("a_linea.txt")), kLaidOut);
  EXPECT_EQ(read_whole_file(folder.file("b-.txt")), kLaidOut);
  EXPECT_EQ(testing::files_in(folder.path()).size(), 2u);  // no temporary left behind
}

TEST(FmtCommandTest, CheckNamesTheFilesNotLaidOutAndWritesNothing) {
  TempFolder folder;
  write_whole_file(folder.file("a_linea.txt"), kMessy);
  write_whole_file(folder.file("b-.txt"), kLaidOut);
  std::string out;
  EXPECT_EQ(run_split(tool() + " fmt --check '" + folder.file("a_linea.txt") + "' '" + folder.file("b-.txt") + "'", &out,
                      nullptr),
            1);
  EXPECT_EQ(out, folder.file("a_linea.txt") + "\n");
  EXPECT_EQ(read_whole_file(folder.file("a_linea.txt")), kMessy);
  EXPECT_EQ(run_split(tool() + " fmt --check '" + folder.file("b-.txt") + "'", &out, nullptr), 0);
}

TEST(FmtCommandTest, AFileThatCannotBeReadIsNamedAndTheOthersAreStillDone) {
  TempFolder folder;
  write_whole_file(folder.file("a_linea.txt"), kMessy);
  std::string err;
  EXPECT_EQ(run_split(tool() + " fmt '" + folder.file("missing.txt") + "' '" + folder.file("a_linea.txt") + "'", nullptr,
                      &err),
            3);
  EXPECT_NE(err.find("scenario_tool fmt: '" + folder.file("missing.txt") + "'"), std::string::npos) << err;
  EXPECT_EQ(read_whole_file(folder.file("a_linea.txt")), kLaidOut);
  EXPECT_EQ(run_split(tool() + " fmt", nullptr, &err), 64);
}

}  // namespace
}  // namespace scenario
