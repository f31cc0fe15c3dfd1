#include "format/cp1252.h"

#include <gtest/gtest.h>

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

TEST(Cp1252Test, LowerCase) {
  EXPECT_EQ(cp1252_lower(std::string("MorvellaC_DRASCONAX \xC0\xC8\xD7\x8A")), "morvellac_drasconax \xE0\xE8\xD7\x9A");
}

}  // namespace
}  // namespace scenario
