// The line description as dati_linea writes it, checked the way the simulator's line reader sees
// the file: its lines, sections, record kinds, spacing, ranges and the rows that must stand verbatim.
#include "scenario/line_data.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "compiler/line_parser.h"
#include "description/field_reader.h"
#include "disk/file_replace.h"
#include "format/file_names.h"
#include "scenario/text_writers.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::crlf_lines;
using testing::TempFolder;
using testing::write_whole_file;

// The bytes of the written line description.
std::string written_line_file() {
  MemorySink sink;
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  EXPECT_TRUE(dati_linea(sink, names).ok());
  return sink.files[names.line_description];
}

// The whole-number values after the keyword of a record; empty and text values are skipped.
std::vector<long> numbers_of(const std::string& line) {
  std::vector<long> values;
  size_t comma = line.find(',');
  while (comma != std::string::npos) {
    const size_t next = line.find(',', comma + 1);
    std::string field =
        line.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
    field.erase(0, field.find_first_not_of(' '));
    field.erase(field.find_last_not_of(' ') + 1);
    const size_t digits = field.rfind('-', 0) == 0 ? 1 : 0;
    if (field.size() > digits && field.find_first_not_of("0123456789", digits) == std::string::npos) {
      values.push_back(std::stol(field));
    }
    comma = next;
  }
  return values;
}

// The line with every run of digits replaced by one '#': what is left is its keyword, commas,
// blanks and signs, the shape that the record kind fixes.
std::string shape_of(const std::string& line) {
  std::string shape;
  for (size_t i = 0; i < line.size(); ++i) {
    const bool digit = line[i] >= '0' && line[i] <= '9';
    const bool after_digit = i > 0 && line[i - 1] >= '0' && line[i - 1] <= '9';
    if (!digit)
      shape += line[i];
    else if (!after_digit)
      shape += '#';
  }
  return shape;
}

class LineDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = written_line_file();
    lines_ = crlf_lines(bytes_);
    ASSERT_EQ(lines_.size(), 334u);
  }
  // The lines from index `first` to `last` inclusive.
  std::vector<std::string> range(size_t first, size_t last) const {
    return std::vector<std::string>(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                                    lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  }
  std::vector<std::string> curves() const { return range(10, 157); }
  std::vector<std::string> gradients() const { return range(159, 260); }
  std::vector<std::string> mountains() const { return range(262, 277); }
  std::vector<std::string> speed_boards() const { return range(279, 290); }
  std::vector<std::string> boards() const { return range(292, 332); }

  std::string bytes_;
  std::vector<std::string> lines_;
};

TEST_F(LineDataTest, HasTheSevenSectionsAndTheGeneralRecordsInFull) {
  const std::pair<size_t, const char*> fixed[] = {
      {0, "[generale]"},
      {1, "lunghezza percorso,    124000"},
      {2, "progressiva chilometrica uno,    0,    0,    0"},
      {3, "progressiva chilometrica due,    0,    0,    0"},
      {4, "progressiva chilometrica tre,    0,    0,    0"},
      {5, "sfondo uno,    1"},
      {6, "sfondo due,    106000"},
      {7, "sfondo tre,    58900"},
      {8, "ripetizione segnali 4 codici,    0    ,0"},
      {9, "[curve]"},
      {158, "[pendenze]"},
      {261, "[montagne]"},
      {278, "[cartelli]"},
      {291, "[indicazioni]"},
      {333, "[fine]"},
  };
  for (const auto& [index, text] : fixed) EXPECT_EQ(lines_[index], text) << "line index " << index;
  EXPECT_EQ(bytes_.find("riferimento fine del file"), std::string::npos);
  EXPECT_EQ(bytes_.substr(bytes_.size() - 8), "[fine]\r\n");
}

// Every record of a kind has one shape, which fixes its runs of blanks; the keyword's side letter
// and class digit are checked with the counts.
TEST_F(LineDataTest, EachRecordKindKeepsItsSpacing) {
  struct Kind {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> shapes;
  };
  const Kind kinds[] = {
      {"curve", curves(), {"curvas#,  #,  #", "curvad#,  #,  #"}},
      {"gradient", range(160, 260), {"pendenza,  #,   #", "pendenza,  #,   -#"}},
      {"mountain", mountains(), {"montagna,   #,  #,  #"}},
      {"speed board", speed_boards(), {"indicatori_vmax,  #,  #,  #,  #,  #,  ,  ,  ,  #"}},
  };
  for (const Kind& kind : kinds) {
    for (const std::string& line : kind.lines) {
      const std::string shape = shape_of(line);
      EXPECT_NE(std::find(kind.shapes.begin(), kind.shapes.end(), shape), kind.shapes.end())
          << kind.name << ": " << line;
    }
  }
  for (const std::string& line : boards()) {
    EXPECT_EQ(shape_of(line).rfind("cartello_indicatore,  #,   (", 0), 0u) << line;
    EXPECT_EQ(line.back(), ')') << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 2) << line;  // none in the text
  }
  // The first gradient record has its own, wider spacing.
  EXPECT_EQ(lines_[159], "pendenza,   0,    0");
}

