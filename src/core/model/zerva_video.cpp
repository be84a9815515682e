#include "model/zerva_video.h"

#include <ctime>

#include "app/elements.h"
#include "app/text_utils.h"
#include "model/file_times.h"
#include "model/number_text.h"
#include "model/xml_fields.h"

namespace zerva {
namespace {

void AddField(std::string* xml, const char* name, const std::string& value) {
  *xml += ' ';
  *xml += MakeElement(name, value);
}

void AddField(std::string* xml, const char* name, int value) {
  AddField(xml, name, std::to_string(value));
}

void AddField(std::string* xml, const char* name, double value) {
  AddField(xml, name, FormatFixed(value, 1));
}

// Hostile texts such as "1e999" or "nan" must not reach the trim arithmetic.
double ReadSeconds(std::string_view text, const char* name) {
  return LeadingDecimal(GetElement(text, name), 0.0);
}

}  // namespace

void CZervaVideo::SetBegin(double t) {
  begin = t;
  duration = end - begin;
}

void CZervaVideo::SetEnd(double t) {
  end = t;
  duration = end - begin;
}

void CZervaVideo::SetThumbPos(double t) {
  thumbpos = t;
}

std::string CZervaVideo::WriteVideoXml() const {
  std::string xml = "<video>";
  AddField(&xml, "dateTime", dateTime);
  AddField(&xml, "widthSrc", widthSrc);
  AddField(&xml, "heightSrc", heightSrc);
  AddField(&xml, "vcodec", vcodec);
  AddField(&xml, "vcodecSrc", vcodecSrc);
  AddField(&xml, "colorSpace", colorSpace);
  AddField(&xml, "duration", duration);
  AddField(&xml, "durationSrc", durationSrc);
  AddField(&xml, "begin", begin);
  AddField(&xml, "end", end);
  AddField(&xml, "thumbpos", thumbpos);
  AddField(&xml, "framerate", framerate);
  AddField(&xml, "framerateSrc", framerateSrc);
  AddField(&xml, "vbitrate", vbitrate);
  AddField(&xml, "vbitrateSrc", vbitrateSrc);
  if (asamplingRate != 0) {
    AddField(&xml, "acodec", acodec);
    AddField(&xml, "acodecSrc", acodecSrc);
    AddField(&xml, "asamplingRate", asamplingRate);
    AddField(&xml, "asamplingRateSrc", asamplingRateSrc);
    AddField(&xml, "achannel", achannel);
    AddField(&xml, "abitrate", abitrate);
    AddField(&xml, "abitrateSrc", abitrateSrc);
  }
  xml += "</video>\n";
  return xml;
}

void CZervaVideo::ReadVideoXml(std::string_view text) {
  dateTime = GetElement(text, "dateTime");
  if (dateTime.empty()) dateTime = GetElement(text, "DateTime");
  widthSrc = ElementInt32(text, "widthSrc");
  heightSrc = ElementInt32(text, "heightSrc");
  vcodec = GetElement(text, "vcodec");
  vcodecSrc = GetElement(text, "vcodecSrc");
  colorSpace = GetElement(text, "colorSpace");
  duration = ReadSeconds(text, "duration");
  durationSrc = ReadSeconds(text, "durationSrc");
  begin = ReadSeconds(text, "begin");
  end = ReadSeconds(text, "end");
  thumbpos = ReadSeconds(text, "thumbpos");
  framerate = ElementInt32(text, "framerate");
  framerateSrc = ElementInt32(text, "framerateSrc");
  vbitrate = ElementInt32(text, "vbitrate");
  vbitrateSrc = ElementInt32(text, "vbitrateSrc");
  asamplingRate = ElementInt32(text, "asamplingRate");
  if (asamplingRate != 0) {
    acodec = GetElement(text, "acodec");
    acodecSrc = GetElement(text, "acodecSrc");
    asamplingRateSrc = ElementInt32(text, "asamplingRateSrc");
    achannel = GetElement(text, "achannel");
    abitrate = ElementInt32(text, "abitrate");
    abitrateSrc = ElementInt32(text, "abitrateSrc");
  }
}

void CZervaVideo::RefreshDateTime() {
  const std::string created = FileCreationTimeText(sourcePath);
  dateTime = created.empty() ? FormatDateTime(std::time(nullptr)) : created;
}

bool CZervaVideo::SourceChanged() const {
  const std::string created = FileCreationTimeText(sourcePath);
  return created.empty() || created != dateTime;
}

}  // namespace zerva
