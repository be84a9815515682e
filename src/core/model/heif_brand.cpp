#include "model/heif_brand.h"

#include <cstdint>

#include "model/byte_order.h"

namespace zerva {
namespace {

constexpr std::string_view kHeifBrands[] = {"heic", "heix", "heim", "heis",
                                            "hevc", "hevx", "mif1", "msf1"};
constexpr std::string_view kAvifBrands[] = {"avif", "avis"};

template <size_t N>
bool IsOneOf(std::string_view brand, const std::string_view (&brands)[N]) {
  for (std::string_view b : brands) {
    if (b == brand) return true;
  }
  return false;
}

}  // namespace

IsoImageKind IsoImageKindOf(std::string_view head) {
  if (head.size() < 16 || head.substr(4, 4) != "ftyp") return IsoImageKind::kNone;
  uint64_t boxSize = BigEndian(head, 0, 4);
  size_t major = 8;  // the major brand, then the minor version, then the compatible brands
  if (boxSize == 1) {
    if (head.size() < 24) return IsoImageKind::kNone;
    boxSize = BigEndian(head, 8, 8);
    major = 16;
  }
  // 0 runs to the end of the file; a box larger than the head is read as far as it goes.
  if (boxSize == 0 || boxSize > head.size()) boxSize = head.size();
  if (boxSize < major + 8) return IsoImageKind::kNone;
  bool heif = false;
  for (uint64_t at = major; at + 4 <= boxSize; at += at == major ? 8 : 4) {
    const std::string_view brand = head.substr(at, 4);
    // An AV1 picture names the generic image brands too: its own brand decides.
    if (IsOneOf(brand, kAvifBrands)) return IsoImageKind::kAvif;
    heif = heif || IsOneOf(brand, kHeifBrands);
  }
  return heif ? IsoImageKind::kHeif : IsoImageKind::kNone;
}

}  // namespace zerva
