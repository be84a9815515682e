// The preparation job: makes the files an upload sends for one item (image, thumbnail, HD image,
// watermark patch), reusing the prepared-file cache when it holds the item's current state.
#pragma once

#include <string>

#include "jobs/job_base.h"
#include "media/make_image.h"
#include "media/preparation_settings.h"

namespace zerva {

inline constexpr int kMakeImageWeight = 50;

// The reason of a preparation failure that lies in the source file itself ("the file ends before
// the picture does"); empty for any other (a full disk, a stopped run), which a new run may mend.
std::string SourceFailureReason(const std::string& error, const std::string& sourcePath);

class CJobMakeImage : public CJobBase {
 public:
  // `item` is not owned and must outlive the job's runs.
  CJobMakeImage(MakeImageInputs inputs, CPhoto* item, PreparationSettings settings);

  ApiResult Run(CancelFlag* cancel) override;
  int Weight() const override { return kMakeImageWeight; }

  const MakeImageInputs& Inputs() const { return inputs_; }

 private:
  MakeImageInputs inputs_;
  PreparationSettings settings_;
};

}  // namespace zerva
