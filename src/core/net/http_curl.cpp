#include "net/http_curl.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/elements.h"
#include "app/trace.h"
#include "app/version.h"
#include "net/endpoints.h"
#include "net/http_mngr.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// An answer larger than this is not a service answer; the transfer is aborted.
constexpr size_t kMaxBodyBytes = 64u << 20;
// A refusal read back from a download is small; anything larger is not one.
constexpr int64_t kMaxRefusalBytes = 1 << 20;

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Hex8(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%.8X", value);
  return text;
}

}  // namespace

CHttpCurl::CHttpCurl(CHttpMngr* manager) : CHttpConnect(manager) {}

CHttpCurl::~CHttpCurl() {
  Finish();
}

// ---------------------------------------------------------------------------------------------
// Request preparation

bool CHttpCurl::PrepareRequest() {
  progress_ = 0.0;
  hasFilePart_ = false;
  downloadProgress_ = false;
  fields_.clear();
  fieldLog_.clear();
  postBody_.clear();
  Finish();

  curl_ = curl_easy_init();
  if (curl_ == nullptr) {
    lastResult_ = ApiResult::Failure("curl_easy_init failed");
    return false;
  }
  headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
  headers_ = curl_slist_append(headers_, "Pragma: no-cache");
  // An empty Expect header keeps libcurl from waiting for "100 Continue".
  headers_ = curl_slist_append(headers_, "Expect:");
  curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);

  std::string userAgent = kUserAgent;
  if (manager_ != nullptr && !manager_->ClientName().empty()) {
    userAgent = manager_->ClientName() + ", version " + manager_->ClientVersion() + ", build " +
                kBuildNumberText;
  }
  curl_easy_setopt(curl_, CURLOPT_USERAGENT, userAgent.c_str());
  ResolveProxy();

  errorBuffer_[0] = '\0';
  curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
  curl_easy_setopt(curl_, CURLOPT_POST, 1L);
  curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
  // A stalled connection would otherwise hang an upload for ever.
  const long stall = manager_ != nullptr ? manager_->StallSeconds() : 60;
  if (stall > 0) {
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, stall);
  }
  return true;
}

void CHttpCurl::ResolveProxy() {
  if (!proxyResolved_ && manager_ != nullptr) {
    const std::string manual = manager_->ManualProxy();
    if (!manual.empty()) {
      proxy_ = manual;
      const std::string credentials = manager_->ManualCredentials();
      if (!credentials.empty()) proxyCredentials_ = credentials;
      proxyAuthMask_ = manager_->ManualAuthMask();
    } else if (!manager_->ProxyKnown()) {
      manager_->QueryProxySettings(
          *this, UploadHost(),
          ClientIdentificationUrl(manager_->ClientName(), manager_->ClientVersion()), kUserAgent);
    }
    proxyResolved_ = true;
  }
  ApplyProxySettings();
}

void CHttpCurl::ApplyProxySettings() {
  if (curl_ == nullptr) return;
  if (proxy_.empty()) {
    // An empty proxy also keeps libcurl from taking one from the environment on its own.
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    return;
  }
  curl_easy_setopt(curl_, CURLOPT_PROXY, proxy_.c_str());
  const std::string& credentials =
      !proxyCredentials_.empty() ? proxyCredentials_ : serverCredentials_;
  if (!credentials.empty()) curl_easy_setopt(curl_, CURLOPT_PROXYUSERPWD, credentials.c_str());
  curl_easy_setopt(curl_, CURLOPT_PROXYAUTH, static_cast<unsigned long>(proxyAuthMask_));
  TraceText(kTraceNotice,
            "ApplyProxySettings: proxy " + proxy_ + ", " +
                (credentials.empty() ? std::string("no user") : ScrambleCredentials(credentials)) +
                ", auth " + Hex8(proxyAuthMask_));
}

void CHttpCurl::AddField(const std::string& name, const std::string& value, bool isFile) {
  fieldLog_ += " " + name + "=" + value + ",";
  fields_.push_back(FormField{name, value, isFile, nullptr});
  if (isFile) hasFilePart_ = true;
}

