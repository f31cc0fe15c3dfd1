// scenario_tool watch run in the background on descriptions in a temporary folder, edited as an
// editor saves them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::read_whole_file;
using testing::run_command;
using testing::TempFolder;
using testing::tool;
using testing::write_whole_file;

size_t count_of(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Polls `done` for at most a minute (the machine may be busy): true when it came true.
bool eventually(const std::function<bool()>& done) {
  for (int i = 0; i < 600; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// Saves as many editors do: a new file renamed over the old one.
void save(const std::string& path, const std::string& bytes) {
  write_whole_file(path + ".new", bytes);
  std::filesystem::rename(path + ".new", path);
}

#ifdef __linux__
TEST(WatchCommandTest, CompilesOnceASaveAndKeepsTheLastGoodFilesOnAnError) {
  TempFolder folder;
  std::string output;
  ASSERT_EQ(run_command(tool() + " init '" + folder.path() + "'", &output), 0) << output;
  const std::string train = folder.file("MorvellaC_DrasconaX_5521-.txt");
  const std::string sim = folder.file("out/MorvellaC_DrasconaX_5521.sim");
  const std::string log = folder.file("log.txt");
  // The watch runs in the background; its status lands in rc when it ends.
  ASSERT_EQ(run_command("cd '" + folder.path() + "' && ( '" + tool() +
                            "' watch --line MorvellaC_DrasconaX_linea.txt --train MorvellaC_DrasconaX_5521-.txt"
                            " --out out --page page >log.txt 2>&1 </dev/null & echo $! >pid; wait $!; echo $? >rc ) "
                            ">/dev/null 2>&1 &",
                        &output),
            0);
  // Whatever happens below, the watch does not outlive the test.
  struct Stop {
    std::string pid;
    ~Stop() { run_command("[ -f '" + pid + "' ] && kill -TERM $(cat '" + pid + "') 2>/dev/null", nullptr); }
  } stop{folder.file("pid")};
  const auto log_text = [&] { return testing::exists(log) ? read_whole_file(log) : std::string(); };
  ASSERT_TRUE(eventually([&] { return count_of(log_text(), "compiled in ") == 1; })) << log_text();
  EXPECT_TRUE(testing::exists(folder.file("page/index.html")));
  const std::string first = read_whole_file(sim);

  std::string text = read_whole_file(train);
  text.replace(text.find("sabbia,    60"), 13, "sabbia,    61");
  save(train, text);
  ASSERT_TRUE(eventually([&] { return count_of(log_text(), "compiled in ") == 2; })) << log_text();
  const std::string second = read_whole_file(sim);
  EXPECT_NE(second, first);

  // A station off its grid: the error is reported and the files stay as they were.
  text.replace(text.find("stazione,    8250,"), 18, "stazione,    8260,");
  save(train, text);
  ASSERT_TRUE(eventually([&] { return count_of(log_text(), "not compiled") == 1; })) << log_text();
  EXPECT_NE(log_text().find("MorvellaC_DrasconaX_5521-.txt:24:14: error: compile error 8"), std::string::npos);
  EXPECT_EQ(read_whole_file(sim), second);
  // One compile for each save.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(count_of(log_text(), "compiled in "), 2u) << log_text();

  ASSERT_EQ(run_command("kill -INT $(cat '" + folder.file("pid") + "')", &output), 0) << output;
  ASSERT_TRUE(eventually([&] { return testing::exists(folder.file("rc")); }));
  EXPECT_EQ(read_whole_file(folder.file("rc")), "0\n");
  EXPECT_NE(log_text().find("scenario_tool watch: ended"), std::string::npos);
}
#endif

TEST(WatchCommandTest, AFolderThatCannotBeWatchedIsNamed) {
  std::string err;
  EXPECT_EQ(testing::run_split(tool() + " watch --line /nonexistent/a_linea.txt --train /nonexistent/a_1-.txt --out /tmp/x",
                               nullptr, &err),
            3);
  EXPECT_NE(err.find("scenario_tool watch: '/nonexistent'"), std::string::npos) << err;
}

}  // namespace
}  // namespace scenario
