#include "compiler/line_parser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "compiler/compile.h"
#include "scenario/line_data.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::lines;


// The embedded line's general section (124000 m: plan_length 131000, cells 0 to 2620).
const std::string kGeneral = lines({
    "[generale]",
    "lunghezza percorso,    124000",
    "progressiva chilometrica uno,    0,    0,    0",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    1",
    "sfondo due,    106000",
    "sfondo tre,    58900",
    "ripetizione segnali 4 codici,    0    ,0",
    "[curve]",
});
constexpr int kGeneralLines = 10;

// A line description of the embedded general section, the body rows and "[fine]".
std::string line_file(std::initializer_list<std::string_view> body) { return kGeneral + lines(body) + "[fine]\r\n"; }

struct Parsed {
  CompileState state;
  LinePhaseEnd end = LinePhaseEnd::kGoOn;
  bool read_failure = false;
};

Parsed parse(const std::string& text, int32_t write_line_plan = 0) {
  Parsed parsed;
  parsed.state.write_line_plan = write_line_plan;
  FieldReader reader(text, "line.txt");
  parsed.end = parse_line_description(parsed.state, reader);
  parsed.read_failure = parsed.end == LinePhaseEnd::kFailed;
  return parsed;
}

TEST(LineParserTest, GeneralSectionFillsTheHeaderAndSizesTheModel) {
  const Parsed p = parse(line_file({}), 1);
  ASSERT_FALSE(p.read_failure);
  EXPECT_EQ(p.end, LinePhaseEnd::kGoOn);
  EXPECT_EQ(p.state.error().ErrorCode, 0);
  EXPECT_EQ(p.state.plan_length, 131000);
  EXPECT_EQ(p.state.cell_count, 2620);
  EXPECT_EQ(p.state.cells.size(), 2621u);
  EXPECT_EQ(p.state.plan.plan_length(), 131000);
  const ScenarioRecord& t = p.state.station_table;
  EXPECT_EQ(t[84].area_end, 124000);
  EXPECT_EQ(t[85].area_start, 1);
  EXPECT_EQ(t[85].position, 106000);
  EXPECT_EQ(t[85].area_end, 58900);
  EXPECT_EQ(t[86].area_start, 0);
  EXPECT_EQ(t[86].area_end, 0);
  EXPECT_EQ(t[86].position, 0);
  for (int e = 81; e <= 83; ++e) {
    EXPECT_EQ(t[static_cast<size_t>(e)].area_start, 0);
    EXPECT_EQ(t[static_cast<size_t>(e)].area_end, 0);
    EXPECT_EQ(t[static_cast<size_t>(e)].position, 0);
  }
  EXPECT_EQ(p.state.board_slot, 80);
}

