// The video properties dialog's window: the preview frame, the begin, end and thumbnail sliders
// with their times, the length of the kept part, the fast-mode box and OK / Cancel. Enter is OK
// and Esc is Cancel; the tab order follows the layout. CVideoProps drives it through
// QtVideoPropsView.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

#include "ui/video_props_view.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace zerva::gui {

class VideoPropsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit VideoPropsDialog(QWidget* parent);

  // The preview area's size in pixels.
  static constexpr int kPreviewWidth = 400;
  static constexpr int kPreviewHeight = 300;

  QSlider* Slider(VideoPropsControl control) const;
  QLabel* Time(VideoPropsControl control) const;
  QLabel* Length() const { return length_; }
  QLabel* Preview() const { return preview_; }
  QCheckBox* FastMode() const { return fastMode_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  void SetTexts(const VideoPropsTexts& texts);
  // Null: the "no preview" text.
  void SetPreview(const QImage& frame);

 signals:
  void sliderMoved(zerva::VideoPropsControl control, int position);
  void fastModeChanged(bool fast);

 private:
  struct Row {
    QLabel* label = nullptr;
    QSlider* slider = nullptr;
    QLabel* time = nullptr;
  };

  QLabel* intro_;
  QLabel* preview_;
  std::array<Row, 3> rows_;
  QLabel* lengthLabel_;
  QLabel* length_;
  QCheckBox* fastMode_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QString noPreview_;
};

// The window as CVideoProps sees it; used on the user-interface thread only.
class QtVideoPropsView : public VideoPropsView {
 public:
  explicit QtVideoPropsView(QWidget* parent);
  ~QtVideoPropsView() override;

  void SetEvents(VideoPropsEvents* events) override { events_ = events; }
  void SetTexts(const VideoPropsTexts& texts) override;
  void SetSliderRange(int maximum) override;
  void SetSlider(VideoPropsControl control, int position, const std::string& time) override;
  void SetLength(const std::string& text) override;
  void SetFastMode(bool checked) override;
  void SetPreview(const ImagePtr& frame) override;
  bool RunModal() override;

  // Null once its parent took it down.
  VideoPropsDialog* Window() const { return window_.data(); }

 private:
  QPointer<VideoPropsDialog> window_;
  VideoPropsEvents* events_ = nullptr;
};

// Makes the windows over `parent`; a window made after `parent` went has no parent.
VideoPropsViewFactory QtVideoPropsViews(QWidget* parent);

}  // namespace zerva::gui
