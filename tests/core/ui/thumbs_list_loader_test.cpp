// The thumbnail list's loader on real photos: thumbnails and the advance preparation, the quick
// EXIF pictures before the owner's date notice, the order in which selected items are served,
// a photo that cannot be read, an existing album's pictures fetched from zerva-server, a stop
// during a transfer, dropped files and the watermark switch.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>

#include "core/media/item_fixtures.h"
#include "core/model/model_fixtures.h"
#include "core/ui/thumbs_list_fixture.h"
#include "lang/text.h"
#include "media/prepared_cache.h"
#include "model/album_items.h"
#include "platform/fs.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;

const std::string kSampleAlbum = std::string(ZERVA_SOURCE_DIR) + "/resources/sample-album";

class ThumbsLoaderTest : public ThumbsListTest {
 protected:
  // Runs `code` inside the started application (its ini file points at the test's server).
  void RunInApp(const std::function<void(CzervaApp&)>& code) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      code(app);
      app.Previews().ReleaseAll();
      list_.reset();
      return 0;
    };
    RunApp();
  }
  void AddPhoto(const std::string& path) {
    auto item = PhotoItem(path, FileNameOfPath(path));
    item->index = static_cast<int>(album_.items.size()) + 1;
    album_.items.push_back(std::move(item));
  }
  static PixelSize SizeOf(const ImagePtr& image) {
    return image ? PixelSize{static_cast<int>(image->getWidth()),
                             static_cast<int>(image->getHeight())}
                 : PixelSize{};
  }
};

TEST_F(ThumbsLoaderTest, ANewAlbumGetsThumbnailsThenItsUploadImagesPreparedInAdvance) {
  ASSERT_TRUE(AddFolder(album_, kSampleAlbum));
  ASSERT_EQ(album_.items.size(), 4u);
  album_.manualDateInterval = false;
  CThumbsListCtrl& list = MakeList(MakeApp());
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(120s));
  for (int i = 0; i < 4; ++i) {
    const CPhoto& item = Item(i);
    // Twice SizeThumb; the lighthouse stands upright by its EXIF orientation.
    const bool upright = item.fileName == "lighthouse.jpg";
    EXPECT_EQ(item.rotate, upright ? 1 : 0) << item.fileName;
    EXPECT_EQ(SizeOf(item.thumbnail), upright ? (PixelSize{150, 200}) : (PixelSize{200, 150}))
        << item.fileName;
    EXPECT_FALSE(item.thumbFailed);
    EXPECT_TRUE(IsPreparedValid(item, 1200)) << item.fileName;
    EXPECT_FALSE(item.preparedImage) << "the prepared image is freed";
    EXPECT_EQ(std::count(view_.redrawn.begin(), view_.redrawn.end(), i), 1) << i;
  }
  // A new album without manual dates: the owner recomputes them once the quick pictures are in.
  ASSERT_EQ(owner_->Count(1084), 1);
  EXPECT_EQ(owner_->Notices()[0].wParam, 1);
  EXPECT_FALSE(owner_->Notices()[0].sent);
  EXPECT_FALSE(list.LoaderRunning());
}

TEST_F(ThumbsLoaderTest, AFrontEndThatDrawsNothingPreparesOnlyWhatItAsksFor) {
  ASSERT_TRUE(AddFolder(album_, kSampleAlbum));
  album_.albumID = 12;
  album_.manualDateInterval = false;
  ThumbsLoaderOptions options;
  options.thumbnails = false;
  options.prepareOnly = [](const CPhoto& item) { return item.fileName == "harbour.jpg"; };
  options.preparationThreads = 1;
  CThumbsListCtrl& list = MakeList(MakeApp(), options);
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(120s));
  for (const auto& item : album_.items) {
    const bool wanted = item->fileName == "harbour.jpg";
    EXPECT_EQ(IsPreparedValid(*item, 1200), wanted) << item->fileName;
    EXPECT_EQ(item->thumbnail != nullptr, wanted) << item->fileName;
  }
  // An existing album: no date notice.
  EXPECT_EQ(owner_->Count(1084), 0);
}

