// The window doing the main job against zerva-server, driven through its widgets offscreen:
// a new album made of a folder, renamed, dated, one photo left out and one turned, sent and found
// on the service exactly so; then reopened, a photo added through the add-photos dialog and only
// that photo sent; a folder with a video, converted and sent in blocks; and a phone's folder of
// HEIC, PNG, WebP and ".jpeg" photos sent as JPEG files, with nothing left to send when reopened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/elements.h"
#include "core/media/heif_fixtures.h"
#include "core/media/item_fixtures.h"
#include "core/media/video_fixtures.h"
#include "gui/albums_list_widget.h"
#include "gui/form_view.h"
#include "gui/thumbnail_list_widget.h"
#include "gui_session.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "ui/album_editor_view.h"
#include "ui/albums_page.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/zerva_app.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::ThumbnailListWidget;
using gui::ZervaWindow;

class AlbumFlowTest : public WindowServerTest {
 protected:
  AlbumFlowTest() : WindowServerTest("flow") {}
  void SetUp() override {
    WindowServerTest::SetUp();
    if (HasFatalFailure()) return;
    for (int i = 1; i <= 4; ++i) {
      PhotoFile(photos_, "p" + std::to_string(i) + ".jpg", 640, 480, 90, i);
    }
  }
  static ThumbnailListWidget* Thumbnails(ZervaWindow& window) {
    return qobject_cast<ThumbnailListWidget*>(Control(window, PageId::kEditPhotos, kEditThumbs));
  }
  static void ClickIcon(ThumbnailListWidget* list, int position, TileIcon icon) {
    const QRect area = list->IconRect(position, icon);
    ASSERT_FALSE(area.isEmpty()) << "tile " << position << " offers no such icon";
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, area.center());
  }
  static void ChooseDate(ZervaWindow& window, int control, QDate date) {
    auto* field = qobject_cast<QDateEdit*>(Control(window, PageId::kEditPhotos, control));
    ASSERT_NE(field, nullptr);
    field->setFocus();
    field->setDate(date);
  }

  std::vector<std::string> Albums() const {
    const HttpReply reply =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    return GetElements(GetElement(reply.body, "value"), "album");
  }
  std::vector<std::string> Stored(const std::string& serverDir, const std::string& sub) const {
    const std::string path =
        Server().DataDir() + "data/files/" + std::to_string(userId_) + "/" + serverDir + "/" + sub;
    std::vector<std::string> names;
    if (DirectoryExists(path)) names = FolderNames(path);
    std::sort(names.begin(), names.end());
    return names;
  }
  PixelSize StoredSize(const std::string& serverDir, const std::string& name) const {
    return FileImageSize(Server().DataDir() + "data/files/" + std::to_string(userId_) + "/" +
                         serverDir + "/images/" + name);
  }
  // The files sent since the log was cleared, "directory:file".
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    for (const LoggedRequest& r : Server().LogOf("upload.php")) {
      const LoggedField* file = r.Find("soubor");
      std::string directory = r.Field("directory");
      directory = directory.substr(directory.rfind('/') + 1);
      sent.push_back(directory + ":" + (file ? file->fileName : std::string()));
    }
    std::sort(sent.begin(), sent.end());
    return sent;
  }

  TempDir photos_;
};

