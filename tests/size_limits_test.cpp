// Inputs larger than any valid one are refused before they are read whole, with status 3 and a
// message naming the file, its size and the bound: the binary files given to dump, render and
// decompile (bounded by the largest valid file of their kind) and the descriptions given to
// compile (bounded by kMaxInputFileSize). The files are sparse, so they cost no disk.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "disk/file_replace.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;

constexpr uint64_t kMaxCells = 302115;       // 20141 cells of 15 bytes
constexpr uint64_t kMaxRecord = 5704503;     // 87 entries of 34 bytes, each name 65535 bytes
constexpr uint64_t kMaxPlan = 20140020;      // 2 * 1007001 elements of 10 bytes
const std::string kTool = SCENARIO_TOOL_BIN;

// A file of `size` zero bytes that takes no room on disk.
std::string sparse_file(const TempFolder& folder, const std::string& name, uint64_t size) {
  const std::string path = folder.file(name);
  write_whole_file(path, "");
  std::filesystem::resize_file(path, size);
  return path;
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(SizeLimitsTest, BinaryFilesLargerThanTheLargestValidOneAreRefused) {
  TempFolder folder;
  const std::string dat = sparse_file(folder, "L_7.dat", kMaxCells + 1);
  const std::string sim = sparse_file(folder, "L_7.sim", kMaxRecord + 1);
  const std::string plan = sparse_file(folder, "L_linea.dat", kMaxPlan + 1);
  const std::string ok_dat = sparse_file(folder, "ok_7.dat", kMaxCells);
  const std::string out = folder.file("out");
  const struct {
    std::string arguments;
    std::string refused;  // the path named, "" when the command succeeds
    uint64_t size;
  } cases[] = {
      {"dump " + dat, dat, kMaxCells + 1},
      {"dump " + sim, sim, kMaxRecord + 1},
      {"dump --format json " + plan, plan, kMaxPlan + 1},
      {"render --dat " + dat + " --sim " + sim + " --out " + out, dat, kMaxCells + 1},
      {"decompile --dat " + ok_dat + " --sim " + sim + " --out " + out, sim, kMaxRecord + 1},
      {"decompile --dat " + ok_dat + " --sim " + sim + " --plan " + plan + " --out " + out, sim, kMaxRecord + 1},
      // The largest valid size is read: 20141 empty cells.
      {"dump " + ok_dat, "", kMaxCells},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string output;
    const int status = run_command(kTool + " " + c.arguments, &output);
    if (c.refused.empty()) {
      EXPECT_EQ(status, 0) << output;
      continue;
    }
    EXPECT_EQ(status, 3) << output;
    EXPECT_TRUE(holds(output, c.refused)) << output;
    EXPECT_TRUE(holds(output, "not read: the file holds " + std::to_string(c.size) + " bytes, more than the " +
                                  std::to_string(c.size - 1)))
        << output;
  }
}

TEST(SizeLimitsTest, ADescriptionLargerThanTheBoundIsRefused) {
  TempFolder folder;
  const std::string line = sparse_file(folder, "L_linea.txt", kMaxInputFileSize + 1);
  const std::string train = folder.file("L_7-.txt");
  write_whole_file(train, "[generale]\r\n[fine]\r\n");
  std::string output;
  EXPECT_EQ(run_command(kTool + " compile --line " + line + " --train " + train + " --out " + folder.file("out"),
                        &output),
            3)
      << output;
  EXPECT_TRUE(holds(output, line)) << output;
  EXPECT_TRUE(holds(output, "67108865 bytes, more than the 67108864")) << output;
}

}  // namespace
}  // namespace scenario
