// Small helpers shared by the tests: a temporary folder that cleans up after itself, and reading
// and writing whole files.
#ifndef SCENARIO_TESTS_TEST_SUPPORT_H_
#define SCENARIO_TESTS_TEST_SUPPORT_H_

#include <string>
#include <string_view>
#include <vector>

namespace scenario::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string read_whole_file(const std::string& path);
void write_whole_file(const std::string& path, const std::string& bytes);

// The names of everything in a folder, sorted.
std::vector<std::string> files_in(const std::string& folder);

// Cuts a text file at CR LF. Bytes after the last CR LF, and a lone CR or LF inside a line, are
// test failures.
std::vector<std::string> crlf_lines(const std::string& bytes);

// The fields of a record line cut at every comma, the keyword first (blanks kept).
std::vector<std::string> comma_fields(std::string_view line);

// Runs a shell command; returns its exit status and, in *output, what it printed on standard
// output and standard error together.
int run_command(const std::string& command, std::string* output);

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_TEST_SUPPORT_H_
