// The text of a description file, as the parsers read it: code-page-1252 bytes.
//
// A description is written in code page 1252, one byte per character. An author's editor may
// save it as UTF-8 instead; such a file is converted, through the one code-page-1252 encoder,
// before it is parsed:
//   - kAuto: a file that begins with the UTF-8 byte-order mark, or that is well-formed UTF-8 and
//     holds at least one sequence of more than one byte, is UTF-8; any other file is code page
//     1252. A lone high byte, as in "Sorl\xEC", is not UTF-8, so such a file is not taken for it;
//     but a code-page-1252 file can be well-formed UTF-8 all the same ("FORL\xCC\x96CESENA",
//     FORLÌ–CESENA, holds the UTF-8 of U+0316), and then it is read as UTF-8. Where that gives a
//     character the code page cannot hold, the refusal says so and names --encoding cp1252;
//   - kUtf8: the file is UTF-8 (a byte-order mark is dropped);
//   - kCp1252: the bytes are taken as they are.
// A UTF-8 file that is malformed, or that holds a character code page 1252 cannot hold, is refused
// with the place of that character: line and column as the author sees them (the mark dropped,
// columns counting characters).
#ifndef SCENARIO_DESCRIPTION_DESCRIPTION_TEXT_H_
#define SCENARIO_DESCRIPTION_DESCRIPTION_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "model/compile_error.h"

namespace scenario {

enum class TextEncoding { kAuto, kCp1252, kUtf8 };

// The encoding named on a command line: "auto", "cp1252" or "utf-8".
std::optional<TextEncoding> text_encoding_named(std::string_view name);

struct DescriptionText {
  bool ok = true;
  std::string bytes;      // code page 1252
  bool was_utf8 = false;  // the file was read as UTF-8
  SourcePlace place;      // of a refused character: file, line, column, no line text
  std::string words;      // what is wrong with it
};

// The description `raw`, read from `file`, as code-page-1252 bytes.
DescriptionText decode_description(std::string_view raw, TextEncoding encoding, const std::string& file);

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_DESCRIPTION_TEXT_H_
