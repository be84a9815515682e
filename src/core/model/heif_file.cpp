#include "model/heif_file.h"

#include <libheif/heif.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/fs.h"

namespace zerva {
// libheif's stream calls, reading through the file we opened.
struct HeifReaderCalls {
  static int64_t Position(void* file) { return static_cast<int64_t>(Self(file)->position_); }
  static int Read(void* data, size_t size, void* file) {
    HeifFile* self = Self(file);
    if (size > self->size_ || self->position_ > self->size_ - size) return 1;
    if (size == 0) return 0;
    if (std::fseek(self->file_.get(), static_cast<long>(self->position_), SEEK_SET) != 0 ||
        std::fread(data, 1, size, self->file_.get()) != size) {
      return 1;
    }
    self->position_ += size;
    return 0;
  }
  static int Seek(int64_t position, void* file) {
    HeifFile* self = Self(file);
    if (position < 0 || static_cast<uint64_t>(position) > self->size_) return 1;
    self->position_ = static_cast<uint64_t>(position);
    return 0;
  }
  static heif_reader_grow_status WaitForSize(int64_t target, void* file) {
    return target >= 0 && static_cast<uint64_t>(target) <= Self(file)->size_
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
  file_.reset(OpenRegularStream(path, "rb"));
  struct stat info {};
  if (!file_ || ::fstat(fileno(file_.get()), &info) != 0) {
    *error = "the file cannot be read";
    return false;
  }
  if (info.st_size > kMaxHeifFileBytes) {
    *error = "the file is too large";
    return false;
  }
  size_ = static_cast<uint64_t>(info.st_size);
  if (context_ == nullptr) {
    *error = "not enough memory";
    return false;
  }
  heif_context_set_maximum_image_size_limit(context_, kMaxHeifSide);
  const heif_error read = heif_context_read_from_reader(context_, &kReader, this, nullptr);
  if (read.code != heif_error_Ok) {
    *error = read.message;
    return false;
  }
  return OpenContext(error);
}

bool HeifFile::Open(std::string_view data, std::string* error) {
  if (static_cast<int64_t>(data.size()) > kMaxHeifFileBytes) {
    *error = "the file is too large";
    return false;
  }
  data_ = data;
  size_ = data.size();
  if (context_ == nullptr) {
    *error = "not enough memory";
    return false;
  }
  heif_context_set_maximum_image_size_limit(context_, kMaxHeifSide);
  const heif_error read =
      heif_context_read_from_memory_without_copy(context_, data.data(), data.size(), nullptr);
  if (read.code != heif_error_Ok) {
    *error = read.message;
    return false;
  }
  return OpenContext(error);
}

bool HeifFile::OpenContext(std::string* error) {
  const heif_error found = heif_context_get_primary_image_handle(context_, &primary_);
  if (found.code != heif_error_Ok || primary_ == nullptr) {
    *error = found.code != heif_error_Ok ? found.message : "no primary picture";
    return false;
  }
  ReadStructure();
  return true;
}

PixelSize HeifFile::Size() const {
  if (primary_ == nullptr) return {};
  return {heif_image_handle_get_width(primary_), heif_image_handle_get_height(primary_)};
}

bool HeifFile::ReadAt(uint64_t pos, size_t count, std::string* out) const {
  out->clear();
  if (pos > size_) return false;
  count = static_cast<size_t>(std::min<uint64_t>(count, size_ - pos));
  if (file_ == nullptr) {
    *out = std::string(data_.substr(pos, count));
    return true;
  }
  out->resize(count);
  if (std::fseek(file_.get(), static_cast<long>(pos), SEEK_SET) != 0 ||
      std::fread(out->data(), 1, count, file_.get()) != count) {
    out->clear();
    return false;
  }
  return true;
}

void HeifFile::ReadStructure() {
  const HeifStructure structure = ReadHeifStructure(
      size_,
      [this](uint64_t pos, size_t count, std::string* out) { return ReadAt(pos, count, out); });
  transformed_ = structure.primaryTransformed;
  codingRead_ = structure.codingRead;
  largestCoded_ = structure.largestCoded;
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
    uint64_t offset = 0;
    for (int b = 0; b < 4; ++b) offset = offset << 8 | static_cast<unsigned char>(block[b]);
    for (uint64_t at : {4 + offset, uint64_t{4}, uint64_t{10}}) {
      if (at + 8 > block.size()) continue;
      const std::string_view tiff = std::string_view(block).substr(at);
      if (tiff.substr(0, 4) == std::string_view("II*\0", 4) ||
          tiff.substr(0, 4) == std::string_view("MM\0*", 4)) {
        return std::string(tiff);
      }
    }
  }
  return {};
}

}  // namespace zerva
