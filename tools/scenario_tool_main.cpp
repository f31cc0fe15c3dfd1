// scenario_tool: command-line tools for people who write their own scenarios.
//
//   scenario_tool compile ...   compile description files into the simulator's files
//   scenario_tool dump ...      show a compiled file as text or JSON
//   scenario_tool render ...    draw the line's plan and profile as an HTML page with SVG
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "compiler/status.h"
#include "tools/compile_command.h"
#include "tools/decompile_command.h"
#include "tools/dump_command.h"
#include "tools/render_command.h"

namespace {

constexpr const char* kUsage =
    "usage: scenario_tool COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  compile   compile a line and a train description into the simulator's files\n"
    "  decompile write the descriptions that compile to a scenario's files, byte for byte\n"
    "  dump      show a compiled .dat, .sim or _linea.dat file as text or JSON\n"
    "  render    draw a compiled scenario as an HTML page with SVG plan and profile\n"
    "\n"
    "'scenario_tool COMMAND --help' explains a command's options.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return scenario::kExitUsage;
  }
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return scenario::kExitClean;
  }
  if (command == "compile") return scenario::run_compile_command(args);
  if (command == "decompile") return scenario::run_decompile_command(args);
  if (command == "dump") return scenario::run_dump_command(args);
  if (command == "render") return scenario::run_render_command(args);
  std::cerr << "scenario_tool: unknown command '" << command << "'\n\n" << kUsage;
  return scenario::kExitUsage;
}
