// The albums page on fake views against zerva-server: the list with the remembered selection and
// the expanded item's buttons, type-ahead, opening and returning, a new album's folder, adding
// photos, deleting (also refused by the service), the sort menu, the links, the list-file upload
// mode, and leaving for the login page.
#include "ui/albums_page.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "app/elements.h"
#include "app/history_list.h"
#include "app/profile.h"
#include "core/ui/album_seeding.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "platform/md5.h"
#include "platform/shell_open.h"
#include "ui/album_cover_loader.h"
#include "ui/main_window_view.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;

class AlbumsPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    jpeg_ = FileBytes(PhotoFile(pictures_, "cover.jpg", 640, 480));
    previousOpener_ = SetShellOpener([this](const std::string& target) {
      opened_.push_back(target);
      return true;
    });
  }
  void TearDown() override {
    SetShellOpener(previousOpener_);
    PageTest::TearDown();
  }

  // A user of this test alone with these albums, finished uploads with covers, in this order
  // on the service.
  std::string UserWith(const std::vector<std::string>& names) {
    std::string user;
    userId_ = static_cast<int>(Server().CreateTestUser("albums", &user));
    EXPECT_GT(userId_, 0);
    for (const std::string& name : names) Seed(user, Album(name));
    return user;
  }
  SeededAlbum Album(const std::string& name) {
    SeededAlbum album;
    album.name = name;
    album.serverDir = "dir" + std::to_string(++dirs_);
    album.cover = "c" + std::to_string(dirs_) + ".jpg";
    album.jpeg = jpeg_;
    return album;
  }
  int Seed(const std::string& user, const SeededAlbum& album) {
    return SeedAlbum(Server(), user, album);
  }
  void RunSignedIn(const std::string& user,
                   const std::function<void(CzervaApp&, WindowHarness&)>& code) {
    RunWindow([&](CzervaApp& app, WindowHarness& window) {
      window.Start();
      SignInThroughThePage(window, user + "@example.com", "secret");
      ASSERT_EQ(window.Current(), kAlbumsPage);
      code(app, window);
      // The covers may still be on their way; the page stops its loader when it goes.
    });
  }
  static FakeAlbumsListView& List(WindowHarness& window) {
    return window.Page(PageId::kAlbums).albums;
  }
  static CAlbumsDlg& Page(WindowHarness& window) {
    return window.Controller<CAlbumsDlg>(PageId::kAlbums);
  }
  std::vector<std::string> ServiceAlbumNames(const std::string& user) const {
    const HttpReply reply =
        Server().Command("GetAlbums", user, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    std::vector<std::string> names;
    for (const std::string& album : GetElements(GetElement(reply.body, "value"), "album")) {
      names.push_back(GetElement(album, "name"));
    }
    return names;
  }
  // Pumps the user-interface thread until `done` or the time is up.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds wait = 30s) {
    return frontEnd_.loop.RunUntil(done, wait);
  }

  TempDir pictures_;
  std::string jpeg_;
  int userId_ = 0;
  int dirs_ = 0;
  ShellOpener previousOpener_;
  std::vector<std::string> opened_;
};

