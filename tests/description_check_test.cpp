// The check of descriptions: every error at once, past the faulty records, and the warnings, each
// at the file, line and column of the field at fault.
#include "compiler/description_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <cstdint>

#include "compiler/check_findings.h"
#include "compiler/compile.h"
#include "compiler/did_you_mean.h"
#include "format/output_sink.h"
#include "scenario/text_writers.h"
#include "tests/scenario_generator.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::lines;

constexpr const char* kLineFile = "line.txt";
constexpr const char* kTrainFile = "train-.txt";


// A small line: the general section on lines 1 to 3, its body records from line 4.
std::string small_line(const std::vector<std::string>& body) {
  std::vector<std::string> rows = {"[generale]", "lunghezza percorso, 10000", "[curve]"};
  rows.insert(rows.end(), body.begin(), body.end());
  rows.push_back("[fine]");
  return lines(rows);
}

// A small train: its records from line 4.
std::string small_train(const std::vector<std::string>& records) {
  std::vector<std::string> rows = {"[generale]", "velocita, 0, 100", "aderenza, 0, 90"};
  rows.insert(rows.end(), records.begin(), records.end());
  rows.push_back("[fine]");
  return lines(rows);
}

std::vector<CheckFinding> check(const std::string& line, const std::string& train) {
  return check_descriptions(Description{kLineFile, true, line}, Description{kTrainFile, true, train});
}

// An expected finding: in the line ('L') or train ('T') description, on a line, at the column
// where `at` first stands on that line ("" for column 1, "$" for just past the line's end).
struct Expected {
  char file;
  int line;
  std::string at;
  Severity severity;
  std::string code;
};

int column_of(const std::string& text, int line, const std::string& at) {
  size_t start = 0;
  for (int i = 1; i < line; ++i) start = text.find("\r\n", start) + 2;
  const std::string row = text.substr(start, text.find("\r\n", start) - start);
  if (at.empty()) return 1;
  if (at == "$") return static_cast<int>(row.size()) + 1;
  const size_t found = row.find(at);
  EXPECT_NE(found, std::string::npos) << "'" << at << "' is not on line " << line << ": " << row;
  return static_cast<int>(found) + 1;
}

struct MistakeCase {
  const char* what;
  std::string line;
  std::string train;
  std::vector<Expected> findings;
};

constexpr Severity kError = Severity::kError;
constexpr Severity kWarning = Severity::kWarning;

const char* const kSignal = ", 2, 3, 1, 0, 0, 2, 2, 1, 0, 0";
const char* const kStationValues = ", 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, ";

