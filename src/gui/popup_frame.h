// A small window that opens under a control, such as the album editor's protection popup. It
// closes on Esc, on a click elsewhere in its window and on a click on its control, and reports
// every close. A question asked meanwhile (a message box) leaves it open, so that the answer
// can still change what it shows.
#pragma once

#include <QFrame>
#include <QPointer>

namespace zerva::gui {

class PopupFrame : public QFrame {
  Q_OBJECT

 public:
  explicit PopupFrame(QWidget* parent);

  // The control the popup opens under.
  void SetAnchor(QWidget* anchor) { anchor_ = anchor; }

 signals:
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> anchor_;
};

}  // namespace zerva::gui
