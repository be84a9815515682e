// The connection on libcurl's easy interface: one easy handle per request, form POSTs with a
// trailing "eof" field, up to five passes (proxy authentication walk, three tries for failures,
// "retry" answers), progress and cancellation, "(S) "/"(R) " trace lines.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

#include "net/http_connect.h"

namespace zerva {

class CHttpCurl : public CHttpConnect {
 public:
  explicit CHttpCurl(CHttpMngr* manager);
  ~CHttpCurl() override;

  ApiResult UploadFile(const std::string& userName, const std::string& userPass,
                       const std::string& directory, int albumId, const std::string& setting,
                       const std::string& filePath, CancelFlag* cancel) override;
  ApiResult GetSetting(const std::string& userName, const std::string& userPass) override;
  ApiResult SetSetting(const std::string& userName, const std::string& userPass,
                       const std::string& setting) override;
  ApiResult GetLogin(const std::string& loginName, const std::string& userPass) override;
  std::string Ping(const std::string& code) override;
  ApiResult CreateAlbum(const std::string& userName, const std::string& userPass,
                        const std::string& serverDir, const std::string& albumSetting) override;
  ApiResult ExistAlbum(const std::string& userName, const std::string& userPass,
                       const std::string& serverDir) override;
  ApiResult EmptyAlbum(const std::string& userName, const std::string& userPass, int albumId,
                       const std::string& albumSetting) override;
  ApiResult DeleteAlbum(const std::string& userName, const std::string& userPass,
                        int albumId) override;
  ApiResult SendEmail(const std::string& userName, const std::string& userPass, int userId,
                      const std::string& mailTo, const std::string& mailSubject,
                      const std::string& mailMessage, const std::string& mailFrom) override;
  ApiResult DeleteEmailAddress(const std::string& userName, const std::string& userPass,
                               const std::string& email) override;
  ApiResult GetAlbums(const std::string& userName, const std::string& userPass, int userId,
                      int albumId) override;
  ApiResult GetAlbumPhotos(const std::string& userName, const std::string& userPass, int userId,
                           int albumId) override;
  ApiResult SetUserDetails(const std::string& userName, const std::string& userPass, int userId,
                           const std::string& fullName, const std::string& description,
                           const std::string& www, int langClient, const std::string& newPass,
                           bool changePass, const std::string& userPageOrder,
                           bool defaultWatermark) override;
  ApiResult SetAlbumUploading(const std::string& userName, const std::string& userPass, int albumId,
                              int uploading, const std::string& albumSetting) override;
  ApiResult GetUrlToString(const std::string& url) override;
  ApiResult DownloadFileCheckSize(const std::string& url, const std::string& path,
                                  int64_t expectedSize, CancelFlag* cancel) override;
  ApiResult DownloadFile(const std::string& url, const std::string& path, CancelFlag* cancel,
                         const std::string& expectedContentType) override;
  ApiResult GetUploadedFiles(const std::string& userName, const std::string& userPass, int userId,
                             const std::string& albumDirName) override;
  ApiResult GetCategory(const std::string& userName, const std::string& userPass, int userId,
                        int userLang) override;
  ApiResult GetPartners(const std::string& userName, const std::string& userPass,
                        int userId) override;
  ApiResult GetLoginTicket(const std::string& userName, const std::string& userPass) override;
  ApiResult GetInfo(const std::string& userName, const std::string& userPass,
                    int userLang) override;
  ApiResult SendStat(const std::string& uuid, const std::string& statistic) override;
  ApiResult SendBug(const std::string& userName, const std::string& userPass,
                    const std::string& whatIsWrong) override;
  ApiResult SendBugFile(const std::string& userName, const std::string& userPass,
                        const std::string& chyba, const std::string& filePath,
                        CancelFlag* cancel) override;
  ApiResult BeginVideoUpload(const std::string& fileName, const std::string& userName,
                             const std::string& userPass, const std::string& directory,
                             bool unknown) override;
  ApiResult NextVideoUpload(int uploadId, const std::string& userName, const std::string& userPass,
                            const std::string& blocks, const std::vector<VideoBlockPart>& parts,
                            CancelFlag* cancel, bool unknown) override;
  ApiResult EndVideoUpload(int uploadId, const std::string& userName, const std::string& userPass,
                           const std::string& blocks, const std::string& videoSetting,
                           bool unknown) override;
  ApiResult CancelVideoUpload(int uploadId, const std::string& userName,
                              const std::string& userPass) override;
  ApiResult GetMissingVideos(const std::string& userName, const std::string& userPass,
                             int albumId) override;
  ApiResult AcceptUnkVideoUpload(int64_t fileSize, const std::string& userName,
                                 const std::string& userPass, const std::string& reason) override;
  ApiResult SendAdditionalAlbumInfo(const std::string& userName, const std::string& userPass,
                                    int albumId, int categoryId,
                                    const std::string& valueSet) override;
  ApiResult SetVideoThumbPos(const std::string& userName, const std::string& userPass, int photoId,
                             const std::string& thumbPos) override;
  ApiResult GetWatermarkTemplate(const std::string& userName, const std::string& userPass,
                                 const std::string& path) override;
  ApiResult GetWatermarkPatch(const std::string& userName, const std::string& userPass, int userId,
                              int photoId, const std::string& path) override;
  ApiResult CreateUser(const std::string& userName, const std::string& email,
                       const std::string& password, int userLang) override;
  ApiResult CheckUserName(const std::string& userName) override;
  ApiResult CheckUserMail(const std::string& email) override;
  ApiResult GetBanners(const std::string& userName, const std::string& userPass,
                       int albumId) override;

