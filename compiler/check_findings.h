// The findings of a check of descriptions: every compile error the parsers and placers record,
// and warnings on what the compile accepts silently but an author almost never means.
//
// An error finding is a copy of the compile-error record at the moment it was recorded; its code
// is the error number, or the fatal report's number (1250, 1251). Of the errors, the one the
// compile itself reports (the last it records, or its fatal report) is marked `reported`. A
// warning has a short stable name as its code:
//   unknown-keyword     a record whose keyword matches no test (with a "did you mean")
//   field-count         a record with fewer or more fields on its line than its kind reads
//   number-text         a number field holding text, a decimal or a sign other than a leading minus
//   ignored-record      a record the compile passes over (the file's last field, a general record
//                       after the general section, a body record inside it)
//   out-of-order        a record before the one of its kind above it, where the compile assumes
//                       ascending positions
//   no-general-section  a train description without "[generale]": the compile reads nothing of it
//   no-value-at-start   the first speed limit or adhesion after 0 m: the cells before it keep 0
//   speed-rounded       a speed limit not a multiple of 5 km/h (stored rounded)
//   value-wraps         a gradient outside -100..155 per mille, an adhesion outside its byte
//   signal-code         signal values the cell's codes cannot give back (dx 0..2, d 0..9)
//   short-slowdown      a slowdown that starts and ends on one cell: its end marker is lost
//   zero-speed-slowdown a slowdown of speed 0
//   progressions-cleared kilometric progressions the ordering stores as 0 although they hold values
//   mountain-stretch    a stretch ending before its start, inside the one before, or the 81st
//   duplicate-station   a station whose name is already written
//   timetable-order     a departure past 24:00, before the clock, or before the station before
//   timetable-too-fast  two timed stations closer in time than the least running time between them
// CheckFindings are kept in the order they were made; sorted() orders them by file (in the order the
// files were named), line and column.
#ifndef SCENARIO_COMPILER_CHECK_FINDINGS_H_
#define SCENARIO_COMPILER_CHECK_FINDINGS_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/compile_error.h"
#include "model/track_model.h"

namespace scenario {

enum class Severity { kError, kWarning };

struct CheckFinding {
  Severity severity = Severity::kError;
  std::string code;     // the error number, or the warning's name
  std::string message;  // the error's words (catalogue words and more), or the warning's
  SourcePlace place;    // file, line, column, the line's text and the caret's offset
  std::optional<int32_t> position;  // metres, where known
  bool reported = false;  // the error the compile reports (it stops at, or ends with, this one)
};

// A warning's stable name and what it means, for reports and rule lists.
struct WarningKind {
  const char* name;
  const char* summary;
};

// Every warning name, in the order of the list above.
std::span<const WarningKind> warning_kinds();

class CheckFindings {
 public:
  // `files` are the description file names, in the order findings are sorted by.
  explicit CheckFindings(std::vector<std::string> files) : files_(std::move(files)) {}

  // Keeps at most `per_file` findings of each named file (0: all), the first made, besides the
  // error the compile reports; the others are only counted, so that a check's memory stays
  // bounded whatever its input.
  void keep_at_most(size_t per_file) { kept_per_file_ = per_file; }
  // The files with findings not kept, each with how many, in the order they were first dropped.
  const std::vector<std::pair<std::string, size_t>>& not_kept() const { return not_kept_; }
  size_t errors_not_kept() const { return errors_not_kept_; }

  void add_error(const ErrorRecord& error);
  // Records an error in the compile's error record (CompileState::record_error) and, with
  // `findings` (a check), copies it there: the one way the parsers and post-processing record one.
  static void record(CompileState& state, CheckFindings* findings, ErrorNumber number,
                     std::optional<int32_t> position = std::nullopt, SourcePlace place = {}, std::string words = {});
  // Marks the finding of the error the compile reports, adding it when no finding matches it (an
  // error without a place goes to `file`).
  void mark_reported(const ErrorRecord& error, const std::string& file);
  // Adds the compile's fatal report `number`, at the record that took the header slot (none:
  // post-processing took it; the finding goes to `file`), and marks it as the one reported.
  void add_fatal(int number, const SourcePlace& taker, const std::string& file);
  void add_warning(const char* name, SourcePlace place, std::string message);

  // Gives the findings from index `first` on that name no file the file `file`, or `other_file`
  // for the error numbered `other_code`.
  void place_unplaced(size_t first, const std::string& file, int32_t other_code = 0,
                      const std::string& other_file = {});

  size_t error_count() const { return error_count_; }  // every error made, kept or not
  const std::vector<CheckFinding>& all() const { return findings_; }
  std::vector<CheckFinding> sorted() const;

 private:
  static CheckFinding error_finding(const ErrorRecord& error);
  // Adds a finding, or counts it where the file has its share already.
  void keep(CheckFinding finding);

  std::vector<std::string> files_;
  std::vector<CheckFinding> findings_;
  size_t error_count_ = 0;
  size_t kept_per_file_ = 0;
  std::map<std::string, size_t> kept_;
  std::vector<std::pair<std::string, size_t>> not_kept_;
  size_t errors_not_kept_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CHECK_FINDINGS_H_
