// The video properties dialog on the screen: the preview picture, three sliders (begin, end,
// thumbnail position) in hundredths of a second with their time texts, the length of the kept
// part, the fast-mode box and OK / Cancel. The controller (CVideoProps) fills it and hears the
// user through VideoPropsEvents; the Qt window draws it, tests use a fake.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "media/video_props.h"
#include "model/image_ptr.h"

namespace zerva {

// The dialog's texts, already translated.
struct VideoPropsTexts {
  std::string title;
  std::string intro;  // the line above the preview
  std::string beginLabel;
  std::string endLabel;
  std::string thumbPosLabel;
  std::string lengthLabel;
  std::string beginTooltip;
  std::string endTooltip;
  std::string thumbPosTooltip;
  std::string fastMode;
  std::string fastModeTooltip;
  std::string noPreview;  // shown where no frame could be made
  std::string ok;
  std::string cancel;
};

// What the dialog hears from the screen, on the user-interface thread.
class VideoPropsEvents {
 public:
  virtual ~VideoPropsEvents() = default;
  // The user moved a slider to `position` (hundredths of a second).
  virtual void OnSliderMoved(VideoPropsControl control, int position) = 0;
  virtual void OnFastModeChanged(bool fast) = 0;
};

class VideoPropsView {
 public:
  virtual ~VideoPropsView() = default;

  // Where the user's actions go; null: nowhere.
  virtual void SetEvents(VideoPropsEvents* events) = 0;
  virtual void SetTexts(const VideoPropsTexts& texts) = 0;
  // Every slider runs from 0 to `maximum`.
  virtual void SetSliderRange(int maximum) = 0;
  // Puts a slider at `position` with its time text, without telling the events.
  virtual void SetSlider(VideoPropsControl control, int position, const std::string& time) = 0;
  virtual void SetLength(const std::string& text) = 0;
  virtual void SetFastMode(bool checked) = 0;
  // The preview frame, fitted into the preview area; null: the "no preview" text.
  virtual void SetPreview(const ImagePtr& frame) = 0;
  // Shows the dialog and returns when it closes: true for OK (the button or Enter), false for
  // Cancel, Esc or the window's close button. Messages keep being delivered meanwhile.
  virtual bool RunModal() = 0;
};

// Makes the dialog's window; the front end sets one on the application. Null: nothing is shown.
using VideoPropsViewFactory = std::function<std::unique_ptr<VideoPropsView>()>;

}  // namespace zerva
