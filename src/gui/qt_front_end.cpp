#include "gui/qt_front_end.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/trace.h"
#include "gui/category_form_dialog.h"
#include "gui/gps_map_views.h"
#include "gui/original_progress_window.h"
#include "gui/qt_text.h"
#include "gui/trace_window.h"
#include "gui/video_props_dialog.h"
#include "gui/zerva_window.h"
#include "ui/category_form_windows.h"
#include "ui/user_bar.h"
#include "ui/zerva_app.h"

namespace zerva::gui {
namespace {

class QtMainWindow : public MainWindow {
 public:
  QtMainWindow(CzervaApp& app, QtFrontEnd& frontEnd)
      : app_(app), frontEnd_(frontEnd), window_(std::make_unique<ZervaWindow>(app, frontEnd)) {
    // Originals sent explicitly show their progress windows over the main window.
    app_.SetOriginalProgressViews(QtProgressViews(window_.get()));
    // The video properties dialog opens over the main window.
    app_.SetVideoPropsViews(QtVideoPropsViews(window_.get()));
    // The map picker opens over the main window; without an embedded browser maps open outside.
    app_.SetGpsViews(QtGpsViews(window_.get()));
    // Category forms open over the main window.
    SetCategoryFormWindows([window = window_.get()]() -> std::unique_ptr<CategoryFormView> {
      return std::make_unique<CategoryFormDialog>(window);
    });
    // The self-update reports its progress in the user bar's status line.
    notify_ = std::make_shared<QtWindowTarget>([window = window_.get()](const WindowMessage& m) {
      if (m.id == kMsgTransferProgress) {
        window->Controller().UserBar().SetUpdateStatus(static_cast<int>(m.wParam));
      }
      return MessageParam{0};
    });
  }
  ~QtMainWindow() override {
    app_.SetOriginalProgressViews({});
    app_.SetVideoPropsViews({});
    app_.SetGpsViews({});
    SetCategoryFormWindows({});
    notify_->Close();
  }

  int Run() override {
    QEventLoop loop;
    QObject::connect(window_.get(), &ZervaWindow::closed, &loop, &QEventLoop::quit);
    window_->Start();
    if (frontEnd_.OnShown()) {
      QTimer::singleShot(0, window_.get(), [this] { frontEnd_.OnShown()(*window_); });
    }
    loop.exec();
    return 0;
  }
  std::shared_ptr<MessageTarget> NotifyTarget() override { return notify_; }

 private:
  CzervaApp& app_;
  QtFrontEnd& frontEnd_;
  std::unique_ptr<ZervaWindow> window_;
  std::shared_ptr<QtWindowTarget> notify_;
};

}  // namespace

QtFrontEnd::QtFrontEnd() : QtFrontEnd(Options()) {}

QtFrontEnd::QtFrontEnd(Options options)
    : dialogs_(options.dialogs ? std::move(options.dialogs) : std::make_unique<QtDialogs>()),
      onShown_(std::move(options.onShown)) {}

QtFrontEnd::~QtFrontEnd() {
  CloseTraceWindow();
}

void QtFrontEnd::OpenUrlSignedIn(CzervaApp& app, const std::string& url) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  AppFrontEnd::OpenUrlSignedIn(app, url);
  QGuiApplication::restoreOverrideCursor();
}

void QtFrontEnd::ShowPlainMessage(const std::string& text, const std::string& caption) {
  RunOnGuiThread([&] {
    QMessageBox box(QMessageBox::Critical, ToQt(caption), ToQt(text), QMessageBox::Ok);
    box.exec();
  });
}

std::unique_ptr<MainWindow> QtFrontEnd::CreateMainWindow(CzervaApp& app) {
  return std::make_unique<QtMainWindow>(app, *this);
}

std::shared_ptr<MessageTarget> QtFrontEnd::OpenTraceWindow() {
  if (!trace_) trace_ = std::make_unique<TraceWindow>();
  trace_->show();
  return trace_->Target();
}

void QtFrontEnd::ShowTraceWindow() {
  const bool wasOpen = trace_ && trace_->isVisible();
  const std::shared_ptr<MessageTarget> target = OpenTraceWindow();
  if (!wasOpen) SetTraceWindow(target.get());
}

void QtFrontEnd::CloseTraceWindow() {
  if (!trace_) return;
  // Trace stops posting before the window goes.
  SetTraceWindow(nullptr);
  trace_.reset();
}

std::string QtFrontEnd::TraceWindowText() const {
  return trace_ ? trace_->ShownText() : std::string();
}

}  // namespace zerva::gui
