// Small helpers shared by the tests: a temporary folder that cleans up after itself, and reading
// and writing whole files.
#ifndef SCENARIO_TESTS_TEST_SUPPORT_H_
#define SCENARIO_TESTS_TEST_SUPPORT_H_

#include <string>

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

// Runs a shell command; returns its exit status and, in *output, what it printed on standard
// output and standard error together.
int run_command(const std::string& command, std::string* output);

}  // namespace scenario::testing

#endif  // SCENARIO_TESTS_TEST_SUPPORT_H_
