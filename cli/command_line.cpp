#include "cli/command_line.h"

#include <cstdio>
#include <string>

#include "format/cp1252.h"

namespace scenario {

CLI::Validator non_empty_value() {
  return CLI::Validator([](const std::string& value) { return value.empty() ? std::string("needs a value") : ""; },
                        "", "non-empty value");
}

// The name is printed in a refusal only when it is printable UTF-8 (a control character or a
// stray byte would reach the terminal).
CLI::Validator file_name_part() {
  return CLI::Validator(
      [](const std::string& name) {
        if (name.empty()) return std::string("needs a value");
        if (name.find_first_of(std::string("/\\", 2)) != std::string::npos) {
          return "'" + name + "' must not hold a path separator";
        }
        for (size_t k = 0; k < name.size(); ++k) {
          const auto byte = static_cast<unsigned char>(name[k]);
          // C0 controls, DEL, and the C1 controls U+0080 to U+009F (C2 80 to C2 9F in UTF-8).
          const bool c1 = byte == 0xC2 && k + 1 < name.size() && static_cast<unsigned char>(name[k + 1]) <= 0x9F &&
                          static_cast<unsigned char>(name[k + 1]) >= 0x80;
          if (byte < 0x20 || byte == 0x7F || c1) return std::string("must not hold a control character");
        }
        const Utf8Conversion converted = utf8_to_cp1252_strict(name);
        if (converted.malformed) return std::string("is not UTF-8 text");
        if (!converted.ok) {
          char code[16];
          std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(converted.code_point));
          return "'" + name + "' holds a character code page 1252 cannot hold (" + code +
                 "), and the name is written in it";
        }
        return std::string();
      },
      "", "file name part");
}

}  // namespace scenario