TEST_F(AlbumsPageTest, AUserWithOneAlbumSeesItSelectedAndExpandedWithItsButtons) {
  const std::string user = UserWith({"Winter"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.items.size(), 1u);
    EXPECT_EQ(list.expanded, 0);
    EXPECT_EQ(list.shownIndex, 0);
    EXPECT_EQ(app.CurrentAlbumId(), list.items[0].albumId);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("AlbumsDlgTitle"));
    EXPECT_EQ(window.main.header.GetText(kHeaderText), Text("AlbumsDlgText"));
    EXPECT_FALSE(window.main.userBar.Shown(kUserNext));
    EXPECT_FALSE(window.main.userBar.Shown(kUserBack));
    FakePageView& page = window.Page(PageId::kAlbums);
    EXPECT_EQ(page.GetText(kAlbumsNewAlbum), Text("newAlbum"));
    EXPECT_EQ(page.Find(kAlbumsNewAlbum).tooltip, Text("AlbumsDlgNewAlbumTool"));
    EXPECT_EQ(page.GetText(kAlbumsSort), Text("sortAlbums"));
    EXPECT_EQ(page.Find(kAlbumsSort).tooltip, Text("AlbumsDlgSortTool"));

    const AlbumsListItem& item = list.ExpandedItem();
    EXPECT_EQ(item.name, "Winter");
    EXPECT_TRUE(item.hiddenMark.empty());
    EXPECT_TRUE(item.passwordMark.empty());
    EXPECT_FALSE(item.created.empty());
    EXPECT_EQ(item.createdTooltip, Text("AlbumCreateTimeTool"));
    EXPECT_EQ(item.updatedTooltip, Text("AlbumUpdateTimeTool"));
    const AlbumItemButton& edit = item.Button(AlbumButton::kEdit);
    EXPECT_EQ(edit.caption, Text("editAlbum"));
    EXPECT_EQ(edit.tooltip, Text("EditAlbumsDlgEditTool"));
    EXPECT_EQ(item.Button(AlbumButton::kDelete).caption, Text("deleteAlbum"));
    EXPECT_EQ(item.Button(AlbumButton::kDelete).tooltip, Text("EditAlbumsDlgDeleteTool"));
    EXPECT_TRUE(item.Button(AlbumButton::kAddPhotos).shown);
    EXPECT_EQ(item.Button(AlbumButton::kAddPhotos).caption, Text("EditPhotosDlgAddPhotoBtn"));
    EXPECT_EQ(item.Button(AlbumButton::kSend).caption, Text("SendAlbumDlgTitle"));
    EXPECT_EQ(item.Button(AlbumButton::kSend).tooltip, Text("EditAlbumsDlgSendTool"));
    // No local folder: said so, and nothing to open.
    EXPECT_EQ(item.Button(AlbumButton::kFolder).caption, Text("DirectoryNotExist"));
    EXPECT_FALSE(item.Button(AlbumButton::kFolder).enabled);
    const std::string url = app.AlbumMngr().FindById(item.albumId)->AlbumUrl();
    EXPECT_FALSE(url.empty());
    EXPECT_EQ(item.Button(AlbumButton::kWeb).caption, url);
    EXPECT_EQ(item.Button(AlbumButton::kWeb).tooltip, Text("EditAlbumsDlgUrlTool"));

    list.PressButton(0, AlbumButton::kWeb);
    EXPECT_EQ(frontEnd_.opened, (std::vector<std::string>{url}));
    list.PressButton(0, AlbumButton::kFolder);
    EXPECT_TRUE(opened_.empty());
  });
}

TEST_F(AlbumsPageTest, AnInterruptedAlbumOffersToFinishItAndNoAddingOfPhotos) {
  const std::string user = UserWith({});
  SeededAlbum interrupted = Album("Broken off");
  interrupted.finished = false;
  Seed(user, interrupted);
  SeededAlbum hidden = Album("Private");
  hidden.hidden = true;
  hidden.secure = true;
  const std::string folder = albumFolder_.Path().substr(0, albumFolder_.Path().size() - 1);
  hidden.localPath = folder;
  Seed(user, hidden);
  RunSignedIn(user, [&](CzervaApp&, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"Broken off", "Private"}));
    const AlbumsListItem& broken = list.items[0];
    EXPECT_EQ(broken.Button(AlbumButton::kEdit).caption, Text("repairAlbum"));
    EXPECT_EQ(broken.Button(AlbumButton::kEdit).tooltip, Text("EditAlbumsDlgRepairTool"));
    EXPECT_FALSE(broken.Button(AlbumButton::kAddPhotos).shown);
    // The button is not there, whoever asks for it.
    list.PressButton(0, AlbumButton::kAddPhotos);
    EXPECT_TRUE(Replies().Pickers().empty());
    EXPECT_EQ(window.Current(), kAlbumsPage);

    const AlbumsListItem& secret = list.items[1];
    EXPECT_EQ(secret.Button(AlbumButton::kEdit).caption, Text("editAlbum"));
    EXPECT_TRUE(secret.Button(AlbumButton::kAddPhotos).shown);
    EXPECT_EQ(secret.hiddenMark, Text("AlbumHiddenText"));
    EXPECT_EQ(secret.passwordMark, Text("AlbumPassText"));
    // Its folder is here: shown and opened in the file manager.
    EXPECT_EQ(secret.Button(AlbumButton::kFolder).caption, folder);
    ASSERT_TRUE(secret.Button(AlbumButton::kFolder).enabled);
    list.PressButton(1, AlbumButton::kFolder);
    EXPECT_EQ(opened_, (std::vector<std::string>{folder}));
  });
}

