#include "cli/finding_formats.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "scenario/compile.h"

namespace scenario {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kToolName = "scenario_tool";
constexpr const char* kInformationUri = "file:///usr/share/doc/scenario-compiler/description-format.md";
constexpr const char* kSarifSchema = "https://json.schemastore.org/sarif-2.1.0.json";
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

const char* severity_name(const CheckFinding& finding) {
  return finding.severity == Severity::kError ? "error" : "warning";
}

bool is_fatal_report(const CheckFinding& finding) {
  return finding.severity == Severity::kError &&
         (finding.code == std::to_string(kFatalCell1ValueA) || finding.code == std::to_string(kFatalCell1ValueB));
}

bool is_compile_error(const CheckFinding& finding) {
  return finding.severity == Severity::kError && finding.code != kEncodingCode && !is_fatal_report(finding);
}

// The length of the UTF-8 character at the start of `bytes`, 0 when none starts there.
size_t utf8_length(std::string_view bytes) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const auto continues = [&](size_t k) { return k < bytes.size() && (at(k) & 0xC0) == 0x80; };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continues(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continues(1) || !continues(2)) return 0;
    if (lead == 0xE0 && at(1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && at(1) >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continues(1) || !continues(2) || !continues(3)) return 0;
    if (lead == 0xF0 && at(1) < 0x90) return 0;   // overlong
    if (lead == 0xF4 && at(1) >= 0x90) return 0;  // past U+10FFFF
    return 4;
  }
  return 0;
}

// At most kMaxMessageBytes of `message`, cut at a character boundary.
std::string clipped(const std::string& message) {
  if (message.size() <= kMaxMessageBytes) return message;
  size_t end = 0;
  while (end < kMaxMessageBytes) {
    const size_t length = utf8_length(std::string_view(message).substr(end));
    if (end + std::max<size_t>(length, 1) > kMaxMessageBytes) break;
    end += std::max<size_t>(length, 1);
  }
  return message.substr(0, end) + "...";
}

// "compile error N at P m: WORDS" for a compile error, "WORDS [NAME]" for a warning.
std::string headline(const CheckFinding& finding) {
  const std::string message = clipped(finding.message);
  if (is_compile_error(finding)) {
    std::string text = "compile error " + finding.code;
    if (finding.position) text += " at " + std::to_string(*finding.position) + " m";
    return text + ": " + message;
  }
  if (finding.severity == Severity::kError) return message;
  return message + " [" + finding.code + "]";
}

// The byte may stand in a URI as it is: an unreserved character, a sub-delimiter, ':', '@' or '/'.
bool uri_byte(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$&'()*+,;=:@/").find(c) != std::string_view::npos;
}

std::string percent_encoded(std::string_view path) {
  std::string uri;
  for (const char c : path) {
    if (uri_byte(c)) {
      uri.push_back(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
      uri += escaped;
    }
  }
  return uri;
}

json sarif_rules() {
  json rules = json::array();
  for (const ErrorDescription& error : error_catalogue()) {
    rules.push_back({{"id", std::to_string(error_code(error.number))},
                     {"name", "compile-error-" + std::to_string(error_code(error.number))},
                     {"shortDescription", {{"text", error.words}}},
                     {"defaultConfiguration", {{"level", "error"}}}});
  }
  for (const int fatal : {kFatalCell1ValueA, kFatalCell1ValueB}) {
    rules.push_back({{"id", std::to_string(fatal)},
                     {"name", "fatal-report-" + std::to_string(fatal)},
                     {"shortDescription", {{"text", std::string("a header slot of cell 1 (its ") +
                                                        (fatal == kFatalCell1ValueA ? "first" : "second") +
                                                        " value) is taken: no binary file is written"}}},
                     {"defaultConfiguration", {{"level", "error"}}}});
  }
  rules.push_back({{"id", kEncodingCode},
                   {"shortDescription", {{"text", "a UTF-8 description that cannot be converted to code page 1252"}}},
                   {"defaultConfiguration", {{"level", "error"}}}});
  for (const WarningKind& warning : warning_kinds()) {
    rules.push_back({{"id", warning.name},
                     {"shortDescription", {{"text", warning.summary}}},
                     {"defaultConfiguration", {{"level", "warning"}}}});
  }
  return rules;
}

// Which findings are shown: at most `max_per_file` of each file (0: all) in the order given, and
// the reported one whatever its rank. Counts those not shown by file, in the order files come.
class Selection {
 public:
  // `not_kept`: findings the check only counted, not shown either.
  Selection(const std::vector<CheckFinding>& findings, size_t max_per_file, const FindingsNotShown& not_kept)
      : shown_(findings.size(), true) {
    for (const auto& [file, count] : not_kept) add_not_shown(file, count);
    if (max_per_file == 0) return;
    std::map<std::string, size_t> seen;
    for (size_t k = 0; k < findings.size(); ++k) {
      const CheckFinding& finding = findings[k];
      if (finding.reported || ++seen[finding.place.file] <= max_per_file) continue;
      shown_[k] = false;
      add_not_shown(finding.place.file, 1);
    }
  }
  bool shown(size_t k) const { return shown_[k]; }
  const FindingsNotShown& not_shown() const { return not_shown_; }

 private:
  void add_not_shown(const std::string& file, size_t count) {
    auto entry = not_shown_.begin();
    while (entry != not_shown_.end() && entry->first != file) ++entry;
    if (entry == not_shown_.end()) {
      not_shown_.emplace_back(file, count);
    } else {
      entry->second += count;
    }
  }

  std::vector<bool> shown_;
  FindingsNotShown not_shown_;
};

// Writes `value`, dumped with an indent of two, at `depth` levels of two spaces.
void write_indented(std::ostream& out, const json& value, int depth) {
  const std::string indent(static_cast<size_t>(2 * depth), ' ');
  const std::string dumped = value.dump(2);
  out << indent;
  for (const char c : dumped) {
    out << c;
    if (c == '\n') out << indent;
  }
}

}  // namespace

