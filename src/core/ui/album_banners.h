// The banners the service shows beside an uploaded album: each a picture with a title and the
// address it leads to. Loaded by the post-upload page and zerva-cli's banners verb.
#pragma once

#include <string>
#include <vector>

#include "model/image_ptr.h"

namespace zerva {

class CHttpConnect;
struct SessionCredentials;

struct AlbumBanner {
  std::string pictureUrl;
  std::string title;
  std::string link;
  ImagePtr picture;  // null when only the list was asked for
};

// GetBanners for the album, each "file" with its "url", "title" and "name". Failures leave
// nothing out loud: a refused call gives no banners.
std::vector<AlbumBanner> ListAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId);
// The listed banners with their pictures downloaded through `scratchFolder` (with a trailing
// "/"); a banner whose picture cannot be had or read is left out.
std::vector<AlbumBanner> LoadAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId,
                                          const std::string& scratchFolder);

}  // namespace zerva
