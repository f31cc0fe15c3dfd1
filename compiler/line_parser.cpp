#include "compiler/line_parser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/description_parser.h"
#include "compiler/line_features.h"
#include "compiler/stretch_fill.h"
#include "model/cell_values.h"
#include "model/header_view.h"
#include "model/plan_recurrence.h"
#include "model/rounding.h"

namespace scenario {
namespace {

// The most mountain stretches a line holds.
constexpr int32_t kMostMountainStretches = 80;

// In the general section up to this many dash fields in a row are passed over; in the body, two.
constexpr int kGeneralDashSkips = 10;
constexpr int32_t kPlanLimit = 1000000;  // the plan never runs past this metre
constexpr int32_t kRepetitionStep = 50;
// Added to the report of a board refused because its cell would lie before cell 0.
constexpr const char* kBeforeTheCells = "its cell would lie before the first cell";

// The keywords as the program writes them, for the check's "did you mean".
constexpr std::string_view kGeneralKeywords[] = {
    "lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
    "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre", "ripetizione segnali 4 codici"};
constexpr std::string_view kBodyKeywords[] = {"curvas", "curvad", "pendenza", "montagna", "indicatori_vmax",
                                              "cartello_indicatore"};
constexpr KnownKeywords kInGeneralSection{kGeneralKeywords, kBodyKeywords,
                                          "only after the general section (after its first section header)"};
constexpr KnownKeywords kInBody{kBodyKeywords, kGeneralKeywords,
                                "only in the general section (before its first section header)"};

class LineParser : public DescriptionParser {
 public:
  LineParser(CompileState& state, FieldReader& reader) : DescriptionParser(state, reader) {}

  LinePhaseEnd parse();

 private:
  // How a record left the parse: go on, the file's end reached, stop at once, or stop as after a
  // failed read (a run-time failure).
  enum class Step { kGoOn, kEndOfFile, kStop, kFailed };

  LinePhaseEnd run();
  bool find_general_section();
  Step general_section();
  Step general_record(const std::string& field);
  Step line_length();
  void progressions(const std::string& field);
  void backgrounds(const std::string& field);
  // Check mode: progressions the ordering clears although they hold values.
  void check_progressions();
  Step signal_repetition(const std::string& field);

  Step body_record(const std::string& field);
  static Step step_after(Placed placed) {
    return placed == Placed::kYes ? Step::kGoOn : placed == Placed::kRefused ? Step::kStop : Step::kFailed;
  }
  Step gradient();
  Step curve(const std::string& field);
  Step mountain_stretch();
  // Check mode: a stretch that ends before it starts, overlaps the one before, or is the 81st.
  void check_mountain_stretch(int32_t inizio, int32_t fine);
  Step speed_board();
  Step line_side_board();

  // Computes the next metre of the plan from the two before it, turned by `curvature`.
  Step plan_run_to(int64_t last_metre, double curvature);
  void finish();

  // The cell of highest index the gradient fills write.
  int64_t last_cell() const { return static_cast<int64_t>(state_.cells.size()) - 1; }

