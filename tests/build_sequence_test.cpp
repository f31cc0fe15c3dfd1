#include "driver/build_sequence.h"

#include <gtest/gtest.h>

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"

namespace scenario {
namespace {

TEST(ErroreTest, PrintsTheFatalReportAndExitsWithStatus2) {
  EXPECT_EXIT(errore("1250"), ::testing::ExitedWithCode(2), "^ Errore n\\. 1250\n$");
  EXPECT_EXIT(errore("1251"), ::testing::ExitedWithCode(2), "^ Errore n\\. 1251\n$");
}

TEST(CompileErrorReportTest, SaysCodePositionWordsAndPlace) {
  CompileState state;
  state.record_error(ErrorNumber::kSignalTaken, 19500);
  EXPECT_EQ(compile_error_report(state.error()), "compile error 16 at 19500 m: signal on a cell already taken");
  state.record_error(ErrorNumber::kNoGeneralSection);
  EXPECT_EQ(compile_error_report(state.error()), "compile error 102: line description has no [generale] section");
  state.record_error(ErrorNumber::kStationStep, 125, SourcePlace{"t-.txt", 22, 1, "stazione,     125,  7", 0});
  EXPECT_EQ(compile_error_report(state.error()),
            "t-.txt:22:1: error: compile error 8 at 125 m: station position is not a multiple of 50\n"
            "    stazione,     125,  7\n"
            "    ^");
}

}  // namespace
}  // namespace scenario
