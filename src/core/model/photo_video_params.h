// The photo and video parameters the service publishes in "photovideoparams.xml": sizes,
// qualities and bit rates, each with a built-in default and an accepted range.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

class CHttpConnect;

struct PhotoVideoParams {
  int PhotoResolution = 1200;
  int PhotoResolutionVip = 1400;
  int SizeThumb = 100;
  int ThumbQuality = 85;
  int PhotoQuality = 85;
  int PhotoQualityVip = 85;
  int VideoQuality = 25;
  int VideoQualityVip = 20;
  int VideoResolution = 640;
  int VideoResolutionVip = 640;
  int VideoMaxArea = 307200;
  int VideoBitrate = 560;
  int VideoBitrateVip = 650;
  std::string X264Settings =
      "-coder 1 -flags +loop -cmp +chroma -partitions +parti8x8+parti4x4+partp8x8+partb8x8 "
      "-me_method hex -subq 6 -me_range 16 -g 250 -keyint_min 25 -sc_threshold 40 "
      "-i_qfactor 0.71 -b_strategy 1 -qcomp 0.6 -qmin 10 -qmax 51 -qdiff 4 -bf 3 -refs 2 "
      "-directpred 1 -trellis 1 -flags2 +bpyramid+mixed_refs+wpred+dct8x8+fastpskip -wpredp 2 "
      "-rc_lookahead 30";

  // `vip` is the VIP rule (a signed-in VIP user) or, for the photo values, the album rule.
  int PhotoResolutionFor(bool vip) const { return vip ? PhotoResolutionVip : PhotoResolution; }
  int PhotoQualityFor(bool vip) const { return vip ? PhotoQualityVip : PhotoQuality; }
  int VideoQualityFor(bool vip) const { return vip ? VideoQualityVip : VideoQuality; }
  int VideoResolutionFor(bool vip) const { return vip ? VideoResolutionVip : VideoResolution; }
  int VideoBitrateFor(bool vip) const { return vip ? VideoBitrateVip : VideoBitrate; }
};

// The VIP rule: the VIP values apply to a signed-in VIP user only.
inline bool VipValuesApply(bool signedIn, bool isVip) {
  return signedIn && isVip;
}

// Applies the `photoVideoParams` element of the file's text: every integer that is present,
// not empty and within its range, and a non-empty X264Settings. Returns false (and changes
// nothing) when the element is missing or empty.
bool ApplyPhotoVideoParams(std::string_view fileText, PhotoVideoParams* params);

// Fetches "photovideoparams.xml" and applies it; the defaults stay when the fetch fails.
bool LoadPhotoVideoParams(CHttpConnect& connection, PhotoVideoParams* params);

}  // namespace zerva
