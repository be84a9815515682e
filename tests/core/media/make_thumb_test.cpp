// The in-memory images of an item: thumbnail, prepared image and patch; the camera's orientation
// for new albums; and the report about a photo that cannot be read.
#include "media/make_thumb.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/scripted_dialogs.h"
#include "item_fixtures.h"
#include "lang/text.h"
#include "media/item_image.h"
#include "net/bug_report.h"

namespace zerva {
namespace {

using test::Near;
using test::PixelAt;
using test::Rgb;

struct SentReport {
  int kind;
  std::string description;
  std::string file;
};

class MakeThumbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = test::PhotoItem(test::PhotoFile(dir_, "photo.jpg", 1600, 1200), "photo.jpg");
  }
  PixelSize Size(const ImagePtr& image) { return BitmapSize(ItemBitmap(image)); }
  // The reports sent, each answered with `number`.
  void CollectReports(int number) {
    settings_.reports = [this, number](int kind, const std::string& description,
                                       const std::string& file) {
      reports_.push_back({kind, description, file});
      return number;
    };
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_);
  std::unique_ptr<CPhoto> item_;
  std::vector<SentReport> reports_;
};

TEST_F(MakeThumbTest, ThumbnailAloneLeavesNoLargeImage) {
  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 1200, false, false, true));
  EXPECT_EQ(Size(item_->thumbnail), (PixelSize{100, 75}));
  EXPECT_EQ(item_->thumbWidth, 100);
  EXPECT_EQ(item_->thumbHeight, 75);
  EXPECT_EQ(item_->preparedImage, nullptr);
}

TEST_F(MakeThumbTest, KeptThumbnailNeedsNoFile) {
  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 1200, false, false, true));
  item_->localPath = dir_.File("moved-away.jpg");
  EXPECT_TRUE(MakeThumb(*item_, settings_, 100, 1200, false, false, true));
  EXPECT_NE(item_->thumbnail, nullptr);
  // Without keepThumb both images are made anew, which now fails.
  EXPECT_FALSE(MakeThumb(*item_, settings_, 100, 1200, false, false, false));
  EXPECT_EQ(item_->thumbnail, nullptr);
}

TEST_F(MakeThumbTest, PreparedImageIsFittedAndSized) {
  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 800, false, true, false));
  EXPECT_EQ(Size(item_->preparedImage), (PixelSize{800, 600}));
  EXPECT_EQ(item_->width, 800);
  EXPECT_EQ(item_->height, 600);
  EXPECT_EQ(Size(item_->thumbnail), (PixelSize{100, 75}));
  EXPECT_EQ(item_->patch, nullptr);
}

TEST_F(MakeThumbTest, CameraOrientationTurnsNewAlbumsAndExcludedItemsOnly) {
  item_->exifRead = true;
  item_->exifInfo.orientation = 6;
  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 800, false, true, false));
  EXPECT_EQ(item_->rotate, 0);  // the user's own choice stays in an album already sent

  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 800, true, true, false));
  EXPECT_EQ(item_->rotate, 1);
  EXPECT_EQ(Size(item_->preparedImage), (PixelSize{600, 800}));
  EXPECT_EQ(Size(item_->thumbnail), (PixelSize{75, 100}));

  auto excluded = test::PhotoItem(item_->localPath, "photo.jpg");
  excluded->included = false;
  excluded->exifRead = true;
  excluded->exifInfo.orientation = 8;
  ASSERT_TRUE(MakeThumb(*excluded, settings_, 100, 800, false, false, false));
  EXPECT_EQ(excluded->rotate, 3);

  // Once the user turned the excluded item, a later picture keeps the turn.
  excluded->rotate = 0;
  excluded->edited = true;
  ASSERT_TRUE(MakeThumb(*excluded, settings_, 100, 800, false, true, false));
  EXPECT_EQ(excluded->rotate, 0);
}

TEST_F(MakeThumbTest, WatermarkGoesOnThePreparedImageWithItsPatch) {
  settings_.watermark = FixedWatermarkSource(test::OrangeTemplate(50, 20));
  item_->hasWatermark = true;
  ASSERT_TRUE(MakeThumb(*item_, settings_, 100, 800, false, true, false));
  EXPECT_EQ(Size(item_->patch), (PixelSize{50, 20}));
  EXPECT_TRUE(Near(PixelAt(ItemBitmap(item_->preparedImage), 790, 590), Rgb{255, 128, 0}));
  EXPECT_FALSE(Near(PixelAt(ItemBitmap(item_->thumbnail), 99, 74), Rgb{255, 128, 0}));
}

TEST_F(MakeThumbTest, UnfetchableTemplateLeavesNoUnmarkedPreparedImage) {
  settings_.watermark = [] { return WatermarkTemplate{nullptr, "GetWatermarkTemplate: down"}; };
  item_->hasWatermark = true;
  EXPECT_FALSE(MakeThumb(*item_, settings_, 100, 800, false, true, false));
  EXPECT_EQ(item_->preparedImage, nullptr);
  EXPECT_NE(item_->thumbnail, nullptr);  // the list still has something to show
}

TEST_F(MakeThumbTest, UnreadablePhotoIsReportedThenShown) {
  CollectReports(417);
  ScriptedDialogs dialogs;
  settings_.dialogs = &dialogs;
  const std::string path = dir_.Write("broken.jpg", "not a picture at all");
  auto broken = test::PhotoItem(path, "broken.jpg");
  EXPECT_FALSE(MakeThumb(*broken, settings_, 100, 1200, true, true, false));
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0].kind, kReportPhotoPreparation);
  EXPECT_EQ(reports_[0].description,
            "MakeThumb( sizeThumb 100, sizeImage 1200, newAlbum 1, bigImage 1 )");
  EXPECT_EQ(reports_[0].file, path);
  ASSERT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Messages()[0].kind, MessageKind::kWarning);
  EXPECT_EQ(dialogs.Messages()[0].text, Text("msgInvalidFormat") + "\n" + path);
  EXPECT_EQ(broken->thumbnail, nullptr);
  EXPECT_EQ(broken->preparedImage, nullptr);
}

TEST_F(MakeThumbTest, ReportThatGotNoNumberShowsNothing) {
  CollectReports(0);
  ScriptedDialogs dialogs;
  settings_.dialogs = &dialogs;
  auto broken = test::PhotoItem(dir_.Write("broken.jpg", "nope"), "broken.jpg");
  EXPECT_FALSE(MakeThumb(*broken, settings_, 64, 800, false, false, true));
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0].description,
            "MakeThumb( sizeThumb 64, sizeImage 800, newAlbum 0, bigImage 0 )");
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(MakeThumbTest, MissingFileIsNotReported) {
  CollectReports(1);
  auto gone = test::PhotoItem(dir_.File("gone.jpg"), "gone.jpg");
  EXPECT_FALSE(MakeThumb(*gone, settings_, 100, 1200, false, true, false));
  EXPECT_TRUE(reports_.empty());
  auto pathless = test::PhotoItem("", "x.jpg");
  EXPECT_FALSE(MakeThumb(*pathless, settings_, 100, 1200, false, true, false));
}

}  // namespace
}  // namespace zerva
