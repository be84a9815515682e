#include "media/video_props.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/app_folders.h"
#include "media/video_thumb.h"
#include "model/zerva_video.h"

namespace zerva {
namespace {

// Seconds made from slider positions (0.29 = 28.999...) must not lose a hundredth on display.
constexpr double kHundredthSlack = 1e-6;

const char* ControlName(VideoPropsControl control) {
  switch (control) {
    case VideoPropsControl::kBegin:
      return "begin";
    case VideoPropsControl::kEnd:
      return "end";
    case VideoPropsControl::kThumbPos:
      return "thumbpos";
  }
  return "frame";
}

}  // namespace

std::string FormatVideoTime(double seconds) {
  if (!(seconds > 0)) seconds = 0;
  const double hundredths = std::floor(seconds * 100 + kHundredthSlack);
  const long long total = hundredths < 9e15 ? static_cast<long long>(hundredths) : 0;
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%.2lld.%.2lld", total / 6000, total / 100 % 60,
                total % 100);
  return text;
}

int SliderPosition(double seconds) {
  const double position = std::round(seconds * 100);
  if (!(position > 0)) return 0;
  return position < 2e9 ? static_cast<int>(position) : 2000000000;
}

double SliderSeconds(int position) {
  return position / 100.0;
}

VideoPropsModel::VideoPropsModel(const CZervaVideo& video, PreviewRequest preview)
    : durationSrc_(video.durationSrc),
      begin_(video.begin),
      end_(video.end),
      thumbpos_(video.thumbpos),
      preview_(std::move(preview)) {}

void VideoPropsModel::SetBegin(double seconds) {
  if (!std::isfinite(seconds)) return;
  const double beginBefore = begin_, endBefore = end_, thumbBefore = thumbpos_;
  begin_ = std::clamp(seconds, 0.0, std::max(end_, 0.0));
  if (begin_ > thumbpos_) thumbpos_ = begin_;
  Changed(beginBefore, endBefore, thumbBefore);
}

void VideoPropsModel::SetEnd(double seconds) {
  if (!std::isfinite(seconds)) return;
  const double beginBefore = begin_, endBefore = end_, thumbBefore = thumbpos_;
  end_ = std::clamp(seconds, begin_, std::max(durationSrc_, begin_));
  if (end_ < thumbpos_) thumbpos_ = end_;
  Changed(beginBefore, endBefore, thumbBefore);
}

void VideoPropsModel::SetThumbPos(double seconds) {
  if (!std::isfinite(seconds)) return;
  const double beginBefore = begin_, endBefore = end_, thumbBefore = thumbpos_;
  thumbpos_ = std::clamp(seconds, begin_, std::max(end_, begin_));
  Changed(beginBefore, endBefore, thumbBefore);
}

void VideoPropsModel::Set(VideoPropsControl control, double seconds) {
  switch (control) {
    case VideoPropsControl::kBegin:
      SetBegin(seconds);
      break;
    case VideoPropsControl::kEnd:
      SetEnd(seconds);
      break;
    case VideoPropsControl::kThumbPos:
      SetThumbPos(seconds);
      break;
  }
}

double VideoPropsModel::Get(VideoPropsControl control) const {
  switch (control) {
    case VideoPropsControl::kBegin:
      return begin_;
    case VideoPropsControl::kEnd:
      return end_;
    case VideoPropsControl::kThumbPos:
      return thumbpos_;
  }
  return 0;
}

void VideoPropsModel::Changed(double beginBefore, double endBefore, double thumbBefore) {
  if (!preview_) return;
  if (begin_ != beginBefore) preview_(VideoPropsControl::kBegin, begin_);
  if (end_ != endBefore) preview_(VideoPropsControl::kEnd, end_);
  if (thumbpos_ != thumbBefore) preview_(VideoPropsControl::kThumbPos, thumbpos_);
}

VideoPropsModel::Outcome VideoPropsModel::Apply(CZervaVideo& video) const {
  Outcome outcome;
  if (begin_ != video.begin || end_ != video.end) {
    outcome.trimChanged = true;
    video.videoChanged = true;
    video.SetBegin(begin_);
    video.SetEnd(end_);
  }
  if (thumbpos_ != video.thumbpos) {
    outcome.thumbPosChanged = true;
    video.thumbPosChanged = true;
    video.SetThumbPos(thumbpos_);
  }
  return outcome;
}

bool MakeVideoPreview(const CZervaVideo& video, VideoPropsControl control, double position,
                      bool fast, int rotation, int sizeHint, int maxArea, Bitmap* image,
                      const std::atomic<bool>* stop) {
  const std::string path = TempFolder() + "videoprops_" + ControlName(control) + ".jpg";
  const bool made = MakeVideoThumb(video, path, image, sizeHint, std::max(position, 0.0), rotation,
                                   fast, maxArea, kVideoThumbTimeoutMs, stop);
  std::remove(path.c_str());
  return made;
}

}  // namespace zerva
