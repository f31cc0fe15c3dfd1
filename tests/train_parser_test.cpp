#include "compiler/train_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// The train phase on a model of the embedded line's size (124000 m, cells 0 to 2620), from a
// small description text.
class TrainParserTest : public ::testing::Test {
 protected:
  void parse(const std::string& text, int32_t line_length = 124000) {
    state.allocate_model(line_length);
    bytes = text;
    FieldReader reader(bytes, "t-.txt");
    parse_train_description(state, reader);
  }
  // A whole description: the start marker, the given records, the end marker.
  static std::string file(const std::string& records) { return "[generale]\r\n" + records + "[fine]\r\n"; }

  TrackCell& cell(int index) { return state.cells.at(static_cast<size_t>(index)); }
  const StationEntry& entry(int index) { return state.station_table.at(static_cast<size_t>(index)); }
  int last() const { return state.cell_count; }

  CompileState state;
  std::string bytes;
};

constexpr const char* kOrigin =
    "stazione,       0,  7,  800,  1, 0, 0,  4,1,0,  2,1,1,    1,  19,20, 0, MORVELLA C.LE\r\n";

TEST_F(TrainParserTest, HeaderValuesGoIntoTheirEntries) {
  parse(file("numero vetture,    2\r\npercentuale massa frenata,    95\r\nsabbia,    60\r\n"
             "orologio,    19              19            45 \r\n"));
  EXPECT_EQ(entry(kEntryTrain).area_start, 95);
  EXPECT_EQ(entry(kEntryTrain).position, 2);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 60);
  EXPECT_EQ(entry(kEntryRepetition).group2_a, 19);
  EXPECT_EQ(entry(kEntryRepetition).group2_b, 19);
  EXPECT_EQ(entry(kEntryRepetition).group2_c, 45);
  EXPECT_EQ(state.error().ErrorCode, 0);
}

TEST_F(TrainParserTest, ClockWithBlankSeparatedNumbers) {
  parse(file("orologio, 7 5 0\r\n"));
  EXPECT_EQ(entry(kEntryRepetition).group2_a, 7);
  EXPECT_EQ(entry(kEntryRepetition).group2_b, 5);
  EXPECT_EQ(entry(kEntryRepetition).group2_c, 0);
}

TEST_F(TrainParserTest, NothingBeforeTheStartMarkerIsRead) {
  parse("numero vetture, 3\r\n[GENERALE]\r\npercentuale massa frenata, 90\r\n[fine]\r\n");
  EXPECT_EQ(entry(kEntryTrain).position, 0);
  EXPECT_EQ(entry(kEntryTrain).area_start, 90);

  state = CompileState();
  parse("numero vetture, 3\r\nsabbia, 4\r\n");
  EXPECT_EQ(entry(kEntryTrain).position, 0);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 0);
  EXPECT_EQ(state.error().ErrorCode, 0);
}

TEST_F(TrainParserTest, KeywordsAreFoundAnywhereAndInAnyLetterCase) {
  parse(file("NUMERO VETTURE, 3\r\nla Sabbia del treno, 7\r\n"));
  EXPECT_EQ(entry(kEntryTrain).position, 3);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 7);
}

TEST_F(TrainParserTest, EveryMatchingTestReadsItsValuesInTheFixedOrder) {
  // "vetture" is tested before "sabbia": the first value goes to the cars, the second to the sand.
  parse(file("sabbia vetture, 3, 9\r\n"));
  EXPECT_EQ(entry(kEntryTrain).position, 3);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 9);
}

TEST_F(TrainParserTest, DashedFieldGivesWayToTheNextField) {
  parse(file("-----------\r\nnumero vetture, 2\r\n---\r\n---\r\nsabbia, 5\r\n"));
  EXPECT_EQ(entry(kEntryTrain).position, 2);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 5);

  // A keyword with a dash is lost: its first value is tested in its place, the rest skipped.
  state = CompileState();
  parse(file("numero-vetture, 2, sabbia, 6\r\n"));
  EXPECT_EQ(entry(kEntryTrain).position, 0);
  EXPECT_EQ(entry(kEntryRepetition).group1_a, 6);
}