TEST_F(LineDataTest, CountsPerRecordKindAndCurveSideAndClass) {
  std::map<std::string, int> per_keyword;
  for (size_t i = 10; i < 333; ++i) {
    if (lines_[i][0] == '[') continue;
    per_keyword[lines_[i].substr(0, lines_[i].find(','))]++;
  }
  const std::map<std::string, int> expected = {
      {"curvas2", 1},          {"curvas3", 5},
      {"curvas4", 26},         {"curvas5", 31},
      {"curvas6", 15},         {"curvad1", 2},
      {"curvad3", 5},          {"curvad4", 22},
      {"curvad5", 24},         {"curvad6", 17},
      {"pendenza", 102},       {"montagna", 16},
      {"indicatori_vmax", 12}, {"cartello_indicatore", 41},
  };
  EXPECT_EQ(per_keyword, expected);
}

TEST_F(LineDataTest, PositionsAscendPerKindWithinTheirRanges) {
  struct Kind {
    const char* name;
    std::vector<std::string> lines;
    long first;
    long last;
  };
  const Kind kinds[] = {
      {"curve", curves(), 800, 125300},           {"gradient", gradients(), 0, 125450},
      {"mountain", mountains(), 0, 124000},       {"speed board", speed_boards(), 1050, 124000},
      {"line-side board", boards(), 800, 125450},
  };
  for (const Kind& kind : kinds) {
    long previous = -1;
    for (const std::string& line : kind.lines) {
      const long position = numbers_of(line).at(0);
      EXPECT_GT(position, previous) << kind.name << ": " << line;
      EXPECT_GE(position, kind.first) << kind.name << ": " << line;
      EXPECT_LE(position, kind.last) << kind.name << ": " << line;
      previous = position;
    }
  }
  EXPECT_EQ(numbers_of(curves().front())[0], 800);
  EXPECT_EQ(numbers_of(curves().back())[0], 125300);
  EXPECT_EQ(numbers_of(boards().front())[0], 800);
  EXPECT_EQ(numbers_of(boards().back())[0], 125450);
}

TEST_F(LineDataTest, CurvesAreWholeFiftiesAndNeverReachIntoTheNext) {
  long longest = 0, shortest = 1 << 30;
  const std::vector<std::string> all = curves();
  for (size_t i = 0; i < all.size(); ++i) {
    const std::vector<long> v = numbers_of(all[i]);
    ASSERT_EQ(v.size(), 2u) << all[i];
    EXPECT_EQ(v[0] % 50, 0) << all[i];
    EXPECT_EQ(v[1] % 50, 0) << all[i];
    longest = std::max(longest, v[1]);
    shortest = std::min(shortest, v[1]);
    if (i + 1 < all.size()) {
      EXPECT_LE(v[0] + v[1], numbers_of(all[i + 1])[0]) << all[i];
    }
  }
  EXPECT_EQ(shortest, 50);
  EXPECT_EQ(longest, 1200);
}

TEST_F(LineDataTest, GradientsRampInStepsAndStayWithinTheirRange) {
  const std::vector<std::string> all = gradients();
  int steps_of_five = 0;
  for (size_t i = 0; i < all.size(); ++i) {
    const std::vector<long> v = numbers_of(all[i]);
    EXPECT_EQ(v[0] % 50, 0) << all[i];
    EXPECT_GE(v[1], -25) << all[i];
    EXPECT_LE(v[1], 28) << all[i];
    if (i == 0) continue;
    const std::vector<long> before = numbers_of(all[i - 1]);
    EXPECT_GE(v[0] - before[0], 100) << all[i];
    EXPECT_LE(v[0] - before[0], 10500) << all[i];
    if (v[1] - before[1] == 5 || v[1] - before[1] == -5) ++steps_of_five;
  }
  EXPECT_EQ(steps_of_five, 49);
}

