// The layout of a description: the writer's spacing for every record it fully understands, and
// the bytes of every other line left as they are.
//
// A description is read field by field (field_reader.h), so a line's blanks never change what
// it compiles to as long as every field keeps its text and every comma stays a comma. The layout
// takes one line at a time:
//  - a line whose keyword field is exactly one of the writer's keywords (record_kinds.h), followed
//    by exactly that record's values, each a whole number (an optional minus and digits; empty
//    where the writer leaves it empty) and a final text without a comma where the record has one,
//    separated by commas where the writer writes commas and by blanks where it writes blanks, is
//    written again as the writer writes it: the same value texts, the writer's blanks;
//  - a line holding only a bracketed section header (no comma) loses the blanks around it;
//  - every other line keeps its bytes.
// Every line end becomes CR LF, and a last line without one gets one. A description the writer
// wrote comes out byte for byte unchanged. The layout needs no other line and no parser: a
// description that does not compile is laid out all the same, and still gives the same error.
#ifndef SCENARIO_DESCRIPTION_DESCRIPTION_LAYOUT_H_
#define SCENARIO_DESCRIPTION_DESCRIPTION_LAYOUT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "description/record_kinds.h"

namespace scenario {

// One line read as a record: its keyword and values, where each stands on the line.
struct RecordLine {
  struct Span {
    size_t offset = 0;  // bytes from the line's start
    size_t length = 0;
  };
  const RecordKind* kind = nullptr;  // nullptr: the keyword is none of the writer's
  Span keyword;
  std::vector<Span> values;  // in file order; fewer or more than the kind's fields when the line is not exact
  bool exact = false;        // exactly the kind's values, as the layout wants them
};

// Reads one line (without its line end) as a record. `first_of_section` picks the layout of a
// section's first record where the writer has one.
RecordLine read_record_line(std::string_view line, bool first_of_section);

// The line as the writer writes the record it holds; nullopt when the line is not an exact record.
std::optional<std::string> lay_out_record_line(std::string_view line, bool first_of_section);

// The whole description laid out.
std::string lay_out_description(std::string_view bytes);

// Whether the description is laid out already (laying it out changes nothing).
bool is_laid_out(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_DESCRIPTION_LAYOUT_H_