TEST_F(TrainParserTest, KeywordFieldThatIsTheLastFieldIsNotInterpreted) {
  parse("[generale]\r\nstazione");
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_EQ(entry(1).position, 0);
}

TEST_F(TrainParserTest, SpeedLimitsRunFromTheirCellToTheCellBeforeTheNext) {
  parse(file("velocita,   0,    30\r\nvelocita,   1050,    140\r\n"));
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(cell(i).speed_limit, 6) << i;
  for (int i = 21; i <= last() - 3; ++i) ASSERT_EQ(cell(i).speed_limit, 28) << i;
  for (int i = last() - 2; i <= last(); ++i) EXPECT_EQ(cell(i).speed_limit, 0) << i;
}

TEST_F(TrainParserTest, OutOfOrderSpeedRecordWritesOneCellAndRecordAtZeroWritesNone) {
  parse(file("velocita, 0, 30\r\nvelocita, 1000, 40\r\nvelocita, 500, 50\r\n"));
  EXPECT_EQ(cell(19).speed_limit, 6);
  EXPECT_EQ(cell(20).speed_limit, 8);  // the out-of-order record's one cell, with the speed before it
  EXPECT_EQ(cell(21).speed_limit, 10);
  EXPECT_EQ(cell(last() - 3).speed_limit, 10);
}

TEST_F(TrainParserTest, CellsBeforeTheFirstRecordGetZero) {
  parse(file("velocita, 500, 30\r\naderenza, 500, 90\r\n"));
  EXPECT_EQ(cell(9).speed_limit, 0);
  EXPECT_EQ(cell(10).speed_limit, 6);
  EXPECT_EQ(cell(9).adhesion, 0);
  EXPECT_EQ(cell(10).adhesion, 90);
}

TEST_F(TrainParserTest, AdhesionKeepsItsLowEightBitsUpToCellNMinus3) {
  parse(file("aderenza,   0,    100\r\naderenza, 5000, 300\r\n"));
  EXPECT_EQ(cell(0).adhesion, 100);
  EXPECT_EQ(cell(99).adhesion, 100);
  EXPECT_EQ(cell(100).adhesion, 300 - 256);
  EXPECT_EQ(cell(last() - 3).adhesion, 300 - 256);
  EXPECT_EQ(cell(last() - 2).adhesion, 0);
}

TEST_F(TrainParserTest, ManyOutOfOrderRecordsNeverWalkTheFillsPastTheArray) {
  std::string records = "velocita, 0, 30\r\naderenza, 0, 100\r\n";
  for (int i = 0; i < 400; ++i) records += "velocita, 100, 30\r\naderenza, 100, 100\r\n";
  parse(file(records), 0);  // cells 0 to 140
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_EQ(cell(last() - 1).speed_limit, 6);
  EXPECT_EQ(cell(last()).speed_limit, 6);  // the end fill writes at least one cell, here the last
  EXPECT_EQ(cell(last()).adhesion, 100);
}

TEST_F(TrainParserTest, SpeedLimitMustFitOneByteInStepsOfFive) {
  struct Case {
    const char* speed;
    bool fails;
    uint8_t stored;
  };
  for (const Case& c : std::vector<Case>{{"1277", false, 255}, {"1278", true, 0}, {"-2", false, 0},
                                         {"-3", true, 0}, {"12", false, 2}, {"13", false, 3}}) {
    state = CompileState();
    parse(file(std::string("velocita, 0, ") + c.speed + "\r\n"));
    EXPECT_EQ(state.error().ErrorCode, c.fails ? 25 : 0) << c.speed;
    EXPECT_EQ(cell(0).speed_limit, c.stored) << c.speed;
  }
}