TEST_F(AlbumsPageTest, TypingALetterSelectsTheNextAlbumStartingWithItAndNoMatchChangesNothing) {
  const std::string user = UserWith({"anna", "Apple", "Berry", "\xC4\x8D\x61p"});  // "čap"
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"anna", "Apple", "Berry", "\xC4\x8D\x61p"}));
    ASSERT_EQ(list.expanded, 0);
    list.Type("a");
    EXPECT_EQ(list.expanded, 1);
    EXPECT_EQ(app.CurrentAlbumId(), list.items[1].albumId);
    list.Type("A");  // round the end, back to the first
    EXPECT_EQ(list.expanded, 0);
    list.Type("\xC4\x8C");  // "Č"
    EXPECT_EQ(list.expanded, 3);
    EXPECT_EQ(list.shownIndex, 3);
    list.Type("b");
    EXPECT_EQ(list.expanded, 2);

    const int remembered = app.CurrentAlbumId();
    for (const char* nothing : {"x", "7", ""}) {
      list.Type(nothing);
      EXPECT_EQ(list.expanded, 2) << nothing;
      EXPECT_EQ(app.CurrentAlbumId(), remembered) << nothing;
    }
  });
}

TEST_F(AlbumsPageTest, ReturningFromTheEditorSelectsTheAlbumThatWasOpened) {
  const std::string user = UserWith({"Autumn", "Spring", "Summer"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.expanded, 0);
    const int spring = list.items[1].albumId;
    list.DoubleClick(1);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.CurrentAlbum().albumID, spring);
    EXPECT_EQ(app.CurrentAlbum().name, "Spring");
    // The loader was stopped when the page was left.
    EXPECT_FALSE(Page(window).CoverLoader().Running());

    window.main.userBar.Click(kUserBack);
    ASSERT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(list.expanded, 1);
    EXPECT_EQ(list.shownIndex, 1);
    EXPECT_EQ(app.CurrentAlbumId(), spring);

    // The edit button and Enter open the selected album the same way.
    list.Click(2);
    list.PressButton(2, AlbumButton::kEdit);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.CurrentAlbum().name, "Summer");
    window.main.userBar.Click(kUserBack);
    list.Click(0);
    Page(window).OnEnter();
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.CurrentAlbum().name, "Autumn");
  });
}

TEST_F(AlbumsPageTest, ANewAlbumAsksForItsFolderAndCancellingKeepsThePageAndTheSelection) {
  const std::string user = UserWith({"Autumn", "Spring"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    list.Click(1);
    const int spring = app.CurrentAlbumId();
    PushDirHistory(AppProfile(), app.Session().LoginName(), "/photos/old");
    PushDirHistory(AppProfile(), app.Session().LoginName(), "/photos/new");

    window.Page(PageId::kAlbums).Click(kAlbumsNewAlbum);  // the picker is cancelled
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(list.expanded, 1);
    EXPECT_EQ(app.CurrentAlbumId(), spring);
    ASSERT_EQ(Replies().Pickers().size(), 1u);
    EXPECT_FALSE(Replies().Pickers()[0].files);
    EXPECT_EQ(Replies().Pickers()[0].startFolder, "/photos/new");

    QueueAlbumFolder();
    window.Page(PageId::kAlbums).Click(kAlbumsNewAlbum);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    const CAlbum& album = app.CurrentAlbum();
    EXPECT_EQ(album.albumID, -1);
    EXPECT_EQ(album.items.size(), 1u);
    EXPECT_EQ(album.localPath + "/", albumFolder_.Path());
    EXPECT_EQ(album.ownerName, app.Session().Name());
  });
}

