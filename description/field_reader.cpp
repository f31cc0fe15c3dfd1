#include "description/field_reader.h"

#include <algorithm>
#include <limits>

#include "format/cp1252.h"

namespace scenario {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\r' || c == '\n'; }

// Longest part of a line kept with an error place.
constexpr size_t kMaxShownLine = 200;

}  // namespace

FieldReader::FieldReader(std::string_view bytes, std::string file_name)
    : bytes_(bytes), file_name_(std::move(file_name)) {}

void FieldReader::skip_blanks() {
  while (position_ < bytes_.size() && is_blank(bytes_[position_])) ++position_;
}

bool FieldReader::at_line_end() const { return position_ < bytes_.size() && is_line_end(bytes_[position_]); }

void FieldReader::consume_line_end() {
  if (bytes_[position_] == '\r') {
    ++position_;
    if (position_ < bytes_.size() && bytes_[position_] == '\n') ++position_;
  } else {
    ++position_;
  }
  ++line_;
  line_start_ = position_;
}

void FieldReader::begin_field() {
  if (at_end()) throw ReadFailure{"read past the end of " + file_name_, std::nullopt};
  skip_blanks();
  last_field_ = FieldPosition{line_, static_cast<int>(std::min<size_t>(position_ - line_start_ + 1,
                                                                        std::numeric_limits<int>::max())),
                              line_start_};
}

std::string FieldReader::read_text() {
  begin_field();
  const size_t start = position_;
  while (position_ < bytes_.size() && bytes_[position_] != ',' && !is_line_end(bytes_[position_])) ++position_;
  size_t end = position_;
  while (end > start && is_blank(bytes_[end - 1])) --end;
  std::string field(bytes_.substr(start, end - start));
  if (position_ < bytes_.size()) {
    if (bytes_[position_] == ',') {
      ++position_;
    } else {
      consume_line_end();
    }
  }
  return field;
}

int64_t FieldReader::read_number(int64_t lowest, int64_t highest, const char* width_name) {
  begin_field();
  const size_t start = position_;
  while (position_ < bytes_.size() && bytes_[position_] != ',' && !is_blank(bytes_[position_]) &&
         !is_line_end(bytes_[position_])) {
    ++position_;
  }
  const std::string_view token = bytes_.substr(start, position_ - start);
  skip_blanks();
  if (position_ < bytes_.size()) {
    if (bytes_[position_] == ',') {
      ++position_;
    } else if (at_line_end()) {
      consume_line_end();
    }
  }

  // An optional minus sign and at least one digit make a number; any other text (a plus sign
  // included) reads as 0.
  size_t i = 0;
  bool negative = false;
  if (i < token.size() && token[i] == '-') {
    negative = true;
    ++i;
  }
  if (i == token.size()) {
    if (negative) note_number(token);
    return 0;
  }
  int64_t value = 0;
  for (size_t k = i; k < token.size(); ++k) {
    if (token[k] < '0' || token[k] > '9') {
      note_number(token);
      return 0;
    }
  }
  constexpr int64_t kLimit = int64_t{1} << 40;  // far beyond every field's range, far below overflow
  for (; i < token.size(); ++i) {
    value = value * 10 + (token[i] - '0');
    if (value > kLimit) break;
  }
  if (negative) value = -value;
  if (value < lowest || value > highest) {
    throw ReadFailure{"the " + std::string(width_name) + " value " + std::string(token.substr(0, 24)) +
                      " is out of range",
                      std::nullopt};
  }
  return value;
}

void FieldReader::note_number(std::string_view token) {
  if (number_notes_ != nullptr) number_notes_->push_back(NumberNote{last_field_, std::string(token)});
}

FieldPosition FieldReader::next_field() const {
  size_t at = position_;
  while (at < bytes_.size() && is_blank(bytes_[at])) ++at;
  return FieldPosition{line_, static_cast<int>(std::min<size_t>(at - line_start_ + 1, std::numeric_limits<int>::max())),
                       line_start_};
}

