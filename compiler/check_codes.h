// The two check codes of a scenario, derived from its names.
//
// Both are computed from the same 25 characters: the train number followed by the line name, in
// lower case, padded with "aabbccddeeffgghhiillmmnnoo", cut to 25. With a(i) the code-page-1252
// code of character i, codice_gara_og is the plain sum a(1) + ... + a(25) (stored in cell 1's
// value_b) and codice_gara_st the weighted sum 1*a(1) + ... + 25*a(25) (stored in entry 85's
// time_seconds). The compile takes the names from the station table (entries 86 and 85).
#ifndef SCENARIO_COMPILER_CHECK_CODES_H_
#define SCENARIO_COMPILER_CHECK_CODES_H_

#include <cstdint>
#include <string>

namespace scenario {

// The padded, lower-cased text of at least 26 characters; the names are code-page-1252 bytes.
std::string check_code_text(const std::string& train_number, const std::string& line_name);

int16_t codice_gara_og(const std::string& train_number, const std::string& line_name);
int32_t codice_gara_st(const std::string& train_number, const std::string& line_name);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CHECK_CODES_H_
