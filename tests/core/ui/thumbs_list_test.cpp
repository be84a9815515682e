// The thumbnail list's rules on items without files: zoom by item count, the cover, reordering,
// turning with the flip kept, the item commands with their notices, the context menu, the keys
// and what a tile shows.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include "core/ui/thumbs_list_fixture.h"
#include "lang/text.h"
#include "media/image_load.h"
#include "media/image_rotate.h"
#include "media/item_image.h"
#include "platform/fs.h"
#include "platform/shell_open.h"
#include "ui/item_turn.h"

namespace zerva::test {
namespace {

bool SamePixels(const ImagePtr& a, const ImagePtr& b) {
  FIBITMAP* x = ItemBitmap(a);
  FIBITMAP* y = ItemBitmap(b);
  if (BitmapSize(x) != BitmapSize(y)) return false;
  const PixelSize size = BitmapSize(x);
  for (int j = 0; j < size.height; ++j) {
    for (int i = 0; i < size.width; ++i) {
      RGBQUAD p{}, q{};
      FreeImage_GetPixelColor(x, i, j, &p);
      FreeImage_GetPixelColor(y, i, j, &q);
      if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue) return false;
    }
  }
  return true;
}

ImagePtr TurnedCopy(const ImagePtr& image, int quarters) {
  Bitmap copy = CopyOfItemImage(image);
  EXPECT_TRUE(RotateByCode(copy, quarters));
  return ToItemImage(std::move(copy));
}

std::vector<std::string> Texts(const std::vector<MenuEntry>& menu) {
  std::vector<std::string> texts;
  for (const MenuEntry& entry : menu) texts.push_back(entry.text);
  return texts;
}

bool Has(const std::vector<MenuEntry>& menu, ThumbCommand command) {
  for (const MenuEntry& entry : menu) {
    if (entry.command == static_cast<int>(command)) return true;
  }
  return false;
}

TEST_F(ThumbsListTest, ZoomFollowsTheItemCountAndTilesAreSpacedByTheirSize) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  const std::pair<int, int> tiers[] = {{70, 60},  {65, 60},  {64, 80}, {33, 80}, {32, 100},
                                       {17, 100}, {16, 120}, {9, 120}, {8, 140}, {1, 140}};
  for (const auto& [count, zoom] : tiers) {
    album_.items.clear();
    AddItems(count);
    list.Fill(&album_, true);
    EXPECT_EQ(list.ZoomPercent(), zoom) << count;
    EXPECT_EQ(view_.count, count);
  }
  // With the album's thumbnail size unset, SizeThumb (100) counts.
  album_.items.clear();
  album_.maxSizeThumb = 0;
  AddItems(20);
  list.Fill(&album_, true);
  EXPECT_EQ(list.ThumbSize(), 100);
  EXPECT_EQ(view_.thumbSize, 100);
  EXPECT_EQ(view_.spacing, 145);

  // The slider keeps the selection and clamps to its range; a refill that is not fresh keeps it.
  view_.SetCurrentPosition(7);
  list.SetZoom(150);
  EXPECT_EQ(view_.spacing, 195);
  EXPECT_EQ(view_.current, 7);
  EXPECT_EQ(view_.shownPosition, 7);
  list.SetZoom(300);
  EXPECT_EQ(list.ZoomPercent(), kMaxZoomPercent);
  list.Fill(&album_, false);
  EXPECT_EQ(list.ThumbSize(), 200);
}

