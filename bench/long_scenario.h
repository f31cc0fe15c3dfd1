// A generated scenario of any length, for the benchmarks and whole-run timings.
//
// The line: a curve every 1000 m (400 m long, from metre 800 on, the sides alternating and the
// classes 1 to 6 in turn), a gradient every 2000 m (-10 to +10 per mille in turn), 40 line-side
// boards spread evenly. The train: two cars, one adhesion, a speed limit every 50 km, a station at
// each end and a signal every 5 km. Both compile without error for any length from 10 km to
// 1,000 km, and the same length always gives the same bytes.
#ifndef SCENARIO_BENCH_LONG_SCENARIO_H_
#define SCENARIO_BENCH_LONG_SCENARIO_H_

#include <cstdint>
#include <string>

namespace scenario::bench {

inline constexpr int32_t kLongLineLength = 1000000;

// The line description of a line of `length` metres.
std::string long_line_description(int32_t length);
// The train description of a small train running the whole line.
std::string small_train_description(int32_t length);

}  // namespace scenario::bench

#endif  // SCENARIO_BENCH_LONG_SCENARIO_H_