std::string_view FieldReader::rest_of_line() const {
  size_t end = position_;
  while (end < bytes_.size() && !is_line_end(bytes_[end])) ++end;
  return bytes_.substr(position_, end - position_);
}

void FieldReader::skip_rest_of_line() {
  while (position_ < bytes_.size() && !is_line_end(bytes_[position_])) ++position_;
  if (position_ < bytes_.size()) consume_line_end();
}

FieldPosition FieldReader::line_end_of(const FieldPosition& field) const {
  size_t end = std::min(field.line_start, bytes_.size());
  while (end < bytes_.size() && !is_line_end(bytes_[end])) ++end;
  const size_t length = end - std::min(field.line_start, end);
  return FieldPosition{field.line, static_cast<int>(std::min<size_t>(length + 1, std::numeric_limits<int>::max())),
                       field.line_start};
}

bool FieldReader::first_on_line(const FieldPosition& field) const {
  const size_t from = std::min(field.line_start, bytes_.size());
  const size_t to = std::min(from + static_cast<size_t>(field.column > 0 ? field.column - 1 : 0), bytes_.size());
  for (size_t at = from; at < to; ++at) {
    if (!is_blank(bytes_[at])) return false;
  }
  return true;
}

int32_t FieldReader::read_long() {
  return static_cast<int32_t>(
      read_number(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), "32-bit"));
}

int16_t FieldReader::read_short() {
  return static_cast<int16_t>(
      read_number(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), "16-bit"));
}

uint8_t FieldReader::read_byte() { return static_cast<uint8_t>(read_number(0, 255, "byte")); }

SourcePlace FieldReader::place_of(const FieldPosition& field) const {
  SourcePlace place;
  place.file = file_name_;
  place.line = field.line;
  place.column = field.column;
  size_t line_end = std::min(field.line_start, bytes_.size());
  while (line_end < bytes_.size() && !is_line_end(bytes_[line_end])) ++line_end;
  const size_t line_length = line_end - std::min(field.line_start, line_end);
  const size_t field_offset = static_cast<size_t>(field.column > 0 ? field.column - 1 : 0);
  size_t shown_from = 0;
  if (line_length > kMaxShownLine && field_offset > kMaxShownLine / 2) {
    shown_from = std::min(field_offset - kMaxShownLine / 2, line_length - kMaxShownLine);
  }
  const size_t shown_length = std::min(kMaxShownLine, line_length - shown_from);
  place.line_text = std::string(bytes_.substr(field.line_start + shown_from, shown_length));
  place.caret = static_cast<int>(std::min(field_offset - std::min(field_offset, shown_from), shown_length));
  return place;
}

bool read_keyword_field(FieldReader& reader, std::string& field, std::vector<FieldPosition>* passed_over) {
  constexpr int kDashFieldsPassedOver = 2;
  if (reader.at_end()) return false;
  field = reader.read_text();
  if (reader.at_end()) return false;
  for (int i = 0; i < kDashFieldsPassedOver && contains(field, "-"); ++i) {
    if (passed_over != nullptr) passed_over->push_back(reader.last_field());
    field = reader.read_text();
    if (reader.at_end()) return false;
  }
  return true;
}

bool contains(std::string_view field, std::string_view keyword) { return field.find(keyword) != std::string_view::npos; }

bool contains_nocase(std::string_view field, std::string_view keyword) {
  if (keyword.empty()) return true;
  if (field.size() < keyword.size()) return false;
  auto equal_nocase = [](char a, char b) {
    return cp1252_lower(static_cast<unsigned char>(a)) == cp1252_lower(static_cast<unsigned char>(b));
  };
  return std::search(field.begin(), field.end(), keyword.begin(), keyword.end(), equal_nocase) != field.end();
}

}  // namespace scenario