TEST_F(AlbumsPageTest, PhotosAddedFromTheDialogGoToTheOpenedAlbum) {
  const std::string user = UserWith({"Autumn", "Spring"});
  const std::string photo = PhotoFile(pictures_, "new.jpg", 320, 240);
  const std::string notes = pictures_.Write("notes.txt", "not a photo");
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    // Nothing chosen: the page stays.
    list.PressButton(1, AlbumButton::kAddPhotos);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    // Only a file of no known kind: as good as nothing.
    Replies().QueueFiles({notes});
    list.PressButton(1, AlbumButton::kAddPhotos);
    EXPECT_EQ(window.Current(), kAlbumsPage);

    Replies().QueueFiles({photo, notes});
    list.PressButton(1, AlbumButton::kAddPhotos);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    ASSERT_EQ(Replies().Pickers().size(), 3u);
    EXPECT_TRUE(Replies().Pickers()[2].files);
    EXPECT_EQ(Replies().Pickers()[2].title, Text("EditPhotosAddPhotoTitle"));
    const CAlbum& album = app.CurrentAlbum();
    EXPECT_EQ(album.name, "Spring");
    // The album's photo from the service and the added one, which waits for its upload.
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_EQ(album.items[1]->localPath, photo);
    EXPECT_TRUE(album.items[1]->needsUpload);
  });
}

TEST_F(AlbumsPageTest, DeletingSelectsTheAlbumAtTheSamePlaceAndTheLastOneForgetsTheSelection) {
  const std::string user = UserWith({"Autumn", "Spring", "Summer"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    const int summer = list.items[2].albumId;
    list.Click(1);
    // Declined: nothing is asked of the service.
    list.PressButton(1, AlbumButton::kDelete);
    EXPECT_TRUE(Server().LogOf("DeleteAlbum").empty());
    ASSERT_FALSE(Replies().Messages().empty());
    EXPECT_EQ(Replies().Messages().back().text, Text("AlbumsDlgDelete"));
    EXPECT_EQ(Replies().Messages().back().kind, MessageKind::kWarning);
    EXPECT_EQ(Replies().Messages().back().buttons, MessageButtons::kYesNo);
    EXPECT_EQ(list.items.size(), 3u);

    Replies().QueueReply(Reply::kYes);
    list.PressButton(1, AlbumButton::kDelete);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Autumn", "Summer"}));
    EXPECT_EQ(list.expanded, 1);
    EXPECT_EQ(app.CurrentAlbumId(), summer);
    EXPECT_EQ(ServiceAlbumNames(user), (std::vector<std::string>{"Autumn", "Summer"}));
    ASSERT_FALSE(Replies().Waits().empty());
    EXPECT_EQ(Replies().Waits().back().text, Text("msgDeletingAlbum"));
    EXPECT_FALSE(Replies().WaitVisible());

    // The last item: the one before it takes its place.
    Replies().QueueReply(Reply::kYes);
    list.PressDelete();
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Autumn"}));
    EXPECT_EQ(list.expanded, 0);
    Replies().QueueReply(Reply::kYes);
    list.PressDelete();
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(list.expanded, -1);
    EXPECT_EQ(app.CurrentAlbumId(), 0);
    EXPECT_TRUE(app.AlbumMngr().albums.empty());
    EXPECT_TRUE(ServiceAlbumNames(user).empty());
    // Nothing left to delete or type to.
    list.PressDelete();
    list.Type("a");
    EXPECT_EQ(Server().LogOf("DeleteAlbum").size(), 3u);
  });
}

TEST_F(AlbumsPageTest, ARefusedDeleteLeavesTheListAsItWasAndShowsTheServicesText) {
  const std::string user = UserWith({"Autumn", "Spring"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    list.Click(1);
    const int spring = app.CurrentAlbumId();
    ASSERT_TRUE(Server().InjectFault("DeleteAlbum", "error", 1, "7:The album is being published"));
    Replies().QueueReply(Reply::kYes);
    list.PressDelete();
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Autumn", "Spring"}));
    EXPECT_EQ(list.expanded, 1);
    EXPECT_EQ(app.CurrentAlbumId(), spring);
    EXPECT_NE(app.AlbumMngr().FindById(spring), nullptr);
    EXPECT_EQ(ServiceAlbumNames(user), (std::vector<std::string>{"Autumn", "Spring"}));
    const ScriptedDialogs::Message box = Replies().Messages().back();
    EXPECT_EQ(box.kind, MessageKind::kError);
    EXPECT_EQ(box.text.rfind(Text("msgDeletingAlbumError"), 0), 0u);
    EXPECT_NE(box.text.find("The album is being published"), std::string::npos);
  });
}

