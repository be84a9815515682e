// Camera data of an item's local file, read through the image library's metadata view of the
// EXIF main, EXIF sub-IFD and GPS models.
#pragma once

namespace zerva {

class CPhoto;

// Which EXIF texts may name an item (the user variables useExifName and useExifDesc).
struct ExifTextUse {
  bool name = false;
  bool desc = false;
};

// Fills the item's EXIF block and strings, its quick image and, as allowed, its name,
// description and position. Does nothing for a video, an item without a local file or one
// already read. `thumbSize` is not used by the reading; `resolution` predicts the prepared size.
// Returns whether EXIF data was found.
bool ReadExif(CPhoto& item, int thumbSize, int resolution, bool applyTexts, const ExifTextUse& use);

// The tag walk: clears nothing, stores every tag it knows into the item's EXIF block and EXIF
// texts, sets exifRead when any tag was found and takes the embedded thumbnail as the quick
// image. The caller holds the item's lock. False when the file cannot be loaded or holds no EXIF.
// A HEIF file's EXIF comes from its Exif item; when its container turns or mirrors the picture,
// which the decoder applies, the orientation kept is 1 (the details still show the tag).
bool ReadExifMetadata(CPhoto& item);

}  // namespace zerva
