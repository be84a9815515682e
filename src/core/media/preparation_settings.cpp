#include "media/preparation_settings.h"

#include "model/album.h"

namespace zerva {

PreparationSettings PreparationSettingsFor(const CAlbum& album) {
  const AlbumEnvironment& env = album.env;
  PreparationSettings settings;
  settings.photoQuality = env.params.PhotoQualityFor(VipValuesApply(env.signedIn, env.isVip));
  settings.hdQuality = env.params.PhotoQualityFor(env.AlbumHiResOrVip(album.albumCategory));
  settings.thumbQuality = env.params.ThumbQuality;
  settings.sizeThumb = env.params.SizeThumb;
  settings.videoMaxArea = env.params.VideoMaxArea;
  settings.tempFolder = album.tempFolder;
  settings.albumID = album.albumID;
  return settings;
}

bool WatermarkFor(const PreparationSettings& settings, bool hasWatermark, SharedBitmap* image,
                  std::string* error) {
  image->reset();
  if (!hasWatermark || !settings.watermark) return true;
  WatermarkTemplate found = settings.watermark();
  if (found.Failed()) {
    if (error != nullptr) *error = found.error;
    return false;
  }
  *image = std::move(found.image);
  return true;
}

}  // namespace zerva
