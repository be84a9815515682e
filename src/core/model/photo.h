// One album item, a photo or a video: the local file, the files prepared for upload and what
// the service holds of it. Its photo XML travels inside the album XML and with every upload.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "model/exif_block.h"
#include "model/image_geometry.h"
#include "model/image_ptr.h"
#include "model/zerva_video.h"

namespace zerva {

// Image formats of the image library that the album takes.
inline constexpr int kImageFormatJpeg = 2;
inline constexpr int kImageFormatTiff = 18;
inline constexpr int kImageFormatRaw = 34;
inline constexpr int kImageFormatPng = 13;
inline constexpr int kImageFormatWebp = 35;
// HEIF, which the image library does not know, beside its codes.
inline constexpr int kImageFormatHeif = 1000;
// Format code given to a recognised video.
inline constexpr int kVideoFormat = 2;

// Two local file times this far apart count as equal (a daylight-saving shift).
inline constexpr int64_t kFileTimeTolerance = 3600;

// The parameters of the last preparation of the item's upload files.
struct PreparationKey {
  int preparedSize = 0;
  int preparedRotate = 0;
  int64_t preparedFileTime = 0;  // modification time of the prepared image file
  int preparedImageWidth = 0, preparedImageHeight = 0;
  int preparedThumbWidth = 0, preparedThumbHeight = 0;
  int preparedPatchWidth = 0, preparedPatchHeight = 0;
};

class CPhoto {
 public:
  CPhoto() = default;
  CPhoto(const CPhoto&) = delete;
  CPhoto& operator=(const CPhoto&) = delete;

  int photoID = -1;          // -1 until the service knows the item
  int64_t OriginalCode = 0;  // local file time when last prepared for upload; 0 never
  std::string localPath;     // <fileFullName>
  std::string fileName;      // name on the service
  std::string name;
  std::string desc;
  bool needsUpload = false;
  bool edited = false;
  int width = 0, height = 0;      // prepared image; workers set them under `lock`
  int hdwidth = 0, hdheight = 0;  // prepared HD image
  int thumbWidth = 0, thumbHeight = 0;
  std::string photosUrl;
  std::string videosUrl;
  int index = 0;         // 1-based position in the album
  int64_t fileSize = 0;  // thumbSize + hdSize + imageSize + patchSize + videoSize
  int64_t thumbSize = 0;
  int64_t hdSize = 0;
  int64_t imageSize = 0;
  int64_t patchSize = 0;
  int64_t videoSize = 0;
  int64_t fileSizeOriginal = 0;
  int rotate = 0;  // rotation code 0..7 chosen by the user
  int savedRotate = 0;
  bool included = true;  // <public>
  bool localFileAvailable = true;
  bool thumbFailed = false;
  bool isVideo = false;
  bool isHdPhoto = false;
  CZervaVideo video;
  std::string CameraModel, CameraMake, DateTime, Version, SourceWidth, SourceHeight, Orientation,
      FlashUsed, FocalLength, ExposureTime, ShutterSpeedValue, Brightness, ApertureFNumber,
      ApertureValue, ISO, ExposureProgram;
  double gpsLongitude = 0.0;  // west negative
  double gpsLatitude = 0.0;   // south negative
  bool needsReduction = false;
  std::string exifXmlCache;
  int imageFormat = -1;
  std::string preparedThumbPath, preparedImagePath, preparedPatchPath;
  PreparationKey prepared;
  bool hasWatermark = false;
  bool savedHasWatermark = false;
  // Why the local file could not be made into the files an upload sends ("the file ends before
  // the picture does"); empty while nothing failed. A new run cannot mend it, so the item's
  // files are not sent. Guarded by `lock`.
  std::string preparationFailure;

  // EXIF data of the local file (Part of the EXIF reader's work), guarded by `lock`.
  ExifBlock exifInfo;
  std::string exifTitle;
  std::string exifComment;
  char latitudeRef = 0;
  char longitudeRef = 0;
  double latitude = 0.0;
  double longitude = 0.0;
  bool exifRead = false;

  // Guarded by `lock`: the thumbnail loader and the image jobs replace them.
  ImagePtr quickImage;  // EXIF thumbnail, turned upright
  ImagePtr thumbnail;
  ImagePtr preparedImage;
  ImagePtr patch;
  mutable std::mutex lock;

  // The prepared image's size, read under `lock` for the user-interface thread while a worker may
  // be preparing the item.
  PixelSize PreparedSize() const {
    std::lock_guard<std::mutex> guard(lock);
    return {width, height};
  }
  bool IsVideo() const { return isVideo; }
  bool HasGps() const { return gpsLongitude != 0.0 || gpsLatitude != 0.0; }
  // The item has a local path and its file is there.
  bool HasLocalFile() const { return !localPath.empty() && localFileAvailable; }
  // Quarter turns clockwise (0..3) the service's copy still lacks: rotate against savedRotate,
  // without the flip, which is not made there.
  int PendingQuarterTurns() const { return ((rotate - savedRotate) % 4 + 4) % 4; }
  // Modification time of localPath; -1 when there is none or it cannot be queried.
  int64_t LocalFileTime() const;
  // The local file differs from the one last prepared; a shift of exactly one hour is none.
  bool LocalFileChanged() const;
  bool CanShowImage() const;
  // fileSize = the sum of the five file sizes.
  void SumFileSizes();

  std::string ToXml();
  void FromXml(std::string_view xml);
  // The <exif> content; also kept in exifXmlCache.
  std::string ExifXml();
  // "POINT(lon lat)" or empty without a position.
  std::string GpsText() const;
  // Takes a position from a "POINT(lon lat)" text when both numbers are non-zero.
  bool SetGpsFromText(std::string_view text);
  // Moves a missing local file from oldFolder to newFolder (same file name).
  bool RebasePath(const std::string& oldFolder, const std::string& newFolder);
};

// The folder part of a path (before its last "/") and the file-name part (after it).
std::string FolderOfPath(std::string_view path);
std::string FileNameOfPath(std::string_view path);

}  // namespace zerva
