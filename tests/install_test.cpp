// The project as others use it: installed with cmake --install into a temporary prefix (programs,
// manual page, bash completion, documents, library, header and CMake package), examples/embed
// built against that installation, and the project pulled into another with add_subdirectory.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "scenario/compile.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;
using testing::exists;

const std::string kSource = SCENARIO_SOURCE_DIR;


// Configures and builds a CMake project with this build's compiler; returns the status, with
// everything CMake and the compiler said in *output.
int configure_and_build(const std::string& source, const std::string& build, const std::string& definitions,
                        std::string* output) {
  const int configured = run_command("cmake -S '" + source + "' -B '" + build + "' -G Ninja -DCMAKE_CXX_COMPILER='" +
                                         SCENARIO_CXX_COMPILER + "' " + definitions,
                                     output);
  if (configured != 0) return configured;
  return run_command("cmake --build '" + build + "'", output);
}

class InstalledTree : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix = folder.file("prefix");
    std::string output;
    ASSERT_EQ(run_command(std::string("cmake --install '") + SCENARIO_BINARY_DIR + "' --prefix '" + prefix + "'",
                          &output),
              0)
        << output;
  }

  TempFolder folder;
  std::string prefix;
};

TEST_F(InstalledTree, HoldsTheProgramsTheirDocumentsTheLibraryAndItsPackage) {
  const std::string lib = SCENARIO_INSTALL_LIBDIR;
  const std::string package = lib + "/cmake/scenario_compiler/";
  for (const std::string& path : std::vector<std::string>{
           "bin/scenario_build", "bin/scenario_tool", "share/man/man1/scenario_tool.1",
           "share/bash-completion/completions/scenario_tool", "share/doc/scenario-compiler/README.md",
           "include/scenario/compile.h", lib + "/libscenario_model.a", lib + "/libscenario_format.a",
           lib + "/libscenario_description.a", lib + "/libscenario_compiler.a", package + "scenario_compilerConfig.cmake",
           package + "scenario_compilerConfigVersion.cmake", package + "scenario_compilerTargets.cmake"}) {
    EXPECT_TRUE(exists(prefix + "/" + path)) << path;
  }
  // The library is the rooms of the compile: the driver, the disk and the commands stay with the
  // programs.
  std::vector<std::string> archives;
  for (const auto& entry : std::filesystem::directory_iterator(prefix + "/" + lib)) {
    if (entry.path().extension() == ".a") archives.push_back(entry.path().filename().string());
  }
  std::sort(archives.begin(), archives.end());
  EXPECT_EQ(archives, (std::vector<std::string>{"libscenario_compiler.a", "libscenario_description.a",
                                                "libscenario_format.a", "libscenario_model.a"}));
  // Only the public interface is installed: the library's inner headers stay inside.
  std::vector<std::string> headers;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(prefix + "/include")) {
    if (entry.is_regular_file()) headers.push_back(entry.path().lexically_relative(prefix).string());
  }
  EXPECT_EQ(headers, std::vector<std::string>{"include/scenario/compile.h"});

  std::string output;
  EXPECT_EQ(run_command(prefix + "/bin/scenario_tool --version", &output), 0);
  EXPECT_EQ(output, std::string("scenario_tool ") + SCENARIO_VERSION + "\n");
  EXPECT_NE(read_whole_file(prefix + "/share/man/man1/scenario_tool.1").find(SCENARIO_VERSION), std::string::npos);
}

// The options each command's --help lists, as "--name" (the short forms have long twins).
std::vector<std::string> long_options(const std::string& command) {
  std::string help;
  EXPECT_EQ(run_command(std::string(SCENARIO_TOOL_BIN) + " " + command + " --help", &help), 0) << help;
  std::vector<std::string> options;
  size_t at = 0;
  while ((at = help.find("\n  ", at)) != std::string::npos) {
    at += 3;
    const size_t dashes = help.find("--", at);
    if (help.compare(at, 1, "-") != 0 || dashes == std::string::npos) continue;
    options.push_back(help.substr(dashes, help.find_first_of(" \n=,", dashes) - dashes));
  }
  return options;
}

