#include "model/photo_video_params.h"

#include <cstdint>

#include "app/elements.h"
#include "app/trace.h"
#include "net/endpoints.h"
#include "net/http_connect.h"

namespace zerva {
namespace {

struct IntParam {
  const char* name;
  int PhotoVideoParams::*field;
  int low;
  int high;
};

// In the order the file is applied.
constexpr IntParam kIntParams[] = {
    {"PhotoResolution", &PhotoVideoParams::PhotoResolution, 700, 2400},
    {"PhotoResolutionVip", &PhotoVideoParams::PhotoResolutionVip, 700, 2400},
    {"SizeThumb", &PhotoVideoParams::SizeThumb, 64, 480},
    {"ThumbQuality", &PhotoVideoParams::ThumbQuality, 20, 100},
    {"PhotoQuality", &PhotoVideoParams::PhotoQuality, 20, 100},
    {"PhotoQualityVip", &PhotoVideoParams::PhotoQualityVip, 20, 100},
    {"VideoQuality", &PhotoVideoParams::VideoQuality, 10, 50},
    {"VideoQualityVip", &PhotoVideoParams::VideoQualityVip, 10, 50},
    {"VideoResolution", &PhotoVideoParams::VideoResolution, 480, 1600},
    {"VideoResolutionVip", &PhotoVideoParams::VideoResolutionVip, 480, 1600},
    {"VideoMaxArea", &PhotoVideoParams::VideoMaxArea, 64000, 1920000},
    {"VideoBitrate", &PhotoVideoParams::VideoBitrate, 240, 3200},
    {"VideoBitrateVip", &PhotoVideoParams::VideoBitrateVip, 240, 3200},
};

}  // namespace

bool ApplyPhotoVideoParams(std::string_view fileText, PhotoVideoParams* params) {
  const std::string block = GetElement(fileText, "photoVideoParams");
  if (block.empty()) return false;
  for (const IntParam& p : kIntParams) {
    if (GetElement(block, p.name).empty()) continue;
    const int64_t value = GetElementInt(block, p.name);
    if (value >= p.low && value <= p.high) {
      params->*p.field = static_cast<int>(value);
    } else {
      Trace(kTraceWarning, 0, "photovideoparams: %s %lld ignored (%d..%d)\n", p.name,
            static_cast<long long>(value), p.low, p.high);
    }
  }
  std::string x264 = GetElement(block, "X264Settings");
  if (!x264.empty()) params->X264Settings = std::move(x264);
  return true;
}

bool LoadPhotoVideoParams(CHttpConnect& connection, PhotoVideoParams* params) {
  const ApiResult fetched = connection.GetUrlToString(PhotoVideoParamsUrl());
  if (!fetched.Ok()) return false;
  return ApplyPhotoVideoParams(fetched.value, params);
}

}  // namespace zerva