TEST_F(AlbumFlowTest, ANewAlbumIsMadeEditedSentThenReopenedAndOnlyTheAddedPhotoSent) {
  session_->QueueFolder({photos_.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    // A user without albums starts with a new one, from the folder the picker gave.
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    ThumbnailListWidget* list = Thumbnails(window);
    ASSERT_EQ(list->Count(), 4);

    TypeInto(Control(window, PageId::kEditPhotos, kEditName), "Holiday");
    ChooseDate(window, kEditDateFrom, QDate(2026, 3, 2));
    ChooseDate(window, kEditDateTo, QDate(2026, 3, 8));
    ClickIcon(list, 2, TileIcon::kInclude);    // p3 stays at home
    ClickIcon(list, 1, TileIcon::kTurnRight);  // p2 was taken with the camera turned
    auto* counts = qobject_cast<QLabel*>(Control(window, PageId::kEditPhotos, kEditCounts));
    ASSERT_NE(counts, nullptr);
    EXPECT_EQ(counts->text(), "3/4");
    Upload(window);
  });

  const std::vector<std::string> albums = Albums();
  ASSERT_EQ(albums.size(), 1u);
  const std::string& album = albums[0];
  EXPECT_EQ(GetElement(album, "name"), "Holiday");
  EXPECT_EQ(GetElement(album, "startDateInterval"), "2026-03-02 00:00:00");
  EXPECT_EQ(GetElement(album, "endDateInterval"), "2026-03-08 23:59:59");
  EXPECT_EQ(GetElement(album, "uploading"), "0");
  const std::string serverDir = GetElement(album, "serverDir");
  EXPECT_EQ(Stored(serverDir, "images"), (std::vector<std::string>{"p1.jpg", "p2.jpg", "p4.jpg"}));
  EXPECT_EQ(Stored(serverDir, "thumb"), (std::vector<std::string>{"p1.jpg", "p2.jpg", "p4.jpg"}));
  EXPECT_EQ(StoredSize(serverDir, "p1.jpg"), (PixelSize{640, 480}));
  EXPECT_EQ(StoredSize(serverDir, "p2.jpg"), (PixelSize{480, 640}));

  // Reopened from the albums page; one photo from elsewhere is added.
  TempDir elsewhere;
  const std::string added = PhotoFile(elsewhere, "p5.jpg", 600, 400, 90, 5);
  session_->QueueFiles({added});
  Server().ClearLog();
  const int albumId = std::stoi(GetElement(album, "albumID"));
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kAlbumsPage);
    auto* albums =
        qobject_cast<gui::AlbumsListWidget*>(Control(window, PageId::kAlbums, kAlbumsList));
    ASSERT_NE(albums, nullptr);
    ASSERT_EQ(albums->Count(), 1);
    EXPECT_EQ(albums->Item(0).name, "Holiday");
    EXPECT_EQ(albums->Expanded(), 0);
    QPushButton* open = albums->Button(AlbumButton::kEdit);
    EXPECT_EQ(open->text().toStdString(), Text("editAlbum")) << "the upload was complete";
    Click(open);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    EXPECT_EQ(window.Controller().App().CurrentAlbum().albumID, albumId);
    ThumbnailListWidget* list = Thumbnails(window);
    // The service's three, and p3 still left out, from the folder.
    EXPECT_EQ(list->Count(), 4);

    Click(Control(window, PageId::kEditPhotos, kEditAddPhotos));
    EXPECT_EQ(list->Count(), 5);
    Upload(window);
  });
  EXPECT_EQ(Sent(), (std::vector<std::string>{"images:p5.jpg", "thumb:p5.jpg"}));
  EXPECT_EQ(Stored(serverDir, "images"),
            (std::vector<std::string>{"p1.jpg", "p2.jpg", "p4.jpg", "p5.jpg"}));
  EXPECT_EQ(StoredSize(serverDir, "p2.jpg"), (PixelSize{480, 640}));
}

TEST_F(AlbumFlowTest, AFolderWithAVideoArrivesWithTheVideoConverted) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  TempDir folder;
  PhotoFile(folder, "p1.jpg", 640, 480, 90, 1);
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  std::filesystem::copy_file(clip, folder.File("clip.mp4"));
  session_->QueueFolder({folder.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    ThumbnailListWidget* list = Thumbnails(window);
    ASSERT_EQ(list->Count(), 2);
    // The folder's files come sorted by name: the video's tile is the first and offers to play it.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !list->IconRect(0, TileIcon::kPlay).isEmpty(); }, 30000));
    Upload(window);
  });
  const std::vector<std::string> albums = Albums();
  ASSERT_EQ(albums.size(), 1u);
  EXPECT_EQ(GetElement(albums[0], "photoCount"), "1");
  EXPECT_EQ(GetElement(albums[0], "videoCount"), "1");
  EXPECT_EQ(GetElement(albums[0], "uploading"), "0");
  const std::string serverDir = GetElement(albums[0], "serverDir");
  EXPECT_EQ(Stored(serverDir, "video").size(), 1u);
}

