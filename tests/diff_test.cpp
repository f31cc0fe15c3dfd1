// The diff of two compiled scenarios by meaning: each kind of change named once, where the author
// made it; nothing for a scenario against itself; and, on generated scenarios, one generated change
// found as that change alone.
#include "diff/scenario_diff.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "format/cp1252.h"
#include "format/file_names.h"
#include "scenario/line_table.h"
#include "scenario/short_scenario.h"
#include "tests/compiled_scenario.h"
#include "tests/scenario_generator.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::run_split;
using testing::TempFolder;
using testing::tool;
using testing::write_whole_file;

CompileState compiled(const std::string& line, const std::string& train, bool plan = true) {
  CompileState state;
  state.line_name = kShortLineName;
  state.train_number = kShortTrainNumber;
  compile(state, plan, Description{"Valbruna_linea.txt", true, line}, Description{"Valbruna_8842-.txt", true, train});
  EXPECT_EQ(state.error().ErrorCode, 0) << state.error().words;
  return state;
}

const std::string kLine = render_table(short_line_table());
const std::string kTrain = render_table(short_train_table());

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// What a test expects of a change: its kind, change, subject and where it stood or starts.
struct Expected {
  std::string kind;
  std::string change;
  std::string subject;
  std::optional<int64_t> old_at;
  std::optional<int64_t> new_at;
  std::string text;  // its line of the text form
};

struct Case {
  const char* what;
  std::string line;
  std::string train;
  std::vector<Expected> changes;
};

TEST(ScenarioDiff, EachKindOfChangeIsNamedWhereTheAuthorMadeIt) {
  const std::string castagneto = "stazione,    5000, 11,  300,  0, 0, 0,  1,1,0,  4,1,1,   30,   8, 6, 0, CASTAGNETO";
  const Case cases[] = {
      {"nothing changed", kLine, kTrain, {}},
      {"a station retimed", kLine, replaced(kTrain, "8, 6, 0, CASTAGNETO", "8, 7, 0, CASTAGNETO"),
       {{"station", "retimed", "CASTAGNETO", 5000, 5000,
         "station CASTAGNETO at Km 5+000: retimed: departure 08:06:00 -> 08:07:00"}}},
      {"a station moved", kLine, replaced(kTrain, "stazione,    5000, 11", "stazione,    5200, 11"),
       {{"station", "moved", "CASTAGNETO", 5000, 5200, "station CASTAGNETO at Km 5+000: moved to Km 5+200"}}},
      {"a station added", kLine,
       replaced(kTrain, "stazione,   11500",
                "stazione,    9000, 25,  200,  0, 0, 0,  0,0,0,  0,0,0,   20,   8,10, 0, QUIETA\r\nstazione,   11500"),
       {{"station", "added", "QUIETA", std::nullopt, 9000,
         "station QUIETA at Km 9+000: added: type 25, platform 200 m, flags 0, 0, 0, left group 0, 0, 0, right group "
         "0, 0, 0, stop 20 s, departure 08:10:00"}}},
      {"a station removed", kLine, replaced(kTrain, castagneto + "\r\n", ""),
       {{"station", "removed", "CASTAGNETO", 5000, std::nullopt, "station CASTAGNETO at Km 5+000: removed"}}},
      {"a signal moved", kLine, replaced(kTrain, "segnale,    9500", "segnale,    9600"),
       {{"signal", "moved", "", 9500, 9600, "signal at Km 9+500: moved to Km 9+600"}}},
      {"a signal's values changed", kLine,
       replaced(kTrain, "segnale,    1200,   2, 3, 1,  0, 0,    2,", "segnale,    1200,   2, 3, 1,  0, 0,    1,"),
       {{"signal", "changed", "", 1200, 1200, "signal at Km 1+200: changed: dx 2 -> 1"}}},
      {"a signal removed", kLine, replaced(kTrain, "segnale,    9500,   2, 3, 1,  0, 0,    0,  0,0,0, 0\r\n", ""),
       {{"signal", "removed", "", 9500, std::nullopt, "signal at Km 9+500: removed"}}},
      {"a slowdown's speed", kLine, replaced(kTrain, "8000,    50", "8000,    40"),
       {{"slowdown", "changed", "", 8000, 8000, "slowdown at Km 8+000: changed: speed 50 km/h -> 40 km/h"}}},
      {"a speed limit", kLine, replaced(kTrain, "velocita,   1000,   100", "velocita,   1000,    90"),
       {{"speed limit", "changed", "", 1000, 1000, "speed limit Km 1+000 to Km 10+500: 100 km/h -> 90 km/h"}}},
      {"a gradient", replaced(kLine, "pendenza,  4000,   12", "pendenza,  4000,   10"), kTrain,
       {{"gradient", "changed", "", 4000, 4000, "gradient Km 4+000 to Km 6+200: +12 per mille -> +10 per mille"}}},
      {"a mountain stretch shortened", replaced(kLine, "6000,  7400,  12", "6000,  7000,  12"), kTrain,
       {{"mountain type", "changed", "", 7000, 7000, "mountain type Km 7+000 to Km 7+400: 2 -> none"}}},
      {"a board's text", replaced(kLine, "(P.L.    )(Km 3+500)", "(P.L.A.  )(Km 3+500)"), kTrain,
       {{"board", "changed", "", 3500, 3500, "board at Km 3+500: changed: text (P.L.    )(Km 3+500) -> (P.L.A.  )(Km 3+500)"}}},
      {"a speed board", replaced(kLine, "2400,  100,  100,  100", "2400,  90,  100,  100"), kTrain,
       {{"speed board", "changed", "", 2400, 2400,
         "speed board at Km 2+400: changed: left 100, 100, 100 km/h, 0 stripes -> 90, 100, 100 km/h, 0 stripes"}}},
      {"a header value", kLine, replaced(kTrain, "sabbia,    60", "sabbia,    70"),
       {{"header", "changed", "", std::nullopt, std::nullopt, "header: sand 60 -> 70"}}},
  };
  const CompileState base = compiled(kLine, kTrain);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<ScenarioChange> changes = scenario_diff(base, compiled(c.line, c.train));
    ASSERT_EQ(changes.size(), c.changes.size()) << diff_text(changes);
    for (size_t i = 0; i < changes.size(); ++i) {
      EXPECT_EQ(changes[i].kind, c.changes[i].kind);
      EXPECT_EQ(changes[i].change, c.changes[i].change);
      EXPECT_EQ(changes[i].subject, c.changes[i].subject);
      EXPECT_EQ(changes[i].old_at, c.changes[i].old_at);
      EXPECT_EQ(changes[i].new_at, c.changes[i].new_at);
    }
    std::string text;
    for (const Expected& e : c.changes) text += e.text + "\n";
    EXPECT_EQ(diff_text(changes), text);
  }
}

