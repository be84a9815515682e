#include "model/folder_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "model/album_environment.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "model_fixtures.h"

namespace zerva {
namespace {

TEST(AcceptedName, ExtensionsOfTheLists) {
  EXPECT_TRUE(IsAcceptedName("a.jpg", false).accepted);
  EXPECT_TRUE(IsAcceptedName("A.JPG", false).accepted);  // lower-cased first
  EXPECT_TRUE(IsAcceptedName("scan.tif", false).accepted);
  EXPECT_TRUE(IsAcceptedName("scan.TIFF", false).accepted);
  EXPECT_TRUE(IsAcceptedName("raw.CR2", false).accepted);
  EXPECT_FALSE(IsAcceptedName("a.jpeg", true).accepted);  // in neither list
  EXPECT_FALSE(IsAcceptedName(".jpg", true).accepted);    // only a dot and an extension
  EXPECT_FALSE(IsAcceptedName("jpg", true).accepted);
  EXPECT_FALSE(IsAcceptedName("notes.txt", true).accepted);
  EXPECT_FALSE(IsAcceptedName("dir.jpg/file", true).accepted);
}

TEST(AcceptedName, VideosOnlyWhenAllowed) {
  EXPECT_FALSE(IsAcceptedName("clip.mp4", false).accepted);
  const AcceptedName video = IsAcceptedName("clip.MTS", true);
  EXPECT_TRUE(video.accepted);
  EXPECT_TRUE(video.isVideo);
  EXPECT_FALSE(IsAcceptedName("a.jpg", true).isVideo);
}

TEST(DetectType, PhotosAreTypedByTheirContent) {
  test::TempDir dir;
  AlbumEnvironment env;
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "real.jpg"), env, nullptr).format, kImageFormatJpeg);
  EXPECT_EQ(DetectType(test::MakeTiff(dir, "scan.tif"), env, nullptr).format, kImageFormatTiff);
  // A TIFF named .jpg is still a TIFF; text named .jpg is nothing.
  EXPECT_EQ(DetectType(test::MakeTiff(dir, "tiff.jpg"), env, nullptr).format, kImageFormatTiff);
  EXPECT_EQ(DetectType(dir.Write("fake.jpg", "not a picture"), env, nullptr).format, -1);
  EXPECT_EQ(DetectType(dir.File("missing.jpg"), env, nullptr).format, -1);
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "real.png"), env, nullptr).format, -1);
}

TEST(DetectType, VideosGoThroughTheProbe) {
  test::TempDir dir;
  const std::string clip = dir.Write("clip.mp4", "video bytes");
  AlbumEnvironment env;
  EXPECT_EQ(DetectType(clip, env, nullptr).format, -1);  // no video support
  env.videoSupport = true;
  CZervaVideo video;
  const DetectedType byName = DetectType(clip, env, &video);
  EXPECT_EQ(byName.format, kVideoFormat);
  EXPECT_TRUE(byName.isVideo);
  EXPECT_EQ(video.sourcePath, clip);
  EXPECT_EQ(video.vcodec, "libx264");
  int probes = 0;
  env.videoProber.probe = [&](CZervaVideo& v, const std::string&) {
    ++probes;
    v.widthSrc = 320;
    return false;
  };
  EXPECT_EQ(DetectType(clip, env, &video).format, -1);
  EXPECT_EQ(probes, 1);
}

TEST(ScanFolder, SortedIgnoringCaseWithoutFoldersOrStrangers) {
  test::TempDir dir;
  for (const char* name : {"b.jpg", "A.jpg", "c.JPG", "notes.txt", "clip.avi", "a2.tif"}) {
    dir.Write(name, "x");
  }
  ASSERT_EQ(::mkdir(dir.File("folder.jpg").c_str(), 0755), 0);
  std::vector<std::string> names;
  for (const FolderEntry& e : ScanFolder(dir.Path(), false)) {
    names.push_back(e.name);
    EXPECT_EQ(e.path, dir.File(e.name));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A.jpg", "a2.tif", "b.jpg", "c.JPG"}));
  EXPECT_EQ(ScanFolder(dir.Path(), true).size(), 5u);
  EXPECT_TRUE(ScanFolder(dir.File("missing"), true).empty());
  // Without a trailing slash too.
  const std::string bare = dir.Path().substr(0, dir.Path().size() - 1);
  EXPECT_EQ(ScanFolder(bare, false).front().path, dir.File("A.jpg"));
}

}  // namespace
}  // namespace zerva
