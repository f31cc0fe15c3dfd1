#include "model/status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// Each kind of failure as standard error shows it, before and after it is tied to a file.
TEST(StatusTest, TextOfEachKind) {
  struct Case {
    Status status;
    std::string alone;
    std::string in_file;
  };
  const std::vector<Case> cases = {
      {Status::Ok(), "ok", "ok"},
      {Status::FileSystem("a.dat", "disk full"), "'a.dat': disk full", "'b.dat': disk full"},
      {Status::Usage("--out is required"), "--out is required", "'b.dat': --out is required"},
      {Status::Corruption(15, "cell 1 is cut short"), "at byte 15: cell 1 is cut short",
       "'b.dat': at byte 15: cell 1 is cut short"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.status.ToString(), c.alone);
    const Status tied = c.status.InFile("b.dat");
    EXPECT_EQ(tied.kind(), c.status.kind());
    if (!c.status.ok()) {
      EXPECT_EQ(tied.ToString(), c.in_file);
    }
  }
}

TEST(StatusTest, ACorruptionKeepsItsOffsetInItsFile) {
  const Status status = Status::Corruption(4096, "unknown tag 7").InFile("L_linea.dat");
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.kind(), Status::Kind::kCorruption);
  EXPECT_EQ(status.offset(), 4096u);
  EXPECT_EQ(status.path(), "L_linea.dat");
  EXPECT_EQ(status.reason(), "unknown tag 7");
  EXPECT_EQ(Status::FileSystem("x", "y").offset(), 0u);
}

}  // namespace
}  // namespace scenario
