// Frames of a video as pictures: the thumbnail frame ffmpeg extracts at a position, and the
// images of a video item (prepared image, thumbnail, watermark patch) made from it.
#pragma once

#include <atomic>
#include <string>

#include "media/bitmap.h"
#include "media/process_command.h"

namespace zerva {

class CZervaVideo;

// Seeking exactly means decoding up to the position, which can take minutes in a long film; a
// file that makes ffmpeg hang must still not hold the thumbnail loader for good.
inline constexpr int kVideoThumbTimeoutMs = 300000;

// The frame command. `fast` seeks before opening the input (quick); otherwise ffmpeg decodes up
// to the position (exact, slow). `frame` is the output size, `rotation` degrees for
// RotationFilter.
ProcessCommand VideoThumbCommand(const CZervaVideo& video, const std::string& outputPath,
                                 PixelSize frame, double position, int rotation, bool fast);

// Extracts one frame into the JPEG `outputPath` (a temporary file, deleted afterwards, when
// empty) at the size of the converted video, and loads it into `image`. A negative `position`
// means the record's thumbnail position; when no frame comes from there, the frame at 1.0 second
// is tried. Positions are held within the video. `sizeHint` is the width used when the source
// size is unknown. The output file is deleted when no frame could be loaded. When `stop` is
// set while ffmpeg runs, ffmpeg is killed and no frame comes (a preview nobody waits for).
bool MakeVideoThumb(const CZervaVideo& video, const std::string& outputPath, Bitmap* image,
                    int sizeHint, double position, int rotation, bool fast, int maxArea,
                    int timeoutMs = kVideoThumbTimeoutMs, const std::atomic<bool>* stop = nullptr);

// What the preparation of a video item asks for.
struct VideoFrameRequest {
  std::string imagePath;  // the frame as it is sent: fitted into sizeImage, watermarked
  std::string thumbPath;
  std::string patchPath;  // written only with a watermark
  int sizeImage = 0;
  int sizeThumb = 0;
  int rotation = 0;  // degrees for RotationFilter (VideoRotationAngle of the rotation code)
  int maxArea = 307200;
  FIBITMAP* watermark = nullptr;  // the template; none: no watermark
  int photoQuality = 85;          // image and patch
  int thumbQuality = 85;
  bool fast = true;
};

struct VideoFrameImages {
  Bitmap image;  // the prepared image
  Bitmap patch;  // only with a watermark
  Bitmap thumbnail;
};

// The video branch of an item's image preparation: the frame at the thumbnail position (1.0 s
// when none comes from there) fitted into sizeImage and, with a watermark, watermarked with its
// patch saved; the image saved to imagePath; its box-filtered thumbnail saved to thumbPath.
// False with `error` when any step fails; `out` is then left empty.
bool MakeVideoFrameImages(const CZervaVideo& video, const VideoFrameRequest& request,
                          VideoFrameImages* out, std::string* error = nullptr);

// The name of a video item's picture files in the upload folders ("images", "thumb", "diff"):
// the file name without its extension, plus ".jpg".
std::string VideoFrameFileName(const std::string& fileName);

}  // namespace zerva
