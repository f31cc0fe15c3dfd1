// The findings of a check in the three forms scenario_tool check writes.
//
//  - text, as editors and compilers' error lists read it, each finding followed by its line and
//    a caret under the offending field:
//      FILE:LINE:COLUMN: error: compile error N at P m: WORDS
//      FILE:LINE:COLUMN: error: fatal report " Errore n. 1250": WORDS
//      FILE:LINE:COLUMN: warning: WORDS [NAME]
//  - JSON: an array of objects with file, line, column, severity ("error" or "warning"), code (the
//    error number, the fatal report's number, or the warning's name), message, position (metres, or
//    null) and reported (true for the error the compile itself reports);
//  - SARIF 2.1.0: one run of the tool, one rule per error number, fatal report and warning name,
//    one result per finding with its rule, level and physical location; the error the compile
//    reports has rank 100 and the property "reported". A relative path is a relative URI
//    reference, an absolute one a file:// URI, every byte a URI cannot hold percent-encoded.
// In the text form the error the compile reports comes first.
// A finding without a line has line and column 0 in JSON and no region in SARIF.
//
// Bounded output. The findings are written as they go (no form is built whole in memory), at most
// `max_per_file` of each file (0: all), the error the compile reports always among them; findings
// the check only counted (`not_kept`, CheckOutcome::not_kept) are not shown either; the text
// form then says of each file with more "FILE: N more findings not shown". A message longer than
// kMaxMessageBytes is cut there ("..."). JSON and SARIF are valid UTF-8 whatever the bytes of a
// path or a message: a byte that is not part of a UTF-8 character is written as U+FFFD.
#ifndef SCENARIO_CLI_FINDING_FORMATS_H_
#define SCENARIO_CLI_FINDING_FORMATS_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/check_findings.h"

namespace scenario {

// The code of a finding for a description that could not be converted from UTF-8.
inline constexpr const char* kEncodingCode = "encoding";

// How many findings of one file check writes unless told otherwise (--max-findings).
inline constexpr size_t kDefaultMaxFindings = 300;
// The longest message written whole, in bytes.
inline constexpr size_t kMaxMessageBytes = 240;

// The files with findings not shown, each with how many.
using FindingsNotShown = std::vector<std::pair<std::string, size_t>>;

FindingsNotShown write_findings_text(std::ostream& out, const std::vector<CheckFinding>& findings,
                                     size_t max_per_file = 0, const FindingsNotShown& not_kept = {});
FindingsNotShown write_findings_json(std::ostream& out, const std::vector<CheckFinding>& findings,
                                     size_t max_per_file = 0, const FindingsNotShown& not_kept = {});
FindingsNotShown write_findings_sarif(std::ostream& out, const std::vector<CheckFinding>& findings,
                                      size_t max_per_file = 0, const FindingsNotShown& not_kept = {});

// Every finding, as one string.
std::string findings_text(const std::vector<CheckFinding>& findings);

// `bytes` with every byte that is not part of a valid UTF-8 character replaced by U+FFFD.
std::string valid_utf8(std::string_view bytes);
// A path as a SARIF artifact URI: a relative reference, or for an absolute path a file:// URI.
std::string sarif_uri(const std::string& path);

}  // namespace scenario

#endif  // SCENARIO_CLI_FINDING_FORMATS_H_
