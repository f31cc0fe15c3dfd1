#include "compiler/timetable_check.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

namespace scenario {
namespace {

// km/h to metres per second.
constexpr double kSecondsPerHour = 3600.0;
constexpr double kMetresPerKilometre = 1000.0;

// The speed profile as stretches of one speed, from the first breakpoint on; before it the speed
// is 0. `time_before[i]` and `stopped_before[i]` are the running seconds and the metres at 0 km/h
// from the first breakpoint up to breakpoint i.
class SpeedProfile {
 public:
  SpeedProfile(std::span<const SpeedLimitPoint> limits, std::span<const SlowdownStretch> slowdowns) {
    std::vector<SpeedLimitPoint> ordered(limits.begin(), limits.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const SpeedLimitPoint& a, const SpeedLimitPoint& b) { return a.position < b.position; });
    struct Event {
      int64_t position;
      bool opens;
      int64_t speed;
    };
    std::vector<Event> events;
    for (const SlowdownStretch& stretch : slowdowns) {
      if (stretch.end <= stretch.start) continue;
      events.push_back({stretch.start, true, stretch.speed});
      events.push_back({stretch.end, false, stretch.speed});
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.position < b.position; });

    for (const SpeedLimitPoint& point : ordered) breakpoints_.push_back(point.position);
    for (const Event& event : events) breakpoints_.push_back(event.position);
    std::sort(breakpoints_.begin(), breakpoints_.end());
    breakpoints_.erase(std::unique(breakpoints_.begin(), breakpoints_.end()), breakpoints_.end());

    std::multiset<int64_t> open_slowdowns;
    size_t next_limit = 0;
    size_t next_event = 0;
    int64_t limit = 0;
    for (const int64_t at : breakpoints_) {
      while (next_limit < ordered.size() && ordered[next_limit].position <= at) limit = ordered[next_limit++].speed;
      for (; next_event < events.size() && events[next_event].position <= at; ++next_event) {
        const Event& event = events[next_event];
        if (event.opens) {
          open_slowdowns.insert(event.speed);
        } else {
          open_slowdowns.erase(open_slowdowns.find(event.speed));
        }
      }
      speeds_.push_back(open_slowdowns.empty() ? limit : std::min(limit, *open_slowdowns.begin()));
    }

    time_before_.assign(breakpoints_.size(), 0.0);
    stopped_before_.assign(breakpoints_.size(), 0);
    for (size_t i = 1; i < breakpoints_.size(); ++i) {
      const int64_t metres = breakpoints_[i] - breakpoints_[i - 1];
      time_before_[i] = time_before_[i - 1] + seconds_for(metres, speeds_[i - 1]);
      stopped_before_[i] = stopped_before_[i - 1] + (speeds_[i - 1] > 0 ? 0 : metres);
    }
  }

  // The least running seconds from `from` to `to` (from < to), or a negative value when the
  // profile is 0 km/h anywhere between them.
  double least_seconds(int64_t from, int64_t to) const {
    const auto [time_to, stopped_to] = running_up_to(to);
    const auto [time_from, stopped_from] = running_up_to(from);
    if (stopped_to != stopped_from) return -1.0;
    return time_to - time_from;
  }

 private:
  static double seconds_for(int64_t metres, int64_t speed) {
    return speed > 0 ? static_cast<double>(metres) * kSecondsPerHour / (static_cast<double>(speed) * kMetresPerKilometre)
                     : 0.0;
  }

  // Seconds and stopped metres from the first breakpoint up to `at`; before it, all metres are
  // stopped (counted negative, so that two points before it differ).
  std::pair<double, int64_t> running_up_to(int64_t at) const {
    if (breakpoints_.empty() || at < breakpoints_.front()) {
      return {0.0, at - (breakpoints_.empty() ? 0 : breakpoints_.front())};
    }
    const size_t i = static_cast<size_t>(
        std::distance(breakpoints_.begin(), std::upper_bound(breakpoints_.begin(), breakpoints_.end(), at)) - 1);
    const int64_t metres = at - breakpoints_[i];
    return {time_before_[i] + seconds_for(metres, speeds_[i]), stopped_before_[i] + (speeds_[i] > 0 ? 0 : metres)};
  }

  std::vector<int64_t> breakpoints_;
  std::vector<int64_t> speeds_;  // from breakpoint i to the next
  std::vector<double> time_before_;
  std::vector<int64_t> stopped_before_;
};

}  // namespace

std::vector<TooFastStretch> too_fast_stretches(std::span<const SpeedLimitPoint> limits,
                                               std::span<const SlowdownStretch> slowdowns,
                                               std::span<const TimedStop> stops) {
  std::vector<TooFastStretch> found;
  if (stops.size() < 2) return found;
  const SpeedProfile profile(limits, slowdowns);
  for (size_t to = 1; to < stops.size(); ++to) {
    const TimedStop& a = stops[to - 1];
    const TimedStop& b = stops[to];
    const int64_t given = b.departure - a.departure;
    if (b.position <= a.position || given < 0) continue;
    const double running = profile.least_seconds(a.position, b.position);
    if (running < 0) continue;
    // A hair below a whole second is that second: the sum of the stretches' times is not exact.
    const int64_t least = static_cast<int64_t>(std::ceil(running - 1e-6)) + b.dwell;
    if (given < least) found.push_back({to - 1, to, given, least});
  }
  return found;
}

}  // namespace scenario
