#include "compiler/line_parser.h"

#include <string>
#include <string_view>

#include "compiler/cell_values.h"
#include "compiler/header_view.h"
#include "compiler/line_features.h"
#include "compiler/rounding.h"

namespace scenario {
namespace {

// In the general section up to this many dash fields in a row are passed over; in the body, two.
constexpr int kGeneralDashSkips = 10;
constexpr int64_t kRangeReach = 100;      // a record at p is refused when (p + 100) / 50 > N
constexpr int32_t kPlanLimit = 1000000;   // the plan never runs past this metre
constexpr int32_t kRepetitionStep = 50;
constexpr int kLowestBoardSlot = 2;       // entry 1 stays for the first station
// Added to the report of a board refused because its cell would lie before cell 0.
constexpr const char* kBeforeTheCells = "its cell would lie before the first cell";

// Heading change per metre of the curve classes "1" to "6".
constexpr struct {
  const char* digit;
  double curvature;
} kCurveClasses[] = {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004}, {"4", 0.001}, {"5", 0.002}, {"6", 0.003}};

class LineParser {
 public:
  LineParser(CompileState& state, FieldReader& reader) : state_(state), reader_(reader) {}

  LinePhaseEnd run();

 private:
  enum class Step { kGoOn, kEndOfFile, kStop };

  const std::string& read_field() {
    state_.current_field = reader_.read_text();
    return state_.current_field;
  }

  // Sets an error that belongs to the record whose keyword stood at `keyword`.
  void fail(int32_t code, const FieldPosition& keyword) {
    state_.set_error(code);
    state_.error_place = reader_.place_of(keyword);
  }
  void fail_at(int32_t code, int32_t position, const FieldPosition& keyword) {
    state_.set_error(code, position);
    state_.error_place = reader_.place_of(keyword);
  }

  bool beyond(int32_t position) const { return beyond_model(position, kRangeReach, state_.cell_count); }

  Step general_record(const std::string& field, const FieldPosition& keyword);
  Step body_record(const std::string& field, const FieldPosition& keyword);
  void fill_gradients_until(int64_t cell);
  // Computes the next metre of the plan from the two before it, turned by `curvature`.
  void plan_step(double curvature);
  Step plan_run_to(int64_t last_metre, double curvature, const FieldPosition& keyword);
  void finish();

