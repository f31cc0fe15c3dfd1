#include "tests/scenario_generator.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <random>
#include <string_view>
#include <vector>

#include "model/rounding.h"
#include "tests/compiled_scenario.h"

namespace scenario::testing {
namespace {

constexpr int kAttempts = 50;
constexpr int64_t kJitter = 24;  // a position may lie this far from its cell's reference point

constexpr std::array<std::string_view, 9> kBoardTexts = {"(F)",
                                                         "(P.L.    )(Km 1+452)",
                                                         "(P.L.A.   )(Km 43+901)",
                                                         "(I--I--I)(I__I__I)",
                                                         "(Confluenza)(Sx Sorl\xEC  )(Dx Rovesca)",
                                                         "",
                                                         "(Ponte   )(in Ferro)",
                                                         "x",
                                                         "(Diramazione)(Pescolla   )(Valmora    )"};
constexpr std::array<std::string_view, 7> kStationNames = {
    "MORVELLA C.LE", "SAN VITORE", "Ronco Alto", "FORNACI DI LEVA", "Sorvalda-Bassa", "CITT\xC0 N.", "Q"};

std::string number(int64_t value) { return std::to_string(value); }

// A record line: the keyword, then each value after a comma and a blank. The values of a braced
// list are evaluated in order, so the draws that make them come in the same order with every
// compiler.
std::string record(std::string_view keyword, std::initializer_list<std::string> values) {
  std::string line(keyword);
  for (const std::string& value : values) {
    line += ", ";
    line += value;
  }
  line += "\r\n";
  return line;
}

class Generator {
 public:
  Generator(uint64_t seed, int32_t longest_line) : rng_(seed), longest_line_(std::max(longest_line, 3000)) {}

  GeneratedScenario run() {
    GeneratedScenario scenario;
    scenario.with_plan = chance(50);
    const int64_t kind_of_line = uniform(1, 100);
    length_ = static_cast<int32_t>(kind_of_line <= 85   ? uniform(3000, 25000)
                                   : kind_of_line <= 95 ? uniform(25000, 60000)
                                                        : uniform(60000, 130000));
    length_ = std::min(length_, longest_line_);
    highest_ = cell_count_for_length(length_);
    taken_.assign(static_cast<size_t>(highest_) + 1, false);
    for (int64_t c = 0; c <= 2; ++c) take(c);

    // Stations first, so that their stop markers (which take any cell) meet no other feature;
    // then each part in turn (the order of the draws fixes the scenario of a seed).
    const std::string stations = station_records();
    std::string& line = scenario.line;
    line = line_general();
    line += curve_records();
    line += gradient_records();
    line += mountain_records();
    line += speed_board_records();
    line += board_records();
    line += "[fine]\r\n";
    std::string& train = scenario.train;
    train = train_general();
    train += stretch_records("[aderenze]", "aderenza", false);
    train += stretch_records("[vel_limite]", "velocita", true);
    train += stations;
    train += slowdown_records();
    train += signal_records();
    train += cut_off_records();
    train += "[codici]\r\n[fine]\r\n";
    return scenario;
  }

 private:
  int64_t uniform(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng_); }
  bool chance(int percent) { return uniform(1, 100) <= percent; }
  template <size_t N>
  std::string_view pick(const std::array<std::string_view, N>& from) {
    return from[static_cast<size_t>(uniform(0, static_cast<int64_t>(N) - 1))];
  }
  int64_t jitter() { return chance(50) ? 0 : uniform(-kJitter, kJitter); }

  bool free(int64_t c) const { return c >= 0 && c <= highest_ && !taken_[static_cast<size_t>(c)]; }
  void take(int64_t c) { taken_[static_cast<size_t>(c)] = true; }
  // A free cell in [lo, hi], or -1 when a few draws find none.
  int64_t free_cell(int64_t lo, int64_t hi) {
    if (lo > hi) return -1;
    for (int i = 0; i < 20; ++i) {
      const int64_t c = uniform(lo, hi);
      if (free(c)) return c;
    }
    return -1;
  }
  // The highest cell a record's position may map to: (p + 100) / 50 must not pass the last cell.
  int64_t last_marker_cell() const { return highest_ - 3; }
  // A position that lands on cell c: near(p / 50 + 1) for markers, near(p / 50) for fills.
  int64_t marker_position(int64_t c) { return 50 * (c - 1) + jitter(); }
  int64_t fill_position(int64_t c) { return 50 * c + jitter(); }

