// Pictures the service draws itself (FreeImage): demo photos, thumbnails, partner logos,
// banners and the watermark template.
#pragma once

#include <string>

namespace zerva::server {

// A landscape-like picture, `variant` picks colours and shapes; saved as JPEG.
bool DrawDemoPhoto(const std::string& path, int width, int height, int variant, int quality = 88);
// A JPEG copy of `source` fitted into `longSide` (never enlarged).
bool SaveFitted(const std::string& source, const std::string& path, int longSide, int quality);
// A flat logo or banner with a coloured frame and stripes; JPEG.
bool DrawBadge(const std::string& path, int width, int height, int variant);
// A semi-transparent PNG watermark.
bool DrawWatermarkTemplate(const std::string& path, int width, int height);
// Width and height of an image file read from its header; false when unreadable.
bool ImageSize(const std::string& path, int* width, int* height);

}  // namespace zerva::server
