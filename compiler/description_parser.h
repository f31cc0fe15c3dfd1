// The base both description parsers build on, in the manner of a small hand-written parser: the
// compile state and the field reader a parser works on, and what the line and the train parser do
// alike.
//
//  - read_field() reads a text field into current_field; read_keyword() reads the next record's
//    keyword field by the bodies' rules (end tests, dash fields) and remembers where it stood.
//  - beyond() is the range check of a record's position: a record at p lies beyond the cells when
//    (p + reach) / 50 exceeds the highest cell index; it then records error 15.
//  - record_error() records an error with the place of the record it belongs to; every error a
//    parser records goes through it, and fail() and placed() are its forms for the record being
//    read. A ReadFailure thrown inside run_guarded() (a file cut short, a value outside its field,
//    or a placer's run-time failure) is recorded there as error 25 at the field last read.
#ifndef SCENARIO_COMPILER_DESCRIPTION_PARSER_H_
#define SCENARIO_COMPILER_DESCRIPTION_PARSER_H_

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/compile_error.h"
#include "compiler/field_reader.h"
#include "compiler/track_model.h"

namespace scenario {

// How far past its position a record reaches for the range check: 100 m, a station 800 m.
inline constexpr int64_t kRecordReach = 100;
inline constexpr int64_t kStationReach = 800;

class DescriptionParser {
 protected:
  DescriptionParser(CompileState& state, FieldReader& reader) : state_(state), reader_(reader) {}

  // Reads the next text field into current_field.
  const std::string& read_field();
  // Reads the next record's keyword field into current_field and keyword_; false when the file
  // ends first (its last field is never interpreted).
  bool read_keyword();

  // Records an error: its number, its position when it has one, the place of the record whose
  // keyword stood at `record` (none: the error belongs to no record) and more words.
  void record_error(ErrorNumber number, const std::optional<FieldPosition>& record,
                    std::optional<int32_t> position = std::nullopt, std::string words = {});
  // Records an error of the record being read.
  void fail(ErrorNumber number, std::optional<int32_t> position = std::nullopt, std::string words = {});
  // True when a placer laid the feature of the record being read; otherwise records its refusal
  // at the record's position. A run-time failure is thrown as a ReadFailure, which ends the parse
  // as a failed read does.
  bool placed(const Placement& placement, int32_t position);
  // The range check: error 15 at `position` when the record lies beyond the cells.
  bool beyond(int32_t position, int64_t reach = kRecordReach);

  // Runs `body`, recording a ReadFailure it throws as error 25; false when one was thrown.
  template <typename Body>
  bool run_guarded(Body&& body) {
    try {
      body();
      return true;
    } catch (const ReadFailure& failure) {
      record_error(ErrorNumber::kRunTimeFailure, reader_.last_field(), std::nullopt, failure.what);
      return false;
    }
  }

  CompileState& state_;
  FieldReader& reader_;
  FieldPosition keyword_;  // where the keyword field of the record being read stood
};

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DESCRIPTION_PARSER_H_