TEST_F(ThumbsListTest, ExcludingTheCoverPicksTheFirstIncludedAndExcludingAllEmptiesIt) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(3);
  Item(0).included = false;
  list.Fill(&album_, true);
  EXPECT_EQ(list.CoverIndex(), 1);
  EXPECT_EQ(album_.thumbName, "p2.jpg");

  album_.thumbName = "p3.jpg";
  EXPECT_EQ(list.RecomputeCover(false), 2);
  list.Execute(ThumbCommand::kToggleInclude, 2);
  EXPECT_EQ(list.CoverIndex(), 1);
  EXPECT_EQ(album_.thumbName, "p2.jpg");
  EXPECT_TRUE(album_.modified);
  // Each inclusion change is sent as 1080, then 1079 and 1084.
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080, 1079, 1084}));
  for (const auto& notice : owner_->Notices()) EXPECT_TRUE(notice.sent);

  list.Execute(ThumbCommand::kToggleInclude, 1);
  EXPECT_EQ(list.CoverIndex(), -1);
  EXPECT_EQ(album_.thumbName, "");

  // Including an item when there is no cover makes it the cover.
  list.Execute(ThumbCommand::kToggleInclude, 2);
  EXPECT_EQ(list.CoverIndex(), 2);
  EXPECT_EQ(album_.thumbName, "p3.jpg");
}

TEST_F(ThumbsListTest, AnExcludedItemMadeTheCoverJoinsTheAlbum) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(3);
  Item(2).included = false;
  list.Fill(&album_, true);
  view_.Click(2, TileIcon::kCover);
  EXPECT_EQ(list.CoverIndex(), 2);
  EXPECT_EQ(album_.thumbName, "p3.jpg");
  EXPECT_TRUE(Item(2).included);
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080, 1079, 1084}));
  // The cover's own icon does nothing, and its menu does not offer it.
  owner_->Clear();
  view_.Click(2, TileIcon::kCover);
  EXPECT_TRUE(owner_->Ids().empty());
  EXPECT_FALSE(Has(list.ContextMenu(2), ThumbCommand::kSetCover));
  EXPECT_TRUE(Has(list.ContextMenu(0), ThumbCommand::kSetCover));
}

TEST_F(ThumbsListTest, DraggingTheThirdOfFiveOntoTheFirstPlaceRenumbers) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(5);
  list.Fill(&album_, true);
  const int fills = view_.fills;
  view_.Drag(2, 0);
  EXPECT_EQ(FileNames(),
            (std::vector<std::string>{"p3.jpg", "p1.jpg", "p2.jpg", "p4.jpg", "p5.jpg"}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Item(i).index, i + 1);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(view_.fills, fills + 1);
  EXPECT_EQ(view_.current, 0);
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080}));
  // Dragging back to the end, and drops that change nothing.
  view_.Drag(0, 4);
  EXPECT_EQ(FileNames(),
            (std::vector<std::string>{"p1.jpg", "p2.jpg", "p4.jpg", "p5.jpg", "p3.jpg"}));
  album_.modified = false;
  view_.Drag(1, 1);
  view_.Drag(1, 5);
  view_.Drag(-1, 0);
  EXPECT_FALSE(album_.modified);
  EXPECT_EQ(owner_->Count(1080), 2);
}

TEST_F(ThumbsListTest, TurningKeepsTheFlip) {
  EXPECT_EQ(TurnedRotationCode(6, 1), 7);
  EXPECT_EQ(TurnedRotationCode(7, 1), 4);
  EXPECT_EQ(TurnedRotationCode(0, 3), 3);
  EXPECT_EQ(TurnedRotationCode(3, 1), 0);
  EXPECT_EQ(TurnedRotationCode(5, 2), 7);
  EXPECT_EQ(TurnedRotationCode(4, 3), 7);

  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(2);
  list.Fill(&album_, true);
  Item(0).rotate = 6;
  list.Execute(ThumbCommand::kTurnRight, 0);
  EXPECT_EQ(Item(0).rotate, 7);
  list.Execute(ThumbCommand::kTurnRight, 0);
  EXPECT_EQ(Item(0).rotate, 4);
  list.Execute(ThumbCommand::kTurnLeft, 1);
  EXPECT_EQ(Item(1).rotate, 3);
  view_.Click(1, TileIcon::kTurnRight);
  list.Execute(ThumbCommand::kTurnUpsideDown, 1);
  EXPECT_EQ(Item(1).rotate, 2);
  EXPECT_TRUE(Item(0).edited);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(owner_->Count(1080), 5);
  EXPECT_FALSE(Item(0).needsUpload);
}

