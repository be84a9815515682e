#include "gui/popup_frame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

namespace zerva::gui {

PopupFrame::PopupFrame(QWidget* parent) : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  setAutoFillBackground(true);
}

void PopupFrame::showEvent(QShowEvent* event) {
  adjustSize();
  if (anchor_ != nullptr) {
    const QPoint below = anchor_->mapToGlobal(QPoint(0, anchor_->height()));
    QPoint at = below;
    // Inside the anchor's window: flush with the anchor's right edge when it would stick out.
    const QRect window = anchor_->window()->geometry();
    if (at.x() + width() > window.right()) {
      at.setX(std::max(window.left(), below.x() + anchor_->width() - width()));
    }
    // Above the anchor when there is no room below it on the screen.
    if (const QScreen* screen = anchor_->screen()) {
      if (at.y() + height() > screen->availableGeometry().bottom()) {
        at.setY(anchor_->mapToGlobal(QPoint()).y() - height());
      }
    }
    move(at);
  }
  QFrame::showEvent(event);
  qApp->installEventFilter(this);
  activateWindow();
  if (!isAncestorOf(QApplication::focusWidget())) focusNextChild();
}

void PopupFrame::hideEvent(QHideEvent* event) {
  qApp->removeEventFilter(this);
  QFrame::hideEvent(event);
  emit closed();
}

void PopupFrame::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QFrame::keyPressEvent(event);
}

bool PopupFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress || !isVisible()) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget == this || isAncestorOf(widget)) return false;
  // Only clicks in the window it belongs to: a message box asked meanwhile keeps it open.
  if (parentWidget() == nullptr || widget->window() != parentWidget()->window()) return false;
  close();
  // A click on its own control only closes it, rather than opening it again.
  return anchor_ != nullptr && (widget == anchor_ || anchor_->isAncestorOf(widget));
}

}  // namespace zerva::gui