void CHttpCurl::AddField(const std::string& name, int64_t value) {
  AddField(name, std::to_string(value));
}

void CHttpCurl::AddMemoryFile(const std::string& name, std::shared_ptr<const std::string> bytes) {
  const size_t size = bytes ? bytes->size() : 0;
  fieldLog_ += " " + name + "=<" + std::to_string(size) + " bytes>,";
  fields_.push_back(FormField{name, name, true, std::move(bytes)});
  hasFilePart_ = true;
}

namespace {

// The read position of curl in one in-memory file part.
struct MemoryCursor {
  std::shared_ptr<const std::string> bytes;
  size_t position;

  static size_t Read(char* buffer, size_t size, size_t count, void* arg) {
    auto* self = static_cast<MemoryCursor*>(arg);
    const size_t n = std::min(size * count, self->bytes->size() - self->position);
    std::memcpy(buffer, self->bytes->data() + self->position, n);
    self->position += n;
    return n;
  }
  // A request sent again (a redirect, a proxy's authentication) starts the part anew.
  static int Seek(void* arg, curl_off_t offset, int origin) {
    auto* self = static_cast<MemoryCursor*>(arg);
    if (origin != SEEK_SET || offset < 0 || static_cast<size_t>(offset) > self->bytes->size()) {
      return CURL_SEEKFUNC_CANTSEEK;
    }
    self->position = static_cast<size_t>(offset);
    return CURL_SEEKFUNC_OK;
  }
  static void Free(void* arg) { delete static_cast<MemoryCursor*>(arg); }
};

}  // namespace

void CHttpCurl::BuildBody() {
  if (hasFilePart_) {
    form_ = curl_mime_init(curl_);
    for (const FormField& field : fields_) {
      curl_mimepart* part = curl_mime_addpart(form_);
      curl_mime_name(part, field.name.c_str());
      if (field.isFile && field.bytes) {
        // Read from the caller's bytes as curl sends them: a video block is not copied again.
        auto* cursor = new MemoryCursor{field.bytes, 0};
        if (curl_mime_data_cb(part, static_cast<curl_off_t>(field.bytes->size()),
                              MemoryCursor::Read, MemoryCursor::Seek, MemoryCursor::Free,
                              cursor) != CURLE_OK) {
          delete cursor;
        }
        curl_mime_filename(part, field.name.c_str());
      } else if (field.isFile) {
        curl_mime_filedata(part, field.value.c_str());
      } else {
        curl_mime_data(part, field.value.data(), field.value.size());
      }
    }
    // The trailing field tells the server that the body arrived whole.
    curl_mimepart* eof = curl_mime_addpart(form_);
    curl_mime_name(eof, "eof");
    curl_mime_data(eof, "1", CURL_ZERO_TERMINATED);
    curl_easy_setopt(curl_, CURLOPT_MIMEPOST, form_);
    return;
  }
  for (const FormField& field : fields_) {
    if (!postBody_.empty()) postBody_ += '&';
    postBody_ += UrlEscape(field.name) + "=" + UrlEscape(field.value);
  }
  if (!fields_.empty()) postBody_ += "&eof=1";
  curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody_.size()));
  curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, postBody_.c_str());
}

// ---------------------------------------------------------------------------------------------
// The transfer

