// Creates the connections of the process and holds what they share: the proxy, its
// credentials and authentication methods, the client's name and version.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/proxy_text.h"

namespace zerva {

class CHttpConnect;

class CHttpMngr {
 public:
  // Asks the user for proxy credentials; false when cancelled.
  using ProxyPrompt = std::function<bool(std::string* userName, std::string* password)>;
  // Finds the system's proxy for a URL: proxy text ("" = direct) and credentials; false when
  // the system configuration cannot be read.
  using SystemProxyLookup =
      std::function<bool(const std::string& url, std::string* proxy, std::string* credentials)>;

  CHttpMngr();

  // A new open connection bound to this manager; ReleaseConnection closes and deletes it.
  std::unique_ptr<CHttpConnect> GetConnection();
  void ReleaseConnection(std::unique_ptr<CHttpConnect>& connection);

  void SetManualProxy(const std::string& host, const std::string& port, bool known);
  void SetManualCredentials(const std::string& user, const std::string& password, bool known);
  void SetClientName(const std::string& name);
  void SetClientVersion(const std::string& version);
  std::string ClientName() const;
  std::string ClientVersion() const;

  // The proxy and credentials every connection starts from ("" = none known yet).
  std::string ManualProxy() const;
  std::string ManualCredentials() const;
  uint32_t ManualAuthMask() const;
  bool ProxyKnown() const;
  bool CredentialsKnown() const;

  // Stored in the settings ("setup": "proxy", scrambled "proxyuser", "proxyauth").
  void SaveProxySettings(const std::string& proxy, const std::string& credentials, uint32_t mask);
  // False when no proxy is stored; credentials and mask only change when stored.
  bool LoadProxySettings(std::string* proxy, std::string* credentials, uint32_t* mask);

  // Finds the system proxy for the upload host, tries a request through it, and keeps what
  // worked for every later connection. True when a request got through (or only the proxy's
  // credentials are missing, which the 407 walk of the transfer then asks for).
  bool QueryProxySettings(CHttpConnect& connection, const std::string& host,
                          const std::string& clientIdentificationUrl, const std::string& userAgent);

  void SetProxyPrompt(ProxyPrompt prompt);
  // Shows the proxy prompt; on OK the credentials are user name, ":" and password.
  bool AskProxyCredentials(std::string* credentials);
  // Replaces the system lookup (libproxy, then the proxy environment variables).
  void SetSystemProxyLookup(SystemProxyLookup lookup);

  // A transfer moving less than one byte a second for this long is aborted (0 = never).
  void SetStallSeconds(long seconds);
  long StallSeconds() const;

 private:
  mutable std::mutex mutex_;
  std::string proxy_;
  std::string proxyCredentials_;
  std::string clientName_;
  std::string clientVersion_;
  uint32_t proxyAuthMask_ = kProxyAuthDefaultMask;
  bool proxyKnown_ = false;
  bool credentialsKnown_ = false;
  ProxyPrompt prompt_;
  SystemProxyLookup lookup_;
  long stallSeconds_ = 60;
};

}  // namespace zerva
