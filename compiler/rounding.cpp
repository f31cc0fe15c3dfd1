#include "compiler/rounding.h"

namespace scenario {

int64_t near(int64_t numerator, int64_t denominator) {
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

}  // namespace scenario
