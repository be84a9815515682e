// Another running copy of the program that holds an account's login lock: a forked child that
// takes the lock, reports the result and waits to be killed.
#pragma once

#include <sys/types.h>

#include <string>

namespace zerva::test {

class LockHolderProcess {
 public:
  // With `raiseFd`, the child's raise handler writes "r" there.
  explicit LockHolderProcess(const std::string& loginName, int raiseFd = -1);
  ~LockHolderProcess();
  LockHolderProcess(const LockHolderProcess&) = delete;
  LockHolderProcess& operator=(const LockHolderProcess&) = delete;

  // The child's LockResult as an integer; -1 when it never reported.
  int Result() const { return result_; }
  bool Holds() const;
  // SIGKILL: the lock must go with the process.
  void Kill();

 private:
  pid_t pid_ = -1;
  int result_ = -1;
};

}  // namespace zerva::test
