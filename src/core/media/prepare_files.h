// Preparing photos into a folder without a service: the image at the album resolution and the
// thumbnail, exactly as the preparation job makes them, into DIR/images/ and DIR/thumb/ under
// the names the service would give them. `zerva-cli prepare` and the benchmarks use it.
#pragma once

#include <string>
#include <vector>

namespace zerva {

struct PrepareFilesOptions {
  int resolution = 1200;
  int sizeThumb = 100;
  int photoQuality = 85;
  int thumbQuality = 85;
  // Preparation threads; 0: one per processor core.
  int threads = 1;
};

struct PreparedFile {
  std::string source;
  bool ok = false;
  std::string error;  // why the file was not prepared
  std::string image;  // the files written
  std::string thumb;
  int width = 0, height = 0;
  int thumbWidth = 0, thumbHeight = 0;
  int rotate = 0;  // the rotation code taken from the EXIF orientation
};

// One result per file, in the given order. A file that is no photo, cannot be read, or would be
// overwritten by its own output fails alone; the others are still prepared.
std::vector<PreparedFile> PrepareFiles(const std::vector<std::string>& files,
                                       const std::string& outDir,
                                       const PrepareFilesOptions& options);

}  // namespace zerva