  FieldPosition generale_;  // where "[generale]" stood
  std::optional<FieldPosition> last_progression_;  // the last progression record read
  bool length_given_ = false;  // a line length record was read (usable or not)
  bool plan_full_ = false;       // check mode: a curve ran the plan to its end
  StretchFill gradients_{&TrackCell::gradient};
  int32_t previous_gradient_ = 0;
};

LinePhaseEnd LineParser::parse() {
  LinePhaseEnd end = LinePhaseEnd::kStop;
  const bool read = run_guarded([&] { end = run(); });
  finish_check();
  return read ? end : LinePhaseEnd::kFailed;
}

LinePhaseEnd LineParser::run() {
  if (!find_general_section()) return LinePhaseEnd::kStop;
  if (general_section() == Step::kStop) return LinePhaseEnd::kStop;

  if (checking()) check_progressions();
  if (!progressive_ordina(state_)) {
    // A run-time failure: the compile records it where a failed read would stand, at the last field
    // read, and ends the phase as after a failed read; check names the general section and goes on.
    record_error(ErrorNumber::kRunTimeFailure, checking() ? generale_ : reader_.last_field(), std::nullopt,
                 "a kilometric progression's second value + 100 is too large");
    if (!checking()) return LinePhaseEnd::kFailed;
  }
  if (!state_.has_cells()) {
    // A length record that was refused has its own error: nothing that needs the cells is read.
    if (!length_given_) record_error(ErrorNumber::kNoLineLength, generale_);
    return LinePhaseEnd::kStop;
  }

  state_.montagna_count = 0;
  state_.board_slot = kFirstBoardSlot;
  if (state_.write_line_plan != 0) state_.plan.start();

  // Body: records by keyword, up to the file's last field.
  while (read_keyword()) {
    if (checking()) {
      const std::string field = field_;
      check_record(field, kInBody, [&] { body_record(field); });
      note_header_slots();
      continue;
    }
    const Step step = body_record(field_);
    note_header_slots();
    if (step == Step::kStop) return LinePhaseEnd::kStop;
    if (step == Step::kFailed) return LinePhaseEnd::kFailed;
    if (step == Step::kEndOfFile) break;
  }
  finish();
  return LinePhaseEnd::kGoOn;
}

// The general section starts at the first field holding "[generale]"; that field must not be the
// file's last.
bool LineParser::find_general_section() {
  for (;;) {
    const std::string& field = read_field();
    if (reader_.at_end()) {
      record_error(ErrorNumber::kNoGeneralSection, std::nullopt);
      return false;
    }
    if (contains_nocase(field, "[generale]")) {
      generale_ = reader_.last_field();
      return true;
    }
  }
}

// The general section runs up to the first bracketed field that does not begin with a dash.
LineParser::Step LineParser::general_section() {
  for (;;) {
    if (reader_.at_end()) return Step::kEndOfFile;
    std::string field = read_field();
    if (reader_.at_end()) return Step::kEndOfFile;
    for (int i = 0; i < kGeneralDashSkips; ++i) {
      if (!contains(field, "-")) continue;
      if (checking()) check_dash_field(reader_.last_field());
      field = read_field();
    }
    keyword_ = reader_.last_field();
    if (checking()) {
      check_record(field, kInGeneralSection, [&] { general_record(field); });
    } else if (general_record(field) == Step::kStop) {
      return Step::kStop;
    }
    if (!field.starts_with('-') && contains(field, "[") && contains(field, "]")) return Step::kGoOn;
  }
}

// The tests of the general section, each applied to the same field in this order.
LineParser::Step LineParser::general_record(const std::string& field) {
  if (matched(contains_nocase(field, "percorso") && contains_nocase(field, "lunghezza"))) {
    if (line_length() == Step::kStop) return Step::kStop;
  }
  progressions(field);
  backgrounds(field);
  if (matched(contains(field, "segnali") && contains(field, "ripetizione"))) return signal_repetition(field);
  return Step::kGoOn;
}

LineParser::Step LineParser::line_length() {
  length_given_ = true;
  const int32_t length = reader_.read_long();
  HeaderView(state_.station_table).line_length() = length;
  if (length < 0 || length > kMaxLineLength) {
    fail_at(reader_.last_field(), ErrorNumber::kLineLength);
    return Step::kStop;
  }
  state_.allocate_model(length);
  return Step::kGoOn;
}

void LineParser::progressions(const std::string& field) {
  const HeaderView header(state_.station_table);
  const struct {
    const char* word;
    ProgressionSlot slot;
  } kinds[] = {{"tre", ProgressionSlot::kTre}, {"due", ProgressionSlot::kDue}, {"uno", ProgressionSlot::kUno}};
  for (const auto& kind : kinds) {
    if (!matched(contains(field, kind.word) && contains(field, "progressiva"))) continue;
    header.progression_first(kind.slot) = reader_.read_long();
    header.progression_second(kind.slot) = reader_.read_long();
    header.progression_flag(kind.slot) = reader_.read_long();
    last_progression_ = keyword_;
  }
}

// The ordering needs a strictly largest first value (or, when the first values sum to 0, a second
// value above 0); without it all nine values are stored as 0.
void LineParser::check_progressions() {
  const HeaderView header(state_.station_table);
  const Progression uno = header.progression(ProgressionSlot::kUno);
  const Progression due = header.progression(ProgressionSlot::kDue);
  const Progression tre = header.progression(ProgressionSlot::kTre);
  const Progression zero;
  if (!last_progression_ || (uno == zero && due == zero && tre == zero)) return;
  const int64_t sum = int64_t{uno.first} + due.first + tre.first;
  const int32_t largest = std::max({uno.first, due.first, tre.first});
  const int sharing = (uno.first == largest) + (due.first == largest) + (tre.first == largest);
  if (sum != 0 && sharing > 1) {
    warn("progressions-cleared", *last_progression_,
         "two kilometric progressions share the largest first value (" + std::to_string(largest) +
             "): the ordering stores all three progressions as 0");
  } else if (sum == 0 && uno.second <= 0 && due.second <= 0 && tre.second <= 0) {
    warn("progressions-cleared", *last_progression_,
         "the kilometric progressions' first values sum to 0 and none has a second value above 0: the ordering "
         "stores all three progressions as 0");
  }
}

void LineParser::backgrounds(const std::string& field) {
  const HeaderView header(state_.station_table);
  if (matched(contains(field, "sfondo") && contains(field, "uno"))) header.background_one() = reader_.read_long();
  if (matched(contains(field, "sfondo") && contains(field, "due"))) header.background_two() = reader_.read_long();
  if (matched(contains(field, "sfondo") && contains(field, "tre"))) header.background_three() = reader_.read_long();
}

// From and to, each a multiple of 50; the number of codes ("4" tested first, then "9") comes from
// the keyword, and is 0 when to is 0.
LineParser::Step LineParser::signal_repetition(const std::string& field) {
  const HeaderView header(state_.station_table);
  header.repetition_from() = reader_.read_long();
  const FieldPosition from_field = reader_.last_field();
  header.repetition_to() = reader_.read_long();
  if (header.repetition_from() % kRepetitionStep != 0) {
    fail_at(from_field, ErrorNumber::kRepetitionFromStep);
    return Step::kStop;
  }
  if (header.repetition_to() % kRepetitionStep != 0) {
    fail_at(reader_.last_field(), ErrorNumber::kRepetitionToStep);
    return Step::kStop;
  }
  if (contains_nocase(field, "4")) {
    header.repetition_codes() = 4;
  } else if (contains_nocase(field, "9")) {
    header.repetition_codes() = 9;
  } else {
    fail(ErrorNumber::kRepetitionCodes);
    return Step::kStop;
  }
  if (header.repetition_to() == 0) header.repetition_codes() = 0;
  return Step::kGoOn;
}

// The tests of the body, each applied to the same field in this order; a record that ends the
// reading of the file (error 15) or the parse stops the tests.
LineParser::Step LineParser::body_record(const std::string& field) {
  Step step = Step::kGoOn;
  if (step == Step::kGoOn && matched(contains_nocase(field, "pendenza"))) step = gradient();
  if (step == Step::kGoOn && matched(contains_nocase(field, "curva") && state_.write_line_plan != 0)) {
    step = curve(field);
  }
  if (step == Step::kGoOn && matched(contains_nocase(field, "montagna"))) step = mountain_stretch();
  if (step == Step::kGoOn && matched(contains_nocase(field, "indicatori_v"))) step = speed_board();
  if (step == Step::kGoOn && matched(contains_nocase(field, "indicat") && contains_nocase(field, "cartello"))) {
    step = line_side_board();
  }
  return step;
}

// A gradient holds from cell near(p / 50) up to the cell before the next record's.
LineParser::Step LineParser::gradient() {
  const int32_t position = reader_.read_long();
  const int32_t per_mille = reader_.read_long();
  const FieldPosition per_mille_field = reader_.last_field();
  if (beyond(position)) return Step::kEndOfFile;
  check_order("gradient", position, position);
  if (checking() && (per_mille < -int32_t{kGradientOffset} || per_mille > 255 - int32_t{kGradientOffset})) {
    warn("value-wraps", per_mille_field,
         "the gradient " + std::to_string(per_mille) + " per mille does not fit its byte (-100 to 155): it is "
             "stored as " + std::to_string(gradient_per_mille(gradient_byte(per_mille))) + " per mille");
  }
  const int64_t k = fill_cell_of_position(position);
  if (k > 0) gradients_.fill_to(state_.cells, k, last_cell(), gradient_byte(previous_gradient_));
  previous_gradient_ = per_mille;
  return Step::kGoOn;
}

// The plan runs straight up to the curve's start, then turns by the class's curvature to its end.
LineParser::Step LineParser::curve(const std::string& field) {
  const int32_t start = reader_.read_long();
  const int32_t length = reader_.read_long();
  if (beyond(start)) return Step::kEndOfFile;
  // The class digits are looked for in the order 1 to 6; the first found gives the curvature.
  double curvature = 0.0;
  for (int digit = 1; digit <= kCurveClassCount && curvature == 0.0; ++digit) {
    const char digit_text[] = {static_cast<char>('0' + digit), '\0'};
    if (contains(field, digit_text)) curvature = class_curvature(digit);
  }
  if (curvature == 0.0) {
    fail(ErrorNumber::kCurve);
    return Step::kStop;
  }
  if (contains_nocase(field, "s")) curvature = -curvature;
  check_order("curve", start, int64_t{start} + length);
  if (plan_full_) return Step::kGoOn;  // check mode: the error of the first curve past the end stands for all
  if (plan_run_to(start, 0.0) == Step::kStop) return Step::kStop;
  return plan_run_to(int64_t{start} + length, curvature);
}

LineParser::Step LineParser::mountain_stretch() {
  const int32_t inizio = reader_.read_long();
  const int32_t fine = reader_.read_long();
  int32_t tipo = reader_.read_long();
  if (beyond(inizio)) return Step::kEndOfFile;
  if (checking()) check_mountain_stretch(inizio, fine);
  memo_montagna(state_, inizio, fine, tipo);
  return Step::kGoOn;
}

void LineParser::check_mountain_stretch(int32_t inizio, int32_t fine) {
  if (fine < inizio) {
    warn("mountain-stretch", keyword_,
         "this mountain stretch ends (" + std::to_string(fine) + " m) before it starts (" + std::to_string(inizio) +
             " m): it lays its first cell only");
  }
  if (state_.montagna_count > 0 && inizio < state_.montagna_previous_end) {
    warn("mountain-stretch", keyword_,
         "this mountain stretch starts at " + std::to_string(inizio) + " m, inside the one before it (which ends at " +
             std::to_string(state_.montagna_previous_end) + " m): the later one's type overwrites the cells they share");
  }
  if (state_.montagna_count == kMostMountainStretches) {
    warn("mountain-stretch", keyword_,
         "more than " + std::to_string(kMostMountainStretches) + " mountain stretches, more than a line is meant to hold");
  }
}

LineParser::Step LineParser::speed_board() {
  SpeedBoardRecord board;
  int32_t* const values[] = {&board.posizione, &board.vas, &board.vbs, &board.vcs, &board.strisces,
                             &board.vad, &board.vbd, &board.vcd, &board.strisced};
  FieldPosition fields[std::size(values)];
  for (size_t i = 0; i < std::size(values); ++i) {
    *values[i] = reader_.read_long();
    fields[i] = reader_.last_field();
  }
  if (beyond(board.posizione)) return Step::kEndOfFile;
  // A stored speed that does not fit 16 bits is reported at the left speed of its pair.
  std::optional<FieldPosition> speed_at_fault;
  for (size_t pair = 0; pair < 3 && !speed_at_fault; ++pair) {
    if (!fits_int16(board_speed(*values[1 + pair], *values[5 + pair]))) speed_at_fault = fields[1 + pair];
  }
  return step_after(placed(memo_indicatori_v_max(state_, board), board.posizione, speed_at_fault));
}

// A board takes the next station-table entry from 80 downward for its text; entry 0 is left to no
// board, so the 81st is refused.
LineParser::Step LineParser::line_side_board() {
  const int32_t position = reader_.read_long();
  read_field();  // the board's legend
  if (beyond(position)) return Step::kEndOfFile;
  const int64_t c = cell_of_position(position);
  if (c < 0 || !is_free(state_.cells[static_cast<size_t>(c)])) {
    fail(ErrorNumber::kBoardTaken, position, c < 0 ? kBeforeTheCells : taken_words(c));
    return Step::kStop;
  }
  if (state_.board_slot < kLowestBoardSlot) {
    fail(ErrorNumber::kTooManyBoards, position);
    return Step::kStop;
  }
  state_.lay(c, kBoardText);
  TrackCell& cell = state_.cells[static_cast<size_t>(c)];
  cell.value_a = static_cast<int16_t>(state_.board_slot);
  state_.station_table[static_cast<size_t>(state_.board_slot)].name = field_;
  --state_.board_slot;
  return Step::kGoOn;
}

// Computes the plan from the cursor up to last_metre in one run. The last two metres of the plan
// stay empty and no metre past kPlanLimit is computed: a run that would go further computes up to
// that bound and fails (a run that reaches kPlanLimit itself fails too, having computed it).
LineParser::Step LineParser::plan_run_to(int64_t last_metre, double curvature) {
  LinePlan& plan = state_.plan;
  const int64_t bound = std::min<int64_t>(int64_t{plan.plan_length()} - 2, kPlanLimit);
  const int64_t end = std::min(last_metre, bound);
  if (plan.next_metre() <= end) plan.run_to(static_cast<int32_t>(end), curvature);
  if (plan.next_metre() > kPlanLimit || plan.next_metre() <= last_metre) {
    plan_full_ = true;
    fail(ErrorNumber::kCurve);
    return Step::kStop;
  }
  return Step::kGoOn;
}

// The end of the line phase: the last gradient runs on to cell N - 3 (at least one cell), and the
// plan straight on to its last metre but two.
void LineParser::finish() {
  gradients_.fill_to(state_.cells, int64_t{state_.cell_count} - 2, last_cell(), gradient_byte(previous_gradient_));
  if (state_.write_line_plan != 0) {
    state_.plan.run_to(state_.plan.plan_length() - 2, 0.0);
  }
}

}  // namespace

LinePhaseEnd parse_line_description(CompileState& state, FieldReader& reader, CheckFindings* findings) {
  LineParser parser(state, reader);
  parser.check_into(findings);
  return parser.parse();
}

}  // namespace scenario
