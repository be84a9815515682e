#include "ui/upload_jobs.h"

#include <algorithm>

#include "jobs/job_make_image.h"
#include "jobs/job_rotate_image.h"
#include "jobs/job_upload.h"
#include "jobs/jobs_mngr.h"
#include "media/image_load.h"
#include "media/prepared_cache.h"
#include "model/album.h"
#include "model/photo.h"
#include "session/user_session.h"
#include "ui/target_resolution.h"
#include "ui/video_job_seam.h"

namespace zerva {
namespace {

// What an item asks of this session.
struct ItemWork {
  bool rotChanged = false;
  bool wmChanged = false;
  bool fileChanged = false;
  bool local = false;
  bool serverWork = false;  // the local file is gone, but the service's copy must change
  int degrees = 0;          // the turn still to be made on the service's copy
  bool videoWork = false;

  bool Changed(const CPhoto& item) const {
    return fileChanged || item.needsUpload || rotChanged || wmChanged;
  }
};

ItemWork WorkOf(const CPhoto& item) {
  ItemWork work;
  work.rotChanged = item.rotate != item.savedRotate;
  work.wmChanged = item.hasWatermark != item.savedHasWatermark;
  work.fileChanged = item.LocalFileChanged();
  work.local = item.localFileAvailable;
  work.serverWork = work.rotChanged || work.wmChanged || (item.needsUpload && item.needsReduction);
  work.degrees = item.PendingQuarterTurns() * 90;
  work.videoWork = item.IsVideo() && (item.video.videoChanged || item.video.thumbPosChanged ||
                                      item.video.SourceChanged());
  return work;
}

std::string Upload(const std::string& folder, const char* dir, const CPhoto& item) {
  return UploadFilePath(folder, dir, UploadImageName(item));
}

VideoJobInputs VideoInputs(const UploadJobsContext& context, CPhoto& item) {
  VideoJobInputs inputs;
  inputs.item = &item;
  inputs.localPath = item.localPath;
  inputs.videoPath = UploadVideoPath(context.userFolder, item);
  inputs.videoResolution = context.videoResolution;
  inputs.limits = context.videoLimits;
  inputs.convertWhileUploading = context.convertWhileUploading;
  inputs.albumID = context.album->albumID;
  inputs.serverDir = context.album->serverDir;
  inputs.session = context.session;
  inputs.connections = context.connections;
  return inputs;
}

void AddPreparation(const UploadJobsContext& context, CPhoto& item, BuiltJobs* built) {
  CAlbum& album = *context.album;
  const ItemWork work = WorkOf(item);
  if (album.thumbName.empty()) album.thumbName = item.fileName;

  if (!work.local && !item.IsVideo() && work.serverWork &&
      (item.needsReduction || work.degrees != 0 || work.wmChanged)) {
    if (item.savedHasWatermark && context.downloadPatch) context.downloadPatch(item);
    RotateImagePaths paths;
    paths.image = Upload(context.userFolder, kImagesDir, item);
    paths.hd = Upload(context.userFolder, kHdImagesDir, item);
    paths.thumb = Upload(context.userFolder, kThumbDir, item);
    paths.patch = Upload(context.userFolder, kDiffDir, item);
    const std::string userName = context.session ? context.session->Name() : std::string();
    context.jobs->AddJob(std::make_unique<CJobRotateImage>(
        work.degrees, paths, userName, album.serverDir, album.resolution, &item,
        context.connections, context.preparation));
    ++built->preparation;
  }
  if (!work.local) return;

  if (work.Changed(item)) {
    item.isHdPhoto = context.albumNeedsHd;
    MakeImageInputs inputs;
    inputs.sourcePath = item.localPath;
    inputs.imagePath = Upload(context.userFolder, kImagesDir, item);
    inputs.patchPath = Upload(context.userFolder, kDiffDir, item);
    inputs.hdPath = Upload(context.userFolder, kHdImagesDir, item);
    inputs.thumbPath = Upload(context.userFolder, kThumbDir, item);
    inputs.sizeImage = item.IsVideo() ? context.videoResolution : album.resolution;
    inputs.sizeHd = kHdImageSize;
    inputs.sizeThumb = context.preparation.sizeThumb;
    inputs.useOriginal = context.useOriginal;
    context.jobs->AddJob(std::make_unique<CJobMakeImage>(inputs, &item, context.preparation));
    ++built->preparation;
  }
  if (work.videoWork && !context.convertWhileUploading) {
    item.video.RefreshDateTime();
    context.jobs->AddJob(MakeVideoJob(VideoInputs(context, item)));
    ++built->preparation;
  }
}

void AddSending(const UploadJobsContext& context, CPhoto& item, BuiltJobs* built) {
  CAlbum& album = *context.album;
  const ItemWork work = WorkOf(item);
  if (!work.Changed(item)) return;
  if (!(work.local || (!item.IsVideo() && work.serverWork))) return;

  auto upload = [&](const char* dir) {
    context.jobs->AddJob(std::make_unique<CJobUpload>(
        context.session, context.connections, Upload(context.userFolder, dir, item),
        album.serverDir + "/" + dir, album.albumID, &item));
    ++built->sending;
  };
  upload(kImagesDir);
  if (item.isHdPhoto && !item.IsVideo() && (work.local || work.rotChanged)) {
    PixelSize source;
    if (!ReadImageSize(item.localPath, &source)) source = PixelSize{};
    if (source.width > album.resolution || source.height > album.resolution) {
      upload(kHdImagesDir);
    }
  }
  if (work.local || work.rotChanged) upload(kThumbDir);
  if (item.hasWatermark) upload(kDiffDir);
  if (work.videoWork) {
    context.jobs->AddJob(MakeVideoUploadJob(VideoInputs(context, item)));
    ++built->sending;
  }
}

}  // namespace

int ApplyResolution(CAlbum& album, int size) {
  int marked = 0;
  for (const auto& item : album.items) {
    if (!item->included) continue;
    const ResolutionChange change = ResolutionChangeAt(*item, size);
    const bool larger = change.larger && item->localFileAvailable;
    const bool smaller = change.smaller;
    if (!larger && !smaller) continue;
    item->needsUpload = true;
    if (smaller) item->needsReduction = true;
    album.modified = true;
    ++marked;
  }
  album.SetMaxSizeImage(size);
  return marked;
}

bool NeedsPreparation(const CPhoto& item) {
  const ItemWork work = WorkOf(item);
  return item.included && work.local && work.Changed(item);
}

std::string UploadImageName(const CPhoto& item) {
  if (!item.IsVideo()) return item.fileName;
  const size_t dot = item.fileName.rfind('.');
  return (dot == std::string::npos || dot == 0 ? item.fileName : item.fileName.substr(0, dot)) +
         ".jpg";
}

std::string UploadVideoPath(const std::string& userFolder, const CPhoto& item) {
  const size_t dot = item.fileName.rfind('.');
  const std::string base =
      dot == std::string::npos || dot == 0 ? item.fileName : item.fileName.substr(0, dot);
  return UploadFilePath(userFolder, "video", base + ".mp4");
}

BuiltJobs BuildJobs(const UploadJobsContext& context) {
  BuiltJobs built;
  context.jobs->ClearJobs();
  for (const auto& item : context.album->items) {
    if (item->included) AddPreparation(context, *item, &built);
  }
  for (const auto& item : context.album->items) {
    if (item->included) AddSending(context, *item, &built);
  }
  return built;
}

}  // namespace zerva
