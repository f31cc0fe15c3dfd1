// scenario_embed LINE_FILE TRAIN_FILE: compiles the two descriptions in memory with the scenario
// compiler's library and prints the size of each compiled file and the error record.
//
// Exit status: 0 compiled cleanly; 1 compiled with an error, or no files made; 2 bad usage or a
// file that cannot be read.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "scenario/compile.h"

namespace {

bool read_whole(const char* path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  *bytes = text.str();
  return static_cast<bool>(in);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: scenario_embed LINE_FILE TRAIN_FILE\n";
    return 2;
  }
  scenario::CompileRequest request;
  request.line_file_name = argv[1];
  request.train_file_name = argv[2];
  for (const auto& [path, bytes] : {std::pair{argv[1], &request.line_description},
                                    std::pair{argv[2], &request.train_description}}) {
    if (!read_whole(path, bytes)) {
      std::cerr << "scenario_embed: cannot read '" << path << "'\n";
      return 2;
    }
  }

  const scenario::CompiledScenario compiled = scenario::compile_scenario(request);
  std::cout << "scenario compiler " << scenario::version() << "\n"
            << "track cells: " << compiled.track_cells.size() << " bytes\n"
            << "scenario record: " << compiled.scenario_record.size() << " bytes\n"
            << "line record: " << compiled.line_record.size() << " bytes\n"
            << "error: " << (compiled.error.message.empty() ? "none" : compiled.error.message) << "\n";
  return compiled.clean() ? 0 : 1;
}
