#include "ui/item_watermark.h"

#include <mutex>

#include "media/prepared_cache.h"
#include "model/photo.h"

namespace zerva {

bool CanCarryWatermark(const CPhoto& item, int watermarkWidth, int watermarkHeight) {
  if (item.IsVideo() || watermarkWidth <= 0 || watermarkHeight <= 0) return false;
  if (!item.localFileAvailable && item.photoID <= 0) return false;
  // A photo not prepared yet has no size; its preparation decides then.
  if (item.width <= 0 || item.height <= 0) return true;
  return item.width > watermarkWidth && item.height > watermarkHeight;
}

void SetItemWatermark(CPhoto& item, bool on, const PreparationSettings& settings, int size) {
  if (!IsPreparedValid(item, size)) FindPrepared(item, settings, size);
  DropPrepared(item);
  {
    std::lock_guard<std::mutex> lock(item.lock);
    item.hasWatermark = on;
    item.preparedImage.reset();
    item.patch.reset();
  }
  item.edited = true;
}

}  // namespace zerva
