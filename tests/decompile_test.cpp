// Decompiling compiled files: round trips of the embedded and of generated scenarios, hand edits
// that a description can still give, and files that no description can give, with their findings.
#include "decompile/decompile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "format/binary_outputs.h"
#include "tests/compiled_scenario.h"
#include "tests/scenario_generator.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::CompiledFiles;

std::string findings_text(const Findings& findings) {
  std::string text;
  for (const Finding& f : findings.kept()) text += f.place + ": " + f.words + "\n";
  return text;
}

// Compiles a pair that must compile cleanly, in memory, and decodes its files into *files.
void compile_and_decode(const std::string& line, const std::string& train, bool with_plan, CompileState* files) {
  const CompiledFiles original = testing::compile_in_memory(line, train, with_plan);
  ASSERT_EQ(original.error_code, 0);
  std::string why;
  ASSERT_TRUE(testing::decode_files(original, files, &why)) << why;
}

// Compiles the descriptions the decompile wrote and checks that they give `files` byte for byte.
void expect_same_files(const DescriptionTexts& descriptions, const CompileState& files) {
  const bool with_plan = files.plan.allocated();
  const CompiledFiles again =
      testing::compile_in_memory(descriptions.line, descriptions.train, with_plan, files.line_name, files.train_number);
  EXPECT_EQ(again.error_code, 0);
  EXPECT_TRUE(again.track_cells == encode_track_cells(files));
  EXPECT_TRUE(again.scenario_record == encode_scenario_record(files));
  EXPECT_TRUE(again.line_record == (with_plan ? encode_line_plan(files.plan) : std::string()));
}

TEST(DecompileTest, EmbeddedScenarioRoundTrip) {
  for (bool with_plan : {false, true}) {
    SCOPED_TRACE(with_plan ? "with the plan" : "without the plan");
    const CompiledFiles original = testing::compile_in_memory(testing::embedded_line_description(),
                                                              testing::embedded_train_description(), with_plan);
    CompileState files;
    std::string why;
    ASSERT_TRUE(testing::decode_files(original, &files, &why)) << why;
    const DecompileResult result = decompile(files);
    EXPECT_TRUE(result.exact()) << findings_text(result.findings);
    const CompiledFiles again =
        testing::compile_in_memory(result.descriptions.line, result.descriptions.train, with_plan);
    EXPECT_EQ(again.error_code, 0);
    EXPECT_TRUE(again.track_cells == original.track_cells);
    EXPECT_TRUE(again.scenario_record == original.scenario_record);
    EXPECT_TRUE(again.line_record == original.line_record);
  }
}

// Compiles, decompiles, compiles again: the same bytes and no finding; and (every third seed)
// decompiling the second compile gives the same descriptions again.
TEST(DecompileTest, GeneratedScenariosRoundTrip) {
  for (uint64_t seed = 1; seed <= 300; ++seed) {
    const testing::GeneratedScenario scenario = testing::generate_scenario(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + "\n" + scenario.line + scenario.train);
    const CompiledFiles original = testing::compile_in_memory(scenario.line, scenario.train, scenario.with_plan);
    ASSERT_EQ(original.error_code, 0);
    CompileState files;
    std::string why;
    ASSERT_TRUE(testing::decode_files(original, &files, &why)) << why;
    const DecompileResult result = decompile(files);
    ASSERT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.line
                                << result.descriptions.train;
    const CompiledFiles again =
        testing::compile_in_memory(result.descriptions.line, result.descriptions.train, scenario.with_plan);
    ASSERT_EQ(again.error_code, 0);
    ASSERT_TRUE(again.track_cells == original.track_cells);
    ASSERT_TRUE(again.scenario_record == original.scenario_record);
    ASSERT_TRUE(again.line_record == original.line_record);
    if (seed % 3 != 0) continue;
    CompileState files_again;
    ASSERT_TRUE(testing::decode_files(again, &files_again, &why)) << why;
    const DecompileResult twice = decompile(files_again);
    EXPECT_EQ(twice.descriptions.line, result.descriptions.line);
    EXPECT_EQ(twice.descriptions.train, result.descriptions.train);
  }
}

