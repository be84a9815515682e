#include "platform/login_lock.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/md5.h"

namespace zerva {

struct LoginLockRaiseSlot {
  std::mutex mutex;
  LoginLock::RaiseHandler handler;
};

namespace {

constexpr std::string_view kRaiseRequest = "raise\n";
constexpr std::string_view kRaiseReply = "ok\n";
constexpr int kReplyTimeoutMs = 1000;
// Room is 107 bytes; keep well below so that every name the prefix allows fits.
constexpr size_t kMaxPlainNameBytes = 64;

bool PlainNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '@' ||
         c == '.' || c == '_' || c == '+' || c == '-';
}

// The abstract address: a leading NUL, then the name without a terminator.
socklen_t AbstractAddress(const std::string& name, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  const size_t size = std::min(name.size(), sizeof address->sun_path - 1);
  std::memcpy(address->sun_path + 1, name.data(), size);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left.count()));
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return false;
  }
}

// Reads until `expected` arrived whole, the peer closed, or the deadline passed.
bool ReadExactly(int fd, std::string_view expected,
                 std::chrono::steady_clock::time_point deadline) {
  std::string got;
  while (got.size() < expected.size()) {
    if (!WaitFor(fd, POLLIN, deadline)) return false;
    char buffer[16];
    const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, expected.size() - got.size()), 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got == expected;
}

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Another user of the machine may connect too; only our own user may move our window.
bool PeerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return credentials.uid == ::geteuid();
}

}  // namespace

struct LoginLock::Listener {
  int socket = -1;
  int wake = -1;
  std::thread thread;
  std::atomic<bool> stop{false};

  ~Listener() {
    CloseFd(socket);
    CloseFd(wake);
  }
};

namespace {

void Serve(int client, LoginLockRaiseSlot& slot) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
  if (!PeerIsSameUser(client) || !ReadExactly(client, kRaiseRequest, deadline)) return;
  LoginLock::RaiseHandler handler;
  {
    std::lock_guard<std::mutex> lock(slot.mutex);
    handler = slot.handler;
  }
  if (handler) handler();
  SendAll(client, kRaiseReply);
}

}  // namespace

LoginLock::LoginLock() : raise_(std::make_shared<LoginLockRaiseSlot>()) {}

LoginLock::~LoginLock() {
  Release();
}

std::string LoginLockName(std::string_view loginName) {
  bool plain = loginName.size() <= kMaxPlainNameBytes;
  for (const unsigned char c : loginName) plain = plain && PlainNameByte(c);
  if (plain) return kLoginLockPrefix + std::string(loginName);
  return kLoginLockPrefix + std::string("md5-") + Md5Hex(loginName);
}

LockResult LoginLock::Acquire(std::string_view loginName) {
  Release();
  auto listener = std::make_shared<Listener>();
  listener->socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener->socket < 0) return LockResult::kFailed;
  sockaddr_un address;
  const socklen_t size = AbstractAddress(LoginLockName(loginName), &address);
  if (::bind(listener->socket, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    return errno == EADDRINUSE ? LockResult::kHeldElsewhere : LockResult::kFailed;
  }
  listener->wake = ::eventfd(0, EFD_CLOEXEC);
  if (::listen(listener->socket, 8) != 0 || listener->wake < 0) return LockResult::kFailed;

  // The thread keeps its own references, so that a release from inside the raise handler
  // cannot pull the state away under it.
  try {
    listener->thread = std::thread([listener, slot = raise_]() {
      pollfd fds[2] = {{listener->socket, POLLIN, 0}, {listener->wake, POLLIN, 0}};
      while (!listener->stop.load()) {
        fds[0].revents = fds[1].revents = 0;
        if (::poll(fds, 2, -1) < 0) {
          if (errno == EINTR) continue;
          break;
        }
        if (fds[1].revents != 0 || listener->stop.load()) break;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
        if ((fds[0].revents & POLLIN) == 0) continue;
        int client = ::accept4(listener->socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
          // Out of descriptors, say: do not spin on a queue we cannot take from.
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
          continue;
        }
        Serve(client, *slot);
        CloseFd(client);
      }
    });
  } catch (const std::system_error&) {
    return LockResult::kFailed;
  }
  listener_ = std::move(listener);
  return LockResult::kAcquired;
}

void LoginLock::Release() {
  std::shared_ptr<Listener> listener = std::move(listener_);
  if (!listener) return;
  listener->stop.store(true);
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(listener->wake, &one, sizeof one);
  if (listener->thread.get_id() == std::this_thread::get_id()) {
    // Released from inside the raise handler: free the name now; the thread ends on its own
    // once the handler returns, and the last reference closes the rest.
    CloseFd(listener->socket);
    listener->thread.detach();
    return;
  }
  listener->thread.join();
}

bool LoginLock::Held() const {
  return listener_ != nullptr;
}

void LoginLock::SetRaiseHandler(RaiseHandler handler) {
  std::lock_guard<std::mutex> lock(raise_->mutex);
  raise_->handler = std::move(handler);
}

bool RequestRaise(std::string_view loginName) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  sockaddr_un address;
  const socklen_t size = AbstractAddress(LoginLockName(loginName), &address);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kReplyTimeoutMs);
  // Non-blocking, so that a holder whose queue is full (or who hangs) cannot stall us.
  bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0 ||
            (errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline));
  ok = ok && SendAll(fd, kRaiseRequest) && ReadExactly(fd, kRaiseReply, deadline);
  CloseFd(fd);
  return ok;
}

}  // namespace zerva
