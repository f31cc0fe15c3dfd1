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
  CompileState state;
  state.station_table[kEntryRepetition].name = GetParam().train_number;
  state.station_table[kEntryLine].name = GetParam().line_name;
  EXPECT_EQ(codice_gara_og(state), GetParam().og);
  EXPECT_EQ(codice_gara_st(state), GetParam().st);
}

INSTANTIATE_TEST_SUITE_P(Names, CheckCodesTest,
                         ::testing::Values(CheckCase{"1", "ab", 2496, 33703}, CheckCase{"", "", 2583, 34355},
                                           CheckCase{"5521", "MorvellaC_DrasconaX", 2422, 33517},
                                           CheckCase{"5521", "MORVELLAC_DRASCONAX", 2422, 33517},
                                           CheckCase{"5521", "morvellac_drasconax", 2422, 33517}));

TEST(CheckCodeTextTest, LeavesThePaddedTextInCurrentField) {
  CompileState state;
  state.station_table[kEntryRepetition].name = std::string(1, '1');
  state.station_table[kEntryLine].name = "AB";
  codice_gara_og(state);
  EXPECT_EQ(state.current_field.substr(0, 25), "1abaabbccddeeffgghhiillmm");
}

TEST(CheckCodeTextTest, NamesAlikeInTheirFirst25CharactersGiveTheSameCodes) {
  CompileState a;
  CompileState b;
  a.station_table[kEntryRepetition].name = b.station_table[kEntryRepetition].name = "5521";
  a.station_table[kEntryLine].name = "MorvellaC_DrasconaX_Nord_1";
  b.station_table[kEntryLine].name = "MorvellaC_DrasconaX_Nord_2";
  EXPECT_EQ(codice_gara_og(a), codice_gara_og(b));
  EXPECT_EQ(codice_gara_st(a), codice_gara_st(b));
}

}  // namespace
}  // namespace scenario
