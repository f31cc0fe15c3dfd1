#include "format/binary_outputs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>

#include "format/coding.h"

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

// The tagged doubles of the line record, stored eight at a time where the machine allows: every
// count around the block of eight, at every alignment, gives each element's tag and then its
// double least significant byte first, and nothing outside the elements is touched.
TEST(BinaryOutputsTest, TaggedDoublesWhateverTheirCountAndAlignment) {
  double values[27];
  for (size_t i = 0; i < std::size(values); ++i) {
    // Every byte of every value distinct, so that a byte put in the wrong place shows.
    values[i] = std::bit_cast<double>(0x0807060504030201ull + 0x1010101010101010ull * (i % 15) + i);
  }
  for (size_t count = 0; count <= 25; ++count) {
    for (size_t shift = 0; shift < 4; ++shift) {
      SCOPED_TRACE(testing::Message() << count << " elements, output shifted " << shift);
      std::string buffer(4 + 270 + 4, '\xEE');
      char* const start = buffer.data() + 4 + shift;
      const double* source = values + (shift % 2);
      char* const end = encode_tagged_f64s(start, 0xA105, source, count);
      ASSERT_EQ(end - start, static_cast<ptrdiff_t>(10 * count));
      std::string expected;
      for (size_t i = 0; i < count; ++i) {
        expected += bytes({0x05, 0xA1});
        const uint64_t bits = std::bit_cast<uint64_t>(source[i]);
        for (int b = 0; b < 8; ++b) expected.push_back(static_cast<char>(bits >> (8 * b)));
      }
      EXPECT_EQ(std::string(start, end), expected);
      EXPECT_EQ(buffer.substr(0, 4 + shift), std::string(4 + shift, '\xEE'));
      const size_t after = static_cast<size_t>(end - buffer.data());
      EXPECT_EQ(buffer.substr(after), std::string(buffer.size() - after, '\xEE'));
    }
  }
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

// The bytes of a source taken in chunks of at most `capacity`, each chunk checked against it.
std::string in_chunks(ByteSource& source, size_t capacity) {
  std::string out;
  std::string buffer(capacity, '\0');
  while (const size_t n = source.next_chunk(buffer.data(), capacity)) {
    EXPECT_LE(n, capacity);
    out.append(buffer, 0, n);
  }
  EXPECT_EQ(source.next_chunk(buffer.data(), capacity), 0u);  // done stays done
  return out;
}

// A plan of metres 0 to 300: the starting points, then doubles (a straight, a curve and a
// straight again, so that chunks end inside runs and across them), then empty metres.
LinePlan computed_plan(int32_t computed_to) {
  LinePlan plan;
  plan.allocate(300);
  plan.start();
  plan.run_to(std::min(computed_to, 40), 0.0);
  plan.run_to(std::min(computed_to, 140), 0.0013);
  plan.run_to(computed_to, 0.0);
  return plan;
}

// The streamed files are the same bytes whatever the buffer the sink offers: the smallest one, a
// size that cuts records, and one larger than the file; and size() tells their length beforehand.
TEST(BinaryOutputsTest, StreamedFilesDoNotDependOnTheChunkSize) {
  CompileState state;
  state.allocate_model(100);
  for (size_t i = 0; i < state.cells.size(); ++i) state.cells[i].value_b = static_cast<int16_t>(i * 97);
  LinePlan unstarted;
  unstarted.allocate(9);
  const LinePlan plans[] = {computed_plan(298), computed_plan(150), computed_plan(2), unstarted, LinePlan()};
  for (const size_t capacity : {ByteSource::kMinChunk, size_t{97}, size_t{1} << 20}) {
    SCOPED_TRACE(capacity);
    TrackCellsSource cells(state.cells);
    EXPECT_EQ(cells.size(), state.cells.size() * 15);
    const std::string cell_bytes = in_chunks(cells, capacity);
    EXPECT_EQ(cell_bytes.size(), cells.size());
    EXPECT_EQ(cell_bytes.substr(15 * 7 + 3, 2), bytes({7 * 97 & 0xFF, 7 * 97 >> 8}));
    for (const LinePlan& plan : plans) {
      SCOPED_TRACE(plan.next_metre());
      LinePlanSource source(plan);
      const std::string streamed = in_chunks(source, capacity);
      EXPECT_EQ(streamed.size(), source.size());
      // The record element by element, as the layout says.
      std::string expected;
      for (int coordinate = 0; plan.allocated() && coordinate < 2; ++coordinate) {
        for (int32_t m = 0; m <= plan.plan_length(); ++m) {
          const double value = coordinate == 0 ? plan.x(m) : plan.y(m);
          switch (plan.element_kind(m)) {
            case LinePlan::Element::kEmpty: expected += bytes({0, 0}); break;
            case LinePlan::Element::kInt16: expected += bytes({2, 0, static_cast<int>(value), 0}); break;
            case LinePlan::Element::kDouble: {
              expected += bytes({5, 0});
              const uint64_t bits = std::bit_cast<uint64_t>(value);
              for (int b = 0; b < 8; ++b) expected.push_back(static_cast<char>(bits >> (8 * b)));
              break;
            }
          }
        }
      }
      EXPECT_EQ(streamed, expected);
    }
  }
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

  state.plan.clear();
  MemorySink without_plan;
  ASSERT_TRUE(write_outputs(state, names, without_plan).ok());
  EXPECT_EQ(without_plan.order, (std::vector<std::string>{"L_T.sim", "L_T.dat"}));

  FailingSink failing("L_T.sim");
  EXPECT_FALSE(write_outputs(state, names, failing).ok());
  EXPECT_TRUE(failing.order.empty());
}

}  // namespace
}  // namespace scenario
