// The client's side of a test against zerva-server: the three roots pointed at the running
// server (as "www.", "api." and "download." hosts under zerva.localhost, like the defaults),
// settings and trace log in a fresh home, and a connection manager that goes direct.
#pragma once

#include <memory>
#include <string>

#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "support/server_fixture.h"
#include "support/temp_dir.h"

namespace zerva::test {

class ServiceClient {
 public:
  explicit ServiceClient(const ServerFixture& server);
  ~ServiceClient();

  CHttpMngr& Manager() { return manager_; }
  std::unique_ptr<CHttpConnect> Connect() { return manager_.GetConnection(); }
  const IsolatedHome& Home() const { return home_; }
  // The seeded demo account.
  static std::string DemoUser() { return "demo"; }
  static std::string DemoDigest();

 private:
  IsolatedHome home_;
  CHttpMngr manager_;
};

}  // namespace zerva::test
