#include "compiler/line_features.h"

#include <algorithm>
#include <limits>

#include "model/cell_values.h"
#include "model/header_view.h"
#include "model/rounding.h"

namespace scenario {
namespace {

// Gap, in metres, up to which a stretch counts as continuing the one before it.
// Progressions whose flag is 1 have their second value moved on by this many metres.
constexpr int64_t kProgressionFlagShift = 100;

// Added to the refusal of a board whose cell would lie before cell 0.
constexpr const char* kBeforeTheCells = "its cell would lie before the first cell";

}  // namespace

bool progressive_ordina(CompileState& state) {
  const HeaderView header(state.station_table);
  const Progression uno = header.progression(ProgressionSlot::kUno);
  const Progression due = header.progression(ProgressionSlot::kDue);
  const Progression tre = header.progression(ProgressionSlot::kTre);
  const Progression zero;

  Progression ordered[3];
  const int64_t sum = int64_t{uno.first} + due.first + tre.first;
  if (sum != 0) {
    // The strictly largest first value leads; of the other two the larger follows, ties going
    // to uno before due before tre. Without a strictly largest one, all three are cleared.
    if (uno.first > due.first && uno.first > tre.first) {
      ordered[0] = uno;
      ordered[1] = due.first >= tre.first ? due : tre;
      ordered[2] = due.first >= tre.first ? tre : due;
    } else if (due.first > uno.first && due.first > tre.first) {
      ordered[0] = due;
      ordered[1] = uno.first >= tre.first ? uno : tre;
      ordered[2] = uno.first >= tre.first ? tre : uno;
    } else if (tre.first > uno.first && tre.first > due.first) {
      ordered[0] = tre;
      ordered[1] = uno.first >= due.first ? uno : due;
      ordered[2] = uno.first >= due.first ? due : uno;
    } else {
      ordered[0] = ordered[1] = ordered[2] = zero;
    }
  } else if (uno.second > 0) {
    ordered[0] = uno, ordered[1] = due, ordered[2] = tre;
  } else if (due.second > 0) {
    ordered[0] = due, ordered[1] = tre, ordered[2] = uno;
  } else if (tre.second > 0) {
    ordered[0] = tre, ordered[1] = due, ordered[2] = uno;
  } else {
    ordered[0] = ordered[1] = ordered[2] = zero;
  }

  bool in_range = true;
  for (int i = 0; i < 3; ++i) {
    Progression& progression = ordered[i];
    if (progression.flag == 1) {
      const int64_t shifted = int64_t{progression.second} + kProgressionFlagShift;
      if (shifted > std::numeric_limits<int32_t>::max()) {
        in_range = false;
      } else {
        progression.second = static_cast<int32_t>(shifted);
      }
    }
    header.set_progression(kProgressionSlots[i], progression);
  }
  return in_range;
}

void memo_montagna(CompileState& state, int32_t inizio, int32_t fine, int32_t& tipo) {
  // A type above 10 lays markers along the stretch, and is stored as its type less 10.
  const bool lays_markers = tipo > kMarkedTypeOffset;
  if (lays_markers) tipo -= kMarkedTypeOffset;

  const bool has_previous = state.montagna_count > 0;
  const int32_t previous_end = state.montagna_previous_end;
  if (state.montagna_count < std::numeric_limits<int32_t>::max()) ++state.montagna_count;
  state.montagna_previous_end = fine;
  if (has_previous && int64_t{inizio} - previous_end <= kAdjacentStretchGap) tipo = kAdjacentStretchType;

  // Cells near(inizio / 50) to near(fine / 50 - 1); n counts from the stretch's own first cell,
  // also when that cell lies before the array and the walk starts at cell 0.
  const int64_t first = fill_cell_of_position(inizio);
  const int64_t last = near(int64_t{fine} - CELL_LENGTH, CELL_LENGTH);
  const int64_t highest_cell = static_cast<int64_t>(state.cells.size()) - 1;
  const int64_t walk_from = std::max<int64_t>(first, 0);
  const int64_t walk_to = std::min(last, highest_cell);
  const uint8_t tipo_byte = low8(tipo);
  for (int64_t i = walk_from; i <= walk_to; ++i) {
    TrackCell& cell = state.cells[static_cast<size_t>(i)];
    cell.montagna_tipo = tipo_byte;
    const int64_t n = i - first + 1;
    if (lays_markers && n % kMarkerSpacing == 0 && cell.kind == kEmpty &&
        (i - kMarkerSpacing) * CELL_LENGTH < fine) {
      cell.kind = kMountainMarker;
    }
  }
}

// right / 5 + left * 20 == (right + 100 * left) / 5, exact in whole numbers.
int64_t board_speed(int32_t left, int32_t right) { return near(int64_t{right} + 100 * int64_t{left}, 5); }

Placement memo_indicatori_v_max(CompileState& state, const SpeedBoardRecord& board) {
  const int64_t c = cell_of_position(board.posizione);
  if (c < 0) return Placement::Refused(ErrorNumber::kSpeedBoardTaken, kBeforeTheCells);
  if (c >= static_cast<int64_t>(state.cells.size())) return Placement::Refused(ErrorNumber::kSpeedBoardTaken);
  if (!is_free(state.cells[static_cast<size_t>(c)])) return Placement::Taken(ErrorNumber::kSpeedBoardTaken, c);
  const int64_t a = board_speed(board.vas, board.vad);
  const int64_t b = board_speed(board.vbs, board.vbd);
  const int64_t cc = board_speed(board.vcs, board.vcd);
  if (!fits_int16(a) || !fits_int16(b) || !fits_int16(cc)) {
    return Placement::Refused(ErrorNumber::kRunTimeFailure,
                              "a speed indicator board's encoded speed does not fit 16 bits");
  }

  state.lay(c, kSpeedBoard);
  TrackCell& cell = state.cells[static_cast<size_t>(c)];
  cell.value_a = static_cast<int16_t>(a);
  cell.value_b = static_cast<int16_t>(b);
  cell.value_c = static_cast<int16_t>(cc);
  // Stripe counts in 16-bit arithmetic on their low 16 bits, kept to 16 bits.
  const uint32_t stripes_left = static_cast<uint16_t>(static_cast<uint32_t>(board.strisces));
  const uint32_t stripes_right = static_cast<uint16_t>(static_cast<uint32_t>(board.strisced));
  cell.value_d = low16(int64_t{stripes_left} * 10 + stripes_right);
  return Placement::Placed();
}

}  // namespace scenario
