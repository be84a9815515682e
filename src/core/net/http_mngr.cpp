#include "net/http_mngr.h"

#include <curl/curl.h>
#include <strings.h>

#include <cstdlib>

#include "app/profile.h"
#include "app/trace.h"
#include "net/http_curl.h"
#include "platform/system_proxy.h"

namespace zerva {
namespace {

size_t IgnoreBody(char*, size_t size, size_t count, void*) {
  return size * count;
}

size_t CollectProxyAuthenticate(char* data, size_t size, size_t count, void* out) {
  const size_t n = size * count;
  static const char kName[] = "proxy-authenticate:";
  if (n > sizeof kName - 1 && strncasecmp(data, kName, sizeof kName - 1) == 0) {
    std::string* header = static_cast<std::string*>(out);
    if (!header->empty()) *header += ", ";
    header->append(data + sizeof kName - 1, n - (sizeof kName - 1));
    while (!header->empty() && (header->back() == '\r' || header->back() == '\n')) {
      header->pop_back();
    }
  }
  return n;
}

// One request through the proxy, as the system's Internet layer would make it. Returns the
// HTTP status (0 when the transfer failed) and the Proxy-Authenticate header text.
long ProbeThroughProxy(const std::string& url, const std::string& proxy,
                       const std::string& credentials, uint32_t mask, const std::string& userAgent,
                       std::string* proxyAuthenticate) {
  proxyAuthenticate->clear();
  CURL* curl = curl_easy_init();
  if (!curl) return 0;
  curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
  if (!credentials.empty()) curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, credentials.c_str());
  curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<unsigned long>(mask));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, IgnoreBody);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectProxyAuthenticate);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, proxyAuthenticate);
  long status = 0;
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return status;
}

}  // namespace

CHttpMngr::CHttpMngr() = default;

std::unique_ptr<CHttpConnect> CHttpMngr::GetConnection() {
  auto connection = std::make_unique<CHttpCurl>(this);
  connection->Open();
  return connection;
}

void CHttpMngr::ReleaseConnection(std::unique_ptr<CHttpConnect>& connection) {
  if (!connection) return;
  if (connection->IsOpen()) connection->Close();
  connection->SetManager(nullptr);
  connection.reset();
}

void CHttpMngr::SetManualProxy(const std::string& host, const std::string& port, bool known) {
  std::lock_guard<std::mutex> lock(mutex_);
  proxy_ = host;
  if (!host.empty() && !port.empty()) proxy_ += ":" + port;
  proxyKnown_ = known;
}

void CHttpMngr::SetManualCredentials(const std::string& user, const std::string& password,
                                     bool known) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!user.empty()) proxyCredentials_ = user + ":" + password;
  credentialsKnown_ = known;
}

void CHttpMngr::SetClientName(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  clientName_ = name;
}

void CHttpMngr::SetClientVersion(const std::string& version) {
  std::lock_guard<std::mutex> lock(mutex_);
  clientVersion_ = version;
}

std::string CHttpMngr::ClientName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clientName_;
}

std::string CHttpMngr::ClientVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clientVersion_;
}

std::string CHttpMngr::ManualProxy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxy_;
}

std::string CHttpMngr::ManualCredentials() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxyCredentials_;
}

uint32_t CHttpMngr::ManualAuthMask() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxyAuthMask_;
}

bool CHttpMngr::ProxyKnown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxyKnown_;
}

bool CHttpMngr::CredentialsKnown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return credentialsKnown_;
}

void CHttpMngr::SaveProxySettings(const std::string& proxy, const std::string& credentials,
                                  uint32_t mask) {
  std::lock_guard<std::mutex> lock(mutex_);
  Profile& profile = AppProfile();
  profile.WriteProfileString(profile_keys::kSetup, profile_keys::kProxy, proxy);
  profile.WriteProfileString(profile_keys::kSetup, profile_keys::kProxyUser,
                             ScrambleCredentials(credentials));
  profile.WriteProfileString(profile_keys::kSetup, profile_keys::kProxyAuth, std::to_string(mask));
}

