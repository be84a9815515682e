// The stand-in photo-album service: routes, scripts and the HTTP listener.
#pragma once

#include <memory>
#include <string>

#include "server/router.h"
#include "server/service.h"

namespace zerva::server {

class HttpFront;

class ZervaServer {
 public:
  explicit ZervaServer(ServerOptions options);
  ~ZervaServer();
  ZervaServer(const ZervaServer&) = delete;
  ZervaServer& operator=(const ZervaServer&) = delete;

  // Data folder, database, routes, and the demo data when asked for.
  bool Init(std::string* error);
  // Binds (port 0: any free port) and serves on background threads.
  bool Start(std::string* error);
  void Stop();
  // Blocks until Stop (or a signal handler calling Stop).
  void Wait();
  int port() const { return service_.port(); }
  Service& service() { return service_; }

  // One exchange without the network: faults, the script or page, the request log.
  // `hostHeader` and `target` are logged as received.
  ServerResponse Handle(const ServerRequest& req, const std::string& hostHeader,
                        const std::string& target);

 private:
  Service service_;
  Router router_;
  std::unique_ptr<HttpFront> front_;
};

}  // namespace zerva::server
