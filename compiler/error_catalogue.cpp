#include "compiler/error_catalogue.h"

#include <array>

#include "compiler/cp1252.h"

namespace scenario {
namespace {

constexpr std::array<ErrorDescription, 27> kCatalogue = {{
    {1, false, "line length outside 0 to 1000000 m"},
    {2, false, "a kilometric progression's first or second value is not a multiple of 50"},
    {3, false, "signal repetition 'from' value is not a multiple of 50"},
    {4, false, "signal repetition 'to' value is not a multiple of 50"},
    {5, false, "signal repetition keyword names neither 4 nor 9 codes"},
    {6, true, "line-side board on a cell already taken"},
    {7, true, "cut-off point on a cell already taken"},
    {8, true, "station position is not a multiple of 50"},
    {9, true, "platform length is not a multiple of 100"},
    {10, false, "station table full: too many stations beside the line-side boards"},
    {11, true, "signal before a slowdown warning has no free cell one or two cells before it"},
    {12, true, "no free cell 5-7, 11-13 or 18-20 cells before a slowdown start"},
    {13, true, "no free cell for a point inside a slowdown or before the first signal after it"},
    {15, true, "record position lies beyond the end of the track model"},
    {16, true, "signal on a cell already taken"},
    {17, true, "slowdown warning board on a cell already taken"},
    {18, true, "slowdown start on a cell already taken"},
    {19, true, "slowdown end on a cell already taken, or beyond the last cell"},
    {20, true, "slowdown pre-warning cells already taken"},
    {21, true, "speed indicator board on a cell already taken"},
    {22, true, "station starts less than 350 m after the previous station ends"},
    {24, false, "station ends at or before metre 100: no room for its stop marker"},
    {25, false, "description could not be read: a record is cut short or a value is out of range"},
    {101, false, "line description file is missing"},
    {102, false, "line description has no [generale] section"},
    {104, false, "line description has no line length record"},
    {106, true, "too many line-side boards"},
}};

constexpr ErrorDescription kCurveError = {
    103, false, "curve without a class digit 1-6, or a curve that runs past the plan's end or metre 1000000"};

// The line as it may be shown on a terminal: each control character (a NUL, an escape sequence's
// ESC) becomes one '?' and a tab one blank, so that a malformed description can neither garble
// the report nor drive the terminal, and the caret under the record stays in its column.
std::string printable_line(const std::string& cp1252) {
  std::string shown = cp1252;
  for (char& byte : shown) {
    const unsigned char code = static_cast<unsigned char>(byte);
    if (code == '\t') byte = ' ';
    else if (code < 0x20 || code == 0x7F) byte = '?';
  }
  return shown;
}

}  // namespace

ErrorDescription describe_error(int32_t code) {
  if (code == kCurveError.code) return kCurveError;
  for (const ErrorDescription& description : kCatalogue) {
    if (description.code == code) return description;
  }
  return {code, false, "unknown compile error"};
}

std::string compile_error_report(const CompileState& state) {
  const ErrorDescription description = describe_error(state.ErrorCode);
  std::string report = "compile error " + std::to_string(state.ErrorCode);
  if (description.has_position) report += " at " + std::to_string(state.ErrorPosition) + " m";
  report += ": ";
  report += description.words;
  if (!state.error_detail.empty()) report += " (" + state.error_detail + ")";
  const SourcePlace& place = state.error_place;
  if (place.known()) {
    report += "\n" + place.file + ":" + std::to_string(place.line) + ":" + std::to_string(place.column) + ": here";
    report += "\n    " + cp1252_to_utf8(printable_line(place.line_text));
    report += "\n    " + std::string(static_cast<size_t>(place.caret > 0 ? place.caret : 0), ' ') + "^";
  }
  return report;
}

}  // namespace scenario
