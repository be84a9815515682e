#include "model/heif_structure.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/byte_order.h"
#include "model/heif_brand.h"
#include "model/hevc_config.h"

namespace zerva {
namespace {

// Boxes, items and extents looked at on one level; real files have a handful (a phone's grid
// picture a few dozen tiles).
constexpr size_t kMaxEntries = 4096;
// The metadata box holds the item and property tables; the pictures lie elsewhere.
constexpr uint64_t kMaxMetaBytes = 16 * 1024 * 1024;
// NAL units walked in one item, and the largest parameter set read.
constexpr int kMaxNalUnits = 4096;
constexpr size_t kMaxParameterSetBytes = 64 * 1024;

// A big-endian number of 0 to 8 bytes, bounded by the data.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Take(size_t count) {
    if (count > 8 || count > bytes_.size() - at_) {
      failed = true;
      at_ = bytes_.size();
      return 0;
    }
    const uint64_t value = BigEndian(bytes_, at_, count);
    at_ += count;
    return value;
  }
  bool failed = false;

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

struct Box {
  std::string_view type;
  uint64_t start = 0;    // of the header
  uint64_t content = 0;  // first byte after the header
  uint64_t end = 0;
};

// The box whose header starts at `pos` within `limit` bytes, as far as `header` (the 16 bytes a
// header may take, fewer at the end of the data) shows it.
std::optional<Box> BoxAt(std::string_view header, uint64_t pos, uint64_t limit) {
  if (header.size() < 8) return std::nullopt;
  Box box;
  box.type = header.substr(4, 4);
  box.start = pos;
  uint64_t size = BigEndian32(header, 0);
  box.content = pos + 8;
  if (size == 1) {
    if (header.size() < 16) return std::nullopt;
    size = static_cast<uint64_t>(BigEndian32(header, 8)) << 32 | BigEndian32(header, 12);
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
  while (pos + 8 <= bytes.size() && boxes.size() < kMaxEntries) {
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

// The metadata box's tables, each as its bytes inside the box's content.
struct MetaTables {
  std::string_view meta;  // after the version and flags
  std::vector<Box> boxes;
  std::string_view properties;  // iprp
  std::vector<Box> propertyBoxes;
  std::string_view container;  // ipco
  std::vector<Box> list;       // the properties, numbered from 1
};

uint32_t PrimaryItem(const MetaTables& t) {
  const Box* pitm = FindBox(t.boxes, "pitm");
  if (pitm == nullptr) return 0;
  const std::string_view bytes = ContentOf(t.meta, *pitm);
  if (bytes.size() < 6) return 0;
  return bytes[0] == 0 ? BigEndian16(bytes, 4) : (bytes.size() >= 8 ? BigEndian32(bytes, 4) : 0);
}

// The property indices of each item, as the association boxes list them.
void ForEachAssociation(const MetaTables& t,
                        const std::function<void(uint32_t item, uint32_t index)>& visit) {
  for (const Box& box : t.propertyBoxes) {
    if (box.type != "ipma") continue;
    const std::string_view ipma = ContentOf(t.properties, box);
    if (ipma.size() < 8) continue;
    const int version = static_cast<unsigned char>(ipma[0]);
    const bool wideIndex = (static_cast<unsigned char>(ipma[3]) & 1) != 0;
    const uint32_t entries = BigEndian32(ipma, 4);
    size_t at = 8;
    for (uint32_t e = 0; e < entries && e < kMaxEntries; ++e) {
      const size_t idBytes = version < 1 ? 2 : 4;
      if (at + idBytes + 1 > ipma.size()) break;
      const uint32_t item = idBytes == 2 ? BigEndian16(ipma, at) : BigEndian32(ipma, at);
      at += idBytes;
      const int count = static_cast<unsigned char>(ipma[at++]);
      const size_t indexBytes = wideIndex ? 2 : 1;
      if (at + count * indexBytes > ipma.size()) break;
      for (int i = 0; i < count; ++i, at += indexBytes) {
        visit(item, wideIndex ? BigEndian16(ipma, at) & 0x7FFF
                              : static_cast<unsigned char>(ipma[at]) & 0x7F);
      }
    }
  }
}

// Item identifiers with their four-letter types, from the item information box.
std::vector<std::pair<uint32_t, std::string_view>> ItemTypes(const MetaTables& t) {
  std::vector<std::pair<uint32_t, std::string_view>> items;
  const Box* iinf = FindBox(t.boxes, "iinf");
  if (iinf == nullptr) return items;
  const std::string_view bytes = ContentOf(t.meta, *iinf);
  if (bytes.size() < 6) return items;
  const std::string_view entries = bytes.substr(bytes[0] == 0 ? 6 : 8);
  for (const Box& infe : ChildBoxes(entries)) {
    const std::string_view e = ContentOf(entries, infe);
    if (infe.type != "infe" || e.size() < 4) continue;
    const int version = static_cast<unsigned char>(e[0]);
    if (version == 2 && e.size() >= 12) items.emplace_back(BigEndian16(e, 4), e.substr(8, 4));
    if (version == 3 && e.size() >= 14) items.emplace_back(BigEndian32(e, 4), e.substr(10, 4));
  }
  return items;
}

struct Extent {
  int method = 0;  // 0: in the file, 1: in the metadata box's item data
  uint64_t offset = 0;
  uint64_t length = 0;
};

// The extents of `item` from the item location box; false when the box cannot be read.
bool ItemExtents(const MetaTables& t, uint32_t item, std::vector<Extent>* extents) {
  const Box* iloc = FindBox(t.boxes, "iloc");
  if (iloc == nullptr) return false;
  Cursor c(ContentOf(t.meta, *iloc));
  const uint64_t version = c.Take(1);
  c.Take(3);
  const uint64_t sizes = c.Take(2);
  const size_t offsetSize = (sizes >> 12) & 15, lengthSize = (sizes >> 8) & 15;
  const size_t baseSize = (sizes >> 4) & 15, indexSize = version >= 1 ? sizes & 15 : 0;
  const uint64_t count = c.Take(version < 2 ? 2 : 4);
  for (uint64_t i = 0; i < count && i < kMaxEntries && !c.failed; ++i) {
    const uint64_t id = c.Take(version < 2 ? 2 : 4);
    const int method = version >= 1 ? static_cast<int>(c.Take(2) & 15) : 0;
    c.Take(2);  // data reference
    const uint64_t base = c.Take(baseSize);
    const uint64_t extentCount = c.Take(2);
    for (uint64_t e = 0; e < extentCount && !c.failed; ++e) {
      c.Take(indexSize);
      Extent extent{method, base + c.Take(offsetSize), c.Take(lengthSize)};
      if (id == item && extents->size() < kMaxEntries) extents->push_back(extent);
    }
  }
  return !c.failed;
}

// The largest picture the sequence parameter sets inside an item's coded data declare; false
// when the data or a parameter set cannot be read.
bool CodedDataPictureSize(const MetaTables& t, uint32_t item, int lengthBytes, ChunkSource& file,
                          PixelSize* largest) {
  std::vector<Extent> extents;
  if (!ItemExtents(t, item, &extents)) return false;
  std::string_view idat;
  if (const Box* box = FindBox(t.boxes, "idat")) idat = ContentOf(t.meta, *box);
  std::string bytes;
  for (const Extent& extent : extents) {
    // The data as one run: in the file, or inside the metadata box.
    const uint64_t limit = extent.method == 0 ? file.Size() : idat.size();
    if (extent.method > 1 || extent.offset > limit) return false;
    const uint64_t end = extent.length == 0 ? limit : extent.offset + extent.length;
    if (end > limit || end < extent.offset) return false;
    auto at = [&](uint64_t pos, size_t count) {
      if (extent.method == 1) {
        bytes = std::string(idat.substr(pos, count));
        return true;
      }
      return file.ReadUpTo(pos, count, &bytes);
    };
    uint64_t pos = extent.offset;
    for (int n = 0; n < kMaxNalUnits && pos + lengthBytes + 2 <= end; ++n) {
      if (!at(pos, lengthBytes + 2) || bytes.size() < static_cast<size_t>(lengthBytes) + 2) {
        return false;
      }
      const uint64_t length = BigEndian(bytes, 0, lengthBytes);
      pos += lengthBytes;
      if (length > end - pos) break;  // the decoder refuses the rest too
      if (HevcNalType(std::string_view(bytes).substr(lengthBytes)) == kHevcSpsNalType) {
        if (length > kMaxParameterSetBytes || !at(pos, length)) return false;
        const std::optional<PixelSize> size = SpsPictureSize(bytes);
        if (!size) return false;
        largest->width = std::max(largest->width, size->width);
        largest->height = std::max(largest->height, size->height);
      }
      pos += length;
    }
  }
  return true;
}

// The first bytes of an item's data (of its first extent); false when they cannot be read.
bool ItemHead(const MetaTables& t, uint32_t item, size_t count, ChunkSource& file,
              std::string* out) {
  std::vector<Extent> extents;
  if (!ItemExtents(t, item, &extents) || extents.empty()) return false;
  const Extent& first = extents.front();
  if (first.method == 1) {
    const Box* idat = FindBox(t.boxes, "idat");
    if (idat == nullptr) return false;
    const std::string_view data = ContentOf(t.meta, *idat);
    if (first.offset > data.size()) return false;
    *out = std::string(data.substr(first.offset, count));
  } else if (first.method != 0 || !file.ReadUpTo(first.offset, count, out)) {
    return false;
  }
  return true;
}

// The output size a derived picture's data declares: a grid of tiles or an overlay of pictures.
// libheif allocates the picture by that size, not by the size its properties claim.
std::optional<PixelSize> DerivedPictureSize(std::string_view type, std::string_view head) {
  // Version, flags, then the grid's rows and columns or the overlay's four fill values.
  const size_t sizesAt = type == "grid" ? 4 : 10;
  if (head.size() < sizesAt) return std::nullopt;
  const bool wide = (static_cast<unsigned char>(head[1]) & 1) != 0;
  Cursor c(head.substr(sizesAt));
  const uint64_t width = c.Take(wide ? 4 : 2);
  const uint64_t height = c.Take(wide ? 4 : 2);
  if (c.failed || width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

HeifStructure ReadMeta(std::string_view meta, ChunkSource& file) {
  HeifStructure facts;
  MetaTables t;
  t.meta = meta;
  t.boxes = ChildBoxes(meta);
  const Box* iprp = FindBox(t.boxes, "iprp");
  if (iprp == nullptr) return facts;
  t.properties = ContentOf(meta, *iprp);
  t.propertyBoxes = ChildBoxes(t.properties);
  const Box* ipco = FindBox(t.propertyBoxes, "ipco");
  if (ipco == nullptr) return facts;
  t.container = ContentOf(t.properties, *ipco);
  t.list = ChildBoxes(t.container);

  const uint32_t primary = PrimaryItem(t);
  std::vector<std::pair<uint32_t, int>> configs;  // item, its hvcC's position in the list
  ForEachAssociation(t, [&](uint32_t item, uint32_t index) {
    if (index == 0 || index > t.list.size()) return;  // 0: no property
    const std::string_view type = t.list[index - 1].type;
    if (item == primary && (type == "irot" || type == "imir")) facts.primaryTransformed = true;
    if (type == "hvcC") configs.emplace_back(item, static_cast<int>(index - 1));
  });

  PixelSize largest{0, 0};
  for (const Box& box : t.list) {
    if (box.type != "hvcC") continue;
    const std::optional<PixelSize> size = HevcConfigPictureSize(ContentOf(t.container, box));
    if (!size) return facts;
    largest = {std::max(largest.width, size->width), std::max(largest.height, size->height)};
  }
  // The coded data may carry parameter sets of its own, which the decoder takes as well.
  for (const auto& [item, type] : ItemTypes(t)) {
    if (type == "grid" || type == "iovl") {
      std::string head;
      if (!ItemHead(t, item, 26, file, &head)) return facts;
      const std::optional<PixelSize> size = DerivedPictureSize(type, head);
      if (!size) return facts;
      largest = {std::max(largest.width, size->width), std::max(largest.height, size->height)};
      continue;
    }
    if (type != "hvc1") continue;
    int lengthBytes = 4;
    for (const auto& [configured, index] : configs) {
      if (configured == item) {
        lengthBytes = HevcNalLengthBytes(ContentOf(t.container, t.list[index]));
      }
    }
    if (!CodedDataPictureSize(t, item, lengthBytes, file, &largest)) return facts;
  }
  facts.codingRead = true;
  facts.largestCoded = largest;
  return facts;
}

}  // namespace

bool LooksLikeHeif(std::string_view head) {
  // One reading of the ftyp box for the folder scan and the loaders alike.
  return IsoImageKindOf(head) == IsoImageKind::kHeif;
}

HeifStructure ReadHeifStructure(ChunkSource& file) {
  const uint64_t fileSize = file.Size();
  // Only the top-level box headers are read until the metadata box.
  uint64_t pos = 0;
  std::string header;
  for (size_t i = 0; i < kMaxEntries && pos + 8 <= fileSize; ++i) {
    if (!file.ReadUpTo(pos, 16, &header)) return {};
    const std::optional<Box> box = BoxAt(header, pos, fileSize);
    if (!box) return {};
    if (box->type == "meta") {
      std::string meta;
      // A full box: version and flags come first.
      if (box->end - box->content < 4 || box->end - box->content > kMaxMetaBytes ||
          !file.ReadUpTo(box->content + 4, box->end - box->content - 4, &meta)) {
        return {};
      }
      return ReadMeta(meta, file);
    }
    pos = box->end;
  }
  return {};
}

}  // namespace zerva