TEST_F(AlbumsPageTest, TheCurrentSortKeyChosenTwiceRestoresTheFirstOrder) {
  const std::string user = UserWith({"Berry", "apple", "Cherry"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    FakePageView& page = window.Page(PageId::kAlbums);
    const std::vector<std::string> first = {"apple", "Berry", "Cherry"};
    ASSERT_EQ(list.Names(), first);
    list.Click(1);
    const int berry = app.CurrentAlbumId();

    page.menuChoices.push_back(kAlbumSortName);
    page.Click(kAlbumsSort);
    ASSERT_EQ(page.commandMenus.size(), 1u);
    const std::vector<MenuEntry> menu = page.commandMenus[0].entries;
    EXPECT_EQ(page.commandMenus[0].anchor, kAlbumsSort);
    ASSERT_EQ(menu.size(), 9u);
    for (int key = 0; key <= 6; ++key) EXPECT_EQ(menu[key].command, key);
    EXPECT_TRUE(menu[0].checked);
    EXPECT_FALSE(menu[1].checked);
    EXPECT_NE(menu[0].text, Text("AlbumsDlgSortNameBtn"));  // with its direction
    EXPECT_EQ(menu[0].text.rfind(Text("AlbumsDlgSortNameBtn"), 0), 0u);
    EXPECT_EQ(menu[3].text, Text("AlbumsDlgSortNumBtn"));
    EXPECT_TRUE(menu[7].separator);
    EXPECT_EQ(menu[8].text, Text("sortAlbumsWeb"));
    ASSERT_EQ(menu[8].submenu.size(), 5u);
    EXPECT_EQ(menu[8].submenu[1].command, 102);
    EXPECT_EQ(menu[8].submenu[1].text, Text("AlbumsDlgSortViewCount"));

    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Cherry", "Berry", "apple"}));
    EXPECT_EQ(app.CurrentAlbumId(), berry);  // still selected, in its new place
    EXPECT_EQ(list.expanded, 1);
    // The direction shown flipped with it.
    page.Click(kAlbumsSort);
    EXPECT_NE(page.commandMenus[1].entries[0].text, menu[0].text);
    page.menuChoices.push_back(kAlbumSortName);
    page.Click(kAlbumsSort);
    EXPECT_EQ(list.Names(), first);
    EXPECT_EQ(app.Session().AlbumSort().Key(), kAlbumSortName);

    // Another key with its own remembered direction, then back to the name.
    page.menuChoices.push_back(kAlbumSortPhotoCount);
    page.Click(kAlbumsSort);
    EXPECT_EQ(app.Session().AlbumSort().Key(), kAlbumSortPhotoCount);
    EXPECT_TRUE(page.commandMenus.back().entries[0].checked);
    page.Click(kAlbumsSort);
    EXPECT_TRUE(page.commandMenus.back().entries[3].checked);
  });
}

TEST_F(AlbumsPageTest, AWebOrderIsSavedWithTheUserDetailsAndAFailedSaveIsToldAndUndone) {
  const std::string user = UserWith({"Autumn", "Spring"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    FakePageView& page = window.Page(PageId::kAlbums);
    const std::vector<std::string> order = list.Names();
    page.menuChoices.push_back(102);
    page.Click(kAlbumsSort);
    EXPECT_EQ(app.Session().PageOrder().Key(), 102);
    const std::vector<LoggedRequest> saved = Server().LogOf("SetUserDetails");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Field("userPageOrder").rfind("viewCount", 0), 0u);
    EXPECT_EQ(list.Names(), order);  // the local list does not change
    page.Click(kAlbumsSort);
    EXPECT_TRUE(page.commandMenus.back().entries[8].submenu[1].checked);

    const int direction = app.Session().PageOrder().Direction();
    ASSERT_TRUE(Server().InjectFault("SetUserDetails", "error", 3, "9:Profile locked"));
    page.menuChoices.push_back(102);
    page.Click(kAlbumsSort);
    EXPECT_EQ(app.Session().PageOrder().Key(), 102);
    EXPECT_EQ(app.Session().PageOrder().Direction(), direction);
    const ScriptedDialogs::Message box = Replies().Messages().back();
    EXPECT_EQ(box.kind, MessageKind::kError);
    EXPECT_EQ(box.text, app.Session().LastError());
    EXPECT_FALSE(box.text.empty());
  });
}

