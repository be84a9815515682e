// Where the window header's partner strip draws the logos: 50 x 15 pixels each at x = 1,
// stacked at a step of 16 and centred in the 68-pixel-high strip.
#pragma once

#include <cstddef>
#include <vector>

namespace zerva {

inline constexpr int kLogoLeft = 1;
inline constexpr int kLogoWidth = 50;
inline constexpr int kLogoHeight = 15;
inline constexpr int kLogoStep = 16;
inline constexpr int kLogoStripHeight = 68;

struct LogoRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LogoRect&) const = default;
};

// One rectangle per logo, top to bottom. With more logos than fit, the first tops are negative
// and the strip's clipping cuts them.
std::vector<LogoRect> PartnerLogoRects(size_t count);

}  // namespace zerva
