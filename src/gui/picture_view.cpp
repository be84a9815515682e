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

void PictureView::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

QRect PictureView::Square() const {
  return QRect(0, 0, side_, side_);
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
  if (!image_.isNull()) {
    painter.fillRect(square, Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PictureRect(), image_);
  }
  painter.setPen(Qt::black);
  painter.drawRect(square.adjusted(0, 0, -1, -1));
}

}  // namespace zerva::gui
