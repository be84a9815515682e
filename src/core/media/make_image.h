// The files an upload sends for one item, made from its local file: the image fitted into the
// album resolution, the thumbnail, the HD image of an HD photo and the watermark patch. Files the
// prepared-file cache already holds are copied; small originals may be sent as they are. The
// preparation job and `zerva-cli prepare` both run this.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "media/preparation_settings.h"

namespace zerva {

class CPhoto;

struct MakeImageInputs {
  std::string sourcePath;
  std::string imagePath;
  std::string patchPath;  // written only for a watermarked photo
  std::string hdPath;     // written only for an HD photo
  std::string thumbPath;
  int sizeImage = 0;
  int sizeHd = kHdLongSide;
  int sizeThumb = 100;
  // The user may have small originals sent unchanged (a VIP).
  bool useOriginal = false;
};

// Fractions 0..1 of the work, in the steps the job reports.
using ProgressSink = std::function<void(double fraction)>;

// Makes the files and records their pixel and file sizes into the item, and OriginalCode = the
// source's modification time. Output files this run does not make (a patch without watermark,
// an HD image of a photo that is not one) are deleted, so no stale file is taken for this
// run's. False with `error` on any load, save or copy failure; the item's sizes are then as
// they were. Once `cancel` is set the run stops at its next step with "cancelled by user".
bool MakeImageFiles(CPhoto& item, const MakeImageInputs& inputs,
                    const PreparationSettings& settings, const ProgressSink& progress,
                    std::string* error, const std::atomic<bool>* cancel = nullptr);

}  // namespace zerva
