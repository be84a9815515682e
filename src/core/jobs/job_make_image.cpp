#include "jobs/job_make_image.h"

#include "jobs/job_description.h"
#include "lang/text.h"
#include "model/photo.h"

namespace zerva {

CJobMakeImage::CJobMakeImage(MakeImageInputs inputs, CPhoto* item, PreparationSettings settings)
    : inputs_(std::move(inputs)), settings_(std::move(settings)) {
  SetKind(kJobKindMakeImage);
  SetItem(item);
  SetName(FileNameOfPath(inputs_.sourcePath));
  SetDescription(
      FillJobText(Text("jobMakeImageDesc"),
                  {inputs_.sourcePath, std::to_string(inputs_.sizeImage), inputs_.imagePath}));
}

ApiResult CJobMakeImage::Run(CancelFlag* cancel) {
  if (Item() == nullptr) return ApiResult::Failure("MakeImage: no item");
  std::string error;
  const bool made = MakeImageFiles(
      *Item(), inputs_, settings_, [this](double fraction) { SetProgress(fraction); }, &error,
      cancel);
  if (!made) {
    return ApiResult::Failure(error.empty() ? "MakeImage " + inputs_.sourcePath + " failed"
                                            : error);
  }
  return CJobBase::Run(cancel);
}

}  // namespace zerva
