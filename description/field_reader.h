// Reading a description file as a stream of fields.
//
// Both description formats are read field by field, never line by line:
//  - every read first skips leading blanks;
//  - a text field runs to the next comma or line end, which is consumed (trailing blanks are not
//    part of the value);
//  - a number runs to the next blank, comma or line end; the blanks after it are skipped and a
//    comma or line end that follows them is consumed, so numbers may also be separated by blanks
//    alone; a number is a whole number with an optional minus sign, and an empty field or any
//    other text ("+5" too) reads as 0;
//  - a number outside the range of its target width (32-bit, 16-bit, 0-255) is a read failure;
//  - at_end() is the end-of-file test asked after each read: a field that leaves the reader at the
//    end is read but, by the parsers' rule, never interpreted;
//  - reading when the reader is already at the end is a read failure.
// Line ends are CR LF, a lone LF or a lone CR. Read failures throw ReadFailure, which the parsers
// catch and record as error 25; it never leaves the compiler.
//
// The reader knows the line and column of every field it returns, so that errors can point at
// the record that caused them. For a check of a description it can also note every number field
// whose text is not a whole number (read as 0), and tell what is left of the current line.
#ifndef SCENARIO_DESCRIPTION_FIELD_READER_H_
#define SCENARIO_DESCRIPTION_FIELD_READER_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/track_model.h"

namespace scenario {

// Where a field began: 1-based line and column, and the byte offset of its line's start.
struct FieldPosition {
  int line = 0;
  int column = 0;
  size_t line_start = 0;
};

// A read past the end of the description or a number too large for its field.
struct ReadFailure {
  std::string what;
  std::optional<FieldPosition> field;  // the field at fault, when not the last one read
};

// A number field whose text is not a whole number with an optional leading minus.
struct NumberNote {
  FieldPosition field;
  std::string text;
};

class FieldReader {
 public:
  // Reads from `bytes`, which must outlive the reader; `file_name` names it in error places.
  FieldReader(std::string_view bytes, std::string file_name);

  // The end-of-file test.
  bool at_end() const { return position_ >= bytes_.size(); }

  std::string read_text();
  int32_t read_long();
  int16_t read_short();
  uint8_t read_byte();

  // Where the field returned by the last read began.
  FieldPosition last_field() const { return last_field_; }
  // The full place of a field, with its line's text, for an error report.
  SourcePlace place_of(const FieldPosition& field) const;
  const std::string& file_name() const { return file_name_; }

  // Check mode: every number field read from now on whose text is not a whole number is appended
  // to *notes (nullptr: none are noted, as in a compile).
  void note_numbers(std::vector<NumberNote>* notes) { number_notes_ = notes; }
  // The 1-based line the next read begins on.
  int line() const { return line_; }
  // Where the next field would begin (after blanks), and the rest of the current line from there.
  FieldPosition next_field() const;
  std::string_view rest_of_line() const;
  // Passes over the rest of the current line and its line end.
  void skip_rest_of_line();
  // The place just past the end of the line `field` stands on.
  FieldPosition line_end_of(const FieldPosition& field) const;
  // True when only blanks stand before the field on its line.
  bool first_on_line(const FieldPosition& field) const;

 private:
  void skip_blanks();
  bool at_line_end() const;
  void consume_line_end();
  void begin_field();
  // Reads a number token and its delimiter; throws when at the end or when it does not fit 64 bits.
  int64_t read_number(int64_t lowest, int64_t highest, const char* width_name);
  void note_number(std::string_view token);

  std::string_view bytes_;
  std::string file_name_;
  size_t position_ = 0;
  int line_ = 1;
  size_t line_start_ = 0;
  FieldPosition last_field_;
  std::vector<NumberNote>* number_notes_ = nullptr;
};

// Reads the next field to be tested as a record's keyword into `field`, as both descriptions'
// bodies do: the end of the file is tested before and after each read, and a field holding "-" (a
// separator) gives way to the next one, at most twice. Returns false when the file ends first: the
// file's last field is never interpreted.
// `passed_over`, when given, receives the place of each dash field given way.
bool read_keyword_field(FieldReader& reader, std::string& field, std::vector<FieldPosition>* passed_over = nullptr);

// Substring tests on keyword fields.
bool contains(std::string_view field, std::string_view keyword);          // exact letter case
bool contains_nocase(std::string_view field, std::string_view keyword);   // letter case ignored

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_FIELD_READER_H_