  std::string Escape(std::string_view text) override;
  std::string Unescape(std::string_view text) override;

  // What the last request left behind, for callers and tests.
  const ApiResult& LastResult() const { return lastResult_; }
  long LastHttpStatus() const { return lastStatus_; }
  int LastCurlCode() const { return static_cast<int>(lastCode_); }
  const std::string& ResponseContentType() const { return contentType_; }
  // How many transfers the last request made (1 to 5).
  int LastAttemptCount() const { return attempts_; }

  // Hands the connection's proxy settings to the current easy handle.
  void ApplyProxySettings();

 private:
  enum class Answer { kParse, kRaw };
  struct FormField {
    std::string name;
    std::string value;  // text, or the local path of a file part
    bool isFile = false;
    std::shared_ptr<const std::string> bytes;  // a file part sent from memory
  };

  bool PrepareRequest();
  void ResolveProxy();
  void AddField(const std::string& name, const std::string& value, bool isFile = false);
  void AddField(const std::string& name, int64_t value);
  void AddMemoryFile(const std::string& name, std::shared_ptr<const std::string> bytes);
  void BuildBody();
  CURLcode Go(CancelFlag* cancel, const std::string& downloadPath);
  bool HandleProxyAuthentication(int pass);
  void Finish();
  std::string ReadBody() const;
  // The common tail of the form operations: log, transfer, decode.
  ApiResult Call(const char* operation, const std::string& script, Answer answer,
                 CancelFlag* cancel = nullptr);
  ApiResult TransferFailure(const char* operation, CancelFlag* cancel);
  ApiResult DownloadToFile(const char* operation, const std::string& path);
  bool OpenDownloadFile(const std::string& path);
  void CloseDownloadFile();

  static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
  static int ProgressCallback(void* self, curl_off_t downloadTotal, curl_off_t downloadNow,
                              curl_off_t uploadTotal, curl_off_t uploadNow);

  CURL* curl_ = nullptr;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  std::string body_;
  bool bodyEnded_ = false;  // a NUL byte ends the text of a body
  std::string contentType_;
  ApiResult lastResult_;
  curl_mime* form_ = nullptr;
  curl_slist* headers_ = nullptr;
  CancelFlag* cancel_ = nullptr;
  CURLcode lastCode_ = CURLE_OK;
  long lastStatus_ = 0;
  int downloadFd_ = -1;
  bool downloadWriteFailed_ = false;
  std::vector<FormField> fields_;
  std::string fieldLog_;
  std::string postBody_;
  bool hasFilePart_ = false;
  bool downloadProgress_ = false;
  int attempts_ = 0;
};

}  // namespace zerva
