#include "cli/lsp_features.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "description/description_layout.h"
#include "description/record_kinds.h"
#include "model/cell_values.h"

namespace scenario {
namespace {

using nlohmann::json;

json position_json(TextPosition position) { return {{"line", position.line}, {"character", position.character}}; }

json range_json(TextPosition from, TextPosition to) {
  return {{"start", position_json(from)}, {"end", position_json(to)}};
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::optional<long long> number_of(std::string_view text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  size_t i = text.front() == '-' ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return text.front() == '-' ? -value : value;
}

std::string two_digits(long long value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%02lld", value);
  return buffer;
}

// The record's values of hours, minutes and seconds as "19:45:30", when it has all three.
std::optional<std::string> time_of(const RecordLine& record, std::string_view line) {
  std::optional<long long> parts[3];
  const auto fields = record.kind->fields;
  for (size_t i = 0; i < fields.size() && i < record.values.size(); ++i) {
    const FieldUnit unit = fields[i].unit;
    const int slot = unit == FieldUnit::kHours ? 0 : unit == FieldUnit::kMinutes ? 1 : unit == FieldUnit::kSeconds ? 2 : -1;
    // A station's stop duration is in seconds too; the time's seconds come after its minutes.
    if (slot < 0 || (slot == 2 && !parts[1])) continue;
    parts[slot] = number_of(line.substr(record.values[i].offset, record.values[i].length));
  }
  if (!parts[0] || !parts[1] || !parts[2]) return std::nullopt;
  return two_digits(*parts[0]) + ":" + two_digits(*parts[1]) + ":" + two_digits(*parts[2]);
}

std::string field_list(const RecordKind& kind) {
  std::string text;
  for (const RecordField& field : kind.fields) {
    text += "\n- `" + std::string(field.name) + "`";
    const std::string_view unit = unit_name(field.unit);
    if (!unit.empty()) text += " (" + std::string(unit) + ")";
    text += ": " + std::string(field.meaning);
  }
  return text;
}

// The value's meaning in words, after its name.
std::string value_words(const RecordLine& record, size_t index, std::string_view line) {
  const RecordField& field = record.kind->fields[index];
  const std::string_view text = line.substr(record.values[index].offset, record.values[index].length);
  const std::optional<long long> value = number_of(text);
  if (field.unit == FieldUnit::kText) return "`" + std::string(text) + "`";
  if (!value) {
    return text.empty() ? std::string("empty: read as 0") : "`" + std::string(text) + "` is no whole number: read as 0";
  }
  std::string words = std::to_string(*value);
  const std::string_view unit = unit_name(field.unit);
  if (!unit.empty()) words += " " + std::string(unit);
  switch (field.unit) {
    case FieldUnit::kPosition:
      words += ", " + kilometre_mark(*value);
      break;
    case FieldUnit::kHours:
    case FieldUnit::kMinutes:
    case FieldUnit::kSeconds:
      if (const auto time = time_of(record, line); time && std::string_view(field.name) != "sosta") {
        words += " (" + *time + ")";
      }
      break;
    case FieldUnit::kKmh:
      if (*value % 5 != 0) words += " (not a multiple of 5 km/h)";
      // A speed limit is stored in steps of 5 km/h, one byte a cell.
      if (std::string_view(record.kind->keyword) == "velocita") {
        words += "; stored as " + std::to_string(speed_steps(*value)) + " (steps of 5 km/h)";
      }
      break;
    default:
      break;
  }
  return words;
}

// A record line's section-independent reading (the first record's layout has the same fields).
RecordLine record_on(std::string_view line) { return read_record_line(line, false); }

}  // namespace

std::string kilometre_mark(long long metres) {
  const long long whole = std::llabs(metres);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "Km %s%lld+%03lld", metres < 0 ? "-" : "", whole / 1000, whole % 1000);
  return buffer;
}

json diagnostics_of(const std::vector<CheckFinding>& findings, const std::string& file, const LspDocument& document) {
  json diagnostics = json::array();
  for (const CheckFinding& finding : findings) {
    if (finding.place.file != file) continue;
    const int line = std::max(finding.place.line - 1, 0);
    const std::string_view text = document.line(line);
    size_t start = bytes_of_characters(text, static_cast<size_t>(std::max(finding.place.column - 1, 0)));
    size_t end = start;
    while (end < text.size() && text[end] != ',') ++end;
    while (end > start && is_blank(text[end - 1])) --end;
    if (finding.place.line <= 0) {
      start = 0;
      end = text.size();
    }
    if (end == start) end = text.size();
    json diagnostic = {{"range", range_json(document.position_at(line, start), document.position_at(line, end))},
                       {"severity", finding.severity == Severity::kError ? 1 : 2},
                       {"code", finding.code},
                       {"source", "scenario_tool"},
                       {"message", finding.message}};
    diagnostics.push_back(std::move(diagnostic));
  }
  return diagnostics;
}

json hover_at(const LspDocument& document, TextPosition position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  const std::string_view line = document.line(position.line);
  const size_t at = document.offset_of(position) - document.line_start(position.line);
  const RecordLine record = record_on(line);
  if (record.kind == nullptr) return nullptr;
  const RecordKind& kind = *record.kind;
  const auto covers = [&](RecordLine::Span span) {
    return at >= span.offset && at <= span.offset + span.length;
  };
  std::string text;
  RecordLine::Span span = record.keyword;
  if (covers(record.keyword)) {
    text = "**" + std::string(kind.title) + "** `" + std::string(line.substr(span.offset, span.length)) + "`\n" +
           field_list(kind);
  } else {
    for (size_t i = 0; i < record.values.size() && i < kind.fields.size(); ++i) {
      if (!covers(record.values[i])) continue;
      const RecordField& field = kind.fields[i];
      span = record.values[i];
      text = "`" + std::string(field.name) + "` of " + std::string(kind.title) + ": " + std::string(field.meaning) +
             "\n\n" + value_words(record, i, line);
      break;
    }
  }
  if (text.empty()) return nullptr;
  return {{"contents", {{"kind", "markdown"}, {"value", text}}},
          {"range", range_json(document.position_at(position.line, span.offset),
                               document.position_at(position.line, span.offset + span.length))}};
}

json completion_items() {
  json items = json::array();
  std::vector<std::string_view> seen;
  for (const RecordKind& kind : record_kinds()) {
    std::string_view keyword = kind.keyword;
    if (std::find(seen.begin(), seen.end(), keyword) != seen.end()) continue;
    seen.push_back(keyword);
    std::string label(keyword);
    std::string snippet;
    if (keyword == "curva") {
      label = "curvad1";
      snippet = "curva${1|d,s|}${2|1,2,3,4,5,6|}";
    } else {
      snippet = label;
    }
    int placeholder = keyword == "curva" ? 3 : 1;
    for (const RecordField& field : kind.fields) {
      snippet += std::string(field.separator) + "${" + std::to_string(placeholder++) + ":" + field.name + "}";
    }
    snippet += kind.tail;
    items.push_back({{"label", label},
                     {"kind", 14},
                     {"detail", kind.title},
                     {"documentation", {{"kind", "markdown"}, {"value", field_list(kind)}}},
                     {"insertTextFormat", 2},
                     {"insertText", snippet}});
  }
  for (const std::string_view header : section_headers()) {
    items.push_back({{"label", std::string(header)}, {"kind", 9}, {"detail", "section"}});
  }
  return items;
}

json inlay_hints(const LspDocument& document, int first_line, int last_line) {
  json hints = json::array();
  const int last = std::min(last_line, document.line_count() - 1);
  for (int index = std::max(first_line, 0); index <= last; ++index) {
    const std::string_view line = document.line(index);
    const RecordLine record = record_on(line);
    if (record.kind == nullptr) continue;
    for (size_t i = 0; i < record.values.size() && i < record.kind->fields.size(); ++i) {
      hints.push_back({{"position", position_json(document.position_at(index, record.values[i].offset))},
                       {"label", std::string(record.kind->fields[i].name) + ":"},
                       {"kind", 2},
                       {"paddingRight", true}});
    }
  }
  return hints;
}

json document_symbols(const LspDocument& document) {
  json sections = json::array();
  json loose = json::array();
  for (int i = 0; i < document.line_count(); ++i) {
    const std::string_view line = document.line(i);
    size_t from = 0;
    while (from < line.size() && is_blank(line[from])) ++from;
    size_t to = line.size();
    while (to > from && is_blank(line[to - 1])) --to;
    const std::string_view trimmed = line.substr(from, to - from);
    const json range = range_json(document.position_at(i, from), document.position_at(i, to));
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      if (!sections.empty()) {
        // The section before ends on the line before this one.
        json& last = sections.back();
        last["range"]["end"] = position_json(document.position_at(std::max(i - 1, 0), document.line(std::max(i - 1, 0)).size()));
      }
      sections.push_back({{"name", std::string(trimmed)}, {"kind", 3}, {"range", range}, {"selectionRange", range},
                          {"children", json::array()}});
      continue;
    }
    const RecordLine record = record_on(line);
    if (record.kind == nullptr || record.values.empty()) continue;
    const std::string_view keyword = record.kind->keyword;
    const auto value = [&](size_t index) {
      return index < record.values.size() ? line.substr(record.values[index].offset, record.values[index].length)
                                          : std::string_view();
    };
    const std::optional<long long> where = number_of(value(0));
    const std::string mark = where ? kilometre_mark(*where) : std::string(value(0));
    std::string name;
    int kind = 0;
    if (keyword == "stazione") {
      name = std::string(value(16)) + " (" + mark + ")";
      kind = 23;
    } else if (keyword == "segnale") {
      name = "segnale " + mark;
      kind = 24;
    } else if (keyword == "rallentamento") {
      name = "rallentamento " + mark + ", " + std::string(value(1)) + " km/h";
      kind = 8;
    } else if (keyword == "curva") {
      name = std::string(line.substr(record.keyword.offset, record.keyword.length)) + " " + mark + ", " +
             std::string(value(1)) + " m";
      kind = 16;
    } else {
      continue;
    }
    json symbol = {{"name", name}, {"kind", kind}, {"range", range}, {"selectionRange", range}};
    if (!sections.empty()) {
      sections.back()["children"].push_back(std::move(symbol));
    } else {
      loose.push_back(std::move(symbol));
    }
  }
  if (!sections.empty()) {
    const int last = document.line_count() - 1;
    sections.back()["range"]["end"] = position_json(document.position_at(last, document.line(last).size()));
  }
  for (json& symbol : loose) sections.push_back(std::move(symbol));
  return sections;
}

json formatting_edits(const LspDocument& document) {
  const std::string laid = lay_out_description(document.text());
  if (laid == document.text()) return json::array();
  return json::array({{{"range", range_json(TextPosition{0, 0}, document.end())}, {"newText", laid}}});
}

}  // namespace scenario
