#include "media/video_thumb.h"

#include <FreeImage.h>
#include <errno.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/app_folders.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "media/child_process.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_save.h"
#include "media/video_targets.h"
#include "media/watermark.h"
#include "model/zerva_video.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// How much of ffmpeg's output goes into the log line of a frame run.
constexpr size_t kLoggedOutputChars = 1024;
// The position tried when no frame comes from the automatic one.
constexpr double kRetryPosition = 1.0;
// How often a frame run looks at its stop request.
constexpr int kStopPollMs = 100;

// A fresh, empty JPEG name in the temporary folder; empty when none can be had.
std::string NewTemporaryJpeg() {
  std::string path = TempFolder() + "vframeXXXXXX.jpg";
  const int fd = ::mkstemps(path.data(), 4);
  if (fd < 0) return {};
  ::close(fd);
  return path;
}

bool MoveFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  std::remove(from.c_str());
  return !error;
}

struct FrameRun {
  bool started = false;
  bool loaded = false;
  std::string command;
  std::string output;  // the first kLoggedOutputChars
};

// ffmpeg's output until it ends, the time is up or `stop` is set (ffmpeg then still runs).
std::string CollectOutput(ChildProcess& process, int timeoutMs, const std::atomic<bool>* stop) {
  int exitCode = 0;
  if (stop == nullptr) return process.ReadOutputFor(timeoutMs, &exitCode);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string output;
  do {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int slice =
        static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(kStopPollMs, left.count())));
    output += process.ReadOutputFor(slice, &exitCode);
    if (output.size() > kLoggedOutputChars) output.resize(kLoggedOutputChars);
  } while (exitCode == kStillActive && !stop->load() &&
           std::chrono::steady_clock::now() < deadline);
  return output;
}

FrameRun RunFrame(const CZervaVideo& video, const std::string& path, PixelSize frame,
                  double position, int rotation, bool fast, int timeoutMs,
                  const std::atomic<bool>* stop, Bitmap* image) {
  FrameRun run;
  // A frame left from an earlier run must not pass for this run's; one that cannot be emptied
  // could, so there is no run then.
  if (::truncate(path.c_str(), 0) != 0 && errno != ENOENT) {
    TraceText(kTraceError, "  MakeVideoThumb: cannot empty " + path + "\n");
    return run;
  }
  const ProcessCommand command = VideoThumbCommand(video, path, frame, position, rotation, fast);
  run.command = command.text;
  ChildProcess process(true);
  if (!process.Start(command, true)) return run;
  run.started = true;
  run.output = CollectOutput(process, timeoutMs, stop).substr(0, kLoggedOutputChars);
  // Kills an ffmpeg that is still running: its frame is no longer wanted.
  process.Close();
  if (stop != nullptr && stop->load()) return run;
  Bitmap loaded = LoadImageFile(path, LoadFlagsFor(kFormatJpeg, LoadPurpose::kPrepare));
  run.loaded = loaded != nullptr;
  if (run.loaded) *image = std::move(loaded);
  return run;
}

double Elapsed(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool Fail(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
  return false;
}

}  // namespace

ProcessCommand VideoThumbCommand(const CZervaVideo& video, const std::string& outputPath,
                                 PixelSize frame, double position, int rotation, bool fast) {
  const std::string size = std::to_string(frame.width) + "x" + std::to_string(frame.height);
  const std::string at = CommandNumber(position, 5, 2);
  CommandBuilder command;
  if (fast) {
    command.Text("ffmpeg -y -ss " + at + " -i ").Quoted(video.sourcePath).Text(" -s " + size);
  } else {
    command.Text("ffmpeg -y -i ").Quoted(video.sourcePath).Text(" -s " + size + " -ss " + at);
  }
  return command.Text(" -f image2 -vframes 1 " + RotationFilter(rotation) + " ")
      .Quoted(outputPath)
      .Build();
}

