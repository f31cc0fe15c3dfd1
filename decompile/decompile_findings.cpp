#include "decompile/decompile_findings.h"

#include <utility>

#include "model/cell_values.h"

namespace scenario {

void Findings::add(std::string place, std::string words) {
  ++count_;
  if (kept_.size() < kMaxKept) kept_.push_back(Finding{std::move(place), std::move(words)});
}

std::string cell_place(int64_t cell) {
  return "cell " + std::to_string(cell) + " (" + std::to_string(cell_metres(cell)) + " m)";
}

std::string stretch_place(int64_t cell) {
  return "cell " + std::to_string(cell) + " (from " + std::to_string(stretch_metres(cell)) + " m)";
}

std::string entry_place(int64_t entry) { return "entry " + std::to_string(entry); }

std::string metre_place(int64_t metre) { return "metre " + std::to_string(metre); }

}  // namespace scenario
