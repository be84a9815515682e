// The service's addresses: three host roots (with defaults pointing at a local zerva-server),
// the administrator's ini file that overrides them, and every URL the program builds.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

inline constexpr const char* kDefaultServiceRoot = "www.zerva.localhost:8380/";
inline constexpr const char* kDefaultUploadRoot = "api.zerva.localhost:8380/";
inline constexpr const char* kDefaultDownloadRoot = "download.zerva.localhost:8380/";
inline constexpr const char* kProxyIniFileName = "zerva_proxy_setting.ini";

struct ProxyIniSettings {
  std::string ProxyHost;
  std::string ProxyPort;
  std::string ProxyUserName;
  std::string ProxyPassword;
  std::string Domain;
  std::string UploadDomain;
};

// Key=value lines, "//" comments, later keys win; unknown keys and lines without a key ignored.
ProxyIniSettings ParseProxyIniText(std::string_view text);
// Reads the file (bounded); all values stay empty when it cannot be read. True when ProxyHost
// is set.
bool ReadProxyIni(const std::string& path, ProxyIniSettings* settings);

enum class HostRoot { kService, kUpload, kDownload };

// Process-wide roots, each held as host + "/". A root may carry an explicit "https://" scheme,
// which the URLs built on it keep; otherwise they are "http://".
void SetDomain(HostRoot root, std::string_view host);
std::string DomainRoot(HostRoot root);
void ResetDomainsToDefaults();
// Domain replaces the service root and, when UploadDomain is empty, the upload root too.
void ApplyDomainOverrides(const ProxyIniSettings& ini);

// Deletes the first "www." found after the first character.
std::string RemoveWww(std::string_view url);
// Host of the upload root without scheme, path or trailing "/" (what discovery connects to).
std::string UploadHost();

std::string ServiceUrl();   // "http://" + service root
std::string UploadUrl();    // "http://" + upload root
std::string DownloadUrl();  // "http://" + download root

std::string ApiBaseUrl();                           // upload + "client14/"
std::string ApiScriptUrl(std::string_view script);  // API base + script
std::string ServerMessagesUrl();                    // API base + "messages.php"
std::string LanguageFilesBaseUrl();                 // API base + "lang/"
std::string ConnectionTestUrl();                    // upload + "test_connection/client.php"
// Connection test URL + "?clientName=%s&clientVersion=%s" with both values URL-escaped.
std::string ClientIdentificationUrl(std::string_view clientName, std::string_view clientVersion);
std::string InstallStatusUrl(bool installed);
std::string UpdateFilesUrl();       // svc + "stahnout/update/"
std::string UpdateFileListUrl();    // ... + "files.dat"
std::string PhotoVideoParamsUrl();  // ... + "photovideoparams.xml"
std::string FailedUpdatePageUrl();  // svc + "stahnout/?aktualizace=error"
std::string LoginByTicketUrl(std::string_view ticket, std::string_view targetUrl);
std::string ForgottenPasswordUrl();                  // svc + "heslo/"
std::string AccountRulesUrl();                       // svc + "pravidla/"
std::string AccountSettingsUrl();                    // svc + "nastaveni/"
std::string SocialAuthorizationUrl();                // svc + "nastaveni/?act=FacebookAuthorize"
std::string PartnerLogoUrl(int partner);             // svc + "partners/logos/N.jpg"
std::string UserSiteUrl(std::string_view userName);  // user + "." + service root, no "www."
std::string AlbumPageUrl(std::string_view userName, std::string_view albumDirName);
std::string CategoryListingUrl(int category);  // "http://alba." + service root + ...
std::string SourcePackagesUrl();               // dl + "tarballs/"

// URL escaping as the transport does it (RFC 3986 unreserved characters kept).
std::string UrlEscape(std::string_view text);
std::string UrlUnescape(std::string_view text);

}  // namespace zerva
