#include "ui/preview_cache.h"

#include <algorithm>

#include "model/photo.h"

namespace zerva {
namespace {

void ReleaseLargePicture(CPhoto* item) {
  std::lock_guard<std::mutex> lock(item->lock);
  item->preparedImage.reset();
}

}  // namespace

void PreviewCache::Add(CPhoto* item) {
  if (item == nullptr) return;
  CPhoto* dropped = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = std::find(items_.begin(), items_.end(), item);
    if (found != items_.end()) items_.erase(found);
    items_.push_front(item);
    if (items_.size() > kMaxPreviews) {
      dropped = items_.back();
      items_.pop_back();
    }
  }
  // The item's lock is taken outside ours, so a loader holding an item lock never waits on us
  // while we wait on it.
  if (dropped != nullptr) ReleaseLargePicture(dropped);
}

void PreviewCache::SetShown(CPhoto* item) {
  std::lock_guard<std::mutex> lock(mutex_);
  shown_ = item;
}

CPhoto* PreviewCache::Shown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_;
}

bool PreviewCache::WantsLarge(const CPhoto* item) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_ == item || std::find(items_.begin(), items_.end(), item) != items_.end();
}

void PreviewCache::ReleaseAll() {
  std::deque<CPhoto*> items;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    items.swap(items_);
    shown_ = nullptr;
  }
  for (CPhoto* item : items) ReleaseLargePicture(item);
}

size_t PreviewCache::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return items_.size();
}

}  // namespace zerva