// A curve changed moves the plan from where the curves part, to the plan's end.
TEST(ScenarioDiff, APlanDifferenceIsTheStretchThatMovedAndByHowMuch) {
  const std::vector<ScenarioChange> changes =
      scenario_diff(compiled(kLine, kTrain), compiled(replaced(kLine, "curvad4,  2000,  300", "curvad4,  2000,  350"), kTrain));
  ASSERT_EQ(changes.size(), 1u) << diff_text(changes);
  EXPECT_EQ(changes[0].kind, "plan");
  EXPECT_EQ(changes[0].old_at, 2301);
  EXPECT_EQ(changes[0].to, 18998);
  ASSERT_EQ(changes[0].fields.size(), 1u);
  EXPECT_GT(std::stod(changes[0].fields[0].new_value), 100.0);
  EXPECT_EQ(scenario_diff(compiled(kLine, kTrain), compiled(kLine, kTrain, false)).front().change, "removed");
}

// Two different lines: their names, lengths and everything on them differ; nothing is lost.
TEST(ScenarioDiff, FilesOfDifferentLinesDifferInEverything) {
  CompileState embedded;
  embedded.line_name = kEmbeddedLineName;
  embedded.train_number = kEmbeddedTrainNumber;
  compile(embedded, true, Description{"a", true, testing::embedded_line_description()},
          Description{"b", true, testing::embedded_train_description()});
  const std::vector<ScenarioChange> changes = scenario_diff(embedded, compiled(kLine, kTrain));
  const std::string text = diff_text(changes);
  EXPECT_NE(text.find("header: line name MorvellaC_DrasconaX -> Valbruna\n"), std::string::npos);
  EXPECT_NE(text.find("header: line length 124000 m -> 12000 m\n"), std::string::npos);
  EXPECT_NE(text.find("station MORVELLA C.LE at Km 0+000: removed\n"), std::string::npos);
  EXPECT_NE(text.find("station VALBRUNA at Km 0+000: added"), std::string::npos);
  int stations_removed = 0;
  for (const ScenarioChange& change : changes) stations_removed += change.kind == "station" && change.change == "removed";
  EXPECT_EQ(stations_removed, 23);
}

