#include "ui/video_props_edit.h"

#include <memory>
#include <string>

#include "app/trace.h"
#include "media/make_thumb.h"
#include "media/preparation_settings.h"
#include "media/video_targets.h"
#include "media/watermark_template.h"
#include "model/album.h"
#include "model/photo.h"
#include "ui/video_props_dlg.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

int VideoResolution(CzervaApp& app) {
  CUserSession& session = app.Session();
  return app.Params().VideoResolutionFor(VipValuesApply(session.IsSignedIn(), session.IsVip()));
}

bool InCurrentAlbum(CzervaApp& app, const CPhoto& item) {
  for (const auto& held : app.CurrentAlbum().items) {
    if (held.get() == &item) return true;
  }
  return false;
}

// The item's pictures and frame files from the frame at its new thumbnail position, with the
// user's photo settings.
void RemakeThumbnail(CzervaApp& app, CPhoto& item) {
  CAlbum& album = app.CurrentAlbum();
  PreparationSettings settings = PreparationSettingsFor(album);
  if (settings.tempFolder.empty()) settings.tempFolder = app.Session().UserFolder();
  settings.watermark = SessionWatermarkSource(app.Session(), app.SharedHttpMngr());
  settings.reports = app.Reports();
  settings.dialogs = &app.AppDialogs();
  if (!MakeThumb(item, settings, 2 * app.Params().SizeThumb, VideoResolution(app),
                 /*newAlbum=*/false, /*bigImage=*/false, /*keepThumb=*/false)) {
    // The upload makes the frame files again; only the tile waits for its picture.
    TraceText(kTraceWarning,
              "VideoProps: the thumbnail of " + item.fileName + " could not be made again");
  }
}

}  // namespace

bool CanEditVideoProperties(const CPhoto& video) {
  return video.IsVideo() && video.HasLocalFile() && video.video.durationSrc > 0;
}

bool EditVideoProperties(CzervaApp& app, CPhoto& video) {
  if (!CanEditVideoProperties(video)) return false;
  const VideoPropsViewFactory& views = app.VideoPropsViews();
  if (!views) return false;
  std::unique_ptr<VideoPropsView> view = views();
  if (view == nullptr) return false;

  // A record rebuilt from the album XML may not know its file; the frames come from it.
  if (video.video.sourcePath.empty()) video.video.sourcePath = video.localPath;
  const CZervaVideo record = video.video;
  VideoPreviewSettings preview;
  preview.rotation = VideoRotationAngle(video.rotate);
  preview.sizeHint = VideoResolution(app);
  preview.maxArea = app.Params().VideoMaxArea;

  VideoPropsModel::Outcome outcome;
  {
    CVideoProps dialog(record, *view, app.AppUiThread(), preview);
    if (!dialog.DoModal()) return false;
    outcome = dialog.Model().Apply(video.video);
  }
  if (!outcome.trimChanged && !outcome.thumbPosChanged) return false;

  video.edited = true;
  video.needsUpload = true;
  if (outcome.thumbPosChanged) RemakeThumbnail(app, video);
  if (InCurrentAlbum(app, video)) app.CurrentAlbum().modified = true;
  return true;
}

}  // namespace zerva
