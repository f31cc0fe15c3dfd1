#include "decompile/decompile_signal_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "model/cell_values.h"
#include "model/rounding.h"

namespace scenario {
namespace {

constexpr int64_t kApproachCells = 4;    // a signal's approach codes: 2, 4, 6 and 8 cells before it
constexpr int64_t kApproachSpacing = 2;
constexpr int64_t kStationBoards = 4;    // a station's boards: the four cells before its stop marker
constexpr int64_t kStationBoardCode = 80;  // they carry 81 to 84
constexpr int32_t kFirstStationWithoutStop = 25;
constexpr int64_t kLowestBoardCell = 2;  // boards stand only on cells above 1

// One approach code a record writes: writers 0 to S - 1 are the signals, S and up the stations.
struct Write {
  int64_t cell;
  size_t writer;
  uint8_t code;
};

std::vector<Write> approach_writes(const ScenarioModel& files, const TrainDescription& train) {
  std::vector<Write> writes;
  const int64_t count = static_cast<int64_t>(files.cells.size());
  auto add = [&](int64_t cell, size_t writer, uint8_t code) {
    if (cell >= 0 && cell < count) writes.push_back({cell, writer, code});
  };
  for (size_t s = 0; s < train.signals.size(); ++s) {
    const SignalRecord& signal = train.signals[s];
    const int64_t c = cell_of_position(signal.posizione);
    const int64_t side = side_code(signal.sx, signal.dx);
    for (int64_t k = 1; k <= kApproachCells; ++k) add(c - kApproachSpacing * k, s, approach_code(side, k));
  }
  for (size_t t = 0; t < train.stations.size(); ++t) {
    const StationEntry& entry = files.station_table[std::min(t + 1, files.station_table.size() - 1)];
    const int32_t type = train.stations[t].station_type;
    if (type >= kFirstStationWithoutStop || type == 5 || type == 6) continue;
    const int64_t stop = near(int64_t{entry.area_end} - CELL_LENGTH, CELL_LENGTH);
    for (int64_t j = 1; j <= kStationBoards; ++j) {
      if (stop - j >= kLowestBoardCell) add(stop - j, train.signals.size() + t, static_cast<uint8_t>(kStationBoardCode + j));
    }
  }
  std::stable_sort(writes.begin(), writes.end(), [](const Write& a, const Write& b) { return a.cell < b.cell; });
  return writes;
}

class SignalOrder {
 public:
  SignalOrder(const ScenarioModel& files, TrainDescription& train, Findings& findings)
      : files_(files), train_(train), findings_(findings), signals_(train.signals.size()),
        after_(signals_), before_station_(signals_, false), after_station_(signals_, false) {}

  void run() {
    constraints();
    const std::vector<bool> early = choose_groups();
    std::vector<size_t> order;
    for (const bool group : {true, false}) {
      const std::vector<size_t> part = sorted(early, group);
      order.insert(order.end(), part.begin(), part.end());
    }
    std::vector<SignalRecord> signals;
    signals.reserve(signals_);
    for (const size_t s : order) signals.push_back(train_.signals[s]);
    train_.signals = std::move(signals);
    train_.signals_before_stations = static_cast<size_t>(std::count(early.begin(), early.end(), true));
  }

 private:
  bool is_signal(size_t writer) const { return writer < signals_; }

  // Where writers share a cell, those whose code the file does not hold came before those whose
  // code it holds.
  void constraints() {
    const std::vector<Write> writes = approach_writes(files_, train_);
    for (size_t first = 0; first < writes.size();) {
      size_t end = first;
      while (end < writes.size() && writes[end].cell == writes[first].cell) ++end;
      const int64_t cell = writes[first].cell;
      const uint8_t held = files_.cells[static_cast<size_t>(cell)].approach_code;
      if (std::none_of(writes.begin() + static_cast<std::ptrdiff_t>(first), writes.begin() + static_cast<std::ptrdiff_t>(end),
                       [&](const Write& write) { return write.code == held; })) {
        findings_.add(cell_place(cell),
                      "an approach code that names no side code of the signals, nor a board of the stations, "
                      "reaching this cell");
      }
      for (size_t loser = first; loser < end; ++loser) {
        if (writes[loser].code == held) continue;
        for (size_t winner = first; winner < end; ++winner) {
          if (writes[winner].code == held) constrain(writes[loser].writer, writes[winner].writer, cell);
        }
      }
      first = end;
    }
  }

  void constrain(size_t before, size_t after, int64_t cell) {
    if (is_signal(before) && is_signal(after)) {
      after_[before].push_back(after);
    } else if (is_signal(before)) {
      before_station_[before] = true;
    } else if (is_signal(after)) {
      after_station_[after] = true;
    } else if (before > after) {
      findings_.add(cell_place(cell), "a station's approach board over that of a station after it");
    }
  }

  // Signals written before the stations: those a station's board overwrote, and every signal
  // that must come before one of them.
  std::vector<bool> choose_groups() {
    std::vector<bool> early(before_station_);
    std::vector<std::vector<size_t>> before(signals_);
    for (size_t s = 0; s < signals_; ++s) {
      for (const size_t t : after_[s]) before[t].push_back(s);
    }
    std::vector<size_t> pending;
    for (size_t s = 0; s < signals_; ++s) {
      if (early[s]) pending.push_back(s);
    }
    while (!pending.empty()) {
      const size_t s = pending.back();
      pending.pop_back();
      for (const size_t b : before[s]) {
        if (!early[b]) {
          early[b] = true;
          pending.push_back(b);
        }
      }
    }
    for (size_t s = 0; s < signals_; ++s) {
      if (early[s] && after_station_[s]) {
        findings_.add(cell_place(cell_of_position(train_.signals[s].posizione)),
                      "a signal whose approach cells a station's boards overwrote, and that overwrote a station's");
      }
    }
    return early;
  }

  // The signals of one group, each after those it must follow, else in their present order.
  std::vector<size_t> sorted(const std::vector<bool>& early, bool group) {
    std::vector<size_t> waiting(signals_, 0);
    for (size_t s = 0; s < signals_; ++s) {
      if (early[s] != group) continue;
      for (const size_t t : after_[s]) {
        if (early[t] == group) ++waiting[t];
      }
    }
    std::priority_queue<size_t, std::vector<size_t>, std::greater<>> ready;
    for (size_t s = 0; s < signals_; ++s) {
      if (early[s] == group && waiting[s] == 0) ready.push(s);
    }
    std::vector<size_t> order;
    std::vector<bool> placed(signals_, false);
    while (!ready.empty()) {
      const size_t s = ready.top();
      ready.pop();
      order.push_back(s);
      placed[s] = true;
      for (const size_t t : after_[s]) {
        if (early[t] == group && --waiting[t] == 0) ready.push(t);
      }
    }
    // Signals that each overwrote another: no order gives both codes.
    for (size_t s = 0; s < signals_; ++s) {
      if (early[s] != group || placed[s]) continue;
      findings_.add(cell_place(cell_of_position(train_.signals[s].posizione)),
                    "a signal whose approach cells and another's each hold the other's codes");
      order.push_back(s);
    }
    return order;
  }

  const ScenarioModel& files_;
  TrainDescription& train_;
  Findings& findings_;
  size_t signals_;
  std::vector<std::vector<size_t>> after_;  // signals each signal must come before
  std::vector<bool> before_station_;         // a station's board overwrote it
  std::vector<bool> after_station_;          // it overwrote a station's board
};

}  // namespace

void order_signals(const ScenarioModel& files, TrainDescription& train, Findings& findings) {
  SignalOrder(files, train, findings).run();
}

}  // namespace scenario
