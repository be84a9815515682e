// The decoded EXIF data of an item's local file, cleared before every read.
#pragma once

#include <string>

namespace zerva {

// Longest texts kept, one less than the widths of the original fixed fields.
inline constexpr size_t kExifVersionChars = 4;
inline constexpr size_t kExifMakeChars = 31;
inline constexpr size_t kExifModelChars = 39;
inline constexpr size_t kExifDateChars = 19;

struct ExifBlock {
  std::string exifVersion;              // 0x9000
  std::string cameraMake;               // 271
  std::string cameraModel;              // 272
  std::string dateTime;                 // 306
  std::string dateTimeOriginal;         // 36867
  int height = 0;                       // 40963
  int width = 0;                        // 40962
  int orientation = 0;                  // 274; 0 unless 1..8
  int flashUsed = 0;                    // 37385
  double focalLength = 0.0;             // 37386, mm
  double exposureTime = 0.0;            // 33434, else from ShutterSpeedValue
  double apertureFNumber = 0.0;         // 33437, else from (Max)ApertureValue
  double distance = 0.0;                // 37382
  double exposureBias = 0.0;            // 37380
  int lightSource = 0;                  // 37384
  int meteringMode = 0;                 // 37383
  int exposureProgram = 0;              // 34850
  int isoEquivalent = 0;                // 34855; below 50 multiplied by 200
  double compressedBitsPerPixel = 0.0;  // 37122
  double focalPlaneXRes = 0.0;          // 41486
  double focalPlaneYRes = 0.0;          // 41487
  double focalPlaneUnits = 0.0;         // 41488, inches per unit
  double xResolution = 0.0;             // 282
  double yResolution = 0.0;             // 283
  double resolutionUnit = 0.0;          // 296, inches per unit
  double brightness = 0.0;              // 37379
  int thumbnailOffset = 0;              // 513
  int thumbnailLength = 0;              // 514
};

// The rotation code that shows a picture of this EXIF orientation upright.
inline int RotationCodeFromOrientation(int orientation) {
  static constexpr int kCodes[9] = {0, 0, 4, 2, 6, 5, 1, 7, 3};
  return orientation >= 1 && orientation <= 8 ? kCodes[orientation] : 0;
}

}  // namespace zerva
