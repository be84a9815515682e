// The preparation job and the job that turns or reduces a photo already on the service.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../media/item_fixtures.h"
#include "job_test_support.h"
#include "jobs/job_description.h"
#include "jobs/job_make_image.h"
#include "jobs/job_rotate_image.h"
#include "jobs/job_upload.h"
#include "media/item_download.h"
#include "media/item_image.h"
#include "media/prepared_cache.h"
#include "media/watermark_template.h"
#include "model/photo.h"
#include "net/http_mngr.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {
namespace {

using test::FileImageSize;
using test::Near;
using test::PixelAt;
using test::Rgb;

TEST(JobMakeImageTest, RunsThePreparationWithinItsShare) {
  test::TempDir dir;
  ASSERT_TRUE(Localization().LoadLocal());
  const std::string source = test::PhotoFile(dir, "p.jpg", 1600, 1200);
  auto item = test::PhotoItem(source, "p.jpg");
  MakeImageInputs in;
  in.sourcePath = source;
  in.imagePath = dir.File("out/images/p.jpg");
  in.thumbPath = dir.File("out/thumb/p.jpg");
  in.sizeImage = 800;
  CJobMakeImage job(in, item.get(), test::TestSettings(dir));
  EXPECT_EQ(job.Kind(), kJobKindMakeImage);
  EXPECT_EQ(job.Weight(), 50);
  EXPECT_EQ(job.Item(), item.get());
  EXPECT_EQ(job.Description(), "Preparing " + source + " at 800 px into " + in.imagePath);
  test::RecordingWindow window;
  job.SetNotify(&window, kMsgTransferProgress);
  job.SetRange(20.0, 40.0);
  const ApiResult result = job.Run(nullptr);
  ASSERT_TRUE(result.Ok()) << result.message << " " << result.errorCode;
  EXPECT_EQ(window.PostedValues(kMsgTransferProgress),
            (std::vector<MessageParam>{20, 22, 24, 28, 32, 36, 40}));
  EXPECT_EQ(item->width, 800);

  // A photo that cannot be read fails the job with the reason.
  auto broken = test::PhotoItem(dir.Write("b.jpg", "nope"), "b.jpg");
  in.sourcePath = broken->localPath;
  CJobMakeImage failing(in, broken.get(), test::TestSettings(dir));
  const ApiResult failed = failing.Run(nullptr);
  EXPECT_EQ(failed.code, 0);
  EXPECT_NE(failed.message.find("b.jpg"), std::string::npos);
}

TEST(JobMakeImageTest, ASourceThatCannotBePreparedFailsForGoodAndItsUploadsSendNothing) {
  test::TempDir dir;
  const std::string whole = test::FileBytes(test::PhotoFile(dir, "w.jpg", 640, 480));
  const std::string source = dir.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  auto item = test::PhotoItem(source, "cut.jpg");
  MakeImageInputs in;
  in.sourcePath = source;
  in.imagePath = dir.File("out/images/cut.jpg");
  in.thumbPath = dir.File("out/thumb/cut.jpg");
  in.sizeImage = 320;
  CJobMakeImage job(in, item.get(), test::TestSettings(dir));
  EXPECT_FALSE(job.Run(nullptr).Ok());
  EXPECT_TRUE(job.Hopeless());
  EXPECT_EQ(item->preparationFailure, "the file ends before the picture does");
  EXPECT_FALSE(FileExists(in.imagePath));

  // Its upload fails at once, without a connection, and is not worth another run either.
  auto session = std::make_shared<CUserSession>();
  CJobUpload upload(session.get(), std::make_shared<CHttpMngr>(), in.imagePath, "Trip/images", 7,
                    item.get());
  const ApiResult sent = upload.Run(nullptr);
  EXPECT_FALSE(sent.Ok());
  EXPECT_TRUE(upload.Hopeless());
  EXPECT_NE(sent.message.find("the file ends before the picture does"), std::string::npos);

  // A failure outside the source (here the output cannot be written) may mend itself.
  const std::string good = test::PhotoFile(dir, "good.jpg", 64, 48);
  auto fine = test::PhotoItem(good, "good.jpg");
  dir.Write("blocked", "a file where a folder should be");
  in.sourcePath = good;
  in.imagePath = dir.File("blocked/images/good.jpg");
  in.thumbPath = dir.File("blocked/thumb/good.jpg");
  CJobMakeImage writing(in, fine.get(), test::TestSettings(dir));
  EXPECT_FALSE(writing.Run(nullptr).Ok());
  EXPECT_FALSE(writing.Hopeless());
  EXPECT_TRUE(fine->preparationFailure.empty());
}

TEST(JobRotateImageTest, WeightFollowsTheItemSize) {
  CPhoto item;
  EXPECT_EQ(RotateImageWeight(item), 50);
  item.fileSizeOriginal = 100 * 1024;
  EXPECT_EQ(RotateImageWeight(item), 200);
  item.fileSize = 10 * 1024;
  EXPECT_EQ(RotateImageWeight(item), 50);
}

class RotateImageJobTest : public test::PhotoJobTest {
 protected:
  void SetUp() override {
    PhotoJobTest::SetUp();
    session_->SetUploadDelayMs(0);
    settings_ = test::TestSettings(dir_);
    item_.fileName = "r.jpg";
    item_.photoID = 0;
  }
  // Puts the item's files on the service as an earlier upload did: under the item's file name.
  void Upload(const std::string& dir, const std::string& file) {
    const std::string copy = sent_.Path() + dir + "/" + item_.fileName;
    ASSERT_TRUE(CreateDirectoryPath(sent_.Path() + dir));
    ASSERT_TRUE(WriteFileAtomic(copy, test::FileBytes(file)));
    CJobUpload job(session_.get(), manager_, copy, "Trip/" + dir, albumId_, &item_);
    const ApiResult sent = job.Run(nullptr);
    ASSERT_TRUE(sent.Ok()) << sent.message;
  }
  std::string Local(const std::string& dir) {
    return UploadFilePath(settings_.tempFolder, dir, "r.jpg");
  }
  RotateImagePaths Paths() {
    return {Local(kImagesDir), Local(kHdImagesDir), Local(kThumbDir), Local(kDiffDir)};
  }
  ApiResult RunJob(int degrees, int size = 1200) {
    CJobRotateImage job(degrees, Paths(), user_, "Trip", size, &item_, manager_, settings_);
    job.SetNotify(&window_, kMsgTransferProgress);
    return job.Run(nullptr);
  }

