#include "compiler/binary_outputs.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace scenario {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(BinaryOutputsTest, TrackCellsArePacked15ByteRecords) {
  CompileState state;
  state.cells.resize(2);
  TrackCell& cell = state.cells[1];
  cell.kind = kSpeedBoard;
  cell.value_a = 2500;
  cell.value_b = -2;
  cell.value_c = 0x1234;
  cell.value_d = 20;
  cell.signal_time = 1;
  cell.approach_code = 2;
  cell.montagna_tipo = 3;
  cell.speed_limit = 4;
  cell.gradient = 99;
  cell.adhesion = 255;
  const std::string expected =
      std::string(15, '\0') +
      bytes({0x06, 0xC4, 0x09, 0xFE, 0xFF, 0x34, 0x12, 0x14, 0x00, 0x01, 0x02, 0x03, 0x04, 0x63, 0xFF});
  EXPECT_EQ(encode_track_cells(state), expected);
}

TEST(BinaryOutputsTest, ScenarioRecordEntries) {
  CompileState state;
  StationEntry& station = state.station_table[1];
  station.station_type = 7;
  station.area_start = -800;
  station.area_end = 800;
  station.position = 0;
  station.option_a = 1;
  station.name = "MORVELLA C.LE";
  station.group1_a = 4;
  station.group1_b = 1;
  station.group2_a = 2;
  station.group2_b = 1;
  station.group2_c = 1;
  station.group1_c = 0;
  station.stop_value = 1;
  station.option_c = 0;
  station.option_b = 0;
  station.time_seconds = 69600;
  state.station_table[85].name = "MorvellaC_DrasconaX";
  state.station_table[85].group1_a = 610;
  state.station_table[86].name = "Forl\xEC";  // one code-page-1252 byte for the accented letter

  const std::string record = encode_scenario_record(state);
  ASSERT_EQ(record.size(), 2958u + 13 + 19 + 5);
  EXPECT_EQ(record.substr(0, 34), std::string(34, '\0'));

  const std::string first_station = bytes({0x07, 0xE0, 0xFC, 0xFF, 0xFF, 0x20, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0x01, 0x0D, 0x00}) +
                                    "MORVELLA C.LE" +
                                    bytes({0x04, 0x00, 0x01, 0x00, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00,
                                           0x00, 0xE0, 0x0F, 0x01, 0x00});
  ASSERT_EQ(first_station.size(), 47u);
  EXPECT_EQ(record.substr(34, 47), first_station);

  // Entries 2 to 84 are empty: 34 bytes each; entry 85 starts after them and is 53 bytes.
  const size_t entry85 = 34 + 47 + 83 * 34;
  EXPECT_EQ(record.substr(81, 83 * 34), std::string(83 * 34, '\0'));
  EXPECT_EQ(record.substr(entry85 + 14, 2), bytes({19, 0}));
  EXPECT_EQ(record.substr(entry85 + 16, 19), "MorvellaC_DrasconaX");
  EXPECT_EQ(record.substr(entry85 + 35, 2), bytes({0x62, 0x02}));
  const size_t entry86 = entry85 + 53;
  EXPECT_EQ(record.substr(entry86 + 14, 2 + 5), bytes({5, 0}) + "Forl\xEC");
  EXPECT_EQ(entry86 + 34 + 5, record.size());
}

// option_c stands before option_b on disk: two different values show the order.
TEST(BinaryOutputsTest, OptionCIsWrittenBeforeOptionB) {
  CompileState state;
  StationEntry& station = state.station_table[1];
  station.name = "AB";
  station.option_b = 0x0B;
  station.option_c = 0x0C;
  const std::string record = encode_scenario_record(state);
  const size_t entry1 = 34;
  EXPECT_EQ(record.substr(entry1 + 28 + 2, 2), bytes({0x0C, 0x0B}));
}

TEST(BinaryOutputsTest, AnEmptyEntryIs34Bytes) {
  CompileState state;
  const std::string record = encode_scenario_record(state);
  EXPECT_EQ(record, std::string(87 * 34, '\0'));
}

TEST(BinaryOutputsTest, ANameTooLongForItsCountIsCutToIt) {
  CompileState state;
  state.station_table[80].name = std::string(70000, 'x');
  const std::string record = encode_scenario_record(state);
  ASSERT_EQ(record.size(), 2958u + 65535);
  const size_t entry80 = 80 * 34;
  EXPECT_EQ(record.substr(entry80 + 14, 2), bytes({0xFF, 0xFF}));
  EXPECT_EQ(record.substr(entry80 + 16 + 65535, 34 - 16), std::string(18, '\0'));
}

TEST(BinaryOutputsTest, LinePlanTagsAndValues) {
  LinePlan plan;
  plan.allocate(5);
  plan.start();
  plan.append(1.5, 2.0);   // metre 2
  plan.append(-1.0, 3.0);  // metre 3
  const std::string half_x = bytes({2, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 5, 0, 0, 0, 0, 0, 0, 0,
                                    0xF0, 0xBF, 0, 0, 0, 0});
  const std::string half_y = bytes({2, 0, 0, 0, 2, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 5, 0, 0, 0, 0, 0, 0, 0,
                                    0x08, 0x40, 0, 0, 0, 0});
  ASSERT_EQ(half_x.size(), 10u * 5 - 18);
  EXPECT_EQ(encode_line_plan(plan), half_x + half_y);

  LinePlan not_started;
  not_started.allocate(5);
  EXPECT_EQ(encode_line_plan(not_started), std::string(2 * 6 * 2, '\0'));
  EXPECT_EQ(encode_line_plan(LinePlan()), "");
}

TEST(BinaryOutputsTest, SizesForThe124000MetreLine) {
  CompileState state;
  state.write_line_plan = 1;
  state.allocate_model(124000);
  state.plan.start();
  while (state.plan.next_metre() <= state.plan_length - 2) state.plan.append(0.0, 1.0);
  EXPECT_EQ(encode_track_cells(state).size(), 39315u);
  EXPECT_EQ(encode_line_plan(state.plan).size(), 2619964u);
}

class FailingSink : public MemorySink {
 public:
  explicit FailingSink(std::string failing) : failing_(std::move(failing)) {}
  Status write_file(const std::string& name, std::string_view data) override {
    if (name == failing_) return Status::FileSystem(name, "disk full");
    return MemorySink::write_file(name, data);
  }

 private:
  std::string failing_;
};

TEST(BinaryOutputsTest, WritesTheFilesInOrderAndTheLineRecordOnlyWhenAsked) {
  const ScenarioFileNames names = scenario_file_names("L", "T");
  CompileState state;
  state.write_line_plan = 1;
  state.allocate_model(0);
  MemorySink sink;
  ASSERT_TRUE(write_outputs(state, names, sink).ok());
  EXPECT_EQ(sink.order, (std::vector<std::string>{"L_linea.dat", "L_T.sim", "L_T.dat"}));
  EXPECT_EQ(sink.files["L_T.dat"], encode_track_cells(state));
  EXPECT_EQ(sink.files["L_T.sim"], encode_scenario_record(state));
  EXPECT_EQ(sink.files["L_linea.dat"], encode_line_plan(state.plan));

  state.write_line_plan = 0;
  MemorySink without_plan;
  ASSERT_TRUE(write_outputs(state, names, without_plan).ok());
  EXPECT_EQ(without_plan.order, (std::vector<std::string>{"L_T.sim", "L_T.dat"}));

  FailingSink failing("L_T.sim");
  EXPECT_FALSE(write_outputs(state, names, failing).ok());
  EXPECT_TRUE(failing.order.empty());
}

}  // namespace
}  // namespace scenario