// A speed whose step count does not fit a byte fails (25) when a fill would store it in a cell,
// and the report points at the record that set it; replaced before any cell takes it, it is no
// error.
TEST_F(TrainParserTest, ASpeedThatDoesNotFitFailsOnlyWhenACellWouldTakeIt) {
  struct Case {
    const char* what;
    std::string records;
    int32_t error;
    int line;           // of the record the error points at
    uint8_t cell_0, cell_19, cell_20;
  };
  std::string exhausted = "velocita, 0, 30\r\n";  // cells 0 to 140: the records' fills stop at 139
  for (int i = 0; i < 140; ++i) exhausted += "velocita, 100, 30\r\n";
  for (const Case& c : std::vector<Case>{
           {"replaced at the same position", "velocita, 0, 2000\r\nvelocita, 0, 30\r\n", 0, 0, 6, 6, 6},
           {"taken by the next record's cells", "velocita, 0, 2000\r\nvelocita, 1000, 30\r\n", 25, 2, 0, 0, 0},
           {"taken by the end fill", "velocita, 0, 30\r\nvelocita, 1000, 2000\r\n", 25, 3, 6, 6, 0},
           {"replaced by a record whose fill writes nothing",
            exhausted + "velocita, 100, 2000\r\nvelocita, 100, 40\r\n", 0, 0, 6, 6, 6},
       }) {
    SCOPED_TRACE(c.what);
    state = CompileState();
    parse(file(c.records), 0);
    EXPECT_EQ(state.error().ErrorCode, c.error);
    EXPECT_EQ(state.error().place.line, c.line);
    if (c.error != 0) {
      EXPECT_NE(state.error().words.find("2000 km/h"), std::string::npos) << state.error().words;
    }
    EXPECT_EQ(cell(0).speed_limit, c.cell_0);
    EXPECT_EQ(cell(19).speed_limit, c.cell_19);
    EXPECT_EQ(cell(20).speed_limit, c.cell_20);
  }
  EXPECT_EQ(cell(last()).speed_limit, 8);  // the last case: 40 km/h from the end fill
}

TEST_F(TrainParserTest, ValueOutsideItsFieldIsAReadFailure) {
  for (const char* records : {"sabbia, 40000\r\n", "orologio, 1 2 70000\r\n", "numero vetture, 3000000000\r\n",
                              "stazione, 0, 256, 800, 1, 0, 0, 4,1,0, 2,1,1, 1, 19,20,0, X\r\n",
                              "stazione, 0, 7, 800, 1, 0, 0, 4,1,0, 2,1,1, 1, 1000000,0,0, X\r\n",
                              "stazione, 0, 7, 800, 1, 0, 0, 4,1,0, 2,1,1, 1, 596523,0,848, X\r\n",
                              "stazione, 0, 7, 800, 1, 0, 0, 4,1,0, 2,1,1, 1, -596523,0,-849, X\r\n",
                              "stazione, 1000, 7, 2147483600, 1, 0, 0, 4,1,0, 2,1,1, 1, 0,0,0, X\r\n",
                              "velocita, 0\r\n"}) {
    state = CompileState();
    parse(std::string("[generale]\r\n") + records);
    EXPECT_EQ(state.error().ErrorCode, 25) << records;
    EXPECT_EQ(state.error().place.line, 2) << records;
  }
}

