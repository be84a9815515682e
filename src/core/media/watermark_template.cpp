#include "media/watermark_template.h"

#include <FreeImage.h>
#include <unistd.h>

#include <mutex>

#include "app/app_folders.h"
#include "app/trace.h"
#include "media/image_load.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {
namespace {

// A template is a small picture; anything larger is not one.
constexpr int64_t kMaxTemplateBytes = 16LL * 1024 * 1024;

}  // namespace

SharedBitmap ShareBitmap(Bitmap bitmap) {
  return SharedBitmap(bitmap.release(), BitmapDeleter());
}

SharedBitmap DecodeWatermarkTemplate(const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  std::string error;
  Bitmap image =
      LoadImageMemory(bytes, kFormatUnknown, 0, &error, kMaxImagePixels, kWatermarkTemplateFile);
  if (image == nullptr) {
    TraceText(kTraceWarning, "Watermark template ignored: " + error);
    return nullptr;
  }
  return ShareBitmap(std::move(image));
}

TemplateFetch FetchWatermarkTemplate(CHttpConnect& connection, const std::string& userName,
                                     const std::string& userPass, const std::string& userFolder,
                                     std::string* bytes, std::string* error) {
  bytes->clear();
  const std::string path = WithTrailingSlash(userFolder) + kWatermarkTemplateFile;
  const ApiResult result = connection.GetWatermarkTemplate(userName, userPass, path);
  const bool read = result.Ok() && ReadFileBounded(path, kMaxTemplateBytes, bytes);
  ::unlink(path.c_str());
  if (!result.Ok()) {
    if (result.errorCode == "404") return TemplateFetch::kNone;
    if (error != nullptr) *error = "GetWatermarkTemplate: " + result.message;
    return TemplateFetch::kFailed;
  }
  if (!read) {
    bytes->clear();
    if (error != nullptr) *error = "GetWatermarkTemplate: the template cannot be read";
    return TemplateFetch::kFailed;
  }
  return bytes->empty() ? TemplateFetch::kNone : TemplateFetch::kFetched;
}

WatermarkSource SessionWatermarkSource(CUserSession& session, std::shared_ptr<CHttpMngr> manager) {
  struct Decoded {
    std::mutex mutex;
    std::shared_ptr<const std::string> bytes;  // what `image` was decoded from
    SharedBitmap image;
  };
  auto decoded = std::make_shared<Decoded>();
  return [&session, manager = std::move(manager), decoded]() -> WatermarkTemplate {
    // One fetch at a time: parallel preparations wait for the first instead of fetching again.
    std::lock_guard<std::mutex> lock(decoded->mutex);
    std::shared_ptr<const std::string> bytes = session.WatermarkTemplate();
    if (bytes == nullptr) {
      std::unique_ptr<CHttpConnect> connection = manager ? manager->GetConnection() : nullptr;
      if (connection == nullptr) return {nullptr, "GetWatermarkTemplate: no connection"};
      const SessionCredentials user = session.Credentials();
      const std::string folder = session.UserFolder().empty() ? TempFolder() : session.UserFolder();
      std::string fetched, error;
      const TemplateFetch outcome = FetchWatermarkTemplate(
          *connection, user.name, user.passwordDigest, folder, &fetched, &error);
      manager->ReleaseConnection(connection);
      if (outcome == TemplateFetch::kFailed) {
        TraceText(kTraceWarning, error);
        return {nullptr, error};
      }
      bytes = std::make_shared<const std::string>(std::move(fetched));
      session.SetWatermarkTemplate(bytes);
    }
    if (decoded->bytes != bytes) {
      decoded->image = DecodeWatermarkTemplate(*bytes);
      decoded->bytes = bytes;
    }
    return {decoded->image, {}};
  };
}

WatermarkSource FixedWatermarkSource(SharedBitmap image) {
  return [image = std::move(image)] { return WatermarkTemplate{image, {}}; };
}

}  // namespace zerva
