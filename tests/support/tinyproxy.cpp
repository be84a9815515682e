#include "support/tinyproxy.h"

#include <chrono>
#include <thread>

#include "support/process.h"

namespace zerva::test {

Tinyproxy::Tinyproxy(std::string user, std::string password)
    : user_(std::move(user)), password_(std::move(password)) {}

Tinyproxy::~Tinyproxy() {
  Stop();
}

bool Tinyproxy::Start(std::string* error) {
  port_ = FreeLoopbackPort();
  std::string config = "Port " + std::to_string(port_) +
                       "\nListen 127.0.0.1\nTimeout 60\nMaxClients 50\nAllow 127.0.0.1\n"
                       "LogLevel Info\n";
  if (!user_.empty()) config += "BasicAuth " + user_ + " " + password_ + "\n";
  const std::string configFile = dir_.Write("tinyproxy.conf", config);
  pid_ = SpawnLogged({"tinyproxy", "-d", "-c", configFile}, dir_.File("tinyproxy.log"));
  if (pid_ <= 0) {
    if (error) *error = "cannot start tinyproxy";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (PortAcceptsConnections(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (error) *error = "tinyproxy did not listen:\n" + Log();
  Stop();
  return false;
}

void Tinyproxy::Stop() {
  StopProcess(pid_, 5);
  pid_ = -1;
}

std::string Tinyproxy::Log() const {
  return ReadWholeFile(dir_.File("tinyproxy.log"));
}

}  // namespace zerva::test
