// The wait popup: a small modeless window with a title and a text, shown over the main window
// with the wait cursor while a synchronous call to the service runs. One is made and reused.
#pragma once

#include <QWidget>

class QLabel;

namespace zerva::gui {

class WaitPopup : public QWidget {
  Q_OBJECT

 public:
  WaitPopup();
  // Shows (or retitles) the popup over `owner` and paints it before the caller blocks.
  void Open(QWidget* owner, const QString& title, const QString& text);
  void Close();
  QString Text() const;

 private:
  QLabel* text_;
  bool cursorSet_ = false;
};

}  // namespace zerva::gui
