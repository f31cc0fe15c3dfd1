// The base both description parsers build on, in the manner of a small hand-written parser: the
// compile state and the field reader a parser works on, and what the line and the train parser do
// alike.
//
//  - read_field() reads a text field into field_; read_keyword() reads the next record's
//    keyword field by the bodies' rules (end tests, dash fields) and remembers where it stood.
//  - beyond() is the range check of a record's position: a record at p lies beyond the cells when
//    (p + reach) / 50 exceeds the highest cell index; it then records error 15.
//  - record_error() records an error with the place of the record it belongs to; every error a
//    parser records goes through it, and fail() and placed() are its forms for the record being
//    read. A ReadFailure the field reader throws inside run_guarded() (a file cut short, a value
//    outside its field) is recorded there as error 25 at the field last read; a placer's run-time
//    failure is returned, not thrown, and placed() records it in the same way.
//
// Check mode (check_into): the same reading with a CheckFindings collector. Every error is recorded
// in the error record as in a compile and copied into the findings; the parser then passes over
// the rest of the faulty record's line and goes on with the next record (check_record), where a
// compile stops. Warnings come from the same reading: a keyword that matches no test, a record
// whose fields do not fill its line, a number field holding text, the file's last field (never
// interpreted), records out of ascending order. Without a collector nothing of this runs.
#ifndef SCENARIO_COMPILER_DESCRIPTION_PARSER_H_
#define SCENARIO_COMPILER_DESCRIPTION_PARSER_H_

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/check_findings.h"
#include "description/field_reader.h"
#include "model/compile_error.h"
#include "model/track_model.h"

namespace scenario {

// How far past its position a record reaches for the range check: 100 m, a station 800 m.
inline constexpr int64_t kRecordReach = 100;
inline constexpr int64_t kStationReach = 800;

// The keywords of a description for the "did you mean" of an unknown keyword: those read where
// the record stands, and those read elsewhere in the file (a record there is passed over, and
// `elsewhere_words` says where they are read).
struct KnownKeywords {
  std::span<const std::string_view> here;
  std::span<const std::string_view> elsewhere;
  const char* elsewhere_words = "";
};

class DescriptionParser {
 public:
  // Check mode: errors and warnings go into *findings too, and the parse goes on past errors.
  void check_into(CheckFindings* findings);

 protected:
  DescriptionParser(CompileState& state, FieldReader& reader) : state_(state), reader_(reader) {}

  // Reads the next text field into field_.
  const std::string& read_field();
  // Reads the next record's keyword field into field_ and keyword_; false when the file
  // ends first (its last field is never interpreted).
  bool read_keyword();

  // Records an error: its number, its position when it has one, the place of the record whose
  // keyword stood at `record` (none: the error belongs to no record) and more words.
  void record_error(ErrorNumber number, const std::optional<FieldPosition>& record,
                    std::optional<int32_t> position = std::nullopt, std::string words = {});
  // Records an error of the record being read.
  void fail(ErrorNumber number, std::optional<int32_t> position = std::nullopt, std::string words = {});
  // Records an error of the record being read whose fault lies in the value field at `field`.
  void fail_at(const FieldPosition& field, ErrorNumber number, std::optional<int32_t> position = std::nullopt);
  // The words of a refusal on taken cell `cell`: what holds it and, in a check, where the record
  // that laid it was written ("cell 36 holds a signal, written on line 50").
  std::string taken_words(int64_t cell) const;
  // What a placer's answer means for the record being read: it laid the feature (kYes); it refused
  // (kRefused: the refusal recorded at the record's position; the parse stops); or it met a
  // run-time failure (kFailed: error 25 recorded at the last field read, as a failed read is; the
  // phase ends as after a failed read).
  enum class Placed { kYes, kRefused, kFailed };
  // A run-time failure is recorded at `failure_field` when given (the value at fault), else at the
  // last field read.
  Placed placed(const Placement& placement, int32_t position,
                const std::optional<FieldPosition>& failure_field = std::nullopt);
  // The range check: error 15 at `position` when the record lies beyond the cells; the error's
  // place is the position's field when given, else the record's keyword.
  bool beyond(int32_t position, int64_t reach = kRecordReach, const std::optional<FieldPosition>& field = {});

  // Runs `body`, recording a ReadFailure it throws as error 25; false when one was thrown.
  template <typename Body>
  bool run_guarded(Body&& body) {
    try {
      body();
      return true;
    } catch (const ReadFailure& failure) {
      record_error(ErrorNumber::kRunTimeFailure, failure.field.value_or(reader_.last_field()), std::nullopt,
                   failure.what);
      return false;
    }
  }

  // Notes the record being read as the one that took a header slot of cell 1 (its first or second
  // value), when that slot was free before it.
  void note_header_slots();

  bool checking() const { return findings_ != nullptr; }
  // Marks the record being read as recognised when `matches`; returns `matches`.
  bool matched(bool matches) {
    matched_ = matched_ || matches;
    return matches;
  }

  // Check mode: runs one record's reading. A read failure is recorded as error 25; after any error
  // the rest of the record's line is passed over; a record that read without error has its fields
  // counted, and a field that no test matched is looked at as a keyword.
  template <typename Record>
  void check_record(const std::string& field, const KnownKeywords& keywords, Record&& record) {
    const size_t errors = findings_->error_count();
    const FieldPosition keyword = keyword_;
    matched_ = false;
    state_.record_place = SourcePlace{reader_.file_name(), keyword.line, keyword.column, {}, 0};
    try {
      record();
    } catch (const ReadFailure& failure) {
      record_error(ErrorNumber::kRunTimeFailure, failure.field.value_or(reader_.last_field()), std::nullopt,
                   failure.what);
    }
    if (findings_->error_count() != errors) {
      if (reader_.line() == keyword.line) reader_.skip_rest_of_line();
    } else if (matched_) {
      check_field_count(keyword);
    } else {
      unknown_keyword(field, keyword, keywords);
    }
  }

  void warn(const char* name, const FieldPosition& at, std::string message);
  void warn(const char* name, SourcePlace place, std::string message);
  // Check mode: a record of `kind` reaching from `start` to `end` that starts before the end of
  // the last one of its kind is out of order.
  void check_order(const char* kind, int64_t start, int64_t end);
  // Check mode: the file's last field, never interpreted, and the number fields read as 0.
  void finish_check();
  // Check mode: a field given way by the dash rule that looks like a record's keyword.
  void check_dash_field(const FieldPosition& field);

  CompileState& state_;
  FieldReader& reader_;
  FieldPosition keyword_;  // where the keyword field of the record being read stood
  std::string field_;      // the text field most recently read

 private:
  void check_field_count(const FieldPosition& keyword);
  void unknown_keyword(const std::string& field, const FieldPosition& keyword, const KnownKeywords& keywords);

  CheckFindings* findings_ = nullptr;
  bool matched_ = false;
  std::vector<NumberNote> number_notes_;
  std::map<std::string, int64_t, std::less<>> order_ends_;  // per record kind, the end of the last one
  std::string last_field_;                                  // the file's last field, when read
  FieldPosition last_field_place_;
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DESCRIPTION_PARSER_H_
