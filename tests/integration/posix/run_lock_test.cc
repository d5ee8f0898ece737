// One user's send runs take turns across processes; other users do not wait.
#include "platform/posix/posix_run_lock.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "scratch_directory.h"

namespace pelorin::posix {
namespace {

using testing::ScratchDirectory;

TEST(PosixRunLockTest, ASecondHolderWaitsUntilTheFirstLetsGo) {
  ScratchDirectory scratch;
  const auto folder = scratch.path() / "session";
  int held[2];
  ASSERT_EQ(::pipe(held), 0);
  pid_t child = ::fork();
  if (child == 0) {
    PosixRunLock lock(folder);
    lock.Acquire("bob", {});
    if (::write(held[1], "h", 1) != 1) ::_exit(2);
    ::usleep(400'000);
    ::_exit(0);  // dies holding it: the system lets go
  }
  char byte = 0;
  ASSERT_EQ(::read(held[0], &byte, 1), 1);

  PosixRunLock other_user(folder);
  bool waited = false;
  other_user.Acquire("ann", [&] { waited = true; });
  EXPECT_FALSE(waited);
  other_user.Release();

  PosixRunLock same_user(folder);
  const auto start = std::chrono::steady_clock::now();
  same_user.Acquire("bob", [&] { waited = true; });
  EXPECT_TRUE(waited);
  EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  same_user.Release();
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ::close(held[0]);
  ::close(held[1]);
}

}  // namespace
}  // namespace pelorin::posix
