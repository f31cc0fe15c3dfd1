#include "tools/check_command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/description_input.h"
#include "cli/finding_formats.h"
#include "cli/reports.h"
#include "compiler/description_check.h"
#include "model/status.h"

namespace scenario {
namespace {

constexpr const char* kProgram = "scenario_tool check";

// The footer of check's help: what it reports, every warning's name, the exit statuses.
std::string check_footer() {
  std::string footer =
      "Reads both descriptions with the compile's own parsers and reports every finding at once,\n"
      "ordered by file and line: every compile error (also those after the first, which the compile\n"
      "never reaches; the one the compile reports, or its fatal report, comes first in the text form\n"
      "and is marked \"reported\" in JSON and SARIF), and warnings with their names in brackets:\n";
  for (const WarningKind& warning : warning_kinds()) {
    std::string name = warning.name;
    name.resize(std::max<size_t>(name.size(), 20), ' ');
    footer += "  " + name + " " + warning.summary + "\n";
  }
  footer +=
      "A description that is not there is the compile's error 101 (line) or 25 (train). Writes no file.\n"
      "At most --max-findings findings of each file are written (the one the compile reports always),\n"
      "then, in the text form, \"FILE: N more findings not shown\" (on standard error for JSON and\n"
      "SARIF); the exit status counts them all.\n"
      "\n"
      "Exit status: 0 no error (warnings allowed); 1 an error, or with --werror any finding; 3 a file\n"
      "could not be read; 64 bad usage.";
  return footer;
}

// A description refused by its encoding, as a finding.
CheckFinding encoding_finding(const DescriptionText& decoded) {
  CheckFinding finding;
  finding.severity = Severity::kError;
  finding.code = kEncodingCode;
  finding.message = decoded.words;
  finding.place = decoded.place;
  return finding;
}

}  // namespace

CLI::App* add_check_command(CLI::App& app, CheckOptions* options) {
  CLI::App* command = app.add_subcommand("check", "report every error and warning of a line and a train description");
  command->add_option("--line", options->line, "the line description")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--train", options->train, "the train description")
      ->type_name("FILE")->required()->check(non_empty_value());
  command->add_option("--format", options->format, "how findings are written")
      ->type_name("FORMAT")->capture_default_str()->check(CLI::IsMember({"text", "json", "sarif"}));
  add_encoding_option(*command, &options->encoding);
  command->add_flag_callback(
      "--no-plan", [options] { options->plan = false; }, "pass the curves over, as compile --no-plan does");
  command->add_flag("--werror", options->werror, "a warning fails the check as an error does");
  command->add_option("--max-findings", options->max_findings,
                      "write at most N findings of each file, then how many more there are (0: all)")
      ->type_name("N")->capture_default_str()->check(CLI::NonNegativeNumber);
  command->footer(check_footer());
  return command;
}

int run_check_command(const CheckOptions& options) {
  const TextEncoding encoding = text_encoding_named(options.encoding).value_or(TextEncoding::kAuto);
  Description line;
  Description train;
  CheckOutcome outcome;
  for (const auto& [path, description] : {std::pair{&options.line, &line}, std::pair{&options.train, &train}}) {
    const DescriptionInput input = read_description_file(*path, encoding, description);
    if (!input.status.ok()) return report_file_system_failure(input.status, kProgram);
    if (!input.missing && !input.decoded.ok) outcome.findings.push_back(encoding_finding(input.decoded));
  }
  // The check keeps no more findings than can be shown: its memory stays bounded on any input.
  if (outcome.findings.empty()) outcome = check_descriptions(line, train, options.plan, options.max_findings);
  const std::vector<CheckFinding>& findings = outcome.findings;

  if (options.format == "json" || options.format == "sarif") {
    const FindingsNotShown not_shown = options.format == "json"
                                           ? write_findings_json(std::cout, findings, options.max_findings, outcome.not_kept)
                                           : write_findings_sarif(std::cout, findings, options.max_findings, outcome.not_kept);
    std::cout.flush();
    for (const auto& [file, count] : not_shown) {
      std::cerr << kProgram << ": " << file << ": " << count << (count == 1 ? " more finding" : " more findings")
                << " not shown (--max-findings " << options.max_findings << ")\n";
    }
  } else {
    write_findings_text(std::cout, findings, options.max_findings, outcome.not_kept);
  }
  std::cout.flush();
  bool failed = outcome.errors_not_kept > 0 || (options.werror && !outcome.not_kept.empty());
  for (const CheckFinding& finding : findings) {
    if (finding.severity == Severity::kError || options.werror) failed = true;
  }
  return failed ? kExitCompileError : kExitClean;
}

}  // namespace scenario
