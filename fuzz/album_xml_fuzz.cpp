// Album and photo XML come back from the service: reading hostile text must stay bounded, and
// what was read must be written out again without trouble.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/elements.h"
#include "model/album.h"
#include "model/album_mngr.h"
#include "model/photo.h"
#include "model/uploaded_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zerva::CAlbum album;
  album.FromXml(text);
  if (album.itemLimit < zerva::kDefaultItemLimit) std::abort();
  album.ToXml(true);

  zerva::CPhoto photo;
  photo.FromXml(text);
  if (photo.rotate < 0 || photo.rotate > 7) std::abort();
  if (!std::isfinite(photo.gpsLongitude) || !std::isfinite(photo.gpsLatitude)) std::abort();
  if (!std::isfinite(photo.video.duration) || !std::isfinite(photo.video.begin)) std::abort();
  const std::string xml = photo.ToXml();
  // Values are not escaped, so only the first element written is sure to read back.
  zerva::CPhoto again;
  again.FromXml(xml);
  if (again.photoID != photo.photoID) std::abort();

  zerva::CAlbumMngr list;
  list.Sync(text);
  for (const auto& entry : list.albums) {
    if (entry->albumID < 1) std::abort();
  }
  const zerva::UploadedFiles files = zerva::ParseUploadedFiles(text);
  zerva::ParseMissingVideos(text);
  zerva::ApplyUploadedSizes(album, files);
  return 0;
}
