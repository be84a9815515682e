// Camera RAW files made by tests: a small DNG as cameras and converters write one. Its first
// directory holds a JPEG preview and the camera's tags; a sub-directory holds the sensor's Bayer
// mosaic (RGGB, 16-bit samples, uncompressed) that a RAW developer decodes in full.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zerva::test {

struct DngPicture {
  // The mosaic, row by row, `width` x `height` samples of at most kDngWhiteLevel; both even.
  int width = 0;
  int height = 0;
  std::vector<uint16_t> mosaic;
  // The embedded preview: a JPEG file's bytes and its size.
  std::string previewJpeg;
  int previewWidth = 0;
  int previewHeight = 0;
  std::string make;
  std::string model;
  std::string dateTime;  // "2023:04:05 06:07:08", the TIFF DateTime tag
};

inline constexpr uint16_t kDngWhiteLevel = 4095;

// A mosaic whose developed picture is light above its middle row and dark below.
std::vector<uint16_t> LightOverDarkMosaic(int width, int height);

bool WriteDng(const std::string& path, const DngPicture& picture);

}  // namespace zerva::test
