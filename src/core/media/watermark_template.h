// The service's watermark template: fetched once per run as "vatten.jpg" in the user's temporary
// folder, read into memory and the file deleted. Preparations ask a WatermarkSource for it, so
// the fetch happens on the first photo that wants a watermark.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "media/bitmap.h"

namespace zerva {

class CHttpConnect;
class CHttpMngr;
class CUserSession;

inline constexpr const char* kWatermarkTemplateFile = "vatten.jpg";

// A picture read by several preparation threads at once; none of them changes it.
using SharedBitmap = std::shared_ptr<FIBITMAP>;
SharedBitmap ShareBitmap(Bitmap bitmap);

struct WatermarkTemplate {
  SharedBitmap image;  // null: the service has none, and no watermark is applied
  std::string error;   // set: it could not be fetched now; a photo that wants a watermark must
                       // then not be prepared without one
  bool Failed() const { return !error.empty(); }
};
using WatermarkSource = std::function<WatermarkTemplate()>;

enum class TemplateFetch { kFetched, kNone, kFailed };

// GetWatermarkTemplate into `userFolder` + "vatten.jpg"; the file's bytes go to `bytes` and the
// file is deleted. kNone when the service has no template (it refuses with 404 or sends nothing),
// kFailed with `error` for any other failure.
TemplateFetch FetchWatermarkTemplate(CHttpConnect& connection, const std::string& userName,
                                     const std::string& userPass, const std::string& userFolder,
                                     std::string* bytes, std::string* error);

// The template kept in the session: fetched on first use through a connection of its own and
// kept for the rest of the run (an empty text when the service has none); a failed fetch is
// tried again by the next photo. The session and the manager must outlive the source.
WatermarkSource SessionWatermarkSource(CUserSession& session, std::shared_ptr<CHttpMngr> manager);
// Always the same template (null: never a watermark).
WatermarkSource FixedWatermarkSource(SharedBitmap image);

// The picture of the template's bytes; null (with a trace warning) when they are no picture.
SharedBitmap DecodeWatermarkTemplate(const std::string& bytes);

}  // namespace zerva