TEST(DescriptionCheckTest, AuthorsMistakesGiveTheirFindings) {
  const MistakeCase cases[] = {
      {"misspelled train keyword", small_line({}),
       small_train({std::string("stazone, 1000") + kStationValues + "A"}), {{'T', 4, "", kWarning, "unknown-keyword"}}},
      {"misspelled line keyword", small_line({"pendenz, 2900, -1"}), small_train({}),
       {{'L', 4, "", kWarning, "unknown-keyword"}}},
      {"station missing a field: its name is the next record's keyword", small_line({}),
       small_train({"stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0, A",
                    std::string("stazione, 3000") + kStationValues + "B"}),
       {{'T', 4, "A", kWarning, "number-text"}, {'T', 4, "$", kWarning, "field-count"}}},
      {"letters in a number", small_line({}), small_train({"velocita, 42OO, 80"}),
       {{'T', 4, "42OO", kWarning, "number-text"}}},
      {"decimal and plus sign", small_line({"pendenza, 12.5, +3"}), small_train({}),
       {{'L', 4, "12.5", kWarning, "number-text"}, {'L', 4, "+3", kWarning, "number-text"}}},
      {"a field more than the record reads", small_line({}), small_train({"velocita, 1000, 80, 5"}),
       {{'T', 4, "5", kWarning, "field-count"}}},
      {"the first speed limit after 0 m", small_line({}), lines({"[generale]", "velocita, 500, 100", "aderenza, 0, 90", "[fine]"}),
       {{'T', 2, "", kWarning, "no-value-at-start"}}},
      {"the first adhesion after 0 m", small_line({}), lines({"[generale]", "velocita, 0, 100", "aderenza, 50, 90", "[fine]"}),
       {{'T', 3, "", kWarning, "no-value-at-start"}}},
      {"a speed not a multiple of 5", small_line({}), small_train({"velocita, 1000, 83"}),
       {{'T', 4, "83", kWarning, "speed-rounded"}}},
      {"a gradient beyond its byte", small_line({"pendenza, 100, 156", "pendenza, 200, -101", "pendenza, 300, 155"}),
       small_train({}), {{'L', 4, "156", kWarning, "value-wraps"}, {'L', 5, "-101", kWarning, "value-wraps"}}},
      {"an adhesion beyond its byte", small_line({}), small_train({"aderenza, 1000, 256", "aderenza, 2000, 255"}),
       {{'T', 4, "256", kWarning, "value-wraps"}}},
      {"signal values that cannot be taken apart", small_line({}),
       small_train({"segnale, 2000, 2, 3, 1, 0, 0, 3, 2, 1, 0, 0", "segnale, 4000, 2, 3, 1, 0, 0, 2, 12, 1, 0, 0",
                    "segnale, 6000, 2, 3, 1, 0, 0, 2, 9, 1, 0, 0"}),
       {{'T', 4, "", kWarning, "signal-code"}, {'T', 5, "", kWarning, "signal-code"}}},
      {"a slowdown within one cell", small_line({}),
       small_train({"rallentamento, 3000, 30, 20, 0,0,0", "rallentamento, 6000, 30, 50, 0,0,0"}),
       {{'T', 4, "", kWarning, "short-slowdown"}}},
      {"a slowdown of speed 0", small_line({}), small_train({"rallentamento, 3000, 0, 500, 0,0,0"}),
       {{'T', 4, "", kWarning, "zero-speed-slowdown"}}},
      {"mountain stretches: backwards, overlapping", small_line({"montagna, 2000, 1000, 1", "montagna, 3000, 4000, 1",
                                                                 "montagna, 3500, 5000, 1", "montagna, 5000, 6000, 1"}),
       small_train({}), {{'L', 4, "", kWarning, "mountain-stretch"}, {'L', 6, "", kWarning, "mountain-stretch"}}},
      {"a station written twice", small_line({}),
       small_train({std::string("stazione, 1000") + kStationValues + "A", std::string("stazione, 3000") + kStationValues + "A"}),
       {{'T', 5, "", kWarning, "duplicate-station"}}},
      {"a timetable that goes back, past 24:00, before the clock", small_line({}),
       small_train({"orologio, 7, 30, 0", "stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A",
                    "stazione, 3000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 7,59,0, B",
                    "stazione, 5000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 7,0,0, C",
                    "stazione, 7000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 24,0,1, D"}),
       {{'T', 6, "", kWarning, "timetable-order"}, {'T', 7, "", kWarning, "timetable-order"},
        {'T', 7, "", kWarning, "timetable-order"}, {'T', 8, "", kWarning, "timetable-order"}}},
      {"two progressions share the largest first value; first values summing to 0 with no second above 0",
       lines({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica uno, 1000, 0, 0",
              "progressiva chilometrica due, 1000, 500, 0", "progressiva chilometrica tre, 500, 0, 0", "[curve]",
              "[fine]"}),
       small_train({}), {{'L', 5, "", kWarning, "progressions-cleared"}}},
      {"progressions summing to 0 with no second value above 0",
       lines({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica uno, 0, -500, 1", "[curve]",
              "[fine]"}),
       small_train({}), {{'L', 3, "", kWarning, "progressions-cleared"}}},
      {"progressions that order cleanly", lines({"[generale]", "lunghezza percorso, 10000",
                                                 "progressiva chilometrica uno, 1000, 0, 0",
                                                 "progressiva chilometrica due, 500, 0, 0", "[curve]", "[fine]"}),
       small_train({}), {}},
      {"a timetable faster than the speed limits: 6 km at 100 km/h and a 60 s stop in 2 minutes", small_line({}),
       small_train({"stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A",
                    "stazione, 7000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 60, 8,2,0, B",
                    "stazione, 9000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,3,12, C"}),
       {{'T', 5, "", kWarning, "timetable-too-fast"}}},
      {"a slowdown makes a timetable too fast that the limits alone allow", small_line({}),
       small_train({"stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, A",
                    "stazione, 7000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,4,0, B",
                    "rallentamento, 2000, 10, 1000, 0,0,0"}),
       {{'T', 5, "", kWarning, "timetable-too-fast"}}},
      {"a speed limit beyond its byte: one error, at its speed", small_line({}),
       small_train({"velocita, 1000, 2000", "velocita, 2000, 100", "velocita, 3000, 90"}),
       {{'T', 4, "2000", kError, "25"}}},
      {"misspelled general section of the train", small_line({}),
       lines({"[generalle]", "velocita, 0, 100", "[fine]"}), {{'T', 1, "", kWarning, "no-general-section"}}},
      {"signals out of order", small_line({}),
       small_train({std::string("segnale, 5000") + kSignal, std::string("segnale, 3000") + kSignal}),
       {{'T', 5, "", kWarning, "out-of-order"}}},
      {"general record after the general section", small_line({"sfondo uno, 1"}), small_train({}),
       {{'L', 4, "", kWarning, "ignored-record"}}},
      {"a keyword holding a dash", small_line({}), small_train({"sabbia-x, 60", "--------"}),
       {{'T', 4, "", kWarning, "ignored-record"}}},
      {"dash keywords of one letter at each end of the alphabets, and of the characters beside them",
       small_line({}), small_train({"a-, 60", "z-, 60", "A-, 60", "Z-, 60", "`-, 60", "{-, 60", "@-, 60", "[-, 60"}),
       {{'T', 4, "", kWarning, "ignored-record"},
        {'T', 5, "", kWarning, "ignored-record"},
        {'T', 6, "", kWarning, "ignored-record"},
        {'T', 7, "", kWarning, "ignored-record"}}},
      {"a general keyword holding a dash", lines({"[generale]", "lunghezza percorso, 10000", "sfondo-uno, 1", "[curve]",
                                                  "[fine]"}),
       small_train({}), {{'L', 3, "", kWarning, "ignored-record"}}},
      {"a record on the file's last field", small_line({}), small_train({}) + "sabbia",
       {{'T', 5, "", kWarning, "ignored-record"}}},
      {"two independent errors in one file", small_line({}),
       small_train({std::string("stazione, 1025") + kStationValues + "A",
                     "stazione, 5000, 11, 450, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, B"}),
       {{'T', 4, "1025", kError, "8"}, {'T', 5, "450", kError, "9"}}},
      {"an error in each file",
       small_line({"cartello_indicatore, 1000, (A)", "cartello_indicatore, 1000, (B)"}),
       small_train({std::string("stazione, 1025") + kStationValues + "A"}),
       {{'L', 5, "", kError, "6"}, {'T', 4, "1025", kError, "8"}}},
      {"refused line length: nothing that needs the cells is read",
       lines({"[generale]", "lunghezza percorso, 2000000", "[curve]", "pendenz, 0, 0", "[fine]"}), small_train({}),
       {{'L', 2, "2000000", kError, "1"}}},
      {"negative line length: its error alone",
       lines({"[generale]", "lunghezza percorso, -5000", "[curve]", "pendenza, 100, 1", "pendenza, 900, 2", "[fine]"}),
       small_train({std::string("stazione, 1000") + kStationValues + "A"}), {{'L', 2, "-5000", kError, "1"}}},
      {"a line length beyond 32 bits: error 25 at its field, no error 104",
       lines({"[generale]", "lunghezza percorso, 99999999999", "[curve]", "[fine]"}), small_train({}),
       {{'L', 2, "99999999999", kError, "25"}}},
      {"a record beyond the line, then one more", small_line({"pendenza, 20000, 1", "pendenza, 30000, 1"}),
       small_train({}), {{'L', 4, "", kError, "15"}, {'L', 5, "", kError, "15"}}},
      {"a departure time beyond 32 bits: error 25 at its hours", small_line({}),
       small_train({"stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 999999,0,0, A"}),
       {{'T', 4, "999999", kError, "25"}}},
      {"a value out of range ends only its record", small_line({}),
       small_train({"sabbia, 99999", std::string("stazione, 1025") + kStationValues + "A"}),
       {{'T', 4, "99999", kError, "25"}, {'T', 5, "1025", kError, "8"}}},
  };
  for (const MistakeCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<CheckFinding> findings = check(c.line, c.train);
    ASSERT_EQ(findings.size(), c.findings.size());
    for (size_t i = 0; i < findings.size(); ++i) {
      const Expected& expected = c.findings[i];
      const CheckFinding& found = findings[i];
      SCOPED_TRACE(found.code + ": " + found.message);
      EXPECT_EQ(found.place.file, expected.file == 'L' ? kLineFile : kTrainFile);
      EXPECT_EQ(found.place.line, expected.line);
      EXPECT_EQ(found.place.column,
                column_of(expected.file == 'L' ? c.line : c.train, expected.line, expected.at));
      EXPECT_EQ(found.severity, expected.severity);
      EXPECT_EQ(found.code, expected.code);
    }
  }
}

