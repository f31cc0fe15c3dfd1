#include "compiler/description_parser.h"

#include <utility>

#include "compiler/rounding.h"

namespace scenario {

const std::string& DescriptionParser::read_field() {
  state_.current_field = reader_.read_text();
  return state_.current_field;
}

bool DescriptionParser::read_keyword() {
  std::string field;
  if (!read_keyword_field(reader_, field)) return false;
  state_.current_field = std::move(field);
  keyword_ = reader_.last_field();
  return true;
}

void DescriptionParser::record_error(ErrorNumber number, const std::optional<FieldPosition>& record,
                                     std::optional<int32_t> position, std::string words) {
  state_.record_error(number, position, record ? reader_.place_of(*record) : SourcePlace(), std::move(words));
}

void DescriptionParser::fail(ErrorNumber number, std::optional<int32_t> position, std::string words) {
  record_error(number, keyword_, position, std::move(words));
}

bool DescriptionParser::placed(const Placement& placement, int32_t position) {
  if (placement.placed()) return true;
  if (placement.number() == ErrorNumber::kRunTimeFailure) throw ReadFailure{placement.words()};
  fail(placement.number(), position, placement.words());
  return false;
}

bool DescriptionParser::beyond(int32_t position, int64_t reach) {
  if (!beyond_model(position, reach, state_.cell_count)) return false;
  fail(ErrorNumber::kBeyondModel, position);
  return true;
}

}  // namespace scenario