bool CHttpMngr::LoadProxySettings(std::string* proxy, std::string* credentials, uint32_t* mask) {
  Profile& profile = AppProfile();
  const std::string storedProxy =
      profile.GetProfileString(profile_keys::kSetup, profile_keys::kProxy);
  if (storedProxy.empty()) return false;
  *proxy = storedProxy;
  const std::string user = profile.GetProfileString(profile_keys::kSetup, profile_keys::kProxyUser);
  if (!user.empty()) *credentials = UnscrambleCredentials(user);
  const std::string auth = profile.GetProfileString(profile_keys::kSetup, profile_keys::kProxyAuth);
  if (!auth.empty()) *mask = static_cast<uint32_t>(std::strtoul(auth.c_str(), nullptr, 10));
  return true;
}

bool CHttpMngr::QueryProxySettings(CHttpConnect& connection, const std::string& host,
                                   const std::string& clientIdentificationUrl,
                                   const std::string& userAgent) {
  SystemProxyLookup lookup;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lookup = lookup_;
  }
  std::string proxyList, credentials;
  const std::string siteUrl = "http://" + host + "/";
  const bool configured = lookup ? lookup(siteUrl, &proxyList, &credentials)
                                 : LookupSystemProxy(siteUrl, &proxyList, &credentials);
  if (!configured) return false;

  uint32_t mask = kProxyAuthDefaultMask;
  // A direct connection needs no trial request; a proxy is tried once it is known.
  if (!proxyList.empty()) {
    bool through = false;
    for (int attempt = 0; attempt < 4 && !through; ++attempt) {
      std::string authenticate;
      const long status = ProbeThroughProxy(clientIdentificationUrl, HttpProxyEntry(proxyList),
                                            credentials, mask, userAgent, &authenticate);
      Trace(kTraceNotice, 0, "QueryProxySettings: pass %d, status %d\n", attempt,
            static_cast<int>(status));
      if (status == 407) {
        mask = kProxyAuthDefaultMask;
        if (auto scheme = DetectProxyAuthScheme(authenticate)) {
          mask = *scheme;
          Trace(kTraceNotice, 0, "QueryProxySettings: required auth %.8X, as detected from (%s)\n",
                mask, authenticate.c_str());
        }
        // Linux has no system credentials dialog: the proxy is known, and the transfer's own
        // authentication walk asks for what is missing.
        through = true;
      } else if (status == 200) {
        if (mask == kProxyAuthDefaultMask) {
          if (auto scheme = DetectProxyAuthScheme(authenticate)) mask = *scheme;
        }
        through = true;
      }
    }
    if (!through) return false;
  }

  connection.SetProxy("");
  connection.SetProxyCredentials("");
  std::string proxy = proxyList;
  if (!proxy.empty()) {
    TraceText(kTraceNotice, "QueryProxySettings: found proxy " + proxy);
    if (!credentials.empty()) {
      TraceText(kTraceNotice,
                "QueryProxySettings: found proxy user " + ScrambleCredentials(credentials));
    }
    if (proxy.find("http=") != std::string::npos) proxy = HttpProxyEntry(proxy);
  }
  connection.SetProxy(proxy);
  connection.SetProxyCredentials(credentials);
  connection.SetProxyAuthMask(mask);
  std::lock_guard<std::mutex> lock(mutex_);
  proxyCredentials_ = credentials;
  proxyAuthMask_ = mask;
  credentialsKnown_ = true;
  proxy_ = proxy;
  proxyKnown_ = true;
  return true;
}

void CHttpMngr::SetProxyPrompt(ProxyPrompt prompt) {
  std::lock_guard<std::mutex> lock(mutex_);
  prompt_ = std::move(prompt);
}

bool CHttpMngr::AskProxyCredentials(std::string* credentials) {
  ProxyPrompt prompt;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    prompt = prompt_;
  }
  if (!prompt) return false;
  std::string user, password;
  if (!prompt(&user, &password)) return false;
  *credentials = user + ":" + password;
  return true;
}

void CHttpMngr::SetSystemProxyLookup(SystemProxyLookup lookup) {
  std::lock_guard<std::mutex> lock(mutex_);
  lookup_ = std::move(lookup);
}

void CHttpMngr::SetStallSeconds(long seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  stallSeconds_ = seconds;
}

long CHttpMngr::StallSeconds() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stallSeconds_;
}

}  // namespace zerva
