#include "model/album_cover.h"

#include <FreeImagePlus.h>
#include <unistd.h>

#include <atomic>

#include "app/app_folders.h"
#include "model/album.h"
#include "model/album_mngr.h"
#include "model/image_geometry.h"
#include "net/endpoints.h"
#include "net/http_connect.h"

namespace zerva {
namespace {

std::string ScratchPath(const CAlbum& album, bool large) {
  static std::atomic<unsigned> counter{0};
  return TempFolder() + "cover_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) +
         "_" + std::to_string(album.albumID) + (large ? "_l.jpg" : "_s.jpg");
}

}  // namespace

std::string CoverUrl(const CAlbum& album, bool large) {
  if (album.thumbName.empty()) return {};
  const std::string base =
      album.photosUrl.empty() ? AlbumPageUrl(album.ownerName, album.serverDir) : album.photosUrl;
  return base + (large ? "images" : "thumb") + "/" + album.thumbName;
}

ImagePtr DownloadCover(const CAlbum& album, CHttpConnect& connection, bool large,
                       std::atomic<bool>* cancel) {
  const std::string url = CoverUrl(album, large);
  if (url.empty()) return nullptr;
  const std::string path = ScratchPath(album, large);
  const ApiResult fetched = connection.DownloadFile(url, path, cancel, "");
  ImagePtr image;
  if (fetched.Ok()) {
    auto loaded = std::make_shared<fipImage>();
    // The small cover is half the large one, rounded up.
    const int width = large ? kCoverWidth : (kCoverWidth + 1) / 2;
    const int height = large ? kCoverHeight : (kCoverHeight + 1) / 2;
    if (loaded->load(path.c_str()) && RescaleIntoBox(*loaded, width, height)) {
      image = std::move(loaded);
    }
  }
  ::unlink(path.c_str());
  return image;
}

ImagePtr LoadCover(CAlbum& album, CHttpConnect& connection, bool large, CAlbumMngr* cache) {
  AlbumCover& cover = large ? album.coverLarge : album.coverSmall;
  if (cover.state != kCoverNotLoaded) return cover.image;
  if (cache) {
    if (ImagePtr cached = cache->CachedCover(album.albumID, large)) {
      cover = {cached, kCoverFromCache};
      return cached;
    }
  }
  ImagePtr image = DownloadCover(album, connection, large);
  if (!image) {
    cover = {nullptr, kCoverFailed};
    return nullptr;
  }
  if (cache) cache->StoreCover(album.albumID, large, image);
  cover = {image, kCoverDownloaded};
  return image;
}

}  // namespace zerva
