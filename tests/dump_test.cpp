#include "render/dump.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "format/binary_outputs.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::run_split;
using testing::tool;

// Eight cells: the header in cell 1, a signal, an approach code, a gradient change, a slowdown
// start, a kind with no name, a mountain stretch and a board.
std::vector<TrackCell> small_cells() {
  std::vector<TrackCell> cells(8);
  for (TrackCell& cell : cells) {
    cell.speed_limit = 6;
    cell.gradient = 100;
    cell.adhesion = 100;
  }
  cells[1].value_a = 5121;
  cells[1].value_b = 2422;
  cells[2] = {kSignal, 32, 11, 0, 8, 101, 0, 0, 6, 100, 100};
  for (size_t i = 4; i < 8; ++i) cells[i].gradient = 97;
  cells[4].approach_code = 81;
  cells[5].kind = kSlowdownStart;
  cells[5].value_a = 50;
  cells[5].value_c = 1;
  cells[6].kind = 7;
  cells[6].montagna_tipo = 2;
  cells[7].kind = kBoardText;
  cells[7].value_a = 80;
  cells[7].montagna_tipo = 2;
  return cells;
}

// A station, a second station whose name needs escaping, a board and the header.
ScenarioRecord small_record() {
  ScenarioRecord r;
  r[1].station_type = 7;
  r[1].area_start = -800;
  r[1].area_end = 800;
  r[1].option_a = 1;
  r[1].name = "MORVELLA C.LE";
  r[1].group1_a = 4;
  r[1].time_seconds = 69600;
  r[2].position = 1450;
  r[2].name = "Citt\xec \"Alta\"\\\x01";
  r[80].name = "(P.L.A.  )(Km 3+311)";
  r[84].area_start = 150;
  r[84].area_end = 124000;
  r[84].position = 8;
  r[85].name = "Linea";
  r[85].group1_a = 610;
  r[85].group1_b = 3;
  r[85].time_seconds = 33517;
  r[86].name = "77";
  r[86].area_end = 1000;
  r[86].position = 4;
  r[86].group2_a = 19;
  r[86].group2_b = 20;
  return r;
}

TEST(DumpTrackCells, ShowsCellsThatHoldSomethingOrChangeTheirStretch) {
  EXPECT_EQ(dump_track_cells_text(small_cells()),
            "track cells: 8 cells, 0 to 7; a feature on cell i stands at 50 * (i - 1) m, the stretch values of "
            "cell i hold from 50 * i m\n"
            "cell 0: stretch from 0 m (Km 0+000): speed_limit 6 (30 km/h), gradient 100 (0 per mille), adhesion "
            "100, montagna_tipo 0\n"
            "cell 1 at 0 m (Km 0+000): value_a 5121 (header constant), value_b 2422 (first check code)\n"
            "cell 2 at 50 m (Km 0+050): kind 1 signal, value_a 32, value_b 11, value_c 0, value_d 8, signal_time 101; "
            "meaning: left side sx 2, aspects s1 3, s2 1, s3 0; right side dx 2, aspects d1 2, d2 1, d3 0; "
            "repetition rapp 0; time tempo 1 to 100 (stored as 101); no signal after it\n"
            "cell 4 at 150 m (Km 0+150): approach_code 81; stretch from 200 m (Km 0+200): speed_limit 6 (30 km/h), "
            "gradient 97 (-3 per "
            "mille), adhesion 100, montagna_tipo 0\n"
            "cell 5 at 200 m (Km 0+200): kind 3 slowdown_start, value_a 50 (slowdown speed 50 km/h), value_b 0, "
            "value_c 1\n"
            "cell 6 at 250 m (Km 0+250): kind 7 unused_code; stretch from 300 m (Km 0+300): speed_limit 6 (30 "
            "km/h), gradient 97 (-3 per "
            "mille), adhesion 100, montagna_tipo 2\n"
            "cell 7 at 300 m (Km 0+300): kind 14 board_text, value_a 80 (board entry 80)\n");
}

