#include "model/heif_file.h"

#include <libheif/heif.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "platform/fs.h"

namespace zerva {
namespace {

constexpr std::array<std::string_view, 8> kHeifBrands = {"heic", "heix", "heim", "heis",
                                                         "hevc", "hevx", "mif1", "msf1"};
// Boxes looked at on one level; real files have a handful.
constexpr int kMaxBoxes = 1024;
// The metadata box holds the item and property tables; the pictures lie elsewhere.
constexpr uint64_t kMaxMetaBytes = 16 * 1024 * 1024;

uint32_t Get32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

uint32_t Get16(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 8 |
         static_cast<unsigned char>(bytes[at + 1]);
}

struct Box {
  std::string_view type;
  uint64_t start = 0;    // of the header
  uint64_t content = 0;  // first byte after the header
  uint64_t end = 0;
};

// The box whose header starts at `pos` within `limit` bytes, as far as `header` (at least the 16
// bytes a header may take, fewer at the end of the data) shows it.
std::optional<Box> BoxAt(std::string_view header, uint64_t pos, uint64_t limit) {
  if (header.size() < 8) return std::nullopt;
  Box box;
  box.type = header.substr(4, 4);
  box.start = pos;
  uint64_t size = Get32(header, 0);
  box.content = pos + 8;
  if (size == 1) {
    if (header.size() < 16) return std::nullopt;
    size = static_cast<uint64_t>(Get32(header, 8)) << 32 | Get32(header, 12);
    box.content = pos + 16;
  } else if (size == 0) {
    size = limit - pos;
  }
  if (size < box.content - pos || size > limit - pos) return std::nullopt;
  box.end = pos + size;
  return box;
}

// The boxes inside `bytes`, in order; stops at the first one that does not fit.
std::vector<Box> ChildBoxes(std::string_view bytes) {
  std::vector<Box> boxes;
  uint64_t pos = 0;
  while (pos + 8 <= bytes.size() && boxes.size() < kMaxBoxes) {
    const std::optional<Box> box = BoxAt(bytes.substr(pos, 16), pos, bytes.size());
    if (!box) break;
    boxes.push_back(*box);
    pos = box->end;
  }
  return boxes;
}

std::string_view ContentOf(std::string_view bytes, const Box& box) {
  return bytes.substr(box.content, box.end - box.content);
}

const Box* FindBox(const std::vector<Box>& boxes, std::string_view type) {
  for (const Box& box : boxes) {
    if (box.type == type) return &box;
  }
  return nullptr;
}

// Whether the primary item of this metadata box (its content after the version and flags) has a
// turn or mirror among its properties.
bool PrimaryIsTransformed(std::string_view meta) {
  const std::vector<Box> boxes = ChildBoxes(meta);
  const Box* pitm = FindBox(boxes, "pitm");
  const Box* iprp = FindBox(boxes, "iprp");
  if (pitm == nullptr || iprp == nullptr) return false;
  const std::string_view pitmBytes = ContentOf(meta, *pitm);
  if (pitmBytes.size() < 6) return false;
  const uint32_t primary =
      pitmBytes[0] == 0 ? Get16(pitmBytes, 4) : (pitmBytes.size() >= 8 ? Get32(pitmBytes, 4) : 0);
  const std::string_view properties = ContentOf(meta, *iprp);
  const std::vector<Box> propertyBoxes = ChildBoxes(properties);
  const Box* ipco = FindBox(propertyBoxes, "ipco");
  if (ipco == nullptr) return false;
  const std::string_view container = ContentOf(properties, *ipco);
  const std::vector<Box> list = ChildBoxes(container);
  for (const Box& ipmaBox : propertyBoxes) {
    if (ipmaBox.type != "ipma") continue;
    const std::string_view ipma = ContentOf(properties, ipmaBox);
    if (ipma.size() < 8) continue;
    const int version = static_cast<unsigned char>(ipma[0]);
    const bool wideIndex = (static_cast<unsigned char>(ipma[3]) & 1) != 0;
    const uint32_t entries = Get32(ipma, 4);
    size_t at = 8;
    for (uint32_t e = 0; e < entries; ++e) {
      const size_t idBytes = version < 1 ? 2 : 4;
      if (at + idBytes + 1 > ipma.size()) break;
      const uint32_t item = idBytes == 2 ? Get16(ipma, at) : Get32(ipma, at);
      at += idBytes;
      const int count = static_cast<unsigned char>(ipma[at++]);
      const size_t indexBytes = wideIndex ? 2 : 1;
      if (at + count * indexBytes > ipma.size()) break;
      for (int i = 0; i < count; ++i, at += indexBytes) {
        if (item != primary) continue;
        const uint32_t index =
            wideIndex ? Get16(ipma, at) & 0x7FFF : static_cast<unsigned char>(ipma[at]) & 0x7F;
        if (index == 0 || index > list.size()) continue;  // 0: no property
        const std::string_view type = list[index - 1].type;
        if (type == "irot" || type == "imir") return true;
      }
    }
  }
  return false;
}

}  // namespace

bool LooksLikeHeif(std::string_view head) {
  if (head.size() < 16 || head.substr(4, 4) != "ftyp") return false;
  const uint64_t size = std::min<uint64_t>(Get32(head, 0), head.size());
  if (size < 16) return false;
  auto known = [](std::string_view brand) {
    for (std::string_view heif : kHeifBrands) {
      if (brand == heif) return true;
    }
    return false;
  };
  if (known(head.substr(8, 4))) return true;
  // After the major brand and its version come the compatible brands.
  for (uint64_t at = 16; at + 4 <= size; at += 4) {
    if (known(head.substr(at, 4))) return true;
  }
  return false;
}

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
  transformed_ = FindTransformations();
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

bool HeifFile::FindTransformations() {
  // Only the top-level box headers are read until the metadata box.
  uint64_t pos = 0;
  std::string header;
  for (int i = 0; i < kMaxBoxes && pos + 8 <= size_; ++i) {
    if (!ReadAt(pos, 16, &header)) return false;
    const std::optional<Box> box = BoxAt(header, pos, size_);
    if (!box) return false;
    if (box->type == "meta") {
      std::string meta;
      // A full box: version and flags come first.
      if (box->end - box->content < 4 || box->end - box->content > kMaxMetaBytes ||
          !ReadAt(box->content + 4, box->end - box->content - 4, &meta)) {
        return false;
      }
      return PrimaryIsTransformed(meta);
    }
    pos = box->end;
  }
  return false;
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
    const uint64_t offset = Get32(block, 0);
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
