// Random valid scenarios: a line and a train description that compile cleanly and use every record
// kind within the format's rules, for round trips through the compile and the decompile.
//
// A scenario of seed s has a random line length (odd lengths and lines beyond 100 km included);
// progressions, backgrounds and signal repetition; curves of all classes and sides, some back to
// back; gradients at arbitrary metres (two in one cell now and then); mountain stretches marked
// and not, some within 150 m of the one before; speed indicator boards (right-hand speeds and
// stripes too); line-side boards with texts (an accented one, an empty one); adhesion and speed
// limits at arbitrary metres; stations of every type with and without stops; slowdowns with and
// without pre-warning, near the 1500 m edge of the warning board, fast and slow; signals with
// every side code and times; cut-off points with and without a value. Positions are jittered
// within their cells. Features never share a cell, so the placements never refuse one.
//
// The generator compiles what it writes (without the plan) and draws again in the rare case that
// the post-processing found no free cell: every scenario it returns compiles without error.
#ifndef SCENARIO_TESTS_SCENARIO_GENERATOR_H_
#define SCENARIO_TESTS_SCENARIO_GENERATOR_H_

#include <cstdint>
#include <string>

namespace scenario::testing {

struct GeneratedScenario {
  std::string line;        // line description, code-page-1252 bytes, CR LF
  std::string train;       // train description
  bool with_plan = false;  // whether the scenario is compiled with the plan of the line
  uint64_t seed = 0;
};

// The longest line the generator draws by default.
inline constexpr int32_t kLongestGeneratedLine = 130000;

// The scenario of `seed`, its line at most `longest_line` m long (at least 3000): the same seed
// and bound always give the same scenario (the draws come in one order with every compiler).
GeneratedScenario generate_scenario(uint64_t seed, int32_t longest_line = kLongestGeneratedLine);

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_SCENARIO_GENERATOR_H_