TEST(LineParserTest, GeneralRecordsAndTheirKeywordTests) {
  const struct {
    const char* what;
    std::string_view record;
    int entry;
    int32_t area_start, area_end, position;
  } cases[] = {
      {"repetition with 9 codes", "ripetizione segnali 9 codici,  1000,  5000", 86, 1000, 5000, 9},
      {"repetition with 4 codes and to 0 stores no codes", "ripetizione segnali 4 codici,  1000,  0", 86, 1000, 0, 0},
      {"4 is tested before 9", "ripetizione segnali 9 o 4,  50,  100", 86, 50, 100, 4},
      {"progression uno", "progressiva chilometrica uno,  0,  500,  1", 81, 0, 600, 1},
      {"progression in capitals is not recognised", "Progressiva chilometrica uno,  0,  500,  1", 81, 0, 0, 0},
      {"one field, several tests, in table order", "sfondo uno due,  7,  8", 85, 7, 0, 8},
      {"background keywords keep their case", "Sfondo uno,  7", 85, 0, 0, 0},
      {"the length keyword ignores case", "LUNGHEZZA PERCORSO,  2000", 84, 0, 2000, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = lines({"[generale]", "lunghezza percorso,  124000", c.record, "[curve]", "[fine]"});
    const Parsed p = parse(text);
    ASSERT_FALSE(p.read_failure);
    EXPECT_EQ(p.state.error().ErrorCode, 0);
    const StationEntry& e = p.state.station_table[static_cast<size_t>(c.entry)];
    EXPECT_EQ(e.area_start, c.area_start);
    EXPECT_EQ(e.area_end, c.area_end);
    EXPECT_EQ(e.position, c.position);
  }
}

TEST(LineParserTest, LengthLimits) {
  const struct {
    const char* length;
    int32_t error, cell_count;
  } cases[] = {{"1000000", 0, 20140}, {"1000001", 1, 0}, {"-1", 1, 0}, {"0", 0, 140},
               {"1225", 0, 164},       {"1275", 0, 166}};
  for (const auto& c : cases) {
    const Parsed p = parse(lines({"[generale]", std::string("lunghezza percorso,  ") + c.length, "[curve]", "[fine]"}));
    EXPECT_EQ(p.state.error().ErrorCode, c.error) << c.length;
    EXPECT_EQ(p.state.cell_count, c.cell_count) << c.length;
    EXPECT_EQ(p.state.has_cells(), c.error == 0) << c.length;
  }
}

// Every error of the line phase, with the state it leaves.
TEST(LineParserTest, ErrorsAndWhereTheyHappened) {
  const struct {
    const char* what;
    std::string text;
    int32_t write_line_plan;
    int32_t error;
    int32_t position;  // ErrorPosition, -1 when the error sets none
    LinePhaseEnd end;
    int line;  // line of the record that set the error, 0 when no record did
    int column;
  } cases[] = {
      {"no [generale]", lines({"lunghezza percorso,  1000", "[fine]"}), 0, 102, -1, LinePhaseEnd::kStop, 0, 0},
      {"[generale] on the last line", lines({"x", "  [Generale]"}), 0, 102, -1, LinePhaseEnd::kStop, 0, 0},
      {"length above 1000000", lines({"[generale]", "lunghezza percorso,  1000001", "[fine]"}), 0, 1, -1,
       LinePhaseEnd::kStop, 2, 22},
      {"repetition from not a multiple of 50",
       lines({"[generale]", "lunghezza percorso,  1000", "  ripetizione segnali 4,  1025,  7", "[fine]"}), 0, 3,
       -1, LinePhaseEnd::kStop, 3, 27},
      {"repetition to not a multiple of 50",
       lines({"[generale]", "lunghezza percorso,  1000", "ripetizione segnali 4,  1000,  1030", "[fine]"}), 0, 4,
       -1, LinePhaseEnd::kStop, 3, 32},
      {"repetition without 4 or 9",
       lines({"[generale]", "lunghezza percorso,  1000", "ripetizione segnali codici,  0,  0", "[fine]"}), 0, 5, -1,
       LinePhaseEnd::kStop, 3, 1},
      {"no length record", lines({"[generale]", "sfondo uno,  1", "[curve]", "pendenza,  0,  0", "[fine]"}), 0, 104,
       -1, LinePhaseEnd::kStop, 1, 1},
      {"record beyond the model", line_file({"pendenza,  130901,  3"}), 0, 15, 130901, LinePhaseEnd::kGoOn,
       kGeneralLines + 1, 1},
      {"mountain stretch beyond the model", line_file({"montagna,   130950,  131000,  12"}), 0, 15, 130950,
       LinePhaseEnd::kGoOn, kGeneralLines + 1, 1},
      {"curve beyond the model", line_file({"curvas5,  130950,  10"}), 1, 15, 130950, LinePhaseEnd::kGoOn,
       kGeneralLines + 1, 1},
      {"curve without a class digit", line_file({"curvas7,  800,  100"}), 1, 103, -1, LinePhaseEnd::kStop,
       kGeneralLines + 1, 1},
      {"curve past the plan's last metre", line_file({"curvad5,  130000,  999"}), 1, 103, -1, LinePhaseEnd::kStop,
       kGeneralLines + 1, 1},
      {"board on a speed board",
       line_file({"indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0", "cartello_indicatore,  1050,   (F)"}),
       0, 6, 1050, LinePhaseEnd::kStop, kGeneralLines + 2, 1},
      {"board before the line's first cell", line_file({"cartello_indicatore,  -100,   (F)"}), 0, 6, -100,
       LinePhaseEnd::kStop, kGeneralLines + 1, 1},
      {"speed board on a board",
       line_file({"cartello_indicatore,  1050,   (F)", "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0"}),
       0, 21, 1050, LinePhaseEnd::kStop, kGeneralLines + 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Parsed p = parse(c.text, c.write_line_plan);
    ASSERT_FALSE(p.read_failure);
    EXPECT_EQ(p.state.error().ErrorCode, c.error);
    EXPECT_EQ(p.state.error().ErrorPosition, c.position == -1 ? 0 : c.position);
    EXPECT_EQ(p.end, c.end);
    EXPECT_EQ(p.state.error().place.line, c.line);
    EXPECT_EQ(p.state.error().place.column, c.column);
    if (c.line > 0) {
      EXPECT_EQ(p.state.error().place.file, "line.txt");
    }
  }
}

TEST(LineParserTest, BoardsRefusedBeforeTheFirstCellSaySoAndTakenCellsSayWhatTookThem) {
  struct {
    const char* what;
    std::string record;
    int32_t error;
    const char* detail;
  } cases[] = {
      {"board", "cartello_indicatore,  -100,   (F)", 6, "its cell would lie before the first cell"},
      {"speed board", "indicatori_vmax,  -5000,  90,  100,  100,  0,  ,  ,  ,  0", 21,
       "its cell would lie before the first cell"},
      {"board on a speed board", "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0\r\ncartello_indicatore,  1050,   (F)",
       6, "cell 22 holds a speed indicator board"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Parsed p = parse(line_file({c.record}));
    EXPECT_EQ(p.state.error().ErrorCode, c.error);
    EXPECT_EQ(p.state.error().words, c.detail);
  }
}

TEST(LineParserTest, StatesLeftByErrors) {
  {  // 1: nothing sized, the length kept as read
    const Parsed p = parse(lines({"[generale]", "lunghezza percorso,  1000001", "sfondo uno,  5", "[fine]"}));
    EXPECT_FALSE(p.state.has_cells());
    EXPECT_EQ(p.state.station_table[84].area_end, 1000001);
    EXPECT_EQ(p.state.station_table[85].area_start, 0);
  }
  {  // 3: the values read stay
    const Parsed p = parse(lines({"[generale]", "ripetizione segnali 4,  1025,  5000", "[fine]"}));
    EXPECT_EQ(p.state.error().ErrorCode, 3);
    EXPECT_EQ(p.state.station_table[86].area_start, 1025);
    EXPECT_EQ(p.state.station_table[86].area_end, 5000);
    EXPECT_EQ(p.state.station_table[86].position, 0);
  }
  {  // 15: the rest of the file is not read; the gradients are still filled and the plan continued
    const Parsed p = parse(line_file({"pendenza,  0,  0", "pendenza,  2900,  -1", "pendenza,  130901,  3",
                                      "cartello_indicatore,  1000,   (F)", "pendenza,  5000,  8"}),
                           1);
    EXPECT_EQ(p.state.error().ErrorCode, 15);
    EXPECT_EQ(p.state.cells[57].gradient, 100);
    EXPECT_EQ(p.state.cells[58].gradient, 99);
    EXPECT_EQ(p.state.cells[2617].gradient, 99);
    EXPECT_EQ(p.state.cells[2618].gradient, 0);
    EXPECT_EQ(p.state.cells[21].kind, kEmpty);
    EXPECT_EQ(p.state.board_slot, 80);
    EXPECT_EQ(p.state.plan.next_metre(), 130999);
  }
  {  // 6: the cell and the board slot unchanged
    const Parsed p = parse(line_file({"cartello_indicatore,  1000,   (F)",
                                      "indicatori_vmax,  2000,  125,  135,  140,  0,  ,  ,  ,  0",
                                      "cartello_indicatore,  2000,   (G)"}));
    EXPECT_EQ(p.state.error().ErrorCode, 6);
    EXPECT_EQ(p.state.cells[41].kind, kSpeedBoard);
    EXPECT_EQ(p.state.board_slot, 79);
    EXPECT_EQ(p.state.station_table[79].name, "");
  }
  {  // 21: nothing written on the cell
    const Parsed p = parse(line_file({"cartello_indicatore,  1000,   (F)",
                                      "indicatori_vmax,  1000,  125,  135,  140,  0,  ,  ,  ,  0"}));
    EXPECT_EQ(p.state.error().ErrorCode, 21);
    EXPECT_EQ(p.state.cells[21].kind, kBoardText);
    EXPECT_EQ(p.state.cells[21].value_a, 80);
    EXPECT_EQ(p.state.cells[21].value_b, 0);
  }
  {  // 103: the plan stops at its last computed metre; nothing after the curve is read
    const Parsed p = parse(line_file({"curvas7,  800,  100", "pendenza,  1000,  5"}), 1);
    EXPECT_EQ(p.state.plan.next_metre(), 2);
    EXPECT_EQ(p.state.cells[0].gradient, 0);
    const Parsed q = parse(line_file({"curvad5,  130000,  999"}), 1);
    EXPECT_EQ(q.state.plan.next_metre(), 130999);
    EXPECT_EQ(q.state.plan.element_kind(130998), LinePlan::Element::kDouble);
    EXPECT_EQ(q.state.plan.element_kind(130999), LinePlan::Element::kEmpty);
  }
}

TEST(LineParserTest, ReadFailuresAreError25) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty file", ""},
      {"file ends inside a record", kGeneral + lines({"pendenza,  100"})},
      {"number too large", line_file({"pendenza,  99999999999,  0"})},
      {"file ends inside the general section's dash run", lines({"[generale]", "--", "--"})},
      {"last dash field of the run holds a record", lines({"[generale]", "--", "lunghezza percorso"})},
      {"progression second value cannot take the 100",
       lines({"[generale]", "lunghezza percorso,  1000", "progressiva uno,  0,  2147483600,  1", "[curve]", "[fine]"})},
      {"speed beyond 16 bits", line_file({"indicatori_vmax,  1050,  1639,  0,  0,  0,  ,  ,  ,  0"})},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.text, 1);
    EXPECT_TRUE(p.read_failure) << c.what;
    EXPECT_EQ(p.state.error().ErrorCode, 25) << c.what;
  }
}

