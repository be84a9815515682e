#include "media/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "app/trace.h"
#include "platform/system_error.h"
#include "platform/tools.h"

extern char** environ;

namespace zerva {
namespace {

// How long one round waits for output before it looks at the child again.
constexpr int kRoundMs = 100;
// A larger pipe lets a child that runs in the background write longer between two collections.
constexpr int kPipeBytes = 1024 * 1024;
// One pass over the pipe stops after this much, so a writer faster than us cannot hold it.
constexpr size_t kDrainBytes = 16 * 1024 * 1024;

// The beginning of the output and its latest part, with a note of what was left out between.
class BoundedOutput {
 public:
  void Append(const char* data, size_t size) {
    const size_t toHead = std::min(size, kOutputHeadBytes - head_.size());
    head_.append(data, toHead);
    data += toHead;
    size -= toHead;
    if (size == 0) return;
    tail_.append(data, size);
    if (tail_.size() > 2 * kOutputTailBytes) {
      const size_t drop = tail_.size() - kOutputTailBytes;
      dropped_ += drop;
      tail_.erase(0, drop);
    }
  }

  std::string Take() {
    if (tail_.size() > kOutputTailBytes) {
      dropped_ += tail_.size() - kOutputTailBytes;
      tail_.erase(0, tail_.size() - kOutputTailBytes);
    }
    std::string text = std::move(head_);
    if (dropped_ > 0) {
      text += "\n[... " + std::to_string(dropped_) + " bytes of output left out ...]\n";
    }
    text += tail_;
    return text;
  }

 private:
  std::string head_;
  std::string tail_;
  uint64_t dropped_ = 0;
};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
}

// Reads what the pipe holds now. False once the pipe has ended (every writer closed it) or
// failed. A zero byte ends the text of the read that brought it.
bool DrainPipe(int fd, BoundedOutput* out) {
  char buffer[65536];
  size_t total = 0;
  while (total < kDrainBytes) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      total += static_cast<size_t>(got);
      const void* zero = std::memchr(buffer, 0, static_cast<size_t>(got));
      out->Append(buffer, zero ? static_cast<const char*>(zero) - buffer : got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;  // end of the pipe, or an error
  }
  return true;
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kStillActive;
}

// The program to run for the command's first word.
std::string ProgramPath(const std::string& word) {
  if (word.empty()) return {};
  if (word.find('/') != std::string::npos) return word;
  const ToolLocation tool = FindTool(word);
  return tool.present ? tool.path : std::string();
}

// Spawn settings for the child: signals at their defaults and none blocked, whatever this
// process (or the thread that starts the child) has set up.
class SpawnAttributes {
 public:
  SpawnAttributes() {
    ok_ = ::posix_spawnattr_init(&attr_) == 0;
    if (!ok_) return;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig :
         {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGUSR1, SIGUSR2, SIGALRM}) {
      sigaddset(&defaults, sig);
    }
    ok_ = ::posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
          ::posix_spawnattr_setsigdefault(&attr_, &defaults) == 0 &&
          ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attr_); }
  bool ok() const { return ok_; }
  const posix_spawnattr_t* get() const { return &attr_; }

 private:
  posix_spawnattr_t attr_;
  bool ok_ = false;
};

class FileActions {
 public:
  FileActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  void Dup(int fd, int target) {
    ok_ = ok_ && ::posix_spawn_file_actions_adddup2(&actions_, fd, target) == 0;
  }
  void DevNull(int target, int flags) {
    ok_ = ok_ && ::posix_spawn_file_actions_addopen(&actions_, target, "/dev/null", flags, 0) == 0;
  }
  bool ok() const { return ok_; }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
  bool ok_ = false;
};

}  // namespace

ChildProcess::ChildProcess(bool killOnClose) : killOnClose_(killOnClose) {}

ChildProcess::~ChildProcess() {
  Close();
}

bool ChildProcess::Start(const std::string& commandLine, bool withPipes,
                         const std::string& windowTitle) {
  ProcessCommand command;
  command.text = commandLine;
  command.args = SplitCommandLine(commandLine);
  return Start(command, withPipes, windowTitle);
}

