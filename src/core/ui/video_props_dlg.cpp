#include "ui/video_props_dlg.h"

#include "lang/text.h"
#include "model/zerva_video.h"

namespace zerva {

VideoPropsTexts VideoPropsDialogTexts() {
  VideoPropsTexts texts;
  texts.title = Text("VideoPropsDlgTitle");
  texts.intro = Text("VideoPropsDlgText");
  texts.beginLabel = Text("VideoPropsDlgBegin");
  texts.endLabel = Text("VideoPropsDlgEnd");
  texts.thumbPosLabel = Text("VideoPropsDlgThumbPos");
  texts.lengthLabel = Text("VideoPropsDlgLength");
  texts.beginTooltip = Text("VideoPropsDlgBeginTool");
  texts.endTooltip = Text("VideoPropsDlgEndTool");
  texts.thumbPosTooltip = Text("VideoPropsDlgThumbPosTool");
  texts.fastMode = Text("msgFastMode");
  texts.fastModeTooltip = Text("msgFastModeTool");
  texts.noPreview = Text("VideoPropsDlgNoPreview");
  texts.ok = Text("btnOK");
  texts.cancel = Text("btnCancel");
  return texts;
}

CVideoProps::CVideoProps(const CZervaVideo& video, VideoPropsView& view, UiThread& ui,
                         VideoPreviewSettings preview)
    : view_(view),
      model_(video,
             [this](VideoPropsControl control, double seconds) { AskPreview(control, seconds); }),
      worker_(video, preview, ui, [this](const ImagePtr& frame) { OnFrame(frame); }) {}

CVideoProps::~CVideoProps() {
  worker_.Stop();
  view_.SetEvents(nullptr);
}

bool CVideoProps::DoModal() {
  view_.SetTexts(VideoPropsDialogTexts());
  view_.SetSliderRange(model_.SliderMax());
  view_.SetFastMode(model_.fastMode);
  ShowValues();
  view_.SetEvents(this);
  // The picture the user starts from: the current thumbnail frame.
  AskPreview(VideoPropsControl::kThumbPos, model_.ThumbPos());
  const bool ok = view_.RunModal();
  view_.SetEvents(nullptr);
  worker_.Stop();
  return ok;
}

void CVideoProps::OnSliderMoved(VideoPropsControl control, int position) {
  model_.SetSlider(control, position);
  // The model may have held the value in its range or carried the thumbnail along.
  ShowValues();
}

void CVideoProps::OnFastModeChanged(bool fast) {
  if (model_.fastMode == fast) return;
  model_.fastMode = fast;
  // The frame the user looks at, taken the other way.
  AskPreview(lastControl_, model_.Get(lastControl_));
}

void CVideoProps::ShowValues() {
  for (const VideoPropsControl control :
       {VideoPropsControl::kBegin, VideoPropsControl::kEnd, VideoPropsControl::kThumbPos}) {
    view_.SetSlider(control, model_.Slider(control), model_.TimeText(control));
  }
  view_.SetLength(model_.LengthText());
}

void CVideoProps::AskPreview(VideoPropsControl control, double seconds) {
  lastControl_ = control;
  worker_.Request(control, seconds, model_.fastMode);
}

void CVideoProps::OnFrame(const ImagePtr& frame) {
  ++previewsShown_;
  view_.SetPreview(frame);
}

}  // namespace zerva
