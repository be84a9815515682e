#include "app/window_placement.h"

#include <charconv>
#include <cstdio>

#include "app/profile.h"

namespace zerva {

std::string FormatWindowPlacement(const WindowPlacement& placement, bool rectangleOnly) {
  WindowPlacement p = placement;
  if (rectangleOnly) {
    p.showCmd = kShowNormal;
    p.flags = p.minX = p.minY = 0;
  } else {
    if (p.showCmd == kShowMinimized) p.showCmd = kShowNormal;
    p.flags &= ~kPlacementRestoreToMaximized;
  }
  char text[12 * 8 + 8];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d,%d,%d,%d", p.left, p.top, p.right, p.bottom,
                p.showCmd, p.flags, p.minX, p.minY);
  return text;
}

std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text, bool rectangleOnly) {
  int values[8];
  const char* pos = text.data();
  const char* const end = text.data() + text.size();
  for (int i = 0; i < 8; ++i) {
    if (i > 0) {
      if (pos == end || *pos != ',') return std::nullopt;
      ++pos;
    }
    const auto [next, error] = std::from_chars(pos, end, values[i]);
    if (error != std::errc()) return std::nullopt;
    pos = next;
  }
  if (pos != end) return std::nullopt;
  WindowPlacement p{values[0], values[1], values[2], values[3],
                    values[4], values[5], values[6], values[7]};
  if (rectangleOnly) {
    p.showCmd = kShowNormal;
    p.flags = 0;
  }
  return p;
}

std::string WindowPlacementEntry(std::string_view windowName) {
  return std::string(windowName) + profile_keys::kWindowPlacementSuffix;
}

bool SaveWindowPlacement(Profile& profile, std::string_view windowName,
                         const WindowPlacement& placement, bool rectangleOnly) {
  return profile.WriteProfileString(profile_keys::kResizableState, WindowPlacementEntry(windowName),
                                    FormatWindowPlacement(placement, rectangleOnly));
}

std::optional<WindowPlacement> LoadWindowPlacement(const Profile& profile,
                                                   std::string_view windowName,
                                                   bool rectangleOnly) {
  return ParseWindowPlacement(
      profile.GetProfileString(profile_keys::kResizableState, WindowPlacementEntry(windowName)),
      rectangleOnly);
}

}  // namespace zerva
