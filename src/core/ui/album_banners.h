// The banners the service shows beside an uploaded album: each a picture with a title and the
// address it leads to. Loaded by the post-upload page and zerva-cli's banners verb.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
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

// Whether a banner's link may be opened: a web address ("http://" or "https://" in any case).
// The link is the service's text; anything else could name a local file or program that the
// desktop's opener would start.
bool IsWebLink(std::string_view link);

// GetBanners for the album, each "file" with its "url", "title" and "name". A refused call
// gives no banners and, when `error` is given, the service's or the transport's text there, so
// that a caller can tell it from an album without banners.
std::vector<AlbumBanner> ListAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId,
                                          std::string* error = nullptr);
// The listed banners with their pictures downloaded through `scratchFolder` (with a trailing
// "/"; each download has a file of its own, so loads may run side by side); a banner whose
// picture cannot be had or read is left out. Setting `cancel` stops the downloads: the banners
// loaded so far are returned.
std::vector<AlbumBanner> LoadAlbumBanners(CHttpConnect& connection,
                                          const SessionCredentials& credentials, int albumId,
                                          const std::string& scratchFolder,
                                          std::atomic<bool>* cancel = nullptr);

}  // namespace zerva
