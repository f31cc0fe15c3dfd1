#include "cli/compiled_files.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "disk/file_replace.h"
#include "format/binary_inputs.h"
#include "format/binary_layout.h"

namespace scenario {
namespace {

bool ends_with(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The largest valid file of each kind: the cells of the longest line; 87 entries whose names all
// have the most bytes a 16-bit count can say; a plan of the longest line with a double at every
// element. A larger file is refused before it is read.
constexpr uint64_t kMaxTrackCellsSize = uint64_t{kMaxDecodedCells} * layout::kCellSize;
constexpr uint64_t kMaxScenarioRecordSize =
    layout::kEmptyScenarioRecordSize + uint64_t{kStationEntryCount} * std::numeric_limits<uint16_t>::max();
constexpr uint64_t kMaxLinePlanSize =
    2 * (static_cast<uint64_t>(kMaxDecodedPlanLength) + 1) * layout::kDoubleElementSize;
static_assert(kMaxTrackCellsSize == 302115 && kMaxScenarioRecordSize == 5704503 && kMaxLinePlanSize == 20140020);

// Reads the file (at most `limit` bytes) and decodes it with `decode`, which says what it found in
// a few words.
template <typename Decode>
Status load(const std::string& path, uint64_t limit, VerboseLog& log, Decode decode) {
  std::string bytes;
  Status status = read_file(path, &bytes, nullptr, limit);
  if (!status.ok()) return status;
  log.phase("read " + path + ", " + std::to_string(bytes.size()) + " bytes");
  std::string found;
  const Status decoded = decode(bytes, &found);
  if (!decoded.ok()) return decoded.InFile(path);
  log.phase("decoded " + found);
  return Status::Ok();
}

}  // namespace

CompiledFileKind compiled_file_kind(const std::string& path) {
  if (ends_with(path, "_linea.dat")) return CompiledFileKind::kLinePlan;
  if (ends_with(path, ".sim")) return CompiledFileKind::kScenarioRecord;
  if (ends_with(path, ".dat")) return CompiledFileKind::kTrackCells;
  return CompiledFileKind::kUnknown;
}

Status load_track_cells(const std::string& path, std::vector<TrackCell>* cells, VerboseLog& log) {
  return load(path, kMaxTrackCellsSize, log, [cells](const std::string& bytes, std::string* found) {
    const Status result = decode_track_cells(bytes, cells);
    *found = std::to_string(cells->size()) + " track cells";
    return result;
  });
}

Status load_scenario_record(const std::string& path, ScenarioRecord* record, VerboseLog& log) {
  return load(path, kMaxScenarioRecordSize, log, [record](const std::string& bytes, std::string* found) {
    *found = std::to_string(kStationEntryCount) + " scenario record entries";
    return decode_scenario_record(bytes, record);
  });
}

Status load_line_plan(const std::string& path, LinePlan* plan, VerboseLog& log) {
  return load(path, kMaxLinePlanSize, log, [plan](const std::string& bytes, std::string* found) {
    const Status result = decode_line_plan(bytes, plan);
    *found = plan->allocated() ? "a plan of metres 0 to " + std::to_string(plan->plan_length()) : "an unsized plan";
    return result;
  });
}

Status load_compiled_scenario(const std::string& dat_path, const std::string& sim_path, const std::string& plan_path,
                              ScenarioModel* model, VerboseLog& log) {
  std::vector<TrackCell> cells;
  ScenarioRecord record;
  LinePlan plan;
  Status status = load_track_cells(dat_path, &cells, log);
  if (status.ok()) status = load_scenario_record(sim_path, &record, log);
  if (status.ok() && !plan_path.empty()) {
    status = load_line_plan(plan_path, &plan, log);
    if (status.ok() && !plan.allocated()) {
      status = Status::FileSystem(plan_path, "at byte 0: the file is empty, a line record holds the plan of a line");
    }
  }
  if (status.ok()) adopt_decoded(std::move(cells), record, std::move(plan), model);
  return status;
}

}  // namespace scenario
