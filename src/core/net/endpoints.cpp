#include "net/endpoints.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/fs.h"

namespace zerva {
namespace {

struct Roots {
  std::mutex mutex;
  std::string service = kDefaultServiceRoot;
  std::string upload = kDefaultUploadRoot;
  std::string download = kDefaultDownloadRoot;
};

Roots& TheRoots() {
  static Roots roots;
  return roots;
}

std::string& RootRef(Roots& roots, HostRoot root) {
  switch (root) {
    case HostRoot::kService:
      return roots.service;
    case HostRoot::kUpload:
      return roots.upload;
    case HostRoot::kDownload:
      break;
  }
  return roots.download;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "http://" + root, or the root itself when it names its own scheme.
std::string WithScheme(const std::string& root) {
  if (StartsWith(root, "http://") || StartsWith(root, "https://")) return root;
  return "http://" + root;
}

// Splits "https://host/" into "https://" and "host/".
void SplitScheme(const std::string& root, std::string* scheme, std::string* rest) {
  for (const char* s : {"http://", "https://"}) {
    if (StartsWith(root, s)) {
      *scheme = s;
      *rest = root.substr(std::string_view(s).size());
      return;
    }
  }
  *scheme = "http://";
  *rest = root;
}

constexpr int64_t kMaxIniBytes = 1 << 20;

}  // namespace

ProxyIniSettings ParseProxyIniText(std::string_view text) {
  std::map<std::string, std::string, std::less<>> values;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (const size_t comment = line.find("//"); comment != std::string_view::npos) {
      line = line.substr(0, comment);
    }
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    values[std::string(line.substr(0, eq))] = std::string(line.substr(eq + 1));
  }
  ProxyIniSettings ini;
  auto take = [&](const char* key, std::string* field) {
    if (auto it = values.find(key); it != values.end()) *field = it->second;
  };
  take("ProxyHost", &ini.ProxyHost);
  take("ProxyPort", &ini.ProxyPort);
  take("ProxyUserName", &ini.ProxyUserName);
  take("ProxyPassword", &ini.ProxyPassword);
  take("Domain", &ini.Domain);
  take("UploadDomain", &ini.UploadDomain);
  return ini;
}

bool ReadProxyIni(const std::string& path, ProxyIniSettings* settings) {
  std::string text;
  if (!ReadFileBounded(path, kMaxIniBytes, &text)) text.clear();
  *settings = ParseProxyIniText(text);
  return !settings->ProxyHost.empty();
}

void SetDomain(HostRoot root, std::string_view host) {
  // An administrator may write the host with its slash; the root never gets two.
  while (!host.empty() && host.back() == '/') host.remove_suffix(1);
  Roots& roots = TheRoots();
  std::lock_guard<std::mutex> lock(roots.mutex);
  RootRef(roots, root) = std::string(host) + "/";
}

std::string DomainRoot(HostRoot root) {
  Roots& roots = TheRoots();
  std::lock_guard<std::mutex> lock(roots.mutex);
  return RootRef(roots, root);
}

void ResetDomainsToDefaults() {
  Roots& roots = TheRoots();
  std::lock_guard<std::mutex> lock(roots.mutex);
  roots.service = kDefaultServiceRoot;
  roots.upload = kDefaultUploadRoot;
  roots.download = kDefaultDownloadRoot;
}

void ApplyDomainOverrides(const ProxyIniSettings& ini) {
  if (!ini.Domain.empty()) SetDomain(HostRoot::kService, ini.Domain);
  if (!ini.UploadDomain.empty()) {
    SetDomain(HostRoot::kUpload, ini.UploadDomain);
  } else if (!ini.Domain.empty()) {
    SetDomain(HostRoot::kUpload, ini.Domain);
  }
}

std::string RemoveWww(std::string_view url) {
  const size_t pos = url.find("www.");
  std::string out(url);
  if (pos != std::string_view::npos && pos > 0) out.erase(pos, 4);
  return out;
}

std::string UploadHost() {
  std::string scheme, rest;
  SplitScheme(DomainRoot(HostRoot::kUpload), &scheme, &rest);
  return rest.substr(0, rest.find('/'));
}

std::string ServiceUrl() {
  return WithScheme(DomainRoot(HostRoot::kService));
}
std::string UploadUrl() {
  return WithScheme(DomainRoot(HostRoot::kUpload));
}
std::string DownloadUrl() {
  return WithScheme(DomainRoot(HostRoot::kDownload));
}

std::string ApiBaseUrl() {
  return UploadUrl() + "client" + "14" + "/";
}
std::string ApiScriptUrl(std::string_view script) {
  return ApiBaseUrl() + std::string(script);
}
std::string ServerMessagesUrl() {
  return ApiBaseUrl() + "messages.php";
}
std::string LanguageFilesBaseUrl() {
  return ApiBaseUrl() + "lang/";
}
std::string ConnectionTestUrl() {
  return UploadUrl() + "test_connection/client.php";
}

std::string ClientIdentificationUrl(std::string_view clientName, std::string_view clientVersion) {
  return ConnectionTestUrl() + "?clientName=" + UrlEscape(clientName) +
         "&clientVersion=" + UrlEscape(clientVersion);
}

std::string InstallStatusUrl(bool installed) {
  return ServiceUrl() +
         "program/notifyStatus.php?current_status=" + (installed ? "installed" : "uninstalled");
}

std::string UpdateFilesUrl() {
  return ServiceUrl() + "stahnout" + "/" + "update" + "/";
}
std::string UpdateFileListUrl() {
  return UpdateFilesUrl() + "files.dat";
}
std::string PhotoVideoParamsUrl() {
  return UpdateFilesUrl() + "photovideoparams.xml";
}
std::string FailedUpdatePageUrl() {
  return ServiceUrl() + "stahnout" + "/" + "?aktualizace=error";
}

std::string LoginByTicketUrl(std::string_view ticket, std::string_view targetUrl) {
  return ServiceUrl() + "prihlasit" + "?act=LoginByTicket&ticket=" + UrlEscape(ticket) +
         "&oldURL=" + UrlEscape(targetUrl);
}

std::string ForgottenPasswordUrl() {
  return ServiceUrl() + "heslo/";
}
std::string AccountRulesUrl() {
  return ServiceUrl() + "pravidla/";
}
std::string AccountSettingsUrl() {
  return ServiceUrl() + "nastaveni/";
}
std::string SocialAuthorizationUrl() {
  return ServiceUrl() + "nastaveni/?act=FacebookAuthorize";
}

std::string PartnerLogoUrl(int partner) {
  return ServiceUrl() + "partners/logos/" + std::to_string(partner) + ".jpg";
}

// The filter runs on the address without its scheme, so a user name that itself starts with
// "www." keeps the whole text unchanged.
std::string UserSiteUrl(std::string_view userName) {
  std::string scheme, rest;
  SplitScheme(DomainRoot(HostRoot::kService), &scheme, &rest);
  return scheme + RemoveWww(std::string(userName) + "." + rest);
}

std::string AlbumPageUrl(std::string_view userName, std::string_view albumDirName) {
  std::string scheme, rest;
  SplitScheme(UserSiteUrl(userName), &scheme, &rest);
  return scheme + RemoveWww(rest + std::string(albumDirName) + "/");
}

std::string CategoryListingUrl(int category) {
  std::string scheme, rest;
  SplitScheme(DomainRoot(HostRoot::kService), &scheme, &rest);
  return scheme + RemoveWww("alba." + rest + "?category=" + std::to_string(category));
}

std::string SourcePackagesUrl() {
  return DownloadUrl() + "tarballs/";
}

std::string UrlEscape(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0f];
    }
  }
  return out;
}

std::string UrlUnescape(std::string_view text) {
  auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int hi = hexValue(text[i + 1]);
      const int lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace zerva
