// The per-account sign-in lock: refused while held in this or another process, free again
// once released or once the holder dies, and the raise request reaching the holder.
#include "platform/login_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <future>
#include <string>
#include <thread>

#include "platform/md5.h"
#include "support/lock_holder.h"

namespace zerva {
namespace {

using namespace std::chrono_literals;

// Names of their own per test run, so that a crashed earlier run or a parallel one cannot
// interfere.
std::string UniqueName(const std::string& base) {
  return base + "-" + std::to_string(::getpid());
}

TEST(LoginLockName, PlainNamesStayReadableOthersAreHashed) {
  EXPECT_EQ(LoginLockName("demo@example.com"), "zerva_net_zerva_kalimtor_demo@example.com");
  EXPECT_EQ(LoginLockName("a.b_c+d-e"), "zerva_net_zerva_kalimtor_a.b_c+d-e");
  for (const std::string& unusual :
       {std::string("two words"), std::string("a/b"), std::string("p\xc5\x99\xc3\xad"),
        std::string("nul\0byte", 8), std::string(65, 'x')}) {
    EXPECT_EQ(LoginLockName(unusual), "zerva_net_zerva_kalimtor_md5-" + Md5Hex(unusual)) << unusual;
  }
  EXPECT_EQ(LoginLockName(std::string(64, 'x')),
            "zerva_net_zerva_kalimtor_" + std::string(64, 'x'));
  // Names that differ only in case stay different accounts, as they are for the service.
  EXPECT_NE(LoginLockName("Demo"), LoginLockName("demo"));
}

TEST(LoginLock, SecondLockInTheSameProcessIsRefusedUntilReleased) {
  const std::string name = UniqueName("same-process");
  LoginLock first;
  ASSERT_EQ(first.Acquire(name), LockResult::kAcquired);
  EXPECT_TRUE(first.Held());
  {
    LoginLock second;
    EXPECT_EQ(second.Acquire(name), LockResult::kHeldElsewhere);
    EXPECT_FALSE(second.Held());
    // Another account is not affected.
    EXPECT_EQ(second.Acquire(name + "-other"), LockResult::kAcquired);
  }
  first.Release();
  EXPECT_FALSE(first.Held());
  LoginLock third;
  EXPECT_EQ(third.Acquire(name), LockResult::kAcquired);
}

TEST(LoginLock, LockHeldByAnotherProcessIsRefusedAndFreedWhenItDies) {
  const std::string name = UniqueName("other-process");
  test::LockHolderProcess holder(name);
  ASSERT_EQ(holder.Result(), static_cast<int>(LockResult::kAcquired));
  LoginLock lock;
  EXPECT_EQ(lock.Acquire(name), LockResult::kHeldElsewhere);
  holder.Kill();  // SIGKILL: no chance to clean up, yet no stale lock
  EXPECT_EQ(lock.Acquire(name), LockResult::kAcquired);
}

TEST(LoginLock, AnotherProcessIsRefusedWhileWeHoldTheLock) {
  const std::string name = UniqueName("we-hold");
  LoginLock lock;
  ASSERT_EQ(lock.Acquire(name), LockResult::kAcquired);
  {
    test::LockHolderProcess refused(name);
    EXPECT_EQ(refused.Result(), static_cast<int>(LockResult::kHeldElsewhere));
  }
  lock.Release();
  test::LockHolderProcess taken(name);
  EXPECT_EQ(taken.Result(), static_cast<int>(LockResult::kAcquired));
}

TEST(LoginLock, RaiseRequestReachesTheHandlerOnAnotherThread) {
  const std::string name = UniqueName("raise");
  EXPECT_FALSE(RequestRaise(name));  // nobody holds it

  LoginLock lock;
  std::promise<std::thread::id> called;
  lock.SetRaiseHandler([&called]() { called.set_value(std::this_thread::get_id()); });
  ASSERT_EQ(lock.Acquire(name), LockResult::kAcquired);
  EXPECT_TRUE(RequestRaise(name));
  auto future = called.get_future();
  ASSERT_EQ(future.wait_for(5s), std::future_status::ready);
  EXPECT_NE(future.get(), std::this_thread::get_id());

  // Without a handler the holder still answers; after release nobody does.
  lock.SetRaiseHandler({});
  EXPECT_TRUE(RequestRaise(name));
  lock.Release();
  EXPECT_FALSE(RequestRaise(name));
}

TEST(LoginLock, RaiseRequestReachesAHolderInAnotherProcess) {
  const std::string name = UniqueName("raise-child");
  int raised[2];
  ASSERT_EQ(::pipe(raised), 0);
  test::LockHolderProcess holder(name, raised[1]);
  ASSERT_EQ(holder.Result(), static_cast<int>(LockResult::kAcquired));
  EXPECT_TRUE(RequestRaise(name));
  char c = 0;
  EXPECT_EQ(::read(raised[0], &c, 1), 1);
  EXPECT_EQ(c, 'r');
  holder.Kill();
  EXPECT_FALSE(RequestRaise(name));
  ::close(raised[0]);
  ::close(raised[1]);
}

TEST(LoginLock, ReleaseFromInsideTheHandlerFreesTheName) {
  const std::string name = UniqueName("release-in-handler");
  LoginLock lock;
  std::atomic<bool> released{false};
  lock.SetRaiseHandler([&]() {
    lock.Release();
    released = true;
  });
  ASSERT_EQ(lock.Acquire(name), LockResult::kAcquired);
  EXPECT_TRUE(RequestRaise(name));
  EXPECT_TRUE(released.load());
  EXPECT_FALSE(lock.Held());
  LoginLock next;
  EXPECT_EQ(next.Acquire(name), LockResult::kAcquired);
}

TEST(LoginLock, SilentOrGarbledClientsDoNotRaiseNorHoldUpRelease) {
  const std::string name = UniqueName("silent");
  LoginLock lock;
  std::atomic<int> calls{0};
  lock.SetRaiseHandler([&calls]() { ++calls; });
  ASSERT_EQ(lock.Acquire(name), LockResult::kAcquired);

  const std::string full = LoginLockName(name);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, full.data(), full.size());
  const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + full.size());
  const int garbled = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::connect(garbled, reinterpret_cast<const sockaddr*>(&address), size), 0);
  ASSERT_EQ(::send(garbled, "rise!\n", 6, MSG_NOSIGNAL), 6);
  const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::connect(silent, reinterpret_cast<const sockaddr*>(&address), size), 0);

  std::this_thread::sleep_for(100ms);
  const auto start = std::chrono::steady_clock::now();
  lock.Release();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_EQ(calls.load(), 0);
  LoginLock next;
  EXPECT_EQ(next.Acquire(name), LockResult::kAcquired);
  ::close(garbled);
  ::close(silent);
}

}  // namespace
}  // namespace zerva