CURLcode CHttpCurl::Go(CancelFlag* cancel, const std::string& downloadPath) {
  curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &CHttpCurl::WriteCallback);
  curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
  if (cancel != nullptr) {
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &CHttpCurl::ProgressCallback);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
  }
  if (!downloadPath.empty() && !OpenDownloadFile(downloadPath)) {
    std::snprintf(errorBuffer_, sizeof errorBuffer_, "cannot write %s: %s", downloadPath.c_str(),
                  std::strerror(errno));
    lastResult_.code = 0;
    lastCode_ = CURLE_WRITE_ERROR;
    lastStatus_ = 0;
    attempts_ = 0;
    Finish();
    return lastCode_;
  }
  BuildBody();
  lastResult_.code = 0;
  cancel_ = cancel;
  contentType_.clear();

  CURLcode code = CURLE_OK;
  attempts_ = 0;
  for (int pass = 0; pass < 5; ++pass) {
    lastStatus_ = 0;
    body_.clear();
    bodyEnded_ = false;
    if (downloadFd_ >= 0) {
      // A retried download starts the file again instead of appending to the failed attempt.
      if (::ftruncate(downloadFd_, 0) != 0 || ::lseek(downloadFd_, 0, SEEK_SET) != 0) break;
    }
    errorBuffer_[0] = '\0';
    code = curl_easy_perform(curl_);
    ++attempts_;
    lastCode_ = code;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &lastStatus_);

    // A proxy that refuses a POST often closes the connection before the body is read, so
    // the transfer fails after its 407 arrived; the status is what counts.
    if (lastStatus_ == 407) {
      HandleProxyAuthentication(pass);
      continue;
    }
    if (code != CURLE_OK || lastStatus_ < 200 || lastStatus_ > 299) {
      // A cancelled transfer is not tried again: it would only be aborted once more.
      if (cancel != nullptr && cancel->load()) break;
      if (lastStatus_ == 404) break;
      ++pass;
      continue;
    }
    char* type = nullptr;
    if (curl_easy_getinfo(curl_, CURLINFO_CONTENT_TYPE, &type) != CURLE_OK || type == nullptr ||
        *type == '\0') {
      ++pass;
      continue;
    }
    const std::string contentType = type;
    if (contentType.size() > 5 && StartsWithNoCase(contentType, "text/") && !fields_.empty() &&
        GetElement(body_, "result") == "retry") {
      continue;  // the service asks for the request again
    }
    break;
  }
  char* type = nullptr;
  if (curl_easy_getinfo(curl_, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
    contentType_ = type;
  }
  Finish();
  return code;
}

bool CHttpCurl::HandleProxyAuthentication(int pass) {
  Trace(kTraceNotice, 0, "Go: pass %d, proxy %s, user %s, auth %.8X\n", pass, proxy_.c_str(),
        ScrambleCredentials(proxyCredentials_).c_str(), proxyAuthMask_);
  if (manager_ == nullptr) return false;
  switch (pass) {
    case 0: {
      std::string proxy, credentials = proxyCredentials_;
      uint32_t mask = proxyAuthMask_;
      if (manager_->LoadProxySettings(&proxy, &credentials, &mask)) {
        proxy_ = proxy;
        proxyCredentials_ = credentials;
        proxyAuthMask_ = mask;
        ApplyProxySettings();
        return true;
      }
      [[fallthrough]];  // nothing stored: discover again right away
    }
    case 1:
      TraceText(kTraceNotice, "Proxy authentication required... ");
      manager_->QueryProxySettings(
          *this, UploadHost(),
          ClientIdentificationUrl(manager_->ClientName(), manager_->ClientVersion()), kUserAgent);
      manager_->SaveProxySettings(proxy_, proxyCredentials_, proxyAuthMask_);
      ApplyProxySettings();
      return true;
    case 2: {
      long offered = 0;
      if (curl_easy_getinfo(curl_, CURLINFO_PROXYAUTH_AVAIL, &offered) == CURLE_OK) {
        proxyAuthMask_ = static_cast<uint32_t>(offered);
      }
      manager_->SaveProxySettings(proxy_, proxyCredentials_, proxyAuthMask_);
      ApplyProxySettings();
      return true;
    }
    case 3: {
      std::string credentials;
      if (manager_->AskProxyCredentials(&credentials)) {
        proxyCredentials_ = credentials;
        manager_->SaveProxySettings(proxy_, proxyCredentials_, proxyAuthMask_);
        ApplyProxySettings();
      }
      return true;
    }
    default:
      return false;
  }
}

