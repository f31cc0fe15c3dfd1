// Reading a description file named on a command line, for compile and check: the file's bytes,
// decoded to code page 1252 by the encoding asked for (see compiler/description_text.h).
#ifndef SCENARIO_CLI_DESCRIPTION_INPUT_H_
#define SCENARIO_CLI_DESCRIPTION_INPUT_H_

#include <string>

#include "compiler/compile.h"
#include "description/description_text.h"
#include "model/status.h"

namespace CLI {
class App;
}

namespace scenario {

// What became of a description file.
struct DescriptionInput {
  Status status;            // the file could not be read (a missing file is not a failure here)
  bool missing = false;     // no file at the path
  DescriptionText decoded;  // decoded.ok false: a character that could not be converted
};

// Reads `path` into *description (its name is the path as given) and decodes it.
DescriptionInput read_description_file(const std::string& path, TextEncoding encoding, Description* description);

// Declares --encoding ENCODING (auto, cp1252 or utf-8; default auto) on a command.
void add_encoding_option(CLI::App& command, std::string* encoding);

}  // namespace scenario

#endif  // SCENARIO_CLI_DESCRIPTION_INPUT_H_