TEST(DescriptionCheckTest, WarningsSayWhatTheyFound) {
  const std::vector<CheckFinding> findings =
      check(small_line({"curvs5, 100, 100"}), small_train({"Stazone, 1000, 11, 400"}));
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].message, "unknown keyword 'curvs5': the record is passed over; did you mean 'curvas'?");
  EXPECT_EQ(findings[1].message, "unknown keyword 'Stazone': the record is passed over; did you mean 'stazione'?");
  // The caret stands under the keyword.
  EXPECT_EQ(findings[1].place.line_text, "Stazone, 1000, 11, 400");
  EXPECT_EQ(findings[1].place.caret, 0);
}

TEST(DescriptionCheckTest, TimetableTooFastGivesBothTimes) {
  const std::vector<CheckFinding> findings =
      check(small_line({}), small_train({"stazione, 1000, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 8,0,0, SAN VITORE",
                                         "stazione, 7200, 11, 400, 0, 0, 0, 0,0,0, 0,0,0, 60, 8,2,0, QUERVANO"}));
  ASSERT_EQ(findings.size(), 1u);
  // 6200 m at 100 km/h is 223.2 s, a whole 224 s, and the stop's 60 s.
  EXPECT_EQ(findings[0].message,
            "from SAN VITORE to QUERVANO 6.2 km in 2 min 00 s; at the speed limits and with its 60 s stop at least "
            "4 min 44 s");
}

