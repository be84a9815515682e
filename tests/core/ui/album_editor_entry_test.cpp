// The album editor entered and left against zerva-server: a new album takes its folder's name
// (and "." is refused), a folder without photos leaves the album as it was, a cancelled picker
// goes back, the jump back from the upload page keeps every edit, an existing album is read
// from the service and keeps its directory when renamed, Back with unsaved changes asks and
// "No" keeps them all, and the list-file mode names the album from its label.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/history_list.h"
#include "app/profile.h"
#include "app/text_placeholders.h"
#include "core/ui/album_editor_fixture.h"
#include "model/album.h"
#include "model/album_mngr.h"

namespace zerva::test {
namespace {

using AlbumEditorEntryTest = EditorTest;

TEST_F(AlbumEditorEntryTest, ANewAlbumTakesItsFoldersNameAndADotNameIsRefused) {
  const std::string folder = PhotoFolder("Summer trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    const CAlbum& album = app.CurrentAlbum();
    EXPECT_TRUE(view.moves.empty());
    ASSERT_EQ(view.folderRequests.size(), 1u);
    EXPECT_TRUE(view.folderRequests[0].allowFiles);
    EXPECT_EQ(album.name, "Summer trip");
    EXPECT_EQ(album.albumID, -1);
    EXPECT_EQ(album.serverDir, "Summer_trip");
    EXPECT_EQ(album.localPath, folder);
    EXPECT_EQ(album.ownerName, user_);
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_TRUE(album.modified);
    EXPECT_EQ(view.controls.GetText(kEditName), "Summer trip");
    EXPECT_EQ(view.controls.GetText(kEditFolder), folder);
    EXPECT_EQ(view.controls.GetText(kEditCounts), "2/2");
    EXPECT_EQ(view.controls.thumbnails.count, 2);
    EXPECT_EQ(view.header, Text("EditPhotosDlgTitle") + "|" + Text("EditPhotosDlgText"));
    EXPECT_EQ(DirHistory(AppProfile(), app.Session().LoginName()),
              std::vector<std::string>{folder});

    view.controls.Type(kEditName, ".");
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kNameDots);
    EXPECT_TRUE(Asked(Text("msgAlbumNameErrorText")));
    EXPECT_EQ(view.controls.focus, kEditName);
    view.controls.Type(kEditName, "");
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kNameEmpty);
    view.controls.Type(kEditName, "Summer");
    EXPECT_TRUE(editor.OnNext());
    EXPECT_EQ(album.serverDir, "Summer");
  });
}

TEST_F(AlbumEditorEntryTest, AFolderWithoutPhotosLeavesTheAlbumAsItWas) {
  const std::string folder = PhotoFolder("Trip", 2);
  const std::string empty = PhotoFolder("Notes", 0);
  root_.Write("Notes/readme.txt", "no photo");
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    view.controls.Type(kEditName, "Our trip");
    view.controls.Type(kEditDesc, "Two days");
    const CPhoto* first = app.CurrentAlbum().items[0].get();

    view.folders.push_back({empty, {}});
    view.controls.Click(kEditFolderButton);
    EXPECT_TRUE(Asked(Text("msgDirectory") + " \"" + empty + "\" " + Text("msgHaveNoJpgs")));
    view.folders.push_back({root_.Path() + "gone", {}});
    view.controls.Click(kEditFolderButton);
    EXPECT_TRUE(Asked(Text("msgNotExist")));

    const CAlbum& album = app.CurrentAlbum();
    EXPECT_EQ(album.name, "Our trip");
    EXPECT_EQ(album.desc, "Two days");
    EXPECT_EQ(album.localPath, folder);
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_EQ(album.items[0].get(), first);
    // With files chosen in a folder only they are taken.
    view.folders.push_back({folder, {folder + "/p2.jpg"}});
    view.controls.Click(kEditFolderButton);
    ASSERT_EQ(album.items.size(), 1u);
    EXPECT_EQ(album.items[0]->localPath, folder + "/p2.jpg");
    EXPECT_EQ(album.name, "Trip");
  });
}

TEST_F(AlbumEditorEntryTest, ACancelledFolderPickerGoesBack) {
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    editor.OnShowPage(false);
    EXPECT_EQ(view.moves, std::vector<std::string>{"back"});
    EXPECT_TRUE(app.CurrentAlbum().items.empty());
  });
}

TEST_F(AlbumEditorEntryTest, TheJumpBackFromTheUploadPageKeepsEveryEdit) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    view.controls.Type(kEditName, "Holiday");
    view.controls.Type(kEditDesc, "By the sea");
    CAlbum& album = app.CurrentAlbum();
    album.items[1]->included = false;
    ASSERT_TRUE(editor.OnNext());
    ASSERT_TRUE(editor.CanLeave(kCopyPage));

    // The album could not be created: the upload page jumps back; the folder has grown since.
    SavedJpeg(PhotoLike(64, 48, 9).get(), folder + "/p3.jpg");
    view.lastMoveWasBack = true;
    editor.UpdateTexts();
    editor.OnShowPage(false);
    EXPECT_EQ(view.folderRequests.size(), 1u) << "no folder is asked for";
    EXPECT_TRUE(view.moves.empty());
    EXPECT_EQ(album.albumID, -1);
    EXPECT_EQ(album.name, "Holiday");
    EXPECT_EQ(album.desc, "By the sea");
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_FALSE(album.items[1]->included);
    EXPECT_EQ(view.controls.GetText(kEditName), "Holiday");
    EXPECT_EQ(view.controls.GetText(kEditCounts), "1/2");
    EXPECT_EQ(view.controls.thumbnails.count, 2);
    // What the fields show is taken again when the page is left.
    EXPECT_TRUE(editor.OnNext());
    EXPECT_EQ(album.name, "Holiday");
  });
}

