// Arbitrary bytes as the standard input of the language server: the message reader (framing,
// headers, lengths) and the server's answer to every body it frames (bad JSON, wrong types,
// positions out of range, UTF-16 offsets past line ends). The server is initialized first and has
// a small description open, so that the bytes reach the features too.
//
// Beyond the sanitizers: every answer is one framed message whose body is a JSON object.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/lsp_framing.h"
#include "cli/lsp_server.h"

namespace {

void require(bool condition) {
  if (!condition) __builtin_trap();
}

void check_answers(const std::vector<std::string>& answers) {
  for (const std::string& answer : answers) {
    std::istringstream in(answer);
    scenario::MessageReader reader(in);
    std::string body;
    require(reader.read(&body) == scenario::FrameRead::kMessage);
    const nlohmann::json message = nlohmann::json::parse(body, nullptr, false);
    require(message.is_object());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scenario::LspServer server;
  check_answers(server.handle(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})"));
  check_answers(server.handle(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///f/a_1-.txt",)"
      R"("text":"[generale]\r\nsabbia, 60\r\n[stazioni]\r\nstazione, 0, 7, 800\r\n\u00e8\ud83d\ude82,\r\n"}}})"));
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  scenario::MessageReader reader(in);
  std::string body;
  for (int messages = 0; messages < 64 && !server.exit_requested(); ++messages) {
    const scenario::FrameRead read = reader.read(&body);
    if (read == scenario::FrameRead::kEnd) break;
    check_answers(read == scenario::FrameRead::kMessage ? server.handle(body) : server.bad_framing(body));
  }
  return 0;
}
