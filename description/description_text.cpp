#include "description/description_text.h"

#include <algorithm>
#include <cstdio>

#include "format/cp1252.h"

namespace scenario {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string code_point_name(uint32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return name;
}

// The text of the 1-based line `line` of `text` (lines end at CR LF, a lone LF or a lone CR).
std::string_view line_of(std::string_view text, int line) {
  size_t start = 0;
  for (int at = 1; at < line && start < text.size(); ++at) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) return {};
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
  return text.substr(start, end - start);
}

// `guessed`: the file was taken for UTF-8 only because it is valid UTF-8 (no mark, no encoding
// named), and a code-page-1252 file can be that too ("ì–" is the bytes EC 96, a valid character).
DescriptionText from_utf8(std::string_view raw, const std::string& file, bool guessed) {
  if (raw.starts_with(kByteOrderMark)) raw.remove_prefix(kByteOrderMark.size());
  Utf8Conversion conversion = utf8_to_cp1252_strict(raw);
  DescriptionText text;
  text.was_utf8 = true;
  if (conversion.ok) {
    text.bytes = std::move(conversion.bytes);
    return text;
  }
  text.ok = false;
  text.place.file = file;
  text.place.line = conversion.line;
  text.place.column = conversion.column;
  // The line as far as it can be shown, the characters the code page cannot hold as '?'.
  text.place.line_text = utf8_to_cp1252(line_of(raw, conversion.line));
  text.place.caret = conversion.column - 1;
  constexpr int kShown = 200;  // of a very long line, the part around the character
  const int length = static_cast<int>(text.place.line_text.size());
  if (length > kShown) {
    const int from = std::clamp(text.place.caret - kShown / 2, 0, length - kShown);
    text.place.line_text = text.place.line_text.substr(static_cast<size_t>(from), kShown);
    text.place.caret -= from;
  }
  text.words = conversion.malformed ? "the file is not valid UTF-8 here"
                                    : "the character " + code_point_name(conversion.code_point) +
                                          " has no place in code page 1252, the descriptions' encoding";
  if (guessed && !conversion.malformed) {
    text.words +=
        " (the file was read as UTF-8, which its bytes are; if it is in code page 1252, read it so "
        "with --encoding cp1252)";
  }
  return text;
}

}  // namespace

std::optional<TextEncoding> text_encoding_named(std::string_view name) {
  if (name == "auto") return TextEncoding::kAuto;
  if (name == "cp1252") return TextEncoding::kCp1252;
  if (name == "utf-8") return TextEncoding::kUtf8;
  return std::nullopt;
}

DescriptionText decode_description(std::string_view raw, TextEncoding encoding, const std::string& file) {
  const bool marked = raw.starts_with(kByteOrderMark);
  const bool guessed = encoding == TextEncoding::kAuto && !marked && is_multibyte_utf8(raw);
  if (encoding == TextEncoding::kUtf8 || (encoding == TextEncoding::kAuto && marked) || guessed) {
    return from_utf8(raw, file, guessed);
  }
  DescriptionText text;
  text.bytes = std::string(raw);
  return text;
}

}  // namespace scenario
