#include "ui/item_watermark.h"

#include "model/photo.h"

namespace zerva {

bool CanCarryWatermark(const CPhoto& item, int watermarkWidth, int watermarkHeight) {
  if (item.IsVideo() || watermarkWidth <= 0 || watermarkHeight <= 0) return false;
  if (!item.localFileAvailable && item.photoID <= 0) return false;
  // A photo not prepared yet has no size; its preparation decides then.
  if (item.width <= 0 || item.height <= 0) return true;
  return item.width > watermarkWidth && item.height > watermarkHeight;
}

}  // namespace zerva
