// The photo detail page in the window against zerva-server, driven through its widgets
// offscreen: a photo opened large from the editor's list, browsed with the keys, renamed and
// described in place, turned, and the album sent; the service holds the name, the description
// and the turned picture.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "app/elements.h"
#include "core/media/item_fixtures.h"
#include "gui/picture_view.h"
#include "gui/thumbnail_list_widget.h"
#include "gui_session.h"
#include "model/album.h"
#include "platform/md5.h"
#include "ui/album_editor_view.h"
#include "ui/photo_detail_page.h"
#include "ui/zerva_app.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::ZervaWindow;

class PhotoDetailWindowTest : public WindowServerTest {
 protected:
  PhotoDetailWindowTest() : WindowServerTest("detail") {}

  static QWidget* Detail(ZervaWindow& window, int control) {
    return Control(window, PageId::kPhotoDetail, control);
  }
  static std::string Position(ZervaWindow& window) {
    return qobject_cast<QLabel*>(Detail(window, kDetailPosition))->text().toStdString();
  }
  std::string StoredImage(const std::string& name) const {
    const HttpReply albums =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    const std::string dir = GetElement(GetElement(albums.body, "value"), "serverDir");
    return Server().DataDir() + "data/files/" + std::to_string(userId_) + "/" + dir + "/images/" +
           name;
  }

  TempDir photos_;
};

TEST_F(PhotoDetailWindowTest, APhotoOpenedLargeIsRenamedDescribedTurnedAndSent) {
  for (int i = 1; i <= 3; ++i) {
    PhotoFile(photos_, "p" + std::to_string(i) + ".jpg", 640, 480, 90, static_cast<unsigned>(i));
  }
  session_->QueueFolder({photos_.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    auto* list =
        qobject_cast<gui::ThumbnailListWidget*>(Control(window, PageId::kEditPhotos, kEditThumbs));
    ASSERT_EQ(list->Count(), 3);
    // A double click on the second tile opens it large.
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       list->PictureRect(1).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shown(window) == kPhotoDetailPage; }, 5000));
    EXPECT_EQ(Position(window), "2 / 3");
    auto* picture = qobject_cast<gui::PictureView*>(Detail(window, kDetailPicture));
    ASSERT_NE(picture, nullptr);
    // The loader makes the large picture: the album's size, not the thumbnail's.
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture->Image().width() >= 640; }, 30000))
        << picture->Image().width();

    // The keys move where no field takes them, and stop at the ends.
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Right);
    EXPECT_EQ(Position(window), "3 / 3");
    QTest::keyClick(picture, Qt::Key_Right);
    EXPECT_EQ(Position(window), "3 / 3");
    QTest::keyClick(picture, Qt::Key_PageUp);
    EXPECT_EQ(Position(window), "2 / 3");

    // The fields start their edits when the focus comes, which needs an active window (the
    // wait popups of the sign-in took it).
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 5000));
    auto* name = qobject_cast<QLineEdit*>(Detail(window, kDetailName));
    ASSERT_NE(name, nullptr);
    QTest::mouseClick(name, Qt::LeftButton);
    ASSERT_TRUE(name->hasFocus());
    EXPECT_TRUE(Detail(window, kDetailNameSave)->isVisible());
    name->selectAll();
    QTest::keyClicks(name, "Lighthouse");
    // Left moves the cursor in the field, not to another photo.
    QTest::keyClick(name, Qt::Key_Left);
    EXPECT_EQ(Position(window), "2 / 3");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(Detail(window, kDetailNameSave)->isVisible());
    CAlbum& album = window.Controller().App().CurrentAlbum();
    EXPECT_EQ(album.items[1]->name, "Lighthouse");

    auto* desc = qobject_cast<QPlainTextEdit*>(Detail(window, kDetailDesc));
    ASSERT_NE(desc, nullptr);
    QTest::mouseClick(desc->viewport(), Qt::LeftButton);
    ASSERT_TRUE(desc->hasFocus());
    QTest::keyClicks(desc, "Sea");
    QTest::keyClick(desc, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(desc, "and sand");
    QTest::keyClick(desc, Qt::Key_Return);
    EXPECT_EQ(album.items[1]->desc, "Sea<br>and sand");
    // Escape drops an edit.
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClicks(name, "Never kept");
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(name->text().toStdString(), "Lighthouse");

    Click(Detail(window, kDetailTurnRight));
    EXPECT_EQ(album.items[1]->rotate, 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return picture->Image().height() > picture->Image().width(); }, 10000));
    Upload(window);
  });

  const std::vector<std::string> photos = OnlyAlbumPhotos();
  ASSERT_EQ(photos.size(), 3u);
  const auto sent = std::find_if(photos.begin(), photos.end(), [](const std::string& photo) {
    return GetElement(photo, "fileName") == "p2.jpg";
  });
  ASSERT_NE(sent, photos.end());
  EXPECT_EQ(GetElement(*sent, "name"), "Lighthouse");
  EXPECT_EQ(GetElement(*sent, "desc"), "Sea<br>and sand") << *sent;
  EXPECT_EQ(FileImageSize(StoredImage("p2.jpg")), (PixelSize{480, 640}));
  EXPECT_EQ(FileImageSize(StoredImage("p1.jpg")), (PixelSize{640, 480}));
}

}  // namespace
}  // namespace zerva::test
