// scenario_tool: command-line tools for people who write their own scenarios.
//
//   scenario_tool init [DIR]    write the embedded scenario's two descriptions (--empty: a short one)
//   scenario_tool build ...     build the embedded scenario's six files into a folder
//   scenario_tool check ...     report every error and warning of two descriptions
//   scenario_tool compile ...   compile description files into the simulator's files
//   scenario_tool decompile ... the descriptions that compile to given compiled files
//   scenario_tool diff OLD NEW  what changed between two compiled scenarios, by meaning
//   scenario_tool dump ...      show a compiled file as text or JSON
//   scenario_tool render ...    draw the line's plan and profile as an HTML page with SVG
//   scenario_tool fmt FILE...   lay descriptions out as the program writes its own
//   scenario_tool lsp           a language server for editors, on standard input and output
//   scenario_tool watch ...     compile two descriptions again whenever one is saved
//
// How a command is made (CLI11 parses every command line):
//  - tools/NAME_command.h declares a plain struct NAMEOptions (the values the command acts on,
//    with their defaults) and two functions:
//      CLI::App* add_NAME_command(CLI::App& app, NAMEOptions* options);
//      int run_NAME_command(const NAMEOptions& options);
//  - add_NAME_command declares the subcommand, its options and their checks (CLI11 validators,
//    shared ones in tools/command_line.h) and the help texts; it only tells CLI11 where each value
//    goes. Every refusal of a command line belongs here, so that all of them look alike.
//  - run_NAME_command does the work and returns the exit status; it never sees argv, so tests and
//    other callers can run it with any options.
//  - main() below adds one row to `commands`.
// A usage error is one line, "scenario_tool NAME: what is wrong", then a pointer to --help, and
// exit status 64; --help prints the help on standard output and exits 0.
#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/did_you_mean.h"
#include "disk/console.h"
#include "model/status.h"
#include "scenario/compile.h"
#include "tools/build_command.h"
#include "tools/check_command.h"
#include "tools/compile_command.h"
#include "tools/decompile_command.h"
#include "tools/diff_command.h"
#include "tools/dump_command.h"
#include "tools/fmt_command.h"
#include "tools/init_command.h"
#include "tools/lsp_command.h"
#include "tools/render_command.h"
#include "tools/watch_command.h"

namespace {

constexpr const char* kProgram = "scenario_tool";

struct Command {
  CLI::App* app;
  std::function<int()> run;
};

// The command a failed parse was in: the deepest subcommand CLI11 had reached.
std::string command_path(const CLI::App& app) {
  std::string path = kProgram;
  const CLI::App* current = &app;
  while (!current->get_subcommands().empty()) {
    current = current->get_subcommands().front();
    path += " " + current->get_name();
  }
  return path;
}

int usage_error(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
  std::string what = error.what();
  // CLI11 says "A subcommand is required" also when the first word names no command.
  if (app.get_subcommands().empty() && error.get_name() == "RequiredError") {
    if (argc < 2) {
      what = "no command given";
    } else {
      what = std::string(argv[1][0] == '-' ? "unknown option '" : "unknown command '") + argv[1] + "'";
      std::vector<std::string> names;
      for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) names.push_back(command->get_name());
      const std::vector<std::string_view> known(names.begin(), names.end());
      if (argv[1][0] != '-') {
        if (const auto closest = scenario::closest_keyword(argv[1], known)) what += "; did you mean '" + std::string(*closest) + "'?";
      }
    }
  }
  const std::string path = command_path(app);
  std::cerr << path << ": " << what << "\n" << "Run '" << path << " --help' for more information.\n";
  return scenario::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // The arguments as UTF-8 on every system (disk/console.h), from here on in argv.
  std::vector<std::string> arguments = scenario::start_console_program(argc, argv);
  std::vector<char*> utf8_argv;
  for (std::string& argument : arguments) utf8_argv.push_back(argument.data());
  utf8_argv.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  argv = utf8_argv.data();

  CLI::App app("Tools for people who write their own scenarios.", kProgram);
  // The same command lines on every system: "/x" is a path, never a Windows-style option.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string(kProgram) + " " + scenario::version());
  app.require_subcommand(1);
  app.footer("'scenario_tool COMMAND --help' explains a command's options.");

  scenario::BuildOptions build;
  scenario::CheckOptions check;
  scenario::CompileOptions compile;
  scenario::DecompileOptions decompile;
  scenario::DiffOptions diff;
  scenario::DumpOptions dump;
  scenario::FmtOptions fmt;
  scenario::InitOptions init;
  scenario::LspOptions lsp;
  scenario::RenderOptions render;
  scenario::WatchOptions watch;
  const std::vector<Command> commands = {
      {scenario::add_build_command(app, &build), [&] { return scenario::run_build_command(build); }},
      {scenario::add_check_command(app, &check), [&] { return scenario::run_check_command(check); }},
      {scenario::add_compile_command(app, &compile), [&] { return scenario::run_compile_command(compile); }},
      {scenario::add_decompile_command(app, &decompile), [&] { return scenario::run_decompile_command(decompile); }},
      {scenario::add_diff_command(app, &diff), [&] { return scenario::run_diff_command(diff); }},
      {scenario::add_dump_command(app, &dump), [&] { return scenario::run_dump_command(dump); }},
      {scenario::add_fmt_command(app, &fmt), [&] { return scenario::run_fmt_command(fmt); }},
      {scenario::add_init_command(app, &init), [&] { return scenario::run_init_command(init); }},
      {scenario::add_lsp_command(app, &lsp), [&] { return scenario::run_lsp_command(lsp); }},
      {scenario::add_render_command(app, &render), [&] { return scenario::run_render_command(render); }},
      {scenario::add_watch_command(app, &watch), [&] { return scenario::run_watch_command(watch); }},
  };

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version arrive as "errors" with exit code 0.
    if (error.get_exit_code() == 0) return app.exit(error);
    return usage_error(app, error, argc, argv);
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  return scenario::kExitUsage;  // not reached: a subcommand is required
}
