#include "model/photo.h"

#include <gtest/gtest.h>

#include "model_fixtures.h"

namespace zerva {
namespace {

TEST(PhotoFileTime, OneHourShiftCountsAsUnchanged) {
  test::TempDir dir;
  CPhoto p;
  p.localPath = dir.Write("a.jpg", "x");
  const int64_t t = 1300000000;
  ASSERT_TRUE(test::SetModificationTime(p.localPath, t));
  EXPECT_EQ(p.LocalFileTime(), t);
  for (int64_t shift : {0, 3600, -3600}) {
    p.OriginalCode = t + shift;
    EXPECT_FALSE(p.LocalFileChanged()) << shift;
  }
  for (int64_t shift : {1, 3599, 3601, -3599, -3601, 7200}) {
    p.OriginalCode = t + shift;
    EXPECT_TRUE(p.LocalFileChanged()) << shift;
  }
}

TEST(PhotoFileTime, MissingFileHasNoTime) {
  CPhoto p;
  EXPECT_EQ(p.LocalFileTime(), -1);
  p.localPath = "/nonexistent/zerva/a.jpg";
  EXPECT_EQ(p.LocalFileTime(), -1);
  p.OriginalCode = 0;
  EXPECT_TRUE(p.LocalFileChanged());
}

TEST(PhotoRecord, CanShowImage) {
  CPhoto p;
  EXPECT_TRUE(p.CanShowImage());
  p.localFileAvailable = false;
  EXPECT_FALSE(p.CanShowImage());
  p.photoID = 4;
  EXPECT_TRUE(p.CanShowImage());
  p.isVideo = true;
  EXPECT_FALSE(p.CanShowImage());
}

TEST(PhotoRecord, RebaseMovesOnlyMissingFilesOfTheOldFolder) {
  CPhoto p;
  p.localPath = "/old/pics/a.jpg";
  EXPECT_FALSE(p.RebasePath("/old/pics", "/new/pics"));  // still counted as available
  p.localFileAvailable = false;
  EXPECT_FALSE(p.RebasePath("/old", "/new"));  // only the exact folder
  EXPECT_FALSE(p.RebasePath("/old/pic", "/new"));
  EXPECT_TRUE(p.RebasePath("/old/pics", "/new/pics"));
  EXPECT_EQ(p.localPath, "/new/pics/a.jpg");
  EXPECT_TRUE(p.edited);
  p.localPath.clear();
  EXPECT_FALSE(p.RebasePath("", "/x"));
}

}  // namespace
}  // namespace zerva
