#include "albums_shots.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <vector>

#include "core/media/item_fixtures.h"
#include "core/ui/album_seeding.h"
#include "editor_shots.h"
#include "gui/albums_list_widget.h"
#include "gui/form_view.h"
#include "gui_session.h"
#include "support/server_fixture.h"
#include "ui/album_list_load.h"
#include "ui/albums_page.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

struct ShotAlbum {
  const char* name;
  const char* desc;
  bool finished;
  bool hidden;
  bool secure;
};

// The list in its default order (by name): the interrupted album comes second.
const ShotAlbum kAlbums[] = {
    {"Jarní Krkonoše", "Hřebenovka z Harrachova na Sněžku", true, false, false},
    {"Kolem Lipna na kole", "Tři dny, sto dvacet kilometrů", false, false, false},
    {"Rodinná oslava", "Babiččiny osmdesátiny", true, true, true},
    {"Zámky na Loiře", "", true, false, false},
};

// Waits until every item has its cover and the expanded one its large cover.
bool CoversShown(gui::AlbumsListWidget* list) {
  return QTest::qWaitFor(
      [&] {
        for (int i = 0; i < list->Count(); ++i) {
          if (!list->Item(i).cover) return false;
        }
        return list->Expanded() < 0 || list->Item(list->Expanded()).largeCover != nullptr;
      },
      20000);
}

}  // namespace

void ShootAlbumsPage(gui::ZervaWindow& window, Shooter& shooter, const ServerFixture& server,
                     const std::string& user, const std::string& password) {
  TempDir pictures;
  const std::vector<std::string> photos = DrawPhotos(pictures.Path(), 8, 1200, 800);
  int number = 0;
  for (const ShotAlbum& shot : kAlbums) {
    SeededAlbum album;
    album.name = shot.name;
    album.desc = shot.desc;
    album.serverDir = "shots_album_" + std::to_string(++number);
    album.cover = "cover_" + std::to_string(number) + ".jpg";
    album.jpeg = FileBytes(photos[static_cast<size_t>(number * 2 % photos.size())]);
    album.finished = shot.finished;
    album.hidden = shot.hidden;
    album.secure = shot.secure;
    album.password = password;
    SeedAlbum(server, user, album);
  }
  CzervaApp& app = window.Controller().App();
  LoadAlbumList(app);
  // The interrupted album is the one selected.
  for (const auto& album : app.AlbumMngr().albums) {
    if (album->uploading != 0) app.SetCurrentAlbumId(album->albumID);
  }
  // A web page order chosen before, so that the submenu shows its mark too.
  app.Session().PageOrder().Set(102, 0);
  window.Controller().GoTo(kAlbumsPage, nullptr);
  auto* list =
      qobject_cast<gui::AlbumsListWidget*>(window.PageForm(PageId::kAlbums).Widget(kAlbumsList));
  if (list == nullptr || !CoversShown(list)) std::fprintf(stderr, "albums: covers missing\n");
  Wait(300);
  shooter.Shoot(&window, "albums");

  // The sort menu, then with its submenu of the web page's orders open too.
  QTimer first;
  first.setSingleShot(true);
  QObject::connect(&first, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    shooter.ShootWithPopup(&window, menu, "albums-sort-menu");
    QMenu* web = nullptr;
    for (QAction* action : menu->actions()) {
      if (action->menu() != nullptr) {
        menu->setActiveAction(action);
        web = action->menu();
        web->popup(menu->mapToGlobal(menu->actionGeometry(action).topRight()));
      }
    }
    QTimer::singleShot(300, menu, [&shooter, &window, menu, web] {
      shooter.ShootWithPopups(&window, {menu, web}, "albums-sort-menu-web");
      if (web != nullptr) web->close();
      menu->close();
    });
  });
  first.start(300);
  Click(window.PageForm(PageId::kAlbums).Widget(kAlbumsSort));
  first.stop();
}

}  // namespace zerva::test
