// The train description as dati_treno writes it, checked the way the simulator's train reader
// sees the file: its lines, sections, column widths, value ranges and the rows that must stand verbatim.
#include "scenario/train_data.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

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

std::string written_train_file() {
  MemorySink sink;
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  EXPECT_TRUE(dati_treno(sink, names).ok());
  return sink.files[names.train_description];
}

// A whole number right-aligned in exactly `width` characters.
bool is_right_aligned_number(const std::string& field, size_t width) {
  if (field.size() != width) return false;
  const size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const size_t digits = field[first] == '-' ? first + 1 : first;
  return digits < field.size() && field.find_first_not_of("0123456789", digits) == std::string::npos;
}

// The record's numbers (all fields but a trailing name).
// The fields of a record after its keyword.
std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields = testing::comma_fields(line);
  fields.erase(fields.begin());
  return fields;
}

std::vector<long> numbers_of(const std::string& line, size_t count) {
  const std::vector<std::string> fields = fields_of(line);
  std::vector<long> values;
  for (size_t i = 0; i < count && i < fields.size(); ++i) values.push_back(std::stol(fields[i]));
  return values;
}

class TrainDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = written_train_file();
    lines_ = crlf_lines(bytes_);
    ASSERT_EQ(lines_.size(), 95u);
  }
  std::vector<std::string> range(size_t first, size_t last) const {
    return std::vector<std::string>(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                                    lines_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  }
  std::vector<std::string> speeds() const { return range(8, 19); }
  std::vector<std::string> stations() const { return range(21, 43); }
  std::vector<std::string> signals() const { return range(49, 92); }

  std::string bytes_;
  std::vector<std::string> lines_;
};

TEST_F(TrainDataTest, HasTheSectionsAndTheGeneralRecordsInFull) {
  const std::pair<size_t, const char*> fixed[] = {
      {0, "[generale]"},
      {1, "numero vetture,    2"},
      {2, "percentuale massa frenata,    95"},
      {3, "sabbia,    60"},
      {4, "orologio,    19              19            45 "},
      {5, "[aderenze]"},
      {6, "aderenza,   0,    100"},
      {7, "[vel_limite]"},
      {8, "velocita,   0,    30"},
      {20, "[stazioni]"},
      {44, "[rallentamenti]"},
      {45, "rallentamento,   64750,    50,  200, 1,  0,  0"},
      {46, "rallentamento,   91650,    40,   50, 0,  0,  0"},
      {47, "rallentamento,  102000,    30,   50, 0,  1,  0"},
      {48, "[segnali]"},
      {93, "[codici]"},
      {94, "[fine]"},
  };
  for (const auto& [index, text] : fixed) EXPECT_EQ(lines_[index], text) << "line index " << index;
  EXPECT_EQ(bytes_.find("riferimento fine del file"), std::string::npos);
  for (const std::string& line : range(9, 19)) EXPECT_EQ(line.rfind("velocita,", 0), 0u) << line;
  for (const std::string& line : stations()) EXPECT_EQ(line.rfind("stazione,", 0), 0u) << line;
  for (const std::string& line : signals()) EXPECT_EQ(line.rfind("segnale,", 0), 0u) << line;
}

