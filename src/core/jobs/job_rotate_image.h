// Turning or reducing an item already on the service, without its local file: its files are
// downloaded, the old watermark taken off with the item's patch, the image turned losslessly (or
// reduced), watermarked again, and the thumbnail (and HD image) turned too. The upload jobs
// that follow send the results.
#pragma once

#include <memory>
#include <string>

#include "jobs/job_base.h"
#include "media/preparation_settings.h"

namespace zerva {

class CHttpMngr;

struct RotateImagePaths {
  std::string image;
  std::string hd;
  std::string thumb;
  std::string patch;  // the new patch of a watermarked photo
};

// The larger of 50 and the item's size in KiB (fileSize, else fileSizeOriginal, else the size of
// its local file).
int RotateImageWeight(const CPhoto& item);

class CJobRotateImage : public CJobBase {
 public:
  // degrees 0 reduces the image into `targetSize`; 90, 180 and 270 turn it clockwise. The files
  // come from the item's photosUrl, or from the album address of userName and serverDir.
  // `item` is not owned; `connections` outlives the job.
  CJobRotateImage(int degrees, RotateImagePaths paths, const std::string& userName,
                  const std::string& serverDir, int targetSize, CPhoto* item,
                  std::shared_ptr<CHttpMngr> connections, PreparationSettings settings);

  ApiResult Run(CancelFlag* cancel) override;
  int Weight() const override { return weight_; }

  int Degrees() const { return degrees_; }
  const RotateImagePaths& Paths() const { return paths_; }

 private:
  ApiResult Turn(CHttpConnect& connection, CancelFlag* cancel);

  int degrees_;
  RotateImagePaths paths_;
  std::string albumUrl_;
  int targetSize_;
  std::shared_ptr<CHttpMngr> connections_;
  PreparationSettings settings_;
  int weight_ = 50;
};

}  // namespace zerva
