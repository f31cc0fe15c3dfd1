#include "render/render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "compiler/compile.h"
#include "format/binary_outputs.h"
#include "scenario/line_table.h"
#include "scenario/short_scenario.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::tool;

// A 3000 m line (cells 0 to 200) drawn straight north, with two stations, a signal, two
// slowdowns (one shorter than a cell), a board, two mountain stretches, a climb and a speed change.
CompileState small_state() {
  CompileState state;
  state.write_line_plan = 1;
  state.allocate_model(3000);
  for (TrackCell& cell : state.cells) {
    cell.gradient = 100;
    cell.speed_limit = 6;
  }
  state.cells[2].gradient = 120;  // +20 per mille: 1 m up over each of cells 2 and 3
  state.cells[3].gradient = 120;
  state.cells[4].gradient = 90;   // then 0.5 m down
  for (size_t i = 4; i < state.cells.size(); ++i) state.cells[i].speed_limit = 28;
  state.cells[3].montagna_tipo = 2;
  state.cells[4].montagna_tipo = 2;
  state.cells[5].montagna_tipo = 3;
  state.cells[5].kind = kSignal;
  state.cells[10] = {kSlowdownStart, 50, 0, 1, 0, 0, 0, 0, 28, 100, 0};
  state.cells[14] = {kSlowdownEnd, 50, 0, 1, 0, 0, 0, 0, 28, 100, 0};
  state.cells[20] = {kSlowdownStart, 30, 0, 0, 0, 0, 0, 0, 28, 100, 0};  // its end fell on the same cell
  state.cells[22] = {kSlowdownStart, 60, 0, 0, 0, 0, 0, 0, 28, 100, 0};
  state.cells[25] = {kSlowdownEnd, 60, 0, 0, 0, 0, 0, 0, 28, 100, 0};
  state.cells[30] = {kBoardText, 80, 0, 0, 0, 0, 0, 0, 28, 100, 0};
  state.cells[40] = {kSlowdownWarning, 40, 0, 0, 0, 0, 0, 0, 28, 100, 0};
  state.station_table[1] = {7, -800, 800, 100, 1, "MORVELLA C.LE", 4, 1, 2, 1, 1, 0, 1, 0, 0, 69600};
  state.station_table[2] = {11, 2250, 2350, 2300, 0, "Fosso & <Ponte> \"Alto\" Citt\xe0", 0, 0, 0, 0, 0, 0, 1, 0, 0,
                            70260};
  state.station_table[80].name = "(P.L.)(Km 1+450)";
  state.station_table[84].area_end = 3000;
  state.station_table[85].name = "Linea";
  state.station_table[86].name = "77";
  state.plan.start();
  for (int32_t m = 2; m <= state.plan_length - 2; ++m) state.plan.append(0.0, m);
  return state;
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(BuildScene, ReadsTheFeaturesAtTheirPositions) {
  const LineScene scene = build_scene(small_state());
  EXPECT_EQ(scene.line_name, "Linea");
  EXPECT_EQ(scene.train_number, "77");
  EXPECT_EQ(scene.line_length, 3000);
  ASSERT_EQ(scene.stations.size(), 2u);
  EXPECT_EQ(scene.stations[0].name, "MORVELLA C.LE");
  EXPECT_EQ(scene.stations[0].position, 100);
  EXPECT_EQ(scene.stations[0].departure, 69600);
  EXPECT_EQ(scene.stations[1].name, "Fosso & <Ponte> \"Alto\" Citt\xc3\xa0");
  EXPECT_EQ(scene.stations[1].entry, 2);

  ASSERT_EQ(scene.signals.size(), 1u);
  EXPECT_EQ(scene.signals[0].position, 200);  // cell 5 lies at 50 * 4 m
  ASSERT_EQ(scene.boards.size(), 1u);
  EXPECT_EQ(scene.boards[0].position, 1450);
  EXPECT_EQ(scene.boards[0].text, "(P.L.)(Km 1+450)");
  ASSERT_EQ(scene.warnings.size(), 1u);
  EXPECT_EQ(scene.warnings[0].value, 40);

  ASSERT_EQ(scene.slowdowns.size(), 3u);
  const SceneSpan expected_slowdowns[] = {{450, 650, 50}, {950, 950, 30}, {1050, 1200, 60}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(scene.slowdowns[i].from, expected_slowdowns[i].from) << i;
    EXPECT_EQ(scene.slowdowns[i].to, expected_slowdowns[i].to) << i;
    EXPECT_EQ(scene.slowdowns[i].value, expected_slowdowns[i].value) << i;
  }
  // Stretch values hold from 50 * i m: cells 3 and 4 are 150 to 250 m, cell 5 is 250 to 300 m.
  ASSERT_EQ(scene.mountains.size(), 2u);
  EXPECT_EQ(scene.mountains[0].from, 150);
  EXPECT_EQ(scene.mountains[0].to, 250);
  EXPECT_EQ(scene.mountains[0].value, 2);
  EXPECT_EQ(scene.mountains[1].from, 250);
  EXPECT_EQ(scene.mountains[1].to, 300);
  EXPECT_EQ(scene.mountains[1].value, 3);
}

TEST(BuildScene, HeightIsTheSumOfTheGradientsAndTheSpeedLimitChangesWhereItsByteDoes) {
  const LineScene scene = build_scene(small_state());
  ASSERT_GE(scene.heights.size(), 7u);
  const double expected[] = {0, 0, 0, 1, 2, 1.5, 1.5};  // at 0, 50, 100 ... 300 m
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(scene.heights[i].position, static_cast<int64_t>(50 * i));
    EXPECT_DOUBLE_EQ(scene.heights[i].value, expected[i]) << i;
  }
  ASSERT_EQ(scene.speed_limits.size(), 2u);
  EXPECT_EQ(scene.speed_limits[0].position, 0);
  EXPECT_EQ(scene.speed_limits[0].value, 30);
  EXPECT_EQ(scene.speed_limits[1].position, 200);
  EXPECT_EQ(scene.speed_limits[1].value, 140);
}

