#include "compiler/check_codes.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

struct CheckCase {
  const char* train_number;
  const char* line_name;
  int16_t og;
  int32_t st;
};

class CheckCodesTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckCodesTest, SumsOfTheFirst25Characters) {
  EXPECT_EQ(codice_gara_og(GetParam().train_number, GetParam().line_name), GetParam().og);
  EXPECT_EQ(codice_gara_st(GetParam().train_number, GetParam().line_name), GetParam().st);
}

INSTANTIATE_TEST_SUITE_P(Names, CheckCodesTest,
                         ::testing::Values(CheckCase{"1", "ab", 2496, 33703}, CheckCase{"", "", 2583, 34355},
                                           CheckCase{"5521", "MorvellaC_DrasconaX", 2422, 33517},
                                           CheckCase{"5521", "MORVELLAC_DRASCONAX", 2422, 33517},
                                           CheckCase{"5521", "morvellac_drasconax", 2422, 33517}));

TEST(CheckCodeTextTest, IsTheTrainNumberAndLineNameLowerCasedAndPadded) {
  EXPECT_EQ(check_code_text("1", "AB").substr(0, 25), "1abaabbccddeeffgghhiillmm");
}

TEST(CheckCodeTextTest, NamesAlikeInTheirFirst25CharactersGiveTheSameCodes) {
  EXPECT_EQ(codice_gara_og("5521", "MorvellaC_DrasconaX_Nord_1"), codice_gara_og("5521", "MorvellaC_DrasconaX_Nord_2"));
  EXPECT_EQ(codice_gara_st("5521", "MorvellaC_DrasconaX_Nord_1"), codice_gara_st("5521", "MorvellaC_DrasconaX_Nord_2"));
}

}  // namespace
}  // namespace scenario
