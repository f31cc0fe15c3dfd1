// The compile-error record and the error numbers.
//
// A compile that meets an error records it once: the simulator's error number (ErrorCode), the
// position in metres that goes with some numbers (ErrorPosition; for the others it keeps the value
// it had), the place of the description record that caused it, when one did, and more words where
// the number alone would mislead. The four parts are replaced together, so that an error is never
// reported under an earlier error's place or words. CompileState::record_error is the one writer.
//
// The numbers are the simulator's own; ErrorNumber names them once, from the table of errors,
// with this project's additions 104 and 106. 14 and 23 are not used.
#ifndef SCENARIO_MODEL_COMPILE_ERROR_H_
#define SCENARIO_MODEL_COMPILE_ERROR_H_

#include <cstdint>
#include <string>
#include <utility>

namespace scenario {

enum class ErrorNumber : int32_t {
  kLineLength = 1,                // line length outside 0 to 1000000 m
  kProgressionStep = 2,           // a progression's first or second value not a multiple of 50
  kRepetitionFromStep = 3,        // signal repetition "from" not a multiple of 50
  kRepetitionToStep = 4,          // signal repetition "to" not a multiple of 50
  kRepetitionCodes = 5,           // signal repetition keyword names neither 4 nor 9 codes
  kBoardTaken = 6,                // line-side board on a taken cell
  kCutOffTaken = 7,               // cut-off point on a taken cell
  kStationStep = 8,               // station position not a multiple of 50
  kPlatformStep = 9,              // platform length not a multiple of 100
  kStationTableFull = 10,         // more stations than the table holds beside the boards
  kSignalBeforeWarning = 11,      // no cell for a cut-off point before a signal near a warning
  kBeforeSlowdownStart = 12,      // no free cell in a band before a slowdown start
  kInsideOrAfterSlowdown = 13,    // no free cell for a point inside a slowdown or after its end
  kBeyondModel = 15,              // a record's position lies beyond the cell array
  kSignalTaken = 16,              // signal on a taken cell
  kWarningTaken = 17,             // slowdown warning board on a taken cell
  kSlowdownStartTaken = 18,       // slowdown start on a taken cell
  kSlowdownEndTaken = 19,         // slowdown end on a taken cell
  kPrewarningTaken = 20,          // slowdown pre-warning cells taken
  kSpeedBoardTaken = 21,          // speed indicator board on a taken cell
  kStationSpacing = 22,           // station starts less than 350 m after the previous one ends
  kStationTooEarly = 24,          // station ends at or before metre 100
  kRunTimeFailure = 25,           // a description could not be read: cut short, value out of range
  kLineDescriptionMissing = 101,  // the line description file does not exist
  kNoGeneralSection = 102,        // the line description has no [generale] field
  kCurve = 103,                   // curve without a class digit, or a plan past its last metre
  kNoLineLength = 104,            // the general section has no line length record
  kTooManyBoards = 106,           // a line-side board with no station-table entry left
};

// The number as ErrorCode holds it.
constexpr int32_t error_code(ErrorNumber number) { return static_cast<int32_t>(number); }

// Where in a description file a record stood; kept with a compile error so that the report can
// say file:line:column and show the line.
struct SourcePlace {
  std::string file;       // description file name
  int line = 0;           // 1-based; 0 when unknown
  int column = 0;         // 1-based column of the record's keyword field
  std::string line_text;  // the line (or, for a very long line, the part around the field),
                          // code-page-1252 bytes, without its line end
  int caret = 0;          // 0-based offset of the field within line_text

  bool known() const { return line > 0; }
};

// The compile-error record. ErrorCode 0 means no error.
struct ErrorRecord {
  int32_t ErrorCode = 0;
  int32_t ErrorPosition = 0;  // metres
  SourcePlace place;          // the record that caused the error, when one did
  std::string words;          // more words on the error, when there are any (UTF-8)
};

// What a placer did with a feature: laid it, or refused it with an error number and, where the
// number alone would mislead, more words. The parser that called the placer records a refusal
// with the record's place and position.
class Placement {
 public:
  static Placement Placed() { return Placement(); }
  static Placement Refused(ErrorNumber number, std::string words = "") {
    Placement placement;
    placement.placed_ = false;
    placement.number_ = number;
    placement.words_ = std::move(words);
    return placement;
  }
  // A refusal because cell `cell` is taken.
  static Placement Taken(ErrorNumber number, int64_t cell) {
    Placement placement = Refused(number);
    placement.taken_cell_ = cell;
    return placement;
  }

  bool placed() const { return placed_; }
  ErrorNumber number() const { return number_; }  // of a refusal
  const std::string& words() const { return words_; }
  int64_t taken_cell() const { return taken_cell_; }  // the taken cell of a refusal, or -1

 private:
  bool placed_ = true;
  ErrorNumber number_ = ErrorNumber::kRunTimeFailure;
  std::string words_;
  int64_t taken_cell_ = -1;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_COMPILE_ERROR_H_