TEST_F(ThumbsListTest, ThePicturesInMemoryTurnWithTheCode) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(2);
  list.Fill(&album_, true);
  const ImagePtr picture = DistinctItemImage(4, 2);
  for (int i = 0; i < 2; ++i) {
    Item(i).thumbnail = picture;
    Item(i).thumbWidth = 4;
    Item(i).thumbHeight = 2;
    Item(i).width = 1200;
    Item(i).height = 600;
  }
  // A watermarked prepared picture cannot be turned: its mark would leave the corner.
  Item(1).preparedImage = picture;
  Item(1).patch = picture;
  Item(1).hasWatermark = true;
  Item(1).rotate = 4;

  list.Execute(ThumbCommand::kTurnRight, 0);
  EXPECT_TRUE(SamePixels(Item(0).thumbnail, TurnedCopy(picture, 1)));
  EXPECT_EQ(Item(0).thumbWidth, 2);
  EXPECT_EQ(Item(0).width, 600);
  EXPECT_EQ(Item(0).height, 1200);
  // The picture someone still draws is left as it was.
  EXPECT_EQ(picture->getWidth(), 4u);

  // With the flip after the turn, a mirrored picture turns the other way round on screen.
  list.Execute(ThumbCommand::kTurnRight, 1);
  EXPECT_EQ(Item(1).rotate, 5);
  EXPECT_TRUE(SamePixels(Item(1).thumbnail, TurnedCopy(picture, 3)));
  EXPECT_FALSE(Item(1).preparedImage);
  EXPECT_FALSE(Item(1).patch);
}

TEST_F(ThumbsListTest, AVideoTurnsOnlyWithItsLocalFileAndIsMarkedForConversion) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(2);
  for (int i = 0; i < 2; ++i) {
    Item(i).isVideo = true;
    Item(i).fileName = "clip" + std::to_string(i) + ".jpg";
  }
  Item(1).localPath = files_.Write("clip.mov", "not really a film");
  Item(1).localFileAvailable = true;
  Item(1).thumbnail = DistinctItemImage(4, 2);
  list.Fill(&album_, true);

  list.Execute(ThumbCommand::kTurnRight, 0);
  EXPECT_EQ(Item(0).rotate, 0);
  EXPECT_TRUE(owner_->Ids().empty());
  EXPECT_FALSE(Has(list.ContextMenu(0), ThumbCommand::kTurnRight));
  EXPECT_FALSE(list.Tile(0).canTurn);

  list.Execute(ThumbCommand::kTurnRight, 1);
  EXPECT_EQ(Item(1).rotate, 1);
  EXPECT_TRUE(Item(1).video.videoChanged);
  EXPECT_TRUE(Item(1).needsUpload);
  // Its thumbnail file is written again, turned; the frame it has not got is made anew later.
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(album_.tempFolder + "thumb/clip1.jpg", &size));
  EXPECT_EQ(size, (PixelSize{2, 4}));
  EXPECT_FALSE(FileExists(album_.tempFolder + "images/clip1.jpg"));
}

TEST_F(ThumbsListTest, KeysAndDoubleClicksOpenOrToggle) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(3);
  list.Fill(&album_, true);
  view_.Press(1, TileKey::kEnter);
  view_.DoubleClick(2);
  view_.DoubleClick(2, TileIcon::kTurnLeft);
  std::vector<NoticeRecorder::Notice> notices = owner_->Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].id, 1082u);
  EXPECT_EQ(notices[0].wParam, 1);
  EXPECT_FALSE(notices[0].sent);
  EXPECT_EQ(notices[1].wParam, 2);

  owner_->Clear();
  view_.Press(0, TileKey::kSpace);
  EXPECT_FALSE(Item(0).included);
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080, 1079, 1084}));
  // Nothing happens without an item.
  owner_->Clear();
  view_.Press(-1, TileKey::kSpace);
  view_.Press(3, TileKey::kEnter);
  list.Execute(ThumbCommand::kToggleInclude, 17);
  EXPECT_TRUE(owner_->Ids().empty());
}