TEST(LineParserTest, TheLastFieldIsNeverInterpreted) {
  // A keyword as the file's last field reads no values; one line earlier it does, and fails.
  const Parsed last = parse(kGeneral + "pendenza");
  EXPECT_FALSE(last.read_failure);
  EXPECT_EQ(last.state.error().ErrorCode, 0);
  EXPECT_TRUE(parse(kGeneral + lines({"pendenza", "[fine]"})).read_failure);

  // A general section that ends with the file: the length on the last line is never read.
  const Parsed no_length = parse(lines({"[generale]", "lunghezza percorso"}));
  EXPECT_FALSE(no_length.read_failure);
  EXPECT_EQ(no_length.state.error().ErrorCode, 104);
}

// The cell gradient at cell_count - 3 tells what the last gradient record read was.
int32_t final_gradient(const Parsed& p) {
  return p.state.cells[static_cast<size_t>(p.state.cell_count - 3)].gradient - 100;
}

TEST(LineParserTest, DashRules) {
  const struct {
    const char* what;
    std::string text;
    int32_t background_uno;
  } general_cases[] = {
      {"ten dash fields are passed over, the eleventh is tested",
       lines({"[generale]", "lunghezza percorso,  1000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-",
              "-- sfondo uno", "7", "[curve]", "[fine]"}),
       7},
      {"a tenth dash field is replaced by the next field",
       lines({"[generale]", "lunghezza percorso,  1000", "-", "-", "-", "-", "-", "-", "-", "-", "-",
              "-- sfondo uno", "7", "[curve]", "[fine]"}),
       0},
      {"a bracketed field with a dash does not end the section",
       lines({"[generale]", "lunghezza percorso,  1000", "---[ x ]---", "sfondo uno,  7", "[curve]", "[fine]"}), 7},
      {"an eleventh dash field that holds both brackets and does not begin with a dash ends the section",
       lines({"[generale]", "lunghezza percorso,  1000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "x-[y]",
              "sfondo uno,  7", "[curve]", "[fine]"}),
       0},
      {"an eleventh dash field that begins with a dash does not",
       lines({"[generale]", "lunghezza percorso,  1000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "  -[y]",
              "sfondo uno,  7", "[curve]", "[fine]"}),
       7},
      {"any field with both brackets ends the section, whatever its name",
       lines({"[generale]", "lunghezza percorso,  1000", "[altro]", "sfondo uno,  7", "[fine]"}), 0},
  };
  for (const auto& c : general_cases) {
    const Parsed p = parse(c.text);
    ASSERT_FALSE(p.read_failure) << c.what;
    EXPECT_EQ(p.state.error().ErrorCode, 0) << c.what;
    EXPECT_EQ(p.state.station_table[85].area_start, c.background_uno) << c.what;
  }

  const struct {
    const char* what;
    std::string text;
    int32_t gradient;
  } body_cases[] = {
      {"two dash fields are passed over", line_file({"---", "---", "pendenza,  100,  5"}), 5},
      {"the third dash field is tested", line_file({"---", "---", "-pendenza,  100,  5"}), 5},
      {"a second dash field is replaced", line_file({"---", "-pendenza,  100,  5"}), 0},
  };
  for (const auto& c : body_cases) {
    const Parsed p = parse(c.text);
    ASSERT_FALSE(p.read_failure) << c.what;
    EXPECT_EQ(final_gradient(p), c.gradient) << c.what;
  }
}

