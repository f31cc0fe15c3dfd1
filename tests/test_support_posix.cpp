// The tests' shared helpers that need POSIX: a temporary folder made with mkdtemp, and shell
// commands run with popen.
#include "tests/test_support.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace scenario::testing {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "scenario_test.XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name.data();
}

TempFolder::~TempFolder() {
  std::error_code error;
  // Give back write permission where a test took it away, so that everything can be removed.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
  std::filesystem::remove_all(path_, error);
}

int run_command(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int run_split(const std::string& command, std::string* out, std::string* err) {
  const TempFolder folder;
  const int status =
      run_command("((" + command + ") >" + folder.file("out.txt") + " 2>" + folder.file("err.txt") + ")", nullptr);
  if (out != nullptr) *out = read_whole_file(folder.file("out.txt"));
  if (err != nullptr) *err = read_whole_file(folder.file("err.txt"));
  return status;
}

std::string tool() { return SCENARIO_TOOL_BIN; }

}  // namespace scenario::testing
