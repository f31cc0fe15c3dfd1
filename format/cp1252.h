// Windows code page 1252, the one text encoding of every file the system writes.
//
// The program's own texts (the embedded tables, command-line names) are UTF-8. Everything the
// compiler reads from description files and keeps in the track model is code-page-1252 bytes, one
// byte per character, exactly as it will be written again. This module converts between the two
// and gives the code page's lower case, and converts UTF-8 description files strictly, naming the
// place of a character it cannot convert.
#ifndef SCENARIO_FORMAT_CP1252_H_
#define SCENARIO_FORMAT_CP1252_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

// The byte written for a character that code page 1252 cannot hold (and for malformed UTF-8).
inline constexpr char kUnencodable = '?';

// UTF-8 text to code-page-1252 bytes, one byte per character.
std::string utf8_to_cp1252(std::string_view utf8);

// Code-page-1252 bytes to UTF-8 text. Bytes that the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 control of the same number, so no byte is lost.
std::string cp1252_to_utf8(std::string_view bytes);

// The code-page-1252 byte of a Unicode code point; -1 when the code page cannot hold it.
int cp1252_byte_of(uint32_t code_point);

// A strict conversion of UTF-8 text to code-page-1252 bytes. On failure `ok` is false and the
// place of the offending character is given: its 1-based line (lines end at CR LF, a lone LF or
// a lone CR) and column (characters from the line's start), and whether the text is not UTF-8 there
// (`malformed`) or holds a character the code page cannot hold (`code_point`).
struct Utf8Conversion {
  bool ok = true;
  std::string bytes;
  int line = 0;
  int column = 0;
  bool malformed = false;
  uint32_t code_point = 0;
};
Utf8Conversion utf8_to_cp1252_strict(std::string_view utf8);

// True when `text` is well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF)
// that holds at least one sequence of more than one byte.
bool is_multibyte_utf8(std::string_view text);

// Lower case of one code-page-1252 byte (A-Z, the accented capitals, Š Œ Ž Ÿ); others unchanged.
constexpr unsigned char cp1252_lower_of(unsigned char byte) {
  if (byte >= 'A' && byte <= 'Z') return static_cast<unsigned char>(byte + 32);
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<unsigned char>(byte + 32);
  switch (byte) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return byte;
  }
}

// The same as a table of the 256 bytes, computed at compile time: keyword matching looks up every
// byte of every field it reads.
inline constexpr std::array<unsigned char, 256> kCp1252Lower = [] {
  std::array<unsigned char, 256> table{};
  for (size_t i = 0; i < table.size(); ++i) table[i] = cp1252_lower_of(static_cast<unsigned char>(i));
  return table;
}();

inline unsigned char cp1252_lower(unsigned char byte) { return kCp1252Lower[byte]; }

// Lower case of a whole code-page-1252 text.
std::string cp1252_lower(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_FORMAT_CP1252_H_
