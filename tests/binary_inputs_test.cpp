#include "format/binary_inputs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "format/binary_layout.h"
#include "format/binary_outputs.h"
#include "format/coding.h"

namespace scenario {
namespace {

std::string hex_bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// --- track cells ---

TEST(DecodeTrackCells, ReadsEveryFieldAtItsOffset) {
  // Two cells; the second has a distinct byte in every field, and negative 16-bit values.
  std::string bytes(15, '\0');
  bytes += hex_bytes({0x01, 0x20, 0x00, 0xfe, 0xff, 0x34, 0x12, 0x00, 0x80, 0x65, 0x51, 0x02, 0x1c, 0x63, 0x64});
  std::vector<TrackCell> cells;
  ASSERT_TRUE(decode_track_cells(bytes, &cells).ok());
  ASSERT_EQ(cells.size(), 2u);
  EXPECT_EQ(cells[0], TrackCell());
  const TrackCell& c = cells[1];
  EXPECT_EQ(c.kind, 1);
  EXPECT_EQ(c.value_a, 32);
  EXPECT_EQ(c.value_b, -2);
  EXPECT_EQ(c.value_c, 0x1234);
  EXPECT_EQ(c.value_d, -32768);
  EXPECT_EQ(c.signal_time, 101);
  EXPECT_EQ(c.approach_code, 81);
  EXPECT_EQ(c.montagna_tipo, 2);
  EXPECT_EQ(c.speed_limit, 28);
  EXPECT_EQ(c.gradient, 99);
  EXPECT_EQ(c.adhesion, 100);
}

TEST(DecodeTrackCells, RefusesWrongLengthsWithTheOffsetOfTheBrokenCell) {
  struct Case {
    size_t length;
    size_t offset;
    const char* words;
  };
  const Case cases[] = {
      {0, 0, "empty"},
      {14, 0, "cell 0 is cut short: 14 bytes of its 15"},
      {16, 15, "cell 1 is cut short: 1 byte of its 15"},
      {15 * 3 + 7, 45, "cell 3 is cut short"},
      {15 * (kMaxDecodedCells + 1), 15 * kMaxDecodedCells, "more than the 20141"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::vector<TrackCell> cells(3);
    const Status result = decode_track_cells(std::string(c.length, '\x07'), &cells);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.offset(), c.offset);
    EXPECT_NE(result.reason().find(c.words), std::string::npos) << result.reason();
    EXPECT_NE(result.ToString().find("at byte " + std::to_string(c.offset) + ": "), std::string::npos);
    EXPECT_TRUE(cells.empty());
  }
  std::vector<TrackCell> cells;
  EXPECT_TRUE(decode_track_cells(std::string(15 * kMaxDecodedCells, '\0'), &cells).ok());
  EXPECT_EQ(cells.size(), kMaxDecodedCells);
}

// --- scenario record ---

// The first station of the embedded train as the compiler writes it: 47 bytes.
std::string first_station_bytes() {
  std::string out = hex_bytes({0x07, 0xe0, 0xfc, 0xff, 0xff, 0x20, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
                               0x0d, 0x00});
  out += "MORVELLA C.LE";
  out += hex_bytes({0x04, 0x00, 0x01, 0x00, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0xe0, 0x0f,
                    0x01, 0x00});
  return out;
}

std::string empty_entry() { return std::string(layout::kEntryFixedSize, '\0'); }

// Entry 0 empty, entry 1 the first station, entries 2 to 86 empty: 2958 + 13 bytes.
std::string record_with_first_station() {
  std::string out = empty_entry() + first_station_bytes();
  for (int i = 2; i < kStationEntryCount; ++i) out += empty_entry();
  return out;
}

TEST(DecodeScenarioRecord, ReadsTheFirstStationOfTheEmbeddedTrain) {
  ScenarioRecord record;
  const std::string bytes = record_with_first_station();
  ASSERT_EQ(bytes.size(), 2958u + 13u);
  ASSERT_TRUE(decode_scenario_record(bytes, &record).ok());
  const StationEntry& s = record[1];
  EXPECT_EQ(s.station_type, 7);
  EXPECT_EQ(s.area_start, -800);
  EXPECT_EQ(s.area_end, 800);
  EXPECT_EQ(s.position, 0);
  EXPECT_EQ(s.option_a, 1);
  EXPECT_EQ(s.name, "MORVELLA C.LE");
  EXPECT_EQ(s.group1_a, 4);
  EXPECT_EQ(s.group1_b, 1);
  EXPECT_EQ(s.group2_a, 2);
  EXPECT_EQ(s.group2_b, 1);
  EXPECT_EQ(s.group2_c, 1);
  EXPECT_EQ(s.group1_c, 0);
  EXPECT_EQ(s.stop_value, 1);
  EXPECT_EQ(s.option_c, 0);
  EXPECT_EQ(s.option_b, 0);
  EXPECT_EQ(s.time_seconds, 69600);
  EXPECT_EQ(record[0], StationEntry());
  EXPECT_EQ(record[86], StationEntry());
}

// option_c is read from before option_b: two different values show the order.
TEST(DecodeScenarioRecord, ReadsOptionCBeforeOptionB) {
  std::string bytes = std::string(87 * 34, '\0');
  bytes[34 + 28] = 0x0C;
  bytes[34 + 29] = 0x0B;
  ScenarioRecord record;
  ASSERT_TRUE(decode_scenario_record(bytes, &record).ok());
  EXPECT_EQ(record[1].option_c, 0x0C);
  EXPECT_EQ(record[1].option_b, 0x0B);
}

TEST(DecodeScenarioRecord, RefusesTruncatedAndOverlongFilesAtTheBrokenEntry) {
  const std::string whole = record_with_first_station();
  struct Case {
    size_t length;
    size_t offset;
    const char* words;
  };
  const Case cases[] = {
      {0, 0, "entry 0 is cut short: the part before its name needs 16 bytes, 0 bytes left"},
      {33, 0, "entry 0 runs past the end of the file: with its 0-byte name it needs 34 bytes, 33 bytes left"},
      {34 + 15, 34, "entry 1 is cut short"},
      {34 + 16 + 12, 34, "entry 1 runs past the end of the file: with its 13-byte name it needs 47 bytes"},
      {34 + 46, 34, "entry 1 runs past"},
      {whole.size() - 1, whole.size() - 34, "entry 86 runs past"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    ScenarioRecord record;
    record[3].name = "left over";
    const Status result = decode_scenario_record(whole.substr(0, c.length), &record);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.offset(), c.offset);
    EXPECT_NE(result.reason().find(c.words), std::string::npos) << result.reason();
    EXPECT_EQ(record[3], StationEntry());
  }
  ScenarioRecord record;
  const Status overlong = decode_scenario_record(whole + "xy", &record);
  ASSERT_FALSE(overlong.ok());
  EXPECT_EQ(overlong.offset(), whole.size());
  EXPECT_NE(overlong.reason().find("2 bytes after the last entry (86)"), std::string::npos) << overlong.reason();
}

TEST(DecodeScenarioRecord, ANameCountReachingPastTheEndIsRefusedNotRead) {
  std::string bytes = record_with_first_station();
  bytes[14] = '\xff';  // entry 0 claims a 65535-byte name
  bytes[15] = '\xff';
  ScenarioRecord record;
  const Status result = decode_scenario_record(bytes, &record);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.offset(), 0u);
  EXPECT_NE(result.reason().find("65535-byte name"), std::string::npos) << result.reason();
}

// --- line record ---

void put_element(std::string& out, LinePlan::Element kind, double value) {
  if (kind == LinePlan::Element::kEmpty) {
    put_u16(out, layout::kTagEmpty);
  } else if (kind == LinePlan::Element::kInt16) {
    put_u16(out, layout::kTagInt16);
    put_i16(out, static_cast<int16_t>(value));
  } else {
    put_u16(out, layout::kTagDouble);
    put_f64(out, value);
  }
}

using E = LinePlan::Element;

// A plan of metres 0 to 4 as the line parser leaves it: integers, two doubles, two empties... here
// one double at metre 2, then metres 3 and 4 empty.
std::string small_plan_bytes() {
  std::string out;
  put_element(out, E::kInt16, 0);
  put_element(out, E::kInt16, 0);
  put_element(out, E::kDouble, -0.002);
  put_element(out, E::kEmpty, 0);
  put_element(out, E::kEmpty, 0);
  put_element(out, E::kInt16, 0);
  put_element(out, E::kInt16, 1);
  put_element(out, E::kDouble, 2.5);
  put_element(out, E::kEmpty, 0);
  put_element(out, E::kEmpty, 0);
  return out;
}

TEST(DecodeLinePlan, ReadsTheShapeTheLineParserLeaves) {
  LinePlan plan;
  const std::string bytes = small_plan_bytes();
  ASSERT_EQ(bytes.size(), 2 * layout::built_plan_half_size(4));
  ASSERT_TRUE(decode_line_plan(bytes, &plan).ok());
  EXPECT_TRUE(plan.allocated());
  EXPECT_TRUE(plan.started());
  EXPECT_EQ(plan.plan_length(), 4);
  EXPECT_EQ(plan.next_metre(), 3);
  EXPECT_EQ(plan.element_kind(1), E::kInt16);
  EXPECT_EQ(plan.element_kind(2), E::kDouble);
  EXPECT_EQ(plan.element_kind(3), E::kEmpty);
  EXPECT_EQ(plan.x(2), -0.002);
  EXPECT_EQ(plan.y(2), 2.5);
  EXPECT_EQ(plan.y(1), 1.0);
}

// The model can hold a plan computed up to its very last metre: no empty element at the end.
TEST(DecodeLinePlan, AcceptsDoublesUpToTheLastMetre) {
  std::string bytes;
  for (int half = 0; half < 2; ++half) {
    put_element(bytes, E::kInt16, 0);
    put_element(bytes, E::kInt16, half);
    for (int metre = 2; metre <= 4; ++metre) put_element(bytes, E::kDouble, 10.0 * half + metre);
  }
  LinePlan plan;
  const Status result = decode_line_plan(bytes, &plan);
  ASSERT_TRUE(result.ok()) << result.ToString();
  EXPECT_EQ(plan.plan_length(), 4);
  EXPECT_EQ(plan.next_metre(), 5);
  EXPECT_EQ(plan.element_kind(4), E::kDouble);
  EXPECT_EQ(plan.x(4), 4.0);
  EXPECT_EQ(plan.y(4), 14.0);
  EXPECT_EQ(encode_line_plan(plan), bytes);
}

TEST(DecodeLinePlan, AnEmptyFileIsAnUnsizedPlanAndAllEmptyElementsAnUnstartedOne) {
  LinePlan plan;
  ASSERT_TRUE(decode_line_plan("", &plan).ok());
  EXPECT_FALSE(plan.allocated());

  std::string empties;
  for (int i = 0; i < 6; ++i) put_element(empties, E::kEmpty, 0);
  ASSERT_TRUE(decode_line_plan(empties, &plan).ok());
  EXPECT_TRUE(plan.allocated());
  EXPECT_FALSE(plan.started());
  EXPECT_EQ(plan.plan_length(), 2);
}

TEST(DecodeLinePlan, RefusesBrokenFilesWithTheOffsetOfTheBrokenElement) {
  const std::string good = small_plan_bytes();
  // Offsets of the elements of small_plan_bytes: x half 0, 4, 8, 18, 20; y half 22, 26, 30, 40, 42.
  auto with = [&](size_t offset, std::initializer_list<int> replacement) {
    std::string bytes = good;
    size_t at = offset;
    for (int b : replacement) bytes[at++] = static_cast<char>(b);
    return bytes;
  };
  struct Case {
    std::string bytes;
    size_t offset;
    const char* words;
  };
  const std::vector<Case> cases = {
      {good.substr(0, good.size() - 1), 42, "element 9 is cut short: its tag needs 2 bytes, 1 byte left"},
      {good.substr(0, 35), 30, "element 7 (a double (tag 5)) runs past the end of the file: it needs 10 bytes, 5"},
      {good.substr(0, good.size() - 2), good.size() - 2, "9 elements, an odd number"},
      {with(18, {0x07, 0x00}), 18, "element 3 has the unknown tag 7"},
      {good.substr(0, 40) + std::string("\x02\x00\x00\x00\x00\x00", 6), 40,
       "y of metre 3 is a 16-bit integer (tag 2) where the plan holds empty (tag 0)"},
      {with(26, {0x02, 0x00, 0x05, 0x00}), 26, "y of metre 1 is 5: a plan starts at (0, 0) and (0, 1)"},
      {with(4, {0x02, 0x00, 0x03, 0x00}), 4, "x of metre 1 is 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    LinePlan plan;
    plan.allocate(9);
    const Status result = decode_line_plan(c.bytes, &plan);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.offset(), c.offset);
    EXPECT_NE(result.reason().find(c.words), std::string::npos) << result.reason();
    EXPECT_FALSE(plan.allocated());
  }
}

TEST(DecodeLinePlan, RefusesHalvesOfDifferentShape) {
  struct Case {
    std::vector<E> x;
    std::vector<E> y;
    size_t bad_element;  // index among all elements
    const char* words;
  };
  const std::vector<Case> cases = {
      // y computed one metre further than x.
      {{E::kInt16, E::kInt16, E::kDouble, E::kEmpty}, {E::kInt16, E::kInt16, E::kDouble, E::kDouble}, 7,
       "y of metre 3 is a double (tag 5) where the plan holds empty (tag 0)"},
      // a hole in the doubles.
      {{E::kInt16, E::kInt16, E::kEmpty, E::kDouble}, {E::kInt16, E::kInt16, E::kEmpty, E::kDouble}, 3,
       "x of metre 3 is a double (tag 5) where the plan holds empty"},
      // integers after the start.
      {{E::kInt16, E::kInt16, E::kInt16, E::kEmpty}, {E::kInt16, E::kInt16, E::kInt16, E::kEmpty}, 2,
       "x of metre 2 is a 16-bit integer"},
      // the plan does not start with integers.
      {{E::kDouble, E::kDouble, E::kEmpty, E::kEmpty}, {E::kDouble, E::kDouble, E::kEmpty, E::kEmpty}, 0,
       "starts with 16-bit integers at metres 0 and 1"},
      // x never started, y did.
      {{E::kEmpty, E::kEmpty, E::kEmpty, E::kEmpty}, {E::kInt16, E::kInt16, E::kEmpty, E::kEmpty}, 4,
       "holds only empty elements"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    std::string bytes;
    std::vector<size_t> offsets;
    for (int half = 0; half < 2; ++half) {
      const std::vector<E>& kinds = half == 0 ? c.x : c.y;
      for (size_t m = 0; m < kinds.size(); ++m) {
        offsets.push_back(bytes.size());
        put_element(bytes, kinds[m], half == 1 && m == 1 ? 1.0 : 0.0);
      }
    }
    LinePlan plan;
    const Status result = decode_line_plan(bytes, &plan);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.offset(), offsets[c.bad_element]);
    EXPECT_NE(result.reason().find(c.words), std::string::npos) << result.reason();
  }
}

TEST(DecodeLinePlan, RefusesAPlanLongerThanTheLongestLineBeforeStoringIt) {
  const size_t limit = 2 * (static_cast<size_t>(kMaxDecodedPlanLength) + 1);
  std::string bytes;
  for (size_t i = 0; i < limit + 2; ++i) put_element(bytes, E::kEmpty, 0);
  LinePlan plan;
  const Status result = decode_line_plan(bytes, &plan);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.offset(), limit * layout::kEmptyElementSize);
  EXPECT_NE(result.reason().find("longer than the plan of the longest line"), std::string::npos);
}

