// The album editor's items and folder: names undo (a second undo is disabled), the select and
// sort menus, the folder history with its removal, relocation with RebasePath, added photos of
// known types only, the add-photos filter list, the size slider, the watermark button, the link
// menu and the thumbnail list's notices.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/dialogs.h"
#include "app/history_list.h"
#include "app/profile.h"
#include "app/text_placeholders.h"
#include "core/ui/album_editor_fixture.h"
#include "jobs/unknown_videos.h"
#include "model/album.h"
#include "model/folder_scan.h"
#include "model/photo_sort.h"
#include "session/sort_state.h"
#include "ui/add_photos_filter.h"

namespace zerva::test {
namespace {

using AlbumEditorItemsTest = EditorTest;

std::vector<std::string> Names(const CAlbum& album) {
  std::vector<std::string> names;
  for (const auto& item : album.items) names.push_back(item->name);
  return names;
}

TEST_F(AlbumEditorItemsTest, NamesUndoRestoresEveryNameOnce) {
  const std::string folder = PhotoFolder("Trip", 3);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    CAlbum& album = app.CurrentAlbum();
    album.items[0]->name = "Beach";
    album.items[2]->name = "Sunset";
    FakePageView& controls = view.controls;

    controls.menuChoices.push_back(kNamesClear);
    controls.Click(kEditNamesButton);
    EXPECT_EQ(Names(album), (std::vector<std::string>{"", "", ""}));
    EXPECT_FALSE(controls.commandMenus.back().entries[2].enabled) << "nothing to undo yet";
    controls.menuChoices.push_back(kNamesUndo);
    controls.Click(kEditNamesButton);
    EXPECT_TRUE(controls.commandMenus.back().entries[2].enabled);
    EXPECT_EQ(Names(album), (std::vector<std::string>{"Beach", "", "Sunset"}));
    EXPECT_FALSE(editor.UndoAvailable());
    controls.Click(kEditNamesButton);  // closed without a choice
    EXPECT_FALSE(controls.commandMenus.back().entries[2].enabled) << "a second undo is disabled";

    // The default name is the file's name without its extension.
    controls.menuChoices.push_back(kNamesDefault);
    controls.Click(kEditNamesButton);
    EXPECT_EQ(Names(album), (std::vector<std::string>{"p1", "p2", "p3"}));
    controls.menuChoices.push_back(kNamesUndo);
    controls.Click(kEditNamesButton);
    EXPECT_EQ(Names(album), (std::vector<std::string>{"Beach", "", "Sunset"}));
  });
}

TEST_F(AlbumEditorItemsTest, TheSelectAndSortMenus) {
  const std::string folder = PhotoFolder("Trip", 3);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    CAlbum& album = app.CurrentAlbum();
    FakePageView& controls = view.controls;

    album.items[1]->included = false;
    controls.menuChoices.push_back(kSelectInvert);
    controls.Click(kEditSelectButton);
    EXPECT_TRUE(controls.commandMenus.back().entries[0].enabled);
    EXPECT_EQ(editor.SelectedCount(), 1);
    EXPECT_TRUE(album.items[1]->included);
    EXPECT_EQ(controls.GetText(kEditCounts), "1/3");
    controls.menuChoices.push_back(kSelectAll);
    controls.Click(kEditSelectButton);
    EXPECT_EQ(editor.SelectedCount(), 3);
    controls.Click(kEditSelectButton);
    EXPECT_FALSE(controls.commandMenus.back().entries[0].enabled) << "all are selected";

    // Sorting by file name: the first choice takes the key's own direction, the second
    // reverses it; the choice is the session's.
    SortState& sort = app.Session().SecondSort();
    controls.menuChoices.push_back(kSortCommandBase + kSortByFileName);
    controls.Click(kEditSortButton);
    const std::vector<MenuEntry>& first = controls.commandMenus.back().entries;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].text, Text("EditPhotosDlgSortTimeBtn"));
    EXPECT_FALSE(first[1].checked);
    EXPECT_EQ(sort.Key(), kSortByFileName);
    const bool ascending = sort.Direction() != 0;
    EXPECT_EQ(album.items[0]->fileName, ascending ? "p1.jpg" : "p3.jpg");
    controls.menuChoices.push_back(kSortCommandBase + kSortByFileName);
    controls.Click(kEditSortButton);
    EXPECT_TRUE(controls.commandMenus.back().entries[1].checked);
    EXPECT_EQ(sort.Direction() != 0, !ascending);
    EXPECT_EQ(album.items[0]->fileName, ascending ? "p3.jpg" : "p1.jpg");
    for (size_t i = 0; i < album.items.size(); ++i) {
      EXPECT_EQ(album.items[i]->index, static_cast<int>(i) + 1);
    }
  });
}