  std::string line_general() {
    std::string text = "[generale]\r\nlunghezza percorso, " + number(length_) + "\r\n";
    const char* names[3] = {"uno", "due", "tre"};
    const bool zero = chance(50);
    for (const char* name : names) {
      const int64_t first = zero ? 0 : 50 * uniform(0, 4000);
      const int64_t second = zero ? 0 : 50 * uniform(0, 4000);
      const int64_t flag = zero ? 0 : uniform(0, 2);
      text += record(std::string("progressiva chilometrica ") + name, {number(first), number(second), number(flag)});
    }
    text += record("sfondo uno", {number(uniform(0, 9))});
    text += record("sfondo due", {number(uniform(0, 200000))});
    text += record("sfondo tre", {number(uniform(-5, 200000))});
    const bool repeated = chance(50);
    const int64_t to = repeated && chance(80) ? 50 * uniform(1, 3000) : 0;
    const char* codes = chance(50) ? "4" : "9";
    text += record(std::string("ripetizione segnali ") + codes + " codici",
                   {number(repeated ? 50 * uniform(0, 3000) : 0), number(to)});
    return text;
  }

  std::string curve_records() {
    std::string text = "[curve]\r\n";
    int64_t start = uniform(1, 1500);
    while (true) {
      const int64_t length = chance(50) ? 50 * uniform(1, 24) : uniform(1, 1200);
      if (start + length > length_ - 100) break;
      const char* side = chance(50) ? "s" : "d";
      text += record(std::string("curva") + side + number(uniform(1, 6)), {number(start), number(length)});
      start += length + (chance(20) ? 0 : uniform(1, 3000));
    }
    return text;
  }

  std::string gradient_records() {
    std::string text = "[pendenze]\r\n";
    int64_t position = chance(80) ? 0 : uniform(1, 3000);
    while (position <= 50 * (highest_ - 3)) {
      const int64_t value = chance(95) ? uniform(-30, 30) : (chance(50) ? -100 : 155);
      text += record("pendenza", {number(position), number(value)});
      position += uniform(1, 3000);
    }
    return text;
  }

  std::string mountain_records() {
    std::string text = "[montagne]\r\n";
    int64_t last = uniform(3, 40);
    while (true) {
      const int64_t first = last + (chance(25) ? uniform(2, 5) : uniform(2, 200));
      const int64_t end = first + uniform(0, 60);
      if (end > highest_ - 3) break;
      const int64_t tipo = uniform(1, 4) + (chance(60) ? 10 : 0);
      text += record("montagna", {number(50 * first + jitter()), number(50 * (end + 1) + jitter()), number(tipo)});
      last = end;
    }
    return text;
  }

  std::string speed_board_records() {
    std::vector<int64_t> cells;
    for (int64_t i = uniform(0, 8); i > 0; --i) {
      const int64_t c = free_cell(3, last_marker_cell());
      if (c < 0) continue;
      take(c);
      cells.push_back(c);
    }
    std::sort(cells.begin(), cells.end());
    std::string text = "[cartelli]\r\n";
    auto speed = [this] { return 5 * uniform(6, 32); };
    auto right_hand = [this]() -> std::string {
      if (chance(60)) return "";
      return number(chance(70) ? 5 * uniform(0, 19) : uniform(0, 150));
    };
    for (int64_t c : cells) {
      text += record("indicatori_vmax",
                     {number(marker_position(c)), number(speed()), number(speed()), number(speed()),
                      number(uniform(0, 3)), right_hand(), right_hand(), right_hand(), number(uniform(0, 3))});
    }
    return text;
  }

