#include "tests/test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "disk/native_path.h"

// The helpers that are the same on every system; TempFolder and running commands are in
// test_support_posix.cpp and windows/test_support_windows.cpp. Paths are UTF-8, as the programs
// hold them.
namespace scenario::testing {

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

bool exists(const std::string& path) { return std::filesystem::exists(path_of(path)); }

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

std::string lines(std::initializer_list<std::string_view> rows) {
  std::string text;
  for (std::string_view row : rows) {
    text += row;
    text += "\r\n";
  }
  return text;
}

std::string lines(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

}  // namespace scenario::testing