TEST_F(ThumbsListTest, TheContextMenuFollowsTheItem) {
  CzervaApp& app = MakeApp();
  CThumbsListCtrl& list = MakeList(app);
  AddItems(2);
  Item(0).localPath = files_.Write("a.jpg", "x");
  Item(0).localFileAvailable = true;
  Item(0).width = 800;
  Item(0).height = 600;
  Item(1).isVideo = true;
  Item(1).included = false;
  list.Fill(&album_, true);

  EXPECT_EQ(
      Texts(list.ContextMenu(0)),
      (std::vector<std::string>{Text("EditPhotoDetailDlgTitle"), Text("excludePhoto"),
                                Text("rotateLeft"), Text("rotateRight"), Text("rotateUpsideDown"),
                                Text("showActual"), Text("photoProperties")}));
  EXPECT_EQ(Texts(list.ContextMenu(1)),
            (std::vector<std::string>{Text("EditPhotoDetailDlgTitleVideo"), Text("includeVideo"),
                                      Text("setAsDefaultTool"), Text("videoProperties")}));
  EXPECT_TRUE(list.ContextMenu(2).empty());

  // The watermark needs the user's watermark size, smaller than the picture.
  app.Session().MutableDetails().watermarkWidth = 100;
  app.Session().MutableDetails().watermarkHeight = 600;
  EXPECT_FALSE(Has(list.ContextMenu(0), ThumbCommand::kWatermark));
  app.Session().MutableDetails().watermarkHeight = 50;
  Item(0).hasWatermark = true;
  const std::vector<MenuEntry> menu = list.ContextMenu(0);
  ASSERT_TRUE(Has(menu, ThumbCommand::kWatermark));
  EXPECT_TRUE(menu.back().checked);
  EXPECT_EQ(menu.back().text, Text("btnWatermark"));

  // The position: edited when the picker can, shown when the item has one, else not offered.
  ThumbsListHooks hooks;
  bool canEdit = true;
  hooks.canEditLocation = [&] { return canEdit; };
  hooks.locate = [](CPhoto&, bool) { return false; };
  list.SetHooks(hooks);
  EXPECT_EQ(list.ContextMenu(0)[6].text, Text("msgGpsLocation") + "...");
  canEdit = false;
  EXPECT_FALSE(Has(list.ContextMenu(0), ThumbCommand::kPosition));
  Item(0).gpsLatitude = 49.2;
  EXPECT_EQ(list.ContextMenu(0)[6].text, Text("msgShowGpsLocation"));

  // A right click shows the menu and runs the chosen entry.
  view_.menuChoices.push_back(static_cast<int>(ThumbCommand::kToggleInclude));
  view_.RightClick(1);
  EXPECT_TRUE(Item(1).included);
  EXPECT_EQ(view_.menus.size(), 1u);

  // The file manager opens the item's folder; an item without its file has none to open.
  std::vector<std::string> opened;
  const ShellOpener previous = SetShellOpener([&](const std::string& target) {
    opened.push_back(target);
    return true;
  });
  list.Execute(ThumbCommand::kShowInFileManager, 0);
  list.Execute(ThumbCommand::kShowInFileManager, 1);
  SetShellOpener(previous);
  EXPECT_EQ(opened, std::vector<std::string>{FolderOfPath(Item(0).localPath)});
}

