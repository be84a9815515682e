// The prepared-file cache: an item's prepared image, thumbnail and watermark patch kept as files
// in the user's temporary folder, named after the key they were made for (album, size, local
// file time, rotation), so that an upload reuses what was prepared while the user still edited.
#pragma once

#include <cstdint>
#include <string>

namespace zerva {

class CPhoto;
struct PreparationSettings;

// The folders of the temporary folder, for the cache and for the files an upload sends.
inline constexpr const char* kImagesDir = "images";
inline constexpr const char* kHdImagesDir = "hdimages";
inline constexpr const char* kThumbDir = "thumb";
inline constexpr const char* kDiffDir = "diff";

// tempFolder + dir + "/" + "%X_%X_%X_%d_" of (albumID, size, fileTime, rotate) + fileName.
std::string PreparedCachePath(const std::string& tempFolder, const std::string& dir, int albumID,
                              int size, int64_t fileTime, int rotate, const std::string& fileName);
// tempFolder + dir + "/" + fileName: the files an upload job sends.
std::string UploadFilePath(const std::string& tempFolder, const std::string& dir,
                           const std::string& fileName);

// The cache holds the item's current state at `size`: made for this size and rotation, the
// prepared image untouched since and made from the local file as it is now, the thumbnail there.
bool IsPreparedValid(const CPhoto& item, int size);
// Adopts existing cache files of this key (image and thumbnail, the patch when there is one) and
// reads their pixel sizes from their headers.
bool FindPrepared(CPhoto& item, const PreparationSettings& settings, int size);
// Writes the item's prepared image (orientation tag reset), a thumbnail made from it and the
// patch to the cache and records the key; files of an older key are deleted. With `dropImage` the
// prepared image is freed afterwards. False without a prepared image or when a file cannot be
// written (the key then says invalid).
bool SavePrepared(CPhoto& item, const PreparationSettings& settings, int size, bool dropImage);
// Forgets the key and deletes the cache files.
void DropPrepared(CPhoto& item);

}  // namespace zerva
