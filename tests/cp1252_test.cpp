#include "format/cp1252.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace scenario {
namespace {

TEST(Cp1252Test, EncodesTheAccentedLettersAsSingleBytes) {
  struct Case {
    const char* utf8;
    std::string bytes;
  } cases[] = {
      {"°", "\xB0"}, {"à", "\xE0"}, {"è", "\xE8"}, {"ì", "\xEC"}, {"ò", "\xF2"}, {"ù", "\xF9"},
      {"€", "\x80"}, {"Validità", "Validit\xE0"}, {"plain", "plain"}, {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_to_cp1252(c.utf8), c.bytes) << c.utf8;
    EXPECT_EQ(cp1252_to_utf8(c.bytes), c.utf8) << c.utf8;
  }
}

TEST(Cp1252Test, UnencodableAndMalformedTextBecomesAQuestionMark) {
  EXPECT_EQ(utf8_to_cp1252("a\xE2\x98\x83z"), "a?z");  // a snowman
  EXPECT_EQ(utf8_to_cp1252("a\xC3"), "a?");             // cut short
  EXPECT_EQ(utf8_to_cp1252("\x80x"), "?x");             // stray continuation byte
}

TEST(Cp1252Test, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
}

// The strict conversion takes every character the code page holds, the byte 0 and 0xFF
// included, just as the lenient one does.
TEST(Cp1252Test, EveryByteRoundTripsThroughTheStrictConversion) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const Utf8Conversion converted = utf8_to_cp1252_strict(cp1252_to_utf8(all));
  ASSERT_TRUE(converted.ok) << converted.line << ":" << converted.column;
  EXPECT_EQ(converted.bytes, all);
  const Utf8Conversion nul = utf8_to_cp1252_strict(std::string(1, '\0'));
  ASSERT_TRUE(nul.ok);
  EXPECT_EQ(nul.bytes, std::string(1, '\0'));
}

// A strict conversion that fails names the line and column of the character, and gives no bytes.
TEST(Cp1252Test, StrictConversionNamesThePlaceItFails) {
  struct Case {
    const char* utf8;
    int line;
    int column;
    bool malformed;
    uint32_t code_point;  // when not malformed
  };
  for (const Case& c : {Case{"\xE2\x98\x83", 1, 1, false, 0x2603},      // a snowman first
                        Case{"ab\xE2\x98\x83", 1, 3, false, 0x2603},
                        Case{"\xC3\xA0\xE2\x98\x83", 1, 2, false, 0x2603},  // after "à", one column
                        Case{"a\r\nbc\xE2\x98\x83", 2, 3, false, 0x2603},  // CR LF ends one line
                        Case{"a\nb\xE2\x98\x83", 2, 2, false, 0x2603},       // a lone LF
                        Case{"a\rb\xE2\x98\x83", 2, 2, false, 0x2603},       // a lone CR
                        Case{"\r\n\n\r\xE2\x98\x83", 4, 1, false, 0x2603},
                        Case{"ab\xC3", 1, 3, true, 0},                        // cut short
                        Case{"a\x80", 1, 2, true, 0}}) {                      // stray continuation byte
    SCOPED_TRACE(c.utf8);
    const Utf8Conversion converted = utf8_to_cp1252_strict(c.utf8);
    EXPECT_FALSE(converted.ok);
    EXPECT_EQ(converted.line, c.line);
    EXPECT_EQ(converted.column, c.column);
    EXPECT_EQ(converted.malformed, c.malformed);
    if (!c.malformed) {
      EXPECT_EQ(converted.code_point, c.code_point);
    }
    EXPECT_TRUE(converted.bytes.empty());
  }
}

TEST(Cp1252Test, LowerCase) {
  EXPECT_EQ(cp1252_lower(std::string("MorvellaC_DRASCONAX \xC0\xC8\xD7\x8A")), "morvellac_drasconax \xE0\xE8\xD7\x9A");
}

}  // namespace
}  // namespace scenario