TEST(BuildScene, WithoutALineLengthTheCellsDecideAndOddBoardsDoNotBreakIt) {
  CompileState state = small_state();
  state.station_table[84].area_end = 0;
  state.cells[31] = {kBoardText, 300, 0, 0, 0, 0, 0, 0, 28, 100, 0};  // no such entry
  state.cells[32] = {kBoardText, -1, 0, 0, 0, 0, 0, 0, 28, 100, 0};
  const LineScene scene = build_scene(state);
  EXPECT_EQ(scene.line_length, 201 * 50 - 7000);
  ASSERT_EQ(scene.boards.size(), 3u);
  EXPECT_EQ(scene.boards[1].text, "(entry 300)");
  EXPECT_EQ(scene.boards[2].text, "(entry -1)");
  EXPECT_EQ(build_scene(CompileState()).line_length, 50);
}

TEST(BuildScene, AStationPastTheLineEndStretchesTheProfileAsFarAsTheCellsReach) {
  CompileState state = small_state();
  EXPECT_EQ(build_scene(state).extent, 3000);
  state.station_table[3] = {7, 3000, 3800, 3500, 0, "CAPOLINEA", 0, 0, 0, 0, 0, 0, 1, 0, 0, 71000};
  LineScene scene = build_scene(state);
  EXPECT_EQ(scene.line_length, 3000);
  EXPECT_EQ(scene.extent, 3800);
  const std::string svg = render_profile_svg(scene);
  EXPECT_NE(svg.find(">CAPOLINEA</tspan>"), std::string::npos);
  EXPECT_EQ(count(svg, "<path class=\"line-end\""), 1u);

  state.station_table[3].area_end = 20000;  // beyond the last cell (10000 m)
  EXPECT_EQ(build_scene(state).extent, 10000);
}

