#include "decompile/decompile_verify.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>

#include "compiler/error_catalogue.h"
#include "format/cp1252.h"
#include "format/file_names.h"

namespace scenario {
namespace {

using std::to_string;

struct CellField {
  const char* name;
  int64_t (*value)(const TrackCell&);
};
constexpr CellField kCellFields[] = {
    {"kind", [](const TrackCell& c) -> int64_t { return c.kind; }},
    {"value_a", [](const TrackCell& c) -> int64_t { return c.value_a; }},
    {"value_b", [](const TrackCell& c) -> int64_t { return c.value_b; }},
    {"value_c", [](const TrackCell& c) -> int64_t { return c.value_c; }},
    {"value_d", [](const TrackCell& c) -> int64_t { return c.value_d; }},
    {"signal_time", [](const TrackCell& c) -> int64_t { return c.signal_time; }},
    {"approach_code", [](const TrackCell& c) -> int64_t { return c.approach_code; }},
    {"montagna_tipo", [](const TrackCell& c) -> int64_t { return c.montagna_tipo; }},
    {"speed_limit", [](const TrackCell& c) -> int64_t { return c.speed_limit; }},
    {"gradient", [](const TrackCell& c) -> int64_t { return c.gradient; }},
    {"adhesion", [](const TrackCell& c) -> int64_t { return c.adhesion; }},
};

struct EntryField {
  const char* name;
  int64_t (*value)(const StationEntry&);
};
constexpr EntryField kEntryFields[] = {
    {"station_type", [](const StationEntry& e) -> int64_t { return e.station_type; }},
    {"area_start", [](const StationEntry& e) -> int64_t { return e.area_start; }},
    {"area_end", [](const StationEntry& e) -> int64_t { return e.area_end; }},
    {"position", [](const StationEntry& e) -> int64_t { return e.position; }},
    {"option_a", [](const StationEntry& e) -> int64_t { return e.option_a; }},
    {"group1_a", [](const StationEntry& e) -> int64_t { return e.group1_a; }},
    {"group1_b", [](const StationEntry& e) -> int64_t { return e.group1_b; }},
    {"group2_a", [](const StationEntry& e) -> int64_t { return e.group2_a; }},
    {"group2_b", [](const StationEntry& e) -> int64_t { return e.group2_b; }},
    {"group2_c", [](const StationEntry& e) -> int64_t { return e.group2_c; }},
    {"group1_c", [](const StationEntry& e) -> int64_t { return e.group1_c; }},
    {"stop_value", [](const StationEntry& e) -> int64_t { return e.stop_value; }},
    {"option_c", [](const StationEntry& e) -> int64_t { return e.option_c; }},
    {"option_b", [](const StationEntry& e) -> int64_t { return e.option_b; }},
    {"time_seconds", [](const StationEntry& e) -> int64_t { return e.time_seconds; }},
};

std::string differs(const std::string& field, const std::string& in_file, const std::string& compiled) {
  return field + " is " + in_file + " in the file, " + compiled + " from the description";
}

// A name between quotes, in UTF-8 for the terminal.
std::string quoted(const std::string& cp1252) {
  std::string text = "'";
  text += cp1252_to_utf8(cp1252);
  text += '\'';
  return text;
}

std::string more(size_t count, const char* what) {
  return count > 1 ? " (and " + to_string(count - 1) + " more " + what + " differ)" : "";
}

void compare_cells(const std::vector<TrackCell>& compiled, const std::vector<TrackCell>& files, Findings& findings) {
  if (compiled.size() != files.size()) {
    findings.add("track cells", "the file holds " + to_string(files.size()) + " cells, the description gives " +
                                    to_string(compiled.size()));
  }
  const size_t common = std::min(compiled.size(), files.size());
  size_t differing = 0;
  size_t first = 0;
  for (size_t i = 0; i < common; ++i) {
    if (compiled[i] == files[i]) continue;
    if (differing++ == 0) first = i;
  }
  if (differing == 0) return;
  for (const CellField& field : kCellFields) {
    const int64_t want = field.value(files[first]);
    const int64_t got = field.value(compiled[first]);
    if (want == got) continue;
    findings.add(cell_place(static_cast<int64_t>(first)),
                 differs(field.name, to_string(want), to_string(got)) + more(differing, "cells"));
    return;
  }
}

void compare_entries(const ScenarioRecord& compiled, const ScenarioRecord& files, Findings& findings) {
  for (size_t k = 0; k < files.size(); ++k) {
    if (compiled[k] == files[k]) continue;
    if (compiled[k].name != files[k].name) {
      findings.add(entry_place(static_cast<int64_t>(k)),
                   differs("the name", quoted(files[k].name), quoted(compiled[k].name)));
      return;
    }
    for (const EntryField& field : kEntryFields) {
      const int64_t want = field.value(files[k]);
      const int64_t got = field.value(compiled[k]);
      if (want == got) continue;
      findings.add(entry_place(static_cast<int64_t>(k)), differs(field.name, to_string(want), to_string(got)));
      return;
    }
  }
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

bool same_bits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

void compare_plans(const LinePlan& compiled, const LinePlan& files, Findings& findings) {
  const std::string place = "line record";
  if (compiled.plan_length() != files.plan_length()) {
    findings.add(place, "the plan runs to metre " + to_string(files.plan_length()) + " in the file, to " +
                            to_string(compiled.plan_length()) + " from the description");
  }
  if (compiled.started() != files.started() || compiled.next_metre() != files.next_metre()) {
    findings.add(place, "the plan holds points to metre " + to_string(files.next_metre() - 1) + " in the file, to " +
                            to_string(compiled.next_metre() - 1) + " from the description");
  }
  if (!compiled.started() || !files.started()) return;
  // Both plans walked side by side, a block of points at a time: the compiled plan is held as
  // runs and is never laid out whole.
  constexpr int32_t kBlock = 4096;
  const int32_t common = std::min(compiled.next_metre(), files.next_metre());
  PlanWalk ours(compiled);
  PlanWalk theirs(files);
  std::vector<PlanPoint> from_description;
  std::vector<PlanPoint> in_file;
  for (int32_t first = 2; first < common; first += kBlock) {
    const int32_t count = std::min(kBlock, common - first);
    from_description.clear();
    in_file.clear();
    ours.take(count, [&](PlanPoint point) { from_description.push_back(point); });
    theirs.take(count, [&](PlanPoint point) { in_file.push_back(point); });
    for (size_t i = 0; i < from_description.size(); ++i) {
      const PlanPoint a = from_description[i];
      const PlanPoint b = in_file[i];
      if (same_bits(a.x, b.x) && same_bits(a.y, b.y)) continue;
      findings.add(metre_place(first + static_cast<int32_t>(i)),
                   "the point is (" + number(b.x) + ", " + number(b.y) + ") in the file, (" + number(a.x) + ", " +
                       number(a.y) + ") from the description");
      return;
    }
  }
}

}  // namespace

CompileResult compile_descriptions(const DescriptionTexts& texts, const ScenarioModel& names_from, bool with_plan,
                                   CompileState* compiled) {
  *compiled = CompileState();
  compiled->line_name = names_from.line_name;
  compiled->train_number = names_from.train_number;
  const ScenarioFileNames names =
      scenario_file_names(cp1252_to_utf8(names_from.line_name), cp1252_to_utf8(names_from.train_number));
  const Description line{names.line_description, true, texts.line};
  const Description train{names.train_description, true, texts.train};
  return compile(*compiled, with_plan, line, train);
}

void compare_compiled(const CompileState& compiled, const CompileResult& result, const ScenarioModel& files,
                      Findings& findings) {
  const std::string place = "compile";
  if (compiled.error().ErrorCode != 0) {
    const ErrorDescription error = describe_error(compiled.error().ErrorCode);
    findings.add(place, "the description compiles with error " + to_string(compiled.error().ErrorCode) +
                            (error.has_position ? " at " + to_string(compiled.error().ErrorPosition) + " m" : "") + ": " +
                            error.words);
  }
  if (result.fatal != 0) {
    findings.add(place, "the description ends in the fatal report " + to_string(result.fatal) +
                            ": a header slot of cell 1 or entry 85 is taken");
    return;
  }
  if (result.no_model) {
    findings.add(place, "the description gives no track model");
    return;
  }
  compare_cells(compiled.cells, files.cells, findings);
  compare_entries(compiled.station_table, files.station_table, findings);
  if (files.plan.allocated()) compare_plans(compiled.plan, files.plan, findings);
}

}  // namespace scenario
