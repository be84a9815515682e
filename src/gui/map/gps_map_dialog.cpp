#include "gui/map/gps_map_dialog.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdlib>

#include "gui/gps_map_views.h"
#include "gui/qt_text.h"

// In sanitizer builds only: Chromium inside Qt WebEngine frees some of its objects with a size
// that differs from the one it allocated them with, and leaves its own and fontconfig's caches
// to the end of the process; the sanitizers would end or fail the program for that the first
// time a map is shown. Our own code is still checked for everything else.
extern "C" const char* __asan_default_options() {
  return "new_delete_type_mismatch=0";
}
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\n";
}

namespace zerva::gui {

void PrepareEmbeddedBrowser() {
  // The map view shares the window's OpenGL contexts; Qt wants this before the application.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // Chromium refuses to start its sandbox for root and ends the whole program instead; a map
  // page of the user's own service is not worth losing the album being edited.
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
}

GpsMapDialog::GpsMapDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  help_ = new QLabel(this);
  help_->setWordWrap(true);
  help_->setTextFormat(Qt::PlainText);
  layout->addWidget(help_);

  // A profile of its own that keeps nothing on disk: the map page needs no cookies or cache.
  profile_ = new QWebEngineProfile(this);
  map_ = new QWebEngineView(this);
  page_ = new QWebEnginePage(profile_, map_);
  map_->setPage(page_);
  map_->setMinimumSize(kMapWidth, kMapHeight);
  map_->setContextMenuPolicy(Qt::NoContextMenu);
  layout->addWidget(map_, 1);
  connect(map_, &QWebEngineView::titleChanged, this, [this](const QString& title) {
    if (events_ != nullptr) events_->OnPageTitleChanged(title.toStdString());
  });

  coordinates_ = new QGroupBox(this);
  auto* grid = new QGridLayout(coordinates_);
  oldLabel_ = new QLabel(coordinates_);
  old_ = new QLineEdit(coordinates_);
  newLabel_ = new QLabel(coordinates_);
  new_ = new QLineEdit(coordinates_);
  for (QLineEdit* field : {old_, new_}) {
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
  }
  oldLabel_->setBuddy(old_);
  newLabel_->setBuddy(new_);
  delete_ = new QPushButton(coordinates_);
  close_ = new QPushButton(coordinates_);
  // Enter belongs to the map page's find field; it never closes the picker.
  for (QPushButton* button : {delete_, close_}) button->setAutoDefault(false);
  grid->addWidget(oldLabel_, 0, 0);
  grid->addWidget(old_, 0, 1);
  grid->addWidget(delete_, 0, 2);
  grid->addWidget(newLabel_, 1, 0);
  grid->addWidget(new_, 1, 1);
  grid->addWidget(close_, 1, 2);
  grid->setColumnStretch(1, 1);
  layout->addWidget(coordinates_);

  connect(delete_, &QPushButton::clicked, this, [this] {
    if (events_ != nullptr) events_->OnDeletePressed();
  });
  connect(close_, &QPushButton::clicked, this, &GpsMapDialog::reject);
  setTabOrder(map_, delete_);
  setTabOrder(delete_, close_);
}

GpsMapDialog::~GpsMapDialog() {
  // The page must go before its profile, which Qt would otherwise release under it.
  events_ = nullptr;
  delete map_;
  delete profile_;
}

void GpsMapDialog::SetTexts(const GpsTexts& texts) {
  setWindowTitle(ToQt(texts.title));
  help_->setText(ToQt(texts.help));
  help_->setVisible(!texts.help.empty());
  coordinates_->setTitle(ToQt(texts.coordinates));
  oldLabel_->setText(ToQt(texts.oldLabel));
  newLabel_->setText(ToQt(texts.newLabel));
  delete_->setText(ToQt(texts.deleteButton));
  close_->setText(ToQt(texts.closeButton));
}

void GpsMapDialog::ShowEditControls(bool shown) {
  for (QWidget* widget :
       std::initializer_list<QWidget*>{oldLabel_, old_, newLabel_, new_, delete_, close_}) {
    widget->setVisible(shown);
  }
  if (shown) map_->setFocus();
}

void GpsMapDialog::reject() {
  if (events_ != nullptr && !events_->OnCloseRequested()) return;
  QDialog::reject();
}

void GpsMapDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

QtGpsView::QtGpsView(QWidget* parent) : window_(new GpsMapDialog(parent)) {}

QtGpsView::~QtGpsView() {
  delete window_.data();
}

void QtGpsView::SetEvents(GpsEvents* events) {
  if (window_ != nullptr) window_->SetEvents(events);
}

void QtGpsView::SetTexts(const GpsTexts& texts) {
  if (window_ != nullptr) window_->SetTexts(texts);
}

void QtGpsView::ShowEditControls(bool shown) {
  if (window_ != nullptr) window_->ShowEditControls(shown);
}

void QtGpsView::SetOldPosition(const std::string& text) {
  if (window_ != nullptr) window_->OldField()->setText(ToQt(text));
}

void QtGpsView::SetNewPosition(const std::string& text) {
  if (window_ != nullptr) window_->NewField()->setText(ToQt(text));
}

GpsAreaSize QtGpsView::MapAreaSize() const {
  if (window_ == nullptr) return {};
  // Laid out now, as it will be shown, so that the page is drawn for the area it gets.
  window_->resize(window_->sizeHint());
  window_->layout()->activate();
  return {window_->Map()->width(), window_->Map()->height()};
}

void QtGpsView::Navigate(const std::string& url) {
  if (window_ != nullptr) window_->Map()->setUrl(QUrl(ToQt(url)));
}

void QtGpsView::RunModal() {
  if (window_ != nullptr) window_->exec();
}

GpsViewFactory QtGpsViews(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  return
      [owner]() -> std::unique_ptr<GpsView> { return std::make_unique<QtGpsView>(owner.data()); };
}

}  // namespace zerva::gui
