// "Did you mean": the known keyword closest to a misspelled one.
//
// Distances are edit distances (insertions, deletions, substitutions, and swaps of two letters side
// by side) between the keyword field in
// lower case and each known keyword; a curve keyword's class digit is left out of the comparison.
// A keyword counts as close when at most a quarter of its letters (at least one) would change.
#ifndef SCENARIO_COMPILER_DID_YOU_MEAN_H_
#define SCENARIO_COMPILER_DID_YOU_MEAN_H_

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace scenario {

// The number of single-letter edits and swaps of neighbouring letters that turn `a` into `b`
// (each letter edited once at most).
size_t edit_distance(std::string_view a, std::string_view b);

// A keyword field as it is compared: lower case, digits left out.
std::string keyword_letters(std::string_view field);

// The closest of `keywords` to `field` (code-page-1252 bytes), when one is close enough.
std::optional<std::string_view> closest_keyword(std::string_view field, std::span<const std::string_view> keywords);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_DID_YOU_MEAN_H_