// Every value of a record stands right-aligned in its column's width.
TEST_F(TrainDataTest, EachRecordKindKeepsItsColumnWidths) {
  struct Kind {
    const char* name;
    std::vector<std::string> lines;
    std::vector<size_t> widths;
    bool named;
  };
  const Kind kinds[] = {
      {"speed limit", range(9, 19), {8, 6}, false},
      {"station", stations(), {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, true},
      {"slowdown", range(45, 47), {8, 6, 5, 2, 3, 3}, false},
      {"signal", signals(), {8, 4, 2, 2, 3, 2, 5, 3, 1, 1, 2}, false},
  };
  for (const Kind& kind : kinds) {
    for (const std::string& line : kind.lines) {
      const std::vector<std::string> fields = fields_of(line);
      ASSERT_EQ(fields.size(), kind.widths.size() + (kind.named ? 1 : 0)) << kind.name << ": " << line;
      for (size_t i = 0; i < kind.widths.size(); ++i) {
        EXPECT_TRUE(is_right_aligned_number(fields[i], kind.widths[i]))
            << kind.name << " value " << i + 1 << " '" << fields[i] << "': " << line;
      }
      if (kind.named) {
        const std::string& name = fields.back();
        EXPECT_TRUE(name.size() > 1 && name[0] == ' ' && name[1] != ' ' && name.back() != ' ') << line;
      }
    }
  }
}

TEST_F(TrainDataTest, SpeedLimitsRunInOrderWithTheListedSpeeds) {
  std::vector<long> speeds_in_order;
  long previous = -1;
  for (const std::string& line : speeds()) {
    const std::vector<long> v = numbers_of(line, 2);
    EXPECT_GT(v[0], previous) << line;
    EXPECT_EQ(v[1] % 5, 0) << line;
    previous = v[0];
    speeds_in_order.push_back(v[1]);
  }
  EXPECT_EQ(speeds_in_order, (std::vector<long>{30, 140, 135, 125, 100, 130, 60, 30, 95, 80, 90, 85}));
  EXPECT_EQ(previous, 85800);
  for (const char* row : {"velocita,   14050,   135", "velocita,   43000,    60"}) {
    EXPECT_NE(std::find(lines_.begin(), lines_.end(), row), lines_.end()) << row;
  }
}

TEST_F(TrainDataTest, StationsHoldTheListedValues) {
  const std::vector<std::string> all = stations();
  std::map<long, int> per_type;
  long with_flag_6 = 0;
  int passed = 0, without_signals = 0, without_signals_with_time = 0;
  long previous_position = -1, previous_time = 0;
  for (size_t k = 0; k < all.size(); ++k) {
    const std::vector<long> v = numbers_of(all[k], 16);
    const bool first_or_last = k == 0 || k + 1 == all.size();
    const long position = v[0], type = v[1], length = v[2];
    EXPECT_EQ(position % 50, 0) << all[k];
    EXPECT_GT(position, previous_position) << all[k];
    previous_position = position;
    per_type[type]++;
    EXPECT_TRUE(length >= 200 && length <= 1000 && length % 100 == 0) << all[k];
    EXPECT_EQ(v[3], first_or_last ? 1 : 0) << all[k];
    EXPECT_EQ(v[4], 0) << all[k];
    EXPECT_TRUE(v[5] == 0 || v[5] == 1) << all[k];
    with_flag_6 += v[5];
    EXPECT_TRUE(std::set<long>({0, 1, 4}).count(v[6]) && v[7] <= 1 && v[8] == 0) << all[k];
    EXPECT_TRUE(std::set<long>({0, 2, 4, 5}).count(v[9]) && std::set<long>({0, 1, 4}).count(v[10]) &&
                v[11] <= 1)
        << all[k];
    const long stop = v[12], hours = v[13], minutes = v[14], seconds = v[15];
    EXPECT_TRUE(stop == 0 || stop == 30 || stop == 60 || (stop == 1 && k == 0)) << all[k];
    EXPECT_EQ(seconds, 0) << all[k];
    if (stop == 0 && hours == 0 && minutes == 0) {
      ++passed;
    } else {
      EXPECT_TRUE(hours >= 19 && hours <= 21 && minutes >= 0 && minutes <= 59) << all[k];
      const long time = hours * 60 + minutes;
      EXPECT_GT(time, previous_time) << "the timetable runs forward: " << all[k];
      previous_time = time;
    }
    if (std::all_of(v.begin() + 6, v.begin() + 12, [](long value) { return value == 0; })) {
      ++without_signals;
      if (hours != 0) ++without_signals_with_time;
    }
  }
  EXPECT_EQ(per_type, (std::map<long, int>{{7, 1}, {11, 6}, {12, 4}, {21, 4}, {22, 4}, {25, 3}, {27, 1}}));
  EXPECT_EQ(numbers_of(all.front(), 2)[1], 7);
  EXPECT_EQ(with_flag_6, 2);
  EXPECT_EQ(passed, 7);
  EXPECT_EQ(without_signals, 4);
  EXPECT_EQ(without_signals_with_time, 3);
  EXPECT_EQ(all.front(),
            "stazione,       0,  7,  800,  1, 0, 0,  4,1,0,  2,1,1,    1,  19,20, 0, MORVELLA C.LE");
  EXPECT_EQ(all.back(),
            "stazione,  125750, 12,  500,  1, 0, 0,  1,1,0,  2,1,1,    0,  21,23, 0, DRASCONA SCALO");
  for (const char* row : {
           "stazione,    8250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, QUERVANO",
           "stazione,   18300, 25,  500,  0, 0, 0,  0,0,0,  0,0,0,   30,  19,39, 0, Sorvalda",
           "stazione,   94900, 21,  400,  0, 0, 1,  0,0,0,  4,1,1,   60,  20,50, 0, ROVESCA",
       }) {
    EXPECT_NE(std::find(all.begin(), all.end(), row), all.end()) << row;
  }
}

TEST_F(TrainDataTest, SignalsHoldTheListedValueDistributions) {
  const std::vector<std::string> all = signals();
  std::map<long, int> per_sx;
  std::map<std::pair<long, long>, int> per_dx_d1;
  int s3_set = 0, d3_set = 0;
  long previous = -1;
  for (const std::string& line : all) {
    const std::vector<long> v = numbers_of(line, 11);
    EXPECT_GT(v[0], previous) << line;
    previous = v[0];
    per_sx[v[1]]++;
    EXPECT_TRUE(v[2] >= 2 && v[2] <= 5) << line;
    EXPECT_TRUE(std::set<long>({0, 1, 3, 4, 5, 6}).count(v[3])) << line;
    s3_set += v[4] != 0;
    EXPECT_TRUE(v[4] == 0 || v[4] == 6) << line;
    EXPECT_EQ(v[5], 0) << line;
    per_dx_d1[{v[6], v[7]}]++;
    EXPECT_TRUE(v[8] == 0 || v[8] == 1) << line;
    d3_set += v[9] != 0;
    EXPECT_TRUE(v[9] == 0 || v[9] == 1) << line;
    EXPECT_EQ(v[10], 0) << line;
  }
  EXPECT_EQ(per_sx, (std::map<long, int>{{1, 16}, {2, 28}}));
  EXPECT_EQ(per_dx_d1[std::make_pair(0L, 0L)], 30);
  EXPECT_EQ(per_dx_d1[std::make_pair(1L, 3L)] + per_dx_d1[std::make_pair(2L, 2L)], 14);
  EXPECT_EQ(s3_set, 1);
  EXPECT_EQ(d3_set, 1);
  EXPECT_EQ(numbers_of(all.front(), 1)[0], 1750);
  EXPECT_EQ(previous, 124900);
}

// A distant signal (sx 1) announces the main signal (sx 2) that follows it 900 to 1800 m on.
TEST_F(TrainDataTest, EverySx1SignalIsFollowedByAnSx2Signal) {
  const std::vector<std::string> all = signals();
  for (size_t i = 0; i < all.size(); ++i) {
    const std::vector<long> v = numbers_of(all[i], 2);
    if (v[1] != 1) continue;
    ASSERT_LT(i + 1, all.size()) << all[i];
    const std::vector<long> next = numbers_of(all[i + 1], 2);
    EXPECT_EQ(next[1], 2) << all[i];
    EXPECT_GE(next[0] - v[0], 900) << all[i];
    EXPECT_LE(next[0] - v[0], 1800) << all[i];
  }
}

TEST_F(TrainDataTest, TheQuotedSignalRowsStandVerbatim) {
  const std::vector<std::string> all = signals();
  EXPECT_EQ(all.front(), "segnale,    1750,   2, 3, 1,  0, 0,    2,  2,1,0, 0");
  for (const char* row : {
           "segnale,   19500,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
           "segnale,   21750,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
           "segnale,   40900,   1, 5, 6,  0, 0,    1,  3,0,0, 0",
           "segnale,   42250,   2, 2, 5,  6, 0,    2,  2,1,1, 0",
       }) {
    EXPECT_NE(std::find(all.begin(), all.end(), row), all.end()) << row;
  }
}

TEST(DatiTrenoTest, ReplacesALongerExistingFileInTheFolder) {
  TempFolder folder;
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  const std::string expected = written_train_file();
  write_whole_file(folder.file(names.train_description), expected + expected);
  FolderSink sink(folder.path());
  ASSERT_TRUE(dati_treno(sink, names).ok());
  ASSERT_TRUE(sink.finish().ok());
  EXPECT_EQ(read_whole_file(folder.file("MorvellaC_DrasconaX_5521-.txt")), expected);
}

}  // namespace
}  // namespace scenario