TEST_F(AlbumEditorItemsTest, TheFolderHistoryLoadsAndForgetsFolders) {
  const std::string trip = PhotoFolder("Trip", 1);
  const std::string beach = PhotoFolder("Beach", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, trip);
    view.folders.push_back({beach, {}});
    view.controls.Click(kEditFolderButton);
    ASSERT_EQ(view.folderRequests.size(), 2u);
    EXPECT_EQ(view.folderRequests[1].startFolder, trip);
    FakePageView& controls = view.controls;

    controls.menuChoices.push_back(1);
    controls.Click(kEditFolderHistory);
    EXPECT_EQ(controls.menus.back().items, (std::vector<std::string>{beach, trip}));
    EXPECT_EQ(app.CurrentAlbum().localPath, trip);
    EXPECT_EQ(app.CurrentAlbum().name, "Trip");

    // A right click removes an entry and stores the history.
    controls.contextChoices.push_back(1);
    controls.Click(kEditFolderHistory);
    EXPECT_EQ(controls.contextTexts.back(), FillTextPlaceholders(Text("msgRemoveFolder"), {beach}));
    EXPECT_EQ(DirHistory(AppProfile(), app.Session().LoginName()), std::vector<std::string>{trip});
    EXPECT_EQ(app.CurrentAlbum().localPath, trip) << "nothing chosen";
  });
}

TEST_F(AlbumEditorItemsTest, RelocatingAnAlbumRebasesTheFilesItMisses) {
  const std::string moved = PhotoFolder("Moved", 1);
  const std::string old = root_.Path() + "Old";
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    CAlbum& album = app.CurrentAlbum();
    album.albumID = 7;
    album.name = "Trip";
    album.serverDir = "trip";
    album.localPath = old;
    for (const char* name : {"p1.jpg", "p2.jpg"}) {
      auto item = std::make_unique<CPhoto>();
      item->fileName = name;
      item->localPath = old + "/" + name;
      item->localFileAvailable = false;
      album.items.push_back(std::move(item));
    }
    editor.OnShowPage(true);
    FakePageView& controls = view.controls;
    EXPECT_EQ(controls.GetText(kEditFolder), Text("msgDirectoryNotExist") + " " + old);
    EXPECT_EQ(controls.GetText(kEditFolderButton), Text("msgLocateDirectory"));

    view.folders.push_back({moved + "/", {}});
    controls.Click(kEditFolderButton);
    ASSERT_EQ(view.folderRequests.size(), 1u);
    EXPECT_FALSE(view.folderRequests[0].allowFiles);
    EXPECT_EQ(view.folderRequests[0].text.rfind(Text("msgDirectoryMoved1") + "\n", 0), 0u);
    EXPECT_EQ(album.previousLocalPath, old);
    EXPECT_EQ(album.localPath, moved);
    EXPECT_TRUE(album.folderMoved);
    EXPECT_TRUE(album.modified);
    EXPECT_EQ(album.items[0]->localPath, moved + "/p1.jpg");
    EXPECT_TRUE(album.items[0]->localFileAvailable);
    EXPECT_EQ(album.items[1]->localPath, moved + "/p2.jpg");
    EXPECT_FALSE(album.items[1]->localFileAvailable) << "not in the new folder either";
    EXPECT_EQ(controls.GetText(kEditFolder), moved);
    EXPECT_EQ(controls.GetText(kEditFolderButton), Text("btnDirectory"));
  });
}

