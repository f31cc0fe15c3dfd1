// scenario_tool lsp: the language server for descriptions (cli/lsp_server.h) on standard input
// and output, for editors.
#ifndef SCENARIO_TOOLS_LSP_COMMAND_H_
#define SCENARIO_TOOLS_LSP_COMMAND_H_

#include <iosfwd>

namespace CLI {
class App;
}

namespace scenario {

struct LspOptions {};

// Declares 'lsp' on `app`.
CLI::App* add_lsp_command(CLI::App& app, LspOptions* options);

// Serves until the client sends "exit" or closes standard input; returns the exit status (0 after
// a shutdown request, 1 otherwise).
int run_lsp_command(const LspOptions& options);

// The same on any streams.
int serve_lsp(std::istream& in, std::ostream& out);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_LSP_COMMAND_H_
