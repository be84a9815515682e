// The video properties dialog ("CVideoProps"): the trim points and the thumbnail position of one
// video on VideoPropsModel, shown and edited through a VideoPropsView, with a preview frame made
// on the "VideoProps" thread at every change. The caller applies the model when the dialog
// closes with OK (EditVideoProperties does).
#pragma once

#include <memory>

#include "app/ui_thread.h"
#include "media/video_props.h"
#include "model/image_ptr.h"
#include "ui/video_preview_worker.h"
#include "ui/video_props_view.h"

namespace zerva {

class CZervaVideo;

// The dialog's texts in the current language.
VideoPropsTexts VideoPropsDialogTexts();

class CVideoProps : public VideoPropsEvents {
 public:
  // `video` is copied (the preview thread works on the copy). `view` and `ui` outlive the dialog.
  CVideoProps(const CZervaVideo& video, VideoPropsView& view, UiThread& ui,
              VideoPreviewSettings preview);
  // Stops the preview thread and waits for it.
  ~CVideoProps() override;
  CVideoProps(const CVideoProps&) = delete;
  CVideoProps& operator=(const CVideoProps&) = delete;

  // Fills the view, asks for the frame at the thumbnail position and runs the window. True when
  // it closed with OK. The preview thread is stopped before it returns either way.
  bool DoModal();

  const VideoPropsModel& Model() const { return model_; }
  // The frames shown so far (failed ones included, as "no preview").
  int PreviewsShown() const { return previewsShown_; }
  bool PreviewRunning() const { return worker_.IsRunning(); }

  // --- VideoPropsEvents ---
  void OnSliderMoved(VideoPropsControl control, int position) override;
  void OnFastModeChanged(bool fast) override;

 private:
  // The three sliders, their times and the length as the model holds them.
  void ShowValues();
  void AskPreview(VideoPropsControl control, double seconds);
  void OnFrame(const ImagePtr& frame);

  VideoPropsView& view_;
  VideoPropsModel model_;
  VideoPreviewWorker worker_;
  VideoPropsControl lastControl_ = VideoPropsControl::kThumbPos;
  int previewsShown_ = 0;
};

}  // namespace zerva