// A record refused on a taken cell says what took it and where that was written; a station too
// near the one before says whether it is the same one again or out of order.
TEST(DescriptionCheckTest, RefusalsSayWhatStandsInTheWay) {
  const struct {
    const char* what;
    std::string line;
    std::string train;
    std::string words;  // the end of the error's message
  } cases[] = {
      {"a signal on a signal", small_line({}),
       small_train({std::string("segnale, 3000") + kSignal, std::string("segnale, 3000") + kSignal}),
       "(cell 61 holds a signal, written on line 4)"},
      {"a signal on a line-side board of the line description", small_line({"cartello_indicatore, 1500, (F)"}),
       small_train({std::string("segnale, 1500") + kSignal}), "(cell 31 holds a line-side board, written on line 4 of line.txt)"},
      {"a cut-off point on a station's stop marker", small_line({}),
       small_train({std::string("stazione, 3000") + kStationValues + "A", "abbattimento, 3150, 0"}),
       "(cell 63 holds a station's stop marker, written on line 4)"},
      {"a station written twice", small_line({}),
       small_train({std::string("stazione, 3000") + kStationValues + "A", std::string("stazione, 3000") + kStationValues + "A"}),
       "(the station written before it is the same one: A at 3000 m is written twice)"},
      {"a station out of order", small_line({}),
       small_train({std::string("stazione, 6000") + kStationValues + "A", std::string("stazione, 3000") + kStationValues + "B"}),
       "(it stands before A at 6000 m, the station written before it: stations are written in ascending position)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<CheckFinding> findings = check(c.line, c.train);
    const auto error = std::find_if(findings.begin(), findings.end(),
                                    [](const CheckFinding& finding) { return finding.severity == kError; });
    ASSERT_NE(error, findings.end());
    EXPECT_TRUE(error->message.ends_with(c.words)) << error->message;
  }
}

// A check told to keep a few findings per file keeps the first it makes and the error the compile
// reports, and counts the others: the same findings as a whole check, cut.
TEST(DescriptionCheckTest, KeptFindingsAreTheFirstAndTheRestAreCounted) {
  std::vector<std::string> junk(40, "x");
  junk.push_back(std::string("stazione, 1025") + kStationValues + "A");  // error 8, the one reported
  const Description line{kLineFile, true, small_line({"pendenz, 100, 1", "pendenz, 200, 1"})};
  const Description train{kTrainFile, true, small_train(junk)};
  const std::vector<CheckFinding> all = check_descriptions(line, train);
  const CheckOutcome kept = check_descriptions(line, train, true, 5);
  ASSERT_EQ(all.size(), 43u);  // two in the line description, 40 junk lines and the error
  ASSERT_EQ(kept.findings.size(), 2u + 5u + 1u);
  ASSERT_EQ(kept.not_kept.size(), 1u);
  EXPECT_EQ(kept.not_kept[0], (std::pair<std::string, size_t>{kTrainFile, 35}));
  EXPECT_EQ(kept.errors_not_kept, 0u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(kept.findings[i].place.line, all[i].place.line);
  EXPECT_TRUE(kept.findings.back().reported);
  EXPECT_EQ(kept.findings.back().code, "8");
  // Errors beyond the share are counted as errors.
  std::vector<std::string> stations;
  for (int i = 0; i < 4; ++i) stations.push_back("stazione, " + std::to_string(1025 + 1000 * i) + kStationValues + "A");
  const CheckOutcome errors = check_descriptions(line, Description{kTrainFile, true, small_train(stations)}, true, 1);
  EXPECT_EQ(errors.errors_not_kept, 3u);  // the first kept, which is also the one the compile reports
}

TEST(DescriptionCheckTest, ErrorFindingsCarryThePositionAndTheCatalogueWords) {
  const std::vector<CheckFinding> findings =
      check(small_line({}), small_train({std::string("stazione, 1025") + kStationValues + "A"}));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].code, "8");
  EXPECT_EQ(findings[0].position, 1025);
  EXPECT_EQ(findings[0].message, "station position is not a multiple of 50");
}

