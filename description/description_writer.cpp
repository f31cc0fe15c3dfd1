#include "description/description_writer.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>

namespace scenario {
namespace {

// The blanks of the general records: four before each value.
constexpr const char* kGeneralGap = ",    ";

// A value right-aligned in `width` characters (a wider value keeps all its digits).
std::string right(int64_t value, int width) {
  std::string text = std::to_string(value);
  const size_t wide = static_cast<size_t>(width);
  if (text.size() < wide) text.insert(0, wide - text.size(), ' ');
  return text;
}

// A record of right-aligned values: the keyword, then each value after a comma in its width.
std::string aligned(const char* keyword, std::initializer_list<std::pair<int64_t, int>> values) {
  std::string line = keyword;
  for (const auto& [value, width] : values) {
    line += ',';
    line += right(value, width);
  }
  return line;
}

// Collects the lines of one description and ends each in CR LF.
class Lines {
 public:
  void add(std::string line) {
    bytes_ += line;
    bytes_ += "\r\n";
  }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

std::string progression(const char* which, const Progression& p) {
  return std::string("progressiva chilometrica ") + which + kGeneralGap + std::to_string(p.first) + kGeneralGap +
         std::to_string(p.second) + kGeneralGap + std::to_string(p.flag);
}

void write_line_general(const LineDescription& line, Lines& out) {
  out.add("[generale]");
  out.add(std::string("lunghezza percorso") + kGeneralGap + std::to_string(line.length));
  out.add(progression("uno", line.uno));
  out.add(progression("due", line.due));
  out.add(progression("tre", line.tre));
  out.add(std::string("sfondo uno") + kGeneralGap + std::to_string(line.sfondo_uno));
  out.add(std::string("sfondo due") + kGeneralGap + std::to_string(line.sfondo_due));
  out.add(std::string("sfondo tre") + kGeneralGap + std::to_string(line.sfondo_tre));
  out.add("ripetizione segnali " + std::to_string(line.repetition_codes) + " codici" + kGeneralGap +
          std::to_string(line.repetition_from) + "    ," + std::to_string(line.repetition_to));
}

// A speed indicator board's right-hand speed: empty when 0, as the embedded boards have it.
std::string right_hand(int32_t speed) { return speed == 0 ? std::string() : std::to_string(speed); }

void write_line_body(const LineDescription& line, Lines& out) {
  out.add("[curve]");
  for (const CurveRecord& c : line.curves) {
    out.add(std::string("curva") + c.side + std::to_string(c.class_digit) + ",  " + std::to_string(c.start) + ",  " +
            std::to_string(c.length));
  }
  out.add("[pendenze]");
  bool first = true;
  for (const PositionValue& g : line.gradients) {
    out.add(first ? "pendenza,   " + std::to_string(g.position) + ",    " + std::to_string(g.value)
                  : "pendenza,  " + std::to_string(g.position) + ",   " + std::to_string(g.value));
    first = false;
  }
  out.add("[montagne]");
  for (const MountainRecord& m : line.mountains) {
    out.add("montagna,   " + std::to_string(m.inizio) + ",  " + std::to_string(m.fine) + ",  " +
            std::to_string(m.tipo));
  }
  out.add("[cartelli]");
  for (const SpeedBoardRecord& b : line.speed_boards) {
    out.add("indicatori_vmax,  " + std::to_string(b.posizione) + ",  " + std::to_string(b.vas) + ",  " +
            std::to_string(b.vbs) + ",  " + std::to_string(b.vcs) + ",  " + std::to_string(b.strisces) + ",  " +
            right_hand(b.vad) + ",  " + right_hand(b.vbd) + ",  " + right_hand(b.vcd) + ",  " +
            std::to_string(b.strisced));
  }
  out.add("[indicazioni]");
  for (const BoardRecord& b : line.boards) {
    out.add("cartello_indicatore,  " + std::to_string(b.position) + ",   " + b.text);
  }
  out.add("[fine]");
}

void write_train_general(const TrainDescription& train, Lines& out) {
  out.add("[generale]");
  out.add(std::string("numero vetture") + kGeneralGap + std::to_string(train.cars));
  out.add(std::string("percentuale massa frenata") + kGeneralGap + std::to_string(train.braked_mass));
  out.add(std::string("sabbia") + kGeneralGap + std::to_string(train.sand));
  // The clock's three numbers are separated by blanks only, and the line ends in one.
  out.add(std::string("orologio") + kGeneralGap + std::to_string(train.clock_hours) + std::string(14, ' ') +
          std::to_string(train.clock_minutes) + std::string(12, ' ') + std::to_string(train.clock_seconds) + " ");
}

// Adhesion and speed limits: the first record's position in 4 characters, the others' in 8.
void write_stretch_records(const char* keyword, const std::vector<PositionValue>& records, int value_width,
                           Lines& out) {
  bool first = true;
  for (const PositionValue& r : records) {
    out.add(aligned(keyword, {{r.position, first ? 4 : 8}, {r.value, value_width}}));
    first = false;
  }
}

void write_station(const StationRecord& s, Lines& out) {
  out.add(aligned("stazione", {{s.position, 8},
                               {s.station_type, 3},
                               {s.platform_length, 5},
                               {s.option_a, 3},
                               {s.option_b, 2},
                               {s.option_c, 2},
                               {s.group1_a, 3},
                               {s.group1_b, 1},
                               {s.group1_c, 1},
                               {s.group2_a, 3},
                               {s.group2_b, 1},
                               {s.group2_c, 1},
                               {s.stop_value, 5},
                               {s.hours, 4},
                               {s.minutes, 2},
                               {s.seconds, 2}}) +
          ", " + s.name);
}

void write_signals(std::span<const SignalRecord> signals, Lines& out) {
  for (const SignalRecord& r : signals) {
    out.add(aligned("segnale", {{r.posizione, 8},
                                {r.sx, 4},
                                {r.s1, 2},
                                {r.s2, 2},
                                {r.s3, 3},
                                {r.rapp, 2},
                                {r.dx, 5},
                                {r.d1, 3},
                                {r.d2, 1},
                                {r.d3, 1},
                                {r.tempo, 2}}));
  }
}

void write_train_body(const TrainDescription& train, Lines& out) {
  out.add("[aderenze]");
  write_stretch_records("aderenza", train.adhesion, 7, out);
  out.add("[vel_limite]");
  write_stretch_records("velocita", train.speed_limits, 6, out);
  const size_t early = std::min(train.signals_before_stations, train.signals.size());
  const std::span<const SignalRecord> signals(train.signals);
  if (early > 0) {
    out.add("[segnali]");
    write_signals(signals.first(early), out);
  }
  out.add("[stazioni]");
  for (const StationRecord& s : train.stations) write_station(s, out);
  out.add("[rallentamenti]");
  for (const SlowdownRecord& r : train.slowdowns) {
    out.add(aligned("rallentamento", {{r.x, 8}, {r.v, 6}, {r.l, 5}, {r.f_tt, 2}, {r.f_ta, 3}, {r.d_v, 3}}));
  }
  out.add("[segnali]");
  write_signals(signals.subspan(early), out);
  if (!train.cut_off_points.empty()) {
    out.add("[abbattimenti]");
    for (const PositionValue& r : train.cut_off_points)
      out.add(aligned("abbattimento", {{r.position, 8}, {r.value, 6}}));
  }
  out.add("[codici]");
  out.add("[fine]");
}

}  // namespace

std::string write_line_description(const LineDescription& line) {
  Lines out;
  write_line_general(line, out);
  write_line_body(line, out);
  return out.take();
}

std::string write_train_description(const TrainDescription& train) {
  Lines out;
  write_train_general(train, out);
  write_train_body(train, out);
  return out.take();
}

}  // namespace scenario
