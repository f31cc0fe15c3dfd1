// The language server with a real client: Neovim's built-in LSP client, headless, runs
// tests/lsp_neovim_session.lua against scenario_tool lsp on a train description with a mistake.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::tool;
using testing::write_whole_file;

TEST(LspNeovimTest, DiagnosticHoverOutlineAndFormattingInNeovim) {
  if (run_command("command -v nvim", nullptr) != 0) GTEST_SKIP() << "nvim is not installed";
  TempFolder folder;
  std::string output;
  ASSERT_EQ(run_command(tool() + " init '" + folder.path() + "'", &output), 0) << output;
  const std::string train = folder.file("MorvellaC_DrasconaX_5521-.txt");
  std::string text = read_whole_file(train);
  // The station at 8250 m moved off its 50-metre grid, and the sand record's blanks lost.
  text.replace(text.find("stazione,    8250,"), 18, "stazione,    8260,");
  text.replace(text.find("sabbia,    60"), 13, "sabbia,60");
  write_whole_file(train, text);

  const std::string command = "cd '" + folder.path() + "' && SCENARIO_TOOL='" + tool() + "' SCENARIO_FILE='" + train +
                              "' SCENARIO_OUT='" + folder.file("seen.txt") +
                              "' timeout 120 nvim --headless --clean -c 'luafile " SCENARIO_SOURCE_DIR
                              "/tests/lsp_neovim_session.lua' </dev/null";
  ASSERT_EQ(run_command(command, &output), 0) << output;
  const std::string seen = read_whole_file(folder.file("seen.txt"));
  // Line 24, the position from column 14 to 17 (the end is past it), error 8.
  for (const char* expected : {
           "diagnostic 24 14 18 1 8 station position is not a multiple of 50\n",
           "hover `posizione` of station: the station's reference point (a multiple of 50) |  | 8260 m, Km 8+260\n",
           "symbol [stazioni] 23\n",
           "symbol   MORVELLA C.LE (Km 0+000)\n",
           "symbol [segnali] 44\n",
           "formatted sabbia,    60\n",
           "lines 95 dos\n",
       }) {
    EXPECT_NE(seen.find(expected), std::string::npos) << expected << "\nseen:\n" << seen;
  }
}

}  // namespace
}  // namespace scenario
