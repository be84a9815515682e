// The album editor's fields and checks: "_2" server folders and taken names, dates that pull
// each other along with 00:00:00 and 23:59:59 and stay the user's, 1001 items over a limit of
// 1000, the deletion question's count of photos and videos, protection without conflicting
// categories, the target-resolution samples, the description's limit and the Next button.
#include <gtest/gtest.h>

#include "app/text_placeholders.h"
#include "core/ui/album_editor_fixture.h"
#include "model/album.h"
#include "model/date_interval.h"
#include "ui/item_count_text.h"
#include "ui/target_resolution.h"

namespace zerva::test {
namespace {

using AlbumEditorFieldsTest = EditorTest;

// An album of `count` items without files, as the editor shows it after the photo detail page.
void FillAlbum(CAlbum& album, int count, int albumId) {
  album.Clear();
  album.albumID = albumId;
  album.name = "Big";
  album.serverDir = "Big";
  album.modified = true;
  for (int i = 0; i < count; ++i) {
    auto item = std::make_unique<CPhoto>();
    item->fileName = "p" + std::to_string(i + 1) + ".jpg";
    item->index = i + 1;
    item->localFileAvailable = false;
    album.items.push_back(std::move(item));
  }
}

TEST_F(AlbumEditorFieldsTest, NamesWhoseFolderIsTakenGetTheFirstFreeNumber) {
  CreateServiceAlbum("Trip", "Trip");
  CreateServiceAlbum("Trip again", "Trip_2");
  const std::string folder = PhotoFolder("Photos", 1);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    const CAlbum& album = app.CurrentAlbum();
    view.controls.Type(kEditName, "Trip");
    EXPECT_EQ(album.serverDir, "Trip_3");
    view.controls.Type(kEditName, "trip");
    EXPECT_EQ(album.serverDir, "trip_3") << "folders differing in case are the same";
    view.controls.Type(kEditName, "Výlet");
    EXPECT_EQ(album.serverDir, "Vylet");
    // The name itself is the user's other album's: refused.
    view.controls.Type(kEditName, "Trip again");
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kNameTaken);
    EXPECT_TRUE(Asked(Text("msgAlbumExistText")));
  });
}

TEST_F(AlbumEditorFieldsTest, DatesPullEachOtherAndStayAsTheUserSetThem) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    CAlbum& album = app.CurrentAlbum();
    FakePageView& controls = view.controls;
    EXPECT_TRUE(controls.IsChecked(kEditAutoDate));
    album.modified = false;

    // The photos were made today: an end before that pulls the start along.
    controls.Type(kEditDateTo, "2023-06-01");
    EXPECT_EQ(album.endDateInterval, "2023-06-01 23:59:59");
    EXPECT_EQ(album.startDateInterval, "2023-06-01 00:00:00") << "the start follows the end";
    EXPECT_EQ(controls.GetText(kEditDateFrom), "2023-06-01");
    controls.Type(kEditDateFrom, "2023-06-10");
    EXPECT_EQ(album.startDateInterval, "2023-06-10 00:00:00");
    EXPECT_EQ(album.endDateInterval, "2023-06-10 23:59:59") << "the end follows the start";
    controls.Type(kEditDateTo, "2023-06-20");
    controls.Type(kEditDateFrom, "2023-06-05");
    EXPECT_EQ(album.startDateInterval, "2023-06-05 00:00:00");
    EXPECT_EQ(album.endDateInterval, "2023-06-20 23:59:59") << "a later end stays";
    EXPECT_EQ(controls.GetText(kEditDateSample), "(" + DateIntervalLabel(album) + ")");
    EXPECT_TRUE(album.modified);
    // Set by hand, the dates are kept: the upload does not compute them again.
    EXPECT_TRUE(album.manualDateInterval);
    EXPECT_FALSE(controls.IsChecked(kEditAutoDate));

    controls.Type(kEditDateTo, "2023-02-30");
    EXPECT_EQ(album.endDateInterval, "2023-06-20 23:59:59") << "no such day";
    EXPECT_EQ(controls.GetText(kEditDateTo), "2023-06-20");

    controls.Check(kEditAutoDate, true);
    EXPECT_FALSE(album.manualDateInterval);
    EXPECT_NE(album.startDateInterval, "2023-06-05 00:00:00") << "taken from the photos again";
  });
}

