// The compile error numbers of the simulator world, in plain words.
//
// ErrorCode values are fixed numbers that the simulator's authors know; this catalogue is the one
// place that says what each one means to a person, and whether ErrorPosition goes with it.
#ifndef SCENARIO_COMPILER_ERROR_CATALOGUE_H_
#define SCENARIO_COMPILER_ERROR_CATALOGUE_H_

#include <cstdint>
#include <string>

#include "compiler/compile_error.h"

namespace scenario {

struct ErrorDescription {
  ErrorNumber number;
  bool has_position;  // ErrorPosition is set with this code
  const char* words;  // what went wrong, in plain words
};

// The description of a code; an unknown code gets generic words and no position.
ErrorDescription describe_error(int32_t code);

// The report line of a compile error: "compile error N at P m: words" (without " at P m" for the
// codes that set no position), followed, when the error record knows the description record that
// caused it, by "FILE:LINE:COLUMN", the line and a caret under the record. No trailing newline.
std::string compile_error_report(const ErrorRecord& error);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_ERROR_CATALOGUE_H_
