// Small helpers shared by the tests: a temporary folder that cleans up after itself, reading and
// writing whole files, texts of CR LF lines, and running the programs.
#ifndef SCENARIO_TESTS_TEST_SUPPORT_H_
#define SCENARIO_TESTS_TEST_SUPPORT_H_

#include <initializer_list>
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

bool exists(const std::string& path);

// The rows joined into a text, each ended by CR LF.
std::string lines(const std::vector<std::string>& rows);
std::string lines(std::initializer_list<std::string_view> rows);

// Cuts a text file at CR LF. Bytes after the last CR LF, and a lone CR or LF inside a line, are
// test failures.
std::vector<std::string> crlf_lines(const std::string& bytes);

// The fields of a record line cut at every comma, the keyword first (blanks kept).
std::vector<std::string> comma_fields(std::string_view line);

// Runs a shell command; returns its exit status and, in *output, what it printed on standard
// output and standard error together.
int run_command(const std::string& command, std::string* output);
// Runs a shell command; what it printed on standard output goes to *out and what it printed on
// standard error to *err (dropped where null).
int run_split(const std::string& command, std::string* out, std::string* err);

// The path of scenario_tool, the program under test.
std::string tool();

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_TEST_SUPPORT_H_