// Property on generated scenarios: a scenario against itself gives nothing; retiming one of its
// stations gives that station retimed, and nothing else.
TEST(ScenarioDiff, GeneratedScenariosAgainstThemselvesAndAfterOneRetime) {
  std::mt19937_64 random(20261211);
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    const testing::GeneratedScenario scenario = testing::generate_scenario(seed, 20000);
    CompileState old_state;
    old_state.line_name = "G";
    old_state.train_number = "1";
    compile(old_state, scenario.with_plan, Description{"G_linea.txt", true, scenario.line},
            Description{"G_1-.txt", true, scenario.train});
    ASSERT_EQ(old_state.error().ErrorCode, 0);
    EXPECT_EQ(scenario_diff(old_state, old_state), std::vector<ScenarioChange>{});

    std::vector<std::string> rows = testing::crlf_lines(scenario.train);
    std::vector<size_t> stations;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].starts_with("stazione")) stations.push_back(i);
    }
    if (stations.empty()) continue;
    const size_t row = stations[random() % stations.size()];
    std::vector<std::string> fields = testing::comma_fields(rows[row]);
    ASSERT_EQ(fields.size(), 18u) << rows[row];
    const int seconds = std::stoi(fields[16]);
    fields[16] = " " + std::to_string((seconds + 1) % 60);
    std::string changed_row;
    for (const std::string& field : fields) changed_row += (changed_row.empty() ? "" : ",") + field;
    rows[row] = changed_row;
    CompileState new_state;
    new_state.line_name = "G";
    new_state.train_number = "1";
    compile(new_state, scenario.with_plan, Description{"G_linea.txt", true, scenario.line},
            Description{"G_1-.txt", true, testing::lines(rows)});
    ASSERT_EQ(new_state.error().ErrorCode, 0);
    const std::vector<ScenarioChange> changes = scenario_diff(old_state, new_state);
    ASSERT_EQ(changes.size(), 1u) << diff_text(changes);
    EXPECT_EQ(changes[0].kind, "station");
    EXPECT_EQ(changes[0].change, "retimed");
    std::string name = fields[17];
    name.erase(0, name.find_first_not_of(' '));
    EXPECT_EQ(changes[0].subject, cp1252_to_utf8(name));
  }
}

// The command: folders or files, text or JSON, and diff's exit statuses.
TEST(DiffCommand, SaysWhatChangedWithDiffsExitStatuses) {
  TempFolder folder;
  const ScenarioFileNames names = scenario_file_names(kShortLineName, kShortTrainNumber);
  const auto write_compiled = [&](const std::string& sub, const std::string& train) {
    const testing::CompiledFiles files = testing::compile_in_memory(kLine, train, true, kShortLineName, kShortTrainNumber);
    std::filesystem::create_directories(folder.file(sub));
    write_whole_file(folder.file(sub + "/" + names.track_cells), files.track_cells);
    write_whole_file(folder.file(sub + "/" + names.scenario_record), files.scenario_record);
    write_whole_file(folder.file(sub + "/" + names.line_record), files.line_record);
  };
  write_compiled("old", kTrain);
  write_compiled("same", kTrain);
  write_compiled("new", replaced(replaced(kTrain, "8, 6, 0, CASTAGNETO", "8, 7, 0, CASTAGNETO"), "segnale,    9500",
                                 "segnale,    9600"));
  std::string out, err;
  EXPECT_EQ(run_split(tool() + " diff '" + folder.file("old") + "' '" + folder.file("same") + "'", &out, &err), 0) << err;
  EXPECT_EQ(out, "");
  EXPECT_EQ(run_split(tool() + " diff '" + folder.file("old") + "' '" + folder.file("new") + "'", &out, &err), 1) << err;
  EXPECT_EQ(out,
            "station CASTAGNETO at Km 5+000: retimed: departure 08:06:00 -> 08:07:00\n"
            "signal at Km 9+500: moved to Km 9+600\n");
  EXPECT_EQ(err, "");
  EXPECT_EQ(run_split(tool() + " diff --format json --dat '" + folder.file("old/" + names.track_cells) + "' '" +
                          folder.file("new/" + names.track_cells) + "' --sim '" +
                          folder.file("old/" + names.scenario_record) + "' '" +
                          folder.file("new/" + names.scenario_record) + "'",
                      &out, &err),
            1)
      << err;
  EXPECT_NE(out.find("\"count\": 2"), std::string::npos) << out;
  EXPECT_NE(out.find("\"kind\": \"station\",\n      \"change\": \"retimed\",\n      \"name\": \"CASTAGNETO\""),
            std::string::npos)
      << out;
  EXPECT_EQ(run_split(tool() + " diff '" + folder.file("old") + "' '" + folder.file("nowhere") + "'", &out, &err), 3);
  EXPECT_NE(err.find(folder.file("nowhere")), std::string::npos) << err;
  EXPECT_EQ(run_split(tool() + " diff '" + folder.file("old") + "'", &out, &err), 64);
}

}  // namespace
}  // namespace scenario