// --- round trip ---

// A small model with something in every field, a name outside ASCII, and a started plan.
CompileState hand_made_model() {
  CompileState state;
  state.line_name = "Linea";
  state.train_number = "77";
  state.write_line_plan = 1;
  state.allocate_model(300);  // 7300 m: cells 0 to 146, plan of metres 0 to 7300
  for (size_t i = 0; i < state.cells.size(); ++i) {
    TrackCell& cell = state.cells[i];
    cell.speed_limit = static_cast<uint8_t>(i < 20 ? 6 : 28);
    cell.gradient = static_cast<uint8_t>(i < 60 ? 100 : 97);
    cell.adhesion = 100;
  }
  state.cells[3] = {1, 32, 11, -5, 8, 101, 0, 2, 28, 97, 100};
  state.cells[1].value_a = 5121;
  state.cells[1].value_b = 2422;
  state.cells[146].approach_code = 84;
  state.station_table[1].station_type = 7;
  state.station_table[1].area_start = -800;
  state.station_table[1].name = "Citt\xec";  // "Città"-like: one code-page-1252 byte beyond ASCII
  state.station_table[1].time_seconds = 69600;
  state.station_table[80].name = "Km 3";
  state.station_table[84].area_end = 300;
  state.station_table[85].name = state.line_name;
  state.station_table[85].group1_a = 610;
  state.station_table[86].name = state.train_number;
  state.station_table[86].group2_a = 19;
  state.plan.start();
  for (int32_t m = 2; m <= state.plan_length - 2; ++m) state.plan.append(0.001 * m, m - 0.25);
  return state;
}

