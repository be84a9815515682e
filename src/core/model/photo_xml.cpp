// The photo XML of an item and its <exif> and <GPS> contents.
#include <cmath>

#include "app/elements.h"
#include "app/text_utils.h"
#include "model/date_text.h"
#include "model/number_text.h"
#include "model/photo.h"
#include "model/xml_fields.h"

namespace zerva {
namespace {

void Add(std::string* xml, std::string_view name, std::string_view value) {
  *xml += '\t';
  *xml += MakeElement(name, value);
}

void Add(std::string* xml, std::string_view name, int64_t value) {
  *xml += '\t';
  *xml += MakeElement(name, value);
}

bool HasNonZeroDigit(std::string_view text) {
  return text.find_first_of("123456789") != std::string_view::npos;
}

// EXIF values as stored in the <exif> element, in their written order, with the condition
// under which each is written.
enum class WriteWhen { kNotEmpty, kValidDate, kNonZeroDigit, kNever };
struct ExifField {
  const char* name;
  std::string CPhoto::*field;
  WriteWhen when;
};
constexpr ExifField kExifFields[] = {
    {"CameraModel", &CPhoto::CameraModel, WriteWhen::kNotEmpty},
    {"CameraMake", &CPhoto::CameraMake, WriteWhen::kNotEmpty},
    {"DateTime", &CPhoto::DateTime, WriteWhen::kValidDate},
    {"Version", &CPhoto::Version, WriteWhen::kNonZeroDigit},
    {"SourceWidth", &CPhoto::SourceWidth, WriteWhen::kNonZeroDigit},
    {"SourceHeight", &CPhoto::SourceHeight, WriteWhen::kNonZeroDigit},
    {"Orientation", &CPhoto::Orientation, WriteWhen::kNonZeroDigit},
    {"FlashUsed", &CPhoto::FlashUsed, WriteWhen::kNotEmpty},
    {"FocalLength", &CPhoto::FocalLength, WriteWhen::kNonZeroDigit},
    {"ExposureTime", &CPhoto::ExposureTime, WriteWhen::kNonZeroDigit},
    // Read from the service but never written.
    {"ShutterSpeedValue", &CPhoto::ShutterSpeedValue, WriteWhen::kNever},
    {"Brightness", &CPhoto::Brightness, WriteWhen::kNonZeroDigit},
    {"ApertureFNumber", &CPhoto::ApertureFNumber, WriteWhen::kNonZeroDigit},
    {"ApertureValue", &CPhoto::ApertureValue, WriteWhen::kNever},
    {"ISO", &CPhoto::ISO, WriteWhen::kNonZeroDigit},
    {"ExposureProgram", &CPhoto::ExposureProgram, WriteWhen::kNonZeroDigit},
};

bool ShouldWrite(WriteWhen when, const std::string& value) {
  switch (when) {
    case WriteWhen::kNotEmpty:
      return !value.empty();
    case WriteWhen::kValidDate:
      return IsValidDate(value);
    case WriteWhen::kNonZeroDigit:
      return HasNonZeroDigit(value);
    case WriteWhen::kNever:
      return false;
  }
  return false;
}

// Paths arrive as some client wrote them: doubled backslashes from escaping, and backslash
// separators from Windows. Both become our separator.
std::string PathFromXml(std::string_view text) {
  return ReplaceAll(ReplaceUntilGone(text, "\\\\", "\\"), "\\", "/");
}

}  // namespace

std::string CPhoto::ExifXml() {
  std::string xml;
  for (const ExifField& f : kExifFields) {
    const std::string& value = this->*f.field;
    if (ShouldWrite(f.when, value)) xml += MakeElement(f.name, value);
  }
  exifXmlCache = xml;
  return xml;
}

std::string CPhoto::GpsText() const {
  if (!HasGps()) return {};
  return "POINT(" + FormatFixed(gpsLongitude, 7) + " " + FormatFixed(gpsLatitude, 7) + ")";
}

bool CPhoto::SetGpsFromText(std::string_view text) {
  if (text.substr(0, 5) != "POINT") return false;
  const size_t open = text.find('(');
  if (open == std::string_view::npos || open == 0) return false;
  const size_t blank = text.find(' ', open + 1);
  if (blank == std::string_view::npos) return false;
  const size_t close = text.find(')', blank + 1);
  if (close == std::string_view::npos) return false;
  const double longitude = LeadingDecimal(text.substr(open + 1, blank - open - 1), 0.0);
  const double latitude = LeadingDecimal(text.substr(blank + 1, close - blank - 1), 0.0);
  // A position off the globe is as unusable as none.
  if (longitude == 0.0 || latitude == 0.0 || std::fabs(longitude) > 180.0 ||
      std::fabs(latitude) > 90.0) {
    return false;
  }
  gpsLongitude = longitude;
  gpsLatitude = latitude;
  return true;
}

std::string CPhoto::ToXml() {
  std::string xml = "<photo>";
  Add(&xml, "photoID", photoID);
  Add(&xml, "name", name);
  Add(&xml, "desc", desc);
  Add(&xml, "fileName", fileName);
  Add(&xml, "autorID", "");
  Add(&xml, "fileSize", fileSize);
  Add(&xml, "fileSizeOriginal", fileSizeOriginal);
  Add(&xml, "width", width);
  Add(&xml, "height", height);
  if (isHdPhoto) {
    Add(&xml, "hdwidth", hdwidth);
    Add(&xml, "hdheight", hdheight);
  }
  Add(&xml, "index", index);
  Add(&xml, "exif", ExifXml());
  Add(&xml, "GPS", GpsText());
  Add(&xml, "public", included ? 1 : 0);
  Add(&xml, "rotate", rotate);
  // An excluded item is sent as never prepared, so that including it again uploads it.
  Add(&xml, "OriginalCode", included ? OriginalCode : 0);
  Add(&xml, "fileFullName", ReplaceAll(localPath, "\\", "/"));
  Add(&xml, "type", isVideo ? "video" : "photo");
  Add(&xml, "isVideo", isVideo ? 1 : 0);
  Add(&xml, "isHdPhoto", isHdPhoto ? 1 : 0);
  Add(&xml, "hasWatermark", hasWatermark ? 1 : 0);
  xml += "</photo>\n";
  return xml;
}

void CPhoto::FromXml(std::string_view xml) {
  photoID = ElementInt32(xml, "photoID");
  name = GetElement(xml, "name");
  desc = ElementPlainText(xml, "desc");
  fileName = GetElement(xml, "fileName");
  index = ElementInt32(xml, "index");
  included = GetElementFlag(xml, "public", true);
  isVideo = GetElement(xml, "type") == "video";
  fileSize = GetElementInt(xml, "fileSize");
  fileSizeOriginal = GetElementInt(xml, "fileSizeOriginal");
  width = ElementInt32(xml, "width");
  height = ElementInt32(xml, "height");
  isHdPhoto = GetElementFlag(xml, "isHdPhoto", false);
  if (isHdPhoto) {
    hdwidth = ElementInt32(xml, "hdwidth");
    hdheight = ElementInt32(xml, "hdheight");
  }
  hasWatermark = GetElementFlag(xml, "hasWatermark", false);
  savedHasWatermark = hasWatermark;
  if (isVideo) {
    video.ReadVideoXml(GetElement(xml, "video"));
  } else {
    exifXmlCache = GetElement(xml, "exif");
    for (const ExifField& f : kExifFields) this->*f.field = GetElement(exifXmlCache, f.name);
    SetGpsFromText(GetElement(xml, "GPS"));
  }
  rotate = ElementInt32(xml, "rotate");
  // Only the eight rotation codes mean something to the image preparation.
  if (rotate < 0 || rotate > 7) rotate = 0;
  savedRotate = rotate;
  OriginalCode = GetElementInt(xml, "OriginalCode");
  localPath = PathFromXml(GetElement(xml, "fileFullName"));
  needsUpload = false;
  edited = false;
}

}  // namespace zerva
