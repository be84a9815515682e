// A connection to the service: its operations are the service API plus a few transfers.
// One thread uses a connection at a time; each thread gets its own from CHttpMngr.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/message_target.h"
#include "net/api_result.h"
#include "net/proxy_text.h"

namespace zerva {

class CHttpMngr;

// Set by the owner to abort a running transfer.
using CancelFlag = std::atomic<bool>;

// One block of a video upload, sent as the file part "data" + number.
struct VideoBlockPart {
  int number = 0;
  std::shared_ptr<const std::string> bytes;
};

class CHttpConnect {
 public:
  explicit CHttpConnect(CHttpMngr* manager = nullptr) : manager_(manager) {}
  virtual ~CHttpConnect() = default;
  CHttpConnect(const CHttpConnect&) = delete;
  CHttpConnect& operator=(const CHttpConnect&) = delete;

  // The service API, in slot order.
  virtual ApiResult UploadFile(const std::string& userName, const std::string& userPass,
                               const std::string& directory, int albumId,
                               const std::string& setting, const std::string& filePath,
                               CancelFlag* cancel) = 0;
  virtual ApiResult GetSetting(const std::string& userName, const std::string& userPass) = 0;
  virtual ApiResult SetSetting(const std::string& userName, const std::string& userPass,
                               const std::string& setting) = 0;
  virtual ApiResult GetLogin(const std::string& loginName, const std::string& userPass) = 0;
  // The raw answer, or "ConnectionError" when the transfer failed.
  virtual std::string Ping(const std::string& code) = 0;
  virtual ApiResult CreateAlbum(const std::string& userName, const std::string& userPass,
                                const std::string& serverDir, const std::string& albumSetting) = 0;
  virtual ApiResult ExistAlbum(const std::string& userName, const std::string& userPass,
                               const std::string& serverDir) = 0;
  virtual ApiResult EmptyAlbum(const std::string& userName, const std::string& userPass,
                               int albumId, const std::string& albumSetting) = 0;
  virtual ApiResult DeleteAlbum(const std::string& userName, const std::string& userPass,
                                int albumId) = 0;
  virtual ApiResult SendEmail(const std::string& userName, const std::string& userPass, int userId,
                              const std::string& mailTo, const std::string& mailSubject,
                              const std::string& mailMessage, const std::string& mailFrom) = 0;
  virtual ApiResult DeleteEmailAddress(const std::string& userName, const std::string& userPass,
                                       const std::string& email) = 0;
  virtual ApiResult GetAlbums(const std::string& userName, const std::string& userPass, int userId,
                              int albumId) = 0;
  virtual ApiResult GetAlbumPhotos(const std::string& userName, const std::string& userPass,
                                   int userId, int albumId) = 0;
  virtual ApiResult SetUserDetails(const std::string& userName, const std::string& userPass,
                                   int userId, const std::string& fullName,
                                   const std::string& description, const std::string& www,
                                   int langClient, const std::string& newPass, bool changePass,
                                   const std::string& userPageOrder, bool defaultWatermark) = 0;
  virtual ApiResult SetAlbumUploading(const std::string& userName, const std::string& userPass,
                                      int albumId, int uploading,
                                      const std::string& albumSetting) = 0;
  virtual ApiResult GetUrlToString(const std::string& url) = 0;
  virtual ApiResult DownloadFileCheckSize(const std::string& url, const std::string& path,
                                          int64_t expectedSize, CancelFlag* cancel) = 0;
  // `expectedContentType` empty: any type is accepted.
  virtual ApiResult DownloadFile(const std::string& url, const std::string& path,
                                 CancelFlag* cancel, const std::string& expectedContentType) = 0;
  virtual ApiResult GetUploadedFiles(const std::string& userName, const std::string& userPass,
                                     int userId, const std::string& albumDirName) = 0;
  virtual ApiResult GetCategory(const std::string& userName, const std::string& userPass,
                                int userId, int userLang) = 0;
  virtual ApiResult GetPartners(const std::string& userName, const std::string& userPass,
                                int userId) = 0;
  virtual ApiResult GetLoginTicket(const std::string& userName, const std::string& userPass) = 0;
  virtual ApiResult GetInfo(const std::string& userName, const std::string& userPass,
                            int userLang) = 0;
  virtual ApiResult SendStat(const std::string& uuid, const std::string& statistic) = 0;
  virtual ApiResult SendBug(const std::string& userName, const std::string& userPass,
                            const std::string& whatIsWrong) = 0;
  virtual ApiResult SendBugFile(const std::string& userName, const std::string& userPass,
                                const std::string& chyba, const std::string& filePath,
                                CancelFlag* cancel) = 0;
  // `unknown`: the "Unk" commands for a video the client could not convert.
  virtual ApiResult BeginVideoUpload(const std::string& fileName, const std::string& userName,
                                     const std::string& userPass, const std::string& directory,
                                     bool unknown) = 0;
  virtual ApiResult NextVideoUpload(int uploadId, const std::string& userName,
                                    const std::string& userPass, const std::string& blocks,
                                    const std::vector<VideoBlockPart>& parts, CancelFlag* cancel,
                                    bool unknown) = 0;
  virtual ApiResult EndVideoUpload(int uploadId, const std::string& userName,
                                   const std::string& userPass, const std::string& blocks,
                                   const std::string& videoSetting, bool unknown) = 0;
  virtual ApiResult CancelVideoUpload(int uploadId, const std::string& userName,
                                      const std::string& userPass) = 0;
  virtual ApiResult GetMissingVideos(const std::string& userName, const std::string& userPass,
                                     int albumId) = 0;
  virtual ApiResult AcceptUnkVideoUpload(int64_t fileSize, const std::string& userName,
                                         const std::string& userPass,
                                         const std::string& reason) = 0;
  virtual ApiResult SendAdditionalAlbumInfo(const std::string& userName,
                                            const std::string& userPass, int albumId,
                                            int categoryId, const std::string& valueSet) = 0;
  virtual ApiResult SetVideoThumbPos(const std::string& userName, const std::string& userPass,
                                     int photoId, const std::string& thumbPos) = 0;
  // Both write the answer to `path`.
  virtual ApiResult GetWatermarkTemplate(const std::string& userName, const std::string& userPass,
                                         const std::string& path) = 0;
  virtual ApiResult GetWatermarkPatch(const std::string& userName, const std::string& userPass,
                                      int userId, int photoId, const std::string& path) = 0;
  virtual ApiResult CreateUser(const std::string& userName, const std::string& email,
                               const std::string& password, int userLang) = 0;
  virtual ApiResult CheckUserName(const std::string& userName) = 0;
  virtual ApiResult CheckUserMail(const std::string& email) = 0;
  virtual ApiResult GetBanners(const std::string& userName, const std::string& userPass,
                               int albumId) = 0;

