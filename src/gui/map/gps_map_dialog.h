// The GPS picker's window ("GpsDlg" on the screen): the help text, the service's map page in an
// embedded Qt WebEngine view, the committed and pending positions and the delete and close
// buttons. GpsDlg drives it through QtGpsView; the page speaks only through its title.
#pragma once

#include <QDialog>
#include <QPointer>

#include "ui/gps_view.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace zerva::gui {

class GpsMapDialog : public QDialog {
  Q_OBJECT

 public:
  explicit GpsMapDialog(QWidget* parent);
  ~GpsMapDialog() override;

  // The map area before the user resizes the window.
  static constexpr int kMapWidth = 640;
  static constexpr int kMapHeight = 440;

  QWebEngineView* Map() const { return map_; }
  QLabel* Help() const { return help_; }
  QLineEdit* OldField() const { return old_; }
  QLineEdit* NewField() const { return new_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* CloseButton() const { return close_; }

  void SetTexts(const GpsTexts& texts);
  void ShowEditControls(bool shown);
  void SetEvents(GpsEvents* events) { events_ = events; }

  // Every way of closing asks the controller first.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* help_;
  QGroupBox* coordinates_;
  QLabel* oldLabel_;
  QLineEdit* old_;
  QLabel* newLabel_;
  QLineEdit* new_;
  QWebEngineProfile* profile_;
  QWebEnginePage* page_;
  QWebEngineView* map_;
  QPushButton* delete_;
  QPushButton* close_;
  GpsEvents* events_ = nullptr;
};

// The window as GpsDlg sees it; used on the user-interface thread only.
class QtGpsView : public GpsView {
 public:
  explicit QtGpsView(QWidget* parent);
  ~QtGpsView() override;

  void SetEvents(GpsEvents* events) override;
  void SetTexts(const GpsTexts& texts) override;
  void ShowEditControls(bool shown) override;
  void SetOldPosition(const std::string& text) override;
  void SetNewPosition(const std::string& text) override;
  GpsAreaSize MapAreaSize() const override;
  void Navigate(const std::string& url) override;
  void RunModal() override;

  // Null once its parent took it down.
  GpsMapDialog* Window() const { return window_.data(); }

 private:
  QPointer<GpsMapDialog> window_;
};

}  // namespace zerva::gui
