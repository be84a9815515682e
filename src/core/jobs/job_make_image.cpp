#include "jobs/job_make_image.h"

#include "jobs/job_description.h"
#include "lang/text.h"
#include "media/image_load.h"
#include "model/photo.h"

namespace zerva {

std::string SourceFailureReason(const std::string& error, const std::string& sourcePath) {
  const std::string load = LoadError(sourcePath, "");
  if (error.rfind(load, 0) == 0) return error.substr(load.size());
  const std::string copy = "CopyFile " + sourcePath + " -> ";
  if (error.rfind(copy, 0) == 0 && error.find(": the source cannot be read") != std::string::npos) {
    return "the file cannot be read or is too large";
  }
  return {};
}

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
  SetHopeless(false);
  {
    std::lock_guard<std::mutex> lock(Item()->lock);
    Item()->preparationFailure.clear();
  }
  std::string error;
  const bool made = MakeImageFiles(
      *Item(), inputs_, settings_, [this](double fraction) { SetProgress(fraction); }, &error,
      cancel);
  if (!made) {
    const std::string reason = SourceFailureReason(error, inputs_.sourcePath);
    if (!reason.empty()) {
      SetHopeless(true);
      std::lock_guard<std::mutex> lock(Item()->lock);
      Item()->preparationFailure = reason;
    }
    return ApiResult::Failure(error.empty() ? "MakeImage " + inputs_.sourcePath + " failed"
                                            : error);
  }
  return CJobBase::Run(cancel);
}

}  // namespace zerva
