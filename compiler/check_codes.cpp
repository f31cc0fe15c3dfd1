#include "compiler/check_codes.h"

#include "format/cp1252.h"

namespace scenario {
namespace {

constexpr int kCodedCharacters = 25;
constexpr const char* kPadding = "aabbccddeeffgghhiillmmnnoo";

}  // namespace

std::string check_code_text(const std::string& train_number, const std::string& line_name) {
  return cp1252_lower(train_number + line_name) + kPadding;
}

int16_t codice_gara_og(const std::string& train_number, const std::string& line_name) {
  const std::string text = check_code_text(train_number, line_name);
  int32_t sum = 0;  // at most 25 * 255 = 6375: fits 16 bits
  for (int i = 0; i < kCodedCharacters; ++i) sum += static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return static_cast<int16_t>(sum);
}

int32_t codice_gara_st(const std::string& train_number, const std::string& line_name) {
  const std::string text = check_code_text(train_number, line_name);
  int32_t sum = 0;  // at most 325 * 255 = 82875
  for (int i = 0; i < kCodedCharacters; ++i) sum += (i + 1) * static_cast<unsigned char>(text[static_cast<size_t>(i)]);
  return sum;
}

}  // namespace scenario