TEST_F(TrainParserTest, OriginStationGetsItsEntryStopMarkerAndApproachBoards) {
  parse(file(kOrigin));
  const StationEntry& origin = entry(1);
  EXPECT_EQ(origin.station_type, 7);
  EXPECT_EQ(origin.area_start, -800);
  EXPECT_EQ(origin.area_end, 800);
  EXPECT_EQ(origin.position, 0);
  EXPECT_EQ(origin.option_a, 1);
  EXPECT_EQ(origin.name, "MORVELLA C.LE");
  EXPECT_EQ(origin.group1_a, 4);
  EXPECT_EQ(origin.group1_b, 1);
  EXPECT_EQ(origin.group1_c, 0);
  EXPECT_EQ(origin.group2_a, 2);
  EXPECT_EQ(origin.group2_b, 1);
  EXPECT_EQ(origin.group2_c, 1);
  EXPECT_EQ(origin.stop_value, 1);
  EXPECT_EQ(origin.time_seconds, 69600);
  EXPECT_EQ(cell(15).kind, kStopMarker);
  EXPECT_EQ(cell(15).value_a, 1);
  EXPECT_EQ(cell(14).approach_code, 81);
  EXPECT_EQ(cell(13).approach_code, 82);
  EXPECT_EQ(cell(12).approach_code, 83);
  EXPECT_EQ(cell(11).approach_code, 84);
  EXPECT_EQ(cell(10).approach_code, 0);
  EXPECT_EQ(cell(15).approach_code, 0);
}

// The departure time is counted in 64 bits and kept when it fits the entry's 32: both ends of
// that range are taken (one second beyond either end is a read failure, below).
TEST_F(TrainParserTest, DepartureTimeCountsHoursMinutesAndSeconds) {
  struct Case {
    const char* time;  // hours, minutes, seconds
    int32_t seconds;
  };
  for (const Case& c : {Case{"19,20,30", 69630}, Case{"596523,0,847", 2147483647},
                        Case{"-596523,0,-848", -2147483647 - 1}, Case{"0,0,0", 0}}) {
    SCOPED_TRACE(c.time);
    state = CompileState();
    parse(file(std::string("stazione, 0, 7, 800, 1, 0, 0, 4,1,0, 2,1,1, 1, ") + c.time + ", MORVELLA C.LE\r\n"));
    ASSERT_EQ(state.error().ErrorCode, 0);
    EXPECT_EQ(entry(1).time_seconds, c.seconds);
  }
}

// Approach boards go only on cells above 1: near the line's start the farthest ones are left out.
TEST_F(TrainParserTest, ApproachBoardsAreSetOnlyAboveCell1) {
  struct Case {
    const char* record;
    int stop_cell;
    uint8_t codes[5];  // approach codes of cells 0 to 4
  };
  for (const Case& c : std::vector<Case>{
           {"stazione, 200, 11, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Presto", 4, {0, 0, 82, 81, 0}},
           {"stazione, 200, 7, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Presto", 5, {0, 0, 83, 82, 81}},
       }) {
    SCOPED_TRACE(c.record);
    state = CompileState();
    parse(file(std::string(c.record) + "\r\n"));
    ASSERT_EQ(state.error().ErrorCode, 0);
    EXPECT_EQ(cell(c.stop_cell).kind, kStopMarker);
    for (int i = 0; i <= 4; ++i) EXPECT_EQ(cell(i).approach_code, c.codes[i]) << i;
  }
}

