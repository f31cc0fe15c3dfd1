// The tests' shared helpers (tests/test_support.h) that differ on Windows: the temporary folder,
// with its path taken as UTF-8. A shell command cannot run there: run_command and run_split fail
// the test that calls them (no test run under Wine calls them). The rest is test_support.cpp.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "disk/native_path.h"
#include "tests/test_support.h"

namespace scenario::testing {

TempFolder::TempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed() ^ (uint64_t{GetCurrentProcessId()} << 32));
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / ("scenario_test." + std::to_string(random() % 1000000000));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = utf8_of(candidate);
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_of(path_), error);
}

int run_command(const std::string& command, std::string* output) {
  ADD_FAILURE() << "no POSIX shell on Windows to run: " << command;
  if (output != nullptr) output->clear();
  return -1;
}

int run_split(const std::string& command, std::string* out, std::string* err) {
  ADD_FAILURE() << "no POSIX shell on Windows to run: " << command;
  if (out != nullptr) out->clear();
  if (err != nullptr) err->clear();
  return -1;
}

std::string tool() {
  ADD_FAILURE() << "scenario_tool is run by compare_outputs.sh on Windows, not by the test programs";
  return {};
}

}  // namespace scenario::testing
