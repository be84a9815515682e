// Frames from real clips: the thumbnail frame with its retry at one second, the frame command,
// and the picture files of a video item.
#include "media/video_thumb.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_folders.h"
#include "app/trace.h"
#include "media/image_load.h"
#include "media/video_probe.h"
#include "media/video_targets.h"
#include "media_fixtures.h"
#include "model/zerva_video.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

constexpr int kArea = 307200;

// Whether a trace message since the last "marker" line mentions `text`.
bool TraceMentions(const std::string& text) {
  for (const std::string& message : RecentTraceMessages(0, true)) {
    if (message == "marker\n") return false;
    if (message.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(VideoThumbCommand, FastAndExactForms) {
  CZervaVideo video;
  video.sourcePath = "/v/clip one.mp4";
  EXPECT_EQ(VideoThumbCommand(video, "/t/f.jpg", {736, 414}, 31.25, 0, true).text,
            "ffmpeg -y -ss 31.25 -i \"/v/clip one.mp4\" -s 736x414 -f image2 -vframes 1  "
            "\"/t/f.jpg\"");
  EXPECT_EQ(VideoThumbCommand(video, "/t/f.jpg", {414, 736}, 1.0, 270, false).text,
            "ffmpeg -y -i \"/v/clip one.mp4\" -s 414x736 -ss  1.00 -f image2 -vframes 1 -vf "
            "\"transpose=1\" \"/t/f.jpg\"");
  EXPECT_EQ(VideoThumbCommand(video, "/t/f.jpg", {2, 2}, 1.0, 0, true).args[5], "/v/clip one.mp4");
}

class VideoThumbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg installed";
    ASSERT_TRUE(Probe(video_, test::TestVideo("h264_aac.mp4")));
  }
  test::IsolatedHome home_;
  test::TempDir dir_;
  CZervaVideo video_;
  Bitmap image_;
};

TEST_F(VideoThumbTest, FrameAtTheThumbnailPositionIntoAGivenFile) {
  const std::string path = dir_.File("frame.jpg");
  Trace(kTraceNotice, 0, "marker\n");
  ASSERT_TRUE(MakeVideoThumb(video_, path, &image_, 640, -1, 0, true, kArea));
  EXPECT_EQ(BitmapSize(image_.get()), (PixelSize{320, 240}));
  EXPECT_TRUE(std::filesystem::exists(path)) << "a given file is kept";
  EXPECT_TRUE(TraceMentions("  MakeVideoThumb (1 in "));

  // Exact seeking, a quarter turn, and a temporary file that does not stay behind.
  ASSERT_TRUE(MakeVideoThumb(video_, "", &image_, 640, 0.5, 90, false, kArea));
  EXPECT_EQ(BitmapSize(image_.get()), (PixelSize{240, 320}));
  for (const std::string& name : test::FolderNames(TempFolder())) {
    EXPECT_EQ(name.find("vframe"), std::string::npos) << name;
  }
}

TEST_F(VideoThumbTest, NoFrameAtTheAutomaticPositionRetriesAtOneSecond) {
  // A record that claims a longer video than the file holds.
  video_.durationSrc = 100.0;
  video_.thumbpos = 50.0;
  Trace(kTraceNotice, 0, "marker\n");
  ASSERT_TRUE(MakeVideoThumb(video_, dir_.File("retry.jpg"), &image_, 640, -1, 0, true, kArea));
  EXPECT_TRUE(TraceMentions("Retrying ..."));
  EXPECT_TRUE(TraceMentions("  MakeVideoThumb: ("));
  EXPECT_EQ(BitmapSize(image_.get()), (PixelSize{320, 240}));

  // An explicit position is not retried, and a file without a frame is not left behind.
  Trace(kTraceNotice, 0, "marker\n");
  EXPECT_FALSE(MakeVideoThumb(video_, dir_.File("late.jpg"), &image_, 640, 50.0, 0, true, kArea));
  EXPECT_FALSE(TraceMentions("Retrying ..."));
  EXPECT_TRUE(TraceMentions("  MakeVideoThumb (0 in "));
  EXPECT_EQ(image_, nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("late.jpg")));
}

