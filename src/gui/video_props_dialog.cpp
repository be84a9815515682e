#include "gui/video_props_dialog.h"

#include <FreeImagePlus.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "gui/item_image_qt.h"
#include "gui/qt_text.h"
#include "gui/qt_ui_thread.h"

namespace zerva::gui {
namespace {

constexpr VideoPropsControl kControls[] = {VideoPropsControl::kBegin, VideoPropsControl::kEnd,
                                           VideoPropsControl::kThumbPos};

size_t RowOf(VideoPropsControl control) {
  return static_cast<size_t>(control);
}

}  // namespace

VideoPropsDialog::VideoPropsDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  intro_ = new QLabel(this);
  intro_->setWordWrap(true);
  layout->addWidget(intro_);

  preview_ = new QLabel(this);
  preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
  preview_->setAlignment(Qt::AlignCenter);
  preview_->setStyleSheet("QLabel { background: black; color: #d0d0d0; }");
  layout->addWidget(preview_, 0, Qt::AlignHCenter);

  auto* grid = new QGridLayout();
  int line = 0;
  for (const VideoPropsControl control : kControls) {
    Row& row = rows_[RowOf(control)];
    row.label = new QLabel(this);
    row.slider = new QSlider(Qt::Horizontal, this);
    row.slider->setSingleStep(10);  // a tenth of a second
    row.slider->setPageStep(100);   // a second
    row.time = new QLabel(this);
    // Room for "99:59.99" so that the sliders do not move while the times change.
    row.time->setMinimumWidth(row.time->fontMetrics().horizontalAdvance("000:00.00"));
    row.time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.label->setBuddy(row.slider);
    grid->addWidget(row.label, line, 0);
    grid->addWidget(row.slider, line, 1);
    grid->addWidget(row.time, line, 2);
    connect(row.slider, &QSlider::valueChanged, this,
            [this, control](int position) { emit sliderMoved(control, position); });
    ++line;
  }
  lengthLabel_ = new QLabel(this);
  length_ = new QLabel(this);
  length_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(lengthLabel_, line, 0);
  grid->addWidget(length_, line, 2);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  fastMode_ = new QCheckBox(this);
  connect(fastMode_, &QCheckBox::toggled, this, &VideoPropsDialog::fastModeChanged);
  layout->addWidget(fastMode_);

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QDialogButtonBox::Ok);
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  // Enter anywhere in the dialog is OK; Esc is QDialog's reject.
  ok_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  QWidget* order[] = {rows_[0].slider, rows_[1].slider, rows_[2].slider, fastMode_, ok_, cancel_};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  rows_[0].slider->setFocus();
}

QSlider* VideoPropsDialog::Slider(VideoPropsControl control) const {
  return rows_[RowOf(control)].slider;
}

QLabel* VideoPropsDialog::Time(VideoPropsControl control) const {
  return rows_[RowOf(control)].time;
}

void VideoPropsDialog::SetTexts(const VideoPropsTexts& texts) {
  setWindowTitle(ToQt(texts.title));
  intro_->setText(ToQtPlain(texts.intro));
  const std::string* labels[] = {&texts.beginLabel, &texts.endLabel, &texts.thumbPosLabel};
  const std::string* tips[] = {&texts.beginTooltip, &texts.endTooltip, &texts.thumbPosTooltip};
  for (size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].label->setText(ToQt(*labels[i]));
    rows_[i].slider->setToolTip(ToQt(*tips[i]));
    rows_[i].slider->setAccessibleName(ToQt(*labels[i]));
  }
  lengthLabel_->setText(ToQt(texts.lengthLabel));
  fastMode_->setText(ToQt(texts.fastMode));
  fastMode_->setToolTip(ToQt(texts.fastModeTooltip));
  ok_->setText(ToQt(texts.ok));
  cancel_->setText(ToQt(texts.cancel));
  noPreview_ = ToQt(texts.noPreview);
  if (preview_->pixmap().isNull()) preview_->setText(noPreview_);
}

void VideoPropsDialog::SetPreview(const QImage& frame) {
  if (frame.isNull()) {
    preview_->setPixmap(QPixmap());
    preview_->setText(noPreview_);
    return;
  }
  preview_->setPixmap(QPixmap::fromImage(
      frame.scaled(preview_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

QtVideoPropsView::QtVideoPropsView(QWidget* parent) : window_(new VideoPropsDialog(parent)) {
  QObject::connect(window_.data(), &VideoPropsDialog::sliderMoved,
                   [this](VideoPropsControl control, int position) {
                     if (events_ != nullptr) events_->OnSliderMoved(control, position);
                   });
  QObject::connect(window_.data(), &VideoPropsDialog::fastModeChanged, [this](bool fast) {
    if (events_ != nullptr) events_->OnFastModeChanged(fast);
  });
}

QtVideoPropsView::~QtVideoPropsView() {
  events_ = nullptr;
  if (window_ == nullptr) return;
  if (OnGuiThread()) {
    delete window_.data();
  } else {
    window_->deleteLater();
  }
}

void QtVideoPropsView::SetTexts(const VideoPropsTexts& texts) {
  if (window_ != nullptr) window_->SetTexts(texts);
}

void QtVideoPropsView::SetSliderRange(int maximum) {
  if (window_ == nullptr) return;
  for (const VideoPropsControl control : kControls) {
    const QSignalBlocker quiet(window_->Slider(control));
    window_->Slider(control)->setRange(0, maximum);
  }
}

void QtVideoPropsView::SetSlider(VideoPropsControl control, int position, const std::string& time) {
  if (window_ == nullptr) return;
  const QSignalBlocker quiet(window_->Slider(control));
  window_->Slider(control)->setValue(position);
  window_->Time(control)->setText(ToQt(time));
}

void QtVideoPropsView::SetLength(const std::string& text) {
  if (window_ != nullptr) window_->Length()->setText(ToQt(text));
}

void QtVideoPropsView::SetFastMode(bool checked) {
  if (window_ == nullptr) return;
  const QSignalBlocker quiet(window_->FastMode());
  window_->FastMode()->setChecked(checked);
}

void QtVideoPropsView::SetPreview(const ImagePtr& frame) {
  if (window_ != nullptr) window_->SetPreview(frame ? ImageToQt(*frame) : QImage());
}

bool QtVideoPropsView::RunModal() {
  if (window_ == nullptr) return false;
  return window_->exec() == QDialog::Accepted;
}

VideoPropsViewFactory QtVideoPropsViews(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  return [owner]() -> std::unique_ptr<VideoPropsView> {
    return std::make_unique<QtVideoPropsView>(owner.data());
  };
}

}  // namespace zerva::gui
