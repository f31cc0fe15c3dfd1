#include "disk/console.h"

// <windows.h> first: <shellapi.h> needs its types.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "disk/text_windows.h"

namespace scenario {

std::vector<std::string> start_console_program(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) arguments.push_back(utf8_from_wide(wide[k]));
  LocalFree(wide);
  return arguments;
}

}  // namespace scenario
