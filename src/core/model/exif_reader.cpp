#include "model/exif_reader.h"

#include <FreeImagePlus.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "app/text_utils.h"
#include "app/trace.h"
#include "model/date_text.h"
#include "model/exif_carrier.h"
#include "model/exif_guard.h"
#include "model/exif_text.h"
#include "model/file_times.h"
#include "model/heif_brand.h"
#include "model/heif_file.h"
#include "model/image_file_reader.h"
#include "model/image_geometry.h"
#include "model/number_text.h"
#include "model/photo.h"
#include "model/png_exif.h"
#include "model/webp_exif.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// The metadata view of one tag, bounded by its length.
struct TagView {
  int id = 0;
  FREE_IMAGE_MDTYPE type = FIDT_NOTYPE;
  uint32_t count = 0;
  std::string_view bytes;
};

size_t TypeSize(FREE_IMAGE_MDTYPE type) {
  switch (type) {
    case FIDT_BYTE:
    case FIDT_SBYTE:
    case FIDT_ASCII:
    case FIDT_UNDEFINED:
      return 1;
    case FIDT_SHORT:
    case FIDT_SSHORT:
      return 2;
    case FIDT_LONG:
    case FIDT_SLONG:
    case FIDT_FLOAT:
    case FIDT_IFD:
      return 4;
    case FIDT_RATIONAL:
    case FIDT_SRATIONAL:
    case FIDT_DOUBLE:
    case FIDT_LONG8:
    case FIDT_SLONG8:
    case FIDT_IFD8:
      return 8;
    default:
      return 0;
  }
}

template <typename T>
T Load(const TagView& tag, size_t index) {
  T value;
  std::memcpy(&value, tag.bytes.data() + index * sizeof(T), sizeof(T));
  return value;
}

bool HasComponent(const TagView& tag, size_t index) {
  const size_t size = TypeSize(tag.type);
  return size != 0 && tag.count > index && tag.bytes.size() >= (index + 1) * size;
}

// A rational component; a zero denominator counts as 0.
double RationalAt(const TagView& tag, size_t index) {
  if (tag.type == FIDT_RATIONAL) {
    const uint32_t n = Load<uint32_t>(tag, 2 * index);
    const uint32_t d = Load<uint32_t>(tag, 2 * index + 1);
    return d == 0 ? 0.0 : static_cast<double>(n) / d;
  }
  const int32_t n = Load<int32_t>(tag, 2 * index);
  const int32_t d = Load<int32_t>(tag, 2 * index + 1);
  return d == 0 ? 0.0 : static_cast<double>(n) / d;
}

std::optional<int64_t> IntegerValue(const TagView& tag) {
  if (!HasComponent(tag, 0)) return std::nullopt;
  switch (tag.type) {
    case FIDT_BYTE:
      return Load<uint8_t>(tag, 0);
    case FIDT_SBYTE:
      return Load<int8_t>(tag, 0);
    case FIDT_SHORT:
      return Load<uint16_t>(tag, 0);
    case FIDT_SSHORT:
      return Load<int16_t>(tag, 0);
    case FIDT_LONG:
      return Load<uint32_t>(tag, 0);
    case FIDT_SLONG:
      return Load<int32_t>(tag, 0);
    case FIDT_RATIONAL:
    case FIDT_SRATIONAL: {
      const double value = std::trunc(RationalAt(tag, 0));
      if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
      return static_cast<int64_t>(value);
    }
    default:
      return std::nullopt;
  }
}

