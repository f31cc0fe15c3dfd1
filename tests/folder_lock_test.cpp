#include "disk/folder_lock.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::files_in;
using testing::TempFolder;

TEST(FolderLockTest, ASecondLockIsRefusedOrWaitsAndSaysSoOnce) {
  TempFolder folder;
  FolderLock first;
  ASSERT_TRUE(first.acquire(folder.path(), LockWait::kRefuse).ok());
  EXPECT_TRUE(first.held());
  EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{kFolderLockName});

  FolderLock second;
  const Status refused = second.acquire(folder.path(), LockWait::kRefuse);
  EXPECT_EQ(refused.path(), folder.path());
  EXPECT_EQ(refused.reason(), kFolderBusyReason);
  EXPECT_FALSE(second.held());

  std::atomic<bool> released{false};
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    released = true;
    first.release();
  });
  int told = 0;
  const Status waited = second.acquire(folder.path(), LockWait::kWait, [&] {
    EXPECT_FALSE(released.load());  // said while the other still held it
    ++told;
  });
  holder.join();
  EXPECT_TRUE(waited.ok()) << waited.ToString();
  EXPECT_TRUE(released.load());
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(second.held());
  second.release();
  EXPECT_TRUE(files_in(folder.path()).empty());  // the holder removes the lock file
}

TEST(FolderLockTest, AShortWaitIsSilent) {
  TempFolder folder;
  FolderLock first;
  ASSERT_TRUE(first.acquire(folder.path(), LockWait::kWait).ok());
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    first.release();
  });
  FolderLock second;
  bool told = false;
  EXPECT_TRUE(second.acquire(folder.path(), LockWait::kWait, [&] { told = true; }).ok());
  holder.join();
  EXPECT_FALSE(told);
}

// A run killed while it holds the lock gives it up: the next one takes it at once (and its file).
TEST(FolderLockTest, TheLockOfAKilledProcessIsFree) {
  TempFolder folder;
  const pid_t pid = fork();
  if (pid == 0) {
    FolderLock lock;
    if (!lock.acquire(folder.path(), LockWait::kRefuse).ok()) _exit(1);
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not take the lock";
  EXPECT_EQ(files_in(folder.path()), std::vector<std::string>{kFolderLockName});  // left behind
  FolderLock lock;
  EXPECT_TRUE(lock.acquire(folder.path(), LockWait::kRefuse).ok());
  lock.release();
  EXPECT_TRUE(files_in(folder.path()).empty());
}

TEST(FolderLockTest, AFolderWhereNothingCanBeCreatedIsNotLocked) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser creates files in any folder";
  TempFolder folder;
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  FolderLock lock;
  EXPECT_TRUE(lock.acquire(folder.path(), LockWait::kRefuse).ok());
  EXPECT_FALSE(lock.held());
}

TEST(FolderLockTest, AMissingFolderIsReported) {
  TempFolder folder;
  FolderLock lock;
  const Status status = lock.acquire(folder.file("missing"), LockWait::kWait);
  EXPECT_EQ(status.path(), folder.file("missing"));
  EXPECT_NE(status.reason().find("No such file or directory"), std::string::npos) << status.reason();
}

}  // namespace
}  // namespace scenario