// How a station's entry turns into its times: the run starts at the first station with a time and
// ends at the last; a stop has an arrival and a departure, a station without a stop its passing time.
TEST(BuildScene, StationTimesAreDepartureStopPassingArrivalOrNone) {
  CompileState state = small_state();
  const struct {
    int32_t position;
    uint8_t stop;
    int32_t time;
    const char* shown;
  } stations[] = {
      {100, 1, 69600, "dep 19:20:00"},          // the run starts: its stop value is no stop
      {2300, 30, 70000, "arr 19:26:10 dep 19:26:40"},
      {1200, 0, 0, ""},                           // passed without a time (listed out of order)
      {2700, 0, 70500, "passes 19:35:00"},
      {2900, 30, 0, ""},                          // a stop without a time
      {3000, 0, 71000, "arr 19:43:20"},           // the run ends
  };
  for (size_t i = 0; i < std::size(stations); ++i) {
    StationEntry& entry = state.station_table[i + 1];
    entry = {11, stations[i].position - 50, stations[i].position + 50, stations[i].position, 0, "S" + std::to_string(i),
             0, 0, 0, 0, 0, 0, stations[i].stop, 0, 0, stations[i].time};
  }
  const LineScene scene = build_scene(state);
  ASSERT_EQ(scene.stations.size(), std::size(stations));
  for (const SceneStation& station : scene.stations) {
    const size_t i = static_cast<size_t>(station.entry - 1);
    EXPECT_EQ(timing_text(station), stations[i].shown) << station.name;
    EXPECT_EQ(has_time(station), stations[i].time != 0) << station.name;
  }
  EXPECT_EQ(scene.stations[1].name, "S2");  // in the line's order
  EXPECT_EQ(first_time(scene.stations[2]), 70000 - 30);
  EXPECT_EQ(last_time(scene.stations[2]), 70000);
  // A run that ends with a stop ends on its departure.
  state.station_table[6].stop_value = 60;
  EXPECT_EQ(timing_text(build_scene(state).stations.back()), "arr 19:42:20 dep 19:43:20");
}

// Tunnels come from the boards that name them with a kilometre mark: their length from the board,
// or else from the mountain stretches that start at the mark.
TEST(BuildScene, TunnelsAreNamedByTheirBoards) {
  CompileState state = small_state();
  const char* texts[] = {"(Montorsaio)(Km 0+800)(L.m 1.250 )", "(Colle Alto)(Km 2+000 )", "(P.L.A.  )(Km 0+311)",
                         "(Ponte   )(in Ferro)", "(Diramazione)(Pescolla   )(Valmora    )", "(Vuoto)(Km x+1)"};
  for (size_t i = 0; i < std::size(texts); ++i) {
    state.station_table[79 - i].name = texts[i];
    state.cells[100 + i] = {kBoardText, static_cast<int16_t>(79 - i), 0, 0, 0, 0, 0, 0, 28, 100, 0};
  }
  for (size_t i = 40; i < 44; ++i) state.cells[i].montagna_tipo = 2;  // 2000 to 2200 m
  for (size_t i = 46; i < 50; ++i) state.cells[i].montagna_tipo = 3;  // 2300 to 2500 m: 100 m on, one tunnel
  for (size_t i = 56; i < 58; ++i) state.cells[i].montagna_tipo = 2;  // 2800 m: too far on
  const LineScene scene = build_scene(state);
  ASSERT_EQ(scene.tunnels.size(), 2u);
  EXPECT_EQ(scene.tunnels[0].name, "Montorsaio");
  EXPECT_EQ(scene.tunnels[0].from, 800);
  EXPECT_EQ(scene.tunnels[0].to, 2050);
  EXPECT_EQ(scene.tunnels[1].name, "Colle Alto");
  EXPECT_EQ(scene.tunnels[1].from, 2000);
  EXPECT_EQ(scene.tunnels[1].to, 2500);
  const std::string svg = render_profile_svg(scene);
  EXPECT_NE(svg.find(">Montorsaio 1 250 m</text>"), std::string::npos);
  EXPECT_NE(svg.find("<title>tunnel Colle Alto, Km 2+000 to Km 2+500, 500 m</title>"), std::string::npos);
  EXPECT_EQ(metres_words(6478), "6 478 m");
  EXPECT_EQ(metres_words(1000000), "1 000 000 m");
  EXPECT_EQ(metres_words(-50), "-50 m");
}

TEST(Render, KilometreTicksAreOneTwoFiveTimesTenToTheN) {
  const std::pair<int64_t, int64_t> cases[] = {{0, 1000},         {3000, 1000},     {25000, 1000},
                                               {25999, 1000},     {26000, 2000},    {124000, 5000},
                                               {250000, 10000},   {1000000, 50000}, {2000000000, 100000000}};
  for (const auto& [length, step] : cases) EXPECT_EQ(kilometre_tick_step(length), step) << length;
}