// A cut-off record of 180 where the post-processing would put a point takes that cell from it, and
// the points after it inside the slowdown move: the decompile tells the rules' points from records.
TEST(DecompileTest, RecordsOfOneHundredEightyAreToldFromThePostProcessingPoints) {
  // A slowdown of 50 km/h from cell 101 to cell 141: the rules put points on 109, 117, 125, 133.
  const std::string line = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[fine]\r\n";
  for (const char* records : {"", "abbattimento, 5850, 180\r\n", "abbattimento, 5800, 180\r\n",
                              "abbattimento, 5850, 180\r\nabbattimento, 5800, 180\r\n",
                              "abbattimento, 5850, 180\r\nabbattimento, 6250, 180\r\n"}) {
    SCOPED_TRACE(records);
    const std::string train = std::string("[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n") +
                              "rallentamento, 5000, 50, 2000, 0, 0, 0\r\n" + records + "[fine]\r\n";
    CompileState files;
    compile_and_decode(line, train, false, &files);
    if (HasFatalFailure()) return;
    const DecompileResult result = decompile(files);
    EXPECT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.train;
    expect_same_files(result.descriptions, files);
  }
}

// The embedded descriptions come back as the program writes them, line for line (the curve rows
// aside: curves written back to back with one class and side would come back as one).
TEST(DecompileTest, EmbeddedScenarioComesBackAsWritten) {
  const CompiledFiles original =
      testing::compile_in_memory(testing::embedded_line_description(), testing::embedded_train_description(), true);
  CompileState files;
  std::string why;
  ASSERT_TRUE(testing::decode_files(original, &files, &why)) << why;
  const DecompileResult result = decompile(files);
  EXPECT_EQ(result.descriptions.train, testing::embedded_train_description());
  auto without_curves = [](const std::string& text) {
    std::vector<std::string> rows;
    for (std::string& row : testing::crlf_lines(text)) {
      if (!row.starts_with("curva")) rows.push_back(std::move(row));
    }
    return rows;
  };
  EXPECT_EQ(without_curves(result.descriptions.line), without_curves(testing::embedded_line_description()));
}

// A small scenario with one feature of each kind; its cells, for the edits below:
//   1 header; 15 and 123 stop markers (stations at 0 and 6000 m), 119 to 122 approach boards;
//   22 speed board; 31 line-side board (entry 80); 51 and 101 signals; 80 to 99 a marked mountain
//   stretch (markers on 83, 87, ...); 137 warning board, 161 start and 165 end of a slowdown;
//   cells 0 to 340.
constexpr const char* kSmallLine =
    "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\ncurvas5, 800, 100\r\ncurvad3, 2000, 500\r\n"
    "[pendenze]\r\npendenza, 0, 0\r\npendenza, 3000, 5\r\n[montagne]\r\nmontagna, 4000, 5000, 12\r\n"
    "[cartelli]\r\nindicatori_vmax, 1050, 100, 110, 120, 0, , , , 0\r\n"
    "[indicazioni]\r\ncartello_indicatore, 1500, (F)\r\n[fine]\r\n";
constexpr const char* kSmallTrain =
    "[generale]\r\nnumero vetture, 2\r\npercentuale massa frenata, 95\r\nsabbia, 60\r\norologio, 19 19 45\r\n"
    "[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\nvelocita, 0, 30\r\nvelocita, 1050, 140\r\n"
    "[stazioni]\r\nstazione, 0, 7, 800, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 19, 20, 0, MORVELLA\r\n"
    "stazione, 6000, 11, 400, 0, 0, 0, 1, 1, 0, 2, 1, 1, 30, 19, 25, 0, SAN VITORE\r\n"
    "[rallentamenti]\r\nrallentamento, 8000, 50, 200, 1, 0, 0\r\n"
    "[segnali]\r\nsegnale, 2500, 2, 3, 1, 0, 0, 2, 2, 1, 0, 0\r\nsegnale, 5000, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0\r\n"
    "[codici]\r\n[fine]\r\n";
constexpr int kLastCell = 340;

using Edit = std::function<void(CompileState&)>;

