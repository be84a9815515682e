// The in-memory images of an album item: its thumbnail and, when asked, its prepared image (fitted
// into the album resolution, turned, watermarked) with the watermark patch. The thumbnail list
// and the advance preparation call this; the preparation job does for videos.
#pragma once

#include <string>

namespace zerva {

class CPhoto;
struct PreparationSettings;

// Builds the item's images. With `keepThumb` an existing thumbnail is kept (and nothing is done
// unless `bigImage` asks for the prepared image); without it both images are made anew.
// `newAlbum` (or an excluded item) lets the EXIF orientation decide the rotation code, unless the
// user turned the item (edited). A photo file that exists but cannot be loaded is reported (bug
// report 1, then a warning when the report got a number). False when an asked-for image could not
// be made.
bool MakeThumb(CPhoto& item, const PreparationSettings& settings, int sizeThumb, int sizeImage,
               bool newAlbum, bool bigImage, bool keepThumb);

// The description of bug report 1.
std::string MakeThumbReportText(int sizeThumb, int sizeImage, bool newAlbum, bool bigImage);

}  // namespace zerva
