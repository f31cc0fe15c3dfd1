// doc/description-format.md lists every compile error and every warning of the check; its two
// tables are the catalogue's, row for row, so that the document cannot drift from the program.
// The numbers the document states about what the compile does are held to the compile: each row
// quotes the document's words and compiles a small pair of descriptions that shows them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compiler/check_findings.h"
#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

std::string format_document() {
  return testing::read_whole_file(std::string(SCENARIO_SOURCE_DIR) + "/doc/description-format.md");
}

// The text between the two marker comments named `name`.
std::string between_markers(const std::string& document, const std::string& name) {
  const std::string begin = "<!-- " + name + " begin -->\n";
  const std::string end = "<!-- " + name + " end -->";
  const size_t from = document.find(begin);
  const size_t to = document.find(end);
  if (from == std::string::npos || to == std::string::npos || to < from) return "(markers " + name + " missing)";
  return document.substr(from + begin.size(), to - from - begin.size());
}

std::string error_table() {
  std::string table = "| number | with a position | what went wrong |\n|---|---|---|\n";
  for (const ErrorDescription& error : error_catalogue()) {
    table += "| " + std::to_string(error_code(error.number)) + " | " + (error.has_position ? "yes" : "no") + " | " +
             error.words + " |\n";
  }
  return table;
}

std::string warning_table() {
  std::string table = "| name | what it finds |\n|---|---|\n";
  for (const WarningKind& warning : warning_kinds()) {
    table += "| `" + std::string(warning.name) + "` | " + warning.summary + " |\n";
  }
  return table;
}

TEST(FormatDocumentTest, TablesAreTheCataloguesOwn) {
  const std::string document = format_document();
  EXPECT_EQ(between_markers(document, "error table"), error_table());
  EXPECT_EQ(between_markers(document, "warning table"), warning_table());
}

// A 12,000 m line with `body` after its general section.
std::string line_of(const std::vector<std::string>& body, const std::string& general = "lunghezza percorso, 12000") {
  std::vector<std::string> rows = {"[generale]", general, "[curve]"};
  rows.insert(rows.end(), body.begin(), body.end());
  rows.push_back("[fine]");
  return testing::lines(rows);
}

// A train with a speed limit and an adhesion from 0, then `records`.
std::string train_of(const std::vector<std::string>& records) {
  std::vector<std::string> rows = {"[generale]", "velocita, 0, 60", "aderenza, 0, 100"};
  rows.insert(rows.end(), records.begin(), records.end());
  rows.push_back("[fine]");
  return testing::lines(rows);
}

struct Compiled {
  CompileState state;
  CompileResult result;
  int32_t error() const { return state.error().ErrorCode; }
  template <typename Index>
  const TrackCell& cell(Index index) const {
    return state.cells.at(static_cast<size_t>(index));
  }
  const StationEntry& entry(size_t index) const { return state.station_table.at(index); }
};

Compiled compiled(const std::string& line, const std::string& train, bool plan = false) {
  Compiled out;
  out.state.line_name = "L";
  out.state.train_number = "1";
  out.result = compile(out.state, plan, Description{"L_linea.txt", true, line}, Description{"L_1-.txt", true, train});
  return out;
}

// `count` stations of type 25 and no platform, 400 m apart from 400 m.
std::vector<std::string> halts(int count) {
  std::vector<std::string> rows;
  for (int i = 1; i <= count; ++i) {
    rows.push_back("stazione, " + std::to_string(400 * i) + ", 25, 0, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, H" +
                   std::to_string(i));
  }
  return rows;
}

std::vector<std::string> boards(int count) {
  std::vector<std::string> rows;
  for (int i = 1; i <= count; ++i) rows.push_back("cartello_indicatore, " + std::to_string(100 * i) + ", (B)");
  return rows;
}

struct Claim {
  const char* words;  // as the document states it (its line breaks are blanks)
  std::function<void()> holds;
};