TEST_F(TrainParserTest, ExtentAndOptionsByType) {
  struct Case {
    const char* record;
    int32_t area_start, area_end;
    uint8_t option_b, option_c;
    int stop_cell;  // -1: none
    bool approach_boards;
  };
  // Each case is the second station, after the origin (area ending at 800 m).
  for (const Case& c : std::vector<Case>{
           {"stazione, 8250, 12, 600, 0, 1, 1, 1,1,0, 4,1,1, 0, 0,0,0, QUERVANO", 7950, 8600, 1, 1, 171, true},
           {"stazione, 8250, 12, 500, 0, 1, 0, 1,1,0, 4,1,1, 0, 0,0,0, QUERVANO", 8000, 8500, 0, 0, 169, true},
           {"stazione, 8250, 25, 500, 0, 0, 0, 0,0,0, 0,0,0, 30, 19,39,0, Sorvalda", 8000, 8500, 0, 0, -1, false},
           {"stazione, 8250, 5, 1000, 0, 1, 1, 0,0,0, 0,0,0, 30, 19,39,0, Corta", 7250, 8400, 1, 0, 167, false},
           {"stazione, 8250, 8, 600, 0, 1, 1, 0,0,0, 0,0,0, 30, 19,39,0, Lunga", 7650, 8850, 1, 0, 176, true},
       }) {
    state = CompileState();
    parse(file(std::string(kOrigin) + c.record + "\r\n"));
    ASSERT_EQ(state.error().ErrorCode, 0) << c.record;
    EXPECT_EQ(entry(2).area_start, c.area_start) << c.record;
    EXPECT_EQ(entry(2).area_end, c.area_end) << c.record;
    EXPECT_EQ(entry(2).option_b, c.option_b) << c.record;
    EXPECT_EQ(entry(2).option_c, c.option_c) << c.record;
    int stop_markers = 0;
    for (int i = 20; i <= last(); ++i) {
      if (cell(i).kind == kStopMarker) {
        ++stop_markers;
        EXPECT_EQ(i, c.stop_cell) << c.record;
        EXPECT_EQ(cell(i).value_a, 2);
      }
    }
    EXPECT_EQ(stop_markers, c.stop_cell < 0 ? 0 : 1) << c.record;
    if (c.stop_cell > 0) {
      EXPECT_EQ(cell(c.stop_cell - 1).approach_code, c.approach_boards ? 81 : 0) << c.record;
      EXPECT_EQ(cell(c.stop_cell - 4).approach_code, c.approach_boards ? 84 : 0) << c.record;
    }
  }
}

TEST_F(TrainParserTest, FirstStationLosesOptionsBAndCButKeepsItsExtension) {
  parse(file("stazione, 8250, 12, 600, 0, 1, 1, 1,1,0, 4,1,1, 0, 0,0,0, QUERVANO\r\n"));
  EXPECT_EQ(entry(1).area_end, 8600);
  EXPECT_EQ(entry(1).option_b, 0);
  EXPECT_EQ(entry(1).option_c, 0);
}