// Findings sort by file (in the order the files were named, unnamed files last), line and column;
// findings at one place keep the order they were made in.
TEST(DescriptionCheckTest, SortedFindingsKeepTheOrderMadeAtOnePlace) {
  CheckFindings findings({kLineFile, kTrainFile});
  auto at = [](const char* file, int line, int column) {
    SourcePlace place;
    place.file = file;
    place.line = line;
    place.column = column;
    return place;
  };
  findings.add_warning("number-text", at(kTrainFile, 3, 5), "first at train 3:5");
  findings.add_warning("field-count", at("other.txt", 1, 1), "in a file not named");
  findings.add_warning("field-count", at(kTrainFile, 3, 5), "second at train 3:5");
  ErrorRecord error;
  error.ErrorCode = 8;
  error.place = at(kTrainFile, 3, 5);
  findings.add_error(error);
  findings.add_warning("out-of-order", at(kTrainFile, 3, 1), "train 3:1");
  findings.add_warning("ignored-record", at(kLineFile, 9, 2), "line 9:2");
  findings.add_warning("ignored-record", at(kTrainFile, 2, 7), "train 2:7");
  std::vector<std::string> order;
  for (const CheckFinding& finding : findings.sorted()) {
    order.push_back(finding.severity == kError ? "error " + finding.code : finding.message);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"line 9:2", "train 2:7", "train 3:1", "first at train 3:5",
                                             "second at train 3:5", "error 8", "in a file not named"}));
}

