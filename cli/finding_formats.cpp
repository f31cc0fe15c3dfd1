#include "cli/finding_formats.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "compiler/compile.h"
#include "compiler/error_catalogue.h"
#include "scenario/compile.h"

namespace scenario {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kToolName = "scenario_tool";
constexpr const char* kInformationUri = "file:///usr/share/doc/scenario-compiler/description-format.md";
constexpr const char* kSarifSchema = "https://json.schemastore.org/sarif-2.1.0.json";

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

// "compile error N at P m: WORDS" for a compile error, "WORDS [NAME]" for a warning.
std::string headline(const CheckFinding& finding) {
  if (is_compile_error(finding)) {
    std::string text = "compile error " + finding.code;
    if (finding.position) text += " at " + std::to_string(*finding.position) + " m";
    return text + ": " + finding.message;
  }
  if (finding.severity == Severity::kError) return finding.message;
  return finding.message + " [" + finding.code + "]";
}

// A path as a URI reference: the bytes that a URI cannot hold as they are, percent-encoded.
std::string uri_of(const std::string& path) {
  std::string uri;
  for (const char c : path) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && c != '%' && c != '?' && c != '#' && c != '\\') {
      uri.push_back(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned>(byte));
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

}  // namespace

std::string findings_text(const std::vector<CheckFinding>& findings) {
  std::string text;
  auto add = [&text](const CheckFinding& finding) {
    text += editor_line(finding.place, severity_name(finding), headline(finding)) + "\n";
    text += source_excerpt(finding.place);
  };
  // The error the compile reports leads, so that an author fixes first what the compile reached.
  for (const CheckFinding& finding : findings) {
    if (finding.reported) add(finding);
  }
  for (const CheckFinding& finding : findings) {
    if (!finding.reported) add(finding);
  }
  return text;
}

std::string findings_json(const std::vector<CheckFinding>& findings) {
  json array = json::array();
  for (const CheckFinding& finding : findings) {
    array.push_back({{"file", finding.place.file},
                     {"line", finding.place.line},
                     {"column", finding.place.column},
                     {"severity", severity_name(finding)},
                     {"code", finding.code},
                     {"message", finding.message},
                     {"position", finding.position ? json(*finding.position) : json(nullptr)},
                     {"reported", finding.reported}});
  }
  return array.dump(2) + "\n";
}

std::string findings_sarif(const std::vector<CheckFinding>& findings) {
  json results = json::array();
  for (const CheckFinding& finding : findings) {
    json location = {{"artifactLocation", {{"uri", uri_of(finding.place.file)}}}};
    if (finding.place.known()) {
      location["region"] = {{"startLine", finding.place.line}, {"startColumn", finding.place.column}};
    }
    json result = {{"ruleId", finding.code},
                   {"level", severity_name(finding)},
                   {"message", {{"text", headline(finding)}}},
                   {"locations", json::array({{{"physicalLocation", location}}})}};
    // The error the compile reports: a property bag entry, and the highest rank.
    if (finding.reported) {
      result["rank"] = 100.0;
      result["properties"] = {{"reported", true}};
    }
    results.push_back(std::move(result));
  }
  const json driver = {{"name", kToolName},
                       {"version", version()},
                       {"informationUri", kInformationUri},
                       {"rules", sarif_rules()}};
  const json sarif = {{"version", "2.1.0"},
                      {"$schema", kSarifSchema},
                      {"runs", json::array({{{"tool", {{"driver", driver}}}, {"results", results}}})}};
  return sarif.dump(2) + "\n";
}

}  // namespace scenario
