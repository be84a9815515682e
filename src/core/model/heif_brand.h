// HEIF pictures (the HEIC files of phones) told by their content, which the image library does
// not know. The check reads only the file's first box and sits here, below the loaders, so that
// typing a folder's files needs no decoder.
#pragma once

#include <cstddef>
#include <string_view>

namespace zerva {

// The file's first bytes the kind is told from: an ftyp box with a long list of compatible brands
// fits.
inline constexpr size_t kIsoHeadBytes = 256;

enum class IsoImageKind {
  kNone,  // no ISO media file, or one of another kind (an MP4 video)
  kHeif,  // HEVC-coded HEIF still pictures and sequences: taken
  kAvif,  // AV1-coded pictures: not taken
};

// From the file's first bytes (the "ftyp" box at offset 4 with its major and compatible
// brands; a box claiming more than `head` holds is read as far as it goes).
IsoImageKind IsoImageKindOf(std::string_view head);

}  // namespace zerva
