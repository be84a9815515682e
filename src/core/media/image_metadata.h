// What a picture carries besides its pixels, as far as preparation changes it.
#pragma once

struct FIBITMAP;

namespace zerva {

// Removes every tag of every metadata model (comments, EXIF main, EXIF sub-IFD, GPS, maker note,
// interoperability, IPTC, XMP, GeoTIFF, animation, custom and raw EXIF), and the embedded
// thumbnail, which would otherwise be written into a file that is itself a thumbnail. The colour
// profile stays: without it the colours would be read differently.
void ClearMetadata(FIBITMAP* image);

// The picture's embedded thumbnail becomes a copy of `thumbnail`; JPEG files are written with it.
// False when the library refuses it.
bool ReplaceEmbeddedThumbnail(FIBITMAP* image, FIBITMAP* thumbnail);

}  // namespace zerva
