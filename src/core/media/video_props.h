// The video properties dialog without its window: the trim points and the thumbnail position
// the user edits, held in their ranges, with the slider and time texts the window shows and a
// preview frame asked for at every change. The caller applies the result when the dialog closes
// with OK.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "media/bitmap.h"

namespace zerva {

class CZervaVideo;

enum class VideoPropsControl { kBegin, kEnd, kThumbPos };

// "%d:%.2d.%.2d": minutes, seconds and hundredths (truncated) of a time in seconds.
std::string FormatVideoTime(double seconds);
// Slider positions are hundredths of a second.
int SliderPosition(double seconds);
double SliderSeconds(int position);

class VideoPropsModel {
 public:
  // Asked for a preview frame whenever one of the values changed (on the dialog's worker).
  using PreviewRequest = std::function<void(VideoPropsControl control, double seconds)>;

  explicit VideoPropsModel(const CZervaVideo& video, PreviewRequest preview = {});

  // Each value is held in its range: begin within [0, end], end within [begin, the source's
  // length], the thumbnail position within [begin, end]. Moving begin past the thumbnail
  // position, or end before it, takes the thumbnail position along.
  void SetBegin(double seconds);
  void SetEnd(double seconds);
  void SetThumbPos(double seconds);
  void Set(VideoPropsControl control, double seconds);
  void SetSlider(VideoPropsControl control, int position) { Set(control, SliderSeconds(position)); }

  double Get(VideoPropsControl control) const;
  double Begin() const { return begin_; }
  double End() const { return end_; }
  double ThumbPos() const { return thumbpos_; }
  double Length() const { return end_ - begin_; }
  int Slider(VideoPropsControl control) const { return SliderPosition(Get(control)); }
  int SliderMax() const { return SliderPosition(durationSrc_); }
  std::string TimeText(VideoPropsControl control) const { return FormatVideoTime(Get(control)); }
  std::string LengthText() const { return FormatVideoTime(Length()); }

  // The fast-mode check box (checked at first): quick but less exact preview frames.
  bool fastMode = true;

  struct Outcome {
    bool trimChanged = false;      // begin or end differ: the video must be converted again
    bool thumbPosChanged = false;  // the item's thumbnail must be made again
  };
  // OK: stores what differs from the record and sets its videoChanged / thumbPosChanged flags.
  Outcome Apply(CZervaVideo& video) const;

 private:
  void Changed(double beginBefore, double endBefore, double thumbBefore);

  double durationSrc_;
  double begin_;
  double end_;
  double thumbpos_;
  PreviewRequest preview_;
};

// The preview frame for a control, as the dialog's worker makes it: a JPEG into a temporary file
// named after the control, loaded into `image`, then deleted. `position` is taken as given (no
// retry elsewhere). Setting `stop` ends a run that is under way without a frame.
bool MakeVideoPreview(const CZervaVideo& video, VideoPropsControl control, double position,
                      bool fast, int rotation, int sizeHint, int maxArea, Bitmap* image,
                      const std::atomic<bool>* stop = nullptr);

}  // namespace zerva