void CHttpCurl::Finish() {
  if (curl_ != nullptr) {
    curl_easy_cleanup(curl_);
    curl_ = nullptr;
  }
  if (form_ != nullptr) {
    curl_mime_free(form_);
    form_ = nullptr;
  }
  if (headers_ != nullptr) {
    curl_slist_free_all(headers_);
    headers_ = nullptr;
  }
  CloseDownloadFile();
  cancel_ = nullptr;
}

bool CHttpCurl::OpenDownloadFile(const std::string& path) {
  CloseDownloadFile();
  downloadWriteFailed_ = false;
  downloadFd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (downloadFd_ < 0) return false;
  // Nobody else writes the file while it downloads.
  if (::flock(downloadFd_, LOCK_EX | LOCK_NB) != 0) {
    CloseDownloadFile();
    errno = EBUSY;
    return false;
  }
  return true;
}

void CHttpCurl::CloseDownloadFile() {
  if (downloadFd_ >= 0) {
    ::close(downloadFd_);
    downloadFd_ = -1;
  }
}

size_t CHttpCurl::WriteCallback(char* data, size_t size, size_t count, void* self) {
  auto* connection = static_cast<CHttpCurl*>(self);
  const size_t length = size * count;
  if (connection->downloadFd_ >= 0) {
    size_t written = 0;
    while (written < length) {
      const ssize_t n = ::write(connection->downloadFd_, data + written, length - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        connection->CloseDownloadFile();
        connection->downloadWriteFailed_ = true;
        return 0;
      }
      written += static_cast<size_t>(n);
    }
  } else if (!connection->bodyEnded_) {
    const void* nul = std::memchr(data, '\0', length);
    const size_t take = nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : length;
    if (connection->body_.size() + take > kMaxBodyBytes) return 0;
    connection->body_.append(data, take);
    if (nul != nullptr) connection->bodyEnded_ = true;
  }
  if (connection->cancel_ != nullptr && connection->cancel_->load()) return 0;
  return length;
}

int CHttpCurl::ProgressCallback(void* self, curl_off_t downloadTotal, curl_off_t downloadNow,
                                curl_off_t uploadTotal, curl_off_t uploadNow) {
  auto* connection = static_cast<CHttpCurl*>(self);
  double fraction = -1.0;
  if (connection->downloadProgress_) {
    if (downloadTotal > 0) fraction = static_cast<double>(downloadNow) / downloadTotal;
  } else if (uploadTotal > 0) {
    fraction = static_cast<double>(uploadNow) / uploadTotal;
  }
  if (fraction >= 0.0) {
    fraction = std::min(1.0, std::max(0.0, fraction));
    const double value = connection->progressStart_ +
                         fraction * (connection->progressEnd_ - connection->progressStart_);
    // libcurl calls back many times a second; the window only hears of a new whole value.
    const bool changed = static_cast<long>(value) != static_cast<long>(connection->progress_);
    connection->progress_ = value;
    if (connection->notifyWindow_ != nullptr && changed) {
      connection->notifyWindow_->Send(
          {connection->notifyMessage_, static_cast<MessageParam>(value), 0, nullptr});
    }
  }
  return connection->cancel_ != nullptr && connection->cancel_->load() ? 1 : 0;
}

