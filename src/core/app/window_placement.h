// A window's placement as the profile keeps it under "ResizableState": eight decimal integers
// "left,top,right,bottom,showCmd,flags,minX,minY".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zerva {

class Profile;

inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kPlacementRestoreToMaximized = 2;  // flag

struct WindowPlacement {
  int left = 0, top = 0, right = 0, bottom = 0;  // the normal-position rectangle
  int showCmd = kShowNormal;
  int flags = 0;
  int minX = 0, minY = 0;  // minimised position
  bool operator==(const WindowPlacement&) const = default;
};

// Rectangle-only: show command 1 and the last three 0. Otherwise a minimised window is written
// as shown normally and the restore-to-maximised flag is cleared, so the window never comes
// back minimised.
std::string FormatWindowPlacement(const WindowPlacement& placement, bool rectangleOnly);
// Exactly eight decimal integers separated by commas, else nothing. Rectangle-only gives show
// command 1 and flags 0.
std::optional<WindowPlacement> ParseWindowPlacement(std::string_view text, bool rectangleOnly);

// The profile entry of a window: its name followed by "WindowPlacement".
std::string WindowPlacementEntry(std::string_view windowName);
bool SaveWindowPlacement(Profile& profile, std::string_view windowName,
                         const WindowPlacement& placement, bool rectangleOnly);
// Nothing when the stored value is missing or malformed: the window keeps its default position.
std::optional<WindowPlacement> LoadWindowPlacement(const Profile& profile,
                                                   std::string_view windowName, bool rectangleOnly);

}  // namespace zerva