TEST(LineParserTest, GradientsFillFromTheirCellToTheNextRecord) {
  const Parsed p = parse(line_file({"pendenza,   0,    0", "pendenza,  125,  5", "pendenza,  175,  -3"}));
  const struct {
    size_t cell;
    int gradient;
  } expected[] = {{0, 100}, {1, 100}, {2, 105}, {3, 105}, {4, 97}, {2617, 97}, {2618, 0}, {2620, 0}};
  for (const auto& e : expected) EXPECT_EQ(p.state.cells[e.cell].gradient, e.gradient) << e.cell;

  // A record whose cell the cursor has passed still writes one cell.
  const Parsed back = parse(line_file({"pendenza,  500,  5", "pendenza,  300,  7"}));
  EXPECT_EQ(back.state.cells[9].gradient, 100);
  EXPECT_EQ(back.state.cells[10].gradient, 105);
  EXPECT_EQ(back.state.cells[11].gradient, 107);

  // Gradients kept to their low 8 bits.
  EXPECT_EQ(final_gradient(parse(line_file({"pendenza,  100,  200"}))) + 100, 44);
  EXPECT_EQ(final_gradient(parse(line_file({"pendenza,  100,  -101"}))) + 100, 255);
  EXPECT_EQ(final_gradient(parse(line_file({"pendenza,  100,  2147483647"}))) + 100, 99);
}