TEST_F(AlbumEditorFieldsTest, ThousandAndOneItemsOverALimitOfAThousand) {
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    CAlbum& album = app.CurrentAlbum();
    FillAlbum(album, 1001, -1);
    editor.OnShowPage(true);
    const std::string counts = "1001/1001 (" + Text("EditPhotosDlgOptimal") + " " +
                               std::to_string(kDefaultItemLimit) + ")";
    EXPECT_EQ(view.controls.GetText(kEditCounts), counts);
    EXPECT_EQ(view.controls.Find(kEditCounts).colour, 0xFF0000);

    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kTooManyDeclined);
    EXPECT_TRUE(Asked(FillTextPlaceholders(Text("EditPhotosDlgTooManyPhotos"), {"1000"})));
    EXPECT_EQ(editor.SelectedCount(), 1001) << "No keeps them all";

    // The last item is on the service: leaving it out would delete it there.
    album.items[1000]->photoID = 77;
    Replies().QueueReply(Reply::kYes);
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kDeletionDeclined);
    EXPECT_TRUE(Asked(FillTextPlaceholders(Text("EditPhotosDlgItemsToBeDeleted"),
                                           {"1 " + Text("PhotoCountTool1o")})));
    EXPECT_EQ(editor.SelectedCount(), 1001);

    Replies().QueueReply(Reply::kYes);
    Replies().QueueReply(Reply::kYes);
    EXPECT_TRUE(editor.OnNext());
    EXPECT_EQ(editor.SelectedCount(), 1000);
    EXPECT_TRUE(album.items[999]->included);
    EXPECT_FALSE(album.items[1000]->included) << "the first 1000 are kept";
    EXPECT_EQ(view.controls.GetText(kEditCounts), "1000/1001");
    EXPECT_EQ(view.controls.Find(kEditCounts).colour, kDefaultTextColour);
  });
}

TEST_F(AlbumEditorFieldsTest, TheDeletionQuestionCountsPhotosAndVideos) {
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView&) {
    CAlbum& album = app.CurrentAlbum();
    FillAlbum(album, 6, 5);
    for (int i = 0; i < 4; ++i) {
      album.items[i]->photoID = 100 + i;
      album.items[i]->included = false;
    }
    album.items[3]->isVideo = true;
    album.items[4]->included = false;  // never sent: nothing to delete
    editor.OnShowPage(true);

    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kDeletionDeclined);
    const std::string count =
        "3 " + Text("PhotoCountTool2") + " " + Text("And") + " 1 " + Text("VideoCountTool1");
    EXPECT_EQ(count, ItemCountText(3, 1));
    EXPECT_TRUE(Asked(FillTextPlaceholders(Text("EditPhotosDlgItemsToBeDeleted"), {count})));
    Replies().QueueReply(Reply::kYes);
    EXPECT_TRUE(editor.OnNext());
  });
}

TEST_F(AlbumEditorFieldsTest, ProtectionWithoutConflictingCategoriesAsksNothing) {
  const std::string folder = PhotoFolder("Trip", 1);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    const CAlbum& album = app.CurrentAlbum();
    FakePageView& controls = view.controls;
    EXPECT_EQ(controls.GetText(kEditVisibility), Text("AlbumPublicText"));
    EXPECT_FALSE(controls.Enabled(kEditSecureName));
    controls.Click(kEditVisibility);
    EXPECT_TRUE(controls.Shown(kEditProtectionPopup));
    const size_t asked = Replies().Messages().size();

    controls.Check(kEditHidden, true);
    EXPECT_FALSE(album.albumVisible);
    EXPECT_EQ(controls.GetText(kEditVisibility), Text("AlbumHiddenText"));
    controls.Check(kEditPasswordCheck, true);
    EXPECT_TRUE(album.albumSecure);
    EXPECT_TRUE(controls.Enabled(kEditSecureName));
    EXPECT_TRUE(controls.Enabled(kEditSecurePass));
    EXPECT_EQ(controls.GetText(kEditVisibility), Text("AlbumHiddenPassText"));
    EXPECT_EQ(Replies().Messages().size(), asked) << "no category asks for a public album";

    // A protected album needs both; the popup opens on the empty one, the name first.
    controls.Show(kEditProtectionPopup, false);
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kSecureIncomplete);
    EXPECT_TRUE(controls.Shown(kEditProtectionPopup));
    EXPECT_EQ(controls.focus, kEditSecureName);
    controls.Type(kEditSecureName, "guest");
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(controls.focus, kEditSecurePass);
    controls.Type(kEditSecurePass, "secret");
    controls.Click(kEditProtectionPopup);
    EXPECT_EQ(album.albumSecureName, "guest");
    EXPECT_EQ(album.albumSecurePass, "secret");
    EXPECT_TRUE(editor.OnNext());

    controls.Check(kEditHidden, false);
    EXPECT_EQ(controls.GetText(kEditVisibility), Text("AlbumPassText"));
    controls.Check(kEditPasswordCheck, false);
    EXPECT_FALSE(controls.Enabled(kEditSecurePass));
    EXPECT_EQ(controls.GetText(kEditVisibility), Text("AlbumPublicText"));
  });
}

