// Probing real files with the installed ffmpeg: the facts of videos made for the test, files
// that are no videos, a tool that hangs, and the probe plugged into the album model.
#include "media/video_probe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "model/album_environment.h"
#include "model/folder_scan.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

TEST(ProbeCommand, NamesTheFileAsOneWord) {
  const ProcessCommand command = ProbeCommand("/v/my \"clip\".mp4");
  EXPECT_EQ(command.text, "ffmpeg -i \"/v/my \"clip\".mp4\"");
  EXPECT_EQ(command.args, (std::vector<std::string>{"ffmpeg", "-i", "/v/my \"clip\".mp4"}));
}

class VideoProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg installed";
  }
  CZervaVideo Probed(const std::string& name) {
    const std::string path = test::TestVideo(name);
    CZervaVideo video;
    EXPECT_FALSE(path.empty()) << name;
    EXPECT_TRUE(Probe(video, path)) << name;
    return video;
  }
  test::IsolatedHome home_;
};

TEST_F(VideoProbeTest, H264WithStereoAudio) {
  const CZervaVideo video = Probed("h264_aac.mp4");
  EXPECT_EQ(video.sourcePath, test::TestVideo("h264_aac.mp4"));
  EXPECT_EQ(video.vcodec, "libx264");
  EXPECT_EQ(video.acodec, "libvo_aacenc");
  EXPECT_EQ(video.vcodecSrc, "h264");
  EXPECT_EQ(video.colorSpace, "yuv420p");
  EXPECT_EQ(video.widthSrc, 320);
  EXPECT_EQ(video.heightSrc, 240);
  EXPECT_DOUBLE_EQ(video.par, 1.0);
  EXPECT_NEAR(video.durationSrc, 2.0, 0.1);
  EXPECT_DOUBLE_EQ(video.duration, video.durationSrc);
  EXPECT_DOUBLE_EQ(video.end, video.durationSrc);
  EXPECT_DOUBLE_EQ(video.thumbpos, video.durationSrc / 2);
  EXPECT_EQ(video.framerateSrc, 25);
  EXPECT_EQ(video.framerate, 25);
  EXPECT_GT(video.vbitrateSrc, 0);
  EXPECT_EQ(video.acodecSrc, "aac");
  EXPECT_EQ(video.asamplingRateSrc, 48000);
  EXPECT_EQ(video.asamplingRate, 44100);
  EXPECT_EQ(video.achannel, "stereo");
  EXPECT_EQ(video.sampleFormat, "fltp");
  EXPECT_NEAR(video.abitrateSrc, 128, 16);
  EXPECT_EQ(video.dateTime.size(), 19u) << video.dateTime;
  EXPECT_FALSE(video.SourceChanged());
}

TEST_F(VideoProbeTest, FilesOfManyKinds) {
  CZervaVideo video = Probed("no_audio.mp4");
  EXPECT_EQ(video.acodecSrc, "");
  EXPECT_EQ(video.asamplingRate, 0);
  EXPECT_EQ(video.WriteVideoXml().find("<acodec>"), std::string::npos);

  video = Probed("mpeg4.mp4");
  EXPECT_EQ(video.vcodecSrc, "mpeg4");
  EXPECT_EQ(video.asamplingRate, 44100);

  video = Probed("surround.mp4");
  EXPECT_EQ(video.achannel, "5.1");

  video = Probed("portrait.mp4");
  EXPECT_EQ(video.widthSrc, 240);
  EXPECT_EQ(video.heightSrc, 320);

  video = Probed("sar.mp4");
  EXPECT_EQ(video.widthSrc, 720);
  EXPECT_EQ(video.heightSrc, 576);
  EXPECT_DOUBLE_EQ(video.par, 16.0 / 15);

  video = Probed("rate22050.mp4");
  EXPECT_EQ(video.asamplingRateSrc, 22050);
  EXPECT_EQ(video.asamplingRate, 22050);

  video = Probed("rate32000.mp4");
  EXPECT_EQ(video.asamplingRateSrc, 32000);
  EXPECT_EQ(video.asamplingRate, 44100);
}

TEST_F(VideoProbeTest, FilesThatAreNoVideos) {
  test::TempDir dir;
  ::mkfifo(dir.File("pipe.mp4").c_str(), 0600);
  const std::string paths[] = {test::TestVideo("audio_only.m4a"),
                               test::TestVideo("garbage.mp4"),
                               dir.File("missing.mp4"),
                               dir.Path(),
                               dir.File("pipe.mp4"),
                               dir.Write("empty.mp4", "")};
  for (const std::string& path : paths) {
    CZervaVideo video;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Probe(video, path)) << path;
    EXPECT_FALSE(QuickProbe(video, path)) << path;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << path;
    EXPECT_EQ(video.sourcePath, "") << path;
  }
}

TEST_F(VideoProbeTest, QuickProbeOnlyChecksAndRemembersThePath) {
  CZervaVideo video;
  video.vcodecSrc = "from the album XML";
  const std::string path = test::TestVideo("h264_aac.mp4");
  ASSERT_TRUE(QuickProbe(video, path));
  EXPECT_EQ(video.sourcePath, path);
  EXPECT_EQ(video.vcodecSrc, "from the album XML");
  EXPECT_EQ(video.widthSrc, 0);
}

TEST_F(VideoProbeTest, AHangingToolIsStoppedWithinTheBound) {
  test::TempDir tools;
  test::WriteScript(tools.File("ffmpeg"), "echo 'Input #0, x'; exec sleep 60");
  test::PathPrefix path(tools.Path());
  CZervaVideo video;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Probe(video, test::TestVideo("h264_aac.mp4"), 700));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 0.6);
  EXPECT_LT(seconds, 5.0);
}

TEST_F(VideoProbeTest, MissingFfmpegFailsTheProbe) {
  test::TempDir empty;
  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  ::setenv("PATH", empty.Path().c_str(), 1);
  CZervaVideo video;
  const bool probed = Probe(video, test::TestVideo("garbage.mp4"));
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(probed);
}

TEST_F(VideoProbeTest, FolderScansRecogniseVideosThroughTheProbe) {
  test::TempDir dir;
  std::filesystem::copy_file(test::TestVideo("h264_aac.mp4"), dir.File("clip.mp4"));
  std::filesystem::copy_file(test::TestVideo("garbage.mp4"), dir.File("broken.mp4"));
  std::filesystem::copy_file(test::TestVideo("audio_only.m4a"), dir.File("sound.mp4"));
  AlbumEnvironment env;
  env.videoSupport = true;
  env.videoProber = FfmpegVideoProber();

  CZervaVideo video;
  const DetectedType clip = DetectType(dir.File("clip.mp4"), env, &video);
  EXPECT_TRUE(clip.isVideo);
  EXPECT_EQ(clip.format, kVideoFormat);
  EXPECT_EQ(video.widthSrc, 320);
  EXPECT_EQ(video.sourcePath, dir.File("clip.mp4"));
  EXPECT_FALSE(DetectType(dir.File("broken.mp4"), env, nullptr).isVideo);
  EXPECT_EQ(DetectType(dir.File("broken.mp4"), env, nullptr).format, DetectedType().format);
  EXPECT_FALSE(DetectType(dir.File("sound.mp4"), env, nullptr).isVideo);

  CZervaVideo rebuilt;
  EXPECT_TRUE(QuickProbeVideo(env.videoProber, rebuilt, dir.File("clip.mp4")));
  EXPECT_EQ(rebuilt.sourcePath, dir.File("clip.mp4"));
}

}  // namespace
}  // namespace zerva
