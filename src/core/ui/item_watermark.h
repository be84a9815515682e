// Whether an album item can carry the user's watermark: a photo the service holds or whose file
// is here, when the user has a watermark and the picture (once its size is known) is wider and
// taller than it. The album editor's watermark button and the thumbnail list's watermark
// command ask this.
#pragma once

namespace zerva {

class CPhoto;

bool CanCarryWatermark(const CPhoto& item, int watermarkWidth, int watermarkHeight);

}  // namespace zerva
