// The albums page of the window against zerva-server, driven through its widgets offscreen: the
// seeded albums listed with their covers, the keyboard moving the selection, typing a letter,
// Enter opening the album and the way back selecting it again, and albums deleted with the Delete
// key and with the item's button, gone from the service too.
#include "ui/albums_page.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "app/elements.h"
#include "core/media/item_fixtures.h"
#include "core/ui/album_seeding.h"
#include "gui/albums_list_widget.h"
#include "gui/form_view.h"
#include "gui_session.h"
#include "lang/text.h"
#include "platform/md5.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/zerva_app.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::AlbumsListWidget;
using gui::ZervaWindow;

class AlbumsWindowTest : public WindowServerTest {
 protected:
  AlbumsWindowTest() : WindowServerTest("listed") {}
  void SetUp() override {
    WindowServerTest::SetUp();
    if (HasFatalFailure()) return;
    const std::string jpeg = FileBytes(PhotoFile(pictures_, "cover.jpg", 640, 480));
    int dir = 0;
    for (const char* name : {"Autumn", "Spring", "Summer", "Winter"}) {
      SeededAlbum album;
      album.name = name;
      album.serverDir = "dir" + std::to_string(++dir);
      album.cover = "cover" + std::to_string(dir) + ".jpg";
      album.jpeg = jpeg;
      SeedAlbum(Server(), user_, album);
    }
  }
  static AlbumsListWidget* List(ZervaWindow& window) {
    return qobject_cast<AlbumsListWidget*>(Control(window, PageId::kAlbums, kAlbumsList));
  }
  static std::vector<std::string> Names(AlbumsListWidget* list) {
    std::vector<std::string> names;
    for (int i = 0; i < list->Count(); ++i) names.push_back(list->Item(i).name);
    return names;
  }
  std::vector<std::string> ServiceNames() const {
    const HttpReply reply =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    std::vector<std::string> names;
    for (const std::string& album : GetElements(GetElement(reply.body, "value"), "album")) {
      names.push_back(GetElement(album, "name"));
    }
    return names;
  }

  TempDir pictures_;
};

TEST_F(AlbumsWindowTest, TheListShowsTheAlbumsWithCoversAndTheKeysWorkIt) {
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kAlbumsPage);
    AlbumsListWidget* list = List(window);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Autumn", "Spring", "Summer", "Winter"}));
    EXPECT_EQ(list->Expanded(), 0);
    EXPECT_EQ(window.focusWidget(), list);
    // The covers come in the background; the expanded item gets its large one.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          for (int i = 0; i < list->Count(); ++i) {
            if (!list->Item(i).cover) return false;
          }
          return list->Item(0).largeCover != nullptr;
        },
        30000));
    EXPECT_EQ(list->Item(0).cover->getWidth(), 67u);
    EXPECT_TRUE(list->Button(AlbumButton::kEdit)->isVisible());
    EXPECT_EQ(list->Button(AlbumButton::kEdit)->text().toStdString(), Text("editAlbum"));
    EXPECT_EQ(list->Button(AlbumButton::kEdit)->toolTip().toStdString(),
              Text("EditAlbumsDlgEditTool"));
    EXPECT_FALSE(list->Button(AlbumButton::kFolder)->isEnabled());
    EXPECT_TRUE(list->Button(AlbumButton::kWeb)->isEnabled());
    EXPECT_TRUE(list->ItemRect(0).contains(list->Button(AlbumButton::kSend)->geometry()));

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->Expanded(), 1);
    EXPECT_TRUE(list->ItemRect(1).contains(list->Button(AlbumButton::kEdit)->geometry()));
    QTest::keyClick(list, Qt::Key_W);
    EXPECT_EQ(list->Expanded(), 3);
    QTest::keyClick(list, Qt::Key_X);  // no album starts with it
    EXPECT_EQ(list->Expanded(), 3);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->ItemRect(2).center());
    EXPECT_EQ(list->Expanded(), 2);

    // Enter opens the selected album; back on the page it is selected again.
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    EXPECT_EQ(window.Controller().App().CurrentAlbum().name, "Summer");
    Click(BarControl(window, kUserBack));
    ASSERT_EQ(Shown(window), kAlbumsPage);
    EXPECT_EQ(list->Expanded(), 2);

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       list->ItemRect(0).center());
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    EXPECT_EQ(window.Controller().App().CurrentAlbum().name, "Autumn");
  });
}

TEST_F(AlbumsWindowTest, DeletedAlbumsGoFromTheListAndFromTheService) {
  session_->QueueReply(Reply::kYes);
  session_->QueueReply(Reply::kYes);
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kAlbumsPage);
    AlbumsListWidget* list = List(window);
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Autumn", "Summer", "Winter"}));
    EXPECT_EQ(list->Expanded(), 1);
    EXPECT_EQ(ServiceNames(), (std::vector<std::string>{"Autumn", "Summer", "Winter"}));

    Click(list->Button(AlbumButton::kDelete));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Autumn", "Winter"}));
    EXPECT_EQ(list->Expanded(), 1);
    EXPECT_EQ(ServiceNames(), (std::vector<std::string>{"Autumn", "Winter"}));
  });
  ASSERT_GE(session_->Messages().size(), 2u);
  EXPECT_EQ(session_->Messages()[0].text, Text("AlbumsDlgDelete"));
}

}  // namespace
}  // namespace zerva::test
