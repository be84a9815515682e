// What every script and page of the service shares: options, database, files, request log,
// faults and the service's own addresses.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "server/fault_injection.h"
#include "server/request.h"
#include "server/request_log.h"
#include "server/server_db.h"
#include "server/server_options.h"
#include "server/storage.h"

namespace zerva::server {

class Service {
 public:
  explicit Service(ServerOptions options);

  // Prepares the data folder and opens the database.
  bool Init(std::string* error);

  const ServerOptions& options() const { return options_; }
  Db& db() { return db_; }
  const Storage& storage() const { return storage_; }
  FaultTable& faults() { return faults_; }
  RequestLog& log() { return log_; }

  void SetPort(int port) { port_ = port; }
  int port() const { return port_; }

  // "www.<domain>:<port>" and the like, with the public port when one is set; the port is left
  // out when it is the scheme's own (80, or 443 for https).
  std::string HostName(const std::string& label) const;
  std::string ServiceRootUrl() const;                      // http://www.<domain>:<port>/
  std::string UserSiteUrl(const std::string& user) const;  // http://<user>.<domain>:<port>/
  std::string AlbumUrl(const std::string& user, const std::string& serverDir) const;

 private:
  ServerOptions options_;
  Storage storage_;
  Db db_;
  FaultTable faults_;
  RequestLog log_;
  std::atomic<int> port_{0};
};

// One request as a script sees it.
struct ScriptContext {
  Service& service;
  const ServerRequest& req;
  std::vector<Fault> faults;  // taken for this request
  std::string siteUser;       // the user of a user-site host, lower case

  Db& db() { return service.db(); }
  const Storage& storage() const { return service.storage(); }
  const Fault* FindFault(FaultKind kind) const;
};

}  // namespace zerva::server
