// Sizes and turns of pictures: fitting into a limit without enlarging, and the rotation codes
// (code mod 4 quarter turns clockwise, then a horizontal flip for codes 4 to 7).
#pragma once

class fipImage;

namespace zerva {

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// A picture whose longer side exceeds `limit` scaled so that the longer side equals it, keeping
// the aspect ratio (no side below 1); smaller pictures and a limit below 1 keep their size.
PixelSize FitToLongSide(int width, int height, int limit);
// The largest size inside maxWidth x maxHeight with the picture's aspect ratio, never enlarged.
PixelSize FitInsideBox(int width, int height, int maxWidth, int maxHeight);

// Turns the image by the rotation code; false when the image library fails.
bool RotateByCode(fipImage& image, int code);
// Rescales with Lanczos-3 into the box (FitInsideBox); false when the image library fails.
bool RescaleIntoBox(fipImage& image, int maxWidth, int maxHeight);

}  // namespace zerva