TEST_F(AlbumFlowTest, APhonesFolderArrivesAsJpegPhotosAndIsUpToDateWhenReopened) {
  if (!HaveHeifTools() || !HaveTool("cwebp")) {
    GTEST_SKIP() << "heif-enc, exiftool or cwebp is not installed";
  }
  TempDir folder, work;
  // Taken with the phone turned, dated and placed by the phone.
  const std::string shot = PhotoFile(work, "shot.jpg", 320, 240, 90, 1);
  ASSERT_TRUE(Exiftool(shot,
                       "-EXIF:Orientation#=6 -DateTimeOriginal='2025:07:08 09:10:11' "
                       "-GPSLatitude=49.2 -GPSLatitudeRef=N -GPSLongitude=16.6 "
                       "-GPSLongitudeRef=E"));
  ASSERT_FALSE(HeifOf(folder, shot, "IMG_0001.HEIC").empty());
  PhotoFile(folder, "beach.jpeg", 320, 240, 90, 2);
  const Bitmap screen = PhotoLike(320, 200, 3);
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, screen.get(), folder.File("Screenshot.png").c_str(), 0));
  const std::string web = PhotoFile(work, "web.jpg", 300, 200, 90, 4);
  ASSERT_TRUE(RunQuietly("cwebp -quiet '" + web + "' -o '" + folder.File("saved.webp") + "'"));

  session_->QueueFolder({folder.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    ASSERT_EQ(Thumbnails(window)->Count(), 4);
    Upload(window);
  });
  const std::vector<std::string> albums = Albums();
  ASSERT_EQ(albums.size(), 1u);
  const std::string serverDir = GetElement(albums[0], "serverDir");
  const std::vector<std::string> names = {"IMG_0001.jpg", "Screenshot.jpg", "beach.jpg",
                                          "saved.jpg"};
  EXPECT_EQ(Stored(serverDir, "images"), names);
  EXPECT_EQ(Stored(serverDir, "thumb"), names);
  EXPECT_EQ(StoredSize(serverDir, "IMG_0001.jpg"), (PixelSize{240, 320}));
  EXPECT_EQ(StoredSize(serverDir, "Screenshot.jpg"), (PixelSize{320, 200}));
  bool found = false;
  for (const std::string& photo : OnlyAlbumPhotos()) {
    if (GetElement(photo, "fileName") != "IMG_0001.jpg") continue;
    found = true;
    EXPECT_NE(GetElement(photo, "exif").find("2025-07-08 09:10:11"), std::string::npos) << photo;
    EXPECT_EQ(GetElement(photo, "GPS"), "POINT(16.6000000 49.2000000)") << photo;
  }
  EXPECT_TRUE(found);

  // Opened again from the albums page: every photo finds its own file and none needs sending.
  Server().ClearLog();
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kAlbumsPage);
    auto* list =
        qobject_cast<gui::AlbumsListWidget*>(Control(window, PageId::kAlbums, kAlbumsList));
    ASSERT_NE(list, nullptr);
    Click(list->Button(AlbumButton::kEdit));
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    EXPECT_EQ(Thumbnails(window)->Count(), 4);
    const CAlbum& album = window.Controller().App().CurrentAlbum();
    EXPECT_FALSE(album.modified);
    for (const auto& item : album.items) {
      EXPECT_TRUE(item->localFileAvailable) << item->fileName;
      EXPECT_FALSE(item->needsUpload) << item->fileName;
    }
  });
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace zerva::test