  CompileState& state_;
  FieldReader& reader_;
  int64_t gradient_cursor_ = 0;
  int32_t previous_gradient_ = 0;
};

LinePhaseEnd LineParser::run() {
  // The general section starts at the first field holding "[generale]"; that field must not be
  // the file's last.
  FieldPosition generale;
  for (;;) {
    const std::string& field = read_field();
    if (reader_.at_end()) {
      state_.set_error(102);
      return LinePhaseEnd::kStop;
    }
    if (contains_nocase(field, "[generale]")) {
      generale = reader_.last_field();
      break;
    }
  }

  // General section, up to the first bracketed field that does not begin with a dash.
  for (;;) {
    if (reader_.at_end()) break;
    std::string field = read_field();
    if (reader_.at_end()) break;
    for (int i = 0; i < kGeneralDashSkips; ++i) {
      if (contains(field, "-")) field = read_field();
    }
    const FieldPosition keyword = reader_.last_field();
    if (general_record(field, keyword) == Step::kStop) return LinePhaseEnd::kStop;
    if (!field.starts_with('-') && contains(field, "[") && contains(field, "]")) break;
  }

  if (!progressive_ordina(state_)) throw ReadFailure{"a kilometric progression's second value + 100 is too large"};
  if (!state_.has_cells()) {
    state_.set_error(104);
    state_.error_place = reader_.place_of(generale);
    return LinePhaseEnd::kStop;
  }

  state_.montagna_count = 0;
  state_.board_slot = kFirstBoardSlot;
  gradient_cursor_ = 0;
  previous_gradient_ = 0;
  if (state_.write_line_plan != 0) state_.plan.start();

  // Body: records by keyword, up to the file's last field.
  std::string field;
  while (read_keyword_field(reader_, field)) {
    state_.current_field = field;
    const Step step = body_record(field, reader_.last_field());
    if (step == Step::kStop) return LinePhaseEnd::kStop;
    if (step == Step::kEndOfFile) break;
  }
  finish();
  return LinePhaseEnd::kGoOn;
}

LineParser::Step LineParser::general_record(const std::string& field, const FieldPosition& keyword) {
  const HeaderView header(state_.station_table);

  if (contains_nocase(field, "percorso") && contains_nocase(field, "lunghezza")) {
    const int32_t length = reader_.read_long();
    header.line_length() = length;
    if (length < 0 || length > kMaxLineLength) {
      fail(1, keyword);
      return Step::kStop;
    }
    state_.allocate_model(length);
  }

  auto read_progression = [&](ProgressionSlot slot) {
    header.progression_first(slot) = reader_.read_long();
    header.progression_second(slot) = reader_.read_long();
    header.progression_flag(slot) = reader_.read_long();
  };
  if (contains(field, "tre") && contains(field, "progressiva")) read_progression(ProgressionSlot::kTre);
  if (contains(field, "due") && contains(field, "progressiva")) read_progression(ProgressionSlot::kDue);
  if (contains(field, "uno") && contains(field, "progressiva")) read_progression(ProgressionSlot::kUno);

  if (contains(field, "sfondo") && contains(field, "uno")) header.background_one() = reader_.read_long();
  if (contains(field, "sfondo") && contains(field, "due")) header.background_two() = reader_.read_long();
  if (contains(field, "sfondo") && contains(field, "tre")) header.background_three() = reader_.read_long();

  if (contains(field, "segnali") && contains(field, "ripetizione")) {
    header.repetition_from() = reader_.read_long();
    header.repetition_to() = reader_.read_long();
    if (header.repetition_from() % kRepetitionStep != 0) {
      fail(3, keyword);
      return Step::kStop;
    }
    if (header.repetition_to() % kRepetitionStep != 0) {
      fail(4, keyword);
      return Step::kStop;
    }
    if (contains_nocase(field, "4")) {
      header.repetition_codes() = 4;
    } else if (contains_nocase(field, "9")) {
      header.repetition_codes() = 9;
    } else {
      fail(5, keyword);
      return Step::kStop;
    }
    if (header.repetition_to() == 0) header.repetition_codes() = 0;
  }
  return Step::kGoOn;
}

LineParser::Step LineParser::body_record(const std::string& field, const FieldPosition& keyword) {
  auto out_of_model = [&](int32_t position) {
    if (!beyond(position)) return false;
    fail_at(15, position, keyword);
    return true;
  };

  if (contains_nocase(field, "pendenza")) {
    const int32_t position = reader_.read_long();
    const int32_t gradient = reader_.read_long();
    if (out_of_model(position)) return Step::kEndOfFile;
    const int64_t k = fill_cell_of_position(position);
    if (k > 0) fill_gradients_until(k);
    previous_gradient_ = gradient;
  }

  if (contains_nocase(field, "curva") && state_.write_line_plan != 0) {
    const int32_t start = reader_.read_long();
    const int32_t length = reader_.read_long();
    if (out_of_model(start)) return Step::kEndOfFile;
    double curvature = 0.0;
    bool has_class = false;
    for (const auto& curve_class : kCurveClasses) {
      if (contains(field, curve_class.digit)) {
        curvature = curve_class.curvature;
        has_class = true;
        break;
      }
    }
    if (!has_class) {
      fail(103, keyword);
      return Step::kStop;
    }
    if (contains_nocase(field, "s")) curvature = -curvature;
    if (plan_run_to(start, 0.0, keyword) == Step::kStop) return Step::kStop;
    if (plan_run_to(int64_t{start} + length, curvature, keyword) == Step::kStop) return Step::kStop;
  }

  if (contains_nocase(field, "montagna")) {
    const int32_t inizio = reader_.read_long();
    const int32_t fine = reader_.read_long();
    int32_t tipo = reader_.read_long();
    if (out_of_model(inizio)) return Step::kEndOfFile;
    memo_montagna(state_, inizio, fine, tipo);
  }

  if (contains_nocase(field, "indicatori_v")) {
    int32_t values[9];
    for (int32_t& value : values) value = reader_.read_long();
    const int32_t posizione = values[0];
    if (out_of_model(posizione)) return Step::kEndOfFile;
    const SpeedBoardPlacement placement = memo_indicatori_v_max(state_, posizione, values[1], values[2], values[3],
                                                                values[4], values[5], values[6], values[7], values[8]);
    if (placement == SpeedBoardPlacement::kSpeedOutOfRange) {
      throw ReadFailure{"a speed indicator board's encoded speed does not fit 16 bits"};
    }
    if (placement == SpeedBoardPlacement::kCellTaken) {
      fail_at(21, posizione, keyword);
      if (cell_of_position(posizione) < 0) state_.error_detail = kBeforeTheCells;
      return Step::kStop;
    }
  }

  if (contains_nocase(field, "indicat") && contains_nocase(field, "cartello")) {
    const int32_t position = reader_.read_long();
    read_field();  // the board's legend
    if (out_of_model(position)) return Step::kEndOfFile;
    const int64_t c = cell_of_position(position);
    if (c < 0 || !is_free(state_.cells[static_cast<size_t>(c)])) {
      fail_at(6, position, keyword);
      if (c < 0) state_.error_detail = kBeforeTheCells;
      return Step::kStop;
    }
    if (state_.board_slot < kLowestBoardSlot) {
      fail_at(106, position, keyword);
      return Step::kStop;
    }
    TrackCell& cell = state_.cells[static_cast<size_t>(c)];
    cell.kind = kBoardText;
    cell.value_a = static_cast<int16_t>(state_.board_slot);
    state_.station_table[static_cast<size_t>(state_.board_slot)].name = state_.current_field;
    --state_.board_slot;
  }
  return Step::kGoOn;
}

void LineParser::fill_gradients_until(int64_t cell) {
  // Writes at least one cell, even when the cursor is already at `cell` or beyond; never past
  // the last cell.
  const uint8_t stored = gradient_byte(previous_gradient_);
  const int64_t cell_limit = static_cast<int64_t>(state_.cells.size());
  do {
    if (gradient_cursor_ < cell_limit) state_.cells[static_cast<size_t>(gradient_cursor_)].gradient = stored;
    ++gradient_cursor_;
  } while (gradient_cursor_ < cell);
}

void LineParser::plan_step(double curvature) {
  LinePlan& plan = state_.plan;
  const int32_t m = plan.next_metre();
  const double dx = plan.x(m - 1) - plan.x(m - 2);
  const double dy = plan.y(m - 1) - plan.y(m - 2);
  plan.append(plan.x(m - 1) + (dx + curvature * dy), plan.y(m - 1) + (dy - curvature * dx));
}

LineParser::Step LineParser::plan_run_to(int64_t last_metre, double curvature, const FieldPosition& keyword) {
  // The last two metres of the plan stay empty, and no metre past kPlanLimit is computed.
  const int32_t highest_metre = state_.plan.plan_length() - 2;
  while (state_.plan.next_metre() <= last_metre) {
    if (state_.plan.next_metre() > highest_metre) {
      fail(103, keyword);
      return Step::kStop;
    }
    plan_step(curvature);
    if (state_.plan.next_metre() > kPlanLimit) {
      fail(103, keyword);
      return Step::kStop;
    }
  }
  return Step::kGoOn;
}

void LineParser::finish() {
  fill_gradients_until(int64_t{state_.cell_count} - 2);
  if (state_.write_line_plan != 0) {
    const int32_t highest_metre = state_.plan.plan_length() - 2;
    while (state_.plan.next_metre() <= highest_metre) plan_step(0.0);
  }
}

}  // namespace

LinePhaseEnd parse_line_description(CompileState& state, FieldReader& reader) {
  return LineParser(state, reader).run();
}

}  // namespace scenario