TEST_F(VideoThumbTest, PositionsAreHeldWithinTheVideoAndUnknownSizesUseTheHint) {
  // Past the end: the last tenth of a second.
  ASSERT_TRUE(MakeVideoThumb(video_, "", &image_, 640, video_.durationSrc + 1, 0, true, kArea));
  video_.widthSrc = video_.heightSrc = 0;
  ASSERT_TRUE(MakeVideoThumb(video_, "", &image_, 480, -1, 0, true, kArea));
  EXPECT_EQ(BitmapSize(image_.get()), (PixelSize{480, 360}));
}

TEST_F(VideoThumbTest, ANameWithPercentSignsIsWrittenAsItIs) {
  const std::string path = dir_.File("100%d %s.jpg");
  ASSERT_TRUE(MakeVideoThumb(video_, path, &image_, 640, 0.5, 0, true, kArea));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("1001 %s.jpg")));
}

TEST_F(VideoThumbTest, NoFrameFromAFileThatIsNoVideo) {
  video_.sourcePath = test::TestVideo("garbage.mp4");
  EXPECT_FALSE(MakeVideoThumb(video_, dir_.File("g.jpg"), &image_, 640, -1, 0, true, kArea));
  EXPECT_FALSE(std::filesystem::exists(dir_.File("g.jpg")));
}

TEST_F(VideoThumbTest, TheImagesOfAVideoItem) {
  VideoFrameRequest request;
  request.imagePath = dir_.File("images/clip.jpg");
  request.thumbPath = dir_.File("thumb/clip.jpg");
  request.patchPath = dir_.File("diff/clip.jpg");
  for (const char* folder : {"images", "thumb", "diff"}) {
    std::filesystem::create_directories(dir_.File(folder));
  }
  request.sizeImage = 200;
  request.sizeThumb = 100;
  VideoFrameImages made;
  std::string error;
  ASSERT_TRUE(MakeVideoFrameImages(video_, request, &made, &error)) << error;
  EXPECT_EQ(BitmapSize(made.image.get()), (PixelSize{200, 150}));
  EXPECT_EQ(BitmapSize(made.thumbnail.get()), (PixelSize{100, 75}));
  EXPECT_EQ(made.patch, nullptr);
  PixelSize onDisk;
  ASSERT_TRUE(ReadImageSize(request.imagePath, &onDisk));
  EXPECT_EQ(onDisk, (PixelSize{200, 150})) << "the file sent is the fitted frame";
  ASSERT_TRUE(ReadImageSize(request.thumbPath, &onDisk));
  EXPECT_EQ(onDisk, (PixelSize{100, 75}));
  EXPECT_FALSE(std::filesystem::exists(request.patchPath));

  // With a watermark the frame carries it, and the covered pixels go to the patch file.
  const Bitmap mark = test::DistinctPicture(40, 20);
  request.watermark = mark.get();
  ASSERT_TRUE(MakeVideoFrameImages(video_, request, &made, &error)) << error;
  EXPECT_EQ(BitmapSize(made.patch.get()), (PixelSize{40, 20}));
  ASSERT_TRUE(ReadImageSize(request.patchPath, &onDisk));
  EXPECT_EQ(onDisk, (PixelSize{40, 20}));
  const Bitmap sent = LoadImageFile(request.imagePath, 0);
  ASSERT_NE(sent, nullptr);
  EXPECT_LT(test::MaxChannelDifference(test::PixelAt(sent.get(), 199, 149),
                                       test::PixelAt(mark.get(), 39, 19)),
            40);

  // The files of the last run stay where they are, but must not pass for a new frame.
  video_.sourcePath = test::TestVideo("garbage.mp4");
  EXPECT_FALSE(MakeVideoFrameImages(video_, request, &made, &error));
  EXPECT_NE(error.find("MakeVideoFrameImages"), std::string::npos);
  EXPECT_EQ(made.image, nullptr);
}

TEST(VideoFrameFileName, ExtensionBecomesJpg) {
  EXPECT_EQ(VideoFrameFileName("clip.MOV"), "clip.jpg");
  EXPECT_EQ(VideoFrameFileName("my.clip.mp4"), "my.clip.jpg");
  EXPECT_EQ(VideoFrameFileName("noext"), "noext.jpg");
  EXPECT_EQ(VideoFrameFileName(".hidden"), ".hidden.jpg");
}

}  // namespace
}  // namespace zerva
