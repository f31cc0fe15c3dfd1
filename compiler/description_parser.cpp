#include "compiler/description_parser.h"

#include <algorithm>
#include <utility>

#include "compiler/did_you_mean.h"
#include "format/cp1252.h"

#include "model/cell_values.h"
#include "model/rounding.h"

namespace scenario {

const std::string& DescriptionParser::read_field() {
  field_ = reader_.read_text();
  return field_;
}

void DescriptionParser::note_header_slots() {
  if (state_.cells.size() <= kHeaderCell) return;
  const TrackCell& cell = state_.cells[kHeaderCell];
  if (cell.value_a != 0 && !state_.header_value_a_from.known()) state_.header_value_a_from = reader_.place_of(keyword_);
  if (cell.value_b != 0 && !state_.header_value_b_from.known()) state_.header_value_b_from = reader_.place_of(keyword_);
}

void DescriptionParser::check_into(CheckFindings* findings) {
  findings_ = findings;
  state_.note_layers = findings != nullptr;
  reader_.note_numbers(findings != nullptr ? &number_notes_ : nullptr);
}

bool DescriptionParser::read_keyword() {
  std::string field;
  std::vector<FieldPosition> dash_fields;
  const bool read = read_keyword_field(reader_, field, checking() ? &dash_fields : nullptr);
  for (const FieldPosition& dash_field : dash_fields) check_dash_field(dash_field);
  if (!read) {
    if (checking() && !field.empty()) {
      last_field_ = std::move(field);
      last_field_place_ = reader_.last_field();
    }
    return false;
  }
  field_ = std::move(field);
  keyword_ = reader_.last_field();
  return true;
}

void DescriptionParser::record_error(ErrorNumber number, const std::optional<FieldPosition>& record,
                                     std::optional<int32_t> position, std::string words) {
  CheckFindings::record(state_, findings_, number, position, record ? reader_.place_of(*record) : SourcePlace(),
                        std::move(words));
}

void DescriptionParser::fail(ErrorNumber number, std::optional<int32_t> position, std::string words) {
  record_error(number, keyword_, position, std::move(words));
}

void DescriptionParser::fail_at(const FieldPosition& field, ErrorNumber number, std::optional<int32_t> position) {
  record_error(number, field, position);
}

namespace {

// A cell's kind as an author names the feature.
const char* feature_words(uint8_t kind) {
  switch (kind) {
    case kSignal: return "a signal";
    case kSlowdownEnd: return "a slowdown's end";
    case kSlowdownStart: return "a slowdown's start";
    case kSlowdownWarning: return "a slowdown's warning board";
    case kSlowdownPrewarning: return "a slowdown's pre-warning cell";
    case kSpeedBoard: return "a speed indicator board";
    case kStopMarker: return "a station's stop marker";
    case kCutOffPoint:
    case kCutOffPointZero: return "a cut-off point";
    case kBoardText: return "a line-side board";
    default: return "a feature";
  }
}

}  // namespace

std::string DescriptionParser::taken_words(int64_t cell) const {
  if (cell < 0 || cell >= static_cast<int64_t>(state_.cells.size())) return "";
  std::string words = "cell " + std::to_string(cell) + " holds " + feature_words(state_.cells[static_cast<size_t>(cell)].kind);
  if (const SourcePlace* layer = state_.layer_of(cell)) {
    words += ", written on line " + std::to_string(layer->line);
    if (layer->file != reader_.file_name()) words += " of " + layer->file;
  }
  return words;
}

DescriptionParser::Placed DescriptionParser::placed(const Placement& placement, int32_t position,
                                                   const std::optional<FieldPosition>& failure_field) {
  if (placement.placed()) return Placed::kYes;
  if (placement.number() == ErrorNumber::kRunTimeFailure) {
    record_error(ErrorNumber::kRunTimeFailure, failure_field.value_or(reader_.last_field()), std::nullopt,
                 placement.words());
    return Placed::kFailed;
  }
  fail(placement.number(), position, placement.taken_cell() >= 0 ? taken_words(placement.taken_cell()) : placement.words());
  return Placed::kRefused;
}

bool DescriptionParser::beyond(int32_t position, int64_t reach, const std::optional<FieldPosition>& field) {
  if (!beyond_model(position, reach, state_.cell_count)) return false;
  record_error(ErrorNumber::kBeyondModel, field ? *field : keyword_, position);
  return true;
}

void DescriptionParser::warn(const char* name, const FieldPosition& at, std::string message) {
  warn(name, reader_.place_of(at), std::move(message));
}

void DescriptionParser::warn(const char* name, SourcePlace place, std::string message) {
  findings_->add_warning(name, std::move(place), std::move(message));
}

void DescriptionParser::check_order(const char* kind, int64_t start, int64_t end) {
  if (!checking()) return;
  const auto [it, first] = order_ends_.try_emplace(kind, end);
  if (first) return;
  if (start < it->second) {
    warn("out-of-order", keyword_,
         std::string("this ") + kind + " at " + std::to_string(start) + " m stands after one that reaches " +
             std::to_string(it->second) + " m: the compile reads them in file order");
  }
  it->second = std::max(it->second, end);
}

// A record that read fields from the next line lacks fields; one that leaves fields on its line
// has more than its kind reads (the compile tests them as the next record's keyword).
void DescriptionParser::check_field_count(const FieldPosition& keyword) {
  if (reader_.last_field().line > keyword.line) {
    warn("field-count", reader_.line_end_of(keyword),
         "this record has fewer fields than its kind reads: its last values were read from line " +
             std::to_string(reader_.last_field().line));
    return;
  }
  if (reader_.line() != keyword.line) return;
  const std::string_view rest = reader_.rest_of_line();
  if (rest.find_first_not_of(" \t,") == std::string_view::npos) return;
  warn("field-count", reader_.next_field(),
       "this record has more fields than its kind reads: the rest of the line is read as further records");
}

void DescriptionParser::unknown_keyword(const std::string& field, const FieldPosition& keyword,
                                        const KnownKeywords& keywords) {
  if (field.empty() || (contains(field, "[") && contains(field, "]"))) return;
  if (!reader_.first_on_line(keyword)) return;
  const std::string letters = keyword_letters(field);
  for (const std::string_view elsewhere : keywords.elsewhere) {
    if (letters == keyword_letters(elsewhere)) {
      warn("ignored-record", keyword,
           "'" + cp1252_to_utf8(field) + "' is read " + keywords.elsewhere_words + ": here it is passed over");
      return;
    }
  }
  std::vector<std::string_view> all(keywords.here.begin(), keywords.here.end());
  all.insert(all.end(), keywords.elsewhere.begin(), keywords.elsewhere.end());
  const std::optional<std::string_view> closest = closest_keyword(field, all);
  std::string message = "unknown keyword '" + cp1252_to_utf8(field) + "': the record is passed over";
  if (closest) message += "; did you mean '" + std::string(*closest) + "'?";
  warn("unknown-keyword", keyword, std::move(message));
}

// A field holding "-" is a separator and gives way to the next field; one that begins a line and
// holds letters was most likely meant as a record, whose values are then tested as keywords.
void DescriptionParser::check_dash_field(const FieldPosition& field) {
  if (!reader_.first_on_line(field)) return;
  const SourcePlace place = reader_.place_of(field);
  const std::string_view text = std::string_view(place.line_text).substr(static_cast<size_t>(place.caret));
  const std::string_view keyword = text.substr(0, text.find(','));
  const bool has_letter = std::any_of(keyword.begin(), keyword.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  if (!has_letter) return;
  warn("ignored-record", place,
       "'" + cp1252_to_utf8(keyword) + "' holds '-', so it is passed over as a separator: keywords never hold '-'");
}

void DescriptionParser::finish_check() {
  if (!checking()) return;
  if (!last_field_.empty() && !(contains(last_field_, "[") && contains(last_field_, "]"))) {
    warn("ignored-record", last_field_place_,
         "the file's last field '" + cp1252_to_utf8(last_field_) +
             "' is never read: end the file with a line such as [fine]");
  }
  for (const NumberNote& note : number_notes_) {
    warn("number-text", note.field,
         "'" + cp1252_to_utf8(note.text) + "' is not a whole number: the compile reads it as 0");
  }
  number_notes_.clear();
}

}  // namespace scenario
