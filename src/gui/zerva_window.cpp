#include "gui/zerva_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/about_dialog.h"
#include "gui/albums_list_widget.h"
#include "gui/form_view.h"
#include "gui/page_widgets.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_front_end.h"
#include "gui/qt_text.h"
#include "gui/thumbnail_list_widget.h"
#include "ui/user_bar.h"
#include "ui/zerva_app.h"

namespace zerva::gui {
namespace {

constexpr int kShowMaximized = 3;

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->size() : QSize(1024, 768);
}

}  // namespace

ZervaWindow::ZervaWindow(CzervaApp& app, QtFrontEnd& frontEnd)
    : QWidget(nullptr), app_(app), frontEnd_(frontEnd) {
  setObjectName("zervaDlg");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  header_ = new QWidget(this);
  headerView_ = new FormView(this);
  BuildHeader(header_, *headerView_);
  stack_ = new QStackedWidget(this);
  stack_->setObjectName("pages");
  PageViews views{};
  for (int i = 0; i < kPageCount; ++i) {
    pageWidgets_[i] = new QWidget(stack_);
    pageWidgets_[i]->setObjectName(PageName(static_cast<PageId>(i)));
    pageViews_[i] = new FormView(this);
    BuildPage(static_cast<PageId>(i), pageWidgets_[i], *pageViews_[i]);
    stack_->addWidget(pageWidgets_[i]);
    views[i] = pageViews_[i];
  }
  userBar_ = new QWidget(this);
  userBarView_ = new FormView(this);
  BuildUserBar(userBar_, *userBarView_);
  layout->addWidget(header_);
  layout->addWidget(stack_, 1);
  layout->addWidget(userBar_);

  frontEnd_.QtAppDialogs().SetOwner(this);
  dlg_ = std::make_unique<CzervaDlg>(app_, *this);
  const QSize screen = ScreenSize();
  dlg_->InitDialog(views, screen.width(), screen.height());
  for (int i = 0; i < kPageCount; ++i) {
    pageViews_[i]->SetEvents(dlg_->Pages().Page(static_cast<PageId>(i)));
  }
  userBarView_->SetEvents(&dlg_->UserBar());
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    connect(primary, &QScreen::geometryChanged, this,
            [this](const QRect& area) { dlg_->OnDisplayChange(area.width(), area.height()); });
  }
  qApp->installEventFilter(this);
}

ZervaWindow::~ZervaWindow() {
  qApp->removeEventFilter(this);
  frontEnd_.QtAppDialogs().SetOwner(nullptr);
  // The controllers go before the widgets, which must no longer reach them meanwhile (a
  // controller that waits for its threads may let the window repaint).
  for (FormView* view : pageViews_) view->SetEvents(nullptr);
  for (QWidget* page : pageWidgets_) {
    for (ThumbnailListWidget* list : page->findChildren<ThumbnailListWidget*>()) {
      list->SetEvents(nullptr);
    }
    for (AlbumsListWidget* list : page->findChildren<AlbumsListWidget*>()) {
      list->SetEvents(nullptr);
    }
  }
  userBarView_->SetEvents(nullptr);
  dlg_.reset();
}

void ZervaWindow::Start() {
  const std::optional<WindowPlacement> placement = dlg_->LoadPlacement();
  if (placement && placement->right > placement->left && placement->bottom > placement->top) {
    setGeometry(placement->left, placement->top, placement->right - placement->left,
                placement->bottom - placement->top);
  } else {
    resize(minimumSize().expandedTo(QSize(960, 700)));
  }
  if (placement && placement->showCmd == kShowMaximized) {
    showMaximized();
  } else {
    show();
  }
  dlg_->ShowFirstPage();
}

PageView& ZervaWindow::Header() {
  return *headerView_;
}

PageView& ZervaWindow::UserBar() {
  return *userBarView_;
}

void ZervaWindow::ShowPage(PageId page, bool shown) {
  if (shown) stack_->setCurrentWidget(PageWidget(page));
}

void ZervaWindow::SetTitle(const std::string& title) {
  setWindowTitle(ToQt(title));
}

void ZervaWindow::SetMinimumSize(int width, int height) {
  setMinimumSize(width, height);
}

Reply ZervaWindow::ShowMessage(const std::string& text, const std::string& caption,
                               MessageKind kind, MessageButtons buttons) {
  return frontEnd_.QtAppDialogs().ShowCaptioned(text, caption, kind, buttons);
}

void ZervaWindow::OpenTraceWindow() {
  frontEnd_.ShowTraceWindow();
}

void ZervaWindow::CloseTraceWindow() {
  frontEnd_.CloseTraceWindow();
}

void ZervaWindow::OpenAboutBox() {
  AboutDialog about(this, app_.VideoConverterPresent(), app_.ProgramFolder(),
                    [this](const std::string& target) { app_.OpenUrl(target); });
  about.exec();
}

void ZervaWindow::Raise() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void ZervaWindow::CloseWindow() {
  // Queued: the page that asks is still handling its click or timer.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void ZervaWindow::closeEvent(QCloseEvent* event) {
  if (!dlg_->OnClose()) {
    event->ignore();
    return;
  }
  WindowPlacement placement;
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.left() + normal.width();
  placement.bottom = normal.top() + normal.height();
  placement.showCmd = isMaximized() ? kShowMaximized : kShowNormal;
  dlg_->SavePlacement(placement);
  event->accept();
  emit closed();
}

bool ZervaWindow::Inside(QObject* object, const QWidget* area) const {
  const auto* widget = qobject_cast<QWidget*>(object);
  return widget != nullptr && (widget == area || area->isAncestorOf(widget));
}

bool ZervaWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && Inside(watched, stack_)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
    if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & both) == both) {
      frontEnd_.ShowTraceWindow();
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonPress &&
      (Inside(watched, header_) || Inside(watched, userBar_))) {
    dlg_->OnBandClicked();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zerva::gui
