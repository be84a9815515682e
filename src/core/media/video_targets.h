// What a converted video looks like: its frame size under the service's area limit, its video bit
// rate, and the ffmpeg filter that turns it.
#pragma once

#include <string>

#include "model/image_geometry.h"

namespace zerva {

struct PhotoVideoParams;

// The service's limits for converted videos as one user gets them.
struct VideoLimits {
  int maxArea = 307200;  // VideoMaxArea, pixels
  int bitrate = 560;     // VideoBitrate under the VIP rule, kb/s at the full area
};

// `vip`: the VIP rule (a signed-in VIP user).
VideoLimits VideoLimitsFor(const PhotoVideoParams& params, bool vip);

// The frame size of the converted video: the source corrected for its pixel aspect ratio and,
// when larger than `maxArea`, reduced with sides that encoders like (the longer one a multiple of
// 16, both even). An unknown source size gives `fallbackWidth` x 3/4 of it. A changed size is
// written to the trace log.
PixelSize ResizeVideo(int width, int height, int fallbackWidth, double par, int maxArea);

// The video bit rate in kb/s for a frame size: the full rate at the full area, never below a
// third of it.
int TargetVideoBitrate(int frameWidth, int frameHeight, const VideoLimits& limits);

// The ffmpeg option that turns a video by `angle` degrees counter-clockwise (90: "-vf
// \"transpose=2\"", 180, 270); empty for other angles. Angles are taken modulo 360.
std::string RotationFilter(int angle);
// Whether a rotation by `angle` degrees swaps the frame's sides (a quarter turn).
bool RotationSwapsSides(int angle);
// The angle for ffmpeg of an item's rotation code (quarter turns clockwise; a flip is not applied
// to videos).
int VideoRotationAngle(int rotationCode);

}  // namespace zerva
