// Reading what ffmpeg says about an input file ("ffmpeg -i file" without an output) into the
// source facts of a video record. The text comes from a file we do not control; the parser is
// linear in its length and never reads outside it.
#pragma once

#include <string_view>

namespace zerva {

class CZervaVideo;

// The acceptance checks alone: neither the duration nor the bit rate is "N/A", and the markers
// "Input #0", "Duration:" and "Video:" are present in this order (a file without a video stream
// fails).
bool ProbeOutputAccepted(std::string_view output);

// Fills durationSrc, begin, vbitrateSrc, vcodecSrc, colorSpace, widthSrc, heightSrc,
// framerateSrc (25 when unknown), par (only when the output gives a positive ratio) and the
// source audio fields. False when the output fails the acceptance checks; the record is then
// untouched.
bool ParseProbeOutput(std::string_view output, CZervaVideo* video);

}  // namespace zerva
