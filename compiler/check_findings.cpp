#include "compiler/check_findings.h"

#include <algorithm>
#include <array>
#include <utility>

#include "compiler/error_catalogue.h"

namespace scenario {
namespace {

constexpr std::array<WarningKind, 6> kWarningKinds = {{
    {"unknown-keyword", "a record whose keyword matches no test: the compile passes it over"},
    {"field-count", "a record with fewer or more fields on its line than its kind reads"},
    {"number-text", "a number field holding text, a decimal or a sign: the compile reads it as 0"},
    {"ignored-record", "a record the compile passes over"},
    {"out-of-order", "a record before the one of its kind above it: the compile assumes ascending positions"},
    {"no-general-section", "a train description without [generale]: the compile reads none of its records"},
}};

}  // namespace

std::span<const WarningKind> warning_kinds() { return kWarningKinds; }

void CheckFindings::add_error(const ErrorRecord& error) {
  const ErrorDescription description = describe_error(error.ErrorCode);
  CheckFinding finding;
  finding.severity = Severity::kError;
  finding.code = std::to_string(error.ErrorCode);
  finding.message = compile_error_words(error);
  finding.place = error.place;
  if (description.has_position) finding.position = error.ErrorPosition;
  findings_.push_back(std::move(finding));
  ++error_count_;
}

void CheckFindings::add_warning(const char* name, SourcePlace place, std::string message) {
  CheckFinding finding;
  finding.severity = Severity::kWarning;
  finding.code = name;
  finding.message = std::move(message);
  finding.place = std::move(place);
  findings_.push_back(std::move(finding));
}

void CheckFindings::place_unplaced(size_t first, const std::string& file, int32_t other_code,
                              const std::string& other_file) {
  const std::string other = std::to_string(other_code);
  for (size_t i = first; i < findings_.size(); ++i) {
    CheckFinding& finding = findings_[i];
    if (!finding.place.file.empty()) continue;
    const bool is_other = other_code != 0 && finding.severity == Severity::kError && finding.code == other;
    finding.place.file = is_other ? other_file : file;
  }
}

std::vector<CheckFinding> CheckFindings::sorted() const {
  auto rank = [this](const CheckFinding& finding) {
    const auto found = std::find(files_.begin(), files_.end(), finding.place.file);
    return static_cast<size_t>(found - files_.begin());
  };
  std::vector<CheckFinding> sorted = findings_;
  std::stable_sort(sorted.begin(), sorted.end(), [&](const CheckFinding& a, const CheckFinding& b) {
    const size_t rank_a = rank(a);
    const size_t rank_b = rank(b);
    if (rank_a != rank_b) return rank_a < rank_b;
    if (a.place.line != b.place.line) return a.place.line < b.place.line;
    return a.place.column < b.place.column;
  });
  return sorted;
}

}  // namespace scenario