TEST_F(ThumbsLoaderTest, TheQuickPicturesAreReadBeforeTheOwnerHearsOfTheDates) {
  if (!HaveExiftool()) GTEST_SKIP() << "exiftool is not installed";
  const std::string thumb = MakeJpeg(files_, "t.jpg", 40, 30);
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    const std::string path = MakeJpeg(files_, name, 640, 480);
    ASSERT_TRUE(Exiftool(path, "-Make=zerva '-ThumbnailImage<=" + thumb + "'"));
    AddPhoto(path);
  }
  album_.manualDateInterval = false;
  int quickAtNotice = -1;
  owner_->onPost = [&](const WindowMessage& message) {
    if (message.id != kMsgThumb1084) return;
    quickAtNotice = 0;
    for (const auto& item : album_.items) {
      std::lock_guard<std::mutex> lock(item->lock);
      quickAtNotice += item->quickImage ? 1 : 0;
    }
  };
  CThumbsListCtrl& list = MakeList(MakeApp());
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(60s));
  EXPECT_EQ(owner_->Count(1084), 1);
  EXPECT_EQ(quickAtNotice, 3);
  for (const auto& item : album_.items) EXPECT_EQ(SizeOf(item->quickImage), (PixelSize{40, 30}));
}

TEST_F(ThumbsLoaderTest, SelectedItemsComeFirstBehindTheOneTheDetailPageShows) {
  CzervaApp& app = MakeApp();
  for (int i = 0; i < 6; ++i) AddPhoto(MakeJpeg(files_, "p" + std::to_string(i) + ".jpg", 96, 64));
  CThumbsListCtrl& list = MakeList(app);
  list.Fill(&album_, true);
  app.Previews().SetShown(&Item(3));
  {
    // The loader waits at the first item while the user picks others.
    std::unique_lock<std::mutex> hold(Item(0).lock);
    ASSERT_TRUE(list.StartLoader());
    list.Prioritise(&Item(1));
    list.Prioritise(&Item(3));
    list.Prioritise(&Item(2));  // behind the shown item
    list.Prioritise(&Item(4));
    list.Enqueue(&Item(5));
    list.Prioritise(&Item(1));  // again: to the front, still behind the shown item
  }
  ASSERT_TRUE(list.WaitForLoader(60s));
  EXPECT_EQ(view_.redrawn, (std::vector<int>{3, 1, 4, 2, 5, 0}));
  // The shown item was loaded large and its cache kept.
  EXPECT_EQ(SizeOf(Item(3).preparedImage), (PixelSize{96, 64}));
  EXPECT_TRUE(IsPreparedValid(Item(3), 1200));
  // An item that has its picture is not loaded again.
  list.Prioritise(&Item(1));
  EXPECT_FALSE(list.LoaderRunning());
  app.Previews().ReleaseAll();
}

TEST_F(ThumbsLoaderTest, APhotoPreparedInAdvanceIsShownLargeFromItsCache) {
  CzervaApp& app = MakeApp();
  for (int i = 0; i < 2; ++i) AddPhoto(MakeJpeg(files_, "p" + std::to_string(i) + ".jpg", 96, 64));
  CThumbsListCtrl& list = MakeList(app);
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(60s));
  ASSERT_TRUE(IsPreparedValid(Item(1), 1200));
  ASSERT_FALSE(Item(1).preparedImage);
  // Opened in the detail page afterwards: the picture comes from the cache's file.
  app.Previews().SetShown(&Item(1));
  list.Prioritise(&Item(1));
  ASSERT_TRUE(list.WaitForLoader(60s));
  EXPECT_EQ(SizeOf(Item(1).preparedImage), (PixelSize{96, 64}));
  EXPECT_FALSE(Item(0).preparedImage);
  app.Previews().ReleaseAll();
}

