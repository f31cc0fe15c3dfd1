#include "description/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

// One read: 'T' text, 'L' 32-bit, 'S' 16-bit, 'B' byte; the value it gives (numbers in decimal),
// and whether the reader is at the end afterwards.
struct Read {
  char kind;
  std::string value;
  bool at_end;
};

struct ReadingCase {
  const char* what;
  std::string input;
  std::vector<Read> reads;
};

std::string do_read(FieldReader& reader, char kind) {
  switch (kind) {
    case 'T': return reader.read_text();
    case 'L': return std::to_string(reader.read_long());
    case 'S': return std::to_string(reader.read_short());
    case 'B': return std::to_string(reader.read_byte());
  }
  return "?";
}

TEST(FieldReaderTest, ReadsFieldsByTheRules) {
  const ReadingCase cases[] = {
      {"blanks around numbers, blanks before the comma", "    0    ,0\r\n", {{'L', "0", false}, {'L', "0", true}}},
      {"numbers separated by blanks alone",
       "19              19            45 \r\n",
       {{'L', "19", false}, {'L', "19", false}, {'L', "45", true}}},
      {"text runs to the comma, leading blanks skipped",
       "lunghezza percorso,    124000\r\n",
       {{'T', "lunghezza percorso", false}, {'L', "124000", true}}},
      {"text keeps inner blanks, drops trailing ones",
       "cartello_indicatore,  1450,   (P.L.    )(Km 1+452)  \r\n[fine]\r\n",
       {{'T', "cartello_indicatore", false}, {'L', "1450", false}, {'T', "(P.L.    )(Km 1+452)", false},
        {'T', "[fine]", true}}},
      {"empty numeric fields read as 0",
       "indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0\r\n",
       {{'T', "indicatori_vmax", false},
        {'L', "1050", false},
        {'L', "125", false},
        {'L', "135", false},
        {'L', "140", false},
        {'L', "0", false},
        {'L', "0", false},
        {'L', "0", false},
        {'L', "0", false},
        {'L', "0", true}}},
      {"text that is not a number reads as 0",
       "abc,12abc,-,+7,-25,1.5\r\n",
       {{'L', "0", false}, {'L', "0", false}, {'L', "0", false}, {'L', "0", false}, {'L', "-25", false},
        {'L', "0", true}}},
      {"a plus sign makes no number, however large the digits after it", "+99999999999,+0,- 3\r\n",
       {{'L', "0", false}, {'B', "0", false}, {'L', "0", false}, {'L', "3", true}}},
      {"a number ends at a blank; the text after it is the next field",
       "5 abc,6\r\n",
       {{'L', "5", false}, {'T', "abc", false}, {'L', "6", true}}},
      {"CR LF, lone LF and lone CR all end a line", "a\nb\rc\r\nd", {{'T', "a", false}, {'T', "b", false},
                                                                      {'T', "c", false}, {'T', "d", true}}},
      {"a comma at the line end leaves an empty field",
       "a,\r\nb\r\n",
       {{'T', "a", false}, {'T', "", false}, {'T', "b", true}}},
      {"an empty line is an empty field", "\r\nx\r\n", {{'T', "", false}, {'T', "x", true}}},
      {"a dash field is a field like any other", "------,[curve]\r\n", {{'T', "------", false},
                                                                        {'T', "[curve]", true}}},
      {"the last field leaves the reader at the end", "x\r\n[fine]\r\n", {{'T', "x", false}, {'T', "[fine]", true}}},
      {"a file without a final line end", "x,y", {{'T', "x", false}, {'T', "y", true}}},
      {"blanks after the last number are consumed", "5   ", {{'L', "5", true}}},
      {"blanks after the last field's comma make one more field", "5,   ", {{'L', "5", false}, {'T', "", true}}},
      {"widths at their limits",
       "2147483647,-2147483648,32767,-32768,255,0\r\n",
       {{'L', "2147483647", false}, {'L', "-2147483648", false}, {'S', "32767", false}, {'S', "-32768", false},
        {'B', "255", false}, {'B', "0", true}}},
      {"tabs are blanks", "\t 7\t,\tx\r\n", {{'L', "7", false}, {'T', "x", true}}},
  };
  for (const ReadingCase& c : cases) {
    SCOPED_TRACE(c.what);
    FieldReader reader(c.input, "test.txt");
    for (size_t i = 0; i < c.reads.size(); ++i) {
      const Read& read = c.reads[i];
      EXPECT_EQ(do_read(reader, read.kind), read.value) << "read " << i;
      EXPECT_EQ(reader.at_end(), read.at_end) << "read " << i;
    }
  }
}

