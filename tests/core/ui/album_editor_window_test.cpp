// The album editor as a page of the window: the albums page's "newAlbum" starts a new album
// whatever the current album held, the editor asks for its folder, shows it with the header and
// the navigation buttons, and Back asks before unsaved work is dropped; leaving the photo detail
// page for the upload leaves the editor's work behind too.
#include <gtest/gtest.h>

#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "model/album.h"
#include "ui/album_editor_window_page.h"
#include "ui/albums_page.h"
#include "ui/main_window_view.h"
#include "ui/page_factory.h"

namespace zerva::test {
namespace {

using AlbumEditorWindowTest = PageTest;

TEST_F(AlbumEditorWindowTest, NewAlbumFromTheAlbumsPageLeadsThroughTheEditor) {
  EXPECT_TRUE(PageIsBuilt(PageId::kEditPhotos));
  const std::string user = NewAccount({"Winter"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    // What an earlier edit left behind does not leak into the new album.
    CAlbum& album = app.CurrentAlbum();
    album.albumID = 4;
    album.name = "Winter";

    QueueAlbumFolder();
    window.Page(PageId::kAlbums).Click(kAlbumsNewAlbum);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(album.albumID, -1);
    EXPECT_EQ(album.items.size(), 1u);
    EXPECT_EQ(album.localPath + "/", albumFolder_.Path());
    FakePageView& page = window.Page(PageId::kEditPhotos);
    EXPECT_EQ(page.GetText(kEditName), album.name);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("EditPhotosDlgTitle"));
    EXPECT_EQ(window.main.userBar.GetText(kUserNext), Text("newAlbum"));
    EXPECT_TRUE(window.main.userBar.Enabled(kUserNext));
    EXPECT_TRUE(window.main.userBar.Shown(kUserBack));

    page.Type(kEditName, "Spring");
    window.main.userBar.Click(kUserBack);  // the question is declined
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(album.name, "Spring");
    Replies().QueueReply(Reply::kYes);
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_TRUE(album.items.empty());
    EXPECT_FALSE(album.modified);
  });
}

TEST_F(AlbumEditorWindowTest, LeavingTheDetailPageForTheUploadReleasesTheEditorsWork) {
  const std::string user = NewAccount({"Winter"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    QueueAlbumFolder();
    window.Page(PageId::kAlbums).Click(kAlbumsNewAlbum);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    CPhoto* item = app.CurrentAlbum().items.front().get();

    ASSERT_TRUE(window.dlg.GoTo(kPhotoDetailPage, nullptr));
    app.Previews().Add(item);
    // Back to the editor keeps what the detail page showed.
    window.main.userBar.Click(kUserBack);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.Previews().Size(), 1u);

    ASSERT_TRUE(window.dlg.GoTo(kPhotoDetailPage, nullptr));
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kCopyPage);
    EXPECT_EQ(app.Previews().Size(), 0u);
  });
}

TEST_F(AlbumEditorWindowTest, TheAlbumsPageOpensTheChosenAlbumInTheEditor) {
  const std::string user = NewAccount({"Winter", "Summer"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    FakeAlbumsListView& albums = window.Page(PageId::kAlbums).albums;
    EXPECT_EQ(albums.Names(), (std::vector<std::string>{"Summer", "Winter"}));
    // Albums created on the service and never filled count as interrupted uploads.
    EXPECT_EQ(albums.ExpandedItem().Button(AlbumButton::kEdit).caption, Text("repairAlbum"));

    albums.DoubleClick(0);
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_EQ(app.CurrentAlbum().name, "Summer");
    EXPECT_EQ(app.CurrentAlbumId(), app.CurrentAlbum().albumID);
    EXPECT_EQ(window.main.userBar.GetText(kUserNext), Text("navFinish"));
  });
}

}  // namespace
}  // namespace zerva::test
