#include "format/cp1252.h"

#include <array>
#include <cstdint>

namespace scenario {
namespace {

// Unicode code points of bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

uint32_t code_point_of(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    const uint16_t mapped = kHighControls[byte - 0x80];
    return mapped != 0 ? mapped : byte;
  }
  return byte;
}

// One well-formed UTF-8 sequence at the start of `text`: its length (0 when malformed: a stray
// continuation byte, a bad lead byte, a sequence cut short, an overlong form, a surrogate or a
// code point past U+10FFFF) and its code point.
size_t utf8_sequence(std::string_view text, uint32_t* code_point) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) {
    *code_point = lead;
    return 1;
  }
  size_t length = 0;
  uint32_t cp = 0;
  uint32_t lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    cp = lead & 0x1Fu;
    lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    cp = lead & 0x0Fu;
    lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    cp = lead & 0x07u;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3Fu);
  }
  if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *code_point = cp;
  return length;
}

int byte_of(uint32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return static_cast<int>(code_point);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == code_point) return 0x80 + static_cast<int>(i);
  }
  // The undefined bytes round-trip through their C1 controls.
  if (code_point == 0x81 || code_point == 0x8D || code_point == 0x8F || code_point == 0x90 || code_point == 0x9D) {
    return static_cast<int>(code_point);
  }
  return -1;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string utf8_to_cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = 0;
    uint32_t cp = 0;
    if (lead < 0x80) {
      length = 1;
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      cp = lead & 0x07;
    } else {
      out.push_back(kUnencodable);  // a stray continuation byte or an invalid lead byte
      ++i;
      continue;
    }
    if (i + length > utf8.size()) {
      out.push_back(kUnencodable);
      break;
    }
    bool well_formed = true;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        well_formed = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!well_formed) {
      out.push_back(kUnencodable);
      ++i;
      continue;
    }
    const int byte = byte_of(cp);
    out.push_back(byte < 0 ? kUnencodable : static_cast<char>(byte));
    i += length;
  }
  return out;
}

int cp1252_byte_of(uint32_t code_point) { return byte_of(code_point); }

Utf8Conversion utf8_to_cp1252_strict(std::string_view utf8) {
  Utf8Conversion result;
  result.bytes.reserve(utf8.size());
  int line = 1;
  int column = 1;
  size_t i = 0;
  while (i < utf8.size()) {
    uint32_t cp = 0;
    const size_t length = utf8_sequence(utf8.substr(i), &cp);
    const int byte = length == 0 ? -1 : byte_of(cp);
    if (byte < 0) {
      result.ok = false;
      result.line = line;
      result.column = column;
      result.malformed = length == 0;
      result.code_point = cp;
      result.bytes.clear();
      return result;
    }
    result.bytes.push_back(static_cast<char>(byte));
    // Lines end as the field reader ends them: CR LF, a lone LF or a lone CR.
    if (cp == '\n' || (cp == '\r' && (i + 1 >= utf8.size() || utf8[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if (cp != '\r') {
      ++column;
    }
    i += length;
  }
  return result;
}

bool is_multibyte_utf8(std::string_view text) {
  bool multibyte = false;
  size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t length = utf8_sequence(text.substr(i), &cp);
    if (length == 0) return false;
    multibyte = true;
    i += length;
  }
  return multibyte;
}

std::string cp1252_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) append_utf8(out, code_point_of(static_cast<unsigned char>(c)));
  return out;
}

std::string cp1252_lower(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = static_cast<char>(cp1252_lower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace scenario
