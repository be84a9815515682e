// The photo detail page in the window on fake views: the index it is given is kept in the album,
// the moves stop at both ends, the preview cache keeps at most 20 large pictures, the marks and
// the turns change the album through the editor's list, the texts are edited in place with
// their line breaks kept, and Next goes through the editor's checks. Then the properties text.
#include "ui/photo_detail_page.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "media/item_image.h"
#include "model/album.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/album_editor_window_page.h"
#include "ui/item_properties_text.h"
#include "ui/main_window_view.h"
#include "ui/page_factory.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

class PhotoDetailTest : public PageTest {
 protected:
  // Items without files, as the service's items of an album whose folder is gone.
  static void FillAlbum(CAlbum& album, int count) {
    album.Clear();
    for (int i = 1; i <= count; ++i) {
      auto item = std::make_unique<CPhoto>();
      item->fileName = "p" + std::to_string(i) + ".jpg";
      item->name = "Photo " + std::to_string(i);
      item->localFileAvailable = false;
      item->index = i;
      album.items.push_back(std::move(item));
    }
  }
  // Signed in as a new user, whose first page is the editor with a new album of `count` photos.
  void OpenEditor(WindowHarness& window, int count) {
    const std::string user = NewAccount();
    for (int i = 1; i <= count; ++i) {
      PhotoFile(albumFolder_, "p" + std::to_string(i) + ".jpg", 64, 48, 90,
                static_cast<unsigned>(i));
    }
    Replies().QueueFolder(albumFolder_.Path());
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    ASSERT_EQ(window.Current(), kEditPhotosPage);
  }
  static void Open(WindowHarness& window, int index) {
    window.dlg.SetDetailIndex(index);
    ASSERT_TRUE(window.dlg.GoTo(kPhotoDetailPage, nullptr));
  }
  static CEditPhotosDlg& Editor(WindowHarness& window) {
    return window.Controller<CEditPhotosWindowPage>(PageId::kEditPhotos).Editor();
  }
};

TEST_F(PhotoDetailTest, AnIndexPastTheEndShowsTheFirstAndTheMovesStopAtBothEnds) {
  EXPECT_TRUE(PageIsBuilt(PageId::kPhotoDetail));
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    FillAlbum(app.CurrentAlbum(), 3);
    app.CurrentAlbum().items[2]->isVideo = true;
    Open(window, 7);
    FakePageView& page = window.Page(PageId::kPhotoDetail);
    auto& detail = window.Controller<CEditPhotoDetailDlg>(PageId::kPhotoDetail);
    EXPECT_EQ(detail.Index(), 0);
    EXPECT_EQ(window.dlg.DetailIndex(), 0);
    EXPECT_EQ(page.GetText(kDetailPosition), "1 / 3");
    EXPECT_EQ(page.Find(kDetailPositionBar).minimum, 0);
    EXPECT_EQ(page.Find(kDetailPositionBar).maximum, 3);
    EXPECT_EQ(page.GetValue(kDetailPositionBar), 1);
    EXPECT_FALSE(page.Enabled(kDetailPrev));
    EXPECT_EQ(page.Find(kDetailPrev).tooltip, "");
    EXPECT_TRUE(page.Enabled(kDetailNext));
    EXPECT_EQ(page.Find(kDetailNext).tooltip, Text("EditPhotoDetailDlgNextTool"));
    EXPECT_EQ(page.GetText(kDetailName), "Photo 1");
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("EditPhotoDetailDlgTitle"));
    EXPECT_EQ(window.main.userBar.GetText(kUserBack), Text("navPrevPhotos"));

    page.Click(kDetailNext);
    page.Click(kDetailNext);
    EXPECT_EQ(page.GetText(kDetailPosition), "3 / 3");
    EXPECT_EQ(page.GetValue(kDetailPositionBar), 3);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("EditPhotoDetailDlgTitleVideo"));
    EXPECT_FALSE(page.Enabled(kDetailNext));
    EXPECT_EQ(page.Find(kDetailNext).tooltip, "");
    EXPECT_EQ(page.Find(kDetailPrev).tooltip, Text("EditPhotoDetailDlgPrevTool"));
    // A click that still arrives on the last item does not wrap to the first.
    page.Click(kDetailNext);
    EXPECT_EQ(detail.Index(), 2);
    page.Click(kDetailPrev);
    page.Click(kDetailPrev);
    page.Click(kDetailPrev);
    EXPECT_EQ(detail.Index(), 0);
    EXPECT_EQ(window.dlg.DetailIndex(), 0);

    // The return button is the user bar's Back.
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kEditPhotosPage);
  });
}

