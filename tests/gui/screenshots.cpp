// zerva_gui_screenshots OUTDIR: renders the window's pages and dialogs offscreen to PNG files,
// in English (OUTDIR/en) and Czech (OUTDIR/cs), against a zerva-server of its own, so that the
// window can be looked at without a display.
#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "albums_shots.h"
#include "category_shots.h"
#include "editor_shots.h"
#include "gps_picker_shots.h"
#include "gui/about_dialog.h"
#include "gui/gps_map_views.h"
#include "gui/proxy_prompt.h"
#include "gui/qt_front_end.h"
#include "gui/trace_window.h"
#include "gui_session.h"
#include "photo_detail_shots.h"
#include "post_copy_shots.h"
#include "shooter.h"
#include "support/server_fixture.h"
#include "support/temp_dir.h"
#include "ui/create_account_dlg.h"
#include "ui/edit_user_detail_dlg.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/zerva_app.h"
#include "video_props_shots.h"

namespace zerva::test {
namespace {

void SelectLanguage(gui::ZervaWindow& window, const QString& name) {
  auto* languages =
      qobject_cast<QComboBox*>(Control(window, PageId::kCreateAccount, kAccountLanguage));
  const int index = languages->findText(name);
  if (index < 0) return;
  languages->setCurrentIndex(index);
  emit languages->activated(index);
}

// Folders of photos the pages show: one to upload, one with names in another code page.
struct ShotPhotos {
  std::string album;
  std::string mixed;
};

// One language: every page in a natural order, then the dialogs.
bool ShootLanguage(const ServerFixture& server, const char* locale, const QString& languageName,
                   const QString& folder, const std::string& nick, const ShotPhotos& photos) {
  ::setenv("LC_ALL", locale, 1);
  GuiSession session(server.UploadRoot());
  // The new account has no album: the editor opens the folder picker at once.
  session.QueueFolder({photos.album, {}});
  Shooter shooter(folder);
  session.Run([&](gui::ZervaWindow& window) {
    window.resize(window.minimumSize());
    shooter.Shoot(&window, "login");

    Click(Control(window, PageId::kLogin, kLoginCreate));
    SelectLanguage(window, languageName);
    TypeInto(Control(window, PageId::kCreateAccount, kAccountNick),
             QString::fromStdString(std::string(26, 'x')));
    TypeInto(Control(window, PageId::kCreateAccount, kAccountEmail), "demo@zerva.localhost");
    TypeInto(Control(window, PageId::kCreateAccount, kAccountPassword), "heslo€");
    Wait(600);
    shooter.Shoot(&window, "create-account-errors");
    TypeInto(Control(window, PageId::kCreateAccount, kAccountNick), QString::fromStdString(nick));
    TypeInto(Control(window, PageId::kCreateAccount, kAccountEmail),
             QString::fromStdString(nick + "@example.com"));
    TypeInto(Control(window, PageId::kCreateAccount, kAccountPassword), "Žluťoučký kůň");
    Wait(600);
    shooter.Shoot(&window, "create-account");
    Click(Control(window, PageId::kCreateAccount, kAccountCreate));
    ShootAlbumEditor(window, shooter, "Léto v Třeboni");
    ShootCategoryForms(window, shooter);
    ShootPhotoDetail(window, shooter);
    ShootUpload(window, shooter);
    ShootPostCopy(window, shooter);

    ShootAlbumsPage(window, shooter, server, nick, "Žluťoučký kůň");
    Click(BarControl(window, kUserSettings));
    TypeInto(Control(window, PageId::kEditUserDetail, kSettingsFullName), "Jana Nováková");
    TypeInto(Control(window, PageId::kEditUserDetail, kSettingsWww), "jana.example.org");
    shooter.Shoot(&window, "user-settings");
    Click(BarControl(window, kUserNext));
    window.Controller().GoTo(kAlbumsPage, nullptr);

    gui::AboutDialog about(&window, true, window.Controller().App().ProgramFolder(), {});
    about.show();
    shooter.Shoot(&about, "about");
    about.hide();
    gui::LicenceWindow licence(&window,
                               window.Controller().App().ProgramFolder() + "libcurl-license.txt");
    licence.show();
    shooter.Shoot(&licence, "licence");
    licence.hide();
    gui::ProxyPrompt prompt(&window);
    prompt.show();
    shooter.Shoot(&prompt, "proxy-prompt");
    prompt.hide();
    ShootFolderPicker(window, shooter, photos.mixed, {photos.album, photos.mixed});
    ShootOriginalProgress(window, shooter);
    ShootVideoProperties(window, shooter);
    ShootGpsPicker(window, shooter);
    // The trace window listens while the user signs out.
    window.Controller().View().OpenTraceWindow();
    Click(BarControl(window, kUserLogout));
    shooter.Shoot(&window, "login-after-logout");
    Wait(100);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* trace = qobject_cast<gui::TraceWindow*>(top)) shooter.Shoot(trace, "trace");
    }
  });
  return !shooter.Failed();
}

}  // namespace
}  // namespace zerva::test

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  zerva::gui::PrepareEmbeddedBrowser();
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: zerva_gui_screenshots OUTDIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  zerva::test::ServerFixture::Options options;
  options.seedDemo = true;
  zerva::test::ServerFixture server(options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "zerva_gui_screenshots: %s\n", error.c_str());
    return 1;
  }
  // Photos to upload, and a folder whose names the picker warns about.
  zerva::test::TempDir pictures;
  const zerva::test::ShotPhotos photos{pictures.Path() + "Leto", pictures.Path() + "Vylet"};
  std::filesystem::create_directories(photos.album);
  std::filesystem::create_directories(photos.mixed);
  zerva::test::DrawPhotos(photos.album, 14, 2400, 1600);
  // Files the upload page names as left out of the album.
  pictures.Write("Leto/poznamky.jpg", "Tuesday: boat at nine");
  pictures.Write("Leto/prazdny.jpg", "");
  zerva::test::DrawPhotos(photos.mixed, 3, 600, 400);
  pictures.Write("Vylet/rybn\xEDk.jpg", "not a photo");  // a name in another code page
  const std::string stamp = std::to_string(::getpid());
  bool ok =
      zerva::test::ShootLanguage(server, "C", "English", out + "/en", "shots" + stamp, photos);
  ok = zerva::test::ShootLanguage(server, "cs_CZ.UTF-8", "čeština", out + "/cs", "snimky" + stamp,
                                  photos) &&
       ok;
  return ok ? 0 : 1;
}
