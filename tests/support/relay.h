// A TCP relay on loopback that stands for a slow or unreliable link between the client and the
// service: it adds a delay to every byte in each direction, caps the bandwidth that all its
// connections share (as one line to the service would), and cuts connections on demand.
// Needs nothing but the C++ library, so small programs can use it as well as the tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace zerva::test {

struct RelayOptions {
  // Added to every byte in each direction: a round trip takes twice this more.
  std::chrono::milliseconds oneWayDelay{0};
  // The bandwidth of each direction, shared by every connection; 0: no cap.
  int64_t bitsPerSecond = 0;
};

class Relay {
 public:
  // Relays to `targetPort` on loopback.
  explicit Relay(int targetPort, RelayOptions options = {});
  ~Relay();
  Relay(const Relay&) = delete;
  Relay& operator=(const Relay&) = delete;

  // Listens on `port` of loopback (0: a free one); false with `error` when it cannot.
  bool Start(std::string* error = nullptr, int port = 0);
  // Cuts every connection and stops listening.
  void Stop();
  int Port() const { return port_; }

  // Cuts every connection open now, in both directions, without delivering what is in flight.
  void CutAll();
  // The next `count` connections that have carried more than `bytes` towards the target since
  // they opened are cut as their next bytes arrive.
  void CutAfter(int64_t bytes, int count);

  int Connections() const { return accepted_.load(); }
  int Cuts() const { return cuts_.load(); }
  // Bytes delivered towards the target and back.
  int64_t BytesUp() const { return bytesUp_.load(); }
  int64_t BytesDown() const { return bytesDown_.load(); }

  // The line's shared state, per direction; public for the connection's code only.
  struct Line {
    std::mutex lock;
    std::chrono::steady_clock::time_point free{};
    // When `bytes` sent now have left the line, the line reserved for them.
    std::chrono::steady_clock::time_point Reserve(int64_t bytes, int64_t bitsPerSecond);
  };
  struct Connection;

 private:
  void AcceptLoop();
  void Open(int clientFd);
  void ReapFinished();
  // Whether the connection is to be cut now by the CutAfter rule.
  bool CutRuleHits(int64_t bytesSoFar);

  const int targetPort_;
  const RelayOptions options_;
  int listenFd_ = -1;
  int port_ = 0;
  int stopPipe_[2] = {-1, -1};
  std::thread acceptor_;
  std::mutex connectionsLock_;
  std::list<std::shared_ptr<Connection>> connections_;
  Line up_, down_;
  std::atomic<int> accepted_{0};
  std::atomic<int> cuts_{0};
  std::atomic<int64_t> bytesUp_{0};
  std::atomic<int64_t> bytesDown_{0};
  std::mutex ruleLock_;
  int64_t cutAfterBytes_ = 0;
  int cutsLeft_ = 0;
};

}  // namespace zerva::test