TEST(BinaryRoundTrip, WriteReadWriteGivesTheSameBytes) {
  const CompileState original = hand_made_model();
  const std::string cells_bytes = encode_track_cells(original);
  const std::string record_bytes = encode_scenario_record(original);
  const std::string plan_bytes = encode_line_plan(original.plan);
  ASSERT_EQ(plan_bytes.size(), 2 * layout::built_plan_half_size(7300));

  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  ASSERT_TRUE(decode_track_cells(cells_bytes, &cells).ok());
  ASSERT_TRUE(decode_scenario_record(record_bytes, &record).ok());
  ASSERT_TRUE(decode_line_plan(plan_bytes, &plan).ok());
  CompileState decoded;
  adopt_decoded(std::move(cells), record, std::move(plan), &decoded);

  EXPECT_EQ(decoded.cells, original.cells);
  EXPECT_EQ(decoded.station_table, original.station_table);
  EXPECT_EQ(decoded.cell_count, original.cell_count);
  EXPECT_EQ(decoded.plan_length, original.plan_length);
  EXPECT_EQ(decoded.line_name, "Linea");
  EXPECT_EQ(decoded.train_number, "77");
  EXPECT_TRUE(decoded.plan.allocated());
  EXPECT_EQ(encode_track_cells(decoded), cells_bytes);
  EXPECT_EQ(encode_scenario_record(decoded), record_bytes);
  EXPECT_EQ(encode_line_plan(decoded.plan), plan_bytes);
}