  CPhoto item_;
  PreparationSettings settings_;
  test::RecordingWindow window_;
  test::TempDir sent_;
};

TEST_F(RotateImageJobTest, TurnsImageAndThumbnailFromTheService) {
  test::TempDir src;
  const std::string image = test::QuadrantFile(src, "image.jpg", 800, 608);
  const std::string thumb = test::QuadrantFile(src, "thumb.jpg", 96, 72);
  Upload("images", image);
  Upload("thumb", thumb);

  CJobRotateImage job(90, Paths(), user_, "Trip", 1200, &item_, manager_, settings_);
  EXPECT_EQ(job.Kind(), kJobKindRotateImage);
  EXPECT_EQ(job.Description(), "Turning r.jpg on the server");
  const ApiResult result = RunJob(90);
  ASSERT_TRUE(result.Ok()) << result.message << " " << result.errorCode;
  EXPECT_EQ(FileImageSize(Local(kImagesDir)), (PixelSize{608, 800}));
  EXPECT_EQ(item_.width, 608);
  EXPECT_EQ(item_.height, 800);
  EXPECT_EQ(item_.thumbWidth, 72);
  EXPECT_EQ(item_.thumbHeight, 96);
  EXPECT_EQ(item_.imageSize, FileSize(Local(kImagesDir)));
  const Bitmap turned = LoadImageFile(Local(kImagesDir), LoadPurpose::kPrepare);
  EXPECT_TRUE(Near(PixelAt(turned.get(), 10, 10), Rgb{0, 0, 255}));  // blue came to the top-left
  EXPECT_FALSE(FileExists(Local(kHdImagesDir)));                     // no HD photo
}

TEST_F(RotateImageJobTest, HdPhotoHasItsHdImageTurnedToo) {
  test::TempDir src;
  Upload("images", test::QuadrantFile(src, "image.jpg", 400, 304));
  Upload("hdimages", test::QuadrantFile(src, "hd.jpg", 1600, 1216));
  Upload("thumb", test::QuadrantFile(src, "thumb.jpg", 96, 72));
  item_.isHdPhoto = true;
  const ApiResult result = RunJob(270);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(FileImageSize(Local(kHdImagesDir)), (PixelSize{1216, 1600}));
  EXPECT_EQ(item_.hdwidth, 1216);
  EXPECT_EQ(item_.hdheight, 1600);
  EXPECT_EQ(item_.hdSize, FileSize(Local(kHdImagesDir)));
  EXPECT_EQ(FileImageSize(Local(kImagesDir)), (PixelSize{304, 400}));
  // Progress moves forward through the downloads and turns.
  const std::vector<MessageParam> posted = window_.PostedValues(kMsgTransferProgress);
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back(), 100);
  for (size_t i = 1; i < posted.size(); ++i) EXPECT_GE(posted[i], posted[i - 1]);
}

TEST_F(RotateImageJobTest, ServiceWithoutTemplateMeansNoWatermark) {
  std::string bytes, error;
  EXPECT_EQ(FetchWatermarkTemplate(*connection_, user_, session_->PasswordDigest(), dir_.Path(),
                                   &bytes, &error),
            TemplateFetch::kNone);
  EXPECT_FALSE(FileExists(dir_.File(kWatermarkTemplateFile)));
}

