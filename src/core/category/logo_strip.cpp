#include "category/logo_strip.h"

#include <cstdint>

namespace zerva {

std::vector<LogoRect> PartnerLogoRects(size_t count) {
  std::vector<LogoRect> rects;
  rects.reserve(count);
  const int64_t firstTop = (kLogoStripHeight - kLogoStep * static_cast<int64_t>(count)) / 2;
  for (size_t i = 0; i < count; ++i) {
    const int64_t top = firstTop + kLogoStep * static_cast<int64_t>(i);
    rects.push_back({kLogoLeft, static_cast<int>(top), kLogoWidth, kLogoHeight});
  }
  return rects;
}

}  // namespace zerva
