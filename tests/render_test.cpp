#include "tools/render.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "compiler/binary_outputs.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;

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

// The value of `attribute` in every element that starts with `element_start`, in order.
std::vector<double> attribute_values(const std::string& svg, const std::string& element_start,
                                     const std::string& attribute) {
  std::vector<double> values;
  for (size_t at = svg.find(element_start); at != std::string::npos; at = svg.find(element_start, at + 1)) {
    const size_t end = svg.find('>', at);
    const size_t name = svg.find(" " + attribute + "=\"", at);
    if (name == std::string::npos || name > end) continue;
    values.push_back(std::stod(svg.substr(name + attribute.size() + 3)));
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

TEST(RenderProfile, ShowsStationsWithDepartureTimesTicksAndSlowdowns) {
  const std::string svg = render_profile_svg(build_scene(small_state()));
  EXPECT_NE(svg.find("<tspan class=\"station-name\">MORVELLA C.LE</tspan> <tspan class=\"station-time\">19:20:00"),
            std::string::npos);
  EXPECT_NE(svg.find("<tspan class=\"station-time\">19:31:00</tspan>"), std::string::npos);
  // A station with no time (the train passes it) shows its name alone.
  CompileState state = small_state();
  state.station_table[2].time_seconds = 0;
  EXPECT_EQ(count(render_profile_svg(build_scene(state)), "class=\"station-time\""), 1u);
  EXPECT_EQ(count(svg, "class=\"km-tick\""), 4u);  // 0, 1, 2 and 3 km
  EXPECT_EQ(count(svg, "<rect class=\"slowdown-band\""), 3u);
  EXPECT_EQ(count(svg, "<path class=\"height\""), 1u);
  EXPECT_EQ(count(svg, "<path class=\"speed-limit\""), 1u);
}

TEST(RenderPage, IsSelfContainedAndNamesEverything) {
  const CompileState state = small_state();
  const LineScene scene = build_scene(state);
  const std::string page =
      render_page(scene, state.station_table, render_plan_svg(state, scene), render_profile_svg(scene));
  EXPECT_NE(page.find("Content-Security-Policy\" content=\"default-src 'none'"), std::string::npos);
  for (const char* reference : {"src=", "href", "url(", "@import", "<script", "<link", "<img", "<iframe"}) {
    EXPECT_EQ(page.find(reference), std::string::npos) << reference;
  }
  // The only address is the SVG namespace name, which nothing loads.
  EXPECT_EQ(count(page, "http"), count(page, "xmlns=\"http://www.w3.org/2000/svg\"") + 1);  // + the CSP's http-equiv
  EXPECT_NE(page.find("<title>Line Linea, train 77</title>"), std::string::npos);
  EXPECT_NE(page.find("<td>line length</td><td>area_end</td><td>3000 m (Km 3+000)</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>Fosso &amp; &lt;Ponte&gt; &quot;Alto&quot; Citt\xc3\xa0</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>19:20:00</td>"), std::string::npos);
  EXPECT_NE(page.find("mountain stretch"), std::string::npos);  // the legend
}

// Both drawings are well-formed XML whose station labels are the station names.
TEST(RenderPage, DrawingsParseAsXml) {
  CompileState state = small_state();
  state.station_table[1].name = "A\x01<&>";  // a control character XML cannot hold
  const LineScene scene = build_scene(state);
  TempFolder folder;
  write_whole_file(folder.file("plan.svg"), render_plan_svg(state, scene));
  write_whole_file(folder.file("profile.svg"), render_profile_svg(scene));
  write_whole_file(folder.file("check.py"),
                   "import sys, xml.etree.ElementTree as ET\n"
                   "ns = '{http://www.w3.org/2000/svg}'\n"
                   "for name in sys.argv[1:]:\n"
                   "    root = ET.parse(name).getroot()\n"
                   "    labels = [''.join(t.itertext()).split(' ')[0]\n"
                   "              for t in root.iter(ns + 'text') if t.get('class') == 'station-label']\n"
                   "    assert labels == ['A\\ufffd<&>', 'Fosso'], labels\n"
                   "print('checked')\n");
  std::string output;
  EXPECT_EQ(run_command("python3 " + folder.file("check.py") + " " + folder.file("plan.svg") + " " +
                            folder.file("profile.svg"),
                        &output),
            0)
      << output;
  EXPECT_NE(output.find("checked"), std::string::npos) << output;
}

// --- the command ---

std::string tool() { return SCENARIO_TOOL_BIN; }

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
