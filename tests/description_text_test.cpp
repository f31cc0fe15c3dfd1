#include "description/description_text.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(DescriptionTextTest, DecidesTheEncodingAndConverts) {
  const struct {
    const char* what;
    std::string raw;
    TextEncoding encoding;
    bool utf8;
    std::string bytes;
  } cases[] = {
      {"plain ASCII", "stazione, 0\r\n", TextEncoding::kAuto, false, "stazione, 0\r\n"},
      {"code page 1252: a lone high byte", "Sorl\xEC\r\n", TextEncoding::kAuto, false, "Sorl\xEC\r\n"},
      {"two high bytes that are no UTF-8 sequence", "\xE0\xE8\r\n", TextEncoding::kAuto, false, "\xE0\xE8\r\n"},
      {"UTF-8 without a mark", "Sorl\xC3\xAC \xE2\x82\xAC\r\n", TextEncoding::kAuto, true, "Sorl\xEC \x80\r\n"},
      {"UTF-8 with a mark", "\xEF\xBB\xBFSorl\xC3\xAC", TextEncoding::kAuto, true, "Sorl\xEC"},
      {"a mark alone", "\xEF\xBB\xBF[fine]", TextEncoding::kAuto, true, "[fine]"},
      {"ASCII named UTF-8", "abc", TextEncoding::kUtf8, true, "abc"},
      {"UTF-8 named code page 1252", "Sorl\xC3\xAC", TextEncoding::kCp1252, false, "Sorl\xC3\xAC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DescriptionText text = decode_description(c.raw, c.encoding, "f.txt");
    ASSERT_TRUE(text.ok) << text.words;
    EXPECT_EQ(text.was_utf8, c.utf8);
    EXPECT_EQ(text.bytes, c.bytes);
  }
}

TEST(DescriptionTextTest, RefusesWhatItCannotConvertWithThePlace) {
  const struct {
    const char* what;
    std::string raw;
    TextEncoding encoding;
    int line;
    int column;
    const char* words;
  } cases[] = {
      {"a character outside the code page, after a mark", "\xEF\xBB\xBF" "a\r\nb\xC3\xAC" "c\xC4\x87", TextEncoding::kAuto,
       2, 4, "the character U+0107 has no place in code page 1252, the descriptions' encoding"},
      {"lone LF and lone CR end lines too", "\xC3\xAC\nx\ry\xF0\x9F\x9A\x82", TextEncoding::kUtf8, 3, 2,
       "the character U+1F682 has no place in code page 1252, the descriptions' encoding"},
      // FORLÌ–CESENA in code page 1252: CC 96 is the valid UTF-8 of U+0316, which the code page lacks.
      {"a code-page-1252 file that is valid UTF-8", "stazione, FORL\xCC\x96" "CESENA", TextEncoding::kAuto, 1, 15,
       "the character U+0316 has no place in code page 1252, the descriptions' encoding (the file was read as "
       "UTF-8, which its bytes are; if it is in code page 1252, read it so with --encoding cp1252)"},
      {"malformed when named UTF-8", "ab\xEC", TextEncoding::kUtf8, 1, 3, "the file is not valid UTF-8 here"},
      {"overlong form", "\xEF\xBB\xBF\xC0\xAF", TextEncoding::kAuto, 1, 1, "the file is not valid UTF-8 here"},
      {"cut short", "\xEF\xBB\xBFok\xE2\x82", TextEncoding::kAuto, 1, 3, "the file is not valid UTF-8 here"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DescriptionText text = decode_description(c.raw, c.encoding, "f.txt");
    EXPECT_FALSE(text.ok);
    EXPECT_EQ(text.place.file, "f.txt");
    EXPECT_EQ(text.place.line, c.line);
    EXPECT_EQ(text.place.column, c.column);
    EXPECT_EQ(text.place.caret, c.column - 1);
    EXPECT_EQ(text.words, c.words);
  }
}

}  // namespace
}  // namespace scenario
