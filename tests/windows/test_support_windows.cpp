// The tests' shared helpers (tests/test_support.h) for the test programs built for Windows: the
// same contract, with Windows' temporary folder and paths taken as UTF-8. A shell command cannot
// run there: run_command fails the test that calls it (no test run under Wine calls it).
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

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

std::string read_whole_file(const std::string& path) {
  std::ifstream in(path_of(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_whole_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path_of(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> files_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_of(folder))) {
    names.push_back(utf8_of(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> crlf_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "bytes after the last CR LF: " << bytes.substr(start);
      break;
    }
    std::string line = bytes.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray CR or LF in: " << line;
    lines.push_back(std::move(line));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> comma_fields(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t comma = line.find(',', start);
    fields.emplace_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

int run_command(const std::string& command, std::string* output) {
  ADD_FAILURE() << "no POSIX shell on Windows to run: " << command;
  if (output != nullptr) output->clear();
  return -1;
}

}  // namespace scenario::testing
