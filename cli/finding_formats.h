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
//    reports has rank 100 and the property "reported".
// In the text form the error the compile reports comes first.
// A finding without a line has line and column 0 in JSON and no region in SARIF.
#ifndef SCENARIO_CLI_FINDING_FORMATS_H_
#define SCENARIO_CLI_FINDING_FORMATS_H_

#include <string>
#include <vector>

#include "compiler/check_findings.h"

namespace scenario {

// The code of a finding for a description that could not be converted from UTF-8.
inline constexpr const char* kEncodingCode = "encoding";

std::string findings_text(const std::vector<CheckFinding>& findings);
std::string findings_json(const std::vector<CheckFinding>& findings);
std::string findings_sarif(const std::vector<CheckFinding>& findings);

}  // namespace scenario

#endif  // SCENARIO_CLI_FINDING_FORMATS_H_
