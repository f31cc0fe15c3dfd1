// Writes the generated scenario's two descriptions for whole-run timings of scenario_tool compile:
//   write_long_scenario FOLDER [LENGTH]
// leaves FOLDER/long_linea.txt and FOLDER/long_train-.txt (LENGTH metres, 1,000,000 by default).
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/long_scenario.h"
#include "disk/file_replace.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: write_long_scenario FOLDER [LENGTH]\n";
    return 64;
  }
  const std::string folder = argv[1];
  const int32_t length = argc == 3 ? static_cast<int32_t>(std::atol(argv[2])) : scenario::bench::kLongLineLength;
  for (const auto& [name, text] : {std::pair{"long_linea.txt", scenario::bench::long_line_description(length)},
                                   std::pair{"long_train-.txt", scenario::bench::small_train_description(length)}}) {
    const scenario::Status status = scenario::replace_file(scenario::path_in_folder(folder, name), text);
    if (!status.ok()) {
      std::cerr << "write_long_scenario: " << status.ToString() << "\n";
      return 3;
    }
  }
  return 0;
}
