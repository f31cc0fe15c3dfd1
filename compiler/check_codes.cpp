#include "compiler/check_codes.h"

#include "format/cp1252.h"
#include "model/header_view.h"

namespace scenario {
namespace {

constexpr int kCodedCharacters = 25;
constexpr const char* kPadding = "aabbccddeeffgghhiillmmnnoo";

}  // namespace

std::string check_code_text(CompileState& state) {
  const HeaderView header(state.station_table);
  state.current_field = cp1252_lower(header.train_number() + header.line_name()) + kPadding;
  return state.current_field;
}

int16_t codice_gara_og(CompileState& state) {
  const std::string text = check_code_text(state);
  int32_t sum = 0;  // at most 25 * 255 = 6375: fits 16 bits
  for (int i = 0; i < kCodedCharacters; ++i) sum += static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return static_cast<int16_t>(sum);
}

int32_t codice_gara_st(CompileState& state) {
  const std::string text = check_code_text(state);
  int32_t sum = 0;  // at most 325 * 255 = 82875
  for (int i = 0; i < kCodedCharacters; ++i) sum += (i + 1) * static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return sum;
}

}  // namespace scenario