bool ChildProcess::Start(const ProcessCommand& command, bool withPipes,
                         const std::string& /*windowTitle*/) {
  Close();
  if (command.args.empty()) return false;
  const std::string program = ProgramPath(command.args[0]);
  if (program.empty()) {
    Trace(kTraceError, static_cast<int>(command.args[0].size()), "ChildProcess: %s not found\n",
          command.args[0].c_str());
    return false;
  }

  int output[2] = {-1, -1};
  FileActions actions;
  // The input is empty: a child that asks a question reads "no answer" instead of waiting.
  actions.DevNull(STDIN_FILENO, O_RDONLY);
  if (withPipes) {
    if (::pipe2(output, O_CLOEXEC) != 0) return false;
    ::fcntl(output[0], F_SETPIPE_SZ, kPipeBytes);  // a smaller pipe only means more rounds
    actions.Dup(output[1], STDOUT_FILENO);
    actions.Dup(output[1], STDERR_FILENO);
  } else {
    actions.DevNull(STDOUT_FILENO, O_WRONLY);
    actions.DevNull(STDERR_FILENO, O_WRONLY);
  }
  SpawnAttributes attributes;
  if (!actions.ok() || !attributes.ok()) {
    CloseFd(&output[0]);
    CloseFd(&output[1]);
    return false;
  }

  std::vector<char*> argv;
  argv.reserve(command.args.size() + 1);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (size_t i = 1; i < command.args.size(); ++i) {
    argv.push_back(const_cast<char*>(command.args[i].c_str()));
  }
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int error =
      ::posix_spawn(&pid, program.c_str(), actions.get(), attributes.get(), argv.data(), environ);
  // The child's end belongs to the child alone: the pipe reports its end when the child exits.
  CloseFd(&output[1]);
  if (error != 0) {
    CloseFd(&output[0]);
    const std::string reason = WindowsErrorText(error);
    Trace(kTraceError, static_cast<int>(program.size() + reason.size()),
          "ChildProcess: cannot start %s: %s\n", program.c_str(), reason.c_str());
    return false;
  }
  if (output[0] >= 0) ::fcntl(output[0], F_SETFL, ::fcntl(output[0], F_GETFL) | O_NONBLOCK);
  pid_ = pid;
  reaped_ = false;
  exitCode_ = kStillActive;
  outputRead_ = output[0];
  outputEnded_ = outputRead_ < 0;
  commandLine_ = command.text;
  return true;
}

std::string ChildProcess::ReadOutput(bool wait, int* exitCode) {
  return Collect(wait, -1, exitCode);
}

std::string ChildProcess::ReadOutputFor(int timeoutMs, int* exitCode) {
  return Collect(true, std::max(timeoutMs, 0), exitCode);
}

std::string ChildProcess::Collect(bool wait, int timeoutMs, int* exitCode) {
  BoundedOutput out;
  const int64_t deadline = timeoutMs >= 0 ? NowMs() + timeoutMs : -1;
  int code = -1;
  for (;;) {
    if (!outputEnded_ && !DrainPipe(outputRead_, &out)) outputEnded_ = true;
    if (!GetExitCode(&code)) {
      code = -1;
      break;
    }
    if (code != kStillActive) {
      // What the child wrote just before it ended is in the pipe now.
      if (!outputEnded_ && !DrainPipe(outputRead_, &out)) outputEnded_ = true;
      break;
    }
    if (!wait) break;
    int roundMs = kRoundMs;
    if (deadline >= 0) {
      const int64_t left = deadline - NowMs();
      if (left <= 0) break;
      roundMs = static_cast<int>(std::min<int64_t>(roundMs, left));
    }
    if (outputEnded_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(roundMs));
    } else {
      pollfd waiting{outputRead_, POLLIN, 0};
      ::poll(&waiting, 1, roundMs);
    }
  }
  if (exitCode != nullptr) *exitCode = code;
  return out.Take();
}

bool ChildProcess::GetExitCode(int* exitCode) {
  if (pid_ <= 0) return false;
  if (!reaped_) {
    int status = 0;
    pid_t result;
    do {
      result = ::waitpid(pid_, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
      const std::string reason = WindowsErrorText(errno);
      Trace(kTraceError, static_cast<int>(reason.size()), "GetExitCodeProcess failed: %s\n",
            reason.c_str());
      return false;
    }
    if (result == pid_) {
      const int code = ExitCodeOf(status);
      if (code != kStillActive) {  // stopped or continued children still run
        reaped_ = true;
        exitCode_ = code;
      }
    }
  }
  if (exitCode != nullptr) *exitCode = reaped_ ? exitCode_ : kStillActive;
  return true;
}

void ChildProcess::ClosePipes() {
  CloseFd(&outputRead_);
  outputEnded_ = true;
}

void ChildProcess::Close() {
  ClosePipes();
  if (pid_ <= 0) return;
  int code = -1;
  const bool known = GetExitCode(&code);
  if (known && code == kStillActive) {
    const pid_t pid = pid_;
    if (killOnClose_) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    } else {
      // The child goes on alone; someone has to collect it once it ends.
      std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    }
  }
  pid_ = 0;
  reaped_ = false;
  exitCode_ = kStillActive;
}

}  // namespace zerva
