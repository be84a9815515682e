// A picture held in memory, shown in a square: filled white, the picture fitted into it keeping
// its aspect and centred, the square framed in black; only the frame while there is no picture.
// The upload page's thumbnail of the item being sent.
#pragma once

#include <QImage>
#include <QWidget>

namespace zerva::gui {

class PictureView : public QWidget {
  Q_OBJECT

 public:
  explicit PictureView(QWidget* parent = nullptr);

  // The square's side in pixels.
  void SetSide(int side);
  int Side() const { return side_; }
  // A null image shows only the frame.
  void SetImage(QImage image);
  const QImage& Image() const { return image_; }
  // Where the picture is drawn inside the widget; empty without one.
  QRect PictureRect() const;

  QSize sizeHint() const override { return {side_, side_}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect Square() const;

  int side_ = 100;
  QImage image_;
};

}  // namespace zerva::gui