// A signal's line says what its values mean, after its stretch when that changes there too, and
// how far the next signal stands.
TEST(DumpTrackCells, SignalsInTheTermsOfTheSignalRecord) {
  std::vector<TrackCell> cells = small_cells();
  cells[6] = {kSignal, 53, 60, 0, 4, 0, 0, 2, 6, 97, 100};  // sx 1, dx 1: no time kept
  const std::string text = dump_track_cells_text(cells);
  EXPECT_NE(text.find("signal_time 101; meaning: left side sx 2, aspects s1 3, s2 1, s3 0; right side dx 2, "
                      "aspects d1 2, d2 1, d3 0; repetition rapp 0; time tempo 1 to 100 (stored as 101); next "
                      "signal 200 m on\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("cell 6 at 250 m (Km 0+250): kind 1 signal, value_a 53, value_b 60, value_c 0, value_d 4, "
                      "signal_time 0; stretch from 300 m (Km 0+300): speed_limit 6 (30 km/h), gradient 97 (-3 per "
                      "mille), adhesion 100, "
                      "montagna_tipo 2; meaning: left side sx 1, aspects s1 5, s2 6, s3 0; right side dx 1, aspects "
                      "d1 3, d2 0, d3 0; repetition rapp 0; no time kept (only sx 2 keeps tempo); no signal after "
                      "it\n"),
            std::string::npos)
      << text;
}

