#include "photo_detail_shots.h"

#include <QDialog>
#include <QTest>
#include <string>

#include "core/media/video_fixtures.h"
#include "gui/form_view.h"
#include "gui/picture_view.h"
#include "gui/thumbnail_list_widget.h"
#include "gui_session.h"
#include "model/album.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/album_editor_window_page.h"
#include "ui/photo_detail_page.h"
#include "ui/thumbs_list_ctrl.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

CThumbsListCtrl& EditorList(gui::ZervaWindow& window) {
  auto* page =
      static_cast<CEditPhotosWindowPage*>(window.Controller().Pages().Page(PageId::kEditPhotos));
  return page->Editor().List();
}

// Opens the item large and waits for its large picture.
void OpenLarge(gui::ZervaWindow& window, int index) {
  window.Controller().SetDetailIndex(index);
  window.Controller().GoTo(kPhotoDetailPage, nullptr);
  auto* picture =
      qobject_cast<gui::PictureView*>(window.PageForm(PageId::kPhotoDetail).Widget(kDetailPicture));
  // A shot of the thumbnail is better than none.
  (void)QTest::qWaitFor([&] { return picture->Image().width() >= 300; }, 30000);
  Wait(300);
}

// The list's properties window of the item, shot and closed.
void ShootProperties(gui::ZervaWindow& window, Shooter& shooter, int index, const QString& name) {
  EditorList(window).Execute(ThumbCommand::kProperties, index);
  QWidget* list = window.PageForm(PageId::kEditPhotos).Widget(kEditThumbs);
  if (auto* properties = list->findChild<QDialog*>("propertiesWindow")) {
    shooter.Shoot(properties, name);
    properties->close();
  }
}

}  // namespace

void ShootPhotoDetail(gui::ZervaWindow& window, Shooter& shooter) {
  gui::FormView& view = window.PageForm(PageId::kPhotoDetail);
  // The fields start their edits when the focus comes, which needs an active window.
  window.activateWindow();
  (void)QTest::qWaitForWindowActive(&window, 5000);
  OpenLarge(window, 0);
  Click(view.Widget(kDetailName));
  TypeInto(view.Widget(kDetailName), QString::fromUtf8("Západ slunce nad rybníkem"));
  Click(view.Widget(kDetailNameSave));
  shooter.Shoot(&window, "photo-detail");
  Click(view.Widget(kDetailDesc));
  shooter.Shoot(&window, "photo-detail-editing");
  window.Controller().Back();
  ShootProperties(window, shooter, 0, "photo-properties");

  if (!HaveFfmpeg()) return;
  const std::string clip = TestVideo("h264_aac.mp4");
  if (clip.empty()) return;
  const AddedFiles added = EditorList(window).AddAlbumFiles({clip});
  if (added.firstNew < 0) return;
  CPhoto* video = EditorList(window).ItemAt(added.firstNew);
  (void)QTest::qWaitFor(
      [&] {
        std::lock_guard<std::mutex> lock(video->lock);
        return video->thumbnail != nullptr || video->thumbFailed;
      },
      30000);
  OpenLarge(window, added.firstNew);
  shooter.Shoot(&window, "video-detail");
  // The screenshots' upload sends the photos only.
  Click(view.Widget(kDetailInclude));
  window.Controller().Back();
  ShootProperties(window, shooter, added.firstNew, "video-properties");
}

}  // namespace zerva::test
