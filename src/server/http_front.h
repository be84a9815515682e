// The HTTP side of the service (cpp-httplib): reads request bodies within bounds, keeps the
// form fields in the order received, and writes answers, streamed files and cut connections.
#pragma once

#include <memory>
#include <string>

#include "server/server_options.h"

namespace zerva::server {

class ZervaServer;

class HttpFront {
 public:
  HttpFront(ZervaServer& owner, const ServerOptions& options);
  ~HttpFront();

  // Binds (port 0: a free port, stored in `port`) and serves on a background thread.
  bool Start(int* port, std::string* error);
  void Stop();
  void Wait();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zerva::server
