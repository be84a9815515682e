// The properties text of an album item, as the thumbnail list's properties window and the photo
// detail page show it: one "label: value" line per fact, lines separated by "\r\n".
#pragma once

#include <string>

namespace zerva {

class CPhoto;

// The file name and the item's date; then for a video its converted values, each followed by
// the source file's value where that differs, the cut and the sound; for a photo the EXIF facts
// it has ("msgNotAvailable" when none). Reads the item under its lock.
std::string ItemPropertiesText(const CPhoto& item);

}  // namespace zerva
