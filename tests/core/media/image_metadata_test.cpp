#include "media/image_metadata.h"

#include <gtest/gtest.h>

#include "core/model/model_fixtures.h"
#include "media/image_load.h"
#include "media/image_save.h"
#include "media_fixtures.h"

namespace zerva {
namespace {

int TagsOfEveryModel(FIBITMAP* image) {
  int count = 0;
  for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
    count +=
        static_cast<int>(FreeImage_GetMetadataCount(static_cast<FREE_IMAGE_MDMODEL>(model), image));
  }
  return count;
}

TEST(ClearMetadata, RemovesEveryModelAndTheThumbnailButKeepsTheColourProfile) {
  Bitmap image = test::PhotoLike(64, 48);
  // One tag in each of the twelve models.
  for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
    ASSERT_TRUE(FreeImage_SetMetadataKeyValue(static_cast<FREE_IMAGE_MDMODEL>(model), image.get(),
                                              "Key", "value"));
  }
  ASSERT_EQ(TagsOfEveryModel(image.get()), 12);
  Bitmap small = test::PhotoLike(8, 6);
  ASSERT_TRUE(ReplaceEmbeddedThumbnail(image.get(), small.get()));
  char profile[16] = "icc profile";
  FreeImage_CreateICCProfile(image.get(), profile, sizeof profile);

  ClearMetadata(image.get());
  EXPECT_EQ(TagsOfEveryModel(image.get()), 0);
  EXPECT_EQ(FreeImage_GetThumbnail(image.get()), nullptr);
  EXPECT_EQ(FreeImage_GetICCProfile(image.get())->size, static_cast<long>(sizeof profile));
  ClearMetadata(nullptr);
}

TEST(ClearMetadata, ACameraFileSavedAfterwardsCarriesNoExif) {
  if (!test::HaveExiftool()) GTEST_SKIP() << "exiftool not installed";
  test::TempDir dir;
  const Bitmap drawn = test::PhotoLike(64, 48);
  const std::string path = test::SavedJpeg(drawn.get(), dir.File("camera.jpg"));
  ASSERT_TRUE(test::Exiftool(path, "-Make=Zerva -Model=Test -Orientation#=6 -GPSLatitude=50"));
  Bitmap image = LoadImageFile(path, JPEG_ACCURATE);
  ASSERT_NE(image, nullptr);
  ASSERT_GT(FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, image.get()), 0u);
  ClearMetadata(image.get());
  const std::string cleared = dir.File("cleared.jpg");
  ASSERT_TRUE(SaveJpeg(image.get(), cleared, 85));
  const Bitmap reloaded = LoadImageFile(cleared, JPEG_ACCURATE);
  ASSERT_NE(reloaded, nullptr);
  EXPECT_EQ(TagsOfEveryModel(reloaded.get()), 0);
}

TEST(ReplaceEmbeddedThumbnail, TheGivenImageTravelsInTheSavedFile) {
  test::TempDir dir;
  Bitmap image = test::PhotoLike(320, 240);
  Bitmap quick = test::DistinctPicture(4, 3);
  ASSERT_TRUE(ReplaceEmbeddedThumbnail(image.get(), quick.get()));
  EXPECT_NE(FreeImage_GetThumbnail(image.get()), quick.get());  // a copy
  quick.reset();
  const std::string path = dir.File("t.jpg");
  ASSERT_TRUE(SaveJpeg(image.get(), path, 90));
  const Bitmap reloaded = LoadImageFile(path, JPEG_ACCURATE);
  ASSERT_NE(reloaded, nullptr);
  FIBITMAP* thumbnail = FreeImage_GetThumbnail(reloaded.get());
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(BitmapSize(thumbnail), (PixelSize{4, 3}));
  EXPECT_FALSE(ReplaceEmbeddedThumbnail(image.get(), nullptr));
}

}  // namespace
}  // namespace zerva
