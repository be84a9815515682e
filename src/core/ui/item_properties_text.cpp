#include "ui/item_properties_text.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "app/text_utils.h"
#include "lang/text.h"
#include "model/date_text.h"
#include "model/number_text.h"
#include "model/photo.h"
#include "model/photo_sort.h"

namespace zerva {
namespace {

using Lines = std::vector<std::string>;

void AddLine(Lines& lines, const std::string& label, const std::string& value) {
  lines.push_back(label + ": " + value);
}

// The converted value, and the source's in parentheses after "msgOriginally" when it differs.
// A converted value not known yet (empty) leaves the source's alone.
std::string WithOriginal(const std::string& converted, const std::string& source) {
  if (converted.empty()) return source;
  if (source.empty() || source == converted) return converted;
  return converted + " (" + Text("msgOriginally") + " " + source + ")";
}

std::string Seconds(double value) {
  return FormatFixed(value, 2) + " s";
}

// A count with its unit; empty for 0, which the probe leaves for what it did not learn.
std::string Count(int value, const char* unit = "") {
  return value == 0 ? std::string() : std::to_string(value) + unit;
}

std::string Size(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  return std::to_string(width) + "x" + std::to_string(height);
}

void AddVideoLines(const CPhoto& item, Lines& lines) {
  const CZervaVideo& v = item.video;
  AddLine(lines, Text("videoDuration"),
          WithOriginal(v.duration > 0.0 ? Seconds(v.duration) : std::string(),
                       v.durationSrc > 0.0 ? Seconds(v.durationSrc) : std::string()));
  lines.push_back(Text("msgVideoBegin") + ": " + Seconds(v.begin) + ", " + Text("msgVideoEnd") +
                  ": " + Seconds(v.end) + ", " + Text("msgVideoThumbpos") + ": " +
                  Seconds(v.thumbpos));
  AddLine(lines, Text("videoResolution"),
          WithOriginal(Size(item.width, item.height), Size(v.widthSrc, v.heightSrc)));
  AddLine(lines, Text("videoBitrate"),
          WithOriginal(Count(v.vbitrate, " kb/s"), Count(v.vbitrateSrc, " kb/s")));
  AddLine(lines, Text("videoCodec"), WithOriginal(v.vcodec, v.vcodecSrc));
  AddLine(lines, Text("videoColorSpace"), v.colorSpace);
  AddLine(lines, Text("videoFramerate"), WithOriginal(Count(v.framerate), Count(v.framerateSrc)));
  if (v.asamplingRate == 0) return;  // no sound
  AddLine(lines, Text("audioBitrate"),
          WithOriginal(Count(v.abitrate, " kb/s"), Count(v.abitrateSrc, " kb/s")));
  AddLine(lines, Text("audioCodec"), WithOriginal(v.acodec, v.acodecSrc));
  AddLine(lines, Text("audioSamplingRate"),
          WithOriginal(Count(v.asamplingRate, " Hz"), Count(v.asamplingRateSrc, " Hz")));
  AddLine(lines, Text("audioChannels"), v.achannel);
}

// The stored EXIF numbers are texts such as "0.004000"; 0 or none is no value.
double Number(const std::string& text) {
  const double value = LeadingDecimal(text);
  return std::isfinite(value) ? value : 0.0;
}

// A number as stored, without the zeros that only pad it ("2.80" as "2.8", "35.0" as "35").
std::string Trimmed(double value) {
  std::string text = FormatFixed(value, 6);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// "%+.7f" with a decimal point whatever the locale.
std::string Signed(double degrees) {
  return (degrees < 0.0 ? "-" : "+") + FormatFixed(std::fabs(degrees), 7);
}

std::string ExposureText(double seconds) {
  std::string text = Trimmed(seconds) + " s";
  if (seconds < 0.5) {
    text += " (1/" + std::to_string(static_cast<long>(std::lround(1.0 / seconds))) + ")";
  }
  return text;
}

void AddExifLines(const CPhoto& item, Lines& lines) {
  Lines facts;
  // A date of 1 January 1970 is what a camera without a clock, or a file without a time, gives.
  if (!item.DateTime.empty() && IsValidDate(item.DateTime)) {
    AddLine(facts, Text("exifDateTime"), item.DateTime);
  }
  if (!item.CameraMake.empty()) AddLine(facts, Text("exifCameraMake"), item.CameraMake);
  if (!item.CameraModel.empty()) AddLine(facts, Text("exifCameraModel"), item.CameraModel);
  if (item.HasGps()) {
    AddLine(facts, Text("exifGPS"), Signed(item.gpsLatitude) + ", " + Signed(item.gpsLongitude));
  }
  if (const double exposure = Number(item.ExposureTime); exposure > 0.0) {
    AddLine(facts, Text("exifExposureTime"), ExposureText(exposure));
  }
  if (const double aperture = Number(item.ApertureFNumber); aperture > 0.0) {
    AddLine(facts, Text("exifApertureFNumber"), Trimmed(aperture));
  }
  if (const double focal = Number(item.FocalLength); focal > 0.0) {
    AddLine(facts, Text("exifFocalLength"), Trimmed(focal) + " mm");
  }
  if (const double iso = Number(item.ISO); iso > 0.0) {
    AddLine(facts, Text("exifISOequivalent"), Trimmed(iso));
  }
  const int width = static_cast<int>(Number(item.SourceWidth));
  const int height = static_cast<int>(Number(item.SourceHeight));
  if (width > 0 && height > 0) AddLine(facts, Text("exifDimension"), Size(width, height));
  if (const double orientation = Number(item.Orientation); orientation > 0.0) {
    AddLine(facts, Text("exifOrientation"), Trimmed(orientation));
  }
  if (!item.FlashUsed.empty()) {
    // The tag's lowest bit says whether the flash fired; the others say how it was set.
    const long flash = std::lround(Number(item.FlashUsed));
    AddLine(facts, Text("exifFlashUsed"), (flash & 1) != 0 ? Text("msgYes") : Text("msgNo"));
  }
  lines.push_back(Text("msgExifInfo") + ":");
  if (facts.empty()) {
    lines.push_back(Text("msgNotAvailable"));
    return;
  }
  lines.insert(lines.end(), facts.begin(), facts.end());
}

}  // namespace

std::string ItemPropertiesText(const CPhoto& item) {
  std::lock_guard<std::mutex> lock(item.lock);
  Lines lines;
  AddLine(lines, Text("msgPhotoFileName"), item.fileName);
  // A date of 1970 stands for none; the file's own time is the next best.
  std::string date = ItemSortDate(item);
  if (!IsValidDate(date)) {
    const int64_t fileTime = item.HasLocalFile() ? item.LocalFileTime() : -1;
    date = fileTime > 0 ? FormatFileTime(fileTime) : std::string();
  }
  AddLine(lines, Text("exifDateTime"), date);
  if (item.isVideo) {
    AddVideoLines(item, lines);
  } else {
    AddExifLines(item, lines);
  }
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

}  // namespace zerva
