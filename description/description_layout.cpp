#include "description/description_layout.h"

#include <algorithm>
#include <cstring>

namespace scenario {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

size_t skip_blanks(std::string_view line, size_t at) {
  while (at < line.size() && is_blank(line[at])) ++at;
  return at;
}

std::string_view trimmed(std::string_view text) {
  size_t from = skip_blanks(text, 0);
  size_t to = text.size();
  while (to > from && is_blank(text[to - 1])) --to;
  return text.substr(from, to - from);
}

// The longest number text the layout takes as a value: far beyond every field's range.
constexpr size_t kLongestNumber = 12;

bool is_whole_number(std::string_view token) {
  if (token.starts_with('-')) token.remove_prefix(1);
  if (token.empty() || token.size() > kLongestNumber) return false;
  return std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool separated_by_comma(const RecordField& field) { return std::strchr(field.separator, ',') != nullptr; }

bool is_section_header(std::string_view line) {
  const std::string_view text = trimmed(line);
  return text.size() >= 2 && text.front() == '[' && text.back() == ']' && text.find(',') == std::string_view::npos;
}

}  // namespace

RecordLine read_record_line(std::string_view line, bool first_of_section) {
  RecordLine record;
  size_t at = skip_blanks(line, 0);
  const size_t comma = line.find(',', at);
  if (comma == std::string_view::npos) return record;
  size_t keyword_end = comma;
  while (keyword_end > at && is_blank(line[keyword_end - 1])) --keyword_end;
  record.keyword = {at, keyword_end - at};
  record.kind = find_record_kind(line.substr(at, keyword_end - at), first_of_section);
  if (record.kind == nullptr) return record;

  // The values as the record's parser reads them: a number ends at a blank, a comma or the line's
  // end (blanks alone may separate two numbers), a text at a comma or the line's end.
  const std::span<const RecordField> fields = record.kind->fields;
  bool exact = true;
  at = comma + 1;
  for (size_t i = 0;; ++i) {
    at = skip_blanks(line, at);
    const size_t start = at;
    const bool text = i < fields.size() && fields[i].unit == FieldUnit::kText;
    if (text) {
      while (at < line.size() && line[at] != ',') ++at;
      size_t end = at;
      while (end > start && is_blank(line[end - 1])) --end;
      record.values.push_back({start, end - start});
    } else {
      while (at < line.size() && line[at] != ',' && !is_blank(line[at])) ++at;
      const std::string_view token = line.substr(start, at - start);
      record.values.push_back({start, at - start});
      if (i >= fields.size() || !(is_whole_number(token) || (token.empty() && fields[i].empty_when_zero))) {
        exact = false;
      }
      at = skip_blanks(line, at);
    }
    if (at >= line.size()) break;
    // What separates this value from the next must be what the writer writes there.
    const bool comma_next = line[at] == ',';
    if (comma_next) ++at;
    if (i + 1 < fields.size() && separated_by_comma(fields[i + 1]) != comma_next) exact = false;
  }
  record.exact = exact && record.values.size() == fields.size();
  return record;
}

std::optional<std::string> lay_out_record_line(std::string_view line, bool first_of_section) {
  const RecordLine record = read_record_line(line, first_of_section);
  if (record.kind == nullptr || !record.exact) return std::nullopt;
  std::string out(line.substr(record.keyword.offset, record.keyword.length));
  const std::span<const RecordField> fields = record.kind->fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    const RecordField& field = fields[i];
    out += field.separator;
    const RecordLine::Span value = record.values[i];
    if (field.unit == FieldUnit::kText) {
      out += line.substr(value.offset);  // the text and any blanks after it, as they are
      continue;
    }
    const size_t width = static_cast<size_t>(field.width);
    if (value.length < width) out.append(width - value.length, ' ');
    out += line.substr(value.offset, value.length);
  }
  out += record.kind->tail;
  return out;
}

std::string lay_out_description(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  // The keywords met since the last section header: a section's first record has its own layout.
  std::vector<std::string_view> seen;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = at;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const std::string_view line = bytes.substr(at, end - at);
    if (is_section_header(line)) {
      out += trimmed(line);
      seen.clear();
    } else {
      const RecordLine record = read_record_line(line, true);
      std::optional<std::string> laid;
      if (record.kind != nullptr) {
        const std::string_view keyword = record.kind->keyword;
        const bool first = std::find(seen.begin(), seen.end(), keyword) == seen.end();
        if (first) seen.push_back(keyword);
        laid = lay_out_record_line(line, first);
      }
      if (laid) {
        out += *laid;
      } else {
        out += line;
      }
    }
    out += "\r\n";
    // One line end: CR LF, a lone CR or a lone LF.
    if (end < bytes.size()) {
      if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
      ++end;
    }
    at = end;
  }
  return out;
}

bool is_laid_out(std::string_view bytes) { return lay_out_description(bytes) == bytes; }

}  // namespace scenario