// The small scenario compiled (with or without the plan), decoded, edited by hand.
CompileState edited_small_scenario(const Edit& edit, bool with_plan) {
  const CompiledFiles original = testing::compile_in_memory(kSmallLine, kSmallTrain, with_plan);
  EXPECT_EQ(original.error_code, 0);
  CompileState files;
  std::string why;
  EXPECT_TRUE(testing::decode_files(original, &files, &why)) << why;
  EXPECT_EQ(files.cell_count, kLastCell);
  edit(files);
  return files;
}

TrackCell& cell(CompileState& files, int index) { return files.cells.at(static_cast<size_t>(index)); }

// Edits that look odd but that a description gives all the same: the decompile finds one.
TEST(DecompileTest, HandEditsThatADescriptionGivesAreExact) {
  struct Case {
    const char* name;
    Edit edit;
  };
  const Case cases[] = {
      {"one cell's gradient", [](CompileState& f) { cell(f, 200).gradient = 123; }},
      {"speed limits on the last three cells",
       [](CompileState& f) {
         cell(f, kLastCell - 2).speed_limit = 9;
         cell(f, kLastCell - 1).speed_limit = 7;
         cell(f, kLastCell).speed_limit = 5;
       }},
      {"gradient on the last cell only", [](CompileState& f) { cell(f, kLastCell).gradient = 1; }},
      {"adhesion on the cell before the last", [](CompileState& f) { cell(f, kLastCell - 1).adhesion = 40; }},
      {"a cut-off point without a value", [](CompileState& f) { cell(f, 250).kind = kCutOffPointZero; }},
      {"a cut-off point of 250",
       [](CompileState& f) {
         cell(f, 250).kind = kCutOffPoint;
         cell(f, 250).value_a = 250;
       }},
      {"a cut-off point of -3 (65533 in 16 bits)",
       [](CompileState& f) {
         cell(f, 250).kind = kCutOffPoint;
         cell(f, 250).value_a = -3;
       }},
      {"a cut-off point of 180 that no rule lays",
       [](CompileState& f) {
         cell(f, 250).kind = kCutOffPoint;
         cell(f, 250).value_a = 180;
       }},
      {"a speed board under a stop marker",
       [](CompileState& f) {
         cell(f, 123).value_b = 2005;
         cell(f, 123).value_c = -7;
         cell(f, 123).value_d = 31;
       }},
      {"a marked mountain stretch from cell 0 with markers out of step with it",
       [](CompileState& f) {
         for (int i = 0; i < 10; ++i) cell(f, i).montagna_tipo = 2;
         cell(f, 2).kind = kMountainMarker;
         cell(f, 6).kind = kMountainMarker;
       }},
      {"a marked mountain stretch from cell 0 whose first marker is on cell 0",
       [](CompileState& f) {
         for (int i = 0; i < 10; ++i) cell(f, i).montagna_tipo = 2;
         for (int i : {0, 4, 8}) cell(f, i).kind = kMountainMarker;
       }},
      {"an unmarked stretch of a type above 10 (stored in 8 bits)",
       [](CompileState& f) {
         for (int i = 200; i < 210; ++i) cell(f, i).montagna_tipo = 200;
       }},
      {"a signal time of 7 (tempo 263)", [](CompileState& f) { cell(f, 51).signal_time = 7; }},
      {"a line-side board under a stop marker, before the board that shows",
       [](CompileState& f) {
         cell(f, 31).value_a = 79;
         f.station_table[79].name = "(F)";
         f.station_table[80].name = "(P.L.)";
       }},
      {"two boards under stop markers, one of them without a text",
       [](CompileState& f) {
         cell(f, 31).value_a = 78;
         f.station_table[78].name = "(F)";
         f.station_table[79].name = "(Y)";
         f.station_table[80].name = "";
       }},
      {"a board under a stop marker after the board that shows",
       [](CompileState& f) { f.station_table[79].name = "(X)"; }},
  };
  for (const Case& c : cases) {
    for (bool with_plan : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (with_plan ? ", with the plan" : ""));
      const CompileState files = edited_small_scenario(c.edit, with_plan);
      const DecompileResult result = decompile(files);
      EXPECT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.line
                                  << result.descriptions.train;
      expect_same_files(result.descriptions, files);
    }
  }
}