TEST(BinaryRoundTrip, UnstartedAndUnsizedPlansComeBackAsTheyWere) {
  LinePlan sized;
  sized.allocate(5);
  LinePlan decoded;
  ASSERT_TRUE(decode_line_plan(encode_line_plan(sized), &decoded).ok());
  EXPECT_EQ(encode_line_plan(decoded), encode_line_plan(sized));
  EXPECT_TRUE(decoded.allocated());

  ASSERT_TRUE(decode_line_plan(encode_line_plan(LinePlan()), &decoded).ok());
  EXPECT_FALSE(decoded.allocated());
}

TEST(BinaryRoundTrip, NonFiniteDoublesKeepTheirBits) {
  LinePlan plan;
  plan.allocate(5);
  plan.start();
  plan.append(std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity());
  plan.append(-0.0, std::numeric_limits<double>::denorm_min());
  const std::string bytes = encode_line_plan(plan);
  LinePlan decoded;
  ASSERT_TRUE(decode_line_plan(bytes, &decoded).ok());
  EXPECT_EQ(encode_line_plan(decoded), bytes);
}

// Whatever the bytes, the decoders answer without reading outside them (the sanitizers watch).
TEST(BinaryInputs, ArbitraryBytesNeverCrash) {
  std::mt19937 random(7);
  const std::string seeds[] = {record_with_first_station(), small_plan_bytes(), std::string(45, '\0')};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = seeds[round % 3];
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 3) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: bytes.erase(at, 1 + random() % 8); break;
        default: bytes.insert(at, 1 + random() % 4, static_cast<char>(random())); break;
      }
    }
    std::vector<TrackCell> cells;
    ScenarioRecord record;
    LinePlan plan;
    const Status a = decode_track_cells(bytes, &cells);
    const Status b = decode_scenario_record(bytes, &record);
    const Status c = decode_line_plan(bytes, &plan);
    EXPECT_LE(a.offset(), bytes.size());
    EXPECT_LE(b.offset(), bytes.size());
    EXPECT_LE(c.offset(), bytes.size());
  }
}

}  // namespace
}  // namespace scenario
