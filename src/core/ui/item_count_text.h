// "3 photos and 1 video" in the user's language, as the album editor's questions name items.
#pragma once

#include <string>

namespace zerva {

// The number of photos, a blank and "PhotoCountTool1o" / "PhotoCountTool2" / "PhotoCountTool"
// for 1 / 2 to 4 / 5 or more (and for 0); with videos, " ", "And", " " and the videos likewise
// with "VideoCountTool1" / "VideoCountTool2" / "VideoCountTool".
std::string ItemCountText(int photos, int videos);

}  // namespace zerva
