#include "gui/picture_view.h"

#include <QPainter>

namespace zerva::gui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setFixedSize(side_, side_);
}

void PictureView::SetSide(int side) {
  side_ = std::max(side, 8);
  setFixedSize(side_, side_);
  update();
}

void PictureView::SetExpanding() {
  expanding_ = true;
  setMinimumSize(160, 120);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  updateGeometry();
  update();
}

QSize PictureView::sizeHint() const {
  return expanding_ ? QSize(480, 360) : QSize(side_, side_);
}

void PictureView::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

QRect PictureView::Square() const {
  return expanding_ ? rect() : QRect(0, 0, side_, side_);
}

QRect PictureView::PictureRect() const {
  if (image_.isNull()) return {};
  // Inside the one-pixel frame.
  const QRect inner = Square().adjusted(1, 1, -1, -1);
  const QSize fitted = image_.size().scaled(inner.size(), Qt::KeepAspectRatio);
  QRect rect(QPoint(), fitted);
  rect.moveCenter(inner.center());
  return rect;
}

void PictureView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect square = Square();
  if (expanding_) {
    painter.fillRect(square, QColor(0x3d, 0x38, 0x46));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!image_.isNull()) painter.drawImage(PictureRect(), image_);
    return;
  }
  if (!image_.isNull()) {
    painter.fillRect(square, Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PictureRect(), image_);
  }
  painter.setPen(Qt::black);
  painter.drawRect(square.adjusted(0, 0, -1, -1));
}

}  // namespace zerva::gui