TEST_F(LineDataTest, MountainStretchesAndSpeedBoardsHoldTheirValueRanges) {
  int type_11 = 0;
  for (const std::string& line : mountains()) {
    const std::vector<long> v = numbers_of(line);
    EXPECT_GE(v[1] - v[0], 50) << line;
    EXPECT_LE(v[1] - v[0], 6500) << line;
    if (v[2] == 11) ++type_11;
  }
  EXPECT_EQ(type_11, 2);
  for (const std::string& line : speed_boards()) {
    const std::vector<long> v = numbers_of(line);
    ASSERT_EQ(v.size(), 6u) << line;  // the three empty values are not numbers
    EXPECT_TRUE(v[1] >= 75 && v[1] <= 125 && v[2] >= 80 && v[2] <= 135 && v[3] >= 80 && v[3] <= 140) << line;
    EXPECT_TRUE(v[1] <= v[2] && v[2] <= v[3]) << line;
  }
}

// The board text: one to three groups "(...)" of one inner width, no comma.
TEST_F(LineDataTest, BoardTextsHaveGroupsOfOneWidthAndTheKindsListed) {
  std::map<int, int> per_group_count;
  std::map<std::string, int> per_first_group;
  for (const std::string& line : boards()) {
    const std::string text = line.substr(line.find(",   ", line.find(',') + 1) + 4);
    std::vector<std::string> groups;
    for (size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
      groups.push_back(text.substr(open + 1, text.find(')', open) - open - 1));
    }
    for (const std::string& group : groups) EXPECT_EQ(group.size(), groups[0].size()) << line;
    per_group_count[static_cast<int>(groups.size())]++;
    std::string first = groups[0];
    first.erase(first.find_last_not_of(' ') + 1);
    per_first_group[first]++;
    if (first == "P.L." || first == "P.L.A.") {
      std::string mark = groups[1];
      mark.erase(mark.find_last_not_of(' ') + 1);
      EXPECT_EQ(shape_of(mark), "Km #+#") << line;
      EXPECT_EQ(mark.size() - mark.find('+'), 4u) << line;
    }
  }
  EXPECT_EQ(per_group_count, (std::map<int, int>{{1, 6}, {2, 29}, {3, 6}}));
  EXPECT_EQ(per_first_group["P.L."], 11);
  EXPECT_EQ(per_first_group["P.L.A."], 12);
  EXPECT_EQ(per_first_group["F"], 6);
  EXPECT_EQ(per_first_group["I--I--I"], 3);
  EXPECT_EQ(per_first_group["Diramazione"], 3);
  EXPECT_EQ(per_first_group["Confluenza"], 1);
}

TEST_F(LineDataTest, TheOneAccentedLetterIsTheSingleByteEC) {
  EXPECT_EQ(std::count(bytes_.begin(), bytes_.end(), '\xEC'), 1);
  // No other byte outside printable ASCII: the file is plain code page 1252 text.
  const auto odd = std::count_if(bytes_.begin(), bytes_.end(), [](char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte != '\r' && byte != '\n' && (byte < 0x20 || byte > 0x7E);
  });
  EXPECT_EQ(odd, 1);
}

TEST_F(LineDataTest, TheQuotedRowsStandVerbatim) {
  const char* quoted[] = {
      "curvas5,  800,  100",
      "curvad5,  33700,  50",
      "curvas4,  53550,  1200",
      "curvas6,  125300,  100",
      "pendenza,   0,    0",
      "pendenza,  2900,   -1",
      "pendenza,  61850,   28",
      "pendenza,  89100,   -25",
      "pendenza,  125450,   0",
      "pendenza,  82400,   5",
      "pendenza,  82500,   10",
      "pendenza,  82600,   15",
      "pendenza,  82700,   20",
      "pendenza,  82800,   25",
      "montagna,   23400,  23500,  12",
      "montagna,   88550,  90800,  11",
      "montagna,   105800,  112300,  12",
      "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0",
      "indicatori_vmax,  33150,  90,  100,  100,  2,  ,  ,  ,  0",
      "indicatori_vmax,  33650,  90,  100,  100,  1,  ,  ,  ,  0",
      "indicatori_vmax,  34150,  90,  100,  100,  0,  ,  ,  ,  0",
      "cartello_indicatore,  1450,   (P.L.    )(Km 1+452)",
  };
  for (const char* row : quoted) {
    EXPECT_NE(std::find(lines_.begin(), lines_.end(), row), lines_.end()) << row;
  }
  EXPECT_EQ(lines_[10], "curvas5,  800,  100");
  EXPECT_EQ(lines_[157], "curvas6,  125300,  100");
  EXPECT_EQ(lines_[160], "pendenza,  2900,   -1");
  EXPECT_EQ(lines_[260], "pendenza,  125450,   0");
  EXPECT_NE(bytes_.find("(P.L.A.   )(Km 43+901)"), std::string::npos);
  EXPECT_NE(bytes_.find("(I--I--I)(I__I__I)"), std::string::npos);
  EXPECT_NE(bytes_.find("(Ponte   )(in Ferro)"), std::string::npos);
  EXPECT_NE(bytes_.find("(Fine )(Ponte)"), std::string::npos);
}