TEST_F(PhotoDetailTest, BrowsingTwentyFiveItemsKeepsAtMostTwentyLargePictures) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    CAlbum& album = app.CurrentAlbum();
    FillAlbum(album, 25);
    for (const auto& item : album.items) item->preparedImage = ToItemImage(PhotoLike(8, 6));
    Open(window, 0);
    FakePageView& page = window.Page(PageId::kPhotoDetail);
    EXPECT_EQ(page.Find(kDetailPicture).picture, album.items[0]->preparedImage);
    // The next item is queued as soon as the page shows.
    EXPECT_TRUE(app.Previews().WantsLarge(album.items[1].get()));
    for (int i = 1; i < 25; ++i) page.Click(kDetailNext);
    EXPECT_LE(app.Previews().Size(), kMaxPreviews);
    EXPECT_EQ(album.items[0]->preparedImage, nullptr) << "the oldest picture was released";
    EXPECT_NE(album.items[24]->preparedImage, nullptr);
    EXPECT_EQ(page.Find(kDetailPicture).picture, album.items[24]->preparedImage);
    EXPECT_EQ(app.Previews().Shown(), album.items[24].get());

    // Back in the editor the pictures stay for the next visit; nothing is shown any more.
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(app.Previews().Shown(), nullptr);
    EXPECT_GT(app.Previews().Size(), 0u);
    // Signing out forgets them.
    window.dlg.Pages().Page(PageId::kPhotoDetail)->ReleaseCaches();
    EXPECT_EQ(app.Previews().Size(), 0u);
    EXPECT_EQ(album.items[24]->preparedImage, nullptr);
  });
}

TEST_F(PhotoDetailTest, TheMarksChangeTheAlbumAndTheCoverToggledTwiceLeavesNone) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenEditor(window, 3);
    CAlbum& album = app.CurrentAlbum();
    ASSERT_EQ(album.items.size(), 3u);
    EXPECT_EQ(album.thumbName, "p1.jpg");
    Open(window, 1);
    FakePageView& page = window.Page(PageId::kPhotoDetail);
    EXPECT_FALSE(page.IsChecked(kDetailCover));
    EXPECT_EQ(page.Find(kDetailCover).tooltip, Text("setAsDefaultTool"));
    EXPECT_TRUE(page.IsChecked(kDetailInclude));
    EXPECT_EQ(page.Find(kDetailInclude).tooltip,
              Text("includedPhoto") + " - " + Text("msgClickToExclude"));

    album.modified = false;
    page.Click(kDetailCover);
    EXPECT_EQ(album.thumbName, "p2.jpg");
    EXPECT_TRUE(page.IsChecked(kDetailCover));
    EXPECT_EQ(page.Find(kDetailCover).tooltip, Text("setAsDefault"));
    EXPECT_TRUE(album.modified);
    album.modified = false;
    page.Click(kDetailCover);
    EXPECT_EQ(album.thumbName, "");
    EXPECT_EQ(Editor(window).List().CoverIndex(), -1);
    EXPECT_FALSE(page.IsChecked(kDetailCover));
    EXPECT_EQ(page.Find(kDetailCover).tooltip, Text("setAsDefaultTool"));
    EXPECT_TRUE(album.modified);

    page.Click(kDetailInclude);
    EXPECT_FALSE(album.items[1]->included);
    EXPECT_EQ(page.Find(kDetailInclude).tooltip,
              Text("excludedPhoto") + " - " + Text("msgClickToInclude"));
    EXPECT_EQ(Editor(window).SelectedCount(), 2);
    // Making a left-out item the cover puts it back in the album.
    page.Click(kDetailCover);
    EXPECT_TRUE(album.items[1]->included);
    EXPECT_EQ(album.thumbName, "p2.jpg");
    EXPECT_TRUE(page.IsChecked(kDetailInclude));
  });
}

