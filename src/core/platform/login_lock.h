// The system-wide lock that keeps one account from being signed in twice on this computer.
//
// The lock is an abstract Unix socket named after the login name: the kernel frees the name
// when the holder closes it or dies, so a crash never leaves a stale lock, and the name is
// shared by every process and every user of the machine. The holder also listens on it, so a
// refused instance can ask the holder to bring its window to the front.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zerva {

struct LoginLockRaiseSlot;

inline constexpr const char* kLoginLockPrefix = "zerva_net_zerva_kalimtor_";

// The socket name of a login name: the prefix and the name, or the prefix, "md5-" and the
// name's digest when the name is long or holds bytes other than letters, digits and @ . _ + -.
std::string LoginLockName(std::string_view loginName);

enum class LockResult {
  kAcquired,       // this object holds the lock now
  kHeldElsewhere,  // another object, in this or another process, holds it
  kFailed,         // the system would not give us a socket at all
};

class LoginLock {
 public:
  // Called on the lock's listener thread when another instance asks for the window.
  using RaiseHandler = std::function<void()>;

  LoginLock();
  ~LoginLock();  // releases
  LoginLock(const LoginLock&) = delete;
  LoginLock& operator=(const LoginLock&) = delete;

  // Acquire, Release and Held are not for concurrent use; the raise handler may call Release.
  // Takes the lock of `loginName`. A lock this object already holds is released first.
  LockResult Acquire(std::string_view loginName);
  // Gives the lock up; waits for a running raise handler to return (unless called from it).
  void Release();
  bool Held() const;

  // May be set or replaced at any time, also while the lock is held.
  void SetRaiseHandler(RaiseHandler handler);

 private:
  struct Listener;
  std::shared_ptr<Listener> listener_;  // shared with the listener thread
  std::shared_ptr<LoginLockRaiseSlot> raise_;
};

// Asks the holder of the lock of `loginName` to raise its window. True when the holder took
// the request; false when nobody holds the lock or the holder did not answer within a second.
bool RequestRaise(std::string_view loginName);

}  // namespace zerva
