// An item's files as the service holds them: the image, HD image and thumbnail downloaded into
// the user's temporary folder, and the watermark patch fetched into the item.
#pragma once

#include <string>

#include "net/http_connect.h"

namespace zerva {

class CPhoto;
struct SessionCredentials;

// The item's photosUrl (or, when that is empty, `albumUrl`) + dir + "/" + fileName.
std::string ItemFileUrl(const CPhoto& item, const std::string& albumUrl, const std::string& dir);

// Downloads the item's file of `dir` ("images", "hdimages", "thumb") to `path`, moving the
// connection's progress within start..end of its range.
ApiResult DownloadItemFile(CHttpConnect& connection, const CPhoto& item,
                           const std::string& albumUrl, const std::string& dir,
                           const std::string& path, double start, double end, CancelFlag* cancel);

// Drops the item's patch, fetches the patch of its photoID into tempFolder + "diff/" + fileName
// and loads it as the item's patch. False when there is none or it cannot be loaded.
bool DownloadPatch(CPhoto& item, CHttpConnect& connection, const SessionCredentials& user,
                   const std::string& tempFolder);

}  // namespace zerva
