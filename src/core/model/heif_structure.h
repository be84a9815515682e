// What a HEIF file's boxes tell before anything is decoded, read with bounded walks: whether the
// container turns the primary picture, and how large the pictures libheif will allocate are.
// libheif 1.15 compares neither the HEVC pictures it hands to the decoder nor the grids it
// assembles with the size the container claims, and allocates by their own sizes.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/chunk_source.h"
#include "model/image_geometry.h"

namespace zerva {

// An ISO base media file whose `ftyp` box makes it a HEVC-coded HEIF picture or sequence
// (IsoImageKindOf). AVIF files are not taken: they carry no HEVC picture the decoder here reads.
// `head`: the file's first bytes.
bool LooksLikeHeif(std::string_view head);

struct HeifStructure {
  // The primary item has a turn or mirror (irot, imir) among its properties.
  bool primaryTransformed = false;
  // Every decoder configuration, every sequence parameter set in the HEVC items' data and every
  // grid or overlay header could be read; `largestCoded` is then the largest picture they
  // declare.
  bool codingRead = false;
  PixelSize largestCoded{0, 0};
};

HeifStructure ReadHeifStructure(ChunkSource& file);

}  // namespace zerva
