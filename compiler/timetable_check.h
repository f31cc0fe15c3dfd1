// The timetable against the line: the least time the train needs between two timed stations when
// it runs everywhere at the speed limit in force, slowed by every slowdown it passes, and stops
// for the dwell of the station it arrives at. A timetable that gives less than that cannot be
// kept, however the driver drives.
//
// The speed profile is made of the speed-limit records (each in force from its position up to the
// next record's, the later record winning at one position) and the slowdowns (their speed over
// [x, x + l)). Speeds are the stored ones (speed limits in steps of 5 km/h). A stretch where the
// profile is 0 km/h (before the first speed limit, or a slowdown of speed 0) has no least time:
// no finding is made across it.
#ifndef SCENARIO_COMPILER_TIMETABLE_CHECK_H_
#define SCENARIO_COMPILER_TIMETABLE_CHECK_H_

#include <cstdint>
#include <span>
#include <vector>

namespace scenario {

struct SpeedLimitPoint {
  int64_t position = 0;  // metres
  int64_t speed = 0;     // km/h, as stored
};

struct SlowdownStretch {
  int64_t start = 0;  // metres
  int64_t end = 0;    // metres, exclusive
  int64_t speed = 0;  // km/h
};

struct TimedStop {
  int64_t position = 0;        // metres
  int64_t departure = 0;       // seconds after midnight
  int64_t dwell = 0;           // seconds the train stands before it departs
};

// A pair of consecutive timed stops the timetable gives too little time for.
struct TooFastStretch {
  size_t from = 0;  // index into the stops
  size_t to = 0;
  int64_t given_seconds = 0;
  int64_t least_seconds = 0;  // running time rounded up to a whole second, plus the dwell
};

// The stretches between consecutive stops (in the order given) whose departures lie closer than
// the least running time plus the arriving stop's dwell. Stops that do not lie ahead of the one
// before them, or whose departures go backwards, are passed over (other findings name them).
std::vector<TooFastStretch> too_fast_stretches(std::span<const SpeedLimitPoint> limits,
                                               std::span<const SlowdownStretch> slowdowns,
                                               std::span<const TimedStop> stops);

}  // namespace scenario

#endif  // SCENARIO_COMPILER_TIMETABLE_CHECK_H_
