#include "compiler/error_catalogue.h"

#include <array>

#include "format/cp1252.h"

namespace scenario {
namespace {

using enum ErrorNumber;

constexpr std::array<ErrorDescription, 28> kCatalogue = {{
    {kLineLength, false, "line length outside 0 to 1000000 m"},
    {kProgressionStep, false, "a kilometric progression's first or second value is not a multiple of 50"},
    {kRepetitionFromStep, false, "signal repetition 'from' value is not a multiple of 50"},
    {kRepetitionToStep, false, "signal repetition 'to' value is not a multiple of 50"},
    {kRepetitionCodes, false, "signal repetition keyword names neither 4 nor 9 codes"},
    {kBoardTaken, true, "line-side board on a cell already taken"},
    {kCutOffTaken, true, "cut-off point on a cell already taken"},
    {kStationStep, true, "station position is not a multiple of 50"},
    {kPlatformStep, true, "platform length is not a multiple of 100"},
    {kStationTableFull, false, "station table full: too many stations beside the line-side boards"},
    {kSignalBeforeWarning, true, "signal before a slowdown warning has no free cell one or two cells before it"},
    {kBeforeSlowdownStart, true, "no free cell 5-7, 11-13 or 18-20 cells before a slowdown start"},
    {kInsideOrAfterSlowdown, true, "no free cell for a point inside a slowdown or before the first signal after it"},
    {kBeyondModel, true, "record position lies beyond the end of the track model"},
    {kSignalTaken, true, "signal on a cell already taken"},
    {kWarningTaken, true, "slowdown warning board on a cell already taken"},
    {kSlowdownStartTaken, true, "slowdown start on a cell already taken"},
    {kSlowdownEndTaken, true, "slowdown end on a cell already taken, or beyond the last cell"},
    {kPrewarningTaken, true, "slowdown pre-warning cells already taken"},
    {kSpeedBoardTaken, true, "speed indicator board on a cell already taken"},
    {kStationSpacing, true, "station starts less than 350 m after the previous station ends"},
    {kStationTooEarly, false, "station ends at or before metre 100: no room for its stop marker"},
    {kRunTimeFailure, false, "description could not be read: a record is cut short or a value is out of range"},
    {kLineDescriptionMissing, false, "line description file is missing"},
    {kNoGeneralSection, false, "line description has no [generale] section"},
    {kCurve, false, "curve without a class digit 1-6, or a curve that runs past the plan's end or metre 1000000"},
    {kNoLineLength, false, "line description has no line length record"},
    {kTooManyBoards, true, "too many line-side boards"},
}};

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
  for (const ErrorDescription& description : kCatalogue) {
    if (error_code(description.number) == code) return description;
  }
  return {static_cast<ErrorNumber>(code), false, "unknown compile error"};
}

std::span<const ErrorDescription> error_catalogue() { return kCatalogue; }

std::string compile_error_words(const ErrorRecord& error) {
  std::string words = describe_error(error.ErrorCode).words;
  if (!error.words.empty()) words += " (" + error.words + ")";
  return words;
}

std::string compile_error_headline(const ErrorRecord& error) {
  std::string headline = "compile error " + std::to_string(error.ErrorCode);
  if (describe_error(error.ErrorCode).has_position) headline += " at " + std::to_string(error.ErrorPosition) + " m";
  return headline + ": " + compile_error_words(error);
}

std::string editor_line(const SourcePlace& place, const char* severity, const std::string& text) {
  // Appended piece by piece: gcc 12 at -O3 warns (-Wrestrict) about the temporaries of
  // ":" + std::to_string(...), wrongly.
  std::string line = place.file;
  if (place.known()) {
    line += ':';
    line += std::to_string(place.line);
    line += ':';
    line += std::to_string(place.column);
  }
  line += ": ";
  line += severity;
  line += ": ";
  line += text;
  return line;
}

std::string source_excerpt(const SourcePlace& place) {
  if (!place.known()) return {};
  return "    " + cp1252_to_utf8(printable_line(place.line_text)) + "\n    " +
         std::string(static_cast<size_t>(place.caret > 0 ? place.caret : 0), ' ') + "^\n";
}

std::string compile_error_report(const ErrorRecord& error) {
  if (!error.place.known()) return compile_error_headline(error);
  std::string report = editor_line(error.place, "error", compile_error_headline(error)) + "\n" + source_excerpt(error.place);
  report.pop_back();
  return report;
}

std::string fatal_report(const std::string& number) { return " Errore n. " + number; }

}  // namespace scenario
