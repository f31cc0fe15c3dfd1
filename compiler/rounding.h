// Exact rounding of quotients of whole numbers.
//
// Every position-to-cell mapping and every computed whole number of the compiler goes through
// near(): the whole number nearest to the exact quotient numerator / denominator, an exact half
// going to the even neighbour (near(5, 2) == 2, near(7, 2) == 4). It works on integers only, so
// no floating-point error can move a position into the wrong cell.
#ifndef SCENARIO_COMPILER_ROUNDING_H_
#define SCENARIO_COMPILER_ROUNDING_H_

#include <cstdint>

namespace scenario {

// The nearest whole number to numerator / denominator, halves to even. denominator must be > 0.
int64_t near(int64_t numerator, int64_t denominator);

// Length of a cell in metres.
inline constexpr int64_t CELL_LENGTH = 50;

// The cell of a feature at position p metres: near(p / 50 + 1).
inline int64_t cell_of_position(int64_t position) { return near(position + CELL_LENGTH, CELL_LENGTH); }

// The cell where a whole-array fill starts for a record at position p metres: near(p / 50).
inline int64_t fill_cell_of_position(int64_t position) { return near(position, CELL_LENGTH); }

// The highest cell index for a line of the given length: near((length + 7000) / 50).
inline int64_t cell_count_for_length(int64_t line_length) { return near(line_length + 7000, CELL_LENGTH); }

// True when a record at position p lies beyond a model whose highest cell index is n, that is
// when the exact quotient (p + reach) / 50 is greater than n (reach is 100, or 800 for stations).
inline bool beyond_model(int64_t position, int64_t reach, int64_t n) { return (position + reach) > n * CELL_LENGTH; }

}  // namespace scenario

#endif  // SCENARIO_COMPILER_ROUNDING_H_