TEST_F(AlbumEditorEntryTest, AnExistingAlbumIsReadFromTheServiceAndKeepsItsDirectory) {
  const std::string folder = PhotoFolder("Trip", 2);
  const int id = CreateServiceAlbum("Trip", "trip", folder);
  ASSERT_GT(id, 0);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    const CAlbum* entry = app.AlbumMngr().FindById(id);
    ASSERT_NE(entry, nullptr);
    CAlbum& album = app.CurrentAlbum();
    album = *entry;
    album.name = "stale";
    Server().ClearLog();
    editor.OnShowPage(false);
    EXPECT_TRUE(view.moves.empty());
    EXPECT_EQ(album.name, "Trip") << "updated from the service's list";
    const std::vector<LoggedRequest> listed = Server().LogOf("GetAlbums");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Field("albumID"), std::to_string(id));
    EXPECT_EQ(Server().LogOf("GetAlbumPhotos").size(), 1u);
    const auto waits = Replies().Waits();
    EXPECT_TRUE(std::any_of(waits.begin(), waits.end(), [](const auto& wait) {
      return wait.text == Text("msgGetAlbumListStrFromServerText");
    }));
    // The folder's files are new to the service: shown, not yet included.
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_EQ(view.controls.GetText(kEditCounts), "0/2");
    EXPECT_EQ(view.nextCaption, Text("navFinish"));
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_TRUE(view.controls.Shown(kEditLink));

    view.controls.Type(kEditName, "Trip 2023");
    EXPECT_EQ(album.serverDir, "trip") << "its files and its address stay where they are";
    EXPECT_TRUE(album.modified);
  });
}

TEST_F(AlbumEditorEntryTest, AnAlbumTheServiceDoesNotListGoesBack) {
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    CAlbum& album = app.CurrentAlbum();
    album.albumID = 987654;
    album.name = "Lost";
    editor.OnShowPage(false);
    EXPECT_EQ(view.moves, std::vector<std::string>{"back"});
    EXPECT_TRUE(Server().LogOf("GetAlbumPhotos").empty());
    // Leaving asks nothing: the empty fields changed nothing.
    EXPECT_TRUE(editor.OnBack());
    EXPECT_FALSE(Asked(Text("msgNotSavedAlbum")));
  });
}

TEST_F(AlbumEditorEntryTest, BackWithUnsavedChangesAnsweredNoKeepsEveryChange) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    FakePageView& controls = view.controls;
    controls.Type(kEditName, "Holiday");
    controls.Type(kEditDesc, "Sun");
    controls.Type(kEditDateFrom, "2023-07-01");
    controls.Click(kEditVisibility);
    controls.Check(kEditHidden, true);
    CAlbum& album = app.CurrentAlbum();
    album.items[0]->included = false;
    // An edit the view has not reported yet is taken too.
    controls.controls[kEditDesc].text = "Sun and sea";
    Server().ClearLog();

    EXPECT_FALSE(editor.OnBack());
    EXPECT_TRUE(Asked(Text("msgNotSavedAlbum")));
    EXPECT_EQ(album.name, "Holiday");
    EXPECT_EQ(album.desc, "Sun and sea");
    EXPECT_EQ(album.startDateInterval, "2023-07-01 00:00:00");
    EXPECT_FALSE(album.albumVisible);
    EXPECT_EQ(album.localPath, folder);
    ASSERT_EQ(album.items.size(), 2u);
    EXPECT_FALSE(album.items[0]->included);
    EXPECT_TRUE(album.modified);
    EXPECT_EQ(controls.GetText(kEditName), "Holiday");
    EXPECT_TRUE(Server().Log().empty());

    Replies().QueueReply(Reply::kYes);
    EXPECT_TRUE(editor.OnBack());
    EXPECT_EQ(Server().LogOf("GetAlbums").size(), 1u) << "the albums page shows the service's list";
    EXPECT_TRUE(album.items.empty());
    EXPECT_TRUE(album.name.empty());
    EXPECT_EQ(album.albumID, 0);
    EXPECT_FALSE(album.modified);
    EXPECT_EQ(controls.GetText(kEditName), "");
    // Leaving for the albums page after Back takes nothing back into the album.
    EXPECT_TRUE(editor.CanLeave(kAlbumsPage));
    EXPECT_FALSE(album.modified);
  });
}

TEST_F(AlbumEditorEntryTest, TheListFileModeNamesTheAlbumFromItsLabel) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor(
      [&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
        editor.OnShowPage(false);
        const CAlbum& album = app.CurrentAlbum();
        EXPECT_TRUE(view.folderRequests.empty());
        EXPECT_EQ(album.albumID, -1);
        ASSERT_EQ(album.name.size(), std::string("Holiday_").size() + 8) << album.name;
        EXPECT_EQ(album.name.rfind("Holiday_", 0), 0u);
        EXPECT_EQ(album.name.find_first_not_of("0123456789ABCDEF", 8), std::string::npos);
        EXPECT_EQ(album.serverDir, album.name);
        EXPECT_EQ(album.items.size(), 2u);
        EXPECT_TRUE(view.nextEnabled);
      },
      {"-lbl", "Holiday", folder + "/p1.jpg", folder + "/p2.jpg"});
}

}  // namespace
}  // namespace zerva::test