TEST_F(ThumbsListTest, PositionAndPropertiesGoThroughTheHooks) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(1);
  Item(0).DateTime = "2010-06-15 10:20:30";
  list.Fill(&album_, true);
  list.Execute(ThumbCommand::kProperties, 0);
  ASSERT_EQ(view_.properties.size(), 1u);
  EXPECT_EQ(view_.properties[0].first, Text("photoProperties"));
  EXPECT_EQ(view_.properties[0].second, Text("msgPhotoFileName") + ": p1.jpg\r\n" +
                                            Text("exifDateTime") + ": 2010-06-15 10:20:30");

  ThumbsListHooks hooks;
  std::vector<bool> edits;
  hooks.canEditLocation = [] { return true; };
  hooks.locate = [&](CPhoto& item, bool edit) {
    edits.push_back(edit);
    item.gpsLongitude = 16.5;
    item.gpsLatitude = 49.2;
    return true;
  };
  hooks.propertiesText = [](const CPhoto& item) { return "about " + item.fileName; };
  list.SetHooks(hooks);
  list.Execute(ThumbCommand::kProperties, 0);
  EXPECT_EQ(view_.properties[1].second, "about p1.jpg");
  list.Execute(ThumbCommand::kPosition, 0);
  EXPECT_EQ(edits, std::vector<bool>{true});
  EXPECT_DOUBLE_EQ(album_.mapLongitude, 16.5);
  EXPECT_DOUBLE_EQ(album_.mapLatitude, 49.2);
  EXPECT_TRUE(Item(0).needsUpload);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080}));

  // A deleted position is stored, but the album's map stays centred where it was.
  hooks.locate = [](CPhoto& item, bool) {
    item.gpsLongitude = 0.0;
    item.gpsLatitude = 0.0;
    return true;
  };
  list.SetHooks(hooks);
  list.Execute(ThumbCommand::kPosition, 0);
  EXPECT_FALSE(Item(0).HasGps());
  EXPECT_DOUBLE_EQ(album_.mapLongitude, 16.5);
  EXPECT_DOUBLE_EQ(album_.mapLatitude, 49.2);
}

TEST_F(ThumbsListTest, ATileShowsItsPictureStateFrameAndIcons) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  AddItems(4);
  const ImagePtr quick = DistinctItemImage(4, 3);
  const ImagePtr thumbnail = DistinctItemImage(8, 6);
  Item(0).thumbnail = thumbnail;
  Item(0).quickImage = quick;
  Item(0).name = "Harbour";
  Item(1).quickImage = quick;
  Item(1).needsUpload = true;
  Item(2).thumbFailed = true;
  Item(2).edited = true;
  Item(3).isVideo = true;
  Item(3).included = false;
  list.Fill(&album_, true);

  const std::vector<TileInfo> tiles = view_.DrawAll();
  EXPECT_EQ(tiles[0].image, thumbnail);
  EXPECT_EQ(tiles[0].name, "Harbour");
  EXPECT_EQ(tiles[0].stateText, "");
  EXPECT_EQ(tiles[0].frameRgb, kTileFrameNormal);
  EXPECT_TRUE(tiles[0].isCover);
  EXPECT_TRUE(tiles[0].canTurn);
  EXPECT_EQ(tiles[1].image, quick);
  EXPECT_EQ(tiles[1].stateText, Text("msgWait"));
  EXPECT_EQ(tiles[1].frameRgb, kTileFrameChanged);
  EXPECT_FALSE(tiles[2].image);
  EXPECT_EQ(tiles[2].stateText, Text("msgError"));
  EXPECT_EQ(tiles[2].frameRgb, kTileFrameChanged);
  EXPECT_FALSE(tiles[3].included);
  EXPECT_TRUE(tiles[3].isVideo);
  EXPECT_FALSE(tiles[3].canTurn);
  EXPECT_FALSE(tiles[3].canPlay);

  // The include icon tells the item's state.
  EXPECT_EQ(list.TileTooltip(0, TileIcon::kInclude), Text("includedPhoto"));
  EXPECT_EQ(list.TileTooltip(3, TileIcon::kInclude), Text("excludedVideo"));
  list.WaitForLoader(std::chrono::seconds(20));
}

}  // namespace
}  // namespace zerva::test
