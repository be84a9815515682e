// Turning a picture by a rotation code: (code mod 4) quarter turns clockwise, then a horizontal
// flip for codes 4 to 7.
#pragma once

#include "media/bitmap.h"

namespace zerva {

inline constexpr int kMaxRotationCode = 7;

// In place; metadata stays. False, with the picture unchanged, for a code outside 0..7 or when
// the library fails.
bool RotateByCode(Bitmap& image, int code);

}  // namespace zerva