// The last three cells, which no record's stretch reaches, say so rather than show the zeros as a
// gradient of -100 per mille; holding values all the same, they show them.
TEST(DumpTrackCells, TheLastCellsSayTheyHoldNoStretchValue) {
  std::vector<TrackCell> cells(8);
  for (size_t i = 0; i < 5; ++i) {
    cells[i].gradient = 100;
    cells[i].speed_limit = 6;
  }
  const std::string text = dump_track_cells_text(cells);
  EXPECT_NE(text.find("cell 5: stretch from 250 m (Km 0+250): none (past the line's end, where no record sets a "
                      "stretch value)\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("-100 per mille"), std::string::npos);
  cells[6].gradient = 1;
  EXPECT_NE(dump_track_cells_text(cells).find("cell 6: stretch from 300 m (Km 0+300): speed_limit 0 (0 km/h), "
                                              "gradient 1 (-99 per mille)"),
            std::string::npos);
}

TEST(DumpScenarioRecord, ShowsOneBlockPerEntryWithItsMeaning) {
  EXPECT_EQ(dump_scenario_record_text(small_record()),
            "scenario record: 87 entries, 0 to 86\n"
            "entry 0: empty\n"
            "entry 1: station\n"
            "  station_type: 7\n"
            "  area_start: -800 m (Km -0+800)\n"
            "  area_end: 800 m (Km 0+800)\n"
            "  position: 0 m (Km 0+000)\n"
            "  option_a: 1\n"
            "  name: \"MORVELLA C.LE\"\n"
            "  group1_a: 4\n"
            "  group1_b: 0\n"
            "  group2_a: 0\n"
            "  group2_b: 0\n"
            "  group2_c: 0\n"
            "  group1_c: 0\n"
            "  stop_value: 0\n"
            "  option_c: 0\n"
            "  option_b: 0\n"
            "  time_seconds: 69600 (19:20:00)\n"
            "entry 2: station\n"
            "  station_type: 0\n"
            "  area_start: 0 m (Km 0+000)\n"
            "  area_end: 0 m (Km 0+000)\n"
            "  position: 1450 m (Km 1+450)\n"
            "  option_a: 0\n"
            "  name: \"Citt\xc3\xac \\\"Alta\\\"\\\\\\u0001\"\n"
            "  group1_a: 0\n"
            "  group1_b: 0\n"
            "  group2_a: 0\n"
            "  group2_b: 0\n"
            "  group2_c: 0\n"
            "  group1_c: 0\n"
            "  stop_value: 0\n"
            "  option_c: 0\n"
            "  option_b: 0\n"
            "  time_seconds: 0 (00:00:00)\n"
            "entries 3 to 79: empty\n"
            "entry 80: line-side board\n"
            "  name: \"(P.L.A.  )(Km 3+311)\"\n"
            "entry 81: header\n"
            "  kilometric progression tre (area_start, area_end, position): first 0 m (Km 0+000), second 0 m (Km "
            "0+000), third 0\n"
            "entry 82: header\n"
            "  kilometric progression due (area_start, area_end, position): first 0 m (Km 0+000), second 0 m (Km "
            "0+000), third 0\n"
            "entry 83: header\n"
            "  kilometric progression uno (area_start, area_end, position): first 0 m (Km 0+000), second 0 m (Km "
            "0+000), third 0\n"
            "entry 84: header\n"
            "  braked mass percentage (area_start): 150\n"
            "  line length (area_end): 124000 m (Km 124+000)\n"
            "  number of cars (position): 8\n"
            "entry 85: header\n"
            "  background one (area_start): 0\n"
            "  background two (position): 0\n"
            "  background three (area_end): 0\n"
            "  line name (name): \"Linea\"\n"
            "  header constant (group1_a): 610\n"
            "  check code (time_seconds): 33517\n"
            "  group1_b: 3\n"
            "entry 86: header\n"
            "  signal repetition from (area_start): 0 m (Km 0+000)\n"
            "  signal repetition to (area_end): 1000 m (Km 1+000)\n"
            "  signal repetition codes (position): 4\n"
            "  train number (name): \"77\"\n"
            "  sand (group1_a): 0\n"
            "  start clock (group2_a, group2_b, group2_c): 19:20:00\n");
}

TEST(DumpLinePlan, ShowsItsShapeAndEveryStepWithTheLastComputedMetre) {
  LinePlan plan;
  plan.allocate(6);
  plan.start();
  plan.append(-0.002, 2);
  plan.append(-0.006, 2.999996);
  EXPECT_EQ(dump_line_plan_text(plan, 2),
            "line record: plan of metres 0 to 6, 14 elements\n"
            "metres 0 and 1: 16-bit integers; doubles from metre 2 to 3; empty from metre 4 to 6\n"
            "metre 0 (Km 0+000): x 0.000, y 0.000\n"
            "metre 2 (Km 0+002): x -0.002, y 2.000\n"
            "metre 3 (Km 0+003): x -0.006, y 3.000\n");
  LinePlan unstarted;
  unstarted.allocate(3);
  EXPECT_EQ(dump_line_plan_text(unstarted, 50),
            "line record: plan of metres 0 to 3, 8 elements\n"
            "all elements empty: the plan was sized but never computed\n");
  EXPECT_EQ(dump_line_plan_text(LinePlan(), 50), "line record: no plan (the line length was never read)\n");
}

TEST(DumpPositions, KilometresAndClocksAsOnTheBoards) {
  struct Case {
    int64_t metres;
    const char* text;
  };
  for (const Case& c : {Case{0, "Km 0+000"}, Case{1452, "Km 1+452"}, Case{124000, "Km 124+000"},
                        Case{-50, "Km -0+050"}, Case{-1452, "Km -1+452"}, Case{999, "Km 0+999"}}) {
    EXPECT_EQ(kilometre_text(c.metres), c.text);
  }
  EXPECT_EQ(clock_text(69600), "19:20:00");
  EXPECT_EQ(clock_text(3661), "01:01:01");
  EXPECT_EQ(clock_text(90000), "25:00:00");
  EXPECT_EQ(clock_text(-61), "-00:01:01");
}

// Checks the JSON with Python's own parser and a few of its values.
void expect_json(const std::string& json, const std::string& python_checks) {
  TempFolder folder;
  write_whole_file(folder.file("dump.json"), json);
  write_whole_file(folder.file("check.py"), "import json, sys\nd = json.load(open(sys.argv[1], encoding='utf-8'))\n" +
                                                python_checks + "\nprint('checked')\n");
  std::string output;
  const int status = run_command("python3 " + folder.file("check.py") + " " + folder.file("dump.json"), &output);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("checked"), std::string::npos) << output;
}

TEST(DumpJson, ScenarioRecordParsesWithNamesEscapedAndMeanings) {
  expect_json(dump_scenario_record_json(small_record()),
              "e = d['entries']\n"
              "assert len(e) == 87\n"
              "assert e[2]['name'] == 'Citt\\u00ec \"Alta\"\\\\\\x01', repr(e[2]['name'])\n"
              "assert e[1]['role'] == 'station' and e[1]['time_seconds'] == 69600 and e[1]['area_start'] == -800\n"
              "assert e[80]['role'] == 'line-side board' and e[0]['role'] == 'empty'\n"
              "assert e[84]['meanings']['line length'] == '124000 m (Km 124+000)'\n"
              "assert e[85]['meanings']['line name'] == 'Linea' and e[85]['group1_b'] == 3\n"
              "assert e[86]['meanings']['start clock'] == '19:20:00'");
}

TEST(DumpJson, TrackCellsAndPlanParseWithExactNumbers) {
  expect_json(dump_track_cells_json(small_cells()),
              "c = d['cells']\n"
              "assert d['number_of_cells'] == 8 and len(c) == 8\n"
              "assert c[0]['metres'] == -50 and c[0]['km'] == 'Km -0+050'\n"
              "assert c[2]['kind_name'] == 'signal' and c[2]['value_d'] == 8 and c[2]['signal_time'] == 101\n"
              "assert c[4]['gradient_per_mille'] == -3 and c[4]['speed_limit_kmh'] == 30\n"
              "assert c[6]['kind'] == 7 and c[6]['kind_name'] == ''");
  LinePlan plan;
  plan.allocate(6);
  plan.start();
  plan.append(-0.1, 2.999996);
  plan.append(std::numeric_limits<double>::quiet_NaN(), 1e300);
  expect_json(dump_line_plan_json(plan, 1),
              "p = d['points']\n"
              "assert [q['metre'] for q in p] == [0, 1, 2, 3]\n"
              "assert p[2]['x'] == -0.1 and p[2]['y'] == 2.999996\n"
              "assert p[3]['x'] is None and p[3]['y'] == 1e300\n"
              "assert d['plan_length'] == 6 and d['last_computed_metre'] == 3");
  expect_json(dump_track_cells_json({}), "assert d['cells'] == []");
  expect_json(dump_line_plan_json(LinePlan(), 50), "assert d['points'] == [] and d['allocated'] is False");
}

// --- the command ---


TEST(DumpCommand, DumpsEachFileByItsNameAndIsSilentOnStandardError) {
  TempFolder folder;
  CompileState state;
  state.cells = small_cells();
  state.station_table = small_record();
  state.plan.allocate(6);
  state.plan.start();
  write_whole_file(folder.file("L_7.dat"), encode_track_cells(state));
  write_whole_file(folder.file("L_7.sim"), encode_scenario_record(state));
  write_whole_file(folder.file("L_linea.dat"), encode_line_plan(state.plan));

  std::string out, err;
  EXPECT_EQ(run_split(tool() + " dump " + folder.file("L_7.dat"), &out, &err), 0) << err;
  EXPECT_EQ(out, dump_track_cells_text(state.cells));
  EXPECT_EQ(err, "");
  EXPECT_EQ(run_split(tool() + " dump --format json " + folder.file("L_7.sim"), &out, &err), 0) << err;
  EXPECT_EQ(out, dump_scenario_record_json(state.station_table));
  EXPECT_EQ(err, "");
  EXPECT_EQ(run_split(tool() + " dump " + folder.file("L_linea.dat") + " --step 1", &out, &err), 0) << err;
  EXPECT_EQ(out, dump_line_plan_text(state.plan, 1));

  // --kind for names that do not tell, or tell wrong.
  write_whole_file(folder.file("cells.bin"), encode_track_cells(state));
  EXPECT_EQ(run_split(tool() + " dump --kind dat " + folder.file("cells.bin"), &out, &err), 0) << err;
  EXPECT_EQ(out, dump_track_cells_text(state.cells));
  write_whole_file(folder.file("plan.dat"), encode_line_plan(state.plan));
  EXPECT_EQ(run_split(tool() + " dump --kind plan " + folder.file("plan.dat"), &out, &err), 0) << err;
  EXPECT_EQ(out, dump_line_plan_text(state.plan, 50));

  EXPECT_EQ(run_split(tool() + " dump --verbose " + folder.file("L_7.sim"), &out, &err), 0);
  EXPECT_NE(err.find("read " + folder.file("L_7.sim") + ", "), std::string::npos) << err;
  EXPECT_NE(err.find("decoded 87 scenario record entries ("), std::string::npos) << err;
  EXPECT_NE(err.find("formatted text, "), std::string::npos) << err;
  EXPECT_NE(err.find(" ms)\n"), std::string::npos) << err;
}

TEST(DumpCommand, BadUsageIs64AndFileErrorsAre3WithPathAndReason) {
  TempFolder folder;
  write_whole_file(folder.file("cut.dat"), std::string(20, '\0'));
  write_whole_file(folder.file("notes.txt"), "x");
  struct Case {
    std::string arguments;
    int status;
    std::string words;
  };
  const std::vector<Case> cases = {
      {"", 64, "FILE is required"},
      {folder.file("notes.txt"), 64, "cannot tell the kind of"},
      {folder.file("notes.txt"), 64, "or give --kind dat|sim|plan"},
      {folder.file("cut.dat") + " --kind txt", 64, "--kind: txt not in {dat,sim,plan}"},
      {folder.file("cut.dat") + " --format xml", 64, "--format: xml not in {text,json}"},
      {folder.file("cut.dat") + " --step 0", 64, "--step: needs a whole number"},
      {folder.file("cut.dat") + " --step=-5", 64, "--step: needs a whole number of metres, 1 or more, not '-5'"},
      {folder.file("cut.dat") + " --step 99999999999", 64, "not '99999999999'"},
      {folder.file("cut.dat") + " --bogus", 64, "not expected: --bogus"},
      {folder.file("cut.dat") + " " + folder.file("cut.dat"), 64, "not expected: " + folder.file("cut.dat")},
      {folder.file("missing.sim"), 3, "'" + folder.file("missing.sim") + "': "},
      {folder.file("cut.dat"), 3, "'" + folder.file("cut.dat") + "': at byte 15: cell 1 is cut short: 5 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string out, err;
    EXPECT_EQ(run_split(tool() + " dump " + c.arguments, &out, &err), c.status);
    EXPECT_NE(err.find("scenario_tool dump: "), std::string::npos) << err;
    EXPECT_NE(err.find(c.words), std::string::npos) << err;
    EXPECT_EQ(out, "");
  }
}

// The files that scenario_build leaves: every dump works, and the JSON parses.
TEST(DumpCommand, WorksOnTheFilesTheCompilerLeaves) {
  TempFolder folder;
  std::filesystem::copy_file(SCENARIO_BUILD_BIN, folder.file("scenario_build"));
  std::string output;
  const int built = run_command("cd " + folder.path() + " && ./scenario_build", &output);
  ASSERT_LT(built, 2) << output;
  const std::string names[] = {"MorvellaC_DrasconaX_5521.dat", "MorvellaC_DrasconaX_5521.sim",
                               "MorvellaC_DrasconaX_linea.dat"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    std::string out, err;
    ASSERT_EQ(run_split(tool() + " dump " + folder.file(name), &out, &err), 0) << err;
    EXPECT_FALSE(out.empty());
    ASSERT_EQ(run_split(tool() + " dump --format json " + folder.file(name), &out, &err), 0) << err;
    expect_json(out, "assert d['file'] in ('track cells', 'scenario record', 'line record')");
  }
  std::string out, err;
  ASSERT_EQ(run_split(tool() + " dump " + folder.file(names[1]), &out, &err), 0);
  EXPECT_NE(out.find("  line length (area_end): 124000 m (Km 124+000)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  line name (name): \"MorvellaC_DrasconaX\"\n"), std::string::npos);
  EXPECT_NE(out.find("  check code (time_seconds): 33517\n"), std::string::npos);
  ASSERT_EQ(run_split(tool() + " dump " + folder.file(names[0]), &out, &err), 0);
  EXPECT_NE(out.find("cell 1 at 0 m (Km 0+000): value_a 5121 (header constant), value_b 2422 (first check code)"),
            std::string::npos);
  ASSERT_EQ(run_split(tool() + " dump " + folder.file(names[2]), &out, &err), 0);
  EXPECT_NE(out.find("doubles from metre 2 to 130998; empty from metre 130999 to 131000\n"), std::string::npos);
  EXPECT_NE(out.find("metre 800 (Km 0+800): x 0.000, y 800.000\n"), std::string::npos);
}

}  // namespace
}  // namespace scenario
