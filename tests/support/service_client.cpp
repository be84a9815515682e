#include "support/service_client.h"

#include "app/version.h"
#include "net/endpoints.h"
#include "platform/md5.h"

namespace zerva::test {

ServiceClient::ServiceClient(const ServerFixture& server) {
  const std::string port = ":" + std::to_string(server.Port());
  SetDomain(HostRoot::kService, "www." + server.Domain() + port);
  SetDomain(HostRoot::kUpload, "api." + server.Domain() + port);
  SetDomain(HostRoot::kDownload, "download." + server.Domain() + port);
  manager_.SetClientName(kProductName);
  manager_.SetClientVersion(kVersionText);
  // The machine's own proxy settings must not leak into the test.
  manager_.SetSystemProxyLookup([](const std::string&, std::string* proxy, std::string* user) {
    proxy->clear();
    user->clear();
    return true;
  });
}

ServiceClient::~ServiceClient() {
  ResetDomainsToDefaults();
}

std::string ServiceClient::DemoDigest() {
  return Md5Hex("demo");
}

}  // namespace zerva::test