// The "montagna" records of a line description, each as its three values without blanks.
std::vector<std::string> mountain_rows(const std::string& line) {
  std::vector<std::string> rows;
  for (const std::string& row : testing::crlf_lines(line)) {
    if (!row.starts_with("montagna")) continue;
    std::string values;
    for (const std::string& field : testing::comma_fields(row)) {
      if (field.starts_with("montagna")) continue;
      std::string value = field;
      std::erase(value, ' ');
      values += (values.empty() ? "" : ",") + value;
    }
    rows.push_back(values);
  }
  return rows;
}

// A stretch that begins within 150 m after the one before gets type 3 from the compile, whatever
// its record says; the decompile writes it with the type of the stretch it continues when that
// type (1 to 10, 10 more when marked) keeps the marking, else with 3.
TEST(DecompileTest, AStretchRightAfterAnotherTakesTheTypeItContinues) {
  struct Case {
    const char* first;   // the two records as written, the second 100 m after the first
    const char* second;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {"montagna, 4000, 5000, 1", "montagna, 5100, 6000, 7", {"4000,5000,1", "5100,6000,1"}},
      {"montagna, 4000, 5000, 10", "montagna, 5100, 6000, 2", {"4000,5000,10", "5100,6000,10"}},
      {"montagna, 4000, 5000, 11", "montagna, 5100, 6000, 12", {"4000,5000,11", "5100,6000,11"}},
      {"montagna, 4000, 5000, 1", "montagna, 5100, 6000, 12", {"4000,5000,1", "5100,6000,11"}},
      {"montagna, 4000, 5000, 20", "montagna, 5100, 6000, 2", {"4000,5000,20", "5100,6000,10"}},
      // Stored as 11 with markers: an unmarked record of type 11 would read as marked, so 3.
      {"montagna, 4000, 5000, 21", "montagna, 5100, 6000, 2", {"4000,5000,21", "5100,6000,3"}},
      // An unmarked type stored in eight bits as 200.
      {"montagna, 4000, 5000, -56", "montagna, 5100, 6000, 5", {"4000,5000,-56", "5100,6000,3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " / " + c.second);
    const std::string line = std::string("[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[montagne]\r\n") +
                             c.first + "\r\n" + c.second + "\r\n[fine]\r\n";
    CompileState files;
    compile_and_decode(line, kSmallTrain, false, &files);
    if (HasFatalFailure()) return;
    const DecompileResult result = decompile(files);
    EXPECT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.line;
    EXPECT_EQ(mountain_rows(result.descriptions.line), c.written);
    expect_same_files(result.descriptions, files);
  }
}

// Records written over earlier ones leave cells no record in the usual order gives: a mountain
// stretch reaching into or around a later one, a signal written after a signal it overwrites, a
// station's approach boards laid over a signal's. The decompile finds the order that gives them.
TEST(DecompileTest, RecordsWrittenOverEarlierOnesComeBackExact) {
  struct Case {
    const char* name;
    std::string mountains;  // the line's "montagna" records
    std::string train;      // the train's records after its speed limits
  };
  const std::string stations =
      "[stazioni]\r\nstazione, 0, 7, 800, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 19, 20, 0, MORVELLA\r\n"
      "stazione, 4200, 11, 400, 0, 0, 0, 1, 1, 0, 2, 1, 1, 30, 19, 25, 0, SAN VITORE\r\n";
  const std::string signal_3550 = "segnale, 3550, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
  const Case cases[] = {
      {"a stretch starting inside the one before",
       "montagna, 4000, 5500, 12\r\nmontagna, 5100, 6000, 11\r\n", stations},
      {"a stretch inside another", "montagna, 4000, 5500, 12\r\nmontagna, 4400, 4700, 5\r\n", stations},
      {"two stretches inside another",
       "montagna, 4000, 7000, 12\r\nmontagna, 4400, 4700, 5\r\nmontagna, 5500, 5800, 1\r\n", stations},
      {"a signal written after a later signal whose approach cells it overwrites", "",
       stations + "[segnali]\r\n" + signal_3550 + "segnale, 3450, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0\r\n"},
      {"a station's approach boards over a signal's approach cells", "",
       "[segnali]\r\nsegnale, 4500, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0\r\n" + stations},
      {"a signal over a station's boards and under another's", "",
       "[segnali]\r\nsegnale, 4500, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0\r\n" + stations +
           "[segnali]\r\nsegnale, 4400, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string line = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[montagne]\r\n" + c.mountains +
                             "[fine]\r\n";
    const std::string train =
        "[generale]\r\nnumero vetture, 2\r\norologio, 19 19 45\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n" +
        c.train + "[fine]\r\n";
    CompileState files;
    compile_and_decode(line, train, false, &files);
    if (HasFatalFailure()) return;
    const DecompileResult result = decompile(files);
    EXPECT_TRUE(result.exact()) << findings_text(result.findings) << result.descriptions.line
                                << result.descriptions.train;
    expect_same_files(result.descriptions, files);
  }
}

// Edits that no description gives: each is found, and named by its place.
TEST(DecompileTest, FilesNoDescriptionGivesAreFoundWhereTheyAre) {
  struct Case {
    Edit edit;
    bool with_plan;
    const char* place;
    const char* words;  // part of the finding
  };
  const Case cases[] = {
      {[](CompileState& f) { cell(f, 200).kind = 7; }, false, "cell 200 (9950 m)", "kind 7, which no record"},
      {[](CompileState& f) { cell(f, 250).kind = kSlowdownWarning; }, false, "cell 250 (12450 m)",
       "a slowdown warning board with no slowdown start 24 cells after it"},
      {[](CompileState& f) { cell(f, 250).kind = kSlowdownPrewarning; }, false, "cell 250 (12450 m)",
       "pre-warning cell that no warning board explains"},
      {[](CompileState& f) { cell(f, 250).kind = kSlowdownEnd; }, false, "cell 250 (12450 m)",
       "a slowdown end with no slowdown start"},
      {[](CompileState& f) { cell(f, 137).kind = kEmpty; }, false, "cell 161 (8000 m)",
       "without its warning board 24 cells before it"},
      {[](CompileState& f) { cell(f, 250).kind = kMountainMarker; }, false, "cell 250 (12450 m)",
       "marker outside every mountain stretch"},
      {[](CompileState& f) { cell(f, 85).kind = kMountainMarker; }, false, "cell 85 (4200 m)", "out of step"},
      {[](CompileState& f) { cell(f, 83).kind = kEmpty; }, false, "cell 83 (4100 m)",
       "an empty cell where its marked mountain stretch puts a marker"},
      // A stretch from cell 0 marked on cell 4 counts its markers from cell -3: cell 0 is one of them.
      {[](CompileState& f) {
         for (int i = 0; i < 10; ++i) cell(f, i).montagna_tipo = 2;
         cell(f, 4).kind = kMountainMarker;
         cell(f, 8).kind = kMountainMarker;
       },
       false, "cell 0 (-50 m)", "an empty cell where its marked mountain stretch puts a marker"},
      {[](CompileState& f) { cell(f, 5).kind = kSignal; }, false, "cell 5 (200 m)",
       "approach cells would lie before cell 0"},
      {[](CompileState& f) { cell(f, 43).approach_code = 3; }, false, "cell 43 (2100 m)",
       "an approach code that names no side code"},
      {[](CompileState& f) { cell(f, 31).value_a = 0; }, false, "cell 31 (1500 m)",
       "outside the boards' entries 1 to 80"},
      {[](CompileState& f) { cell(f, 31).value_a = 81; }, false, "cell 31 (1500 m)",
       "outside the boards' entries 1 to 80"},
      {[](CompileState& f) {
         cell(f, 31).value_a = 77;
         for (size_t k = 77; k <= 80; ++k) f.station_table[k].name = "(F)";
       },
       false, "entry 78", "no station's stop marker is left to have covered the board"},
      // Without stations the boards' entries reach down to entry 1, the lowest a board may hold.
      {[](CompileState& f) {
         f.station_table[1] = StationEntry();
         f.station_table[2] = StationEntry();
         f.station_table[1].name = "(F)";
       },
       false, "entry 1", "no station's stop marker is left to have covered the board"},
      // Two board cells naming one entry: the later cell is the one at fault.
      {[](CompileState& f) {
         cell(f, 250).kind = kBoardText;
         cell(f, 250).value_a = 80;
       },
       false, "cell 250 (12450 m)", "which a board before it names already"},
      {[](CompileState& f) { cell(f, 1).value_a = 5120; }, false, "cell 1 (0 m)",
       "value_a is 5120 in the file, 5121 from the description"},
      {[](CompileState& f) { f.station_table[0].name = "X"; }, false, "entry 0",
       "the name is 'X' in the file, '' from the description"},
      {[](CompileState& f) { f.station_table[1].name = "A,B"; }, false, "entry 1", "station name holds a comma"},
      {[](CompileState& f) { f.station_table[80].name = " (F)"; }, false, "entry 80", "blanks around it"},
      {[](CompileState& f) { f.station_table[1].area_end = 700; }, false, "entry 1",
       "area_end is 700 in the file, 800 from the description"},
      {[](CompileState& f) { f.station_table[kEntryTrain].area_end = 5; }, false, "entry 84",
       "the line length 5 m gives cells 0 to 140, the track cells run from 0 to 340"},
      {[](CompileState& f) { ++f.station_table[kEntryLine].time_seconds; }, false, "entry 85", "time_seconds is"},
      {[](CompileState& f) { f.station_table[kEntryRepetition].position = 7; }, false, "entry 86",
       "a signal repetition of 7 codes"},
      {[](CompileState& f) {
         f.station_table[kEntryProgressionTre].area_start = 100;
         f.station_table[kEntryProgressionDue].area_start = 200;
       },
       false, "entry 81", "in no order that the compile's ordering gives"},
      {[](CompileState& f) {
         LinePlan plan;
         plan.allocate(f.plan.plan_length());
         plan.start();
         for (int32_t m = 2; m < f.plan.next_metre(); ++m)
           plan.append(f.plan.x(m) + (m == 1000 ? 1e-9 : 0.0), f.plan.y(m));
         f.plan = plan;
       },
       true, "metre 1000", "no curve class, nor the straight, gives this point"},
      // The plans are compared a block of 4096 points at a time from metre 2: the first point of the
      // second block, and the plan's last point.
      {[](CompileState& f) {
         LinePlan plan;
         plan.allocate(f.plan.plan_length());
         plan.start();
         for (int32_t m = 2; m < f.plan.next_metre(); ++m)
           plan.append(f.plan.x(m) + (m == 4098 ? 1e-9 : 0.0), f.plan.y(m));
         f.plan = plan;
       },
       true, "metre 4098", "the point is ("},
      {[](CompileState& f) {
         LinePlan plan;
         plan.allocate(f.plan.plan_length());
         plan.start();
         for (int32_t m = 2; m < f.plan.next_metre(); ++m)
           plan.append(f.plan.x(m), f.plan.y(m) + (m == f.plan.next_metre() - 1 ? 1e-9 : 0.0));
         f.plan = plan;
       },
       true, "metre 16998", "the point is ("},
      {[](CompileState& f) {
         LinePlan plan;
         plan.allocate(f.plan.plan_length());
         plan.start();
         for (int32_t m = 2; m < 15000; ++m) plan.append(f.plan.x(m), f.plan.y(m));
         f.plan = plan;
       },
       true, "line record", "the plan holds points to metre 14999 in the file, to 16998 from the description"},
      {[](CompileState& f) {
         LinePlan plan;
         plan.allocate(f.plan.plan_length() + 2000);
         plan.start();
         for (int32_t m = 2; m <= plan.plan_length() - 2; ++m) plan.append(0.0, m);
         f.plan = plan;
       },
       true, "line record", "the plan runs to metre 19000, a line of 10000 m has one to metre 17000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.place) + ": " + c.words);
    const CompileState files = edited_small_scenario(c.edit, c.with_plan);
    const DecompileResult result = decompile(files);
    bool found = false;
    for (const Finding& finding : result.findings.kept()) {
      found = found || (finding.place == c.place && finding.words.find(c.words) != std::string::npos);
    }
    EXPECT_TRUE(found) << findings_text(result.findings);
    // The closest descriptions are still descriptions: they compile, line and train alike.
    const CompiledFiles closest =
        testing::compile_in_memory(result.descriptions.line, result.descriptions.train, c.with_plan);
    EXPECT_FALSE(closest.track_cells.empty());
  }
}

}  // namespace
}  // namespace scenario
