// The picture size an HEVC decoder configuration (the `hvcC` box of a HEIF picture) declares in
// its sequence parameter sets. The decoder allocates its pictures by that size, whatever size the
// HEIF container claims, so it is read and bounded before anything is decoded.
#pragma once

#include <optional>
#include <string_view>

#include "model/image_geometry.h"

namespace zerva {

// The largest picture of the configuration's sequence parameter sets (0 x 0 when it carries
// none). Nothing when the configuration or one of its sets cannot be read.
std::optional<PixelSize> HevcConfigPictureSize(std::string_view hvcC);

// The picture size of one sequence parameter set NAL unit (its two header bytes first).
std::optional<PixelSize> SpsPictureSize(std::string_view nal);

// The bytes of the NAL unit lengths in the coded data, from the configuration; 4 when unknown.
int HevcNalLengthBytes(std::string_view hvcC);

// The NAL unit type of a unit (its header first); -1 for an empty one.
int HevcNalType(std::string_view nal);
inline constexpr int kHevcSpsNalType = 33;

}  // namespace zerva