TEST(LineParserTest, GradientFillsStopAtTheLastCell) {
  // Length 0: cells 0 to 140. Each record at cell 138 writes one more cell, up to and past 140.
  const Parsed p = parse(lines({"[generale]", "lunghezza percorso,  0", "[curve]", "pendenza,  6900,  1",
                                "pendenza,  6900,  2", "pendenza,  6900,  3", "pendenza,  6900,  4",
                                "pendenza,  6900,  5", "pendenza,  6900,  6", "[fine]"}));
  ASSERT_EQ(p.state.cells.size(), 141u);
  EXPECT_EQ(p.state.cells[137].gradient, 100);
  EXPECT_EQ(p.state.cells[138].gradient, 101);
  EXPECT_EQ(p.state.cells[139].gradient, 102);
  EXPECT_EQ(p.state.cells[140].gradient, 103);
}

TEST(LineParserTest, PlanOfTheFirstEmbeddedCurve) {
  const Parsed p = parse(line_file({"curvas5,  800,  100"}), 1);
  ASSERT_EQ(p.state.error().ErrorCode, 0);
  const LinePlan& plan = p.state.plan;
  EXPECT_EQ(plan.element_kind(0), LinePlan::Element::kInt16);
  EXPECT_EQ(plan.element_kind(1), LinePlan::Element::kInt16);
  EXPECT_EQ(plan.y(1), 1.0);
  EXPECT_EQ(plan.x(800), 0.0);
  EXPECT_EQ(plan.y(800), 800.0);
  EXPECT_DOUBLE_EQ(plan.x(801), -0.002);
  EXPECT_DOUBLE_EQ(plan.y(801), 801.0);
  EXPECT_DOUBLE_EQ(plan.x(802), -0.006);
  EXPECT_DOUBLE_EQ(plan.y(802), 801.999996);
  EXPECT_NEAR(plan.x(900), -10.0674, 5e-5);
  EXPECT_NEAR(plan.y(900), 899.3347, 5e-5);
  // Straight on from the curve's end to plan_length - 2; the last two metres stay empty.
  const double dx = plan.x(900) - plan.x(899);
  EXPECT_NEAR(plan.x(1000) - plan.x(999), dx, 1e-9);
  EXPECT_EQ(plan.next_metre(), 130999);
  EXPECT_EQ(plan.element_kind(130998), LinePlan::Element::kDouble);
  EXPECT_EQ(plan.element_kind(130999), LinePlan::Element::kEmpty);
  EXPECT_EQ(plan.element_kind(131000), LinePlan::Element::kEmpty);
}

