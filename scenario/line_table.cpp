#include "scenario/line_table.h"

#include "format/cp1252.h"

namespace scenario {

std::string render_table(LineTable righe) {
  std::string bytes;
  for (std::string_view entry : righe) {
    if (entry == kEndMarker) break;
    bytes += utf8_to_cp1252(entry);
    bytes += "\r\n";
  }
  return bytes;
}

Status scrivi_righe(OutputSink& sink, const std::string& name, LineTable righe) {
  return sink.write_file(name, render_table(righe));
}

}  // namespace scenario