std::string CHttpCurl::ReadBody() const {
  if (contentType_.size() >= 6 &&
      (StartsWithNoCase(contentType_, "text/") || EqualsNoCase(contentType_, "application/xml"))) {
    return body_;
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Common shapes of the operations

ApiResult CHttpCurl::TransferFailure(const char* operation, CancelFlag* cancel) {
  const bool cancelled = cancel != nullptr && cancel->load();
  std::string reason;
  if (cancelled) {
    reason = "cancelled by user";
  } else if (errorBuffer_[0] != '\0') {
    reason = errorBuffer_;
  } else {
    reason = curl_easy_strerror(lastCode_);
  }
  lastResult_.code = 0;
  lastResult_.message = std::string(operation) + ": " + reason;
  lastResult_.value.clear();
  lastResult_.errorCode.clear();
  TraceText(cancelled ? kTraceWarning : kTraceError, "(R) " + lastResult_.message);
  return lastResult_;
}

ApiResult CHttpCurl::Call(const char* operation, const std::string& script, Answer answer,
                          CancelFlag* cancel) {
  const std::string url = ApiScriptUrl(script);
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  TraceText(kTraceNotice, std::string("(S) ") + operation + ": " + fieldLog_ + " " + url);
  if (Go(cancel, {}) != CURLE_OK) return TransferFailure(operation, cancel);

  const std::string body = ReadBody();
  TraceText(kTraceNotice, std::string("(R) ") + operation + ": " + body);
  if (answer == Answer::kRaw) {
    ApiResult result;
    result.value = body;
    return result;
  }
  ApiResult result = ParseAnswer(body);
  bool hasResult = false;
  GetElement(body, "result", &hasResult);
  if (!result.Ok() && !hasResult && lastStatus_ >= 400) {
    // An error page is no answer of the service: say which operation met which status.
    result =
        ApiResult::Failure(std::string(operation) + ": HTTP error " + std::to_string(lastStatus_),
                           std::to_string(lastStatus_));
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// The service API

ApiResult CHttpCurl::UploadFile(const std::string& userName, const std::string& userPass,
                                const std::string& directory, int albumId,
                                const std::string& setting, const std::string& filePath,
                                CancelFlag* cancel) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("directory", directory);
  AddField("albumID", albumId);
  AddField("setting", setting);
  AddField("soubor", filePath, true);
  return Call("UploadFile", "upload.php", Answer::kParse, cancel);
}

ApiResult CHttpCurl::GetSetting(const std::string& userName, const std::string& userPass) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  return Call("GetSetting", "get_setting.php", Answer::kParse);
}

ApiResult CHttpCurl::SetSetting(const std::string& userName, const std::string& userPass,
                                const std::string& setting) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("setting", setting);
  return Call("SetSetting", "set_setting.php", Answer::kParse);
}

ApiResult CHttpCurl::GetLogin(const std::string& loginName, const std::string& userPass) {
  if (!PrepareRequest()) return lastResult_;
  AddField("email", loginName);
  AddField("userPass", userPass);
  AddField("version", kBuildNumberText);
  return Call("GetLogin", "login.php", Answer::kParse);
}

std::string CHttpCurl::Ping(const std::string& code) {
  if (!PrepareRequest()) return "ConnectionError";
  AddField("code", code);
  const std::string url = ApiScriptUrl("ping.php");
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  TraceText(kTraceNotice, "(S) Ping: " + fieldLog_ + " " + url);
  if (Go(nullptr, {}) != CURLE_OK) {
    TransferFailure("Ping", nullptr);
    return "ConnectionError";
  }
  const std::string body = ReadBody();
  TraceText(kTraceNotice, "(R) Ping: " + body);
  return body;
}

ApiResult CHttpCurl::CreateAlbum(const std::string& userName, const std::string& userPass,
                                 const std::string& serverDir, const std::string& albumSetting) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "CreateAlbum");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("serverDir", serverDir);
  AddField("albumSetting", albumSetting);
  return Call("CreateAlbum", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::ExistAlbum(const std::string& userName, const std::string& userPass,
                                const std::string& serverDir) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "ExistAlbum");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("serverDir", serverDir);
  return Call("ExistAlbum", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::EmptyAlbum(const std::string& userName, const std::string& userPass,
                                int albumId, const std::string& albumSetting) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "EmptyAlbum");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  AddField("albumSetting", albumSetting);
  return Call("EmptyAlbum", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::DeleteAlbum(const std::string& userName, const std::string& userPass,
                                 int albumId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "DeleteAlbum");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  return Call("DeleteAlbum", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::SendEmail(const std::string& userName, const std::string& userPass, int userId,
                               const std::string& mailTo, const std::string& mailSubject,
                               const std::string& mailMessage, const std::string& mailFrom) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "SendEmail");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("mailTo", mailTo);
  AddField("mailSubject", mailSubject);
  AddField("mailMessage", mailMessage);
  AddField("mailFrom", mailFrom);
  return Call("SendEmail", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::DeleteEmailAddress(const std::string& userName, const std::string& userPass,
                                        const std::string& email) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "DeleteEmailAddress");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("email", email);
  return Call("DeleteEmailAddress", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetAlbums(const std::string& userName, const std::string& userPass, int userId,
                               int albumId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetAlbums");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("albumID", albumId);
  return Call("GetAlbums", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetAlbumPhotos(const std::string& userName, const std::string& userPass,
                                    int userId, int albumId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetAlbumPhotos");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("albumID", albumId);
  return Call("GetAlbumPhotos", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::SetUserDetails(const std::string& userName, const std::string& userPass,
                                    int userId, const std::string& fullName,
                                    const std::string& description, const std::string& www,
                                    int langClient, const std::string& newPass, bool changePass,
                                    const std::string& userPageOrder, bool defaultWatermark) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "SetUserDetails");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("fullName", fullName);
  AddField("description", description);
  AddField("www", www);
  AddField("langClient", langClient);
  AddField("newPass", newPass);
  AddField("changePass", changePass ? "1" : "0");
  AddField("userPageOrder", userPageOrder);
  AddField("defaultWatermark", defaultWatermark ? "1" : "0");
  return Call("SetUserDetails", "command.php", Answer::kRaw);
}

ApiResult CHttpCurl::SetAlbumUploading(const std::string& userName, const std::string& userPass,
                                       int albumId, int uploading,
                                       const std::string& albumSetting) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "SetAlbumUploading");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  AddField("uploading", uploading);
  AddField("albumSetting", albumSetting);
  return Call("SetAlbumUploading", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetUploadedFiles(const std::string& userName, const std::string& userPass,
                                      int userId, const std::string& albumDirName) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetUploadedFiles");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("albumDirName", albumDirName);
  return Call("GetUploadedFiles", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetCategory(const std::string& userName, const std::string& userPass,
                                 int userId, int userLang) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetCategory");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("userLang", userLang);
  return Call("GetCategory", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetPartners(const std::string& userName, const std::string& userPass,
                                 int userId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetPartners");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  return Call("GetPartners", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetLoginTicket(const std::string& userName, const std::string& userPass) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetLoginTicket");
  AddField("userName", userName);
  AddField("userPass", userPass);
  return Call("GetLoginTicket", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetInfo(const std::string& userName, const std::string& userPass,
                             int userLang) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userLang", userLang);
  return Call("GetInfo", "get_info.php", Answer::kParse);
}

ApiResult CHttpCurl::SendStat(const std::string& uuid, const std::string& statistic) {
  if (!PrepareRequest()) return lastResult_;
  AddField("uuid", uuid);
  AddField("statistic", statistic);
  return Call("SendStat", "send_stat.php", Answer::kParse);
}

ApiResult CHttpCurl::SendBug(const std::string& userName, const std::string& userPass,
                             const std::string& whatIsWrong) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("whatIsWrong", whatIsWrong);
  return Call("SendBug", "send_bug.php", Answer::kParse);
}

ApiResult CHttpCurl::SendBugFile(const std::string& userName, const std::string& userPass,
                                 const std::string& chyba, const std::string& filePath,
                                 CancelFlag* cancel) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("chyba", chyba);
  AddField("soubor", filePath, true);
  return Call("SendBugFile", "send_bug.php", Answer::kParse, cancel);
}

ApiResult CHttpCurl::BeginVideoUpload(const std::string& fileName, const std::string& userName,
                                      const std::string& userPass, const std::string& directory,
                                      bool unknown) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", unknown ? "BeginUnkVideoUpload" : "BeginVideoUpload");
  AddField("fileName", fileName);
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("directory", directory);
  return Call("BeginVideoUpload", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::NextVideoUpload(int uploadId, const std::string& userName,
                                     const std::string& userPass, const std::string& blocks,
                                     const std::vector<VideoBlockPart>& parts, CancelFlag* cancel,
                                     bool unknown) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", unknown ? "NextUnkVideoUpload" : "NextVideoUpload");
  AddField("uploadID", uploadId);
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("blocks", blocks);
  for (const VideoBlockPart& part : parts) {
    AddMemoryFile("data" + std::to_string(part.number), part.bytes);
  }
  return Call("NextVideoUpload", "command.php", Answer::kParse, cancel);
}

ApiResult CHttpCurl::EndVideoUpload(int uploadId, const std::string& userName,
                                    const std::string& userPass, const std::string& blocks,
                                    const std::string& videoSetting, bool unknown) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", unknown ? "EndUnkVideoUpload" : "EndVideoUpload");
  AddField("uploadID", uploadId);
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("blocks", blocks);
  AddField("videoSetting", videoSetting);
  return Call("EndVideoUpload", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::CancelVideoUpload(int uploadId, const std::string& userName,
                                       const std::string& userPass) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "CancelVideoUpload");
  AddField("uploadID", uploadId);
  AddField("userName", userName);
  AddField("userPass", userPass);
  return Call("CancelVideoUpload", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::GetMissingVideos(const std::string& userName, const std::string& userPass,
                                      int albumId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetMissingVideos");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  return Call("GetMissingVideos", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::AcceptUnkVideoUpload(int64_t fileSize, const std::string& userName,
                                          const std::string& userPass, const std::string& reason) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "AcceptUnkVideoUpload");
  AddField("fileSize", fileSize);
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("reason", reason);
  return Call("AcceptUnkVideoUpload", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::SendAdditionalAlbumInfo(const std::string& userName,
                                             const std::string& userPass, int albumId,
                                             int categoryId, const std::string& valueSet) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "SendAdditionalAlbumInfo");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  AddField("categoryID", categoryId);
  AddField("valueSet", valueSet);
  return Call("SendAdditionalAlbumInfo", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::SetVideoThumbPos(const std::string& userName, const std::string& userPass,
                                      int photoId, const std::string& thumbPos) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "SetVideoThumbPos");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("photoID", photoId);
  AddField("thumbPos", thumbPos);
  return Call("SetVideoThumbPos", "command.php", Answer::kParse);
}

ApiResult CHttpCurl::CreateUser(const std::string& userName, const std::string& email,
                                const std::string& password, int userLang) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  AddField("email", email);
  AddField("password", password);
  AddField("userLang", userLang);
  return Call("CreateUser", "createUser.php", Answer::kParse);
}

ApiResult CHttpCurl::CheckUserName(const std::string& userName) {
  if (!PrepareRequest()) return lastResult_;
  AddField("userName", userName);
  return Call("CheckUserName", "createUserCheckUserName.php", Answer::kParse);
}

ApiResult CHttpCurl::CheckUserMail(const std::string& email) {
  if (!PrepareRequest()) return lastResult_;
  AddField("email", email);
  return Call("CheckUserMail", "createUserCheckEmail.php", Answer::kParse);
}

ApiResult CHttpCurl::GetBanners(const std::string& userName, const std::string& userPass,
                                int albumId) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetBanners");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("albumID", albumId);
  return Call("GetBanners", "command.php", Answer::kRaw);
}

// ---------------------------------------------------------------------------------------------
// Transfers that are not service operations

ApiResult CHttpCurl::GetUrlToString(const std::string& url) {
  if (!PrepareRequest()) return lastResult_;
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  TraceText(kTraceNotice, "(S) GetUrlToString: " + url);
  if (Go(nullptr, {}) != CURLE_OK) return TransferFailure("GetUrlToString", nullptr);
  const std::string body = ReadBody();
  if (lastStatus_ >= 400) {
    const std::string message = "HTTP error " + std::to_string(lastStatus_);
    TraceText(kTraceNotice, message);
    return ApiResult::Failure(message, std::to_string(lastStatus_));
  }
  if (lastStatus_ == 200) TraceText(kTraceNotice, "(R) GetUrlToString: " + body);
  ApiResult result;
  result.value = body;
  return result;
}

ApiResult CHttpCurl::DownloadFile(const std::string& url, const std::string& path,
                                  CancelFlag* cancel, const std::string& expectedContentType) {
  if (!PrepareRequest()) return lastResult_;
  downloadProgress_ = true;
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  TraceText(kTraceNotice, "(S) DownloadFile: " + url);
  if (Go(cancel, path) != CURLE_OK) return TransferFailure("DownloadFile", cancel);
  if (lastStatus_ < 400 &&
      (expectedContentType.empty() || EqualsNoCase(contentType_, expectedContentType))) {
    ApiResult result;
    result.value = ReadBody();
    TraceText(kTraceNotice,
              "(R) DownloadFile: " + std::to_string(FileSize(path)) + " bytes " + contentType_);
    return result;
  }
  ApiResult result =
      lastStatus_ < 400 ? ApiResult::Failure("bad content type " + contentType_ +
                                                 " received (expected " + expectedContentType + ")",
                                             "49")
                        : ApiResult::Failure("HTTP error", std::to_string(lastStatus_));
  TraceText(kTraceError, "(R) " + result.message + " " + result.errorCode);
  ::unlink(path.c_str());
  return result;
}

ApiResult CHttpCurl::DownloadFileCheckSize(const std::string& url, const std::string& path,
                                           int64_t expectedSize, CancelFlag* cancel) {
  ApiResult result;
  result.code = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    DownloadFile(url, path, cancel, {});
    if (FileSize(path) == expectedSize) {
      result.code = 1;
      break;
    }
    if (cancel != nullptr && cancel->load()) break;
  }
  return result;
}

