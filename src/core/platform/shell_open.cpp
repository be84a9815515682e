#include "platform/shell_open.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>

extern char** environ;

namespace zerva {
namespace {

std::mutex& OpenerMutex() {
  static std::mutex mutex;
  return mutex;
}

ShellOpener& CurrentOpener() {
  static ShellOpener opener;
  return opener;
}

// Reaps the child without making the caller wait for it.
void ReapInBackground(pid_t pid) {
  try {
    std::thread([pid]() {
      int status = 0;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the child stays a zombie until we exit, which harms nobody.
  }
}

}  // namespace

bool XdgOpen(const std::string& target) {
  if (target.empty() || target.find('\0') != std::string::npos) return false;
  // A leading "-" would read as one of xdg-open's own options.
  std::string argument = target[0] == '-' ? "./" + target : target;
  char program[] = "xdg-open";
  char* argv[] = {program, argument.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (::posix_spawn_file_actions_init(&actions) != 0) return false;
  if (::posix_spawnattr_init(&attributes) != 0) {
    ::posix_spawn_file_actions_destroy(&actions);
    return false;
  }
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
  // A session of its own, no blocked signals, and the signals we may ignore back at their
  // defaults (exec keeps ignored ones): what it starts must outlive us and not inherit our
  // signal setup.
  sigset_t none;
  sigset_t ignored;
  sigemptyset(&none);
  sigemptyset(&ignored);
  for (const int signal : {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
    sigaddset(&ignored, signal);
  }
  ::posix_spawnattr_setsigmask(&attributes, &none);
  ::posix_spawnattr_setsigdefault(&attributes, &ignored);
  ::posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, program, &actions, &attributes, argv, environ);
  ::posix_spawnattr_destroy(&attributes);
  ::posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  ReapInBackground(pid);
  return true;
}

bool ShellOpen(const std::string& target) {
  ShellOpener opener;
  {
    std::lock_guard<std::mutex> lock(OpenerMutex());
    opener = CurrentOpener();
  }
  return opener ? opener(target) : XdgOpen(target);
}

ShellOpener SetShellOpener(ShellOpener opener) {
  std::lock_guard<std::mutex> lock(OpenerMutex());
  ShellOpener previous = std::move(CurrentOpener());
  CurrentOpener() = std::move(opener);
  return previous;
}

}  // namespace zerva