  std::string board_records() {
    std::vector<int64_t> cells;
    for (int64_t i = uniform(0, 25); i > 0; --i) {
      const int64_t c = free_cell(3, last_marker_cell());
      if (c < 0) continue;
      take(c);
      cells.push_back(c);
    }
    std::sort(cells.begin(), cells.end());
    std::string text = "[indicazioni]\r\n";
    for (int64_t c : cells) {
      text += record("cartello_indicatore", {number(marker_position(c)), std::string(pick(kBoardTexts))});
    }
    return text;
  }

  std::string train_general() {
    std::string text = "[generale]\r\n";
    text += record("numero vetture", {number(uniform(1, 12))});
    text += record("percentuale massa frenata", {number(uniform(30, 150))});
    text += record("sabbia", {number(uniform(0, 200))});
    // The clock's numbers are separated by blanks alone.
    const std::vector<std::string> clock = {number(uniform(0, 23)), number(uniform(0, 59)), number(uniform(0, 59))};
    text += record("orologio", {clock[0] + " " + clock[1] + " " + clock[2]});
    return text;
  }

  // Adhesion or speed limits: a record at 0 as a rule, then a few at arbitrary later metres.
  std::string stretch_records(const char* header, const char* keyword, bool speeds) {
    std::string text = std::string(header) + "\r\n";
    int64_t position = chance(85) ? 0 : uniform(1, 2000);
    for (int64_t i = uniform(1, speeds ? 12 : 4); i > 0 && position <= 50 * (highest_ - 3); --i) {
      const int64_t value = speeds ? (chance(90) ? 5 * uniform(6, 40) : uniform(1, 250)) : uniform(0, 255);
      text += record(keyword, {number(position), number(value)});
      position += uniform(1, 50 * highest_ / 4);
    }
    return text;
  }

  std::string station_records() {
    std::string text = "[stazioni]\r\n";
    int64_t previous_end = -1000000;
    int64_t cursor = 0;
    const int count = static_cast<int>(uniform(0, 12));
    for (int k = 1; k <= count; ++k) {
      static constexpr int kTypes[] = {11, 12, 21, 22, 25, 27, 5, 6, 8};
      const int type = k == 1 && chance(70) ? 7 : kTypes[uniform(0, 8)];
      const int64_t platform = 100 * uniform(1, 10);
      const int option_c = static_cast<int>(uniform(0, 1));
      int64_t before;  // position - area start
      int64_t after;   // area end - position
      if (type == 5 || type == 6) {
        before = platform, after = 150;
      } else if (type == 7 || type == 8) {
        before = platform, after = platform;
      } else {
        before = platform / 2, after = platform / 2 + (option_c != 0 ? 50 : 0);
      }
      int64_t position = std::max(cursor, previous_end + 350 + before);
      position = (position + 49) / 50 * 50 + 50 * uniform(0, 100);
      const int64_t end = position + after;
      const int64_t stop = end / 50 - 1;
      const bool stops = type < 25;
      if (position + 800 > 50 * highest_ || (stops && (stop <= 1 || !free(stop)))) break;
      if (stops) take(stop);
      previous_end = end;
      cursor = position;
      const bool timed = chance(70);
      text += record("stazione", {number(position), number(type), number(platform), number(uniform(0, 1)),
                                  number(uniform(0, 1)), number(option_c), number(uniform(0, 5)), number(uniform(0, 1)),
                                  number(uniform(0, 1)), number(uniform(0, 5)), number(uniform(0, 4)),
                                  number(uniform(0, 1)), number(timed ? 30 * uniform(0, 2) : 0),
                                  number(timed ? uniform(0, 23) : 0), number(timed ? uniform(0, 59) : 0),
                                  number(timed ? uniform(0, 59) : 0), std::string(pick(kStationNames))});
    }
    return text;
  }

