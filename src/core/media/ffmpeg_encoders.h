// Which encoders the installed ffmpeg offers. Builds differ: Debian's ffmpeg has no
// "libvo_aacenc", so a command asking for it would fail on every conversion.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace zerva {

// The encoder names of "ffmpeg -encoders" output (the word after the six flag letters of each
// line below the "------" rule).
std::set<std::string> ParseEncoderList(std::string_view output);

// The encoders of the ffmpeg that commands starting with "ffmpeg" run. Asked once per ffmpeg
// executable and kept; empty when ffmpeg cannot be run.
std::set<std::string> FfmpegEncoders();

// The audio encoder to put on a command line for `wanted`: "libvo_aacenc" becomes ffmpeg's own
// "aac" when the installed ffmpeg lacks it (and knows "aac"); anything else stays.
std::string AudioEncoderFor(const std::string& wanted);
std::string AudioEncoderFor(const std::string& wanted, const std::set<std::string>& offered);

}  // namespace zerva
