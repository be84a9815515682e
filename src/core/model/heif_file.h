// HEIF files (the photos phones save as .heic) read through libheif: recognised by their content,
// opened only through a stream we opened or bytes we hold, so libheif never opens a path itself
// (it would wait for ever on a FIFO carrying a photo's name). The pixels are decoded in media/.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/chunk_source.h"
#include "model/heif_structure.h"
#include "model/image_geometry.h"

struct heif_context;
struct heif_image_handle;

namespace zerva {

// Bytes a HEIF file may have; its pictures are bounded separately.
inline constexpr int64_t kMaxHeifFileBytes = 512LL * 1024 * 1024;
// The longest side libheif accepts for a picture it reads.
inline constexpr int kMaxHeifSide = 65535;
// The largest EXIF block taken from a HEIF file; cameras write a few dozen KiB.
inline constexpr uint64_t kMaxHeifExifBytes = 4 * 1024 * 1024;

class HeifFile {
 public:
  HeifFile();
  ~HeifFile();
  HeifFile(const HeifFile&) = delete;
  HeifFile& operator=(const HeifFile&) = delete;

  // Reads the file's structure and finds its primary picture (the first of a sequence). False
  // with `error` = libheif's reason or ours.
  [[nodiscard]] bool Open(const std::string& path, std::string* error);
  // The same from bytes that must outlive this object (not copied).
  [[nodiscard]] bool Open(std::string_view data, std::string* error);

  heif_image_handle* Primary() const { return primary_; }
  // The primary picture's size as decoded, turns and mirrors of the container applied.
  PixelSize Size() const;
  // Whether the container turns or mirrors the primary picture (irot/imir properties). libheif
  // applies them while decoding, and the EXIF orientation inside the file then describes the
  // stored pixels, not the decoded ones.
  bool HasTransformations() const { return transformed_; }
  // Whether every HEVC picture the file's decoder configurations declare (tiles, thumbnails,
  // transparency) is no larger than the primary picture, give or take the coding's padding. The
  // decoder allocates by those sizes, not by the size the container claims, so a file whose
  // configurations claim more, or cannot be read, is not decoded.
  bool CodedPicturesFit() const;
  // The TIFF-structured EXIF data of the primary picture ("II*\0" or "MM\0*" first); empty when
  // it has none, or none that can be found.
  std::string ExifBlock() const;

 private:
  bool Open(std::unique_ptr<ChunkSource> source, std::string* error);

  std::unique_ptr<ChunkSource> source_;
  uint64_t position_ = 0;  // of the stream libheif reads
  heif_context* context_ = nullptr;
  heif_image_handle* primary_ = nullptr;
  bool transformed_ = false;
  bool codingRead_ = false;
  PixelSize largestCoded_{0, 0};

  friend struct HeifReaderCalls;
};

}  // namespace zerva