TEST(FieldReaderTest, NumbersOutsideTheirWidthAreReadFailures) {
  const struct {
    const char* input;
    char kind;
  } cases[] = {
      {"2147483648", 'L'}, {"-2147483649", 'L'}, {"99999999999999999999999999", 'L'},
      {"-99999999999999999999999", 'L'}, {"32768", 'S'}, {"-32769", 'S'}, {"256", 'B'}, {"-1", 'B'},
  };
  for (const auto& c : cases) {
    FieldReader reader(c.input, "test.txt");
    EXPECT_THROW(do_read(reader, c.kind), ReadFailure) << c.input << " as " << c.kind;
  }
}

TEST(FieldReaderTest, ReadingAtTheEndIsAReadFailure) {
  FieldReader empty("", "test.txt");
  EXPECT_TRUE(empty.at_end());
  EXPECT_THROW(empty.read_text(), ReadFailure);

  FieldReader reader("x\r\n", "test.txt");
  EXPECT_EQ(reader.read_text(), "x");
  EXPECT_TRUE(reader.at_end());
  EXPECT_THROW(reader.read_long(), ReadFailure);
  EXPECT_THROW(reader.read_text(), ReadFailure);
}

TEST(FieldReaderTest, KnowsWhereEachFieldBegan) {
  FieldReader reader("[generale]\r\nsfondo uno,    1\r\n  pendenza,  2900\r\n", "line.txt");
  const struct {
    char kind;
    int line, column;
  } expected[] = {{'T', 1, 1}, {'T', 2, 1}, {'L', 2, 16}, {'T', 3, 3}, {'L', 3, 14}};
  for (const auto& e : expected) {
    do_read(reader, e.kind);
    EXPECT_EQ(reader.last_field().line, e.line);
    EXPECT_EQ(reader.last_field().column, e.column);
  }
  const SourcePlace place = reader.place_of(reader.last_field());
  EXPECT_EQ(place.file, "line.txt");
  EXPECT_EQ(place.line, 3);
  EXPECT_EQ(place.column, 14);
  EXPECT_EQ(place.line_text, "  pendenza,  2900");
  EXPECT_EQ(place.caret, 13);
  EXPECT_EQ(place.line_text.substr(static_cast<size_t>(place.caret)), "2900");
}

TEST(FieldReaderTest, PlaceOfAFieldOnAVeryLongLineShowsThePartAroundIt) {
  const std::string line = "a," + std::string(5000, 'x') + ",target,tail";
  FieldReader reader(line, "line.txt");
  reader.read_text();
  reader.read_text();
  reader.read_text();
  const SourcePlace place = reader.place_of(reader.last_field());
  EXPECT_EQ(place.column, 5004);
  EXPECT_LE(place.line_text.size(), 200u);
  ASSERT_LT(static_cast<size_t>(place.caret), place.line_text.size());
  EXPECT_EQ(place.line_text.substr(static_cast<size_t>(place.caret), 6), "target");
}

TEST(FieldReaderTest, NoPlaceBeforeTheFirstRead) {
  FieldReader reader("x", "line.txt");
  EXPECT_FALSE(reader.place_of(reader.last_field()).known());
}

TEST(KeywordTest, SubstringTestsWithAndWithoutLetterCase) {
  EXPECT_TRUE(contains("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contains("Progressiva chilometrica uno", "progressiva"));
  EXPECT_TRUE(contains_nocase("CURVAS5", "curva"));
  EXPECT_TRUE(contains_nocase("Lunghezza Percorso", "percorso"));
  EXPECT_TRUE(contains_nocase("x\xC8y", "\xE8"));  // È and è
  EXPECT_FALSE(contains_nocase("curv", "curva"));
  EXPECT_TRUE(contains_nocase("anything", ""));
}

}  // namespace
}  // namespace scenario