TEST_F(InstalledTree, ManualPageDescribesEveryCommandAndOption) {
  const std::string page = read_whole_file(prefix + "/share/man/man1/scenario_tool.1");
  for (const std::string command :
       {"init", "build", "check", "compile", "decompile", "diff", "dump", "render", "fmt", "lsp", "watch"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(page.find(".SS " + command + "\n"), std::string::npos);
    const std::vector<std::string> options = long_options(command);
    // init has --force beside --help, fmt --check; lsp has only --help.
    EXPECT_GE(options.size(), command == "lsp" ? 1u : command == "init" || command == "fmt" ? 2u : 3u);
    for (std::string option : options) {
      // roff writes a minus sign as \-.
      for (size_t dash = 0; (dash = option.find('-', dash)) != std::string::npos; dash += 2) option.insert(dash, "\\");
      EXPECT_NE(page.find(option), std::string::npos) << option;
    }
  }
  for (const char* option : {"\\-\\-help", "\\-\\-version", ".SH EXIT STATUS"}) {
    EXPECT_NE(page.find(option), std::string::npos) << option;
  }
  std::string output;
  if (run_command("command -v groff", nullptr) == 0) {
    EXPECT_EQ(run_command("groff -man -Tutf8 -ww -z '" + prefix + "/share/man/man1/scenario_tool.1'", &output), 0);
    EXPECT_EQ(output, "");  // no warning
  }
}

TEST_F(InstalledTree, BashCompletionOffersCommandsOptionsAndValues) {
  std::filesystem::create_directory(folder.file("pages"));
  write_whole_file(folder.file("pages.txt"), "");
  struct Case {
    std::string words;  // after the program; the last one is being completed
    std::string offered;
  };
  const std::vector<Case> cases = {
      {"''", "--help --version build check compile decompile diff dump fmt init lsp render watch"},
      {"c", "check compile"},
      {"check --format ''", "json sarif text"},
      {"compile --encoding u", "utf-8"},
      {"d", "decompile diff dump"},
      {"du", "dump"},
      {"compile --l", "--line --line-name"},
      {"compile --no-plan --tr", "--train --train-number"},
      {"compile --line " + folder.file("pag"), folder.file("pages") + " " + folder.file("pages.txt")},
      {"render --out " + folder.file("pag"), folder.file("pages")},
      {"render --out = " + folder.file("pag"), folder.file("pages")},
      {"dump x.sim --format ''", "json text"},
      {"dump --format = j", "json"},
      {"compile --train-number ''", ""},
      {"render -", "--dat --help --no-wait --out --plan --sim --verbose -h -v"},
  };
  const std::string completion = prefix + "/share/bash-completion/completions/scenario_tool";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    write_whole_file(folder.file("complete.sh"),
                     "source '" + completion + "'\n" + "COMP_WORDS=('" + prefix + "/bin/scenario_tool' " + c.words +
                         ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_scenario_tool\n"
                         "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort | paste -s -d ' '\n");
    std::string output;
    EXPECT_EQ(run_command("bash '" + folder.file("complete.sh") + "'", &output), 0) << output;
    EXPECT_EQ(output, c.offered + "\n");
  }
}

// examples/embed, built against the installed package, compiles the descriptions it is given and
// prints what the library made.
TEST_F(InstalledTree, EmbedExampleBuildsAgainstTheInstalledPackage) {
  std::string output;
  ASSERT_EQ(configure_and_build(kSource + "/examples/embed", folder.file("embed"),
                                "-DCMAKE_PREFIX_PATH='" + prefix + "'", &output),
            0)
      << output;

  struct Case {
    std::string line;
    std::string train;
    int status;
  };
  const std::vector<Case> cases = {
      {kSource + "/fuzz/corpus/line/embedded_linea.txt", kSource + "/fuzz/corpus/train/embedded-.txt", 0},
      {kSource + "/fuzz/corpus/line/small_linea.txt", kSource + "/fuzz/corpus/train/errors-.txt", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.train);
    CompileRequest request;
    request.line_description = read_whole_file(c.line);
    request.train_description = read_whole_file(c.train);
    request.line_file_name = c.line;
    request.train_file_name = c.train;
    const CompiledScenario expected = compile_scenario(request);
    ASSERT_TRUE(expected.has_files());
    EXPECT_EQ(run_command(folder.file("embed/scenario_embed") + " " + c.line + " " + c.train, &output), c.status);
    EXPECT_EQ(output, "scenario compiler " + std::string(SCENARIO_VERSION) + "\ntrack cells: " +
                          std::to_string(expected.track_cells.size()) + " bytes\nscenario record: " +
                          std::to_string(expected.scenario_record.size()) + " bytes\nline record: " +
                          std::to_string(expected.line_record.size()) + " bytes\nerror: " +
                          (c.status == 0 ? "none" : expected.error.message) + "\n");
  }
  EXPECT_EQ(run_command(folder.file("embed/scenario_embed") + " " + folder.file("none.txt") + " x", &output), 2);
}

// A project that pulls this one in with add_subdirectory gets scenario::core, and builds neither
// tests nor programs (which would need GoogleTest, CLI11 and nlohmann-json).
TEST(Subproject, AddSubdirectoryGivesScenarioCoreAndBuildsNoTests) {
  TempFolder folder;
  write_whole_file(folder.file("CMakeLists.txt"), "cmake_minimum_required(VERSION 3.20)\n"
                                                  "project(consumer LANGUAGES CXX)\n"
                                                  "add_subdirectory(\"" + kSource + "\" scenario)\n" + R"(
if(NOT TARGET scenario::core)
  message(FATAL_ERROR "no scenario::core")
endif()
foreach(target scenario_test_support compile_test scenario_build scenario_tool)
  if(TARGET ${target})
    message(FATAL_ERROR "the subproject made ${target}")
  endif()
endforeach()
add_executable(consumer consumer.cpp)
target_link_libraries(consumer PRIVATE scenario::core)
)");
  write_whole_file(folder.file("consumer.cpp"), R"(#include <iostream>
#include "scenario/compile.h"
int main() {
  scenario::CompileRequest request;
  request.line_description = "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n[fine]\r\n";
  request.train_description = "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 90\r\n[fine]\r\n";
  const scenario::CompiledScenario compiled = scenario::compile_scenario(request);
  std::cout << compiled.track_cells.size() << " " << compiled.error.code << "\n";
}
)");
  std::string output;
  ASSERT_EQ(configure_and_build(folder.path(), folder.file("build"), "", &output), 0) << output;
  // A line of 10000 m is cells 0 to near((10000 + 7000) / 50) = 340, 15 bytes each.
  EXPECT_EQ(run_command(folder.file("build/consumer"), &output), 0);
  EXPECT_EQ(output, "5115 0\n");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.file("build"))) {
    EXPECT_EQ(entry.path().filename().string().find("_test"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace scenario
