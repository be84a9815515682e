#include "model/hevc_config.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "model/byte_order.h"

namespace zerva {
namespace {

constexpr size_t kConfigHeaderBytes = 23;

// The bits of a parameter set, its emulation-prevention bytes removed; reading past the end
// sets `failed`.
class BitReader {
 public:
  explicit BitReader(std::string_view nal) {
    int zeros = 0;
    for (char c : nal) {
      const auto byte = static_cast<unsigned char>(c);
      if (zeros >= 2 && byte == 3) {
        zeros = 0;
        continue;
      }
      zeros = byte == 0 ? zeros + 1 : 0;
      bytes_.push_back(static_cast<char>(byte));
    }
  }

  uint32_t Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (pos_ >= bytes_.size() * 8) {
        failed = true;
        return 0;
      }
      const auto byte = static_cast<unsigned char>(bytes_[pos_ / 8]);
      value = value << 1 | ((byte >> (7 - pos_ % 8)) & 1);
      ++pos_;
    }
    return value;
  }

  // Exp-Golomb code, as the parameter sets write their sizes.
  uint32_t Golomb() {
    int zeros = 0;
    while (!failed && Bits(1) == 0) {
      if (++zeros > 31) {
        failed = true;
        return 0;
      }
    }
    if (failed) return 0;
    return static_cast<uint32_t>((uint64_t{1} << zeros) - 1 + Bits(zeros));
  }

  bool failed = false;

 private:
  std::string bytes_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<PixelSize> SpsPictureSize(std::string_view nal) {
  if (nal.size() < 2) return std::nullopt;
  BitReader bits(nal.substr(2));  // after the NAL unit header
  bits.Bits(4);                   // video parameter set
  const uint32_t subLayers = bits.Bits(3);
  bits.Bits(1);
  bits.Bits(88);  // general profile
  bits.Bits(8);   // general level
  bool profilePresent[8] = {}, levelPresent[8] = {};
  for (uint32_t i = 0; i < subLayers; ++i) {
    profilePresent[i] = bits.Bits(1) != 0;
    levelPresent[i] = bits.Bits(1) != 0;
  }
  if (subLayers > 0) {
    for (uint32_t i = subLayers; i < 8; ++i) bits.Bits(2);
  }
  for (uint32_t i = 0; i < subLayers; ++i) {
    if (profilePresent[i]) bits.Bits(88);
    if (levelPresent[i]) bits.Bits(8);
  }
  bits.Golomb();                         // sequence parameter set
  if (bits.Golomb() == 3) bits.Bits(1);  // 4:4:4 with separate colour planes
  const uint32_t width = bits.Golomb();
  const uint32_t height = bits.Golomb();
  if (bits.failed || width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

int HevcNalType(std::string_view nal) {
  return nal.empty() ? -1 : (static_cast<unsigned char>(nal[0]) >> 1) & 0x3F;
}

int HevcNalLengthBytes(std::string_view hvcC) {
  return hvcC.size() >= kConfigHeaderBytes ? (static_cast<unsigned char>(hvcC[21]) & 3) + 1 : 4;
}

std::optional<PixelSize> HevcConfigPictureSize(std::string_view hvcC) {
  if (hvcC.size() < kConfigHeaderBytes) return std::nullopt;
  PixelSize largest{0, 0};
  const int arrays = static_cast<unsigned char>(hvcC[kConfigHeaderBytes - 1]);
  size_t at = kConfigHeaderBytes;
  for (int a = 0; a < arrays; ++a) {
    if (at + 3 > hvcC.size()) return std::nullopt;
    const int type = static_cast<unsigned char>(hvcC[at]) & 0x3F;
    const uint32_t units = BigEndian16(hvcC, at + 1);
    at += 3;
    for (uint32_t u = 0; u < units; ++u) {
      if (at + 2 > hvcC.size()) return std::nullopt;
      const size_t length = BigEndian16(hvcC, at);
      at += 2;
      if (length > hvcC.size() - at) return std::nullopt;
      if (type == kHevcSpsNalType) {
        const std::optional<PixelSize> size = SpsPictureSize(hvcC.substr(at, length));
        if (!size) return std::nullopt;
        largest.width = std::max(largest.width, size->width);
        largest.height = std::max(largest.height, size->height);
      }
      at += length;
    }
  }
  return largest;
}

}  // namespace zerva
