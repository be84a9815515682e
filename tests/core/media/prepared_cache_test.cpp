// The prepared-file cache: an item prepared while the user edits is uploaded by copying the
// cached files, and anything that changes the picture makes it prepared anew.
#include "media/prepared_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <string>
#include <vector>

#include "item_fixtures.h"
#include "media/advance_preparation.h"
#include "media/make_image.h"
#include "media/make_thumb.h"
#include "model/album.h"
#include "model/file_times.h"

namespace zerva {
namespace {

using test::FileBytes;
using test::FileImageSize;

bool SetFileTime(const std::string& path, int64_t seconds) {
  struct utimbuf times;
  times.actime = static_cast<time_t>(seconds);
  times.modtime = static_cast<time_t>(seconds);
  return ::utime(path.c_str(), &times) == 0;
}

class PreparedCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = test::PhotoFile(dir_, "photo.jpg", 2000, 1500);
    ASSERT_TRUE(SetFileTime(source_, 1600000000));
    item_ = test::PhotoItem(source_, "photo.jpg");
  }
  // What the thumbnail list's third pass does for one item.
  bool PrepareInEditor(int size = 1200) {
    return MakeThumb(*item_, settings_, 100, size, false, true, true) &&
           SavePrepared(*item_, settings_, size, true);
  }
  MakeImageInputs Inputs(int size = 1200) {
    return test::UploadInputs(settings_, source_, size, "photo.jpg");
  }
  bool Make(const MakeImageInputs& in) {
    progress_.clear();
    return MakeImageFiles(
        *item_, in, settings_, [this](double fraction) { progress_.push_back(fraction); }, &error_);
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_, 0x2A);
  std::string source_;
  std::unique_ptr<CPhoto> item_;
  std::string error_;
  std::vector<double> progress_;
};

TEST_F(PreparedCacheTest, CacheNamesCarryTheKey) {
  EXPECT_EQ(PreparedCachePath("/t/", kThumbDir, 0x2A, 1200, 0x5F5E1000, 3, "a.jpg"),
            "/t/thumb/2A_4B0_5F5E1000_3_a.jpg");
  EXPECT_EQ(PreparedCachePath("/t", kImagesDir, -1, 1200, 1, 0, "a.jpg"),
            "/t/images/FFFFFFFF_4B0_1_0_a.jpg");
  EXPECT_EQ(UploadFilePath("/t/", kDiffDir, "a.jpg"), "/t/diff/a.jpg");
}

TEST_F(PreparedCacheTest, SavedCacheIsValidForItsKeyOnly) {
  ASSERT_TRUE(PrepareInEditor());
  EXPECT_EQ(item_->preparedImagePath, PreparedCachePath(settings_.tempFolder, kImagesDir, 0x2A,
                                                        1200, 1600000000, 0, "photo.jpg"));
  EXPECT_EQ(FileImageSize(item_->preparedImagePath), (PixelSize{1200, 900}));
  EXPECT_EQ(FileImageSize(item_->preparedThumbPath), (PixelSize{100, 75}));
  EXPECT_EQ(item_->prepared.preparedImageWidth, 1200);
  EXPECT_EQ(item_->prepared.preparedThumbHeight, 75);
  EXPECT_EQ(item_->preparedImage, nullptr);  // dropped after saving
  EXPECT_NE(item_->thumbnail, nullptr);
  EXPECT_TRUE(IsPreparedValid(*item_, 1200));
  EXPECT_FALSE(IsPreparedValid(*item_, 1400));
  item_->rotate = 1;
  EXPECT_FALSE(IsPreparedValid(*item_, 1200));
}

TEST_F(PreparedCacheTest, UploadCopiesTheCacheThenPreparesAnewAfterAnotherTurn) {
  ASSERT_TRUE(PrepareInEditor());
  const std::string cached = FileBytes(item_->preparedImagePath);
  const MakeImageInputs in = Inputs();
  ASSERT_TRUE(Make(in)) << error_;
  EXPECT_EQ(FileBytes(in.imagePath), cached);
  EXPECT_EQ(FileBytes(in.thumbPath), FileBytes(item_->preparedThumbPath));
  EXPECT_EQ(progress_, (std::vector<double>{0.0, 0.1, 0.5, 0.9, 1.0}));
  EXPECT_EQ(item_->width, 1200);
  EXPECT_EQ(item_->thumbWidth, 100);
  EXPECT_EQ(item_->imageSize, static_cast<int64_t>(cached.size()));

  // The user turns the photo again: the cache no longer applies.
  item_->rotate = 1;
  ASSERT_TRUE(Make(in)) << error_;
  EXPECT_EQ(progress_.size(), 7u);
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{900, 1200}));
  EXPECT_EQ(item_->width, 900);
}

// The photo prepared in the editor was a small JPEG; its file was then replaced by a PNG under
// the same name and time. The cache still stands for the photo, but the PNG is never sent as the
// "original", even to a user whose small originals go unchanged.
TEST_F(PreparedCacheTest, AnOriginalReplacedByAnotherTypeIsNeverSent) {
  source_ = test::PhotoFile(dir_, "small.jpg", 1000, 750);
  ASSERT_TRUE(SetFileTime(source_, 1600000000));
  item_ = test::PhotoItem(source_, "small.jpg");
  ASSERT_TRUE(PrepareInEditor());
  const std::string cached = FileBytes(item_->preparedImagePath);
  Bitmap flat(FreeImage_Allocate(1000, 750, 24));
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, flat.get(), source_.c_str(), 0));
  ASSERT_TRUE(SetFileTime(source_, 1600000000));
  ASSERT_LT(FileSize(source_), static_cast<int64_t>(cached.size()));
  ASSERT_TRUE(IsPreparedValid(*item_, 1200));
  MakeImageInputs in = Inputs();
  in.useOriginal = true;
  ASSERT_TRUE(Make(in)) << error_;
  EXPECT_EQ(FileBytes(in.imagePath), cached);
  EXPECT_EQ(ImageFormatOfFile(in.imagePath), kFormatJpeg);
}