bool MakeVideoThumb(const CZervaVideo& video, const std::string& outputPath, Bitmap* image,
                    int sizeHint, double position, int rotation, bool fast, int maxArea,
                    int timeoutMs, const std::atomic<bool>* stop) {
  // ffmpeg's image writer reads "%d" in a name as a frame-number pattern, so such a name is
  // written under a temporary one and moved.
  const bool temporary = outputPath.empty();
  const bool moved = !temporary && outputPath.find('%') != std::string::npos;
  const std::string path = temporary || moved ? NewTemporaryJpeg() : outputPath;
  if (path.empty()) return false;

  PixelSize frame = ResizeVideo(video.widthSrc, video.heightSrc, sizeHint, video.par, maxArea);
  double at = position < 0 ? video.thumbpos : position;
  at = std::max(0.0, std::min(at, video.durationSrc - 0.1));
  if (RotationSwapsSides(rotation)) std::swap(frame.width, frame.height);

  const auto started = std::chrono::steady_clock::now();
  FrameRun run = RunFrame(video, path, frame, at, rotation, fast, timeoutMs, stop, image);
  if (!run.started) {
    if (temporary || moved) std::remove(path.c_str());
    image->reset();
    return false;
  }
  // A run given up on purpose is no failure worth an error line.
  const bool stopped = stop != nullptr && stop->load();
  Trace(run.loaded || stopped ? kTraceNotice : kTraceError,
        static_cast<int>(run.command.size() + run.output.size()) + 32,
        "  MakeVideoThumb (%d in %s s): (%s)\n %s\n", run.loaded ? 1 : 0,
        CommandNumber(Elapsed(started), 5, 3).c_str(), run.command.c_str(), run.output.c_str());

  if (!run.loaded && position < 0 && !stopped) {
    std::remove(path.c_str());
    run = RunFrame(video, path, frame, kRetryPosition, rotation, fast, timeoutMs, stop, image);
    if (run.started) {
      Trace(kTraceNotice, 0, "Retrying ...\n");
      Trace(run.loaded ? kTraceNotice : kTraceError,
            static_cast<int>(run.command.size() + run.output.size()) + 16,
            "  MakeVideoThumb: (%s)\n %s\n", run.command.c_str(), run.output.c_str());
    }
  }

  if (run.loaded && moved && !MoveFile(path, outputPath)) run.loaded = false;
  if (temporary || moved || !run.loaded) std::remove(path.c_str());
  if (!run.loaded) image->reset();
  return run.loaded;
}

bool MakeVideoFrameImages(const CZervaVideo& video, const VideoFrameRequest& request,
                          VideoFrameImages* out, std::string* error) {
  *out = VideoFrameImages();
  const std::string name = "MakeVideoFrameImages " + video.sourcePath + ": ";
  // ffmpeg opens the source itself and would wait on anything but a regular file.
  if (!FileExists(video.sourcePath)) return Fail(error, name + "not a regular file");
  Bitmap image;
  if (!MakeVideoThumb(video, request.imagePath, &image, request.sizeImage, -1.0, request.rotation,
                      request.fast, request.maxArea)) {
    return Fail(error, name + "ffmpeg gave no frame");
  }
  const PixelSize framed = BitmapSize(image.get());
  if (!FitBitmap(image, request.sizeImage, ResampleFilter::kLanczos3)) {
    return Fail(error, name + "the frame could not be scaled");
  }
  bool rewrite = BitmapSize(image.get()) != framed;
  Bitmap patch;
  if (request.watermark != nullptr) {
    if (!WatermarkImage(image, request.watermark, &patch)) {
      return Fail(error, name + "the watermark could not be applied");
    }
    std::string saveError;
    if (!request.patchPath.empty() &&
        !SaveJpeg(patch.get(), request.patchPath, request.photoQuality, &saveError)) {
      return Fail(error, saveError);
    }
    rewrite = true;
  }
  std::string saveError;
  if (rewrite && !request.imagePath.empty() &&
      !SaveJpeg(image.get(), request.imagePath, request.photoQuality, &saveError)) {
    return Fail(error, saveError);
  }
  Bitmap thumbnail = MakeThumbnail(image.get(), request.sizeThumb);
  if (thumbnail == nullptr) return Fail(error, name + "the thumbnail could not be made");
  if (!request.thumbPath.empty() &&
      !SaveJpeg(thumbnail.get(), request.thumbPath, request.thumbQuality, &saveError)) {
    return Fail(error, saveError);
  }
  out->image = std::move(image);
  out->patch = std::move(patch);
  out->thumbnail = std::move(thumbnail);
  return true;
}

std::string VideoFrameFileName(const std::string& fileName) {
  return fileName.substr(0, fileName.size() - FileExtension(fileName).size()) + ".jpg";
}

}  // namespace zerva
