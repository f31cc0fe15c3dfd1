#include "model/cell_values.h"

namespace scenario {
namespace {

// Floor division and its remainder, so that the remainder never is negative.
struct Split {
  int32_t quotient;
  int32_t remainder;
};
Split split(int32_t value, int32_t divisor) {
  int32_t quotient = value / divisor;
  int32_t remainder = value % divisor;
  if (remainder < 0) {
    quotient -= 1;
    remainder += divisor;
  }
  return {quotient, remainder};
}

}  // namespace

void pack_signal(const SignalRecord& record, TrackCell& cell) {
  cell.value_d = low16(packed_pair(record.rapp, side_code(record.sx, record.dx)));
  cell.value_a = low16(packed_pair(record.s1, record.d1));
  cell.value_b = low16(packed_pair(record.s2, record.d2));
  cell.value_c = low16(packed_pair(record.s3, record.d3));
}

SignalRecord signal_record(int64_t cell_index, const TrackCell& cell) {
  SignalRecord terms;
  terms.posizione = static_cast<int32_t>(cell_metres(cell_index));
  terms.tempo = cell.signal_time;
  const Split d = split(cell.value_d, 10);
  terms.rapp = d.quotient;
  const Split side = split(d.remainder, 3);
  terms.sx = side.quotient;
  terms.dx = side.remainder;
  const Split a = split(cell.value_a, 10);
  const Split b = split(cell.value_b, 10);
  const Split c = split(cell.value_c, 10);
  terms.s1 = a.quotient;
  terms.d1 = a.remainder;
  terms.s2 = b.quotient;
  terms.d2 = b.remainder;
  terms.s3 = c.quotient;
  terms.d3 = c.remainder;
  return terms;
}

ApproachTerms approach_terms(uint8_t code) {
  if (code == 0) return ApproachTerms();
  const Split terms = split(code, 10);
  const Split side = split(terms.quotient, 3);
  return {terms.quotient, side.quotient, side.remainder, terms.remainder};
}

}  // namespace scenario
