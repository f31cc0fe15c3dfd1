#include "model/header_view.h"

namespace scenario {

Progression progression_of(const StationEntry& entry) { return {entry.area_start, entry.area_end, entry.position}; }

void store_progression(StationEntry& entry, const Progression& progression) {
  entry.area_start = progression.first;
  entry.area_end = progression.second;
  entry.position = progression.flag;
}

}  // namespace scenario
