// The thumbnail list widget with a controller stand-in: tiles drawn from what it says at paint
// time (picture, frame colour, state text), the icons' hit areas, clicks and double clicks,
// keys, the context menu at the mouse, dragging a tile to another place, files dropped from the
// file manager, tooltips and the properties window.
#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <set>
#include <string>
#include <vector>

#include "gui/thumbnail_list_widget.h"

namespace zerva::test {
namespace {

using gui::ThumbnailListWidget;

std::string IconName(TileIcon icon) {
  switch (icon) {
    case TileIcon::kTurnLeft:
      return "left";
    case TileIcon::kTurnRight:
      return "right";
    case TileIcon::kInclude:
      return "include";
    case TileIcon::kCover:
      return "cover";
    case TileIcon::kPlay:
      return "play";
    case TileIcon::kNone:
      break;
  }
  return "none";
}

ImagePtr SolidImage(int width, int height, BYTE red, BYTE green, BYTE blue) {
  auto image = std::make_shared<fipImage>(FIT_BITMAP, width, height, 24);
  RGBQUAD colour{blue, green, red, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image->setPixelColor(x, y, &colour);
  }
  return image;
}

// The list's controller as a log: tile 0 is a changed red photo that can be turned, tile 1
// still waits for its picture, tile 2 is an excluded video, the rest plain grey photos.
class FakeListEvents : public ThumbsListEvents {
 public:
  explicit FakeListEvents(ThumbnailListWidget& list) : list_(list) {}

  TileInfo Tile(int position) override {
    asked.insert(position);
    TileInfo tile;
    tile.name = "photo " + std::to_string(position + 1) + ".jpg";
    if (position == 0) {
      tile.image = red;
      tile.frameRgb = kTileFrameChanged;
      tile.canTurn = true;
      tile.isCover = true;
    } else if (position == 1) {
      tile.stateText = "Wait...";
    } else if (position == 2) {
      tile.image = grey;
      tile.isVideo = true;
      tile.canPlay = true;
      tile.included = false;
    } else {
      tile.image = grey;
    }
    return tile;
  }
  std::string TileTooltip(int position, TileIcon icon) override {
    return icon == TileIcon::kNone ? "Tile " + std::to_string(position) : tooltip;
  }
  void OnTileClicked(int position, TileIcon icon) override {
    log.push_back("click " + std::to_string(position) + " " + IconName(icon));
  }
  void OnTileDoubleClicked(int position, TileIcon icon) override {
    log.push_back("double " + std::to_string(position) + " " + IconName(icon));
  }
  void OnCurrentChanged(int position) override {
    log.push_back("current " + std::to_string(position));
  }
  void OnKey(int position, TileKey key) override {
    log.push_back(std::string(key == TileKey::kEnter ? "enter " : "space ") +
                  std::to_string(position));
  }
  void OnContextMenu(int position) override {
    log.push_back("menu " + std::to_string(position));
    chosen = list_.ShowContextMenu({MenuEntry::Command("Open", 1), MenuEntry::Separator(),
                                    MenuEntry::Command("Turn left", 4)});
  }
  void OnDragged(int from, int to) override {
    log.push_back("drag " + std::to_string(from) + " " + std::to_string(to));
  }
  void OnFilesDropped(const std::vector<std::string>& paths) override { dropped = paths; }

  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(log);
    return taken;
  }

  ImagePtr red = SolidImage(100, 100, 255, 0, 0);
  ImagePtr grey = SolidImage(80, 60, 128, 128, 128);
  std::set<int> asked;
  std::vector<std::string> log;
  std::string tooltip = "Turn left";
  int chosen = -2;
  std::vector<std::string> dropped;

 private:
  ThumbnailListWidget& list_;
};

class GuiThumbnailListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Five columns of 145-pixel cells.
    list_.resize(760 + 2 * list_.frameWidth(), 420);
    list_.SetEvents(&events_);
    list_.SetTileSize(100, 145);
    list_.SetTileCount(7);
    list_.show();
    QApplication::processEvents();
  }
  QWidget* Surface() { return list_.viewport(); }
  QPoint At(int position, TileIcon icon) { return list_.IconRect(position, icon).center(); }
  // A drag that enters the list, moves to `at` and is released there (the drop goes to the
  // widget that took the entering drag).
  void Drop(QMimeData& mime, const QPoint& at, Qt::DropAction action) {
    QDragEnterEvent enter(at, action, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Surface(), &enter);
    QDragMoveEvent move(at, action, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Surface(), &move);
    QDropEvent drop(at, action, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Surface(), &drop);
  }

  ThumbnailListWidget list_;
  FakeListEvents events_{list_};
};