TEST_F(PhotoDetailTest, TurningMarksTheItemAndAVideoWithoutItsFileIsNotTurned) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenEditor(window, 2);
    CAlbum& album = app.CurrentAlbum();
    Open(window, 0);
    FakePageView& page = window.Page(PageId::kPhotoDetail);
    auto& detail = window.Controller<CEditPhotoDetailDlg>(PageId::kPhotoDetail);
    CPhoto& photo = *album.items[0];
    const int code = photo.rotate;
    album.modified = false;
    EXPECT_TRUE(page.Shown(kDetailTurnLeft));
    page.Click(kDetailTurnRight);
    EXPECT_EQ(photo.rotate, (code + 1) % 4);
    EXPECT_TRUE(photo.edited);
    EXPECT_TRUE(album.modified);
    EXPECT_FALSE(detail.Busy());
    page.Click(kDetailTurnLeft);
    EXPECT_EQ(photo.rotate, code);

    // The second item is a video whose file is gone: it cannot be converted again.
    CPhoto& video = *album.items[1];
    video.isVideo = true;
    video.localFileAvailable = false;
    page.Click(kDetailNext);
    EXPECT_FALSE(page.Shown(kDetailTurnLeft));
    EXPECT_FALSE(page.Shown(kDetailTurnRight));
    EXPECT_FALSE(page.Shown(kDetailPlay));
    page.Click(kDetailTurnRight);
    EXPECT_EQ(video.rotate, 0);
    EXPECT_FALSE(video.video.videoChanged);

    // With its file it turns, and is converted and sent again.
    video.localFileAvailable = true;
    page.Click(kDetailPrev);
    page.Click(kDetailNext);
    EXPECT_TRUE(page.Shown(kDetailTurnRight));
    page.Click(kDetailTurnRight);
    EXPECT_EQ(video.rotate, 1);
    EXPECT_TRUE(video.video.videoChanged);
    EXPECT_TRUE(video.needsUpload);
    // Without a dialog to show, there is no video properties button.
    EXPECT_FALSE(page.Shown(kDetailVideoProps));
  });
}

TEST_F(PhotoDetailTest, TheTextsAreEditedInPlaceWithTheirLineBreaks) {
  EXPECT_EQ(DescriptionForEditing("one<br>two<br>"), "one\r\ntwo\r\n");
  EXPECT_EQ(DescriptionFromEditing("one\r\ntwo\nthree\rfour"), "one<br>two<br>three<br>four");
  EXPECT_EQ(DescriptionFromEditing(DescriptionForEditing("a<br><br>b")), "a<br><br>b");

  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenEditor(window, 2);
    CAlbum& album = app.CurrentAlbum();
    CEditPhotosDlg& editor = Editor(window);
    // The names menu's "clear" can be undone until a name is changed here.
    FakePageView& editorPage = window.Page(PageId::kEditPhotos);
    editorPage.menuChoices.push_back(kNamesClear);
    editorPage.Click(kEditNamesButton);
    ASSERT_TRUE(editor.UndoAvailable());

    CPhoto& item = *album.items[0];
    item.desc = "Sea<br>and sand";
    Open(window, 0);
    FakePageView& page = window.Page(PageId::kPhotoDetail);
    auto& detail = window.Controller<CEditPhotoDetailDlg>(PageId::kPhotoDetail);
    EXPECT_EQ(page.GetText(kDetailDesc), "Sea\r\nand sand");
    EXPECT_EQ(page.Find(kDetailName).cue, Text("photoNamePrompt"));
    EXPECT_EQ(page.Find(kDetailDesc).tooltip,
              Text("msgPhotoDesc") + " - " + Text("msgClickToEdit"));

    // Escape drops what was typed.
    page.Click(kDetailName);
    page.Type(kDetailName, "Never kept");
    page.PressEscape();
    EXPECT_EQ(item.name, "");
    EXPECT_EQ(page.GetText(kDetailName), "");
    EXPECT_EQ(page.focus, kDetailPicture);

    // Ending an edit that changed nothing leaves the album as it was.
    album.modified = false;
    page.Click(kDetailDesc);
    EXPECT_EQ(detail.Editing(), CEditPhotoDetailDlg::EditField::kDesc);
    EXPECT_TRUE(page.Shown(kDetailDescSave));
    EXPECT_EQ(page.Find(kDetailDesc).tooltip,
              Text("msgPhotoDesc") + " - " + Text("msgEscToCancel"));
    page.Click(kDetailDescSave);
    EXPECT_EQ(detail.Editing(), CEditPhotoDetailDlg::EditField::kNone);
    EXPECT_FALSE(page.Shown(kDetailDescSave));
    EXPECT_FALSE(album.modified);
    EXPECT_FALSE(item.edited);
    EXPECT_TRUE(editor.UndoAvailable());

    // Moving on ends the edit and keeps the text.
    page.Click(kDetailName);
    page.Type(kDetailName, "Beach");
    page.Click(kDetailNext);
    EXPECT_EQ(item.name, "Beach");
    EXPECT_TRUE(item.edited);
    EXPECT_TRUE(album.modified);
    EXPECT_FALSE(editor.UndoAvailable()) << "undo would bring back the cleared name";

    page.Click(kDetailPrev);
    page.Click(kDetailDesc);
    page.Type(kDetailDesc, "Sea\nand sand\r\nat noon");
    page.PressEnter();
    EXPECT_EQ(item.desc, "Sea<br>and sand<br>at noon");
    EXPECT_EQ(page.GetText(kDetailDesc), "Sea\nand sand\r\nat noon");
  });
}