// The text with every run of blanks and line ends as one blank, so that a claim does not depend on
// where the document's lines are broken.
std::string one_line(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool blank = c == ' ' || c == '\n' || c == '\r';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

TEST(FormatDocumentTest, StatedNumbersHoldInTheCompile) {
  const std::string document = one_line(format_document());
  const std::string empty_line = line_of({});
  const std::string plain_train = train_of({});
  const std::string station_0 = "stazione,       0,  7,  400,  1, 0, 0,  4,1,0,  2,1,1,    1,   8, 0, 0, VALBRUNA";
  const std::string station_5000 = "stazione,    5000, 11,  300,  0, 0, 0,  1,1,0,  4,1,1,   30,   8, 6, 0, CASTAGNETO";
  const Claim claims[] = {
      {"A 12,000 m line has cells 0 to 380.",
       [&] { EXPECT_EQ(compiled(empty_line, plain_train).state.cells.size(), 381u); }},
      {"cells N − 2 to N hold no stretch value",
       [&] {
         const Compiled c = compiled(empty_line, plain_train);
         EXPECT_EQ(c.cell(377).gradient, 100);
         EXPECT_EQ(c.cell(377).speed_limit, 12);
         for (size_t i = 378; i <= 380; ++i) EXPECT_EQ(c.cell(i).gradient + c.cell(i).speed_limit + c.cell(i).adhesion, 0);
       }},
      {"`velocita, 0, 1277` is the highest speed stored (as 1275 km/h), and −1 and −2 are stored as 0",
       [&] {
         const Compiled highest = compiled(empty_line, train_of({"velocita, 1000, 1277"}));
         EXPECT_EQ(highest.error(), 0);
         EXPECT_EQ(highest.cell(100).speed_limit, 255);
         const Compiled minus_two = compiled(empty_line, train_of({"velocita, 1000, -2"}));
         EXPECT_EQ(minus_two.error(), 0);
         EXPECT_EQ(minus_two.cell(100).speed_limit, 0);
       }},
      {"(1278 km/h and above, −3 and below) is error 25",
       [&] {
         EXPECT_EQ(compiled(empty_line, train_of({"velocita, 1000, 1278"})).error(), 25);
         EXPECT_EQ(compiled(empty_line, train_of({"velocita, 1000, -3"})).error(), 25);
       }},
      {"a speed that a later record at the same cell replaces before any cell takes it passes unseen",
       [&] { EXPECT_EQ(compiled(empty_line, train_of({"velocita, 0, 5000", "velocita, 0, 100"})).error(), 0); }},
      {"stored rounded (83 as 85, 82 as 80",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"velocita, 1000, 83", "velocita, 2000, 82"}));
         EXPECT_EQ(speed_kmh(c.cell(20).speed_limit), 85);
         EXPECT_EQ(speed_kmh(c.cell(40).speed_limit), 80);
       }},
      {"from cell 20, which covers 1,000 to 1,050 m",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"velocita, 1000, 100"}));
         EXPECT_EQ(speed_kmh(c.cell(19).speed_limit), 60);
         EXPECT_EQ(speed_kmh(c.cell(20).speed_limit), 100);
       }},
      {"156 is stored as −100, −101 as 155",
       [&] {
         const Compiled c = compiled(line_of({"pendenza, 0, 156", "pendenza, 1000, -101"}), plain_train);
         EXPECT_EQ(gradient_per_mille(c.cell(0).gradient), -100);
         EXPECT_EQ(gradient_per_mille(c.cell(20).gradient), 155);
       }},
      {"8 per mille from 1,500 m (cell 30)",
       [&] {
         const Compiled c = compiled(line_of({"pendenza, 0, 0", "pendenza, 1500, 8"}), plain_train);
         EXPECT_EQ(gradient_per_mille(c.cell(29).gradient), 0);
         EXPECT_EQ(gradient_per_mille(c.cell(30).gradient), 8);
       }},
      {"256 is stored as 0",
       [&] { EXPECT_EQ(compiled(empty_line, train_of({"aderenza, 1000, 256"})).cell(20).adhesion, 0); }},
      {"| 5, 6 (short) | p − L | p + 150 | yes | no |",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"stazione, 2000, 5, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S"}));
         EXPECT_EQ(c.entry(1).area_start, 1600);
         EXPECT_EQ(c.entry(1).area_end, 2150);
         EXPECT_EQ(c.cell(42).kind, kStopMarker);
         EXPECT_EQ(c.cell(41).approach_code, 0);
       }},
      {"| 7, 8 (origin) | p − L | p + L | yes | yes |",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"stazione, 2000, 8, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S"}));
         EXPECT_EQ(c.entry(1).area_start, 1600);
         EXPECT_EQ(c.entry(1).area_end, 2400);
       }},
      {"| any other below 25 | p − L / 2 | p + L / 2, + 50 with flag c | yes | yes |",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"stazione, 1000, 11, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
                                                           "stazione, 2000, 11, 400, 0,0,1, 0,0,0, 0,0,0, 0, 0,0,0, B"}));
         EXPECT_EQ(c.entry(2).area_start, 1800);
         EXPECT_EQ(c.entry(2).area_end, 2250);
       }},
      {"| 25 and above | p − L / 2 | p + L / 2, + 50 with flag c | no | no |",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"stazione, 2000, 25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S"}));
         EXPECT_EQ(c.entry(1).area_end, 2200);
         for (const TrackCell& cell : c.state.cells) EXPECT_NE(cell.kind, kStopMarker);
       }},
      {"its stop marker is on cell 7 (at 300 m) with the approach codes on cells 6 to 3, and it departs at 08:00:00. "
       "The second's area runs from 4,850 to 5,150 m, its stop marker on cell 102 (at 5,050 m)",
       [&] {
         const Compiled c = compiled(empty_line, train_of({station_0, station_5000}));
         EXPECT_EQ(c.error(), 0);
         EXPECT_EQ(c.entry(1).area_start, -400);
         EXPECT_EQ(c.entry(1).area_end, 400);
         EXPECT_EQ(c.cell(7).kind, kStopMarker);
         EXPECT_EQ(cell_metres(7), 300);
         for (int j = 1; j <= 4; ++j) EXPECT_EQ(c.cell(7 - j).approach_code, 80 + j);
         EXPECT_EQ(c.entry(1).time_seconds, 8 * 3600);
         EXPECT_EQ(c.entry(2).area_start, 4850);
         EXPECT_EQ(c.entry(2).area_end, 5150);
         EXPECT_EQ(c.cell(102).kind, kStopMarker);
         EXPECT_EQ(c.cell(102).value_a, 2);
         EXPECT_EQ(cell_metres(102), 5050);
       }},
      {"so the next may start at 5,500 m, that is, for another of 300 m, stand at 5,650 m.",
       [&] {
         const std::string next = ", 11, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, N";
         EXPECT_EQ(compiled(empty_line, train_of({station_5000, "stazione, 5650" + next})).error(), 0);
         EXPECT_EQ(compiled(empty_line, train_of({station_5000, "stazione, 5600" + next})).error(), 22);
       }},
      {"an area that ends at metre 100 or before, is error 24",
       [&] {
         EXPECT_EQ(compiled(empty_line, train_of({"stazione, 50, 11, 100, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S"})).error(), 24);
         EXPECT_EQ(compiled(empty_line, train_of({"stazione, 100, 11, 100, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S"})).error(), 0);
       }},
      {"at most b − 2 stations are accepted: the station numbered b − 1 is error 10",
       [&] {
         const std::string long_line = line_of({}, "lunghezza percorso, 40000");
         std::vector<std::string> stations = halts(78);
         EXPECT_EQ(compiled(long_line, train_of(stations)).error(), 0);
         stations = halts(79);
         EXPECT_EQ(compiled(long_line, train_of(stations)).error(), 10);
         const std::string boarded = line_of(boards(2), "lunghezza percorso, 40000");
         EXPECT_EQ(compiled(boarded, train_of(halts(76))).error(), 0);
         EXPECT_EQ(compiled(boarded, train_of(halts(77))).error(), 10);
       }},
      {"an 81st board is error 106",
       [&] {
         const std::string long_line = line_of(boards(81), "lunghezza percorso, 40000");
         EXPECT_EQ(compiled(long_line, plain_train).error(), 106);
       }},
      {"lays cell 391 with value_d 8, value_a 32, value_b 11, value_c 0, signal_time 0, and the approach codes "
       "81, 82, 83, 84 on cells 389, 387, 385 and 383.",
       [&] {
         const Compiled c = compiled(line_of({}, "lunghezza percorso, 30000"),
                                     train_of({"segnale,   19500,   2, 3, 1,  0, 0,    2,  2,1,0, 0"}));
         const TrackCell& signal = c.cell(391);
         EXPECT_EQ(signal.kind, kSignal);
         EXPECT_EQ(signal.value_d, 8);
         EXPECT_EQ(signal.value_a, 32);
         EXPECT_EQ(signal.value_b, 11);
         EXPECT_EQ(signal.value_c, 0);
         for (int k = 1; k <= 4; ++k) EXPECT_EQ(c.cell(391 - 2 * k).approach_code, 80 + k);
       }},
      {"a signal needs 325 m of line before it for its approach cells (a signal before 325 m is error 16 too)",
       [&] {
         EXPECT_EQ(compiled(empty_line, train_of({"segnale, 325, 1,0,0,0,0, 0,0,0,0, 0"})).error(), 0);
         EXPECT_EQ(compiled(empty_line, train_of({"segnale, 300, 1,0,0,0,0, 0,0,0,0, 0"})).error(), 16);
       }},
      {"a `dx` of 3 comes back as `dx` 0 and `sx` + 1; 4 as 1 and `sx` + 1",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"segnale, 2000, 1,0,0,0,0, 3,0,0,0, 0",
                                                           "segnale, 4000, 1,0,0,0,0, 4,0,0,0, 0"}));
         const SignalRecord three = signal_record(41, c.cell(41));
         EXPECT_EQ(three.sx, 2);
         EXPECT_EQ(three.dx, 0);
         const SignalRecord four = signal_record(81, c.cell(81));
         EXPECT_EQ(four.sx, 2);
         EXPECT_EQ(four.dx, 1);
       }},
      {"a `d` of 10 comes back as 0 and its `s` + 1",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"segnale, 2000, 1,4,0,0,0, 0,10,0,0, 0"}));
         const SignalRecord terms = signal_record(41, c.cell(41));
         EXPECT_EQ(terms.s1, 5);
         EXPECT_EQ(terms.d1, 0);
       }},
      {"`tempo` when `sx` is 2 (a `tempo` of 1 to 100 stored as 101), else 0",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"segnale, 2000, 2,0,0,0,0, 0,0,0,0, 50",
                                                           "segnale, 4000, 1,0,0,0,0, 0,0,0,0, 50",
                                                           "segnale, 6000, 2,0,0,0,0, 0,0,0,0, 150"}));
         EXPECT_EQ(c.cell(41).signal_time, 101);
         EXPECT_EQ(c.cell(81).signal_time, 0);
         EXPECT_EQ(c.cell(121).signal_time, 150);
       }},
      {"lays the warning board on cell 137 (at 6,800 m), the start on cell 161 (8,000 m) and the end on cell "
       "167 (8,300 m), value_a 50 and value_c 1, no pre-warning cells; then cut-off points on cells 156, 150 and "
       "143 and, inside, none",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"rallentamento,   8000,    50,  300, 1,  0,  0"}));
         EXPECT_EQ(c.error(), 0);
         EXPECT_EQ(c.cell(137).kind, kSlowdownWarning);
         EXPECT_EQ(c.cell(137).value_a, 50);
         EXPECT_EQ(cell_metres(137), 6800);
         for (const size_t marker : {161u, 167u}) {
           EXPECT_EQ(c.cell(marker).value_a, 50);
           EXPECT_EQ(c.cell(marker).value_c, 1);
         }
         EXPECT_EQ(c.cell(161).kind, kSlowdownStart);
         EXPECT_EQ(c.cell(167).kind, kSlowdownEnd);
         std::vector<size_t> points;
         for (size_t i = 0; i < c.state.cells.size(); ++i) {
           if (c.cell(i).kind == kCutOffPoint) {
             EXPECT_EQ(c.cell(i).value_a, 180);
             points.push_back(i);
           }
           EXPECT_NE(c.cell(i).kind, kSlowdownPrewarning);
         }
         EXPECT_EQ(points, (std::vector<size_t>{143, 150, 156}));
       }},
      {"| warning board, 1,200 m before the start; only when `x` is above 1500 |",
       [&] {
         const Compiled at_1500 = compiled(empty_line, train_of({"rallentamento, 1500, 50, 300, 0, 1, 0"}));
         for (const TrackCell& cell : at_1500.state.cells) {
           EXPECT_NE(cell.kind, kSlowdownWarning);
           EXPECT_NE(cell.kind, kSlowdownPrewarning);
         }
         EXPECT_EQ(compiled(empty_line, train_of({"rallentamento, 1550, 50, 300, 0, 0, 0"})).cell(8).kind,
                   kSlowdownWarning);
       }},
      {"| pre-warning, when `f_ta` is not 0 (and `x` above 1500) | the 4 cells from near((x − 1200) / 50) back | 5 | "
       "value_a 1 (the nearest the board) to 4 |",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"rallentamento, 8000, 50, 300, 0, 1, 0"}));
         for (int j = 0; j < 4; ++j) {
           EXPECT_EQ(c.cell(136 - j).kind, kSlowdownPrewarning);
           EXPECT_EQ(c.cell(136 - j).value_a, j + 1);
         }
       }},
      {"a value of 0 or below lays a point without a value (kind 13)",
       [&] {
         const Compiled c = compiled(empty_line, train_of({"abbattimento, 3000, 0", "abbattimento, 4000, -5",
                                                           "abbattimento, 5000, 120"}));
         EXPECT_EQ(c.cell(60).kind, kCutOffPointZero);
         EXPECT_EQ(c.cell(80).kind, kCutOffPointZero);
         EXPECT_EQ(c.cell(80).value_a, 0);
         EXPECT_EQ(c.cell(100).kind, kCutOffPoint);
         EXPECT_EQ(c.cell(100).value_a, 120);
       }},
      {"type 2 with markers on cells 123, 127, ... 147",
       [&] {
         const Compiled c = compiled(line_of({"montagna,   6000,   7400,   12"}), plain_train);
         for (size_t i = 118; i <= 150; ++i) {
           EXPECT_EQ(c.cell(i).montagna_tipo, i >= 120 && i <= 147 ? 2 : 0) << i;
           EXPECT_EQ(c.cell(i).kind == kMountainMarker, i >= 123 && (i - 123) % 4 == 0 && i <= 147) << i;
         }
       }},
      {"a stretch that starts 150 m or less after the previous stretch ends (or inside it) is stored as type 3",
       [&] {
         const Compiled c = compiled(line_of({"montagna, 1000, 2000, 1", "montagna, 2150, 3000, 1",
                                              "montagna, 3200, 4000, 1"}), plain_train);
         EXPECT_EQ(c.cell(45).montagna_tipo, 3);
         EXPECT_EQ(c.cell(70).montagna_tipo, 1);
       }},
      {"lays cell 22 with 2500, 2700, 2800 and 0",
       [&] {
         const Compiled c = compiled(line_of({"indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0"}), plain_train);
         EXPECT_EQ(c.cell(22).kind, kSpeedBoard);
         EXPECT_EQ(c.cell(22).value_a, 2500);
         EXPECT_EQ(c.cell(22).value_b, 2700);
         EXPECT_EQ(c.cell(22).value_c, 2800);
         EXPECT_EQ(c.cell(22).value_d, 0);
       }},
      {"When no first value is strictly the largest (two or three share it), all nine values become 0",
       [&] {
         const Compiled c = compiled(line_of({}, "lunghezza percorso, 12000\r\nprogressiva chilometrica uno, 2000, 100, 0"
                                                 "\r\nprogressiva chilometrica due, 2000, 50, 0"),
                                     plain_train);
         const HeaderView header(c.state.station_table);
         for (const ProgressionSlot slot : kProgressionSlots) EXPECT_EQ(header.progression(slot), Progression());
       }},
      {"then a flag of 1 adds 100 to its progression's second value",
       [&] {
         const Compiled c = compiled(line_of({}, "lunghezza percorso, 12000\r\nprogressiva chilometrica due, 5000, 3000, 1"),
                                     plain_train);
         const HeaderView header(c.state.station_table);
         EXPECT_EQ(header.progression(ProgressionSlot::kTre), (Progression{5000, 3100, 1}));
       }},
      {"`ripetizione segnali 9 codici, 1000, 5000` stores 1,000 m to 5,000 m with 9 codes",
       [&] {
         const Compiled c = compiled(line_of({}, "lunghezza percorso, 12000\r\nripetizione segnali 9 codici, 1000, 5000"),
                                     plain_train);
         const HeaderView header(c.state.station_table);
         EXPECT_EQ(header.repetition_from(), 1000);
         EXPECT_EQ(header.repetition_to(), 5000);
         EXPECT_EQ(header.repetition_codes(), 9);
       }},
      {"when it is the file's last field (which is never interpreted), the compile stops with error 102",
       [&] { EXPECT_EQ(compiled(testing::lines({"lunghezza percorso, 12000", "[generale]"}), plain_train).error(), 102); }},
      {"a bracketed field that holds `-` anywhere (`[--curve--]`) is passed over by the dash rule before that "
       "test, so it does not end the section",
       [&] {
         const Compiled c = compiled(testing::lines({"[generale]", "lunghezza percorso, 12000", "[--curve--]",
                                                     "sfondo uno, 7", "[curve]", "sfondo due, 9", "[fine]"}),
                                     plain_train);
         const HeaderView header(c.state.station_table);
         EXPECT_EQ(header.background_one(), 7);
         EXPECT_EQ(header.background_two(), 0);
       }},
      {"it **is** a signal record, and it reads the next eleven fields as the signal's values",
       [&] {
         // The signal record below gives the '#' line its position (its keyword reads as 0): a
         // signal before 325 m.
         EXPECT_EQ(compiled(empty_line, train_of({"# segnale di protezione", "segnale, 2000, 2,3,1,0,0, 2,2,1,0, 0"})).error(),
                   16);
       }},
      {"`# curva stretta` is a curve (without a class digit: error 103)",
       [&] { EXPECT_EQ(compiled(line_of({"# curva stretta", "pendenza, 0, 0"}), plain_train, true).error(), 103); }},
      {"line length in metres, 0 to 1000000 (error 1)",
       [&] {
         EXPECT_EQ(compiled(line_of({}, "lunghezza percorso, 1000000"), plain_train).error(), 0);
         EXPECT_EQ(compiled(line_of({}, "lunghezza percorso, 1000001"), plain_train).error(), 1);
         EXPECT_EQ(compiled(line_of({}, "lunghezza percorso, -1"), plain_train).error(), 1);
       }},
      {"(p + 100) / 50 at most N, else error",
       [&] {
         EXPECT_EQ(compiled(line_of({"pendenza, 18900, 1"}), plain_train).error(), 0);
         EXPECT_EQ(compiled(line_of({"pendenza, 18901, 1"}), plain_train).error(), 15);
       }},
      {"a station: (position + 800) / 50 at most N), else error 15",
       [&] {
         const std::string values = ", 25, 0, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S";
         EXPECT_EQ(compiled(empty_line, train_of({"stazione, 18200" + values})).error(), 0);
         EXPECT_EQ(compiled(empty_line, train_of({"stazione, 18250" + values})).error(), 15);
       }},
      {"while the right one is below 98 km/h (near(vad / 5) up to 19)",
       [&] {
         const Compiled c = compiled(line_of({"indicatori_vmax, 1000, 100, 0, 0, 0, 97, 0, 0, 0",
                                              "indicatori_vmax, 2000, 100, 0, 0, 0, 98, 0, 0, 0"}),
                                     plain_train);
         EXPECT_EQ(c.cell(21).value_a, 2019);
         EXPECT_EQ(c.cell(41).value_a, 2020);  // read back as a left speed of 101 km/h
       }},
      {"for every signal in the 20 cells (1,000 m) before it, a point 1 or 2 cells before the signal",
       [&] {
         // The warning board of a slowdown at 8,000 m is on cell 137; signals on cells 117 and 116.
         const Compiled c = compiled(empty_line, train_of({"segnale, 5750, 1,0,0,0,0, 0,0,0,0, 0",
                                                           "segnale, 5800, 1,0,0,0,0, 0,0,0,0, 0",
                                                           "rallentamento, 8000, 50, 300, 0, 0, 0"}));
         EXPECT_EQ(c.cell(117).kind, kSignal);
         EXPECT_EQ(c.cell(116).kind, kSignal);
         EXPECT_EQ(c.cell(115).kind, kCutOffPoint);  // for the signal on cell 117, two cells back
         EXPECT_EQ(c.cell(114).kind, kEmpty);        // none for the one on cell 116, 21 cells back
       }},
      {"inside a slowdown below 110 km/h: a point every 8 cells (400 m) from the start",
       [&] {
         const Compiled slow = compiled(empty_line, train_of({"rallentamento, 8000, 50, 1000, 0, 0, 0"}));
         const Compiled fast = compiled(empty_line, train_of({"rallentamento, 8000, 110, 1000, 0, 0, 0"}));
         for (int i = 162; i < 181; ++i) {
           EXPECT_EQ(slow.cell(i).kind == kCutOffPoint, i == 169 || i == 177) << i;
           EXPECT_NE(fast.cell(i).kind, kCutOffPoint) << i;
         }
       }},
      {"before the first signal within 12 cells of the end cell, a point 1 or 2 cells",
       [&] {
         // The slowdown ends on cell 167: a signal on cell 179 gets its point, one on cell 180 none.
         const Compiled near = compiled(empty_line, train_of({"rallentamento, 8000, 50, 300, 0, 0, 0",
                                                              "segnale, 8900, 1,0,0,0,0, 0,0,0,0, 0"}));
         EXPECT_EQ(near.cell(178).kind, kCutOffPoint);
         const Compiled far = compiled(empty_line, train_of({"rallentamento, 8000, 50, 300, 0, 0, 0",
                                                             "segnale, 8950, 1,0,0,0,0, 0,0,0,0, 0"}));
         EXPECT_EQ(far.cell(179).kind, kEmpty);
         EXPECT_EQ(far.cell(178).kind, kEmpty);
       }},
      {"a curve that would carry the plan past its last metre but two (the line's length plus 6,998 m)",
       [&] {
         EXPECT_EQ(compiled(line_of({"curvad4, 18000, 998"}), plain_train, true).error(), 0);
         EXPECT_EQ(compiled(line_of({"curvad4, 18000, 999"}), plain_train, true).error(), 103);
       }},
  };
  for (const Claim& claim : claims) {
    SCOPED_TRACE(claim.words);
    EXPECT_NE(document.find(one_line(claim.words)), std::string::npos) << "the document no longer says this";
    claim.holds();
  }
}

}  // namespace
}  // namespace scenario
