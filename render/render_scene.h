// A compiled scenario read off as a scene to draw: what stands where along the line.
//
// build_scene reads the features off the decoded model (cells and station table): stations with
// their times, signals with what their values mean, slowdowns, warning boards, speed boards,
// line-side boards with their texts, tunnels named by their boards, mountain stretches, the
// gradient of every stretch, the height of the line and the speed limit.
//
// Positions: a feature on cell i lies at 50 * (i - 1) m (the placers' cell of a position); the
// stretch values of cell i (gradient, speed limit, mountain type) hold from 50 * i m to
// 50 * (i + 1) m (the fills' cell of a position). The gradient byte is per mille plus 100, so the
// height rises by (gradient - 100) * 50 / 1000 m over a cell; the speed limit byte is km/h / 5.
//
// Station times: an entry's time is its departure, and its stop value the stop in seconds; a
// time of 0 (00:00:00) means the entry has none. The first station with a time is where the run
// starts (it departs); the last one, when the train does not stop there, is where it ends (it
// arrives); in between, a station with a stop has an arrival (the departure less the stop) and a
// departure, and one without a stop a passing time.
#ifndef SCENARIO_RENDER_RENDER_SCENE_H_
#define SCENARIO_RENDER_RENDER_SCENE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "model/track_model.h"

namespace scenario {

enum class StationTiming { kNone, kDeparture, kStop, kPassing, kArrival };

struct SceneStation {
  int entry = 0;            // index in the station table
  std::string name;         // UTF-8
  int64_t position = 0;     // metres
  int64_t area_start = 0;
  int64_t area_end = 0;
  int station_type = 0;
  int stop_seconds = 0;
  StationTiming timing = StationTiming::kNone;
  int64_t arrival = 0;      // seconds after midnight, for kStop and kArrival
  int64_t departure = 0;    // for kStop and kDeparture; the passing time for kPassing
};

// The times a station shows: "arr 19:24:30 dep 19:25:00", "dep 19:20:00", "arr 21:23:00",
// "passes 20:05:00", or "" for a station without a time.
std::string timing_text(const SceneStation& station);
// Whether the train has a time at the station, and the first and last of its times there.
bool has_time(const SceneStation& station);
int64_t first_time(const SceneStation& station);  // arrival, or the passing or departure time
int64_t last_time(const SceneStation& station);   // departure, or the arrival or passing time

struct SceneMark {
  int64_t position = 0;  // metres
  int value = 0;         // the slowdown speed of a warning board; unused otherwise
  std::string text;      // UTF-8 words: a board's text, a speed board's values, a signal's meaning
  std::vector<std::string> columns;  // a signal's terms in plain words: left side, right side,
                                     // repetition, time, next signal
};

struct SceneSpan {
  int64_t from = 0;  // metres
  int64_t to = 0;
  int value = 0;     // slowdown speed in km/h, mountain type, or gradient per mille
};

// A tunnel, from a line-side board that names it with its kilometre mark ("(Montorsaio)(Km
// 105+800)(L.m 6.478 )"): from the mark for the board's length ("L.m", a point between thousands),
// or, without a length, to the end of the mountain stretches that start at the mark.
struct SceneTunnel {
  std::string name;  // UTF-8
  int64_t from = 0;
  int64_t to = 0;
};

// A point of a profile: the height or speed limit that holds from `position` to the next point.
struct ScenePoint {
  int64_t position = 0;
  double value = 0.0;
};

struct LineScene {
  std::string line_name;     // UTF-8
  std::string train_number;  // UTF-8
  int64_t line_length = 0;   // metres: header entry 84, or what the cells cover when it is not set
  int64_t extent = 0;        // metres the profile covers: the line, and past its end as far as a
                             // station or slowdown lies there, but no further than the cells reach
  std::vector<SceneStation> stations;
  std::vector<SceneMark> signals;
  std::vector<SceneMark> warnings;      // slowdown warning boards
  std::vector<SceneMark> speed_boards;
  std::vector<SceneMark> boards;        // line-side boards with their texts
  std::vector<SceneSpan> slowdowns;     // start marker to end marker, at the slowdown speed
  std::vector<SceneSpan> mountains;     // runs of cells with the same nonzero montagna_tipo
  std::vector<SceneSpan> gradients;     // runs of cells with the same gradient, per mille
  std::vector<SceneTunnel> tunnels;
  std::vector<ScenePoint> heights;      // height in metres at 0, 50, 100 ... m, starting at 0
  std::vector<ScenePoint> speed_limits; // km/h, one point where the limit changes
};

// Reads the features off the model (cells and station table).
LineScene build_scene(const ScenarioModel& model);

// "12 m" style lengths for words: "450 m", "6 478 m" (a blank between thousands).
std::string metres_words(int64_t metres);

}  // namespace scenario

#endif  // SCENARIO_RENDER_RENDER_SCENE_H_