TEST_F(AlbumsPageTest, TheSendButtonRemembersTheAlbumAndOpensTheSendPage) {
  const std::string user = UserWith({"Autumn", "Spring"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    list.PressButton(1, AlbumButton::kSend);
    EXPECT_EQ(window.Current(), kSendEmailPage);
    EXPECT_EQ(app.CurrentAlbumId(), list.items[1].albumId);
    EXPECT_EQ(app.CurrentAlbum().name, "Spring");
    EXPECT_EQ(window.dlg.Pages().From(), &Page(window));
  });
}

TEST_F(AlbumsPageTest, LeavingForTheLoginPageEmptiesTheListTheAlbumsAndTheCurrentAlbum) {
  const std::string user = UserWith({"Autumn", "Spring"});
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    list.Click(1);
    app.CurrentAlbum().name = "Spring";
    app.CurrentAlbum().albumID = list.items[1].albumId;

    window.main.userBar.Click(kUserLogout);
    ASSERT_EQ(window.Current(), kLoginPage);
    EXPECT_TRUE(list.items.empty());
    EXPECT_TRUE(Page(window).AlbumIds().empty());
    EXPECT_TRUE(app.AlbumMngr().albums.empty());
    EXPECT_EQ(app.CurrentAlbum().albumID, 0);
    EXPECT_TRUE(app.CurrentAlbum().name.empty());
    EXPECT_EQ(app.CurrentAlbumId(), 0);
    EXPECT_FALSE(Page(window).CoverLoader().Running());
  });
}

TEST_F(AlbumsPageTest, InListFileModeOnlyTheEditButtonWorksAndOpeningAddsTheFiles) {
  const std::string user = UserWith({"Autumn", "Spring"});
  const std::string photo = PhotoFile(pictures_, "given.jpg", 320, 240);
  MakeApp();
  frontEnd_.windowCode = [&](CzervaApp& app) {
    WindowHarness window(app, *frontEnd_.dialogs);
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    EXPECT_EQ(window.Current(), kAlbumsPage);
    if (window.Current() != kAlbumsPage) return 0;
    EXPECT_EQ(window.main.header.GetText(kHeaderText), Text("AlbumsDlgTextUpl"));
    FakeAlbumsListView& list = List(window);
    const AlbumsListItem& item = list.ExpandedItem();
    EXPECT_EQ(item.Button(AlbumButton::kEdit).caption, Text("editAlbumUpl"));
    EXPECT_EQ(item.Button(AlbumButton::kEdit).tooltip, Text("editAlbumUpl"));
    EXPECT_TRUE(item.Button(AlbumButton::kEdit).enabled);
    for (const AlbumButton other : {AlbumButton::kDelete, AlbumButton::kAddPhotos,
                                    AlbumButton::kSend, AlbumButton::kFolder, AlbumButton::kWeb}) {
      EXPECT_FALSE(item.Button(other).enabled) << static_cast<int>(other);
    }
    Replies().QueueReply(Reply::kYes);
    list.PressDelete();
    list.PressButton(0, AlbumButton::kDelete);
    list.PressButton(0, AlbumButton::kSend);
    EXPECT_TRUE(Server().LogOf("DeleteAlbum").empty());
    EXPECT_EQ(window.Current(), kAlbumsPage);

    list.DoubleClick(1);
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.CurrentAlbum().name, "Spring");
    // The service's photo and the one given on the command line.
    EXPECT_EQ(app.CurrentAlbum().items.size(), 2u);
    return 0;
  };
  RunApp({photo});
}