TEST_F(GuiThumbnailListTest, TilesAreDrawnFromTheControllerInTheirCells) {
  EXPECT_EQ(list_.Columns(), 5);
  EXPECT_EQ(list_.CellRect(1).left() - list_.CellRect(0).left(), 145);
  EXPECT_EQ(list_.CellRect(5).top() - list_.CellRect(0).top(), 145) << "the sixth opens row two";
  const QImage shot = Surface()->grab().toImage();
  for (int position = 0; position < 7; ++position) EXPECT_TRUE(events_.asked.count(position));

  const QRect red = list_.PictureRect(0);
  EXPECT_EQ(shot.pixelColor(red.center() + QPoint(0, 10)), QColor(255, 0, 0));
  // The changed item's frame is light red, just outside its picture.
  EXPECT_EQ(shot.pixelColor(red.left() - 1, red.center().y()), QColor(0xE3, 0x7F, 0x7F));
  // The grey photo is 80 x 60, fitted into 100 x 100 as 100 x 75 and centred; its frame grey.
  const QRect grey = list_.PictureRect(3);
  EXPECT_EQ(shot.pixelColor(grey.center()), QColor(128, 128, 128));
  EXPECT_EQ(shot.pixelColor(grey.center().x(), grey.top() + 12 - 1), QColor(0x80, 0x80, 0x80));
  EXPECT_NE(shot.pixelColor(grey.center().x(), grey.top() + 5), QColor(128, 128, 128))
      << "above the fitted picture";
  // The excluded video is faded.
  const QColor faded = shot.pixelColor(list_.PictureRect(2).topLeft() + QPoint(30, 20));
  EXPECT_GT(faded.red(), 128);
  // The waiting tile shows no picture.
  EXPECT_NE(shot.pixelColor(list_.PictureRect(1).center()), QColor(128, 128, 128));

  // A tile drawn again after the controller says so asks for it anew.
  events_.asked.clear();
  list_.RedrawTile(4);
  QApplication::processEvents();
  Surface()->repaint();
  EXPECT_TRUE(events_.asked.count(4));
}

TEST_F(GuiThumbnailListTest, IconsAreHitOnlyWhereTheTileOffersThem) {
  EXPECT_EQ(list_.IconAt(0, At(0, TileIcon::kTurnLeft)), TileIcon::kTurnLeft);
  EXPECT_EQ(list_.IconAt(0, At(0, TileIcon::kTurnRight)), TileIcon::kTurnRight);
  EXPECT_EQ(list_.IconAt(0, At(0, TileIcon::kInclude)), TileIcon::kInclude);
  EXPECT_EQ(list_.IconAt(0, At(0, TileIcon::kCover)), TileIcon::kCover);
  EXPECT_TRUE(list_.IconRect(0, TileIcon::kPlay).isEmpty()) << "a photo plays nothing";
  EXPECT_TRUE(list_.IconRect(3, TileIcon::kTurnLeft).isEmpty()) << "this one cannot be turned";
  EXPECT_EQ(list_.IconAt(2, At(2, TileIcon::kPlay)), TileIcon::kPlay);
  EXPECT_EQ(list_.IconAt(0, list_.PictureRect(0).center()), TileIcon::kNone);

  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, At(0, TileIcon::kTurnLeft));
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, At(2, TileIcon::kPlay));
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, list_.PictureRect(3).center());
  // Where tile 3's turn icon would be: only a click on the tile.
  const QPoint noTurn = list_.PictureRect(3).topLeft() + QPoint(8, 8);
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, noTurn);
  EXPECT_EQ(events_.Take(),
            (std::vector<std::string>{"current 0", "click 0 left", "current 2", "click 2 play",
                                      "current 3", "click 3 none", "click 3 none"}));
  EXPECT_EQ(list_.CurrentPosition(), 3);

  // As the window system delivers a double click: press, release, press, double click, release.
  const QPoint open = list_.PictureRect(4).center();
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, open);
  QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, open);
  QTest::mouseDClick(Surface(), Qt::LeftButton, Qt::NoModifier, open);
  QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, open);
  EXPECT_EQ(events_.Take(),
            (std::vector<std::string>{"current 4", "click 4 none", "double 4 none"}))
      << "the release that ends a double click is no click of its own";

  // Empty space below the tiles: no tile is current.
  QTest::mouseClick(Surface(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 400));
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"current -1"});
}

TEST_F(GuiThumbnailListTest, KeysMoveTheCurrentTileEnterOpensSpaceToggles) {
  list_.SetCurrentPosition(1);
  EXPECT_TRUE(events_.Take().empty()) << "the controller's own choice";
  list_.setFocus();
  QTest::keyClick(&list_, Qt::Key_Return);
  QTest::keyClick(&list_, Qt::Key_Space);
  QTest::keyClick(&list_, Qt::Key_Right);
  QTest::keyClick(&list_, Qt::Key_Down);
  QTest::keyClick(&list_, Qt::Key_Down);  // no row below: the last tile
  QTest::keyClick(&list_, Qt::Key_Home);
  EXPECT_EQ(events_.Take(), (std::vector<std::string>{"enter 1", "space 1", "current 2",
                                                      "current 6", "current 0"}));
}

