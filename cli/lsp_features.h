// What the language server tells about a description: the check's findings as diagnostics, the
// meaning of a keyword or a value under the cursor, the keywords to complete, the outline, and
// the layout as an edit. Each takes the document's UTF-8 text and gives the protocol's JSON.
#ifndef SCENARIO_CLI_LSP_FEATURES_H_
#define SCENARIO_CLI_LSP_FEATURES_H_

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/lsp_document.h"
#include "compiler/check_findings.h"

namespace scenario {

// The findings placed in `file` as LSP diagnostics on `document`: each one's range is the field
// at fault (from the finding's column to the field's end).
nlohmann::json diagnostics_of(const std::vector<CheckFinding>& findings, const std::string& file,
                              const LspDocument& document);

// The hover at a position: a record's keyword or one of its values; null when there is none.
nlohmann::json hover_at(const LspDocument& document, TextPosition position);

// Every keyword and section header, each keyword with a snippet of its record's fields.
nlohmann::json completion_items();

// The sections, and within them the stations, signals, slowdowns and curves.
nlohmann::json document_symbols(const LspDocument& document);

// Hints naming each value's field ("posizione:") before the value, on lines `first_line` to
// `last_line` of the document (clamped to its lines).
nlohmann::json inlay_hints(const LspDocument& document, int first_line, int last_line);

// The edits that lay the document out (none when it is laid out already).
nlohmann::json formatting_edits(const LspDocument& document);

// What a value means, in words: a position as "Km 12+450"; nothing for a plain number.
std::string kilometre_mark(long long metres);

}  // namespace scenario

#endif  // SCENARIO_CLI_LSP_FEATURES_H_