TEST_F(AlbumsPageTest, SlowCoversNeitherHoldUpThePageNorItsLeaving) {
  const std::string user = UserWith({});
  SeededAlbum slow = Album("Slow");
  slow.cover = "slow.jpg";
  Seed(user, slow);
  Seed(user, Album("Quick"));
  // Every request for the slow cover waits longer than the page may wait for its loader.
  ASSERT_TRUE(Server().InjectFault("slow.jpg", "delay", 10, "12000"));
  const auto start = std::chrono::steady_clock::now();
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s) << "the sign-in waited for covers";
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"Quick", "Slow"}));
    // The loader asks for the slow one first: the item drawn first wants its cover.
    list.DrawAll();
    frontEnd_.loop.PumpFor(300ms);
    EXPECT_TRUE(Page(window).CoverLoader().Running());

    const auto leaving = std::chrono::steady_clock::now();
    ASSERT_TRUE(window.dlg.GoTo(kEditUserDetailPage, &window.dlg.UserBar()));
    EXPECT_LT(std::chrono::steady_clock::now() - leaving, kCoverLoaderStopWait);
    EXPECT_FALSE(Page(window).CoverLoader().Running());
    // Cut short, not failed: the next visit tries again.
    const CAlbum* album = app.AlbumMngr().FindById(list.items[1].albumId);
    ASSERT_NE(album, nullptr);
    std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
    EXPECT_NE(album->coverSmall.state, kCoverFailed);
  });
}

TEST_F(AlbumsPageTest, ADeleteStopsTheCoverLoaderFirstAndStartsItAgainAfterwards) {
  const std::string user = UserWith({"Autumn"});
  SeededAlbum slow = Album("Slow");
  slow.cover = "slowly.jpg";
  Seed(user, slow);
  ASSERT_TRUE(Server().InjectFault("slowly.jpg", "delay", 10, "12000"));
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"Autumn", "Slow"}));
    const int slowId = list.items[1].albumId;
    frontEnd_.loop.PumpFor(300ms);
    ASSERT_TRUE(Page(window).CoverLoader().Running());
    const auto start = std::chrono::steady_clock::now();
    Replies().QueueReply(Reply::kYes);
    list.PressButton(0, AlbumButton::kDelete);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kCoverLoaderStopWait);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Slow"}));
    EXPECT_EQ(app.CurrentAlbumId(), slowId);
    // Going on after the change, with the slow cover still to come.
    EXPECT_TRUE(Page(window).CoverLoader().Running());
    std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
    EXPECT_NE(app.AlbumMngr().FindById(slowId)->coverSmall.state, kCoverFailed);
  });
}

TEST_F(AlbumsPageTest, CoversArriveAndAFailedOneIsNotAskedForAgainOnTheNextVisit) {
  const std::string user = UserWith({"Quick"});
  SeededAlbum broken = Album("Broken");
  broken.cover = "broken.jpg";
  Seed(user, broken);
  ASSERT_TRUE(Server().InjectFault("broken.jpg", "404", 100));
  RunSignedIn(user, [&](CzervaApp& app, WindowHarness& window) {
    FakeAlbumsListView& list = List(window);
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"Broken", "Quick"}));
    CAlbumsDlg& page = Page(window);
    ASSERT_TRUE(PumpUntil([&] { return !page.CoverLoader().Running(); }, 60s));
    frontEnd_.loop.Pump();
    EXPECT_TRUE(list.items[1].cover);
    EXPECT_TRUE(list.items[1].largeCover);
    EXPECT_FALSE(list.items[0].cover);
    EXPECT_FALSE(list.items[0].largeCover);
    EXPECT_NE(std::find(list.redrawn.begin(), list.redrawn.end(), 1), list.redrawn.end());
    const size_t asked = Server().LogOf("broken.jpg").size();
    EXPECT_GE(asked, 2u);  // small and large

    window.dlg.GoTo(kEditUserDetailPage, &window.dlg.UserBar());
    window.main.userBar.Click(kUserNext);
    ASSERT_EQ(window.Current(), kAlbumsPage);
    list.DrawAll();
    ASSERT_TRUE(PumpUntil([&] { return !page.CoverLoader().Running(); }, 60s));
    EXPECT_EQ(Server().LogOf("broken.jpg").size(), asked);
    EXPECT_TRUE(list.items[1].cover);
    (void)app;
  });
}

}  // namespace
}  // namespace zerva::test
