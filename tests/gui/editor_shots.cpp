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

// Shoots the window with the menu that `open` opens, then closes the menu.
void ShootMenu(gui::ZervaWindow& window, Shooter& shooter, const QString& name,
               const std::function<void()>& open) {
  QTimer shot;
  shot.setSingleShot(true);
  QObject::connect(&shot, &QTimer::timeout, [&] {
    if (QWidget* menu = QApplication::activePopupWidget()) {
      shooter.ShootWithPopup(&window, menu, name);
      menu->close();
    }
  });
  shot.start(300);
  open();
  shot.stop();
}

// --- Stand-in for a branch whose album editor has no controller yet: the controls filled as
// the controller would fill them and tiles from the photos, so that the layout can be seen.
// Not used once the editor's controller is built. ---

class DemoTiles : public ThumbsListEvents {
 public:
  DemoTiles(gui::ThumbnailListWidget& list, const std::string& folder) : list_(list) {
    for (const std::string& path : DrawnPhotoPaths(folder)) {
      auto image = std::make_shared<fipImage>();
      if (image->load(path.c_str()) && image->makeThumbnail(200)) {
        images_.push_back(image);
        names_.push_back(FileNameOfPath(path));
      }
    }
  }
  int Count() const { return static_cast<int>(images_.size()); }

  TileInfo Tile(int position) override {
    TileInfo tile;
    tile.name = names_[static_cast<size_t>(position)];
    tile.image = position == 5 ? nullptr : images_[static_cast<size_t>(position)];
    tile.stateText = Text("msgWait");
    tile.isCover = position == 0;
    tile.included = position != 3;
    tile.canTurn = true;
    tile.frameRgb = position == 2 ? kTileFrameChanged : kTileFrameNormal;
    return tile;
  }
  std::string TileTooltip(int, TileIcon) override { return {}; }
  void OnTileClicked(int, TileIcon) override {}
  void OnTileDoubleClicked(int, TileIcon) override {}
  void OnCurrentChanged(int) override {}
  void OnKey(int, TileKey) override {}
  void OnContextMenu(int) override {
    list_.ShowContextMenu({MenuEntry::Command("Open", 0), MenuEntry::Command("Exclude photo", 1),
                           MenuEntry::Separator(), MenuEntry::Command("Rotate left", 3),
                           MenuEntry::Command("Rotate right", 4),
                           MenuEntry::Command("Show in the file manager", 6),
                           MenuEntry::Command("Watermark", 11, true, true)});
  }
  void OnDragged(int, int) override {}
  void OnFilesDropped(const std::vector<std::string>&) override {}

 private:
  static std::vector<std::string> DrawnPhotoPaths(const std::string& folder) {
    std::vector<std::string> paths;
    for (const QString& name : QDir(QString::fromStdString(folder)).entryList({"*.jpg"})) {
      paths.push_back(folder + "/" + name.toStdString());
    }
    return paths;
  }

  gui::ThumbnailListWidget& list_;
  std::vector<ImagePtr> images_;
  std::vector<std::string> names_;
};