TEST_F(ThumbsLoaderTest, APhotoThatCannotBeReadShowsAnErrorAndIsNotTriedAgain) {
  RunInApp([&](CzervaApp& app) {
    AddPhoto(MakeJpeg(files_, "good.jpg"));
    AddPhoto(files_.Write("bad.jpg", "these bytes are no picture at all"));
    CThumbsListCtrl& list = MakeList(app);
    list.Fill(&album_, true);
    ASSERT_TRUE(list.StartLoader());
    ASSERT_TRUE(list.WaitForLoader(60s));
    std::vector<TileInfo> tiles = view_.DrawAll();
    EXPECT_TRUE(tiles[0].image);
    EXPECT_FALSE(tiles[1].image);
    EXPECT_EQ(tiles[1].stateText, Text("msgError"));
    EXPECT_TRUE(Item(1).thumbFailed);

    // Readable now, but the record keeps its failure: selecting or drawing it starts nothing,
    // and another run of the loader leaves it alone.
    MakeJpeg(files_, "bad.jpg");
    list.Prioritise(&Item(1));
    view_.DrawAll();
    EXPECT_FALSE(list.LoaderRunning());
    ASSERT_TRUE(list.StartLoader());
    ASSERT_TRUE(list.WaitForLoader(60s));
    EXPECT_FALSE(Item(1).thumbnail);
    EXPECT_FALSE(IsPreparedValid(Item(1), 1200));
    // Reported once at most, however many steps could have tried it.
    int warnings = 0;
    for (const auto& message : frontEnd_.dialogs->Messages()) {
      warnings += message.text.find(Text("msgInvalidFormat")) != std::string::npos ? 1 : 0;
    }
    EXPECT_LE(warnings, 1);
  });
}

TEST_F(ThumbsLoaderTest, AnExistingAlbumShowsTheServicesPicturesTurnedAsTheUserTurnedThem) {
  RunInApp([&](CzervaApp& app) {
    album_.albumID = 77;
    album_.ownerName = "demo";
    album_.serverDir = "Summer_in_the_mountains";
    album_.photosUrl = "http://" + Server().HostFor("demo") + "/Summer_in_the_mountains/";
    AddItems(3);
    const char* names[] = {"Sum_1.jpg", "Sum_2.jpg", "nowhere.jpg"};
    for (int i = 0; i < 3; ++i) {
      Item(i).fileName = names[i];
      Item(i).photoID = 100 + i;
    }
    Item(1).rotate = 1;  // turned by the user, not yet on the service
    app.Previews().SetShown(&Item(1));
    CThumbsListCtrl& list = MakeList(app);
    list.Fill(&album_, true);
    ASSERT_TRUE(list.StartLoader());
    ASSERT_TRUE(list.WaitForLoader(60s));

    EXPECT_EQ(Item(0).photosUrl, album_.photosUrl);
    EXPECT_EQ(SizeOf(Item(0).thumbnail), (PixelSize{100, 66}));
    EXPECT_FALSE(Item(0).preparedImage);
    // The item the detail page shows gets its large picture, turned.
    EXPECT_EQ(SizeOf(Item(1).thumbnail), (PixelSize{66, 100}));
    EXPECT_EQ(SizeOf(Item(1).preparedImage), (PixelSize{640, 960}));
    EXPECT_EQ(Item(1).width, 640);
    EXPECT_EQ(Item(1).height, 960);
    // Nothing to be had anywhere.
    EXPECT_TRUE(Item(2).thumbFailed);
    EXPECT_EQ(view_.DrawAll()[2].stateText, Text("msgError"));
  });
}

TEST_F(ThumbsLoaderTest, AStopCutsATransferShortWithoutGivingTheItemUp) {
  RunInApp([&](CzervaApp& app) {
    album_.albumID = 77;
    album_.ownerName = "demo";
    album_.serverDir = "Summer_in_the_mountains";
    album_.photosUrl = "http://" + Server().HostFor("demo") + "/Summer_in_the_mountains/";
    AddItems(1);
    Item(0).fileName = "Sum_3.jpg";
    Item(0).photoID = 103;
    ASSERT_TRUE(Server().InjectFault("Sum_3.jpg", "delay", 1, "2500"));
    CThumbsListCtrl& list = MakeList(app);
    list.Fill(&album_, true);
    ASSERT_TRUE(list.StartLoader());
    frontEnd_.loop.PumpFor(300ms);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(list.ClearList());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(Item(0).thumbFailed);
    // The next run gets it.
    ASSERT_TRUE(list.StartLoader());
    ASSERT_TRUE(list.WaitForLoader(60s));
    EXPECT_TRUE(Item(0).thumbnail);
  });
}