TEST_F(PreparedCacheTest, EditedLocalFileMakesTheCacheStale) {
  ASSERT_TRUE(PrepareInEditor());
  ASSERT_TRUE(IsPreparedValid(*item_, 1200));
  // The photo is edited and saved again: the cached picture is no longer the photo.
  ASSERT_TRUE(SetFileTime(source_, 1600000500));
  EXPECT_FALSE(IsPreparedValid(*item_, 1200));
}

TEST_F(PreparedCacheTest, TouchedCacheFileIsNotTrusted) {
  ASSERT_TRUE(PrepareInEditor());
  ASSERT_TRUE(SetFileTime(item_->preparedImagePath, 1500000000));
  EXPECT_FALSE(IsPreparedValid(*item_, 1200));
}

TEST_F(PreparedCacheTest, FreshItemAdoptsExistingCacheFiles) {
  ASSERT_TRUE(PrepareInEditor());
  const std::string image = item_->preparedImagePath;
  auto reopened = test::PhotoItem(source_, "photo.jpg");
  EXPECT_FALSE(FindPrepared(*reopened, settings_, 1400));
  PreparationSettings otherAlbum = settings_;
  otherAlbum.albumID = 3;
  EXPECT_FALSE(FindPrepared(*reopened, otherAlbum, 1200));
  ASSERT_TRUE(FindPrepared(*reopened, settings_, 1200));
  EXPECT_EQ(reopened->preparedImagePath, image);
  EXPECT_EQ(reopened->preparedPatchPath, "");
  EXPECT_EQ(reopened->prepared.preparedImageWidth, 1200);
  EXPECT_EQ(reopened->prepared.preparedThumbWidth, 100);
  EXPECT_TRUE(IsPreparedValid(*reopened, 1200));
}

TEST_F(PreparedCacheTest, DropDeletesTheFilesAndTheKey) {
  ASSERT_TRUE(PrepareInEditor());
  const std::string image = item_->preparedImagePath, thumb = item_->preparedThumbPath;
  DropPrepared(*item_);
  EXPECT_FALSE(FileExists(image));
  EXPECT_FALSE(FileExists(thumb));
  EXPECT_EQ(item_->prepared.preparedFileTime, 0);
  EXPECT_FALSE(IsPreparedValid(*item_, 1200));
}

TEST_F(PreparedCacheTest, NewKeyReplacesTheOldFiles) {
  ASSERT_TRUE(PrepareInEditor());
  const std::string old = item_->preparedImagePath;
  ASSERT_TRUE(PrepareInEditor(1400));
  EXPECT_FALSE(FileExists(old));
  EXPECT_TRUE(IsPreparedValid(*item_, 1400));
}

TEST_F(PreparedCacheTest, SaveWithoutPreparedImageFails) {
  EXPECT_FALSE(SavePrepared(*item_, settings_, 1200, true));
}

TEST_F(PreparedCacheTest, WatermarkedCacheCarriesItsPatchToTheUpload) {
  settings_.watermark = FixedWatermarkSource(test::OrangeTemplate(30, 10));
  item_->hasWatermark = true;
  ASSERT_TRUE(PrepareInEditor());
  ASSERT_NE(item_->preparedPatchPath, "");
  EXPECT_EQ(FileImageSize(item_->preparedPatchPath), (PixelSize{30, 10}));
  const MakeImageInputs in = Inputs();
  ASSERT_TRUE(Make(in)) << error_;
  EXPECT_EQ(progress_.size(), 5u);  // the cache was used
  EXPECT_EQ(FileImageSize(in.patchPath), (PixelSize{30, 10}));
  EXPECT_GT(item_->patchSize, 0);

  // Switched off without dropping the cache: the marked cache must not be sent.
  item_->hasWatermark = false;
  ASSERT_TRUE(Make(in)) << error_;
  EXPECT_EQ(progress_.size(), 7u);
  EXPECT_FALSE(FileExists(in.patchPath));
}

TEST_F(PreparedCacheTest, AdvancePreparationFillsTheCacheOnSeveralThreads) {
  CAlbum album;
  for (int i = 0; i < 5; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    auto item = test::PhotoItem(test::PhotoFile(dir_, name, 1600, 1000, 90, i + 2), name);
    item->included = i != 4;
    album.items.push_back(std::move(item));
  }
  album.items[3]->thumbFailed = true;
  AdvancePreparationOptions options;
  options.resolution = 800;
  options.threads = 3;
  options.onlyIf = [](const CPhoto& item) { return item.included; };
  EXPECT_EQ(PrepareInAdvance(album, settings_, options), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(IsPreparedValid(*album.items[i], 800)) << i;
  EXPECT_FALSE(IsPreparedValid(*album.items[3], 800));
  EXPECT_FALSE(IsPreparedValid(*album.items[4], 800));
  // A second run finds everything done.
  EXPECT_EQ(PrepareInAdvance(album, settings_, options), 3);

  std::atomic<bool> cancel{true};
  album.items[0]->rotate = 2;
  EXPECT_EQ(PrepareInAdvance(album, settings_, options, &cancel), 0);
}

TEST_F(PreparedCacheTest, ThreadCountFollowsTheWork) {
  EXPECT_EQ(PreparationThreads(4, 2), 2);
  EXPECT_EQ(PreparationThreads(1, 10), 1);
  EXPECT_EQ(PreparationThreads(3, 0), 1);
  EXPECT_GE(PreparationThreads(0, 1000), 1);
}

}  // namespace
}  // namespace zerva