  // One slowdown starting at metre x, when all its cells are free; nothing otherwise.
  std::string slowdown_at(int64_t x) {
    const int64_t v = 10 * uniform(2, 15);
    const int64_t l = v >= 110 && chance(30) ? uniform(0, 40) : (chance(50) ? 50 * uniform(1, 40) : uniform(50, 2000));
    const int64_t f_ta = uniform(0, 1);
    const int64_t d_v = chance(60) ? 0 : uniform(1, 5);
    const int64_t start = cell_of_position(x);
    const int64_t end = cell_of_position(x + l);
    std::vector<int64_t> cells = {start};
    if (end != start) cells.push_back(end);
    if (x > 1500) {
      cells.push_back(cell_of_position(x - 1200));
      if (f_ta != 0) {
        for (int64_t j = 0; j < 4; ++j) cells.push_back(fill_cell_of_position(x - 1200) - j);
      }
    }
    for (int64_t c : cells) {
      if (!free(c)) return "";
    }
    for (int64_t c : cells) take(c);
    slowdown_end_ = end;
    return record("rallentamento", {number(x), number(v), number(l), number(uniform(0, 2)), number(f_ta), number(d_v)});
  }

  std::string slowdown_records() {
    std::string text = "[rallentamenti]\r\n";
    slowdown_end_ = 2;
    for (int64_t i = uniform(0, 4); i > 0; --i) {
      // Near the 1500 m edge of the warning board now and then, else anywhere after the last one.
      static constexpr int64_t kEdges[] = {1475, 1500, 1510, 1520, 1525, 1550};
      const int64_t from = 50 * (slowdown_end_ + 30);
      const int64_t x = from <= 1475 && chance(40) ? kEdges[uniform(0, 5)] : from + uniform(0, 20000);
      if (cell_of_position(x + 2000) > highest_ - 20) break;
      text += slowdown_at(x);
    }
    return text;
  }

  std::string signal_records() {
    std::string text = "[segnali]\r\n";
    std::vector<int64_t> cells;
    for (int64_t i = uniform(0, length_ / 1500 + 2); i > 0; --i) {
      const int64_t c = free_cell(8, last_marker_cell());
      if (c < 0) continue;
      take(c);
      cells.push_back(c);
    }
    std::sort(cells.begin(), cells.end());
    for (int64_t c : cells) {
      static constexpr int64_t kTimes[] = {0, 0, 0, 50, 101, 150, 300};
      const int64_t sx = chance(90) ? uniform(1, 2) : (chance(50) ? 0 : 3);
      text += record("segnale", {number(marker_position(c)), number(sx), number(uniform(0, 9)), number(uniform(0, 9)),
                                 number(uniform(0, 9)), number(chance(80) ? 0 : uniform(1, 3)), number(uniform(0, 2)),
                                 number(uniform(0, 9)), number(uniform(0, 9)), number(uniform(0, 9)),
                                 number(kTimes[uniform(0, 6)])});
    }
    return text;
  }

  std::string cut_off_records() {
    std::string text = "[abbattimenti]\r\n";
    for (int64_t i = uniform(0, 3); i > 0; --i) {
      const int64_t c = free_cell(3, last_marker_cell());
      if (c < 0) continue;
      take(c);
      static constexpr int64_t kValues[] = {-5, 0, 60, 120, 180, 250};
      text += record("abbattimento", {number(fill_position(c)), number(kValues[uniform(0, 5)])});
    }
    return text;
  }

  std::mt19937_64 rng_;
  const int32_t longest_line_;
  int32_t length_ = 0;
  int64_t highest_ = 0;
  std::vector<bool> taken_;
  int64_t slowdown_end_ = 0;
};

}  // namespace

GeneratedScenario generate_scenario(uint64_t seed, int32_t longest_line) {
  GeneratedScenario scenario;
  for (uint64_t attempt = 0; attempt < kAttempts; ++attempt) {
    scenario = Generator(seed * kAttempts + attempt, longest_line).run();
    const CompiledFiles compiled = compile_in_memory(scenario.line, scenario.train, false);
    if (compiled.error_code == 0 && compiled.fatal == 0) break;
  }
  scenario.seed = seed;
  return scenario;
}

}  // namespace scenario::testing
