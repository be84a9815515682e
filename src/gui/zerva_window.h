// The main window: header band, page area with the nine pages, and user bar, around the
// window's controller. It forwards the toolkit's events to the controller and draws what the
// controller sets.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "ui/main_window_view.h"
#include "ui/zerva_dlg.h"

class QStackedWidget;

namespace zerva {
class CzervaApp;
}

namespace zerva::gui {

class FormView;
class QtFrontEnd;

class ZervaWindow : public QWidget, public MainWindowView {
  Q_OBJECT

 public:
  ZervaWindow(CzervaApp& app, QtFrontEnd& frontEnd);
  ~ZervaWindow() override;

  // Restores the placement, shows the window and makes the first move (the login page).
  void Start();

  CzervaDlg& Controller() { return *dlg_; }
  FormView& PageForm(PageId page) { return *pageViews_[static_cast<int>(page)]; }
  QWidget* PageWidget(PageId page) const { return pageWidgets_[static_cast<int>(page)]; }
  FormView& HeaderForm() { return *headerView_; }
  FormView& UserBarForm() { return *userBarView_; }

  PageView& Header() override;
  PageView& UserBar() override;
  void ShowPage(PageId page, bool shown) override;
  void SetTitle(const std::string& title) override;
  void SetMinimumSize(int width, int height) override;
  Reply ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                    MessageButtons buttons) override;
  void OpenTraceWindow() override;
  void CloseTraceWindow() override;
  void OpenAboutBox() override;
  void Raise() override;
  void CloseWindow() override;

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Inside(QObject* object, const QWidget* area) const;

  CzervaApp& app_;
  QtFrontEnd& frontEnd_;
  std::unique_ptr<CzervaDlg> dlg_;
  FormView* headerView_;
  FormView* userBarView_;
  std::array<FormView*, kPageCount> pageViews_{};
  std::array<QWidget*, kPageCount> pageWidgets_{};
  QWidget* header_;
  QWidget* userBar_;
  QStackedWidget* stack_;
};

}  // namespace zerva::gui