TEST(LineParserTest, CurveSidesClassesAndOverlaps) {
  const struct {
    const char* keyword;
    double x801;  // the first metre of a curve at 800 turns by its curvature
  } cases[] = {{"curvas5", -0.002}, {"curvad5", 0.002}, {"CURVAS5", -0.002}, {"curvad35", 0.0004},
               {"curva1", 0.0001},  {"curvaD6", 0.003}, {"curvaS2", -0.0002}};
  for (const auto& c : cases) {
    const Parsed p = parse(line_file({std::string(c.keyword) + ",  800,  100"}), 1);
    ASSERT_EQ(p.state.error().ErrorCode, 0) << c.keyword;
    EXPECT_DOUBLE_EQ(p.state.plan.x(801), c.x801) << c.keyword;
  }

  // A curve that starts before the plan cursor continues from it.
  const Parsed p = parse(line_file({"curvas5,  800,  100", "curvad5,  850,  100"}), 1);
  const LinePlan& plan = p.state.plan;
  const double dx = plan.x(900) - plan.x(899);
  const double dy = plan.y(900) - plan.y(899);
  EXPECT_DOUBLE_EQ(plan.x(901), plan.x(900) + (dx + 0.002 * dy));
  EXPECT_DOUBLE_EQ(plan.y(901), plan.y(900) + (dy - 0.002 * dx));

  // Without the line record the curves are passed over, class or not.
  const Parsed no_plan = parse(line_file({"curvas7,  800,  100"}), 0);
  EXPECT_EQ(no_plan.state.error().ErrorCode, 0);
  EXPECT_FALSE(no_plan.state.plan.allocated());
}

