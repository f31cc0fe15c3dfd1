// The least running time between timed stops, against the speed limits and slowdowns.
#include "compiler/timetable_check.h"

#include <gtest/gtest.h>

#include <vector>

namespace scenario {
namespace {

struct TimetableCase {
  const char* what;
  std::vector<SpeedLimitPoint> limits;
  std::vector<SlowdownStretch> slowdowns;
  std::vector<TimedStop> stops;
  std::vector<TooFastStretch> expected;
};

TEST(TimetableCheckTest, LeastTimesAgainstTheTimetable) {
  const TimetableCase cases[] = {
      {"exactly the least time is kept", {{0, 100}}, {}, {{0, 0, 0}, {2000, 72, 0}}, {}},
      {"a second less is too fast", {{0, 100}}, {}, {{0, 0, 0}, {2000, 71, 0}}, {{0, 1, 71, 72}}},
      {"the arriving stop's dwell counts", {{0, 100}}, {}, {{0, 0, 30}, {2000, 100, 30}}, {{0, 1, 100, 102}}},
      {"a part of a second rounds up", {{0, 100}}, {}, {{0, 0, 0}, {2010, 72, 0}}, {{0, 1, 72, 73}}},
      {"each limit over its own stretch", {{0, 100}, {1000, 50}}, {}, {{0, 0, 0}, {2000, 107, 0}}, {{0, 1, 107, 108}}},
      {"the later of two limits at one position wins", {{0, 50}, {0, 100}}, {}, {{0, 0, 0}, {2000, 72, 0}}, {}},
      {"limits in any order", {{1000, 50}, {0, 100}}, {}, {{0, 0, 0}, {2000, 107, 0}}, {{0, 1, 107, 108}}},
      {"a slowdown below the limit", {{0, 100}}, {{500, 1500, 50}}, {{0, 0, 0}, {2000, 107, 0}}, {{0, 1, 107, 108}}},
      {"a slowdown above the limit changes nothing", {{0, 100}}, {{500, 1500, 150}}, {{0, 0, 0}, {2000, 72, 0}}, {}},
      {"overlapping slowdowns: the slower holds", {{0, 100}}, {{0, 1000, 50}, {500, 1500, 25}},
       {{0, 0, 0}, {2000, 0, 0}}, {{0, 1, 0, 36 + 144 + 18}}},
      {"stops only between the stops asked", {{0, 100}}, {}, {{0, 0, 0}, {1000, 36, 0}, {3000, 60, 0}},
       {{1, 2, 24, 72}}},
      {"no limit before the stop: no least time", {{1000, 100}}, {}, {{0, 0, 0}, {2000, 1, 0}}, {}},
      {"a stop at 0 km/h on the way: no least time", {{0, 100}}, {{500, 600, 0}}, {{0, 0, 0}, {2000, 1, 0}}, {}},
      {"a stop behind the one before: passed over", {{0, 100}}, {}, {{2000, 0, 0}, {1000, 1, 0}}, {}},
      {"a departure going back: passed over", {{0, 100}}, {}, {{0, 100, 0}, {2000, 50, 0}}, {}},
      {"no limits at all", {}, {}, {{0, 0, 0}, {2000, 1, 0}}, {}},
      {"an empty slowdown is none", {{0, 100}}, {{500, 500, 1}}, {{0, 0, 0}, {2000, 72, 0}}, {}},
  };
  for (const TimetableCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<TooFastStretch> found = too_fast_stretches(c.limits, c.slowdowns, c.stops);
    ASSERT_EQ(found.size(), c.expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].from, c.expected[i].from);
      EXPECT_EQ(found[i].to, c.expected[i].to);
      EXPECT_EQ(found[i].given_seconds, c.expected[i].given_seconds);
      EXPECT_EQ(found[i].least_seconds, c.expected[i].least_seconds);
    }
  }
}

}  // namespace
}  // namespace scenario
