#include "media/video_targets.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "app/trace.h"
#include "model/number_text.h"
#include "model/photo_video_params.h"

namespace zerva {
namespace {

int ClampToInt(double value) {
  if (!(value < static_cast<double>(INT_MAX))) return INT_MAX;
  if (!(value > static_cast<double>(INT_MIN))) return INT_MIN;
  return static_cast<int>(value);
}

int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

int NormalizedAngle(int angle) {
  const int reduced = angle % 360;
  return reduced < 0 ? reduced + 360 : reduced;
}

}  // namespace

VideoLimits VideoLimitsFor(const PhotoVideoParams& params, bool vip) {
  return {params.VideoMaxArea, params.VideoBitrateFor(vip)};
}

PixelSize ResizeVideo(int width, int height, int fallbackWidth, double par, int maxArea) {
  int sourceHeight = height;
  if (par != 0.0 && par != 1.0 && std::isfinite(par)) {
    sourceHeight = ClampToInt(std::trunc(height / par)) & ~1;
  }
  const PixelSize source{width, sourceHeight};
  PixelSize result;
  if (source.width <= 0 || source.height <= 0) {
    result = {fallbackWidth, ClampToInt((static_cast<int64_t>(fallbackWidth) * 3) >> 2)};
  } else if (static_cast<int64_t>(source.width) * source.height > maxArea) {
    const double area = static_cast<double>(std::max(maxArea, 0));
    const int64_t w = ClampToInt(std::trunc(std::sqrt(area * source.width / source.height)));
    const int64_t h = (w * source.height + source.width / 2) / source.width;
    result = {ClampToInt(w + 1), ClampToInt(h + 1)};
  } else {
    return source;
  }
  if (result == source) return result;

  const bool widthLonger = result.width >= result.height;
  const int64_t longer = widthLonger ? result.width : result.height;
  const int64_t other = widthLonger ? result.height : result.width;
  if (longer > 0) {
    const int64_t newLonger = longer / 16 * 16;
    const int64_t newOther = (other * newLonger + longer / 2) / longer;
    result = widthLonger ? PixelSize{ClampToInt(newLonger), ClampToInt(newOther)}
                         : PixelSize{ClampToInt(newOther), ClampToInt(newLonger)};
  }
  result.width &= ~1;
  result.height &= ~1;
  const std::string ratio = FormatFixed(par, 6);
  Trace(kTraceNotice, 64 + static_cast<int>(ratio.size()),
        "ResizeVideo: (%d x %d, PAR %s) => (%d x %d)\n", width, height, ratio.c_str(), result.width,
        result.height);
  return result;
}

int TargetVideoBitrate(int frameWidth, int frameHeight, const VideoLimits& limits) {
  const int64_t area = static_cast<int64_t>(frameWidth) * frameHeight;
  if (area <= 0 || frameWidth <= 0 || limits.maxArea <= 0) return limits.bitrate;
  // Sizes from a record read back from the service may be anything; 128 bits hold any product.
  const __int128 c = limits.bitrate;
  const __int128 rate = (2 * c * area) / (3 * static_cast<__int128>(limits.maxArea)) + c / 3;
  return static_cast<int>(std::clamp<__int128>(rate, INT_MIN, INT_MAX));
}

std::string RotationFilter(int angle) {
  switch (NormalizedAngle(angle)) {
    case 90:
      return "-vf \"transpose=2\"";
    case 180:
      return "-vf \"vflip,hflip\"";
    case 270:
      return "-vf \"transpose=1\"";
    default:
      return {};
  }
}

bool RotationSwapsSides(int angle) {
  return NormalizedAngle(angle) % 180 == 90;
}

int VideoRotationAngle(int rotationCode) {
  // Clockwise quarter turns; ffmpeg's angles (like the image library's) count counter-clockwise.
  return NormalizedAngle(-90 * (((rotationCode % 4) + 4) % 4));
}

}  // namespace zerva
