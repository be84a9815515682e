// What the preparation of an item's files takes from outside the item: the service's sizes and
// qualities, the temporary folder and album of the prepared-file cache, the watermark template,
// and where a photo that cannot be read is reported.
#pragma once

#include <string>

#include "media/bitmap.h"
#include "media/watermark_template.h"
#include "net/bug_report.h"

namespace zerva {

class CAlbum;
class CPhoto;
class Dialogs;

// The long side of HD images: in practice the original pixels.
inline constexpr int kHdLongSide = 21000;

struct PreparationSettings {
  int photoQuality = 85;  // prepared images and patches
  int hdQuality = 85;     // HD images
  int thumbQuality = 85;
  int sizeThumb = 100;     // thumbnails of the cache
  std::string tempFolder;  // the user's temporary folder, with a trailing "/"
  int albumID = 0;         // part of the cache names
  WatermarkSource watermark;
  // Bug report 1 for a photo that cannot be loaded; unset: none is sent.
  ReportSender reports;
  // Shows the warning after a report; null: none is shown.
  Dialogs* dialogs = nullptr;
  int videoMaxArea = 307200;  // VideoMaxArea: the frames of videos are taken at this size
};

// The album's values: photo quality by the VIP rule, HD quality by the album rule (a VIP or a
// high-resolution category), SizeThumb, the album's temporary folder and identifier. The watermark,
// reports and dialogs are the caller's.
PreparationSettings PreparationSettingsFor(const CAlbum& album);

// The template for an item that wants a watermark: null when the item does not want one or the
// service has none; false with `error` when it could not be fetched.
bool WatermarkFor(const PreparationSettings& settings, bool hasWatermark, SharedBitmap* image,
                  std::string* error);

}  // namespace zerva