  virtual bool Open() {
    opened_ = true;
    return true;
  }
  virtual bool Close() {
    opened_ = false;
    return true;
  }
  virtual std::string Escape(std::string_view text) { return std::string(text); }
  virtual std::string Unescape(std::string_view text) { return std::string(text); }

  // Where progress goes: `message` with the mapped value as first parameter, sent synchronously.
  void SetNotify(MessageTarget* window, unsigned message = kMsgTransferProgress) {
    notifyWindow_ = window;
    notifyMessage_ = message;
  }
  void SetProgressRange(double start, double end) {
    progressStart_ = start;
    progressEnd_ = end;
  }
  double ProgressStart() const { return progressStart_; }
  double ProgressEnd() const { return progressEnd_; }
  bool IsOpen() const { return opened_; }
  CHttpMngr* Manager() const { return manager_; }
  void SetManager(CHttpMngr* manager) { manager_ = manager; }

  // Proxy settings of this connection, decided on its first request.
  const std::string& Proxy() const { return proxy_; }
  const std::string& ProxyCredentials() const { return proxyCredentials_; }
  const std::string& ServerCredentials() const { return serverCredentials_; }
  uint32_t ProxyAuthMask() const { return proxyAuthMask_; }
  bool ProxyResolved() const { return proxyResolved_; }
  void SetProxy(std::string proxy) { proxy_ = std::move(proxy); }
  void SetProxyCredentials(std::string credentials) { proxyCredentials_ = std::move(credentials); }
  void SetServerCredentials(std::string credentials) {
    serverCredentials_ = std::move(credentials);
  }
  void SetProxyAuthMask(uint32_t mask) { proxyAuthMask_ = mask; }
  void SetProxyResolved(bool resolved) { proxyResolved_ = resolved; }

 protected:
  MessageTarget* notifyWindow_ = nullptr;
  unsigned notifyMessage_ = kMsgTransferProgress;
  CHttpMngr* manager_ = nullptr;
  double progress_ = 0.0;
  double progressStart_ = 0.0;
  double progressEnd_ = 100.0;
  bool opened_ = false;
  std::string proxy_;
  std::string serverCredentials_;
  std::string proxyCredentials_;
  bool proxyResolved_ = false;
  uint32_t proxyAuthMask_ = kProxyAuthDefaultMask;
};

}  // namespace zerva
