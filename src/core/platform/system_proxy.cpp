#include "platform/system_proxy.h"

#include <proxy.h>
#include <strings.h>

#include <cstdlib>

namespace zerva {
namespace {

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const std::string hex = text.substr(i + 1, 2);
      char* end = nullptr;
      const long value = std::strtol(hex.c_str(), &end, 16);
      if (end == hex.c_str() + 2) {
        out += static_cast<char>(value);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// The first variable that is set, in the order curl and most tools use.
std::string EnvironmentProxy() {
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return {};
}

}  // namespace

void SplitProxyUrl(const std::string& url, std::string* proxy, std::string* credentials) {
  proxy->clear();
  credentials->clear();
  std::string rest = url;
  if (const size_t scheme = rest.find("://"); scheme != std::string::npos) {
    rest = rest.substr(scheme + 3);
  }
  rest = rest.substr(0, rest.find('/'));
  if (const size_t at = rest.rfind('@'); at != std::string::npos) {
    *credentials = PercentDecode(rest.substr(0, at));
    rest = rest.substr(at + 1);
  }
  *proxy = rest;
}

bool LookupSystemProxy(const std::string& url, std::string* proxy, std::string* credentials) {
  proxy->clear();
  credentials->clear();
  bool answered = false;
  if (pxProxyFactory* factory = px_proxy_factory_new()) {
    if (char** proxies = px_proxy_factory_get_proxies(factory, url.c_str())) {
      answered = proxies[0] != nullptr;
      for (char** p = proxies; *p; ++p) {
        // Only an HTTP proxy can carry our requests; "direct://" ends the search.
        if (strncasecmp(*p, "direct://", 9) == 0) break;
        if (strncasecmp(*p, "http://", 7) == 0) {
          SplitProxyUrl(*p, proxy, credentials);
          break;
        }
      }
      px_proxy_factory_free_proxies(proxies);
    }
    px_proxy_factory_free(factory);
  }
  if (answered) return true;
  const std::string fromEnvironment = EnvironmentProxy();
  if (!fromEnvironment.empty()) SplitProxyUrl(fromEnvironment, proxy, credentials);
  return true;
}

}  // namespace zerva
