// An album's cover picture: the item named by thumbName, fetched from the service's "images"
// (large) or "thumb" (small) directory and fitted into 135 x 100 (68 x 50) pixels.
#pragma once

#include <atomic>
#include <string>

#include "model/image_ptr.h"

namespace zerva {

class CAlbum;
class CAlbumMngr;
class CHttpConnect;

inline constexpr int kCoverWidth = 135;
inline constexpr int kCoverHeight = 100;

// The address of the cover file: the album's photosUrl (or its web address when that is empty),
// the directory, "/" and thumbName. Empty without thumbName.
std::string CoverUrl(const CAlbum& album, bool large);

// Downloads and fits the cover; nothing when there is none or it cannot be had. Setting
// `cancel` cuts the transfer short.
ImagePtr DownloadCover(const CAlbum& album, CHttpConnect& connection, bool large,
                       std::atomic<bool>* cancel = nullptr);

// The cover in the album: from `cache` when it holds one (state 1), else downloaded (state 2,
// and stored in `cache`), else state 3. A cover already tried is not tried again.
ImagePtr LoadCover(CAlbum& album, CHttpConnect& connection, bool large, CAlbumMngr* cache);

}  // namespace zerva