std::string valid_utf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = utf8_length(bytes);
    if (length == 0) {
      text += kReplacement;
      bytes.remove_prefix(1);
    } else {
      text.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return text;
}

// "/a b" is "file:///a%20b"; "C:\x" (a Windows absolute path) is "file:///C:/x"; "\\host\share\x"
// is "file://host/share/x"; a relative path stays relative.
std::string sarif_uri(const std::string& path) {
  if (path.starts_with("/")) return "file://" + percent_encoded(path);
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool share = path.starts_with("\\\\");
  if (!drive && !share) return percent_encoded(path);
  std::string slashed = path;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  return drive ? "file:///" + percent_encoded(slashed) : "file:" + percent_encoded(slashed);
}

FindingsNotShown write_findings_text(std::ostream& out, const std::vector<CheckFinding>& findings,
                                     size_t max_per_file, const FindingsNotShown& not_kept) {
  const Selection selection(findings, max_per_file, not_kept);
  auto add = [&out](const CheckFinding& finding) {
    out << editor_line(finding.place, severity_name(finding), headline(finding)) << "\n"
        << source_excerpt(finding.place);
  };
  // The error the compile reports leads, so that an author fixes first what the compile reached.
  for (const CheckFinding& finding : findings) {
    if (finding.reported) add(finding);
  }
  for (size_t k = 0; k < findings.size(); ++k) {
    if (!findings[k].reported && selection.shown(k)) add(findings[k]);
  }
  for (const auto& [file, count] : selection.not_shown()) {
    out << file << ": " << count << (count == 1 ? " more finding" : " more findings") << " not shown\n";
  }
  return selection.not_shown();
}

FindingsNotShown write_findings_json(std::ostream& out, const std::vector<CheckFinding>& findings,
                                     size_t max_per_file, const FindingsNotShown& not_kept) {
  const Selection selection(findings, max_per_file, not_kept);
  bool first = true;
  for (size_t k = 0; k < findings.size(); ++k) {
    if (!selection.shown(k)) continue;
    const CheckFinding& finding = findings[k];
    out << (first ? "[\n" : ",\n");
    first = false;
    write_indented(out,
                   json{{"file", valid_utf8(finding.place.file)},
                        {"line", finding.place.line},
                        {"column", finding.place.column},
                        {"severity", severity_name(finding)},
                        {"code", valid_utf8(finding.code)},
                        {"message", valid_utf8(clipped(finding.message))},
                        {"position", finding.position ? json(*finding.position) : json(nullptr)},
                        {"reported", finding.reported}},
                   1);
  }
  out << (first ? "[]\n" : "\n]\n");
  return selection.not_shown();
}

// The run is written around its results: everything before "results" and after it comes from one
// dump of the run without them, and each result is dumped on its own.
FindingsNotShown write_findings_sarif(std::ostream& out, const std::vector<CheckFinding>& findings,
                                      size_t max_per_file, const FindingsNotShown& not_kept) {
  const Selection selection(findings, max_per_file, not_kept);
  const json driver = {
      {"name", kToolName}, {"version", version()}, {"informationUri", kInformationUri}, {"rules", sarif_rules()}};
  json run = {{"tool", {{"driver", driver}}}, {"results", "RESULTS"}};
  size_t not_shown = 0;
  for (const auto& [file, count] : selection.not_shown()) not_shown += count;
  if (not_shown > 0) run["properties"] = {{"findingsNotShown", not_shown}};
  const json sarif = {{"version", "2.1.0"}, {"$schema", kSarifSchema}, {"runs", json::array({run})}};
  const std::string frame = sarif.dump(2);
  const std::string marker = "\"results\": \"RESULTS\"";
  const size_t at = frame.find(marker);
  out << frame.substr(0, at) << "\"results\": [";
  bool first = true;
  for (size_t k = 0; k < findings.size(); ++k) {
    if (!selection.shown(k)) continue;
    const CheckFinding& finding = findings[k];
    json location = {{"artifactLocation", {{"uri", sarif_uri(finding.place.file)}}}};
    if (finding.place.known()) {
      location["region"] = {{"startLine", finding.place.line}, {"startColumn", finding.place.column}};
    }
    json result = {{"ruleId", valid_utf8(finding.code)},
                   {"level", severity_name(finding)},
                   {"message", {{"text", valid_utf8(headline(finding))}}},
                   {"locations", json::array({{{"physicalLocation", location}}})}};
    // The error the compile reports: a property bag entry, and the highest rank.
    if (finding.reported) {
      result["rank"] = 100.0;
      result["properties"] = {{"reported", true}};
    }
    out << (first ? "\n" : ",\n");
    first = false;
    write_indented(out, result, 4);
  }
  out << (first ? "]" : "\n      ]") << frame.substr(at + marker.size()) << "\n";
  return selection.not_shown();
}

std::string findings_text(const std::vector<CheckFinding>& findings) {
  std::ostringstream text;
  write_findings_text(text, findings);
  return text.str();
}

}  // namespace scenario