TEST(LineParserTest, PlanNeverPassesMetre1000000) {
  const Parsed p = parse(lines({"[generale]", "lunghezza percorso,  1000000", "[curve]", "curvad1,  999000,  5000",
                                "[fine]"}),
                         1);
  EXPECT_EQ(p.state.error().ErrorCode, 103);
  EXPECT_EQ(p.end, LinePhaseEnd::kStop);
  EXPECT_EQ(p.state.plan.next_metre(), 1000001);

  const Parsed ends_there = parse(lines({"[generale]", "lunghezza percorso,  1000000", "[curve]",
                                         "curvad1,  999000,  999", "[fine]"}),
                                  1);
  EXPECT_EQ(ends_there.state.error().ErrorCode, 0);
  EXPECT_EQ(ends_there.state.plan.next_metre(), 1006999);
}

TEST(LineParserTest, MountainStretchesAndSpeedBoards) {
  const Parsed p = parse(line_file({"montagna,   23400,  23500,  12", "montagna,   23550,  23800,  12",
                                    "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0",
                                    "indicatori_vmax,  33150,  90,  100,  100,  2,  ,  ,  ,  0"}));
  ASSERT_EQ(p.state.error().ErrorCode, 0);
  EXPECT_EQ(p.state.montagna_count, 2);
  EXPECT_EQ(p.state.cells[468].montagna_tipo, 2);
  EXPECT_EQ(p.state.cells[471].montagna_tipo, 3);
  EXPECT_EQ(p.state.cells[474].kind, kMountainMarker);
  const TrackCell& board = p.state.cells[22];
  EXPECT_EQ(board.kind, kSpeedBoard);
  EXPECT_EQ(board.value_a, 2500);
  EXPECT_EQ(board.value_b, 2700);
  EXPECT_EQ(board.value_c, 2800);
  EXPECT_EQ(board.value_d, 0);
  EXPECT_EQ(p.state.cells[664].value_a, 1800);
  EXPECT_EQ(p.state.cells[664].value_d, 20);
}

TEST(LineParserTest, LineSideBoards) {
  const Parsed p = parse(line_file({"montagna,   2000,  4000,  12",
                                    "cartello_indicatore,  2100,   (P.L.    )(Km 1+452)",
                                    "cartello_indicatore,  3000,   (A),(B)", "pendenza,  100,  3"}));
  ASSERT_EQ(p.state.error().ErrorCode, 0);
  // Cell 43 is the marked stretch's 4th cell (it starts at cell 40): the board replaces the marker.
  EXPECT_EQ(p.state.cells[43].kind, kBoardText);
  EXPECT_EQ(p.state.cells[43].value_a, 80);
  EXPECT_EQ(p.state.cells[47].kind, kMountainMarker);
  EXPECT_EQ(p.state.station_table[80].name, "(P.L.    )(Km 1+452)");
  // A comma cuts the text; the rest is a field of its own, passed over.
  EXPECT_EQ(p.state.cells[61].value_a, 79);
  EXPECT_EQ(p.state.station_table[79].name, "(A)");
  EXPECT_EQ(p.state.board_slot, 78);
  EXPECT_EQ(final_gradient(p), 3);
}

