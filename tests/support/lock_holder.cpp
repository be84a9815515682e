#include "support/lock_holder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/login_lock.h"

namespace zerva::test {

LockHolderProcess::LockHolderProcess(const std::string& loginName, int raiseFd) {
  int ready[2];
  if (::pipe(ready) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(ready[0]);
    LoginLock lock;
    if (raiseFd >= 0) {
      lock.SetRaiseHandler([raiseFd]() { [[maybe_unused]] ssize_t n = ::write(raiseFd, "r", 1); });
    }
    const char result = static_cast<char>('0' + static_cast<int>(lock.Acquire(loginName)));
    [[maybe_unused]] ssize_t n = ::write(ready[1], &result, 1);
    while (true) ::pause();
  }
  ::close(ready[1]);
  char result = 0;
  if (pid_ > 0 && ::read(ready[0], &result, 1) == 1) result_ = result - '0';
  ::close(ready[0]);
}

LockHolderProcess::~LockHolderProcess() {
  Kill();
}

bool LockHolderProcess::Holds() const {
  return result_ == static_cast<int>(LockResult::kAcquired);
}

void LockHolderProcess::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

}  // namespace zerva::test
