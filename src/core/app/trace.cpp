#include "app/trace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

#include "app/app_folders.h"
#include "app/text_utils.h"

namespace zerva {
namespace {

constexpr size_t kNoHintCapacity = 4097;
constexpr uint32_t kThreadMask = 0x0fffffff;
// A log that keeps being replaced under us by another process is given up after this many
// tries; the line is then dropped like any other line that cannot be written.
constexpr int kOpenAttempts = 4;

// One lock over the ring, the window pointer and the file, so lines never interleave within
// this process; flock keeps other zerva processes out of the file while a line is written.
struct TraceState {
  std::mutex mutex;
  std::deque<std::string> ring;
  MessageTarget* window = nullptr;
};

TraceState& State() {
  // Never destroyed: threads may still trace while static objects are torn down at exit.
  static TraceState* state = new TraceState;
  return *state;
}

std::string FormatMessage(int lengthHint, const char* format, va_list args) {
  const size_t formatLength = std::strlen(format);
  const size_t capacity =
      (lengthHint > 0 ? static_cast<size_t>(lengthHint) + 1 : kNoHintCapacity) + formatLength;
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed < 0) return {};
  // A generous hint never costs more memory than the text itself needs.
  const size_t size = std::min(static_cast<size_t>(needed) + 1, capacity);
  std::string text(size, '\0');
  std::vsnprintf(text.data(), size, format, args);
  text.resize(size - 1);
  return text;
}

uint32_t CurrentThreadId() {
  return static_cast<uint32_t>(::gettid());
}

uint64_t TickMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// Opens the log for appending and locks it. A log larger than `maxBytes` is deleted first (and,
// when `create` is set, started afresh). The checks run under the lock and against the file that
// is actually open, so a log replaced by another process in between is opened again.
int OpenLockedLog(const std::string& path, int64_t maxBytes, bool create) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    // Non-blocking so that a FIFO by that name cannot stall the caller; no effect on files.
    const int flags =
        O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (create ? O_CREAT : 0);
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat held, named;
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
      ::close(fd);
      return -1;
    }
    if (::stat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino ||
        named.st_dev != held.st_dev) {
      ::close(fd);
      continue;
    }
    if (held.st_size > maxBytes) {
      ::unlink(path.c_str());
      ::close(fd);
      if (!create) return -1;
      continue;
    }
    return fd;
  }
  return -1;
}

void AppendLine(const std::string& path, const std::string& line) {
  const int fd = OpenLockedLog(path, kTraceMaxBytes, true);
  if (fd < 0) return;
  size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(fd, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  ::close(fd);
}

void Record(int level, std::string text) {
  const uint32_t tag = MakeTraceTag(level, CurrentThreadId());
  TraceState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.ring.push_back(text);
  while (state.ring.size() > static_cast<size_t>(kTraceRingSize)) state.ring.pop_front();
  if (state.window) {
    state.window->Post(
        {kMsgTraceLine, static_cast<MessageParam>(tag), 0, std::make_shared<std::string>(text)});
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::string line = TraceLinePrefix(TraceTagLevel(tag), TraceTagThread(tag), local, TickMs());
  line += FlattenLines(text);
  line += "\r\n";
  AppendLine(TraceFilePath(), line);
}

}  // namespace

void Trace(int level, int lengthHint, const char* format, ...) {
  if (format == nullptr) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatMessage(lengthHint, format, args);
  va_end(args);
  Record(level, std::move(text));
}

void TraceText(int level, const std::string& text) {
  const int hint = static_cast<int>(std::min<size_t>(text.size(), 0x7fffffff - 16));
  Trace(level, hint, "%s\n", text.c_str());
}

std::vector<std::string> RecentTraceMessages(int count, bool newestFirst) {
  TraceState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const size_t kept = state.ring.size();
  const size_t take = count <= 0 ? kept : std::min(kept, static_cast<size_t>(count));
  std::vector<std::string> messages(state.ring.end() - static_cast<std::ptrdiff_t>(take),
                                    state.ring.end());
  if (newestFirst) std::reverse(messages.begin(), messages.end());
  return messages;
}

void SetTraceWindow(MessageTarget* window) {
  TraceState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.window = window;
}

std::string TraceFilePath() {
  return TempFolder() + "trace.log";
}

void TrimTraceLogAtStartup() {
  TraceState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const int fd = OpenLockedLog(TraceFilePath(), kTraceStartupMaxBytes, false);
  if (fd >= 0) ::close(fd);
}

std::string TraceLinePrefix(int level, uint32_t threadId, const std::tm& local, uint64_t tickMs) {
  const uint64_t ticks = tickMs / 10;
  const int seconds = static_cast<int>((ticks % 6000) / 100);
  const int hundredths = static_cast<int>(ticks % 100);
  char buffer[128];
  const int n =
      std::snprintf(buffer, sizeof buffer, "(%.2d) (%.4x) %.4d-%.2d-%.2d %.2d:%.2d:%.2d.%.2d ",
                    level, threadId & kThreadMask, local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, seconds, hundredths);
  if (n <= 0) return {};
  return std::string(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
}

uint32_t MakeTraceTag(int level, uint32_t threadId) {
  return (static_cast<uint32_t>(level) << 28) | (threadId & kThreadMask);
}

int TraceTagLevel(uint32_t tag) {
  return static_cast<int>(tag >> 28);
}

uint32_t TraceTagThread(uint32_t tag) {
  return tag & kThreadMask;
}

std::string TraceLevelLabel(int level) {
  switch (level) {
    case kTraceError:
      return "1 (error)";
    case kTraceWarning:
      return "5 (warning)";
    case kTraceNotice:
      return "10 (notice)";
    default:
      return std::to_string(level);
  }
}

}  // namespace zerva
