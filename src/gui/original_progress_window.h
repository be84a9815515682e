// The progress window of an original video file being sent: caption, message, a bar from 0 to
// 100, the estimate of the time left and a cancel button. Modeless; the task that sends the file
// closes it when the upload ends. Cancelling (the button, Esc, the window's close button) asks
// the upload to stop; the window stays until it has.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "jobs/send_original_video.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zerva::gui {

class OriginalProgressWindow : public QDialog {
  Q_OBJECT

 public:
  explicit OriginalProgressWindow(QWidget* parent);

  void SetTexts(const QString& caption, const QString& message);
  void SetProgress(int percent);
  void SetRemaining(const QString& label, const QString& estimate);
  void SetCancelHandler(std::function<void()> cancel) { cancel_ = std::move(cancel); }
  bool CancelRequested() const { return cancelled_; }

  QProgressBar* Bar() const { return bar_; }
  QPushButton* CancelButton() const { return cancelButton_; }

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* message_;
  QProgressBar* bar_;
  QLabel* remainingLabel_;
  QLabel* remaining_;
  QPushButton* cancelButton_;
  std::function<void()> cancel_;
  bool cancelled_ = false;
};

// The window as the sending task sees it. Used on the user-interface thread only.
class QtProgressWindowView : public ProgressWindowView {
 public:
  explicit QtProgressWindowView(QWidget* parent);
  ~QtProgressWindowView() override;

  void Show(const std::string& caption, const std::string& message) override;
  void SetProgress(int percent) override;
  void SetRemaining(const std::string& label, const std::string& estimate) override;
  void Close() override;
  void SetCancelHandler(std::function<void()> cancel) override;

  // Null once the main window took it down with itself.
  OriginalProgressWindow* Window() const { return window_.data(); }

 private:
  QPointer<OriginalProgressWindow> window_;
};

// Makes the windows over `parent`; a window made after `parent` went has no parent.
ProgressViewFactory QtProgressViews(QWidget* parent);

}  // namespace zerva::gui