std::optional<double> RealValue(const TagView& tag) {
  if (!HasComponent(tag, 0)) return std::nullopt;
  double value = 0.0;
  switch (tag.type) {
    case FIDT_RATIONAL:
    case FIDT_SRATIONAL:
      value = RationalAt(tag, 0);
      break;
    case FIDT_FLOAT:
      value = Load<float>(tag, 0);
      break;
    case FIDT_DOUBLE:
      value = Load<double>(tag, 0);
      break;
    default: {
      const std::optional<int64_t> integer = IntegerValue(tag);
      if (!integer) return std::nullopt;
      value = static_cast<double>(*integer);
    }
  }
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

int ClampToInt(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

// Characters up to the first zero (all bytes for the undefined type), at most `maxChars`.
std::string TextValue(const TagView& tag, size_t maxChars) {
  std::string_view text = tag.bytes;
  if (tag.type != FIDT_UNDEFINED) {
    const size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
  }
  return std::string(text.substr(0, maxChars));
}

void StoreInt(const TagView& tag, int* field) {
  if (const std::optional<int64_t> v = IntegerValue(tag)) *field = ClampToInt(*v);
}

void StoreReal(const TagView& tag, double* field) {
  if (const std::optional<double> v = RealValue(tag)) *field = *v;
}

// Inches per unit of a resolution-unit tag; other values leave the field as it is.
void StoreUnit(const TagView& tag, double* field) {
  const std::optional<int64_t> unit = IntegerValue(tag);
  if (!unit) return;
  switch (*unit) {
    case 1:
    case 2:
      *field = 1.0;
      break;
    case 3:
      *field = 1.0 / 2.54;
      break;
    case 4:
      *field = 1.0 / 25.4;
      break;
    case 5:
      *field = 1.0 / 25400.0;
      break;
    default:
      break;
  }
}

// An APEX value turned into its plain value, only when the field is still 0.
void StoreApex(const TagView& tag, double* field, bool shutter) {
  if (*field != 0.0) return;
  const std::optional<double> x = RealValue(tag);
  if (!x) return;
  const double value = shutter ? 1.0 / std::pow(2.0, *x) : std::pow(2.0, *x / 2.0);
  if (std::isfinite(value)) *field = value;
}

void StoreMainTag(const TagView& tag, CPhoto& item) {
  ExifBlock& e = item.exifInfo;
  switch (tag.id) {
    case 0x9000:
      e.exifVersion = TextValue(tag, kExifVersionChars);
      break;
    case 271:
      e.cameraMake = TextValue(tag, kExifMakeChars);
      break;
    case 272:
      e.cameraModel = TextValue(tag, kExifModelChars);
      break;
    case 306:
      e.dateTime = TextValue(tag, kExifDateChars);
      break;
    case 36867:
      e.dateTimeOriginal = TextValue(tag, kExifDateChars);
      break;
    case 40963:
      StoreInt(tag, &e.height);
      break;
    case 40962:
      StoreInt(tag, &e.width);
      break;
    case 274:
      StoreInt(tag, &e.orientation);
      if (e.orientation < 1 || e.orientation > 8) e.orientation = 0;
      break;
    case 37385:
      StoreInt(tag, &e.flashUsed);
      break;
    case 37386:
      StoreReal(tag, &e.focalLength);
      break;
    case 33434:
      StoreReal(tag, &e.exposureTime);
      break;
    case 37377:
      StoreApex(tag, &e.exposureTime, true);
      break;
    case 33437:
      StoreReal(tag, &e.apertureFNumber);
      break;
    case 37378:
    case 37381:
      StoreApex(tag, &e.apertureFNumber, false);
      break;
    case 37382:
      StoreReal(tag, &e.distance);
      break;
    case 37380:
      StoreReal(tag, &e.exposureBias);
      break;
    case 37384:
      StoreInt(tag, &e.lightSource);
      break;
    case 37383:
      StoreInt(tag, &e.meteringMode);
      break;
    case 34850:
      StoreInt(tag, &e.exposureProgram);
      break;
    case 34855:
      StoreInt(tag, &e.isoEquivalent);
      // Some cameras write the ISO divided by 200.
      if (e.isoEquivalent < 50) e.isoEquivalent *= 200;
      break;
    case 37122:
      StoreReal(tag, &e.compressedBitsPerPixel);
      break;
    case 41486:
      StoreReal(tag, &e.focalPlaneXRes);
      break;
    case 41487:
      StoreReal(tag, &e.focalPlaneYRes);
      break;
    case 41488:
      StoreUnit(tag, &e.focalPlaneUnits);
      break;
    case 282:
      StoreReal(tag, &e.xResolution);
      break;
    case 283:
      StoreReal(tag, &e.yResolution);
      break;
    case 296:
      StoreUnit(tag, &e.resolutionUnit);
      break;
    case 37379:
      StoreReal(tag, &e.brightness);
      break;
    case 513:
      StoreInt(tag, &e.thumbnailOffset);
      break;
    case 514:
      StoreInt(tag, &e.thumbnailLength);
      break;
    case 270:
      item.exifTitle = CleanUtf8(tag.bytes);
      break;
    case 37510: {
      UserCommentText text = DecodeUserComment(tag.bytes);
      if (!text.comment.empty()) item.exifComment = std::move(text.comment);
      if (!text.title.empty()) item.exifTitle = std::move(text.title);
      break;
    }
    default:
      break;
  }
}

// Degrees, minutes and seconds as decimal degrees.
std::optional<double> GpsDegrees(const TagView& tag) {
  if ((tag.type != FIDT_RATIONAL && tag.type != FIDT_SRATIONAL) || !HasComponent(tag, 2)) {
    return std::nullopt;
  }
  return RationalAt(tag, 0) + RationalAt(tag, 1) / 60.0 + RationalAt(tag, 2) / 3600.0;
}

void StoreGpsTag(const TagView& tag, CPhoto& item) {
  switch (tag.id) {
    case 1:
      if (!tag.bytes.empty()) item.latitudeRef = tag.bytes[0];
      break;
    case 3:
      if (!tag.bytes.empty()) item.longitudeRef = tag.bytes[0];
      break;
    case 2:
      if (const std::optional<double> v = GpsDegrees(tag)) item.latitude = *v;
      break;
    case 4:
      if (const std::optional<double> v = GpsDegrees(tag)) item.longitude = *v;
      break;
    default:
      break;
  }
}

TagView ViewOf(fipTag& tag) {
  TagView view;
  view.id = tag.getID();
  view.type = tag.getType();
  view.count = tag.getCount();
  const void* value = tag.getValue();
  if (value != nullptr) {
    view.bytes = std::string_view(static_cast<const char*>(value), tag.getLength());
  }
  return view;
}

std::string IntText(int value) {
  return std::to_string(value);
}

void FillStrings(CPhoto& item, int resolution, bool applyTexts, const ExifTextUse& use) {
  const ExifBlock& e = item.exifInfo;
  item.CameraModel = e.cameraModel;
  item.CameraMake = e.cameraMake;
  item.DateTime = ExifDateToText(e.dateTimeOriginal);
  if (item.DateTime.empty() || item.DateTime[0] == '0') item.DateTime = ExifDateToText(e.dateTime);
  item.Version = e.exifVersion;
  item.SourceWidth = IntText(e.width);
  item.SourceHeight = IntText(e.height);
  item.Orientation = IntText(e.orientation);
  if (!item.preparedImage && item.width == 0 && item.height == 0) {
    const PixelSize predicted = FitToLongSide(e.width, e.height, resolution);
    item.width = predicted.width;
    item.height = predicted.height;
  }
  if (e.flashUsed != 255) item.FlashUsed = IntText(e.flashUsed);
  item.FocalLength = FormatFixed(e.focalLength, 1);
  item.ExposureTime = FormatFixed(e.exposureTime, 6);
  item.Brightness = FormatFixed(e.brightness, 1);
  item.ApertureFNumber = FormatFixed(e.apertureFNumber, 1);
  item.ISO = IntText(e.isoEquivalent);
  item.ExposureProgram = IntText(e.exposureProgram);
  if (applyTexts) {
    const std::string title = TrimEndChars(item.exifTitle, " ");
    const std::string comment = TrimEndChars(item.exifComment, " ");
    if (!title.empty() && use.name) item.name = title;
    if (!comment.empty() && use.desc) item.desc = comment;
  }
  if ((applyTexts || !item.HasGps()) && item.latitudeRef != 0 && item.latitude != 0.0 &&
      item.longitude != 0.0 && item.longitudeRef != 0) {
    item.gpsLatitude = item.latitudeRef == 'S' ? -item.latitude : item.latitude;
    item.gpsLongitude = item.longitudeRef == 'W' ? -item.longitude : item.longitude;
  }
}

// A HEIF file's EXIF data, checked, in a JPEG the library reads it from. `turned`: whether the
// container turns the pixels itself, which makes the EXIF orientation a note about the stored
// pixels only.
std::string HeifCarriedExif(const std::string& path, bool* turned) {
  HeifFile file;
  std::string error;
  if (!file.Open(path, &error)) return {};
  std::string tiff = file.ExifBlock();
  if (tiff.empty() || !SanitizeExifBody(&tiff, &error)) return {};
  *turned = file.HasTransformations();
  return JpegCarryingExif(tiff);
}

// The EXIF block of a PNG or WebP picture, checked and carried in a tiny JPEG: the image library
// reads neither chunk itself. Empty when the picture has none or it is not sound.
std::string CarriedExif(const std::string& path, bool png) {
  FileChunkSource source(path);
  std::string error;
  std::optional<std::string> block =
      png ? PngExifBlock(source, &error) : WebpExifBlock(source, &error);
  if (block && !SanitizeExifBody(&*block, &error)) block.reset();
  if (!error.empty()) {
    TraceText(kTraceWarning, "ReadExif " + path + ": EXIF left unread: " + error + "\n");
  }
  return block ? JpegCarryingExif(*block) : std::string();
}

// Loads the file's header and metadata (no pixels), giving the library only EXIF data whose
// structure was checked.
bool LoadHeader(const std::string& path, fipImage* image, bool* turned) {
  std::string head;
  if (!ReadFileHead(path, kIsoHeadBytes, &head) || head.size() < 2) return false;
  std::string carrier;
  if (head[0] == '\xFF' && head[1] == '\xD8') {
    carrier = SafeJpegHeader(path);
  } else if (LooksLikeHeif(head)) {
    carrier = HeifCarriedExif(path, turned);
  } else if (HasPngSignature(head) || HasWebpSignature(head)) {
    carrier = CarriedExif(path, HasPngSignature(head));
  } else {
    if ((head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M')) {
      if (!TiffFileIsSound(path)) return false;
    }
    ImageFileReader reader(path);
    if (!reader.IsOpen()) return false;
    return image->loadFromHandle(reader.Io(), reader.Handle(), FIF_LOAD_NOPIXELS) != FALSE;
  }
  if (carrier.empty()) return false;
  fipMemoryIO memory(reinterpret_cast<BYTE*>(carrier.data()), static_cast<DWORD>(carrier.size()));
  return image->loadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS) != FALSE;
}

// The tag walk; `writtenOrientation` gets the orientation tag as written when the orientation
// kept for preparation differs from it, else 0.
bool ReadMetadata(CPhoto& item, int* writtenOrientation) {
  *writtenOrientation = 0;
  fipImage image;
  bool turned = false;
  if (!LoadHeader(item.localPath, &image, &turned)) return false;
  const FREE_IMAGE_MDMODEL models[] = {FIMD_EXIF_MAIN, FIMD_EXIF_EXIF, FIMD_EXIF_GPS};
  for (FREE_IMAGE_MDMODEL model : models) {
    fipMetadataFind finder;
    fipTag tag;
    if (!finder.findFirstMetadata(model, image, tag)) continue;
    do {
      item.exifRead = true;
      const TagView view = ViewOf(tag);
      if (model == FIMD_EXIF_GPS) {
        StoreGpsTag(view, item);
      } else {
        StoreMainTag(view, item);
      }
    } while (finder.findNextMetadata(tag));
  }
  if (!item.exifRead) return false;
  if (turned && item.exifInfo.orientation > 1) {
    // The decoder turns the pixels already; turning them again by the tag would be wrong.
    *writtenOrientation = item.exifInfo.orientation;
    item.exifInfo.orientation = 1;
  }
  auto thumb = std::make_shared<fipImage>();
  if (image.getThumbnail(*thumb) && thumb->isValid()) {
    const int orientation = item.exifInfo.orientation;
    if (orientation <= 1 || RotateByCode(*thumb, RotationCodeFromOrientation(orientation))) {
      item.thumbWidth = static_cast<int>(thumb->getWidth());
      item.thumbHeight = static_cast<int>(thumb->getHeight());
      item.quickImage = std::move(thumb);
    }
  }
  return true;
}

}  // namespace

bool ReadExifMetadata(CPhoto& item) {
  int writtenOrientation = 0;
  return ReadMetadata(item, &writtenOrientation);
}

bool ReadExif(CPhoto& item, int /*thumbSize*/, int resolution, bool applyTexts,
              const ExifTextUse& use) {
  if (item.exifRead || item.isVideo || item.localPath.empty()) return item.exifRead;
  bool needDate = false;
  {
    std::lock_guard<std::mutex> guard(item.lock);
    item.exifInfo = ExifBlock();
    item.exifTitle.clear();
    item.exifComment.clear();
    item.latitudeRef = item.longitudeRef = 0;
    item.latitude = item.longitude = 0.0;
    item.quickImage.reset();
    int writtenOrientation = 0;
    if (ReadMetadata(item, &writtenOrientation)) {
      FillStrings(item, resolution, applyTexts, use);
      // The photo's details show what the camera wrote.
      if (writtenOrientation != 0) item.Orientation = IntText(writtenOrientation);
    }
    needDate = !IsValidDate(item.DateTime);
  }
  // The file is asked outside the lock, the item changed under it: the thumbnail loader reads
  // items on its thread while the user-interface thread shows them.
  const std::string created = needDate ? FileCreationTimeText(item.localPath) : std::string();
  std::lock_guard<std::mutex> guard(item.lock);
  if (!created.empty()) item.DateTime = created;
  item.exifXmlCache.clear();
  return item.exifRead;
}

}  // namespace zerva
