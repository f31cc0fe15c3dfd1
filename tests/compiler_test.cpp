#include "compiler/compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/error_catalogue.h"
#include "format/binary_outputs.h"
#include "format/coding.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"

namespace scenario {
namespace {

const ScenarioFileNames kNames = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);

// One compile in memory: the descriptions given as texts; the files encoded, as a program encodes
// them when there is a model, into `out`.
struct Compile {
  CompileState state;
  MemorySink out;
  CompileResult result;

  void run(const Description& line, const Description& train, int32_t flag = 1) {
    state.line_name = kEmbeddedLineName;
    state.train_number = kEmbeddedTrainNumber;
    result = compile(state, flag != 0, line, train);
    if (result.has_model()) {
      ASSERT_TRUE(write_outputs(state, kNames, out).ok());
    }
  }
  bool wrote(const std::string& name) const { return out.files.count(name) != 0; }
  // Whether the compile is finished with the description `name`: its owner removes it.
  bool finished_with(const std::string& name) const {
    if (name == kNames.line_description) return result.finished.remove_line;
    return name == kNames.train_description && result.finished.remove_train;
  }
  const TrackCell& cell(int index) const { return state.cells.at(static_cast<size_t>(index)); }
};

Description described(const std::string& name, const std::string& bytes) { return Description{name, true, bytes}; }
Description missing(const std::string& name) { return Description{name, false, ""}; }

Description line_text(const std::string& body, int32_t length = 10000) {
  return described(kNames.line_description, "[generale]\r\nlunghezza percorso, " + std::to_string(length) +
                                                "\r\n[curve]\r\n" + body + "[fine]\r\n");
}
Description train_text(const std::string& records) {
  return described(kNames.train_description, "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n" + records +
                                                 "[fine]\r\n");
}

// The embedded scenario's two descriptions, as the text writers write them.
void embedded_descriptions(Description* line, Description* train) {
  MemorySink texts;
  ASSERT_TRUE(dati_linea(texts, kNames).ok());
  ASSERT_TRUE(dati_treno(texts, kNames).ok());
  *line = described(kNames.line_description, texts.files.at(kNames.line_description));
  *train = described(kNames.train_description, texts.files.at(kNames.train_description));
}

TEST(CompilerTest, EmbeddedScenarioCompilesCleanly) {
  Description line;
  Description train;
  embedded_descriptions(&line, &train);
  Compile compile;
  compile.run(line, train);
  const CompileState& state = compile.state;
  EXPECT_EQ(compile.result.fatal, 0);
  EXPECT_FALSE(compile.result.no_model);
  EXPECT_EQ(state.error().ErrorCode, 0) << state.error().ErrorPosition;
  const int n = state.cell_count;
  ASSERT_EQ(n, 2620);

  // Speed limits and adhesion.
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(compile.cell(i).speed_limit, 6) << i;
  EXPECT_EQ(compile.cell(21).speed_limit, 28);
  for (int i = 0; i <= n - 3; ++i) ASSERT_EQ(compile.cell(i).adhesion, 100) << i;
  for (int i = n - 2; i <= n; ++i) EXPECT_EQ(compile.cell(i).adhesion, 0) << i;

  // The origin's stop marker and approach boards.
  EXPECT_EQ(compile.cell(15).kind, kStopMarker);
  EXPECT_EQ(compile.cell(15).value_a, 1);
  EXPECT_EQ(compile.cell(14).approach_code, 81);
  EXPECT_EQ(compile.cell(11).approach_code, 84);

  // The three slowdowns.
  EXPECT_EQ(compile.cell(1272).kind, kSlowdownWarning);
  EXPECT_EQ(compile.cell(1272).value_a, 50);
  for (int marker : {1296, 1300}) {
    EXPECT_EQ(compile.cell(marker).value_a, 50);
    EXPECT_EQ(compile.cell(marker).value_c, 1);
  }
  EXPECT_EQ(compile.cell(1296).kind, kSlowdownStart);
  EXPECT_EQ(compile.cell(1300).kind, kSlowdownEnd);
  EXPECT_EQ(compile.cell(1810).kind, kSlowdownWarning);
  EXPECT_EQ(compile.cell(1834).kind, kSlowdownStart);
  EXPECT_EQ(compile.cell(1835).kind, kSlowdownEnd);
  EXPECT_EQ(compile.cell(2017).kind, kSlowdownWarning);
  for (int c = 2013; c <= 2016; ++c) {
    EXPECT_EQ(compile.cell(c).kind, kSlowdownPrewarning) << c;
    EXPECT_EQ(compile.cell(c).value_a, 2017 - c) << c;
  }
  // Post-processing put cut-off points before the first slowdown's start.
  int marks_before_start = 0;
  for (int c = 1276; c <= 1291; ++c) marks_before_start += compile.cell(c).kind == kCutOffPoint ? 1 : 0;
  EXPECT_EQ(marks_before_start, 3);

  // Header values.
  EXPECT_EQ(compile.cell(1).value_a, 5121);
  EXPECT_EQ(compile.cell(1).value_b, 2422);
  EXPECT_EQ(state.station_table[kEntryLine].group1_a, 610);
  EXPECT_EQ(state.station_table[kEntryLine].time_seconds, 33517);

  // Both descriptions finished with; the three outputs written in order.
  EXPECT_TRUE(compile.finished_with(kNames.line_description));
  EXPECT_TRUE(compile.finished_with(kNames.train_description));
  EXPECT_EQ(compile.out.order,
            (std::vector<std::string>{kNames.line_record, kNames.scenario_record, kNames.track_cells}));

  const std::string& cells = compile.out.files.at(kNames.track_cells);
  ASSERT_EQ(cells.size(), 39315u);
  EXPECT_EQ(static_cast<unsigned char>(cells[16]), 0x01);
  EXPECT_EQ(static_cast<unsigned char>(cells[17]), 0x14);
  EXPECT_EQ(get_i16(reinterpret_cast<const unsigned char*>(cells.data()) + 18), 2422);
  EXPECT_EQ(compile.out.files.at(kNames.line_record).size(), 2619964u);

  // Entry 1 of the scenario record: the origin, 47 bytes right after entry 0's 34 zero bytes.
  const std::string& sim = compile.out.files.at(kNames.scenario_record);
  EXPECT_EQ(sim.substr(0, 34), std::string(34, '\0'));
  const std::string expected_origin = std::string("\x07\xe0\xfc\xff\xff\x20\x03\x00\x00\x00\x00\x00\x00\x01\x0d\x00", 16) +
                                      "MORVELLA C.LE" +
                                      std::string("\x04\x00\x01\x00\x02\x00\x01\x00\x01\x00\x00\x01\x00\x00\xe0\x0f\x01\x00", 18);
  EXPECT_EQ(sim.substr(34, 47), expected_origin);
}

TEST(CompilerTest, SecondCompileWithTheSameStateGivesTheSameFiles) {
  Description line;
  Description train;
  embedded_descriptions(&line, &train);
  Compile compile;
  compile.run(line, train);
  const auto first = compile.out.files;
  compile.out = MemorySink();
  compile.run(line, train);
  EXPECT_EQ(compile.result.fatal, 0);
  EXPECT_EQ(compile.out.files, first);
}

TEST(CompilerTest, WithoutTheFlagNoLineRecordIsWritten) {
  Compile compile;
  compile.run(line_text(""), train_text(""), 0);
  EXPECT_EQ(compile.state.error().ErrorCode, 0);
  EXPECT_EQ(compile.out.order, (std::vector<std::string>{kNames.scenario_record, kNames.track_cells}));
}

TEST(CompilerTest, ParseWithoutACellArrayWritesNoBinaryFile) {
  struct Case {
    Description line;
    int32_t error;
    bool line_removed;
  };
  for (const Case& c : std::vector<Case>{
           {missing(kNames.line_description), 101, false},
           {described(kNames.line_description, "lunghezza percorso, 10000\r\n[fine]\r\n"), 102, true},
           {line_text("", 1000001), 1, true},
           {described(kNames.line_description, "[generale]\r\nsfondo uno, 1\r\n[curve]\r\n[fine]\r\n"), 104, true},
       }) {
    Compile compile;
    compile.run(c.line, train_text(""));
    EXPECT_EQ(compile.state.error().ErrorCode, c.error);
    EXPECT_TRUE(compile.result.no_model) << c.error;
    EXPECT_EQ(compile.result.fatal, 0);
    EXPECT_TRUE(compile.out.files.empty()) << c.error;
    EXPECT_EQ(compile.finished_with(kNames.line_description), c.line_removed) << c.error;
    EXPECT_FALSE(compile.finished_with(kNames.train_description)) << c.error;  // the train phase did not run
  }
}

TEST(CompilerTest, CompileErrorsStillWriteTheOutputs) {
  Compile compile;
  compile.run(line_text(""), train_text("segnale, 100, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n"));
  EXPECT_EQ(compile.state.error().ErrorCode, 16);
  EXPECT_EQ(compile.state.error().ErrorPosition, 100);
  EXPECT_EQ(compile.state.error().place.file, kNames.train_description);
  EXPECT_EQ(compile.state.error().place.line, 4);
  EXPECT_TRUE(compile.finished_with(kNames.train_description));
  EXPECT_EQ(compile.out.files.size(), 3u);
  EXPECT_EQ(compile.cell(1).value_a, 5121);
}

// A slowdown refused for its end (19, with its record's place and words) stops the parse; the
// post-processing then finds no free cell before the other slowdown's start (12) and reports it
// alone: no place, no words of the record before, only its own, which name the slowdown start.
TEST(CompilerTest, APostProcessingErrorAfterARefusalIsReportedOnItsOwn) {
  Compile compile;
  compile.run(line_text(""), train_text("segnale, 1450, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n"
                                        "segnale, 1500, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n"
                                        "segnale, 1550, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\n"
                                        "rallentamento, 1800, 30, 100, 0,0,0\r\n"
                                        "rallentamento, 16000, 30, 5000, 0,0,0\r\n"),
              0);
  const ErrorRecord& error = compile.state.error();
  EXPECT_EQ(error.ErrorCode, 12);
  EXPECT_EQ(error.ErrorPosition, 1850);
  EXPECT_FALSE(error.place.known());
  EXPECT_EQ(error.words, "the slowdown start on cell 37, at 1800 m");
  EXPECT_EQ(compile_error_report(error),
            "compile error 12 at 1850 m: no free cell 5-7, 11-13 or 18-20 cells before a slowdown start (the "
            "slowdown start on cell 37, at 1800 m)");
}

TEST(CompilerTest, ReadFailureInTheTrainPhaseIsError25AndRemovesBothDescriptions) {
  for (const Description& train : {train_text("sabbia, 99999\r\n"), missing(kNames.train_description),
                                   described(kNames.train_description, "[generale]\r\nvelocita, 0, 2000\r\n")}) {
    Compile compile;
    compile.run(line_text(""), train);
    EXPECT_EQ(compile.state.error().ErrorCode, 25);
    EXPECT_TRUE(compile.finished_with(kNames.line_description));
    EXPECT_TRUE(compile.finished_with(kNames.train_description));
    EXPECT_EQ(compile.out.files.size(), 3u);
  }
}

TEST(CompilerTest, LineErrorThatStopsTheParseLeavesTheTrainDescription) {
  Compile compile;
  compile.run(described(kNames.line_description,
                        "[generale]\r\nlunghezza percorso, 10000\r\nripetizione segnali 4 codici, 25, 0\r\n[curve]\r\n"
                        "[fine]\r\n"),
              train_text(""));
  EXPECT_EQ(compile.state.error().ErrorCode, 3);
  EXPECT_TRUE(compile.finished_with(kNames.line_description));
  EXPECT_FALSE(compile.finished_with(kNames.train_description));
  EXPECT_EQ(compile.cell(0).speed_limit, 0);  // no train phase
  EXPECT_EQ(compile.out.files.size(), 3u);
}

// A run-time failure in the line phase (a speed board's speed that does not fit 16 bits, a
// kilometric progression whose second value + 100 leaves 32 bits) is error 25 with its words at the
// last field read, and ends the phase as a failed read does: the train phase does not run, and the
// compile is finished with both descriptions.
TEST(CompilerTest, ARunTimeFailureOfTheLinePhaseEndsItAsAFailedRead) {
  struct Case {
    const char* what;
    std::string general;
    std::string body;
    const char* words;
    int line;
    int column;  // the speed at fault; the last field read for the progressions
  };
  const std::vector<Case> cases = {
      {"speed board, first speed", "", "indicatori_vmax, 1050, 1639, 0, 0, 0, 0, 0, 0, 0\r\n",
       "a speed indicator board's encoded speed does not fit 16 bits", 4, 24},
      {"speed board, second speed", "", "indicatori_vmax, 1050, 0, -1639, 0, 0, 0, 0, 0, 0\r\n",
       "a speed indicator board's encoded speed does not fit 16 bits", 4, 27},
      {"progression", "progressiva chilometrica uno, 0, 2147483600, 1\r\n", "",
       "a kilometric progression's second value + 100 is too large", 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compile compile;
    compile.run(described(kNames.line_description, "[generale]\r\nlunghezza percorso, 10000\r\n" + c.general +
                                                       "[curve]\r\n" + c.body + "[fine]\r\n"),
                train_text(""));
    const ErrorRecord& error = compile.state.error();
    EXPECT_EQ(error.ErrorCode, 25);
    EXPECT_EQ(error.words, c.words);
    EXPECT_EQ(error.place.line, c.line);
    EXPECT_EQ(error.place.column, c.column);
    EXPECT_TRUE(compile.finished_with(kNames.line_description));
    EXPECT_TRUE(compile.finished_with(kNames.train_description));
    EXPECT_EQ(compile.cell(0).speed_limit, 0);  // no train phase
  }
}

TEST(CompilerTest, LineError15LetsTheTrainPhaseRun) {
  Compile compile;
  compile.run(line_text("pendenza, 20000, 3\r\n"), train_text(""));
  EXPECT_EQ(compile.state.error().ErrorCode, 15);
  EXPECT_EQ(compile.state.error().ErrorPosition, 20000);
  EXPECT_EQ(compile.cell(0).speed_limit, 20);
  EXPECT_TRUE(compile.finished_with(kNames.train_description));
}

TEST(CompilerTest, MarkOnCellOneIsFatal1250AndNothingIsWritten) {
  // A slowdown starting on cell 8 whose cells 3 and 2 are taken: rule 2 marks cell 1.
  Compile compile;
  compile.run(line_text(""), train_text("abbattimento, 150, 0\r\nabbattimento, 100, 0\r\n"
                                        "rallentamento, 350, 30, 500, 0, 0, 0\r\n"));
  EXPECT_EQ(compile.state.error().ErrorCode, 0);
  EXPECT_EQ(compile.result.fatal, 1250);
  EXPECT_EQ(compile.cell(1).value_a, 180);
  EXPECT_TRUE(compile.out.files.empty());
}

TEST(CompilerTest, FeatureOnCellOneWithAValueBIsFatal1251) {
  // A slowdown at 0 m of speed 0 with d_v 5: its start on cell 1 holds value_a 0 and value_b 5.
  Compile compile;
  compile.run(line_text(""), train_text("rallentamento, 0, 0, 100, 0, 0, 5\r\n"));
  EXPECT_EQ(compile.result.fatal, 1251);
  EXPECT_TRUE(compile.out.files.empty());
}

}  // namespace
}  // namespace scenario
