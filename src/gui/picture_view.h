// A picture held in memory, shown in a square: filled white, the picture fitted into it keeping
// its aspect and centred, the square framed in black; only the frame while there is no picture.
// The upload page's thumbnail of the item being sent. Made expanding, it fills what the layout
// gives it on a dark ground without a frame instead (the photo detail page's large picture).
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
  // Takes the room the layout gives it instead of the square.
  void SetExpanding();
  int Side() const { return side_; }
  // A null image shows only the frame.
  void SetImage(QImage image);
  const QImage& Image() const { return image_; }
  // Where the picture is drawn inside the widget; empty without one.
  QRect PictureRect() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect Square() const;

  int side_ = 100;
  bool expanding_ = false;
  QImage image_;
};

}  // namespace zerva::gui