ApiResult CHttpCurl::DownloadToFile(const char* operation, const std::string& path) {
  const std::string url = ApiScriptUrl("command.php");
  curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
  TraceText(kTraceNotice, std::string("(S) ") + operation + ": " + fieldLog_ + " " + url);
  if (Go(nullptr, path) != CURLE_OK) return TransferFailure(operation, nullptr);
  TraceText(kTraceNotice, std::string("(R) ") + operation + ": " + std::to_string(lastStatus_) +
                              " " + contentType_ + " " + std::to_string(FileSize(path)) + " bytes");
  return ApiResult{};
}

ApiResult CHttpCurl::GetWatermarkTemplate(const std::string& userName, const std::string& userPass,
                                          const std::string& path) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetWatermarkTemplate");
  AddField("userName", userName);
  AddField("userPass", userPass);
  ApiResult result = DownloadToFile("GetWatermarkTemplate", path);
  if (!result.Ok()) return result;
  if (lastStatus_ >= 400) {
    ::unlink(path.c_str());
    return ApiResult::Failure("HTTP error", std::to_string(lastStatus_));
  }
  return result;
}

ApiResult CHttpCurl::GetWatermarkPatch(const std::string& userName, const std::string& userPass,
                                       int userId, int photoId, const std::string& path) {
  if (!PrepareRequest()) return lastResult_;
  AddField("command", "GetWatermarkPatch");
  AddField("userName", userName);
  AddField("userPass", userPass);
  AddField("userID", userId);
  AddField("photoID", photoId);
  ApiResult result = DownloadToFile("GetWatermarkPatch", path);
  if (!result.Ok()) return result;
  if (lastStatus_ < 400 && EqualsNoCase(contentType_, "image/jpeg")) return result;
  // Whatever arrived is not the patch; it must not be taken for one later.
  std::string text;
  const bool readable = ReadFileBounded(path, kMaxRefusalBytes, &text);
  ::unlink(path.c_str());
  bool hasResult = false;
  if (lastStatus_ == 404 && StartsWithNoCase(contentType_, "text/") && readable) {
    GetElement(text, "result", &hasResult);
    if (hasResult) return ParseAnswer(text);
  }
  if (lastStatus_ >= 400) return ApiResult::Failure("HTTP error", std::to_string(lastStatus_));
  return ApiResult::Failure("bad image format");
}

std::string CHttpCurl::Escape(std::string_view text) {
  return UrlEscape(text);
}

std::string CHttpCurl::Unescape(std::string_view text) {
  return UrlUnescape(text);
}

}  // namespace zerva
