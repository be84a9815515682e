// A real tinyproxy on loopback for proxy tests, optionally demanding Basic authentication.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/temp_dir.h"

namespace zerva::test {

class Tinyproxy {
 public:
  // Empty user: no authentication.
  Tinyproxy(std::string user = {}, std::string password = {});
  ~Tinyproxy();
  bool Start(std::string* error = nullptr);
  void Stop();
  int Port() const { return port_; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Log() const;

 private:
  TempDir dir_;
  std::string user_, password_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace zerva::test
