#include "model/heif_file.h"

#include <libheif/heif.h>

#include <algorithm>

#include "model/byte_order.h"
#include "model/exif_payload.h"

namespace zerva {
// libheif's stream calls, reading through the source we opened.
struct HeifReaderCalls {
  static int64_t Position(void* file) { return static_cast<int64_t>(Self(file)->position_); }
  static int Read(void* data, size_t size, void* file) {
    HeifFile* self = Self(file);
    if (!self->source_->ReadInto(self->position_, size, static_cast<char*>(data))) return 1;
    self->position_ += size;
    return 0;
  }
  static int Seek(int64_t position, void* file) {
    HeifFile* self = Self(file);
    if (position < 0 || static_cast<uint64_t>(position) > self->source_->Size()) return 1;
    self->position_ = static_cast<uint64_t>(position);
    return 0;
  }
  static heif_reader_grow_status WaitForSize(int64_t target, void* file) {
    return target >= 0 && static_cast<uint64_t>(target) <= Self(file)->source_->Size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
  }
  static HeifFile* Self(void* file) { return static_cast<HeifFile*>(file); }
};

namespace {

const heif_reader kReader = {1, HeifReaderCalls::Position, HeifReaderCalls::Read,
                             HeifReaderCalls::Seek, HeifReaderCalls::WaitForSize};

}  // namespace

HeifFile::HeifFile() : context_(heif_context_alloc()) {}

HeifFile::~HeifFile() {
  if (primary_ != nullptr) heif_image_handle_release(primary_);
  if (context_ != nullptr) heif_context_free(context_);
}

bool HeifFile::Open(const std::string& path, std::string* error) {
  auto file = std::make_unique<FileChunkSource>(path);
  if (!file->IsOpen()) {
    *error = "the file cannot be read";
    return false;
  }
  return Open(std::move(file), error);
}

bool HeifFile::Open(std::string_view data, std::string* error) {
  return Open(std::make_unique<MemoryChunkSource>(data), error);
}

bool HeifFile::Open(std::unique_ptr<ChunkSource> source, std::string* error) {
  if (source->Size() > static_cast<uint64_t>(kMaxHeifFileBytes)) {
    *error = "the file is too large";
    return false;
  }
  if (context_ == nullptr) {
    *error = "not enough memory";
    return false;
  }
  source_ = std::move(source);
  heif_context_set_maximum_image_size_limit(context_, kMaxHeifSide);
  const heif_error read = heif_context_read_from_reader(context_, &kReader, this, nullptr);
  if (read.code != heif_error_Ok) {
    *error = read.message;
    return false;
  }
  const heif_error found = heif_context_get_primary_image_handle(context_, &primary_);
  if (found.code != heif_error_Ok || primary_ == nullptr) {
    *error = found.code != heif_error_Ok ? found.message : "no primary picture";
    return false;
  }
  const HeifStructure structure = ReadHeifStructure(*source_);
  transformed_ = structure.primaryTransformed;
  codingRead_ = structure.codingRead;
  largestCoded_ = structure.largestCoded;
  return true;
}

PixelSize HeifFile::Size() const {
  if (primary_ == nullptr) return {};
  return {heif_image_handle_get_width(primary_), heif_image_handle_get_height(primary_)};
}

bool HeifFile::CodedPicturesFit() const {
  if (!codingRead_) return false;
  // Coded pictures are padded to whole coding blocks, at most 64 pixels a side.
  constexpr int64_t kPadding = 64;
  const PixelSize size = Size();
  const int64_t side = std::max(size.width, size.height) + kPadding;
  return largestCoded_.width <= side && largestCoded_.height <= side &&
         static_cast<int64_t>(largestCoded_.width) * largestCoded_.height <=
             (size.width + kPadding) * (size.height + kPadding);
}

std::string HeifFile::ExifBlock() const {
  if (primary_ == nullptr) return {};
  heif_item_id ids[8];
  const int count = heif_image_handle_get_list_of_metadata_block_IDs(primary_, "Exif", ids, 8);
  for (int i = 0; i < count; ++i) {
    const size_t size = heif_image_handle_get_metadata_size(primary_, ids[i]);
    if (size < 4 + 8 || size > kMaxHeifExifBytes) continue;
    std::string block(size, '\0');
    if (heif_image_handle_get_metadata(primary_, ids[i], block.data()).code != heif_error_Ok) {
      continue;
    }
    // The block starts with the offset of the TIFF header after those four bytes; writers that
    // put "Exif\0\0" there count it in or not.
    const uint64_t offset = BigEndian32(block);
    for (uint64_t at : {4 + offset, uint64_t{4}, uint64_t{10}}) {
      if (at + 8 > block.size()) continue;
      const std::string_view tiff = std::string_view(block).substr(at);
      if (StartsWithTiffHeader(tiff)) return std::string(tiff);
    }
  }
  return {};
}

}  // namespace zerva
