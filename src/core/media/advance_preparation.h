// Preparing an album's photos into the prepared-file cache ahead of the upload, on every core, as
// the thumbnail list does in its third pass: the upload's preparation jobs then only copy the
// cached files.
#pragma once

#include <atomic>
#include <functional>

namespace zerva {

class CAlbum;
class CPhoto;
struct PreparationSettings;

struct AdvancePreparationOptions {
  int resolution = 1200;  // the album resolution the upload will ask for
  int sizeThumb = 100;
  // The EXIF orientation decides the rotation code (a new album made from a folder).
  bool newAlbum = false;
  // Only the items this accepts (an upload prepares just what it will send); empty: any item.
  std::function<bool(const CPhoto& item)> onlyIf;
  // Preparation threads; 0: one per processor core.
  int threads = 0;
};

// For every photo with its local file (not a video nor an HD photo, whose jobs make their files
// whole, and not one whose thumbnail failed): the cache is taken when it is valid or its files
// exist, otherwise the photo is prepared (MakeThumb with the prepared image) and saved to the
// cache, freeing the large image. Stops between photos once `cancel` is set. Returns how many items
// the cache now holds.
int PrepareInAdvance(CAlbum& album, const PreparationSettings& settings,
                     const AdvancePreparationOptions& options,
                     const std::atomic<bool>* cancel = nullptr);

// `requested` threads, or one per core for 0, never more than `work` items nor fewer than one.
int PreparationThreads(int requested, int work);

}  // namespace zerva
