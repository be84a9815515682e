#include "gui/wait_popup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace zerva::gui {

WaitPopup::WaitPopup()
    : QWidget(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
  setObjectName("waitPopup");
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(this);
  text_->setWordWrap(true);
  text_->setMinimumWidth(320);
  layout->addWidget(text_);
}

void WaitPopup::Open(QWidget* owner, const QString& title, const QString& text) {
  setWindowTitle(title);
  text_->setText(text);
  adjustSize();
  if (owner != nullptr && owner->isVisible()) {
    const QRect area = owner->geometry();
    move(area.center() - rect().center());
  }
  show();
  raise();
  if (!cursorSet_) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    cursorSet_ = true;
  }
  // The caller blocks the event loop next; paint now so the text is seen meanwhile.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WaitPopup::Close() {
  hide();
  if (cursorSet_) {
    QGuiApplication::restoreOverrideCursor();
    cursorSet_ = false;
  }
}

QString WaitPopup::Text() const {
  return text_->text();
}

}  // namespace zerva::gui
