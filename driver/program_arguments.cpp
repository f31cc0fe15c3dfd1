#include "driver/program_arguments.h"

#include <iostream>

#include "model/status.h"
#include "scenario/compile.h"

namespace scenario {
namespace {

constexpr const char* kHelp =
    "Usage: scenario_build [--help | --version]\n"
    "\n"
    "Builds the embedded scenario (line MorvellaC_DrasconaX, train 5521) into the folder that holds\n"
    "this program: the track cells MorvellaC_DrasconaX_5521.dat, the scenario record\n"
    "MorvellaC_DrasconaX_5521.sim and the line record MorvellaC_DrasconaX_linea.dat, which the\n"
    "simulator loads, and the timetable card, the slowdown order and the notes for the driver\n"
    "(MorvellaC_DrasconaX_5521_scheda_treno.txt, _rallentamenti.txt, _note.txt). A program in a\n"
    "system folder (such as an installed one) writes nothing there: 'scenario_tool build --out DIR'\n"
    "builds the same six files into DIR.\n"
    "\n"
    "Exit status: 0 the scenario compiled cleanly; 1 a compile error; 2 a fatal report; 3 a file\n"
    "could not be read or written, or the folder is a system folder; 64 bad usage.\n";

}  // namespace

std::optional<int> answer_arguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return std::nullopt;
  if (arguments.size() == 1 && arguments[0] == "--help") {
    std::cout << kHelp << std::flush;
    return kExitClean;
  }
  if (arguments.size() == 1 && arguments[0] == "--version") {
    std::cout << "scenario_build " << version() << std::endl;
    return kExitClean;
  }
  const std::string& first = arguments[0] == "--help" || arguments[0] == "--version" ? arguments[1] : arguments[0];
  std::cerr << "scenario_build: " << (first.starts_with("-") ? "unknown option '" : "unexpected argument '") << first
            << "'; the program takes none\nRun 'scenario_build --help' for more information." << std::endl;
  return kExitUsage;
}

int refuse_program_folder(const std::string& folder, const std::string& why) {
  std::cerr << "scenario_build: '" << folder << "' " << why << "; nothing written there.\n"
            << "Build the scenario into a folder of yours with 'scenario_tool build --out DIR' (the same six files),"
            << " or copy scenario_build into a folder of yours and run it there." << std::endl;
  return kExitFileSystem;
}

}  // namespace scenario