TEST_F(GuiThumbnailListTest, RightClickMakesTheTileCurrentAndTheMenuOpensAtTheMouse) {
  const QPoint at = list_.PictureRect(3).center();
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->pos(), Surface()->mapToGlobal(at));
    menu->setActiveAction(menu->actions().at(2));
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, Surface()->mapToGlobal(at));
  QApplication::sendEvent(Surface(), &event);
  EXPECT_EQ(events_.Take(), (std::vector<std::string>{"current 3", "menu 3"}));
  EXPECT_EQ(events_.chosen, 4);

  // Outside every tile there is no menu.
  QContextMenuEvent outside(QContextMenuEvent::Mouse, QPoint(700, 400),
                            Surface()->mapToGlobal(QPoint(700, 400)));
  QApplication::sendEvent(Surface(), &outside);
  EXPECT_TRUE(events_.Take().empty());
}

TEST_F(GuiThumbnailListTest, DraggedTileLandsWhereTheInsertionPlaceWasShown) {
  const QRect first = list_.CellRect(0);
  const QPoint beforeFirst(first.left() + 10, first.center().y());
  std::unique_ptr<QMimeData> third(list_.TileDragData(2));
  QDragEnterEvent enter(beforeFirst, Qt::MoveAction, third.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Surface(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent move(beforeFirst, Qt::MoveAction, third.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Surface(), &move);
  EXPECT_TRUE(move.isAccepted());
  EXPECT_EQ(list_.ShownInsertion(), 0);
  QDropEvent drop(beforeFirst, Qt::MoveAction, third.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Surface(), &drop);
  EXPECT_EQ(list_.ShownInsertion(), -1);
  // The third of five dragged to the front: it ends at position 0.
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"drag 2 0"});

  // The right half of the fourth tile puts it after the fourth: it ends at position 3.
  const QRect fourth = list_.CellRect(3);
  Drop(*third, QPoint(fourth.right() - 10, fourth.center().y()), Qt::MoveAction);
  // The left half of the fourth: just where it was.
  Drop(*third, QPoint(fourth.left() + 10, fourth.center().y()), Qt::MoveAction);
  // Below the last row: the end.
  Drop(*third, QPoint(300, list_.CellRect(6).bottom() + 30), Qt::MoveAction);
  EXPECT_EQ(events_.Take(), (std::vector<std::string>{"drag 2 3", "drag 2 6"}));

  // Another list's tiles are not taken.
  ThumbnailListWidget other;
  other.SetTileCount(7);
  std::unique_ptr<QMimeData> foreign(other.TileDragData(1));
  Drop(*foreign, beforeFirst, Qt::MoveAction);
  EXPECT_TRUE(events_.Take().empty());
}

TEST_F(GuiThumbnailListTest, LocalFilesDroppedFromTheFileManagerReachTheController) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/home/eva/Třeboň/a.jpg"), QUrl("https://example.org/b.jpg"),
                QUrl::fromLocalFile("/home/eva/clip.mov")});
  Drop(mime, QPoint(50, 50), Qt::CopyAction);
  EXPECT_EQ(events_.dropped,
            (std::vector<std::string>{"/home/eva/Třeboň/a.jpg", "/home/eva/clip.mov"}));

  events_.dropped.clear();
  QMimeData web;
  web.setUrls({QUrl("https://example.org/b.jpg")});
  Drop(web, QPoint(50, 50), Qt::CopyAction);
  EXPECT_TRUE(events_.dropped.empty());
}

TEST_F(GuiThumbnailListTest, TooltipsWaitThenShowTheIconsTextWithinTheirWidth) {
  events_.tooltip = std::string(300, 'x') + " " + std::string(200, 'y');
  QTest::mouseMove(Surface(), At(0, TileIcon::kTurnLeft));
  QLabel* tip = list_.TooltipWindow();
  QTest::qWait(gui::kTileTooltipDelayMs / 2);
  EXPECT_FALSE(tip->isVisible()) << "not before the delay";
  ASSERT_TRUE(QTest::qWaitFor([&] { return tip->isVisible(); }, 2000));
  EXPECT_TRUE(tip->text().startsWith("xxx"));
  EXPECT_LE(tip->width(), gui::kTileTooltipMaxWidth);
  EXPECT_GT(tip->height(), tip->fontMetrics().height()) << "wrapped";

  // Another icon: the wait starts again, with that icon's text.
  QTest::mouseMove(Surface(), list_.PictureRect(3).center());
  EXPECT_FALSE(tip->isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return tip->isVisible(); }, 2000));
  EXPECT_EQ(tip->text(), "Tile 3");
  QTest::mousePress(Surface(), Qt::LeftButton, Qt::NoModifier, list_.PictureRect(3).center());
  EXPECT_FALSE(tip->isVisible());
  QTest::mouseRelease(Surface(), Qt::LeftButton, Qt::NoModifier, list_.PictureRect(3).center());
}

TEST_F(GuiThumbnailListTest, PropertiesWindowShowsTheTextAndEscCloses) {
  list_.ShowProperties("photo 1.jpg", "Size: 4000 x 3000\r\nCamera: Sony");
  QDialog* window = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == "propertiesWindow" && top->isVisible()) {
      window = qobject_cast<QDialog*>(top);
    }
  }
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "photo 1.jpg");
  EXPECT_EQ(window->findChild<QPlainTextEdit*>("propertiesText")->toPlainText(),
            "Size: 4000 x 3000\nCamera: Sony");
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace zerva::test
