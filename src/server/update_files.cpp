#include "server/update_files.h"

namespace zerva::server {

const std::string& DefaultFilesDat() {
  static const std::string kText =
      "<files>\n"
      "<file><version>267</version><name>zerva.ver</name><quietUpdate>false</quietUpdate>"
      "<nameZip>zerva.zip</nameZip><sizeZip>0</sizeZip><autoExtract>false</autoExtract></file>\n"
      "</files>\n";
  return kText;
}

const std::string& DefaultPhotoVideoParams() {
  static const std::string kText =
      "<photoVideoParams>\n"
      "<PhotoResolution>1200</PhotoResolution>\n"
      "<PhotoResolutionVip>1400</PhotoResolutionVip>\n"
      "<SizeThumb>100</SizeThumb>\n"
      "<ThumbQuality>85</ThumbQuality>\n"
      "<PhotoQuality>85</PhotoQuality>\n"
      "<PhotoQualityVip>85</PhotoQualityVip>\n"
      "<VideoQuality>25</VideoQuality>\n"
      "<VideoQualityVip>20</VideoQualityVip>\n"
      "<VideoResolution>640</VideoResolution>\n"
      "<VideoResolutionVip>640</VideoResolutionVip>\n"
      "<VideoMaxArea>307200</VideoMaxArea>\n"
      "<VideoBitrate>560</VideoBitrate>\n"
      "<VideoBitrateVip>650</VideoBitrateVip>\n"
      "</photoVideoParams>\n";
  return kText;
}

}  // namespace zerva::server
