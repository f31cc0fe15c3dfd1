#include "tools/lsp_command.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/lsp_framing.h"
#include "cli/lsp_server.h"

namespace scenario {
namespace {

constexpr const char* kLspFooter =
    "Speaks the Language Server Protocol (3.17) on standard input and output, for editors: the\n"
    "findings of 'check' as diagnostics while typing (a train description is checked against the\n"
    "line description of its folder, open or saved), the meaning of a keyword or a value on hover,\n"
    "keyword completion, the outline of sections, stations, signals, slowdowns and curves, and the\n"
    "layout of 'fmt' as document formatting. doc/editors.md shows how to set editors up.\n"
    "\n"
    "Exit status: 0 after the client's shutdown and exit; 1 when it exits without a shutdown or\n"
    "standard input ends; 64 bad usage.";

}  // namespace

CLI::App* add_lsp_command(CLI::App& app, LspOptions* /*options*/) {
  CLI::App* command = app.add_subcommand("lsp", "serve editors as a language server on standard input and output");
  command->footer(kLspFooter);
  return command;
}

int serve_lsp(std::istream& in, std::ostream& out) {
  LspServer server;
  MessageReader reader(in);
  std::string body;
  for (;;) {
    const FrameRead read = reader.read(&body);
    if (read == FrameRead::kEnd) return server.exit_status() == 0 ? 0 : 1;
    // With the next message already read in, an edit's check waits for the burst to end.
    server.defer_diagnostics(in.rdbuf()->in_avail() > 0);
    std::vector<std::string> answers = read == FrameRead::kMessage ? server.handle(body) : server.bad_framing(body);
    if (in.rdbuf()->in_avail() <= 0) {
      for (std::string& diagnostics : server.flush()) answers.push_back(std::move(diagnostics));
    }
    for (const std::string& answer : answers) out << answer;
    out.flush();
    if (server.exit_requested()) return server.exit_status();
  }
}

int run_lsp_command(const LspOptions& /*options*/) {
#ifdef _WIN32
  // The protocol counts bytes: no CR LF translation on either stream.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::ios::sync_with_stdio(false);
  return serve_lsp(std::cin, std::cout);
}

}  // namespace scenario