TEST(TargetResolution, SamplesSayWhichItemsWouldBeSentLargerOrSmaller) {
  EXPECT_EQ(TargetResolutions(1200), (std::vector<int>{700, 1200}));
  EXPECT_EQ(TargetResolutions(1600), (std::vector<int>{700, 1200, 1600}));

  CAlbum album;
  album.SetMaxSizeImage(700);
  auto add = [&](int sent, const char* source, bool local, bool included = true) {
    auto item = std::make_unique<CPhoto>();
    item->width = sent;
    item->height = sent * 3 / 4;
    item->SourceWidth = source;
    item->SourceHeight = "100";
    item->localFileAvailable = local;
    item->included = included;
    album.items.push_back(std::move(item));
  };
  add(700, "3000", true);
  add(700, "3000", false);
  add(1200, "", true);
  add(700, "3000", true, false);  // excluded: not counted

  const std::string up = Text("msgRaiseResolutionUp") + ": " +
                         FillTextPlaceholders(Text("msgRaiseResolutionXofY"), {"1", "2"});
  EXPECT_EQ(ResolutionSampleText(album, 1200), up);
  EXPECT_EQ(ResolutionSampleText(album, 700),
            Text("msgRaiseResolutionActual") + ": " +
                FillTextPlaceholders(Text("msgRaiseResolutionDown"), {"1"}));
  // Within 16 pixels of what was sent nothing is sent again.
  EXPECT_EQ(ResolutionSampleText(album, 716),
            FillTextPlaceholders(Text("msgRaiseResolutionDown"), {"1"}));

  album.items[0]->localFileAvailable = false;
  album.items[2]->included = false;
  EXPECT_EQ(ResolutionSampleText(album, 1200),
            Text("msgRaiseResolutionUp") + ": " + Text("msgRaiseResolutionFuture"));
  album.items[0]->localFileAvailable = album.items[1]->localFileAvailable = true;
  EXPECT_EQ(ResolutionSampleText(album, 1200),
            Text("msgRaiseResolutionUp") + ": " +
                FillTextPlaceholders(Text("msgRaiseResolutionX"), {"2"}));
  album.items[0]->width = album.items[1]->width = 2000;
  EXPECT_EQ(ResolutionSampleText(album, 2000), "") << "nothing to say";
}

TEST_F(AlbumEditorFieldsTest, ChoosingAResolutionLeavesItToTheUploadToApply) {
  const std::string folder = PhotoFolder("Trip", 1);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    CAlbum& album = app.CurrentAlbum();
    const int present = album.maxSizeImage;
    FakePageView& controls = view.controls;
    const std::vector<std::string> entries = controls.Find(kEditResolution).items;
    ASSERT_EQ(entries, (std::vector<std::string>{"700 px", "1200 px"}));
    EXPECT_EQ(controls.Selected(kEditResolution), 1);
    album.modified = false;
    controls.Choose(kEditResolution, 0);
    EXPECT_EQ(album.resolution, 700);
    EXPECT_EQ(album.maxSizeImage, present) << "the upload page applies it to the items";
    EXPECT_TRUE(album.modified);
    EXPECT_EQ(controls.GetText(kEditResolutionSample), ResolutionSampleText(album, 700));
  });
}

TEST_F(AlbumEditorFieldsTest, TheDescriptionKeepsTenThousandCharacters) {
  const std::string folder = PhotoFolder("Trip", 1);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    std::string text;
    for (int i = 0; i < 10001; ++i) text += "é";
    view.controls.Type(kEditDesc, text);
    const std::string kept = text.substr(0, 20000);
    EXPECT_EQ(app.CurrentAlbum().desc, kept);
    EXPECT_EQ(view.controls.GetText(kEditDesc), kept);
  });
}

TEST_F(AlbumEditorFieldsTest, TheNextButtonNamesTheMoveAndWaitsForSomethingToSend) {
  const std::string folder = PhotoFolder("Trip", 2);
  RunEditor([&](CzervaApp& app, CEditPhotosDlg& editor, FakeEditorView& view) {
    EnterNewAlbum(editor, view, folder);
    EXPECT_EQ(view.nextCaption, Text("newAlbum"));
    EXPECT_EQ(view.nextTooltip, "navFinishTool");
    EXPECT_TRUE(view.nextEnabled);
    EXPECT_EQ(view.backCaption, Text("navBack"));
    EXPECT_EQ(view.backTooltip, "navPrevAlbumsTool");

    view.controls.menuChoices.push_back(kSelectNone);
    view.controls.Click(kEditSelectButton);
    EXPECT_FALSE(view.nextEnabled) << "nothing selected";
    EXPECT_EQ(view.nextTooltip, "");
    EXPECT_FALSE(editor.OnNext());
    EXPECT_EQ(editor.LastRefusal(), NextRefusal::kNothingSelected);

    // Another album in its place, as after the photo detail page; the loader first stops.
    ASSERT_TRUE(editor.List().ClearList());
    CAlbum& album = app.CurrentAlbum();
    FillAlbum(album, 2, 12);
    album.modified = false;
    editor.OnShowPage(true);
    EXPECT_EQ(view.nextCaption, Text("navFinish"));
    EXPECT_FALSE(view.nextEnabled) << "an unchanged album";
    album.uploading = 1;
    editor.OnShowPage(true);
    EXPECT_TRUE(view.nextEnabled) << "an unfinished upload";
    EXPECT_EQ(view.nextTooltip, "navFinishNewTool");
  });
}

}  // namespace
}  // namespace zerva::test
