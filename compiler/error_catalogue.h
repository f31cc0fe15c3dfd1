// The compile error numbers of the simulator world, in plain words.
//
// ErrorCode values are fixed numbers that the simulator's authors know; this catalogue is the one
// place that says what each one means to a person, and whether ErrorPosition goes with it.
#ifndef SCENARIO_COMPILER_ERROR_CATALOGUE_H_
#define SCENARIO_COMPILER_ERROR_CATALOGUE_H_

#include <cstdint>
#include <span>
#include <string>

#include "model/compile_error.h"

namespace scenario {

struct ErrorDescription {
  ErrorNumber number;
  bool has_position;  // ErrorPosition is set with this code
  const char* words;  // what went wrong, in plain words
};

// The description of a code; an unknown code gets generic words and no position.
ErrorDescription describe_error(int32_t code);

// Every error number of the catalogue with its words, in ascending order.
std::span<const ErrorDescription> error_catalogue();

// The error's words: the catalogue's, then the record's own in parentheses when it has any.
std::string compile_error_words(const ErrorRecord& error);

// "compile error N at P m: WORDS" (without " at P m" for the codes that set no position).
std::string compile_error_headline(const ErrorRecord& error);

// The editor form of a finding's first line: "FILE:LINE:COLUMN: SEVERITY: TEXT" ("FILE: SEVERITY:
// TEXT" for a place without a line).
std::string editor_line(const SourcePlace& place, const char* severity, const std::string& text);

// The line of a place as a terminal may show it and a caret under the field, each indented by four
// blanks, each ending in a newline; empty for a place without a line.
std::string source_excerpt(const SourcePlace& place);

// The report of a compile error. With a place, the editor form and the line with its caret:
//   FILE:LINE:COLUMN: error: compile error N at P m: WORDS
//       the line
//       ^
// without one, the headline alone. No trailing newline.
std::string compile_error_report(const ErrorRecord& error);

// The fatal report's text, " Errore n. " followed by the number (1250, 1251).
std::string fatal_report(const std::string& number);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_ERROR_CATALOGUE_H_
