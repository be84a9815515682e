#include "gui/original_progress_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui_thread.h"
#include "lang/text.h"

namespace zerva::gui {

OriginalProgressWindow::OriginalProgressWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("originalProgress");
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  message_ = new QLabel(this);
  message_->setObjectName("originalMessage");
  message_->setWordWrap(true);
  message_->setMinimumWidth(380);
  layout->addWidget(message_);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("originalBar");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  auto* row = new QHBoxLayout;
  remainingLabel_ = new QLabel(ToQtPlain(Text("msgTimeRemaining")), this);
  remainingLabel_->setObjectName("originalRemainingLabel");
  remaining_ = new QLabel(this);
  remaining_->setObjectName("originalRemaining");
  row->addWidget(remainingLabel_);
  row->addWidget(remaining_, 1);
  cancelButton_ = new QPushButton(ToQtPlain(Text("btnCancel")), this);
  cancelButton_->setObjectName("originalCancel");
  cancelButton_->setAutoDefault(false);
  row->addWidget(cancelButton_);
  layout->addLayout(row);
  connect(cancelButton_, &QPushButton::clicked, this, &OriginalProgressWindow::reject);
}

void OriginalProgressWindow::SetTexts(const QString& caption, const QString& message) {
  setWindowTitle(caption);
  message_->setText(message);
  adjustSize();
}

void OriginalProgressWindow::SetProgress(int percent) {
  bar_->setValue(std::clamp(percent, 0, 100));
}

void OriginalProgressWindow::SetRemaining(const QString& label, const QString& estimate) {
  remainingLabel_->setText(label);
  remaining_->setText(estimate);
}

void OriginalProgressWindow::reject() {
  // The upload ends at its next request; the task then closes the window.
  if (cancelled_) return;
  cancelled_ = true;
  cancelButton_->setEnabled(false);
  if (cancel_) cancel_();
}

void OriginalProgressWindow::closeEvent(QCloseEvent* event) {
  if (!isVisible() || cancelled_ || !cancel_) {
    event->accept();
    return;
  }
  reject();
  event->ignore();
}

QtProgressWindowView::QtProgressWindowView(QWidget* parent)
    : window_(new OriginalProgressWindow(parent)) {}

QtProgressWindowView::~QtProgressWindowView() {
  if (window_ == nullptr) return;
  window_->SetCancelHandler(nullptr);
  if (OnGuiThread()) {
    delete window_.data();
  } else {
    window_->deleteLater();
  }
}

void QtProgressWindowView::Show(const std::string& caption, const std::string& message) {
  if (window_ == nullptr) return;
  window_->SetTexts(ToQt(caption), ToQtPlain(message));
  if (QWidget* owner = window_->parentWidget(); owner != nullptr && owner->isVisible()) {
    window_->move(owner->geometry().center() - window_->rect().center());
  }
  window_->show();
  window_->raise();
}

void QtProgressWindowView::SetProgress(int percent) {
  if (window_ != nullptr) window_->SetProgress(percent);
}

void QtProgressWindowView::SetRemaining(const std::string& label, const std::string& estimate) {
  if (window_ != nullptr) window_->SetRemaining(ToQtPlain(label), ToQt(estimate));
}

void QtProgressWindowView::Close() {
  if (window_ == nullptr) return;
  window_->SetCancelHandler(nullptr);
  window_->hide();
}

void QtProgressWindowView::SetCancelHandler(std::function<void()> cancel) {
  if (window_ != nullptr) window_->SetCancelHandler(std::move(cancel));
}

ProgressViewFactory QtProgressViews(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  return [owner]() -> std::unique_ptr<ProgressWindowView> {
    return std::make_unique<QtProgressWindowView>(owner.data());
  };
}

}  // namespace zerva::gui
