// The GPS picker in the window against zerva-server, offscreen with the embedded map: a photo
// placed on the service's map page from the list's menu, the unsaved place questioned, the saved
// one sent with the album.
#include <gtest/gtest.h>

#ifdef ZERVA_HAVE_WEBENGINE

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineView>
#include <string>
#include <vector>

#include "core/media/item_fixtures.h"
#include "gui/map/gps_map_dialog.h"
#include "gui/thumbnail_list_widget.h"
#include "lang/text.h"
#include "map_page.h"
#include "model/album.h"
#include "ui/album_editor_view.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::GpsMapDialog;
using gui::ZervaWindow;

// Chooses the entry `text` from the context menu of the list's tile `position`.
void ChooseFromTileMenu(gui::ThumbnailListWidget* list, int position, const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
      if (action->text() == text) {
        menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
        return;
      }
    }
    menu->close();
    ADD_FAILURE() << "no menu entry " << text.toStdString();
  });
  const QPoint at = list->PictureRect(position).center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
  QApplication::sendEvent(list->viewport(), &event);
}

class GpsPickerWindowTest : public WindowServerTest {
 protected:
  GpsPickerWindowTest() : WindowServerTest("gps") {}
  TempDir photos_;
};

TEST_F(GpsPickerWindowTest, APlaceSavedOnTheMapIsSentAndAPlaceOnlyPointedAtIsQuestioned) {
  PhotoFile(photos_, "p1.jpg", 640, 480, 90, 1);
  PhotoFile(photos_, "p2.jpg", 640, 480, 90, 2);
  session_->QueueFolder({photos_.Path(), {}});
  std::string mapAddress;
  std::string unsavedQuestion;
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    auto* list =
        qobject_cast<gui::ThumbnailListWidget*>(Control(window, PageId::kEditPhotos, kEditThumbs));
    ASSERT_EQ(list->Count(), 2);
    const std::string nowhere = Text("msgGpsNoCoordinates");
    unsavedQuestion = Text("gpsWarningUnsavedLocation");
    WhenModalWindowOpens<GpsMapDialog>([&](GpsMapDialog* picker) {
      QWebEngineView* map = picker->Map();
      mapAddress = map->url().toString().toStdString();
      const QUrlQuery query(map->url());
      // The page is drawn for the area it got, less the page's own button bar while editing.
      EXPECT_EQ(query.queryItemValue("w").toInt(), map->width());
      EXPECT_EQ(query.queryItemValue("h").toInt(), map->height() - 40);
      // ... and the page fills that area above its bar.
      EXPECT_TRUE(RunOnPage(map, QString("(function(){var c=document.getElementById('map');"
                                         "return !!c&&c.height==%1;})()")
                                     .arg(query.queryItemValue("h"))));
      EXPECT_EQ(picker->OldField()->text().toStdString(), nowhere);
      EXPECT_TRUE(picker->DeleteButton()->isVisible());

      // Found on the page but not saved: only the pending place moves.
      ASSERT_TRUE(FindOnPage(map, 49.195, 16.607));
      ASSERT_TRUE(QTest::qWaitFor(
          [&] { return picker->NewField()->text() == "49.1950000, 16.6070000"; }, 10000))
          << picker->NewField()->text().toStdString();
      EXPECT_EQ(picker->OldField()->text().toStdString(), nowhere);
      // Closing now asks about the unsaved place; No (the scripted answer) keeps the picker.
      Click(picker->CloseButton());
      EXPECT_TRUE(picker->isVisible());

      ASSERT_TRUE(SaveOnPage(map));
      ASSERT_TRUE(QTest::qWaitFor(
          [&] { return picker->OldField()->text() == "49.1950000, 16.6070000"; }, 10000));
      Click(picker->CloseButton());
    });
    ChooseFromTileMenu(list, 0, QString::fromStdString(Text("msgGpsLocation") + "..."));
    CAlbum& album = window.Controller().App().CurrentAlbum();
    EXPECT_DOUBLE_EQ(album.items[0]->gpsLatitude, 49.195);
    EXPECT_DOUBLE_EQ(album.items[0]->gpsLongitude, 16.607);
    EXPECT_FALSE(album.items[1]->HasGps());
    Upload(window);
  });

  EXPECT_NE(mapAddress.find("/program/googlemaps.php?lat=0.0000000&lon=0.0000000"),
            std::string::npos)
      << mapAddress;
  EXPECT_NE(mapAddress.find("&edit"), std::string::npos) << mapAddress;
  ASSERT_EQ(session_->Messages().size(), 1u);
  EXPECT_EQ(session_->Messages()[0].text, unsavedQuestion);
  for (const std::string& photo : OnlyAlbumPhotos()) {
    if (GetElement(photo, "fileName") == "p1.jpg") {
      EXPECT_EQ(GetElement(photo, "GPS"), "POINT(16.6070000 49.1950000)") << photo;
    } else {
      EXPECT_EQ(GetElement(photo, "GPS"), "") << photo;
    }
  }
  EXPECT_EQ(OnlyAlbumPhotos().size(), 2u);
}

}  // namespace
}  // namespace zerva::test

#endif  // ZERVA_HAVE_WEBENGINE