// The plan of the line, sampled every 50 m, as a polyline of points.
struct PlanPoint {
  double x;
  double y;
};

// Whether segments ab and cd cross or touch: orientation tests, with collinear overlap counted.
bool segments_meet(PlanPoint a, PlanPoint b, PlanPoint c, PlanPoint d) {
  auto orient = [](PlanPoint p, PlanPoint q, PlanPoint r) {
    const double v = (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    return (v > 0) - (v < 0);
  };
  auto within = [](PlanPoint p, PlanPoint q, PlanPoint r) {  // r on the line pq: inside its box?
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
  };
  const int o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
  if (o1 != o2 && o3 != o4) return true;
  return (o1 == 0 && within(a, b, c)) || (o2 == 0 && within(a, b, d)) || (o3 == 0 && within(c, d, a)) ||
         (o4 == 0 && within(c, d, b));
}

// Every pair of stretches that are not neighbours along the line, compared exhaustively.
std::vector<std::pair<size_t, size_t>> crossings(const std::vector<PlanPoint>& points) {
  std::vector<std::pair<size_t, size_t>> found;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    for (size_t j = i + 2; j + 1 < points.size(); ++j) {
      if (segments_meet(points[i], points[i + 1], points[j], points[j + 1])) found.emplace_back(i, j);
    }
  }
  return found;
}

TEST(PlanCrossings, TheCheckFindsACrossingAndPassesANearMiss) {
  const std::vector<PlanPoint> loop = {{0, 0}, {0, 50}, {50, 50}, {50, 25}, {-10, 25}};  // crosses its start
  EXPECT_EQ(crossings(loop), (std::vector<std::pair<size_t, size_t>>{{0, 3}}));
  const std::vector<PlanPoint> hook = {{0, 0}, {0, 50}, {50, 50}, {50, 25}, {1, 25}};  // stops 1 m short
  EXPECT_TRUE(crossings(hook).empty());
  const std::vector<PlanPoint> touch = {{0, 0}, {0, 50}, {50, 50}, {50, 25}, {0, 25}};  // ends on it
  EXPECT_EQ(crossings(touch).size(), 1u);
}

// The embedded line is drawn from its curve records: like any real line, its plan never crosses
// itself, the run-out past the line's end included.
TEST_F(LineDataTest, ThePlanOfTheLineNeverCrossesItself) {
  CompileState state;
  state.write_line_plan = 1;
  FieldReader reader(bytes_, "line.txt");
  ASSERT_EQ(parse_line_description(state, reader), LinePhaseEnd::kGoOn);
  ASSERT_EQ(state.error().ErrorCode, 0);
  const int32_t last = state.plan.next_metre() - 1;
  ASSERT_EQ(last, 130998);
  std::vector<PlanPoint> points;
  for (int32_t m = 0; m <= last; m = m == last ? last + 1 : std::min(last, m + 50)) {
    points.push_back({state.plan.x(m), state.plan.y(m)});
  }
  const std::vector<std::pair<size_t, size_t>> found = crossings(points);
  for (const auto& [i, j] : found) ADD_FAILURE() << "the stretch from " << 50 * i << " m crosses the one from " << 50 * j << " m";
}

TEST(DatiLineaTest, ReplacesALongerExistingFileInTheFolder) {
  TempFolder folder;
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  const std::string expected = written_line_file();
  write_whole_file(folder.file(names.line_description), expected + std::string(20000, 'x'));
  FolderSink sink(folder.path());
  ASSERT_TRUE(dati_linea(sink, names).ok());
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(read_whole_file(folder.file("MorvellaC_DrasconaX_linea.txt")), expected);
}

}  // namespace
}  // namespace scenario