// A fatal report is an error finding at the record that took the header slot, with the report's
// number and words, and it is the one the compile reports.
TEST(DescriptionCheckTest, FatalReportsAreErrorsAtTheRecordThatTookTheSlot) {
  struct Case {
    const char* what;
    std::string line;
    std::string train;
    char file;
    int line_number;
    const char* code;
  };
  const std::vector<Case> cases = {
      {"a line-side board at 0 m", small_line({"cartello_indicatore, 0, (A)"}), small_train({}), 'L', 4, "1250"},
      {"a speed board at 0 m with a left speed of 0", small_line({"indicatori_vmax, 0, 0, 100, 100, 0, 0, 0, 0, 0"}),
       small_train({}), 'L', 4, "1251"},
      {"a slowdown at 0 m of speed 0 with a d_v", small_line({}), small_train({"rallentamento, 0, 0, 100, 0, 0, 5"}),
       'T', 4, "1251"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<CheckFinding> findings = check(c.line, c.train);
    size_t reported = 0;
    for (const CheckFinding& finding : findings) {
      if (!finding.reported) continue;
      ++reported;
      EXPECT_EQ(finding.severity, kError);
      EXPECT_EQ(finding.code, c.code);
      EXPECT_EQ(finding.place.file, c.file == 'L' ? kLineFile : kTrainFile);
      EXPECT_EQ(finding.place.line, c.line_number);
      EXPECT_NE(finding.message.find(std::string("\" Errore n. ") + c.code + "\""), std::string::npos)
          << finding.message;
    }
    EXPECT_EQ(reported, 1u);
    CompileState state;
    EXPECT_EQ(std::to_string(compile(state, true, {kLineFile, true, c.line}, {kTrainFile, true, c.train}).fatal),
              c.code);
  }
}

// One-field changes of generated scenarios: check reports an error exactly when the compile ends
// with one (its error or its fatal report), and marks that one, at the compile's place, as the one
// reported.
TEST(DescriptionCheckTest, CheckAndCompileAgreeOnOneFieldChanges) {
  const char* const kValues[] = {"0", "-1", "25", "50", "-50", "1200", "99999999999", "100000", "7", "-2147483648"};
  uint64_t draw = 0x9E3779B97F4A7C15u;
  auto next = [&draw](uint64_t bound) {
    draw = draw * 6364136223846793005u + 1442695040888963407u;
    return static_cast<size_t>((draw >> 33) % bound);
  };
  int compile_errors = 0;
  for (uint64_t seed = 1; seed <= 150; ++seed) {
    const testing::GeneratedScenario scenario = testing::generate_scenario(seed, 20000);
    std::string texts[2] = {scenario.line, scenario.train};
    std::string& text = texts[next(2)];
    // A line of the text, one of its fields after the keyword given another value.
    std::vector<size_t> starts = {0};
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
      if (at + 2 < text.size()) starts.push_back(at + 2);
    }
    const size_t start = starts[next(starts.size())];
    const size_t end = text.find("\r\n", start);
    std::vector<std::string> fields = testing::comma_fields(text.substr(start, end - start));
    if (fields.size() < 2) continue;
    fields[1 + next(fields.size() - 1)] = std::string(" ") + kValues[next(std::size(kValues))];
    std::string changed;
    for (const std::string& field : fields) changed += (changed.empty() ? "" : ",") + field;
    text.replace(start, end - start, changed);
    SCOPED_TRACE("seed " + std::to_string(seed) + ": " + changed);

    CompileState state;
    const CompileResult result =
        compile(state, scenario.with_plan, {kLineFile, true, texts[0]}, {kTrainFile, true, texts[1]});
    const std::vector<CheckFinding> findings =
        check_descriptions({kLineFile, true, texts[0]}, {kTrainFile, true, texts[1]}, scenario.with_plan);
    std::vector<const CheckFinding*> errors;
    std::vector<const CheckFinding*> reported;
    for (const CheckFinding& finding : findings) {
      if (finding.severity == kError) errors.push_back(&finding);
      if (finding.reported) reported.push_back(&finding);
    }
    if (result.fatal != 0) {
      ASSERT_EQ(reported.size(), 1u);
      EXPECT_EQ(reported[0]->code, std::to_string(result.fatal));
    } else if (state.error().ErrorCode != 0) {
      ++compile_errors;
      ASSERT_EQ(reported.size(), 1u);
      EXPECT_EQ(reported[0]->code, std::to_string(state.error().ErrorCode));
      if (state.error().place.known()) {
        EXPECT_EQ(reported[0]->place.file, state.error().place.file);
        EXPECT_EQ(reported[0]->place.line, state.error().place.line);
        EXPECT_EQ(reported[0]->place.column, state.error().place.column);
      }
    } else {
      EXPECT_TRUE(errors.empty()) << errors[0]->code << ": " << errors[0]->message;
      EXPECT_TRUE(reported.empty());
    }
  }
  EXPECT_GT(compile_errors, 10);  // the changes reach the errors, not only clean scenarios
}

