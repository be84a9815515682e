#include "model/folder_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "model/album_environment.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "model_fixtures.h"

namespace zerva {
namespace {

using namespace std::string_literals;

TEST(AcceptedName, ExtensionsOfTheLists) {
  EXPECT_TRUE(IsAcceptedName("a.jpg", false).accepted);
  EXPECT_TRUE(IsAcceptedName("A.JPG", false).accepted);  // lower-cased first
  EXPECT_TRUE(IsAcceptedName("scan.tif", false).accepted);
  EXPECT_TRUE(IsAcceptedName("scan.TIFF", false).accepted);
  EXPECT_TRUE(IsAcceptedName("raw.CR2", false).accepted);
  EXPECT_FALSE(IsAcceptedName("a.gif", true).accepted);  // in neither list
  for (const char* name :
       {"a.jpeg", "b.JPE", "IMG_1234.HEIC", "c.heif", "Screenshot.png", "saved.webp"}) {
    const AcceptedName photo = IsAcceptedName(name, true);
    EXPECT_TRUE(photo.accepted) << name;
    EXPECT_FALSE(photo.isVideo) << name;
  }
  EXPECT_FALSE(IsAcceptedName(".jpg", true).accepted);  // only a dot and an extension
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
  // The content decides, whatever the accepted name promises.
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "real.png"), env, nullptr).format, kImageFormatJpeg);
  EXPECT_EQ(DetectType(test::MakePng(dir, "png.jpg"), env, nullptr).format, kImageFormatPng);
  EXPECT_EQ(DetectType(test::MakePng(dir, "shot.PNG"), env, nullptr).format, kImageFormatPng);
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "photo.jpeg"), env, nullptr).format, kImageFormatJpeg);
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "photo.jpe"), env, nullptr).format, kImageFormatJpeg);
  EXPECT_EQ(DetectType(test::MakeJpeg(dir, "photo.gif"), env, nullptr).refusal,
            LeftOutReason::kNotMedia);
  // HEIF by its first box, which the image library does not read.
  const std::string heic = dir.Write("IMG_1.HEIC",
                                     "\0\0\0\x1c"
                                     "ftypheic\0\0\0\0mif1heicmiaf...."s);
  EXPECT_EQ(DetectType(heic, env, nullptr).format, kImageFormatHeif);
  const DetectedType avif = DetectType(dir.Write("av1.heif",
                                                 "\0\0\0\x1c"
                                                 "ftypavif\0\0\0\0avifmif1miaf...."s),
                                       env, nullptr);
  EXPECT_EQ(avif.refusal, LeftOutReason::kOtherPicture);
  EXPECT_EQ(avif.otherFormat, "AVIF");
  const DetectedType video = DetectType(dir.Write("clip.heic",
                                                  "\0\0\0\x18"
                                                  "ftypisom\0\0\0\0isommp41...."s),
                                        env, nullptr);
  EXPECT_EQ(video.refusal, LeftOutReason::kNotPicture);
}

TEST(DetectType, HeifFromTheEncoderIsTakenAvifIsNamed) {
  if (!test::HaveTool("heif-enc")) GTEST_SKIP() << "heif-enc (Debian libheif-examples) is missing";
  test::TempDir dir;
  AlbumEnvironment env;
  const std::string png = test::MakePng(dir, "a.png");
  const std::string heic = dir.File("IMG_0001.HEIC");
  const std::string avif = dir.File("IMG_0002.heif");
  ASSERT_EQ(std::system(("heif-enc -q 50 '" + png + "' -o '" + heic + "' >/dev/null 2>&1").c_str()),
            0);
  EXPECT_EQ(DetectType(heic, env, nullptr).format, kImageFormatHeif);
  if (std::system(("heif-enc -A -q 50 '" + png + "' -o '" + avif + "' >/dev/null 2>&1").c_str()) ==
      0) {
    EXPECT_EQ(DetectType(avif, env, nullptr).otherFormat, "AVIF");
  }
}

TEST(DetectType, WebpStillsAndAnimationsAreTaken) {
  if (!test::HaveTool("cwebp") || !test::HaveTool("img2webp")) {
    GTEST_SKIP() << "cwebp or img2webp (Debian webp) is not installed";
  }
  test::TempDir dir;
  AlbumEnvironment env;
  const std::string png = test::MakePng(dir, "a.png");
  const std::string webp = test::MakeWebp(dir, "a.webp", png);
  ASSERT_FALSE(webp.empty());
  EXPECT_EQ(DetectType(webp, env, nullptr).format, kImageFormatWebp);
  const std::string animated = dir.File("moving.webp");
  ASSERT_EQ(std::system(("img2webp -q 80 '" + png + "' '" + test::MakePng(dir, "b.png", 64, 48) +
                         "' -o '" + animated + "' >/dev/null 2>&1")
                            .c_str()),
            0);
  EXPECT_EQ(DetectType(animated, env, nullptr).format, kImageFormatWebp);
  // Text under a WebP name is named for what it is.
  const DetectedType text = DetectType(dir.Write("notes.webp", "RIFF? no, notes\n"), env, nullptr);
  EXPECT_EQ(text.format, -1);
  EXPECT_EQ(text.refusal, LeftOutReason::kNotPicture);
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
