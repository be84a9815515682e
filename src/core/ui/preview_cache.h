// The items whose large picture is kept for the photo detail page: at most 20, newest first.
// The thumbnail list's loader reads it from its thread to know which items to load large.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>

namespace zerva {

class CPhoto;

inline constexpr size_t kMaxPreviews = 20;

class PreviewCache {
 public:
  // Puts the item first; beyond 20 items the oldest one's large picture is released (under its
  // lock) and it leaves the list.
  void Add(CPhoto* item);
  // The item the photo detail page shows; null for none.
  void SetShown(CPhoto* item);
  CPhoto* Shown() const;
  // The item is shown or kept: it is loaded large.
  bool WantsLarge(const CPhoto* item) const;
  // Releases every large picture and forgets every item, the shown one too. Run before the
  // album's items go away.
  void ReleaseAll();
  size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::deque<CPhoto*> items_;  // newest first
  CPhoto* shown_ = nullptr;
};

}  // namespace zerva