void FillEditorDemo(gui::FormView& view, DemoTiles& tiles, const std::string& folder) {
  const std::pair<int, const char*> texts[] = {
      {kEditNameLabel, "Album name"},
      {kEditName, "Summer in Třeboň"},
      {kEditFolderLabel, "Folder"},
      {kEditFolder, folder.c_str()},
      {kEditFolderButton, "Folder..."},
      {kEditDescLabel, "Description"},
      {kEditDesc, "A week by the ponds.\nBikes, fish and the castle park."},
      {kEditVisibilityLabel, "Visibility"},
      {kEditVisibility, "Public album"},
      {kEditHidden, "Hidden album"},
      {kEditPasswordCheck, "Protect with a password"},
      {kEditSecureNameLabel, "Name"},
      {kEditSecurePassLabel, "Password"},
      {kEditCategoryLabel, "Categories"},
      {kEditCategory, "Category: Travel"},
      {kEditWatermark, "Add watermark"},
      {kEditResolutionLabel, "Photo size"},
      {kEditResolutionSample, "(current size)"},
      {kEditDateFromLabel, "From"},
      {kEditDateFrom, "2026-07-04"},
      {kEditDateToLabel, "to"},
      {kEditDateTo, "2026-07-11"},
      {kEditAutoDate, "Automatic"},
      {kEditDateSample, "(4.7.2026 - 11.7.2026)"},
      {kEditLink, "Link"},
      {kEditAdvanced, "More >>"},
      {kEditSelectButton, "Select"},
      {kEditNamesButton, "Names"},
      {kEditSortButton, "Sort"},
      {kEditAddPhotos, "Add photos..."},
      {kEditCountsLabel, "Selected:"},
      {kEditZoom, "Size"},
  };
  for (const auto& [control, text] : texts) view.SetText(control, text);
  view.SetText(kEditCounts,
               std::to_string(tiles.Count() - 1) + "/" + std::to_string(tiles.Count()));
  view.SetItems(kEditResolution, {"700 px", "1200 px"});
  view.Select(kEditResolution, 1);
  view.SetChecked(kEditAutoDate, true);
  view.SetRange(kEditSizeSlider, 50, 200, 10);
  view.SetValue(kEditSizeSlider, 100);
  view.Enable(kEditSecureName, false);
  view.Enable(kEditSecurePass, false);
  ThumbsListView* list = view.ThumbnailList(kEditThumbs);
  list->SetEvents(&tiles);
  list->SetTileSize(100, 145);
  list->SetTileCount(tiles.Count());
  list->SetCurrentPosition(1);
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

void ShootAlbumEditor(gui::ZervaWindow& window, Shooter& shooter, const std::string& photos) {
  gui::FormView& view = window.PageForm(PageId::kEditPhotos);
  auto* list = qobject_cast<gui::ThumbnailListWidget*>(view.Widget(kEditThumbs));
  const bool built = PageIsBuilt(PageId::kEditPhotos);
  std::unique_ptr<DemoTiles> demo;
  if (!built) {
    demo = std::make_unique<DemoTiles>(*list, photos);
    FillEditorDemo(view, *demo, photos);
  }
  // The loader fills in the thumbnails first.
  WaitUntil([&] { return list->Count() > 0; }, 20000);
  Wait(built ? 4000 : 200);
  shooter.Shoot(&window, "album-editor");

  if (built) {
    Click(view.Widget(kEditAdvanced));
  } else {
    view.Show(kEditDetailsGroup, true);
  }
  shooter.Shoot(&window, "album-editor-details");

  if (built) {
    Click(view.Widget(kEditVisibility));
  } else {
    view.Show(kEditProtectionPopup, true);
  }
  QWidget* popup = view.Widget(kEditProtectionPopup);
  shooter.ShootWithPopup(&window, popup->isVisible() ? popup : nullptr, "protection-popup");
  popup->close();

  ShootMenu(window, shooter, "menu-sort", [&] {
    if (built) {
      Click(view.Widget(kEditSortButton));
    } else {
      view.ShowMenu(kEditSortButton,
                    {MenuEntry::Command("By time", 2, true, true), MenuEntry::Command("By name", 0),
                     MenuEntry::Command("By label", 1)});
    }
  });
  ShootMenu(window, shooter, "menu-names", [&] {
    if (built) {
      Click(view.Widget(kEditNamesButton));
    } else {
      view.ShowMenu(kEditNamesButton,
                    {MenuEntry::Command("Default names", 0), MenuEntry::Command("Clear names", 1),
                     MenuEntry::Separator(), MenuEntry::Command("Undo", 2, false)});
    }
  });
  ShootMenu(window, shooter, "menu-tile", [&] {
    const QPoint at = list->PictureRect(1).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &event);
  });
  if (built) {
    Click(view.Widget(kEditAdvanced));
  } else {
    view.Show(kEditDetailsGroup, false);
  }
}

void ShootUpload(gui::ZervaWindow& window, Shooter& shooter, const std::string& photos,
                 const std::string& albumName) {
  CzervaDlg& dlg = window.Controller();
  CzervaApp& app = dlg.App();
  app.Session().SetUploadDelayMs(0);
  if (PageIsBuilt(PageId::kEditPhotos) && dlg.CurrentPageName() == kEditPhotosPage) {
    // The editor holds the album of the photos: its Next leads to the upload page.
    Click(BarControl(window, kUserNext));
  } else {
    CAlbum& album = app.CurrentAlbum();
    album.Clear();
    album.ownerName = app.Session().Name();
    album.tempFolder = app.Session().UserFolder();
    AddFolder(album, photos);
    album.localPath = photos;
    album.name = albumName;
    album.MakeServerDir();
    album.albumID = -1;
    album.modified = true;
    // The pictures the editor's thumbnail loader would have made.
    for (const auto& item : album.items) {
      auto thumbnail = std::make_shared<fipImage>();
      if (!thumbnail->load(item->localPath.c_str()) ||
          !thumbnail->makeThumbnail(app.Params().SizeThumb)) {
        continue;
      }
      std::lock_guard<std::mutex> lock(item->lock);
      item->thumbnail = thumbnail;
    }
    dlg.GoTo(kCopyPage, nullptr);
  }
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
