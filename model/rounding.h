// Exact rounding of quotients of whole numbers, and the geometry of the cell array built on it.
//
// Every position-to-cell mapping and every computed whole number of the compiler goes through
// near(): the whole number nearest to the exact quotient numerator / denominator, an exact half
// going to the even neighbour (near(5, 2) == 2, near(7, 2) == 4). It works on integers only, so
// no floating-point error can move a position into the wrong cell.
//
// The cell array has cells of CELL_LENGTH metres, indices 0 to near((line length + 7000) / 50):
// it runs kCellsPastLineEnd metres past the line's end. Every limit of the array (the most cells,
// the longest plan) follows from CELL_LENGTH, kMaxLineLength and kCellsPastLineEnd.
#ifndef SCENARIO_MODEL_ROUNDING_H_
#define SCENARIO_MODEL_ROUNDING_H_

#include <cstdint>

namespace scenario {

// The nearest whole number to numerator / denominator, halves to even. denominator must be > 0.
constexpr int64_t near(int64_t numerator, int64_t denominator) {
  // Floor division first, so that the remainder is always in [0, denominator).
  int64_t quotient = numerator / denominator;
  int64_t remainder = numerator % denominator;
  if (remainder < 0) {
    quotient -= 1;
    remainder += denominator;
  }
  const int64_t twice = 2 * remainder;
  if (twice > denominator) return quotient + 1;
  if (twice == denominator && (quotient % 2 != 0)) return quotient + 1;
  return quotient;
}

// Length of a cell in metres.
inline constexpr int64_t CELL_LENGTH = 50;

// The longest line the compiler accepts, in metres, and how far the cells run past its end.
inline constexpr int32_t kMaxLineLength = 1000000;
inline constexpr int32_t kCellsPastLineEnd = 7000;

// The cell of a feature at position p metres: near(p / 50 + 1).
constexpr int64_t cell_of_position(int64_t position) { return near(position + CELL_LENGTH, CELL_LENGTH); }

// The cell where a whole-array fill starts for a record at position p metres: near(p / 50).
constexpr int64_t fill_cell_of_position(int64_t position) { return near(position, CELL_LENGTH); }

// The highest cell index for a line of the given length: near((length + 7000) / 50).
constexpr int64_t cell_count_for_length(int64_t line_length) {
  return near(line_length + kCellsPastLineEnd, CELL_LENGTH);
}

// The highest cell index of the longest line.
inline constexpr int64_t kMaxCellCount = cell_count_for_length(kMaxLineLength);
static_assert(kMaxCellCount == 20140);

// True when a record at position p lies beyond a model whose highest cell index is n, that is
// when the exact quotient (p + reach) / 50 is greater than n (reach is 100, or 800 for stations).
constexpr bool beyond_model(int64_t position, int64_t reach, int64_t n) { return (position + reach) > n * CELL_LENGTH; }

}  // namespace scenario

#endif  // SCENARIO_MODEL_ROUNDING_H_
