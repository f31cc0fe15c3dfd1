// tools/prerequisites.sh on a machine made up in a temporary folder: a PATH that holds only the
// programs a case gives it, and stand-ins for id, sudo and apt-get that say who the user is,
// whether sudo asks for a password, and record what apt-get was asked to do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;

void write_program(const std::string& path, const std::string& script) {
  write_whole_file(path, "#!/bin/sh\n" + script);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(Prerequisites, InstallsWhatIsMissingWhenAllowedAndOtherwiseSaysHow) {
  struct Case {
    const char* name;
    std::string user;     // what id -u says
    bool sudo_allowed;    // whether sudo -n succeeds
    std::vector<std::string> present;  // programs on the PATH
    std::string need;
    int status;
    std::string apt_calls;  // what apt-get was asked, one call per line
    std::string says;       // part of what the script printed
  };
  const std::vector<Case> cases = {
      {"nothing missing", "1000", false, {"cmake", "g++", "ninja", "python3", "nvim"}, "test", 0, "", ""},
      {"root installs", "0", false, {"cmake", "python3", "nvim"}, "test", 0,
       "update -qq\ninstall -y -qq g++ ninja-build\n", "prerequisites: installing g++ ninja-build"},
      {"sudo without a password installs", "1000", true, {"g++", "ninja", "python3", "nvim"}, "test", 0,
       "update -qq\ninstall -y -qq cmake\n", "installing cmake"},
      {"no way to install: the one line, and a failure", "1000", false, {"cmake", "g++", "ninja", "nvim"}, "test", 1, "",
       "prerequisites: missing python3; install them with\n  sudo apt-get install -y python3\n"},
      {"a package is asked for once", "1000", false, {}, "test package", 1, "",
       "sudo apt-get install -y cmake g++ ninja-build python3 neovim dpkg-dev\n"},
      {"unknown need", "0", false, {}, "bogus", 64, "", "unknown need 'bogus'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string bin = folder.file("bin");
    std::filesystem::create_directory(bin);
    write_program(bin + "/id", "echo " + c.user + "\n");
    write_program(bin + "/sudo", std::string(c.sudo_allowed ? "" : "exit 1\n") +
                                     "if [ \"$1\" = -n ]; then exit 0; fi\nexec \"$@\"\n");
    write_program(bin + "/apt-get", "echo \"$*\" >>" + folder.file("apt-calls") + "\n");
    std::filesystem::create_symlink("/usr/bin/env", bin + "/env");
    for (const std::string& program : c.present) write_program(bin + "/" + program, "exit 0\n");

    std::string output;
    const std::string script = std::string(SCENARIO_SOURCE_DIR) + "/tools/prerequisites.sh";
    EXPECT_EQ(run_command("PATH='" + bin + "' /bin/bash " + script + " " + c.need, &output), c.status) << output;
    EXPECT_EQ(read_whole_file(folder.file("apt-calls")), c.apt_calls);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
    if (c.status == 0 && c.apt_calls.empty()) {
      EXPECT_EQ(output, "");
    }
  }
}

}  // namespace
}  // namespace scenario
