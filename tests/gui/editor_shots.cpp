#include "editor_shots.h"

#include <FreeImagePlus.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/album_folder_dialog.h"
#include "gui/form_view.h"
#include "gui/original_progress_window.h"
#include "gui/thumbnail_list_widget.h"
#include "gui_session.h"
#include "jobs/job_description.h"
#include "jobs/send_original_video.h"
#include "lang/text.h"
#include "model/album_items.h"
#include "ui/album_editor_view.h"
#include "ui/copy_page_view.h"
#include "ui/main_window_view.h"
#include "ui/page_factory.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

bool WaitUntil(const std::function<bool()>& done, int ms) {
  return QTest::qWaitFor(done, ms);
}

}  // namespace

std::vector<std::string> DrawPhotos(const std::string& folder, int count, int width, int height) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    QImage photo(width, height, QImage::Format_RGB32);
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    // Sky, sun and two hills in colours of their own for every photo.
    const int hue = (i * 47) % 360;
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor::fromHsv((hue + 200) % 360, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((hue + 160) % 360, 60, 255));
    painter.fillRect(photo.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(45, 200, 255));
    painter.drawEllipse(QPointF(width * (0.2 + 0.05 * (i % 10)), height * 0.28), height * 0.11,
                        height * 0.11);
    for (int hill = 0; hill < 2; ++hill) {
      QPainterPath path;
      path.moveTo(0, height);
      const double top = height * (0.55 + 0.12 * hill);
      path.cubicTo(width * 0.3, top - height * 0.15, width * 0.6, top + height * 0.1, width,
                   top - height * 0.05 * (i % 3));
      path.lineTo(width, height);
      painter.setBrush(QColor::fromHsv((hue + 90 + 30 * hill) % 360, 160, 180 - 50 * hill));
      painter.drawPath(path);
    }
    painter.end();
    const QString path = QString::fromStdString(folder) +
                         QString("/IMG_%1.jpg").arg(4100 + i * 7, 4, 10, QChar('0'));
    if (photo.save(path, "JPG", 88)) paths.push_back(path.toStdString());
  }
  return paths;
}

void ShootAlbumEditor(gui::ZervaWindow& window, Shooter& shooter, const QString& albumName) {
  gui::FormView& view = window.PageForm(PageId::kEditPhotos);
  auto* list = qobject_cast<gui::ThumbnailListWidget*>(view.Widget(kEditThumbs));
  TypeInto(view.Widget(kEditName), albumName);
  // The loader fills in the thumbnails first.
  WaitUntil([&] { return list->Count() > 0; }, 20000);
  Wait(4000);
  shooter.Shoot(&window, "album-editor");

  Click(view.Widget(kEditAdvanced));
  shooter.Shoot(&window, "album-editor-details");

  Click(view.Widget(kEditVisibility));
  QWidget* popup = view.Widget(kEditProtectionPopup);
  shooter.ShootWithPopup(&window, popup->isVisible() ? popup : nullptr, "protection-popup");
  popup->close();

  shooter.ShootMenu(&window, "menu-sort", [&] { Click(view.Widget(kEditSortButton)); });
  shooter.ShootMenu(&window, "menu-names", [&] { Click(view.Widget(kEditNamesButton)); });
  shooter.ShootMenu(&window, "menu-tile", [&] {
    const QPoint at = list->PictureRect(1).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
  });
  Click(view.Widget(kEditAdvanced));
}

void ShootUpload(gui::ZervaWindow& window, Shooter& shooter) {
  CzervaDlg& dlg = window.Controller();
  dlg.App().Session().SetUploadDelayMs(0);
  // The editor holds the album of the photos: its Next leads to the upload page.
  Click(BarControl(window, kUserNext));
  gui::FormView& view = window.PageForm(PageId::kCopy);
  WaitUntil(
      [&] {
        const int percent = view.GetValue(kCopyProgressBar);
        return (percent >= 25 && percent < 100) || dlg.CurrentPageName() != kCopyPage;
      },
      180000);
  shooter.Shoot(&window, "upload");
  WaitUntil([&] { return dlg.CurrentPageName() != kCopyPage; }, 300000);
}

void ShootFolderPicker(gui::ZervaWindow& window, Shooter& shooter, const std::string& folder,
                       const std::vector<std::string>& history) {
  AlbumFolderRequest request;
  request.title = Text("sourceDirectory");
  request.startFolder = folder;
  request.history = history;
  request.allowFiles = true;
  gui::AlbumFolderDialog picker(&window, request);
  picker.show();
  auto* files = picker.findChild<QListView*>("folderFiles");
  WaitUntil([&] { return files->model()->rowCount(files->rootIndex()) >= 2; }, 5000);
  // The tree reads its folders meanwhile and keeps the chosen one in view.
  Wait(1000);
  const QModelIndex root = files->rootIndex();
  picker.SelectFiles({files->model()->index(0, 0, root).data().toString(),
                      files->model()->index(1, 0, root).data().toString()});
  shooter.Shoot(&picker, "folder-picker");
  picker.reject();
}

void ShootOriginalProgress(gui::ZervaWindow& window, Shooter& shooter) {
  auto view = std::make_unique<gui::QtProgressWindowView>(&window);
  gui::OriginalProgressWindow* shown = view->Window();
  CTarvikProgress progress(std::move(view), Text("msgUploadUnkVideoCaption"),
                           FillJobText(Text("msgUploadUnkVideo1"), {"holiday.avi"}) + "<br>" +
                               Text("msgUploadUnkVideo2"));
  progress.Show();
  for (int i = 0; i <= 6; ++i) progress.OnProgress(6.0 * i, 1000 * i);
  shooter.Shoot(shown, "original-progress");
  progress.Close();
}

}  // namespace zerva::test
