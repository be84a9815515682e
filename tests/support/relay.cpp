#include "support/relay.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/loopback.h"

namespace zerva::test {
namespace {

using Clock = std::chrono::steady_clock;

// Small enough that the cap paces smoothly (about 6 ms of a 20 Mbit/s line).
constexpr size_t kChunkBytes = 16 * 1024;

void NoDelay(int fd) {
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

struct Chunk {
  std::string bytes;  // empty: the sender closed its side
  Clock::time_point deliverAt;
};

}  // namespace

Clock::time_point Relay::Line::Reserve(int64_t bytes, int64_t bitsPerSecond) {
  std::lock_guard<std::mutex> guard(lock);
  const Clock::time_point now = Clock::now();
  const Clock::time_point start = free > now ? free : now;
  free = start + std::chrono::nanoseconds(bytes * 8 * 1'000'000'000LL / bitsPerSecond);
  return free;
}

// One relayed connection: in each direction a reader that paces what it takes in and a writer
// that hands it on when its delay is over.
struct Relay::Connection {
  struct Direction {
    int from = -1, to = -1;
    Line* line = nullptr;
    std::atomic<int64_t>* delivered = nullptr;
    bool towardsTarget = false;
    std::deque<Chunk> queue;
  };

  Connection(int clientFd, int targetFd) {
    up.from = clientFd;
    up.to = targetFd;
    up.towardsTarget = true;
    down.from = targetFd;
    down.to = clientFd;
  }
  ~Connection() {
    for (std::thread& t : threads) {
      if (t.joinable()) t.join();
    }
    ::close(up.from);
    ::close(up.to);
  }

  // False when it was cut already.
  bool Cut() {
    {
      std::lock_guard<std::mutex> guard(lock);
      if (cut) return false;
      cut = true;
    }
    ::shutdown(up.from, SHUT_RDWR);
    ::shutdown(up.to, SHUT_RDWR);
    wake.notify_all();
    return true;
  }
  bool Finished() const { return finishedThreads.load() == 4; }

  void Read(Direction& d, const RelayOptions& options, const std::function<bool(int64_t)>& rule) {
    std::vector<char> buffer(kChunkBytes);
    int64_t total = 0;
    for (;;) {
      const ssize_t n = ::recv(d.from, buffer.data(), buffer.size(), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Cut();  // a reset travels on as one
      if (n <= 0) break;
      total += n;
      if (d.towardsTarget && rule(total)) {
        Cut();
        break;
      }
      const Clock::time_point leaves =
          options.bitsPerSecond > 0 ? d.line->Reserve(n, options.bitsPerSecond) : Clock::now();
      std::this_thread::sleep_until(leaves);
      Push(d, std::string(buffer.data(), static_cast<size_t>(n)), leaves + options.oneWayDelay);
    }
    Push(d, std::string(), Clock::now() + options.oneWayDelay);
    ++finishedThreads;
  }

  void Write(Direction& d) {
    for (;;) {
      Chunk chunk;
      {
        std::unique_lock<std::mutex> guard(lock);
        wake.wait(guard, [&] { return cut || !d.queue.empty(); });
        if (cut) break;
        chunk = std::move(d.queue.front());
        d.queue.pop_front();
        if (wake.wait_until(guard, chunk.deliverAt, [&] { return cut; })) break;
      }
      if (chunk.bytes.empty()) {
        ::shutdown(d.to, SHUT_WR);
        break;
      }
      if (!WriteAll(d.to, chunk.bytes.data(), chunk.bytes.size())) {
        Cut();
        break;
      }
      *d.delivered += static_cast<int64_t>(chunk.bytes.size());
    }
    ++finishedThreads;
  }

  void Push(Direction& d, std::string bytes, Clock::time_point deliverAt) {
    {
      std::lock_guard<std::mutex> guard(lock);
      d.queue.push_back(Chunk{std::move(bytes), deliverAt});
    }
    wake.notify_all();
  }

  Direction up, down;
  std::mutex lock;
  std::condition_variable wake;
  bool cut = false;
  std::atomic<int> finishedThreads{0};
  std::thread threads[4];
};

Relay::Relay(int targetPort, RelayOptions options) : targetPort_(targetPort), options_(options) {
  up_.free = down_.free = Clock::now();
}

Relay::~Relay() {
  Stop();
}

bool Relay::Start(std::string* error, int port) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
    return false;
  };
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return fail("socket");
  const int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = LoopbackAddress(port);
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return fail("bind");
  }
  if (::listen(listenFd_, 64) != 0) return fail("listen");
  if (::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return fail("getsockname");
  }
  port_ = ntohs(address.sin_port);
  if (::pipe2(stopPipe_, O_CLOEXEC) != 0) return fail("pipe");
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void Relay::Stop() {
  if (acceptor_.joinable()) {
    const char stop = 's';
    if (::write(stopPipe_[1], &stop, 1) != 1) {
      // The pipe is ours and empty: this cannot fail short of a broken process.
    }
    acceptor_.join();
  }
  CutAll();
  {
    std::lock_guard<std::mutex> guard(connectionsLock_);
    connections_.clear();  // joins their threads
  }
  for (int& fd : stopPipe_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  if (listenFd_ >= 0) ::close(listenFd_);
  listenFd_ = -1;
}

void Relay::CutAll() {
  std::lock_guard<std::mutex> guard(connectionsLock_);
  for (const auto& connection : connections_) {
    if (!connection->Finished() && connection->Cut()) ++cuts_;
  }
}

void Relay::CutAfter(int64_t bytes, int count) {
  std::lock_guard<std::mutex> guard(ruleLock_);
  cutAfterBytes_ = bytes;
  cutsLeft_ = count;
}

bool Relay::CutRuleHits(int64_t bytesSoFar) {
  std::lock_guard<std::mutex> guard(ruleLock_);
  if (cutsLeft_ <= 0 || bytesSoFar <= cutAfterBytes_) return false;
  --cutsLeft_;
  ++cuts_;
  return true;
}

void Relay::AcceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, 1000) < 0 && errno != EINTR) return;
    if (fds[1].revents != 0) return;
    ReapFinished();
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client >= 0) Open(client);
  }
}

void Relay::Open(int clientFd) {
  const int target = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = LoopbackAddress(targetPort_);
  if (target < 0 ||
      ::connect(target, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    if (target >= 0) ::close(target);
    ::close(clientFd);
    return;
  }
  NoDelay(clientFd);
  NoDelay(target);
  ++accepted_;
  auto connection = std::make_shared<Connection>(clientFd, target);
  connection->up.line = &up_;
  connection->up.delivered = &bytesUp_;
  connection->down.line = &down_;
  connection->down.delivered = &bytesDown_;
  Connection* c = connection.get();
  const std::function<bool(int64_t)> rule = [this](int64_t bytes) { return CutRuleHits(bytes); };
  const std::function<bool(int64_t)> never = [](int64_t) { return false; };
  c->threads[0] = std::thread([c, this, rule] { c->Read(c->up, options_, rule); });
  c->threads[1] = std::thread([c] { c->Write(c->up); });
  c->threads[2] = std::thread([c, this, never] { c->Read(c->down, options_, never); });
  c->threads[3] = std::thread([c] { c->Write(c->down); });
  std::lock_guard<std::mutex> guard(connectionsLock_);
  connections_.push_back(std::move(connection));
}

void Relay::ReapFinished() {
  std::lock_guard<std::mutex> guard(connectionsLock_);
  connections_.remove_if([](const std::shared_ptr<Connection>& c) { return c->Finished(); });
}

}  // namespace zerva::test