TEST(DescriptionCheckTest, EmbeddedScenarioIsClean) {
  const ScenarioFileNames names = scenario_file_names(kEmbeddedLineName, kEmbeddedTrainNumber);
  MemorySink texts;
  ASSERT_TRUE(dati_linea(texts, names).ok());
  ASSERT_TRUE(dati_treno(texts, names).ok());
  const std::vector<CheckFinding> findings = check(texts.files.at(names.line_description),
                                              texts.files.at(names.train_description));
  for (const CheckFinding& finding : findings) ADD_FAILURE() << finding.code << " " << finding.message;
}

TEST(DidYouMeanTest, ClosestKeywordWithinAQuarterOfItsLetters) {
  const std::string_view keywords[] = {"stazione", "segnale", "sabbia", "curvas", "curvad"};
  const struct {
    const char* field;
    const char* closest;  // nullptr: none close enough
  } cases[] = {
      {"stazone", "stazione"}, {"STAZIONI", "stazione"}, {"segnal", "segnale"}, {"sabia", "sabbia"},
      {"curvs5", "curvas"},    {"cruvad3", "curvad"},    {"treno", nullptr},    {"", nullptr},
      {"segnlae", "segnale"},  {"sgenale", "segnale"},   {"sabiba", "sabbia"},  {"stazinoe", "stazione"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const auto closest = closest_keyword(c.field, keywords);
    if (c.closest == nullptr) {
      EXPECT_FALSE(closest.has_value());
    } else {
      ASSERT_TRUE(closest.has_value());
      EXPECT_EQ(*closest, c.closest);
    }
  }
  EXPECT_EQ(edit_distance("kitten", "sitting"), 3u);
  EXPECT_EQ(edit_distance("", "abc"), 3u);
  EXPECT_EQ(edit_distance("segnlae", "segnale"), 1u);  // two letters swapped
  EXPECT_EQ(edit_distance("ca", "abc"), 3u);            // a swapped pair is not edited again
}

}  // namespace
}  // namespace scenario
