#include "cli/lsp_document.h"

#include <algorithm>

namespace scenario {
namespace {

// The length of the UTF-8 sequence starting with `lead` when it is well formed at `at`, else 1.
size_t sequence_length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (at + length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

size_t utf16_length(std::string_view utf8) {
  size_t units = 0;
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = sequence_length(utf8, at);
    units += length == 4 ? 2 : 1;
    at += length;
  }
  return units;
}

size_t bytes_of_utf16(std::string_view utf8, size_t units) {
  size_t at = 0;
  size_t counted = 0;
  while (at < utf8.size() && counted < units) {
    const size_t length = sequence_length(utf8, at);
    counted += length == 4 ? 2 : 1;
    at += length;
  }
  return at;
}

size_t bytes_of_characters(std::string_view utf8, size_t characters) {
  size_t at = 0;
  for (size_t i = 0; i < characters && at < utf8.size(); ++i) at += sequence_length(utf8, at);
  return at;
}

void LspDocument::set_text(std::string text) {
  text_ = std::move(text);
  line_starts_.assign(1, 0);
  for (size_t at = 0; at < text_.size(); ++at) {
    if (text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n') ++at;
    if (text_[at] == '\r' || text_[at] == '\n') line_starts_.push_back(at + 1);
  }
}

size_t LspDocument::line_start(int line) const {
  if (line < 0) return 0;
  if (static_cast<size_t>(line) >= line_starts_.size()) return text_.size();
  return line_starts_[static_cast<size_t>(line)];
}

std::string_view LspDocument::line(int line) const {
  if (line < 0 || static_cast<size_t>(line) >= line_starts_.size()) return {};
  const size_t start = line_starts_[static_cast<size_t>(line)];
  size_t end = start;
  while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
  return std::string_view(text_).substr(start, end - start);
}

size_t LspDocument::offset_of(TextPosition position) const {
  if (position.line < 0) return 0;
  if (static_cast<size_t>(position.line) >= line_starts_.size()) return text_.size();
  const std::string_view text = line(position.line);
  const size_t units = static_cast<size_t>(std::max(position.character, 0));
  return line_start(position.line) + bytes_of_utf16(text, units);
}

TextPosition LspDocument::position_at(int line_index, size_t offset) const {
  const std::string_view text = line(line_index);
  return TextPosition{line_index, static_cast<int>(utf16_length(text.substr(0, std::min(offset, text.size()))))};
}

TextPosition LspDocument::end() const {
  const int last = line_count() - 1;
  return position_at(last, line(last).size());
}

void LspDocument::replace(TextPosition from, TextPosition to, std::string_view with) {
  size_t start = offset_of(from);
  size_t stop = offset_of(to);
  if (stop < start) std::swap(start, stop);
  text_.replace(start, stop - start, with);
  std::string text = std::move(text_);
  set_text(std::move(text));
}

}  // namespace scenario