// Boards take entries 80 down to 1; an 81st would take entry 0 and is refused.
TEST(LineParserTest, EightyLineSideBoardsFitAndThe81stIsRefused) {
  std::string body;
  for (int i = 0; i < 80; ++i) body += "cartello_indicatore,  " + std::to_string(1000 + 100 * i) + ",   (F)\r\n";
  const Parsed eighty = parse(kGeneral + body + "[fine]\r\n");
  EXPECT_EQ(eighty.state.error().ErrorCode, 0);
  EXPECT_EQ(eighty.end, LinePhaseEnd::kGoOn);
  EXPECT_EQ(eighty.state.board_slot, 0);
  EXPECT_EQ(eighty.state.station_table[1].name, "(F)");
  EXPECT_EQ(eighty.state.cells[179].kind, kBoardText);
  EXPECT_EQ(eighty.state.cells[179].value_a, 1);

  body += "cartello_indicatore,  9000,   (G)\r\n";
  const Parsed more = parse(kGeneral + body + "[fine]\r\n");
  EXPECT_EQ(more.state.error().ErrorCode, 106);
  EXPECT_EQ(more.state.error().ErrorPosition, 9000);
  EXPECT_EQ(more.end, LinePhaseEnd::kStop);
  EXPECT_EQ(more.state.board_slot, 0);
  EXPECT_EQ(more.state.station_table[0].name, "");
  EXPECT_EQ(more.state.cells[181].kind, kEmpty);
  EXPECT_EQ(more.state.error().place.line, kGeneralLines + 81);
}

TEST(LineParserTest, MemorizzaDatiRemovesTheDescriptionsOnTheRightPaths) {
  const Description train{"train.txt", true, "[generale]\r\n[fine]\r\n"};
  {
    CompileState state;
    const DescriptionFate fate = memorizza_dati(state, Description{"line.txt", false, ""}, train);
    EXPECT_EQ(state.error().ErrorCode, 101);
    EXPECT_FALSE(fate.remove_line);
    EXPECT_FALSE(fate.remove_train);
  }
  {
    CompileState state;
    const DescriptionFate fate = memorizza_dati(state, Description{"line.txt", true, line_file({"curvas7, 1, 1"})},
                                                train);
    EXPECT_EQ(state.error().ErrorCode, 0);  // no line record asked: the curve is passed over
    EXPECT_TRUE(fate.remove_line);
    EXPECT_TRUE(fate.remove_train);
  }
  {
    CompileState state;
    state.write_line_plan = 1;
    const DescriptionFate fate = memorizza_dati(state, Description{"line.txt", true, line_file({"curvas7, 1, 1"})},
                                                train);
    EXPECT_EQ(state.error().ErrorCode, 103);
    EXPECT_TRUE(fate.remove_line);
    EXPECT_FALSE(fate.remove_train);
  }
  {
    CompileState state;
    const DescriptionFate fate =
        memorizza_dati(state, Description{"line.txt", true, kGeneral + lines({"pendenza,  100"})}, train);
    EXPECT_EQ(state.error().ErrorCode, 25);
    EXPECT_TRUE(fate.remove_line);
    EXPECT_TRUE(fate.remove_train);
    EXPECT_EQ(state.error().place.line, kGeneralLines + 1);
  }
}

TEST(LineParserTest, TheEmbeddedLineParsesCleanly) {
  const std::string text = render_table(line_data_table());
  const Parsed p = parse(text, 1);
  ASSERT_FALSE(p.read_failure);
  EXPECT_EQ(p.state.error().ErrorCode, 0);
  EXPECT_EQ(p.end, LinePhaseEnd::kGoOn);
  EXPECT_EQ(p.state.cell_count, 2620);
  // 41 boards: slots 80 down to 40.
  EXPECT_EQ(p.state.board_slot, 39);
  EXPECT_EQ(p.state.montagna_count, 16);
  // The second gradient record ("pendenza,  2900,   -1") writes 100 into cells 0 to 57.
  for (size_t i = 0; i <= 57; ++i) EXPECT_EQ(p.state.cells[i].gradient, 100) << i;
  EXPECT_EQ(p.state.cells[58].gradient, 99);
  EXPECT_DOUBLE_EQ(p.state.plan.x(802), -0.006);
  EXPECT_NEAR(p.state.plan.x(900), -10.0674, 5e-5);
  EXPECT_NEAR(p.state.plan.y(900), 899.3347, 5e-5);
  EXPECT_EQ(p.state.plan.next_metre(), 130999);
}

}  // namespace
}  // namespace scenario