TEST_F(PhotoDetailTest, NextGoesToTheUploadOnlyThroughTheEditorsChecks) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenEditor(window, 2);
    CAlbum& album = app.CurrentAlbum();
    Open(window, 0);
    EXPECT_EQ(window.main.userBar.GetText(kUserNext), Text("newAlbum"));
    EXPECT_TRUE(window.main.userBar.Enabled(kUserNext));
    window.Page(PageId::kEditPhotos).Type(kEditName, ".");
    album.name = ".";
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kPhotoDetailPage);
    EXPECT_EQ(Editor(window).LastRefusal(), NextRefusal::kNameDots);

    window.Page(PageId::kEditPhotos).Type(kEditName, "Seaside");
    app.Session().SetUploadDelayMs(0);
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kCopyPage);
    EXPECT_EQ(app.Previews().Size(), 0u);
  });
}

// --- The properties text ---

std::string Line(const std::string& key, const std::string& value) {
  return Text(key) + ": " + value;
}

bool Has(const std::string& text, const std::string& line) {
  return ("\r\n" + text + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST(ItemPropertiesText, APhotoShowsItsCameraDataOrThatThereIsNone) {
  ::setenv("LC_ALL", "C", 1);
  CPhoto photo;
  photo.fileName = "IMG_1.jpg";
  photo.DateTime = "1970-01-01 00:00:00";
  photo.OriginalCode = 1700000000;
  std::string text = ItemPropertiesText(photo);
  EXPECT_EQ(text.find(Line("msgPhotoFileName", "IMG_1.jpg") + "\r\n"), 0u) << text;
  EXPECT_TRUE(Has(text, Text("msgExifInfo") + ":")) << text;
  EXPECT_TRUE(Has(text, Text("msgNotAvailable"))) << text;
  EXPECT_EQ(text.find("1970-01-01"), std::string::npos) << "a 1970 date is no date: " << text;

  photo.DateTime = "2024-07-01 10:20:30";
  photo.CameraMake = "Acme";
  photo.ExposureTime = "0.004000";
  photo.ApertureFNumber = "2.8";
  photo.FocalLength = "35.0";
  photo.ISO = "0";
  photo.SourceWidth = "4000";
  photo.SourceHeight = "3000";
  photo.FlashUsed = "16";  // the flash did not fire
  photo.gpsLatitude = 50.0755381;
  photo.gpsLongitude = -14.4378;
  text = ItemPropertiesText(photo);
  EXPECT_FALSE(Has(text, Text("msgNotAvailable"))) << text;
  EXPECT_TRUE(Has(text, Line("exifDateTime", "2024-07-01 10:20:30"))) << text;
  EXPECT_TRUE(Has(text, Line("exifCameraMake", "Acme"))) << text;
  EXPECT_TRUE(Has(text, Line("exifGPS", "+50.0755381, -14.4378000"))) << text;
  EXPECT_TRUE(Has(text, Line("exifExposureTime", "0.004 s (1/250)"))) << text;
  EXPECT_TRUE(Has(text, Line("exifApertureFNumber", "2.8"))) << text;
  EXPECT_TRUE(Has(text, Line("exifFocalLength", "35 mm"))) << text;
  EXPECT_TRUE(Has(text, Line("exifDimension", "4000x3000"))) << text;
  EXPECT_TRUE(Has(text, Line("exifFlashUsed", Text("msgNo")))) << text;
  EXPECT_EQ(text.find(Text("exifISOequivalent")), std::string::npos) << text;
  EXPECT_EQ(text.find(Text("exifCameraModel")), std::string::npos) << text;

  photo.ExposureTime = "1.500000";
  photo.FlashUsed = "25";
  text = ItemPropertiesText(photo);
  EXPECT_TRUE(Has(text, Line("exifExposureTime", "1.5 s"))) << text;
  EXPECT_TRUE(Has(text, Line("exifFlashUsed", Text("msgYes")))) << text;
}

TEST(ItemPropertiesText, AVideoShowsTheSourcesValuesWhereTheyDiffer) {
  ::setenv("LC_ALL", "C", 1);
  CPhoto item;
  item.isVideo = true;
  item.fileName = "clip.mp4";
  item.width = 640;
  item.height = 360;
  CZervaVideo& v = item.video;
  v.dateTime = "2024-07-01 10:00:00";
  v.duration = 8.0;
  v.durationSrc = 12.5;
  v.begin = 1.5;
  v.end = 9.5;
  v.thumbpos = 2.25;
  v.widthSrc = 1920;
  v.heightSrc = 1080;
  v.vbitrate = 0;  // not converted yet
  v.vbitrateSrc = 9000;
  v.vcodec = "libx264";
  v.vcodecSrc = "libx264";
  v.framerate = 25;
  v.framerateSrc = 50;
  const std::string original = Text("msgOriginally");
  std::string text = ItemPropertiesText(item);
  EXPECT_TRUE(Has(text, Line("exifDateTime", "2024-07-01 10:00:00"))) << text;
  EXPECT_TRUE(Has(text, Line("videoDuration", "8.00 s (" + original + " 12.50 s)"))) << text;
  EXPECT_TRUE(Has(text, Text("msgVideoBegin") + ": 1.50 s, " + Text("msgVideoEnd") + ": 9.50 s, " +
                            Text("msgVideoThumbpos") + ": 2.25 s"))
      << text;
  EXPECT_TRUE(Has(text, Line("videoResolution", "640x360 (" + original + " 1920x1080)"))) << text;
  EXPECT_TRUE(Has(text, Line("videoBitrate", "9000 kb/s"))) << text;
  EXPECT_TRUE(Has(text, Line("videoCodec", "libx264"))) << text;
  EXPECT_TRUE(Has(text, Line("videoFramerate", "25 (" + original + " 50)"))) << text;
  EXPECT_EQ(text.find(Text("audioCodec")), std::string::npos) << "no sound: " << text;
  EXPECT_EQ(text.find(Text("msgExifInfo")), std::string::npos) << text;

  v.asamplingRate = 48000;
  v.asamplingRateSrc = 44100;
  v.acodec = "aac";
  v.acodecSrc = "mp3";
  v.abitrate = 128;
  v.abitrateSrc = 128;
  v.achannel = "2";
  text = ItemPropertiesText(item);
  EXPECT_TRUE(Has(text, Line("audioBitrate", "128 kb/s"))) << text;
  EXPECT_TRUE(Has(text, Line("audioCodec", "aac (" + original + " mp3)"))) << text;
  EXPECT_TRUE(Has(text, Line("audioSamplingRate", "48000 Hz (" + original + " 44100 Hz)"))) << text;
  EXPECT_TRUE(Has(text, Line("audioChannels", "2"))) << text;
}

}  // namespace
}  // namespace zerva::test