TEST_F(ThumbsLoaderTest, DroppedFilesAreAddedOnceAndTheRestReported) {
  CThumbsListCtrl& list = MakeList(MakeApp());
  const std::string a = MakeJpeg(files_, "a.jpg");
  const std::string b = MakeJpeg(files_, "b.jpg");
  ASSERT_TRUE(AddFolder(album_, files_.Path(), {"a.jpg"}));
  ASSERT_EQ(album_.items.size(), 2u);
  list.Fill(&album_, true);

  // Already there: a warning, nothing added, nothing changed.
  view_.Drop({a});
  std::vector<ScriptedDialogs::Message> messages = frontEnd_.dialogs->Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(messages[0].text, a + "\n- " + Text("msgAlreadyPresent"));
  EXPECT_EQ(album_.items.size(), 2u);
  EXPECT_TRUE(owner_->Ids().empty());

  // A new file is added at the end and shown; a file of no known kind is reported.
  const std::string c = MakeJpeg(files_, "c.jpg");
  const std::string text = files_.Write("notes.jpg", "no picture");
  view_.Drop({c, text});
  ASSERT_EQ(album_.items.size(), 3u);
  EXPECT_EQ(Item(2).fileName, "c.jpg");
  EXPECT_EQ(Item(2).index, 3);
  EXPECT_TRUE(Item(2).needsUpload);
  EXPECT_EQ(view_.count, 3);
  EXPECT_EQ(view_.shownPosition, 2);
  EXPECT_EQ(album_.lastAddedIndex, 0);
  EXPECT_TRUE(album_.modified);
  messages = frontEnd_.dialogs->Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].kind, MessageKind::kError);
  EXPECT_EQ(messages[1].text,
            text + " (" + Text("leftOutNotPicture") + ")\n- " + Text("msgInvalidFormat"));
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080}));

  // The file of an excluded item includes it again, without a word.
  ASSERT_EQ(Item(1).fileName, "b.jpg");
  ASSERT_FALSE(Item(1).included);
  view_.Drop({b});
  EXPECT_TRUE(Item(1).included);
  EXPECT_EQ(album_.items.size(), 3u);
  EXPECT_EQ(frontEnd_.dialogs->Messages().size(), 2u);
  EXPECT_EQ(owner_->Count(1080), 2);
  ASSERT_TRUE(list.WaitForLoader(60s));
}

TEST_F(ThumbsLoaderTest, SwitchingTheWatermarkRemovesTheCacheOfTheOldState) {
  CzervaApp& app = MakeApp();
  app.Session().MutableDetails().watermarkWidth = 100;
  app.Session().MutableDetails().watermarkHeight = 50;
  AddPhoto(MakeJpeg(files_, "a.jpg", 640, 480));
  std::atomic<bool> prepare{true};
  ThumbsLoaderOptions options;
  options.prepareOnly = [&](const CPhoto&) { return prepare.load(); };
  CThumbsListCtrl& list = MakeList(app, options);
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(60s));
  ASSERT_TRUE(IsPreparedValid(Item(0), 1200));
  const std::string cached = Item(0).preparedImagePath;
  // A record that does not name its cache yet, as after the album was opened again.
  Item(0).prepared = PreparationKey();
  Item(0).preparedImagePath.clear();
  Item(0).preparedThumbPath.clear();

  prepare = false;
  owner_->Clear();
  list.Execute(ThumbCommand::kWatermark, 0);
  EXPECT_TRUE(Item(0).hasWatermark);
  EXPECT_FALSE(FileExists(cached));
  EXPECT_FALSE(IsPreparedValid(Item(0), 1200));
  EXPECT_TRUE(Item(0).edited);
  EXPECT_TRUE(album_.modified);
  EXPECT_EQ(owner_->Ids(), (std::vector<unsigned>{1080}));
  ASSERT_TRUE(list.WaitForLoader(60s));
}

TEST_F(ThumbsLoaderTest, WithoutATemporaryFolderNoFileIsWritten) {
  album_.tempFolder.clear();
  AddPhoto(MakeJpeg(files_, "a.jpg", 640, 480));
  CThumbsListCtrl& list = MakeList(MakeApp());
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(60s));
  EXPECT_EQ(SizeOf(Item(0).thumbnail), (PixelSize{200, 150}));
  EXPECT_TRUE(Item(0).preparedImagePath.empty());
  EXPECT_FALSE(
      FileExists(PreparedCachePath("", kImagesDir, -1, 1200, Item(0).LocalFileTime(), 0, "a.jpg")));
}

}  // namespace
}  // namespace zerva::test
