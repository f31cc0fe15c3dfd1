#include "disk/console.h"

#include <string>
#include <vector>

namespace scenario {

std::vector<std::string> start_console_program(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace scenario