TEST(AddPhotosFilters, PhotosVideosAndAllFilesWithTheirPatterns) {
  const FileDialogFilters photos = AddPhotosFilters(false);
  EXPECT_EQ(photos.selected, 0);
  const std::string pattern = FileFilter(kMediaPhotos, true);
  EXPECT_EQ(photos.filters, Text("EditPhotosAddPhotoFilter") + " (" + pattern + ")|" + pattern +
                                "|" + Text("EditPhotosAddPhotoFilterAll") + " (*.*)|*.*||");
  const FileDialogFilters videos = AddPhotosFilters(true);
  EXPECT_EQ(videos.selected, 1) << "photos and videos first";
  const std::vector<FileFilterEntry> entries = ParseFileFilters(videos.filters);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].patterns, FileFilter(kMediaPhotos | kMediaVideos, true));
  EXPECT_NE(entries[1].patterns.find("*.MOV"), std::string::npos);
  EXPECT_EQ(entries[2].patterns, "*.*");
}

TEST_F(AlbumEditorItemsTest, AddedPhotosAreNewFilesOfKnownTypes) {
  const std::string trip = PhotoFolder("Trip", 2);
  const std::string more = PhotoFolder("More", 1);
  root_.Write("More/notes.txt", "no photo");
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, trip);
    view.files.push_back({trip + "/p1.jpg", more + "/p1.jpg", more + "/notes.txt"});
    view.controls.Click(kEditAddPhotos);
    ASSERT_EQ(view.fileRequests.size(), 1u);
    EXPECT_EQ(view.fileRequests[0].title, Text("EditPhotosAddPhotoTitle"));
    EXPECT_EQ(view.fileRequests[0].startFolder, trip);
    EXPECT_EQ(view.fileRequests[0].filters,
              AddPhotosFilters(app.CurrentAlbum().env.videoSupport).filters);

    const CAlbum& album = app.CurrentAlbum();
    ASSERT_EQ(album.items.size(), 3u);
    EXPECT_EQ(album.items[2]->localPath, more + "/p1.jpg");
    EXPECT_EQ(album.items[2]->fileName, "p11.jpg") << "a name of its own on the service";
    EXPECT_TRUE(Asked(Text("msgAlreadyPresent")));
    EXPECT_FALSE(Asked("notes.txt")) << "only files of a known type are taken";
    EXPECT_EQ(view.controls.thumbnails.count, 3);
    EXPECT_EQ(view.controls.thumbnails.current, 2) << "the first added item is shown";
    EXPECT_EQ(view.controls.GetText(kEditCounts), "3/3");
  });
}

TEST_F(AlbumEditorItemsTest, TheSizeSliderShowsItsPercentAndZoomsOnRelease) {
  RunEditor([&](CzervaApp&, CEditPhotosDlg& editor, FakeEditorView& view) {
    FakePageView& controls = view.controls;
    EXPECT_EQ(controls.Find(kEditSizeSlider).minimum, 50);
    EXPECT_EQ(controls.Find(kEditSizeSlider).maximum, 200);
    EXPECT_EQ(controls.Find(kEditSizeSlider).step, 10);
    EXPECT_EQ(controls.GetValue(kEditSizeSlider), 100);
    controls.Slide(kEditSizeSlider, 120);
    EXPECT_EQ(controls.GetText(kEditSizeText), "120 %");
    EXPECT_TRUE(controls.Shown(kEditSizeText));
    EXPECT_EQ(editor.List().ZoomPercent(), 100) << "nothing happens while it moves";
    controls.Release(kEditSizeSlider);
    EXPECT_EQ(editor.List().ZoomPercent(), 120);
    EXPECT_EQ(controls.Find(kEditSizeSlider).tooltip, Text("sliderThumbSize") + " 120 %");
    EXPECT_TRUE(controls.Fire(kEditSizeTextTimer));
    EXPECT_FALSE(controls.Shown(kEditSizeText));
  });
}

