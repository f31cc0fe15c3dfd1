// The text of a document open in the editor, as the language server keeps it: UTF-8, addressed by
// the protocol's positions (a 0-based line and a column in UTF-16 code units).
//
// Lines end at CR LF, a lone LF or a lone CR, as in a description. A position past a line's end
// stands at that end, one past the last line at the text's end: no position from a client reads
// or writes outside the text. Malformed UTF-8 counts one unit a byte.
#ifndef SCENARIO_CLI_LSP_DOCUMENT_H_
#define SCENARIO_CLI_LSP_DOCUMENT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

struct TextPosition {
  int line = 0;
  int character = 0;  // UTF-16 code units
};

class LspDocument {
 public:
  LspDocument() = default;
  explicit LspDocument(std::string text) { set_text(std::move(text)); }

  const std::string& text() const { return text_; }
  void set_text(std::string text);
  // Replaces the text between two positions (an incremental change).
  void replace(TextPosition from, TextPosition to, std::string_view with);

  int line_count() const { return static_cast<int>(line_starts_.size()); }
  // Line `line` without its line end (empty past the last).
  std::string_view line(int line) const;
  size_t line_start(int line) const;
  // The byte offset of a position, clamped into the text.
  size_t offset_of(TextPosition position) const;
  // The position of byte `offset` of line `line`.
  TextPosition position_at(int line, size_t offset) const;
  // The position just past the text's last character.
  TextPosition end() const;

 private:
  std::string text_;
  std::vector<size_t> line_starts_{0};
};

// The UTF-16 length of UTF-8 text.
size_t utf16_length(std::string_view utf8);
// The number of bytes of `utf8` that hold its first `units` UTF-16 code units (at most all of it).
size_t bytes_of_utf16(std::string_view utf8, size_t units);
// The byte offset of character `characters` (code points) of `utf8`.
size_t bytes_of_characters(std::string_view utf8, size_t characters);

}  // namespace scenario

#endif  // SCENARIO_CLI_LSP_DOCUMENT_H_