TEST_F(TrainParserTest, StationsMustBe350MetresApart) {
  // The origin ends at 800 m; a type-11 station of 400 m at p starts at p - 200.
  parse(file(std::string(kOrigin) + "stazione, 1350, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_EQ(entry(2).area_start, 1150);

  state = CompileState();
  parse(file(std::string(kOrigin) + "velocita, 0, 30\r\n" +
             "stazione, 1300, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 22);
  EXPECT_EQ(state.error().ErrorPosition, 1300);
  EXPECT_EQ(state.error().place.file, "t-.txt");
  EXPECT_EQ(state.error().place.line, 4);
  EXPECT_EQ(state.error().place.column, 1);
  EXPECT_EQ(cell(0).speed_limit, 0);  // the parse stopped at once: no fills
}

TEST_F(TrainParserTest, StationEndingAtOrBefore100MetresIsError24) {
  state.record_error(ErrorNumber::kBeyondModel, 77);
  parse(file("stazione, 50, 11, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Presto\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 24);
  EXPECT_EQ(state.error().ErrorPosition, 77);
  EXPECT_EQ(state.error().place.line, 2);
  EXPECT_EQ(cell(1).kind, kEmpty);

  state = CompileState();
  parse(file("stazione, 50, 25, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Fermata\r\n"));  // no stop marker
  EXPECT_EQ(state.error().ErrorCode, 0);
}

TEST_F(TrainParserTest, StationPositionAndLengthSteps) {
  struct Case {
    const char* record;
    int32_t error;
    int32_t position;
  };
  for (const Case& c : std::vector<Case>{
           {"stazione, 125, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 8, 125},
           {"stazione, 1000, 11, 450, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 9, 1000},
           {"stazione, 130250, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A", 15, 130250},
       }) {
    state = CompileState();
    parse(file(std::string("velocita, 0, 30\r\n") + c.record + "\r\n"));
    EXPECT_EQ(state.error().ErrorCode, c.error) << c.record;
    EXPECT_EQ(state.error().ErrorPosition, c.position) << c.record;
    EXPECT_EQ(state.error().place.line, 3) << c.record;
    // Error 15 ends the reading but still runs the fills; the others stop at once.
    EXPECT_EQ(cell(0).speed_limit, c.error == 15 ? 6 : 0) << c.record;
  }
}

TEST_F(TrainParserTest, StationTableStopsBelowTheBoardSlot) {
  std::string records;
  for (int i = 0; i < 4; ++i) {
    records += "stazione, " + std::to_string(2000 + 1000 * i) + ", 11, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, S\r\n";
  }
  state.board_slot = 5;  // three stations fit; storing the fourth fails
  state.record_error(ErrorNumber::kBeyondModel, 9);
  parse(file(records));
  EXPECT_EQ(state.error().ErrorCode, 10);
  EXPECT_EQ(state.error().ErrorPosition, 9);
  EXPECT_EQ(entry(3).position, 4000);
  EXPECT_EQ(entry(4).position, 5000);  // stored before the check
  EXPECT_EQ(entry(5).position, 0);

  state = CompileState();
  state.board_slot = 5;
  records.resize(records.rfind("stazione"));
  parse(file(records));
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_EQ(entry(3).position, 4000);
}

// With 80 boards, entries 80 down to 1 hold their texts: a station finds no free entry.
TEST_F(TrainParserTest, NoStationFitsBesideEightyBoards) {
  for (int slot = 80; slot >= 1; --slot) state.station_table[static_cast<size_t>(slot)].name = "(F)";
  state.board_slot = 0;
  state.record_error(ErrorNumber::kBeyondModel, 9);
  parse(file("velocita, 0, 30\r\nstazione, 2000, 11, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 19,20,0, S\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 10);
  EXPECT_EQ(state.error().ErrorPosition, 9);
  EXPECT_EQ(state.error().place.line, 3);
  EXPECT_EQ(entry(1).name, "(F)");
  EXPECT_EQ(entry(1).position, 0);
  EXPECT_EQ(cell(40).kind, kEmpty);
  EXPECT_EQ(cell(0).speed_limit, 0);  // the parse stopped at once: no fills
}

TEST_F(TrainParserTest, StationWhoseStopMarkerWouldLieBeyondTheLastCellIsRefused) {
  // Cells 0 to 140; the position passes the range test but the area ends at 8100 m (cell 161).
  parse(file("velocita, 0, 30\r\nstazione, 100, 7, 8000, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Lontana\r\n"), 0);
  EXPECT_EQ(state.error().ErrorCode, 15);
  EXPECT_EQ(state.error().ErrorPosition, 100);
  EXPECT_NE(state.error().words.find("stop marker"), std::string::npos);
  for (int i = 0; i <= last(); ++i) {
    EXPECT_EQ(cell(i).kind, kEmpty) << i;
    EXPECT_EQ(cell(i).approach_code, 0) << i;
  }
  EXPECT_EQ(cell(0).speed_limit, 6);  // error 15's road: the fills ran
}

TEST_F(TrainParserTest, CutOffPoints) {
  parse(file("abbattimento, 5000, 120\r\nabbattimento, 6000, 0\r\nabbattimento, 7000, -4\r\n"
             "abbattimento, 8000, 70000\r\n"));
  EXPECT_EQ(cell(100).kind, kCutOffPoint);  // near(p / 50), no +1
  EXPECT_EQ(cell(100).value_a, 120);
  EXPECT_EQ(cell(120).kind, kCutOffPointZero);
  EXPECT_EQ(cell(120).value_a, 0);
  EXPECT_EQ(cell(140).kind, kCutOffPointZero);
  EXPECT_EQ(cell(160).value_a, static_cast<int16_t>(70000 - 65536));
  EXPECT_EQ(state.error().ErrorCode, 0);

  struct Case {
    const char* records;
    int32_t position;
  };
  for (const Case& c : std::vector<Case>{{"abbattimento, 5000, 1\r\nabbattimento, 5010, 1\r\n", 5010},
                                         {"abbattimento, -100, 1\r\n", -100}}) {
    state = CompileState();
    parse(file(c.records));
    EXPECT_EQ(state.error().ErrorCode, 7) << c.records;
    EXPECT_EQ(state.error().ErrorPosition, c.position) << c.records;
  }
}

TEST_F(TrainParserTest, SignalsAndSlowdownsGoThroughThePlacers) {
  parse(file("segnale,   19500,   2, 3, 1,  0, 0,    2,  2,1,0, 0\r\n"
             "rallentamento,   64750,    50,  200, 1,  0,  0\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 0);
  EXPECT_EQ(cell(391).kind, kSignal);
  EXPECT_EQ(cell(389).approach_code, 81);
  EXPECT_EQ(cell(1272).kind, kSlowdownWarning);
  EXPECT_EQ(cell(1296).kind, kSlowdownStart);
  EXPECT_EQ(cell(1300).kind, kSlowdownEnd);
}

TEST_F(TrainParserTest, PlacerErrorsStopTheParseWithTheRecordsPosition) {
  struct Case {
    const char* record;
    int32_t error;
    int32_t position;
  };
  for (const Case& c : std::vector<Case>{
           {"segnale, 300, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0", 16, 300},        // approach cells before cell 0
           {"segnale, 700, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0", 16, 700},        // on the origin's stop marker
           {"rallentamento, 700, 30, 100, 1, 0, 0", 18, 700},
           {"rallentamento, 122000, 30, 10000, 1, 0, 0", 19, 122000},      // end beyond the last cell
           {"rallentamento, 10000, 30, -100, 1, 0, 0", 19, 10000},         // negative length
           {"rallentamento, 2100, 30, 100, 1, 1, 0", 20, 2100},            // pre-warning on the stop marker
           {"segnale, 130950, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0", 15, 130950},  // beyond the model
       }) {
    state = CompileState();
    parse(file(std::string(kOrigin) + c.record + "\r\nnumero vetture, 4\r\n"));
    EXPECT_EQ(state.error().ErrorCode, c.error) << c.record;
    EXPECT_EQ(state.error().ErrorPosition, c.position) << c.record;
    EXPECT_EQ(state.error().place.line, 3) << c.record;
    EXPECT_EQ(entry(kEntryTrain).position, 0) << c.record;  // nothing after the record was read
  }
}

TEST_F(TrainParserTest, ErrorCarriedInFromTheLinePhaseDoesNotStopThePlacers) {
  state.record_error(ErrorNumber::kBeyondModel, 130000);
  parse(file("velocita, 0, 30\r\nsegnale,   19500,   2, 3, 1,  0, 0,    2,  2,1,0, 0\r\n"));
  EXPECT_EQ(cell(391).kind, kSignal);
  EXPECT_EQ(state.error().ErrorCode, 15);
  EXPECT_EQ(state.error().ErrorPosition, 130000);
  EXPECT_EQ(cell(last() - 3).speed_limit, 6);
}

TEST_F(TrainParserTest, ProgressionCheckAtTheEndReplacesError15) {
  state.station_table[kEntryProgressionDue].area_end = 75;
  parse(file("velocita, 200000, 30\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 2);
  EXPECT_FALSE(state.error().place.known());

  state = CompileState();
  state.station_table[kEntryProgressionUno].area_start = 30;
  parse(file("stazione, 125, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n"));
  EXPECT_EQ(state.error().ErrorCode, 8);  // an error that stops at once skips the check

  state = CompileState();
  state.station_table[kEntryProgressionTre].position = 33;  // the third value is not checked
  parse(file(""));
  EXPECT_EQ(state.error().ErrorCode, 0);
}

}  // namespace
}  // namespace scenario