TEST_F(AlbumEditorItemsTest, TheWatermarkButtonMarksPhotosForPreparationAgain) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    UserDetails& user = app.Session().MutableDetails();
    user.watermarkWidth = 0;
    EnterNewAlbum(editor, view, folder);
    EXPECT_FALSE(view.controls.Enabled(kEditWatermark)) << "the user has no watermark";
    user.watermarkWidth = 40;
    user.watermarkHeight = 20;
    editor.UpdateTexts();
    EXPECT_TRUE(view.controls.Enabled(kEditWatermark));
    EXPECT_EQ(view.controls.GetText(kEditWatermark), Text("btnWatermarkAdd"));

    ASSERT_TRUE(editor.List().ClearList());
    CAlbum& album = app.CurrentAlbum();
    album.items[0]->prepared.preparedSize = album.resolution;
    album.items[1]->isVideo = true;
    album.modified = false;
    view.controls.Click(kEditWatermark);
    EXPECT_TRUE(album.defaultWatermark);
    EXPECT_TRUE(album.items[0]->hasWatermark);
    EXPECT_TRUE(album.items[0]->edited);
    EXPECT_EQ(album.items[0]->prepared.preparedSize, 0) << "prepared again";
    EXPECT_FALSE(album.items[1]->hasWatermark) << "videos carry none";
    EXPECT_TRUE(album.modified);
    EXPECT_EQ(view.controls.GetText(kEditWatermark), Text("btnWatermarkDel"));
    view.controls.Click(kEditWatermark);
    EXPECT_FALSE(album.items[0]->hasWatermark);
  });
}

TEST_F(AlbumEditorItemsTest, TheLinkMenuOpensOrCopiesTheAlbumsAddress) {
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    CAlbum& album = app.CurrentAlbum();
    album.albumID = 3;
    album.ownerName = user_;
    album.serverDir = "trip";
    editor.OnShowPage(true);
    EXPECT_TRUE(view.controls.Shown(kEditLink));
    view.controls.menuChoices.push_back(kLinkCopy);
    view.controls.Click(kEditLink);
    EXPECT_EQ(view.controls.clipboard, album.AlbumUrl());
    view.controls.menuChoices.push_back(kLinkOpen);
    view.controls.Click(kEditLink);
    EXPECT_EQ(frontEnd_.opened, std::vector<std::string>{album.AlbumUrl()});
    album.albumID = -1;
    editor.OnShowPage(true);
    EXPECT_FALSE(view.controls.Shown(kEditLink)) << "a new album has no address yet";
  });
}

TEST_F(AlbumEditorItemsTest, TheListsNoticesOpenItemsDatesAndOriginals) {
  const std::string folder = PhotoFolder("Trip", 2);
  const std::string clip = root_.Write("Trip/clip.mp4", std::string(4096, 'v'));
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    CAlbum& album = app.CurrentAlbum();
    const std::shared_ptr<MessageTarget>& list = editor.ListOwner();

    list->Post({kMsgThumb1082, 1, 0, nullptr});
    frontEnd_.loop.Pump();
    EXPECT_EQ(view.detailIndex, 1);
    EXPECT_EQ(view.moves, std::vector<std::string>{kPhotoDetailPage});
    EXPECT_TRUE(editor.CanLeave(kPhotoDetailPage));

    // The loader's notice after its first pass: a new album takes its dates from the items.
    album.startDateInterval = album.endDateInterval = "2001-01-01 00:00:00";
    list->Post({kMsgThumb1084, 1, 0, nullptr});
    frontEnd_.loop.Pump();
    EXPECT_NE(album.startDateInterval, "2001-01-01 00:00:00");
    EXPECT_EQ(view.controls.GetText(kEditDateFrom), album.startDateInterval.substr(0, 10));

    // A video's original, asked for by an item that left the album meanwhile: nothing is sent.
    CPhoto gone;
    gone.isVideo = true;
    gone.localPath = clip;
    list->Post({kMsgThumb1085, 0, reinterpret_cast<MessageParam>(&gone), nullptr});
    frontEnd_.loop.Pump();
    EXPECT_TRUE(Server().LogOf("AcceptUnkVideoUpload").empty());
    // One of the album: the service is asked whether it takes the original.
    ASSERT_TRUE(editor.List().ClearList());
    auto video = std::make_unique<CPhoto>();
    video->isVideo = true;
    video->localPath = clip;
    list->Post({kMsgThumb1085, 0, reinterpret_cast<MessageParam>(video.get()), nullptr});
    album.items.push_back(std::move(video));
    frontEnd_.loop.Pump();
    const std::vector<LoggedRequest> asked = Server().LogOf("AcceptUnkVideoUpload");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Field("reason"), "explicit");
    EXPECT_EQ(asked[0].Field("fileSize"), "4096");
    OriginalUploadContext originals;
    originals.ui = &app.AppUiThread();
    originals.pool = &app.OriginalPool();
    WaitForOriginals(originals);
  });
}

}  // namespace
}  // namespace zerva::test