TEST(Render, XmlTextEscapesMarkupAndReplacesWhatXmlCannotHold) {
  EXPECT_EQ(xml_text("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&#39;f");
  EXPECT_EQ(xml_text(std::string("x\x01y\x7fz\tw", 7)), "x\xef\xbf\xbdy\xef\xbf\xbdz\tw");
  EXPECT_EQ(xml_text("Citt\xc3\xa0"), "Citt\xc3\xa0");
}

// The value of `attribute` in every element that starts with `element_start`, in order; for
// "cx" and "cy" the first and second number of the element's anchor (data-at).
std::vector<double> attribute_values(const std::string& svg, const std::string& element_start,
                                     const std::string& attribute) {
  const bool anchor = attribute == "cx" || attribute == "cy";
  const std::string name_text = " " + std::string(anchor ? "data-at" : attribute) + "=\"";
  std::vector<double> values;
  for (size_t at = svg.find(element_start); at != std::string::npos; at = svg.find(element_start, at + 1)) {
    const size_t end = svg.find('>', at);
    const size_t name = svg.find(name_text, at);
    if (name == std::string::npos || name > end) continue;
    std::string value = svg.substr(name + name_text.size());
    if (attribute == "cy") value = value.substr(value.find(' ') + 1);
    values.push_back(std::stod(value));
  }
  return values;
}


TEST(RenderPlan, StationsSitOnTheTrackAtTheirPositionsWithNorthUp) {
  const CompileState state = small_state();
  const std::string svg = render_plan_svg(state, build_scene(state));
  const std::vector<double> xs = attribute_values(svg, "<circle class=\"station\"", "cx");
  const std::vector<double> ys = attribute_values(svg, "<circle class=\"station\"", "cy");
  ASSERT_EQ(xs.size(), 2u);
  ASSERT_EQ(ys.size(), 2u);
  EXPECT_DOUBLE_EQ(xs[0], xs[1]);  // a straight line north: same x
  EXPECT_GT(ys[0], ys[1]);         // 100 m is below 2300 m
  // The scale is the same along the whole line: 2200 m between the stations, 100 m from the start.
  const double per_metre = (ys[0] - ys[1]) / 2200.0;
  const std::vector<double> marks = attribute_values(svg, "<circle class=\"km-mark\"", "cy");
  ASSERT_EQ(marks.size(), 4u);  // 0, 1, 2 and 3 km
  EXPECT_NEAR(marks[0], ys[0] + 100 * per_metre, 0.2);
  EXPECT_NEAR(marks[3], ys[0] - 2900 * per_metre, 0.2);

  EXPECT_EQ(count(svg, "class=\"station-label\""), 2u);
  EXPECT_NE(svg.find(">Fosso &amp; &lt;Ponte&gt; &quot;Alto&quot; Citt\xc3\xa0</text>"), std::string::npos);
  EXPECT_EQ(count(svg, "<circle class=\"signal\""), 1u);
  EXPECT_EQ(count(svg, "<path class=\"slowdown\""), 3u);
  EXPECT_EQ(count(svg, "<path class=\"mountain\""), 2u);
  EXPECT_EQ(count(svg, "<rect class=\"board\""), 1u);
  EXPECT_EQ(count(svg, "<path class=\"run-out\""), 1u);  // the 7000 m past the line's end
}

TEST(RenderPlan, WithoutAStartedPlanSaysSoAndNonFinitePointsAreLeftOut) {
  CompileState state = small_state();
  const LineScene scene = build_scene(state);
  state.plan.clear();
  EXPECT_NE(render_plan_svg(state, scene).find("No plan"), std::string::npos);

  state.plan.allocate(100);
  state.plan.start();
  for (int m = 2; m <= 98; ++m) {
    const double bad = m % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : m;
    state.plan.append(m % 11 == 0 ? std::numeric_limits<double>::infinity() : 0.0, bad);
  }
  const std::string svg = render_plan_svg(state, scene);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_NE(svg.find("class=\"track\""), std::string::npos);
}

TEST(RenderProfile, ShowsStationsWithTheirTimesTicksAndSlowdowns) {
  const std::string svg = render_profile_svg(build_scene(small_state()));
  EXPECT_NE(svg.find("<tspan class=\"station-name\">MORVELLA C.LE</tspan><tspan class=\"station-time\" x=\"0\" "
                     "dy=\"12.0\">dep 19:20:00</tspan>"),
            std::string::npos);
  // The last timed station, where the train stops for a second, has both times.
  EXPECT_NE(svg.find("\">arr 19:30:59 dep 19:31:00</tspan>"), std::string::npos);
  // A station with no time (the train passes it) shows its name alone.
  CompileState state = small_state();
  state.station_table[2].time_seconds = 0;
  EXPECT_EQ(count(render_profile_svg(build_scene(state)), "class=\"station-time\""), 1u);
  EXPECT_EQ(count(svg, "class=\"km-tick\""), 4u);  // 0, 1, 2 and 3 km
  EXPECT_EQ(count(svg, "<rect class=\"slowdown-band\""), 3u);
  EXPECT_EQ(count(svg, "<path class=\"height\""), 1u);
  EXPECT_EQ(count(svg, "<path class=\"speed-limit\""), 1u);
}

PageDrawings drawings_of(const CompileState& state, const LineScene& scene) {
  return {render_plan_svg(state, scene), render_profile_svg(scene), render_chart_svg(scene)};
}

// Every stretch of one gradient has its figure in its tooltip; the figure is written on the
// drawing from the first zoom step at which it fits inside the stretch.
TEST(RenderProfile, GradientFiguresWhereTheyFitAndInEveryTooltip) {
  const LineScene scene = build_scene(small_state());
  ASSERT_EQ(scene.gradients.size(), 4u);  // 0, +20 over 100 m, -10 over 50 m, 0 to the end
  EXPECT_EQ(scene.gradients[1].from, 100);
  EXPECT_EQ(scene.gradients[1].to, 200);
  EXPECT_EQ(scene.gradients[1].value, 20);
  const std::string svg = render_profile_svg(scene);
  EXPECT_NE(svg.find("<title>gradient +20\u2030 (rising), Km 0+100 to Km 0+200, 100 m</title>"), std::string::npos);
  EXPECT_NE(svg.find("<title>gradient -10\u2030 (falling), Km 0+200 to Km 0+250, 50 m</title>"), std::string::npos);
  // 100 m are 36 pixels at rest, too few for "+20‰"; 50 m need a zoom of 2.
  const struct {
    const char* figure;
    const char* place;
  } figures[] = {{">+20\u2030</text>", "data-place=\"-;"}, {">-10\u2030</text>", "data-place=\"-;-;"}};
  for (const auto& f : figures) {
    const size_t at = svg.find(f.figure);
    ASSERT_NE(at, std::string::npos) << f.figure;
    const std::string tag = svg.substr(svg.rfind("<text", at), at - svg.rfind("<text", at));
    EXPECT_NE(tag.find(f.place), std::string::npos) << tag;
    EXPECT_NE(tag.find("visibility=\"hidden\""), std::string::npos) << tag;
  }
  EXPECT_EQ(gradient_text(0), "0\u2030");
  EXPECT_EQ(gradient_text(-25), "-25\u2030");
}

// The short scenario, a 12 km line run in 13 minutes, compiled with its plan.
CompileState short_scenario() {
  CompileState state;
  state.line_name = kShortLineName;
  state.train_number = kShortTrainNumber;
  compile(state, true, Description{"Valbruna_linea.txt", true, render_table(short_line_table())},
          Description{"Valbruna_8842-.txt", true, render_table(short_train_table())});
  EXPECT_EQ(state.error().ErrorCode, 0);
  return state;
}

// A short run still gets a readable chart: a plot of some height, its time labels well apart.
TEST(RenderChart, AShortRunIsTallEnoughToReadItsTimes) {
  const std::string svg = render_chart_svg(build_scene(short_scenario()));
  const std::vector<double> label_ys = attribute_values(svg, "<text class=\"tick-label\"", "y");
  ASSERT_GE(label_ys.size(), 5u);
  EXPECT_GE(label_ys.back() - label_ys.front(), 300);
  for (size_t i = 1; i < label_ys.size(); ++i) EXPECT_GE(label_ys[i] - label_ys[i - 1], 19.5) << i;
}

// The plan fits the line itself: the 7 km of cells past a 12 km line's end lie outside the box.
TEST(RenderPlan, FitsTheLineAndLeavesItsRunOutOutside) {
  const CompileState state = short_scenario();
  const LineScene scene = build_scene(state);
  const std::string svg = render_plan_svg(state, scene);
  const std::vector<double> ys = attribute_values(svg, "<circle class=\"station\"", "cy");
  ASSERT_EQ(ys.size(), 3u);
  // The line runs up the box: from its first station near the bottom margin to its last near the top.
  EXPECT_GE(ys.front() - ys.back(), 0.8 * (1000 - 2 * kPlanMargin));
  EXPECT_NE(svg.find("<path class=\"run-out\""), std::string::npos);
}

// The signals table groups each signal's values by side, in words.
TEST(RenderPage, SignalsTableGroupsTheValuesBySide) {
  const CompileState state = short_scenario();
  const std::string page = render_page(build_scene(state), state.station_table, PageDrawings{});
  EXPECT_NE(page.find("<tr><th>position</th><th>left side</th><th>right side</th><th>repetition</th><th>time</th>"
                      "<th>next signal</th></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td>Km 1+200</td><td>value 2; aspects 3, 1, 0</td><td>value 2; aspects 2, 1, 0</td>"
                      "<td>value 0</td><td>kept: 0</td><td>3100 m on</td></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td>Km 4+300</td><td>value 2; aspects 3, 1, 0</td><td>none</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>none after it</td></tr>"), std::string::npos);
}

TEST(RenderChart, TheRunThroughItsTimesWithStopsAndATimeLabelPerTimedStation) {
  CompileState state = small_state();
  state.station_table[2].stop_value = 60;     // a stop from 19:30:00 to 19:31:00
  state.station_table[3] = {11, 2800, 2900, 2850, 0, "PASSO", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // no time
  const std::string svg = render_chart_svg(build_scene(state));
  EXPECT_NE(svg.find("data-zoom=\"x\""), std::string::npos);
  EXPECT_EQ(count(svg, "class=\"station-label\""), 3u);
  EXPECT_EQ(count(svg, "class=\"time-label\""), 2u);
  EXPECT_NE(svg.find("data-station=\"1\""), std::string::npos);
  EXPECT_NE(svg.find(">19:20</text>"), std::string::npos);
  EXPECT_NE(svg.find(">19:31</text>"), std::string::npos);
  EXPECT_EQ(count(svg, "<path class=\"stop\""), 1u);
  EXPECT_NE(svg.find("stop of 60 s, arr 19:30:00 dep 19:31:00</title>"), std::string::npos);
  EXPECT_NE(svg.find("text-anchor=\"end\">19:20</text>"), std::string::npos);  // the time axis starts at a round time
  EXPECT_EQ(count(svg, "<path class=\"train-run\""), 1u);

  state.station_table[2].time_seconds = 0;  // one timed station is no run
  EXPECT_NE(render_chart_svg(build_scene(state)).find("No run to chart"), std::string::npos);
  const std::pair<int64_t, const char*> times[] = {{69600, "19:20"}, {69630, "19:20:30"}, {90000, "25:00"}};
  for (const auto& [seconds, text] : times) EXPECT_EQ(chart_time_text(seconds), text);
}

// A line running north-east fills the drawing's height, one scale on both axes.
TEST(RenderPlan, FillsItsBoxAtOneScaleWithAScaleBar) {
  CompileState state = small_state();
  state.plan.clear();
  state.plan.allocate(state.plan_length);
  state.plan.start();
  for (int32_t m = 2; m <= state.plan_length - 2; ++m) {
    state.plan.append(m * 0.6, m * 0.8);  // straight, 3 east for 4 north
  }
  const std::string svg = render_plan_svg(state, build_scene(state));
  EXPECT_NE(svg.find("width=\"1200.0\" height=\"1000.0\""), std::string::npos);
  const std::vector<double> xs = attribute_values(svg, "<circle class=\"station\"", "cx");
  const std::vector<double> ys = attribute_values(svg, "<circle class=\"station\"", "cy");
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_NEAR((xs[1] - xs[0]) / (ys[0] - ys[1]), 0.75, 0.002);  // east over north, as on the ground
  // The line itself (to its last station) spans the height but for the margins; the run-out of
  // the cells past it lies outside the fit, faint.
  const LineScene scene = build_scene(state);
  const double per_metre = (ys[0] - ys[1]) / (0.8 * 2200);
  EXPECT_NEAR(per_metre * 0.8 * static_cast<double>(scene.extent), 1000 - 2 * kPlanMargin, 1.0);
  EXPECT_LT(static_cast<double>(scene.extent), 0.5 * (state.plan_length - 2));
  EXPECT_NE(svg.find("<path class=\"run-out\""), std::string::npos);
  const size_t scales = svg.find("data-scales=\"");
  ASSERT_NE(scales, std::string::npos);
  const std::string bar = svg.substr(scales + 13, svg.find('"', scales + 13) - scales - 13);
  EXPECT_EQ(std::count(bar.begin(), bar.end(), ';'), static_cast<long>(kZoomStepCount - 1));
  const double first_px = std::stod(bar);
  EXPECT_GE(first_px, 60);
  EXPECT_LE(first_px, 150);
  EXPECT_NEAR(first_px / per_metre, 200, 1.0);  // "200 m" at rest
  EXPECT_EQ(bar.substr(bar.find(' ') + 1, 6), "200 m;");
}

TEST(RenderPage, IsSelfContainedAndNamesEverything) {
  const CompileState state = small_state();
  const LineScene scene = build_scene(state);
  const std::string page = render_page(scene, state.station_table, drawings_of(state, scene));
  EXPECT_NE(page.find("Content-Security-Policy\" content=\"default-src 'none'"), std::string::npos);
  for (const char* reference : {"src=", "href", "url(", "@import", "<link", "<img", "<iframe", "fetch(",
                                "XMLHttpRequest", "import(", "WebSocket", "location"}) {
    EXPECT_EQ(page.find(reference), std::string::npos) << reference;
  }
  // One inline script, admitted by its hash and by nothing else.
  EXPECT_EQ(count(page, "<script"), 1u);
  EXPECT_NE(page.find("<script>" + zoom_script() + "</script>"), std::string::npos);
  EXPECT_NE(page.find("; script-src " + zoom_script_source() + "\">"), std::string::npos);
  EXPECT_EQ(page.find("unsafe-eval"), std::string::npos);
  EXPECT_EQ(count(page, "unsafe-inline"), 1u);  // for styles only
  // The only address is the SVG namespace name, which nothing loads.
  EXPECT_EQ(count(page, "http"), count(page, "xmlns=\"http://www.w3.org/2000/svg\"") + 1);  // + the CSP's http-equiv
  EXPECT_NE(page.find("<title>Line Linea, train 77</title>"), std::string::npos);
  EXPECT_NE(page.find("<td>line length</td><td>area_end</td><td>3000 m (Km 3+000)</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>Fosso &amp; &lt;Ponte&gt; &quot;Alto&quot; Citt\xc3\xa0</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>19:20:00</td>"), std::string::npos);
  EXPECT_NE(page.find("mountain stretch"), std::string::npos);  // the legend
  EXPECT_NE(page.find("<h2>Time-distance chart</h2>\n<svg"), std::string::npos);
  EXPECT_NE(page.find("<table id=\"signals\">"), std::string::npos);
}

// Both drawings are well-formed XML whose station labels are the station names.
TEST(RenderPage, DrawingsParseAsXml) {
  CompileState state = small_state();
  state.station_table[1].name = "A\x01<&>";  // a control character XML cannot hold
  const LineScene scene = build_scene(state);
  TempFolder folder;
  write_whole_file(folder.file("plan.svg"), render_plan_svg(state, scene));
  write_whole_file(folder.file("profile.svg"), render_profile_svg(scene));
  write_whole_file(folder.file("chart.svg"), render_chart_svg(scene));
  write_whole_file(folder.file("check.py"),
                   "import sys, xml.etree.ElementTree as ET\n"
                   "ns = '{http://www.w3.org/2000/svg}'\n"
                   "for name in sys.argv[1:]:\n"
                   "    root = ET.parse(name).getroot()\n"
                   "    texts = [t for t in root.iter(ns + 'text') if t.get('class') == 'station-label']\n"
                   "    labels = [(t.find(ns + 'tspan').text if t.find(ns + 'tspan') is not None else t.text)\n"
                   "              .split(' ')[0] for t in texts]\n"
                   "    assert labels == ['A\\ufffd<&>', 'Fosso'], labels\n"
                   "print('checked')\n");
  std::string output;
  EXPECT_EQ(run_command("python3 " + folder.file("check.py") + " " + folder.file("plan.svg") + " " +
                            folder.file("profile.svg") + " " + folder.file("chart.svg"),
                        &output),
            0)
      << output;
  EXPECT_NE(output.find("checked"), std::string::npos) << output;
}

// --- the command ---


TEST(RenderCommand, WritesThePageAndBothDrawingsSilently) {
  TempFolder folder;
  const CompileState state = small_state();
  write_whole_file(folder.file("L_77.dat"), encode_track_cells(state));
  write_whole_file(folder.file("L_77.sim"), encode_scenario_record(state));
  write_whole_file(folder.file("L_linea.dat"), encode_line_plan(state.plan));
  std::string output;
  const std::string command = tool() + " render --dat " + folder.file("L_77.dat") + " --sim " +
                              folder.file("L_77.sim") + " --plan " + folder.file("L_linea.dat") + " --out " +
                              folder.file("out/page");
  ASSERT_EQ(run_command(command, &output), 0) << output;
  EXPECT_EQ(output, "");
  const LineScene scene = build_scene(state);
  EXPECT_EQ(read_whole_file(folder.file("out/page/plan.svg")), render_plan_svg(state, scene));
  EXPECT_EQ(read_whole_file(folder.file("out/page/profile.svg")), render_profile_svg(scene));
  EXPECT_EQ(read_whole_file(folder.file("out/page/chart.svg")), render_chart_svg(scene));
  const std::string page = read_whole_file(folder.file("out/page/index.html"));
  EXPECT_NE(page.find(render_plan_svg(state, scene)), std::string::npos);

  ASSERT_EQ(run_command(command + " --verbose", &output), 0) << output;
  for (const char* phase : {"read ", "decoded 201 track cells", "decoded a plan of metres 0 to 10000", "wrote ",
                            "index.html, ", " ms)\n"}) {
    EXPECT_NE(output.find(phase), std::string::npos) << phase << "\n" << output;
  }

  // Without the line record the page still renders, and says there is no plan.
  ASSERT_EQ(run_command(tool() + " render --dat " + folder.file("L_77.dat") + " --sim " + folder.file("L_77.sim") +
                            " --out " + folder.file("noplan"),
                        &output),
            0)
      << output;
  EXPECT_NE(read_whole_file(folder.file("noplan/index.html")).find("No plan"), std::string::npos);
}

TEST(RenderCommand, BadUsageIs64AndFileErrorsAre3) {
  TempFolder folder;
  write_whole_file(folder.file("ok.dat"), std::string(15 * 3, '\0'));
  write_whole_file(folder.file("long.sim"), std::string(2958 + 1, '\0'));
  write_whole_file(folder.file("blocker"), "a file where the output folder should go");
  const std::string dat = " --dat " + folder.file("ok.dat");
  struct Case {
    std::string arguments;
    int status;
    std::string words;
  };
  const std::vector<Case> cases = {
      {"", 64, "--dat is required"},
      {dat + " --out x", 64, "--sim is required"},
      {dat + " --sim y", 64, "--out is required"},
      {dat + dat, 64, "--dat: At Most 1 required but received 2"},
      {dat + " --sim", 64, "--sim: 1 required FILE missing"},
      {dat + " --out x --sim=", 64, "--sim: 1 required FILE missing"},
      {dat + " --out x --sim ''", 64, "--sim: needs a value"},
      {dat + " --sim y --out x stray", 64, "not expected: stray"},
      {dat + " --sim " + folder.file("none.sim") + " --out " + folder.file("o"), 3, "none.sim': "},
      {dat + " --sim " + folder.file("long.sim") + " --out " + folder.file("o"), 3,
       "long.sim': at byte 2958: 1 byte after the last entry (86)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string output;
    EXPECT_EQ(run_command(tool() + " render" + c.arguments, &output), c.status);
    EXPECT_NE(output.find("scenario_tool render: "), std::string::npos) << output;
    EXPECT_NE(output.find(c.words), std::string::npos) << output;
  }
  write_whole_file(folder.file("ok.sim"), std::string(2958, '\0'));
  std::string output;
  EXPECT_EQ(run_command(tool() + " render" + dat + " --sim " + folder.file("ok.sim") + " --out " +
                            folder.file("blocker/page"),
                        &output),
            3);
  EXPECT_NE(output.find(folder.file("blocker/page")), std::string::npos) << output;
}

}  // namespace
}  // namespace scenario
