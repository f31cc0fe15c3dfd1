#include "cli/reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

TEST(ReportsTest, FatalReportText) { EXPECT_EQ(fatal_report("1250"), " Errore n. 1250"); }

TEST(ReportsTest, FileSystemFailureNamesProgramPathAndReason) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(report_file_system_failure(Status::FileSystem("out/a.sim", "disk full"), "tool"), kExitFileSystem);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "tool: 'out/a.sim': disk full\n");
}

// Each outcome of a compile: its exit status and what goes to standard error.
TEST(ReportsTest, CompileOutcomes) {
  struct Case {
    const char* what;
    bool error;
    bool no_model;
    int exit_status;
    std::string report;
  };
  const std::vector<Case> cases = {
      {"clean", false, false, kExitClean, ""},
      {"compile error", true, false, kExitCompileError,
       "compile error 16 at 19500 m: signal on a cell already taken\n"},
      {"compile error without a model", true, true, kExitCompileError,
       "compile error 16 at 19500 m: signal on a cell already taken\n"
       "tool: no track model was built; no binary file written\n"},
      {"no model and no error", false, true, kExitCompileError,
       "tool: the line description gave no track model; no binary file written\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CompileState state;
    if (c.error) state.record_error(ErrorNumber::kSignalTaken, 19500);
    CompileResult result;
    result.no_model = c.no_model;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(report_compile(state, result, "tool"), c.exit_status);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.report);
  }
}

}  // namespace
}  // namespace scenario
