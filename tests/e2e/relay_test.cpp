// The slow-link relay the whole-program tests rely on: it delays, it caps the line shared by its
// connections, and it cuts them when told, so that a test that passes through it was really
// slowed or cut.
#include "support/relay.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Echoes every connection's bytes back until it closes.
class EchoServer {
 public:
  EchoServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 16);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] {
      for (;;) {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) return;
        echoes_.emplace_back([client] {
          char buffer[65536];
          for (ssize_t n; (n = ::recv(client, buffer, sizeof buffer, 0)) > 0;) {
            if (::send(client, buffer, static_cast<size_t>(n), MSG_NOSIGNAL) != n) break;
          }
          ::close(client);
        });
      }
    });
  }
  ~EchoServer() {
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    acceptor_.join();
    for (std::thread& t : echoes_) t.join();
  }
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  std::vector<std::thread> echoes_;
};

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = LoopbackAddress(port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Sends `bytes` and reads as many back; the bytes read before the connection ended.
size_t EchoThrough(int fd, size_t bytes) {
  std::thread sender([fd, bytes] {
    const std::string data(bytes, 'x');
    for (size_t sent = 0; sent < bytes;) {
      const ssize_t n = ::send(fd, data.data() + sent, bytes - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  });
  size_t received = 0;
  char buffer[65536];
  while (received < bytes) {
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received += static_cast<size_t>(n);
  }
  sender.join();
  return received;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

TEST(RelayTest, ARoundTripTakesTwiceTheDelayAndTheLineItsRate) {
  EchoServer echo;
  RelayOptions options;
  options.oneWayDelay = 30ms;
  options.bitsPerSecond = 8'000'000;  // 1 MB/s each way
  Relay relay(echo.Port(), options);
  ASSERT_TRUE(relay.Start());
  const int fd = Connect(relay.Port());
  ASSERT_GE(fd, 0);

  Clock::time_point start = Clock::now();
  EXPECT_EQ(EchoThrough(fd, 10), 10u);
  const double roundTrip = Seconds(start);
  EXPECT_GE(roundTrip, 0.060);
  EXPECT_LT(roundTrip, 0.300);

  // Two connections share the line: 2 x 500 kB take about a second, not half of one.
  const int other = Connect(relay.Port());
  ASSERT_GE(other, 0);
  start = Clock::now();
  size_t second = 0;
  std::thread parallel([&] { second = EchoThrough(other, 500'000); });
  EXPECT_EQ(EchoThrough(fd, 500'000), 500'000u);
  parallel.join();
  EXPECT_EQ(second, 500'000u);
  const double shared = Seconds(start);
  EXPECT_GE(shared, 0.9);
  EXPECT_LT(shared, 3.0);
  EXPECT_EQ(relay.BytesUp(), 1'000'010);
  ::close(fd);
  ::close(other);
}

TEST(RelayTest, CutsEndTheConnectionsTheyHitOnly) {
  EchoServer echo;
  Relay relay(echo.Port());
  ASSERT_TRUE(relay.Start());
  const int small = Connect(relay.Port());
  const int large = Connect(relay.Port());
  ASSERT_GE(small, 0);
  ASSERT_GE(large, 0);
  relay.CutAfter(100'000, 1);
  EXPECT_LT(EchoThrough(large, 1'000'000), 1'000'000u) << "cut after 100 kB";
  EXPECT_EQ(EchoThrough(small, 50'000), 50'000u);
  // The rule was used up: a new connection carries as much as it likes.
  const int later = Connect(relay.Port());
  EXPECT_EQ(EchoThrough(later, 1'000'000), 1'000'000u);
  relay.CutAll();
  EXPECT_EQ(EchoThrough(small, 10), 0u);
  EXPECT_EQ(EchoThrough(later, 10), 0u);
  EXPECT_EQ(relay.Cuts(), 1 + 2);
  for (int fd : {small, large, later}) ::close(fd);
}

}  // namespace
}  // namespace zerva::test