TEST_F(RotateImageJobTest, ReducesAnImageLargerThanTheResolution) {
  test::TempDir src;
  Upload("images", test::PhotoFile(src, "image.jpg", 1600, 1200));
  CJobRotateImage job(0, Paths(), user_, "Trip", 800, &item_, manager_, settings_);
  EXPECT_EQ(job.Description(), "Reducing r.jpg on the server");
  const ApiResult result = RunJob(0, 800);
  ASSERT_TRUE(result.Ok()) << result.message << " " << result.errorCode;
  EXPECT_EQ(FileImageSize(Local(kImagesDir)), (PixelSize{800, 600}));
  EXPECT_EQ(item_.width, 800);
  EXPECT_FALSE(FileExists(Local(kThumbDir)));  // nothing turned, the thumbnail stays as it is
}

TEST_F(RotateImageJobTest, WatermarkIsTakenOffTurnedAndLaidOnAgain) {
  test::TempDir src;
  // The service holds a marked image; its patch holds the original corner.
  const std::string original = test::QuadrantFile(src, "image.jpg", 800, 608);
  Bitmap marked = LoadImageFile(original, LoadPurpose::kPrepare);
  Bitmap patch = CloneBitmap(marked.get());
  patch.reset(FreeImage_Copy(marked.get(), 760, 588, 800, 608));
  for (int y = 588; y < 608; ++y) {
    for (int x = 760; x < 800; ++x) test::SetPixel(marked.get(), x, y, {255, 128, 0});
  }
  Upload("images", test::SavedJpeg(marked.get(), src.File("marked.jpg"), 100));
  Upload("thumb", test::QuadrantFile(src, "thumb.jpg", 96, 72));
  item_.savedHasWatermark = true;
  item_.hasWatermark = true;
  item_.patch = ToItemImage(std::move(patch));
  settings_.watermark = FixedWatermarkSource(test::OrangeTemplate(40, 20));

  const ApiResult result = RunJob(180);
  ASSERT_TRUE(result.Ok()) << result.message << " " << result.errorCode;
  const Bitmap turned = LoadImageFile(Local(kImagesDir), LoadPurpose::kPrepare);
  // The old mark, now at the top-left, is gone; the new one sits bottom-right.
  EXPECT_TRUE(Near(PixelAt(turned.get(), 10, 10), Rgb{255, 255, 255}));
  EXPECT_TRUE(Near(PixelAt(turned.get(), 795, 603), Rgb{255, 128, 0}));
  EXPECT_EQ(FileImageSize(Local(kDiffDir)), (PixelSize{40, 20}));
  EXPECT_EQ(item_.patchSize, FileSize(Local(kDiffDir)));
}

TEST_F(RotateImageJobTest, MarkedImageWithoutItsPatchFails) {
  test::TempDir src;
  Upload("images", test::PhotoFile(src, "image.jpg", 400, 300));
  item_.savedHasWatermark = true;
  const ApiResult result = RunJob(90);
  EXPECT_EQ(result.code, 0);
  EXPECT_NE(result.message.find("watermark"), std::string::npos);
}

TEST_F(RotateImageJobTest, MissingFileOnTheServiceFails) {
  item_.fileName = "never-sent.jpg";
  const ApiResult result = RunJob(90);
  EXPECT_EQ(result.code, 0);
}

TEST_F(RotateImageJobTest, PatchIsFetchedIntoTheItem) {
  test::TempDir src;
  Upload("images", test::PhotoFile(src, "image.jpg", 400, 300));
  Upload("diff", test::PhotoFile(src, "patch.jpg", 40, 20));
  const SessionCredentials user = session_->Credentials();
  ASSERT_GT(item_.photoID, 0);
  ASSERT_TRUE(DownloadPatch(item_, *connection_, user, settings_.tempFolder));
  EXPECT_EQ(BitmapSize(ItemBitmap(item_.patch)), (PixelSize{40, 20}));

  CPhoto unknown;
  unknown.fileName = "u.jpg";
  unknown.photoID = 987654;
  unknown.patch = ToItemImage(CloneBitmap(ItemBitmap(item_.patch)));
  EXPECT_FALSE(DownloadPatch(unknown, *connection_, user, settings_.tempFolder));
  EXPECT_EQ(unknown.patch, nullptr);  // the old patch is dropped
}

}  // namespace
}  // namespace zerva

namespace zerva {
namespace {

TEST(JobTextTest, ValuesGoInByPositionAndNothingElseIsAConversion) {
  EXPECT_EQ(FillJobText("Preparing %s at %d px into %s", {"a.jpg", "1200", "b.jpg"}),
            "Preparing a.jpg at 1200 px into b.jpg");
  EXPECT_EQ(FillJobText("%s %s %n %x 100%%", {"one"}), "one  %n %x 100%");
  EXPECT_EQ(FillJobText("trailing %", {}), "trailing %");
}

}  // namespace
}  // namespace zerva
