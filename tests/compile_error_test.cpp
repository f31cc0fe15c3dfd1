#include "model/compile_error.h"

#include <gtest/gtest.h>

#include "compiler/error_catalogue.h"
#include "model/track_model.h"

namespace scenario {
namespace {

const SourcePlace kPlace{"t-.txt", 7, 1, "rallentamento, 16000, 30, 5000", 0};

// record_error replaces the whole record; only ErrorPosition stays when the error has none.
TEST(CompileErrorTest, RecordingReplacesNumberPlaceAndWordsTogether) {
  CompileState state;
  state.record_error(ErrorNumber::kSlowdownEndTaken, 16000, kPlace, "the end lies beyond the last cell");
  EXPECT_EQ(state.error().ErrorCode, 19);
  EXPECT_EQ(state.error().ErrorPosition, 16000);
  EXPECT_EQ(state.error().place.line, 7);
  EXPECT_EQ(state.error().words, "the end lies beyond the last cell");

  state.record_error(ErrorNumber::kBeforeSlowdownStart, 1850);
  EXPECT_EQ(state.error().ErrorCode, 12);
  EXPECT_EQ(state.error().ErrorPosition, 1850);
  EXPECT_FALSE(state.error().place.known());
  EXPECT_EQ(state.error().words, "");

  state.record_error(ErrorNumber::kProgressionStep);
  EXPECT_EQ(state.error().ErrorCode, 2);
  EXPECT_EQ(state.error().ErrorPosition, 1850);  // an error without a position keeps the old one

  state.clear_error();
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_FALSE(state.error().place.known());
}

TEST(CompileErrorTest, EveryNamedNumberHasWordsInTheCatalogue) {
  using enum ErrorNumber;
  for (ErrorNumber number : {kLineLength,
                             kProgressionStep,
                             kRepetitionFromStep,
                             kRepetitionToStep,
                             kRepetitionCodes,
                             kBoardTaken,
                             kCutOffTaken,
                             kStationStep,
                             kPlatformStep,
                             kStationTableFull,
                             kSignalBeforeWarning,
                             kBeforeSlowdownStart,
                             kInsideOrAfterSlowdown,
                             kBeyondModel,
                             kSignalTaken,
                             kWarningTaken,
                             kSlowdownStartTaken,
                             kSlowdownEndTaken,
                             kPrewarningTaken,
                             kSpeedBoardTaken,
                             kStationSpacing,
                             kStationTooEarly,
                             kRunTimeFailure,
                             kLineDescriptionMissing,
                             kNoGeneralSection,
                             kCurve,
                             kNoLineLength,
                             kTooManyBoards}) {
    const ErrorDescription description = describe_error(error_code(number));
    EXPECT_EQ(description.number, number);
    EXPECT_NE(std::string(description.words), "unknown compile error") << error_code(number);
  }
  EXPECT_EQ(std::string(describe_error(14).words), "unknown compile error");
}

TEST(CompileErrorTest, APlacementIsPlacedOrRefusedWithNumberAndWords) {
  EXPECT_TRUE(Placement::Placed().placed());
  const Placement refused = Placement::Refused(ErrorNumber::kSignalTaken, "beyond the last cell");
  EXPECT_FALSE(refused.placed());
  EXPECT_EQ(refused.number(), ErrorNumber::kSignalTaken);
  EXPECT_EQ(refused.words(), "beyond the last cell");
}

}  // namespace
}  // namespace scenario
