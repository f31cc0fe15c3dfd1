#include "compiler/check_findings.h"

#include <algorithm>
#include <array>
#include <utility>

#include "compiler/error_catalogue.h"

namespace scenario {
namespace {

constexpr std::array<WarningKind, 17> kWarningKinds = {{
    {"unknown-keyword", "a record whose keyword matches no test: the compile passes it over"},
    {"field-count", "a record with fewer or more fields on its line than its kind reads"},
    {"number-text", "a number field holding text, a decimal or a sign: the compile reads it as 0"},
    {"ignored-record", "a record the compile passes over"},
    {"out-of-order", "a record before the one of its kind above it: the compile assumes ascending positions"},
    {"no-general-section", "a train description without [generale]: the compile reads none of its records"},
    {"no-value-at-start", "the first speed limit or adhesion starts after 0 m: the cells before it keep 0"},
    {"speed-rounded", "a speed limit that is not a multiple of 5 km/h: it is stored rounded"},
    {"value-wraps", "a gradient outside -100 to 155 per mille or an adhesion outside 0 to 255: stored wrapped"},
    {"signal-code", "a signal whose values cannot be taken apart again from its cell (dx 0 to 2, d 0 to 9)"},
    {"short-slowdown", "a slowdown that starts and ends on one cell: its end marker is lost"},
    {"zero-speed-slowdown", "a slowdown of speed 0 km/h"},
    {"progressions-cleared", "progressions the ordering stores as 0 (a shared largest first value, or first values summing to 0 and no second above 0)"},
    {"mountain-stretch", "a mountain stretch that ends before it starts, overlaps the one before, or is the 81st"},
    {"duplicate-station", "a station whose name is already written"},
    {"timetable-order", "a departure past 24:00, before the train's clock, or before the station written before"},
    {"timetable-too-fast", "two timed stations closer in time than the train can run at the speed limits and slowdowns"},
}};

}  // namespace

std::span<const WarningKind> warning_kinds() { return kWarningKinds; }

CheckFinding CheckFindings::error_finding(const ErrorRecord& error) {
  const ErrorDescription description = describe_error(error.ErrorCode);
  CheckFinding finding;
  finding.severity = Severity::kError;
  finding.code = std::to_string(error.ErrorCode);
  finding.message = compile_error_words(error);
  finding.place = error.place;
  if (description.has_position) finding.position = error.ErrorPosition;
  return finding;
}

void CheckFindings::keep(CheckFinding finding) {
  const bool error = finding.severity == Severity::kError;
  if (error) ++error_count_;
  if (kept_per_file_ != 0 && !finding.reported && !finding.place.file.empty()) {
    size_t& kept = kept_[finding.place.file];
    if (kept >= kept_per_file_) {
      auto file = std::find_if(not_kept_.begin(), not_kept_.end(),
                               [&](const auto& entry) { return entry.first == finding.place.file; });
      if (file == not_kept_.end()) {
        not_kept_.emplace_back(finding.place.file, 1);
      } else {
        ++file->second;
      }
      if (error) ++errors_not_kept_;
      return;
    }
    ++kept;
  }
  findings_.push_back(std::move(finding));
}

void CheckFindings::add_error(const ErrorRecord& error) { keep(error_finding(error)); }

void CheckFindings::record(CompileState& state, CheckFindings* findings, ErrorNumber number,
                           std::optional<int32_t> position, SourcePlace place, std::string words) {
  state.record_error(number, position, std::move(place), std::move(words));
  if (findings != nullptr) findings->add_error(state.error());
}

void CheckFindings::mark_reported(const ErrorRecord& error, const std::string& file) {
  const std::string code = std::to_string(error.ErrorCode);
  const bool has_position = describe_error(error.ErrorCode).has_position;
  auto same = [&](const CheckFinding& finding) {
    if (finding.severity != Severity::kError || finding.code != code) return false;
    if (has_position && finding.position != error.ErrorPosition) return false;
    if (!error.place.known()) return !finding.place.known();
    return finding.place.file == error.place.file && finding.place.line == error.place.line &&
           finding.place.column == error.place.column;
  };
  // The last such finding: the compile's record is the last error it records.
  for (auto it = findings_.rbegin(); it != findings_.rend(); ++it) {
    if (same(*it)) {
      it->reported = true;
      return;
    }
  }
  CheckFinding finding = error_finding(error);
  finding.reported = true;
  if (finding.place.file.empty()) finding.place.file = file;
  // Not among the kept findings: the check made it and only counted it (every error the compile
  // reports is among the check's), so it moves from the counted to the kept.
  auto counted = std::find_if(not_kept_.begin(), not_kept_.end(),
                              [&](const auto& entry) { return entry.first == finding.place.file; });
  if (counted != not_kept_.end() && errors_not_kept_ > 0) {
    --errors_not_kept_;
    --error_count_;
    if (--counted->second == 0) not_kept_.erase(counted);
  }
  keep(std::move(finding));
}

void CheckFindings::add_fatal(int number, const SourcePlace& taker, const std::string& file) {
  CheckFinding finding;
  finding.severity = Severity::kError;
  finding.code = std::to_string(number);
  const char* value = number == 1250 ? "first" : "second";
  finding.message = "fatal report \"" + fatal_report(finding.code) + "\": " +
                    (taker.known() ? "this record gives cell 1 a " + std::string(value) + " value"
                                   : "post-processing gives cell 1 a " + std::string(value) + " value") +
                    ", which the header needs; the compile writes no binary file";
  finding.place = taker;
  if (finding.place.file.empty()) finding.place.file = file;
  finding.reported = true;
  keep(std::move(finding));
}

void CheckFindings::add_warning(const char* name, SourcePlace place, std::string message) {
  CheckFinding finding;
  finding.severity = Severity::kWarning;
  finding.code = name;
  finding.message = std::move(message);
  finding.place = std::move(place);
  keep(std::move(finding));
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
