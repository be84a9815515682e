// The conversion command line and real conversions of short clips by the installed ffmpeg,
// checked with our own probe.
#include "media/video_convert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>

#include "media/child_process.h"
#include "media/ffmpeg_encoders.h"
#include "media/video_probe.h"
#include "model/photo_video_params.h"
#include "model/zerva_video.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

const VideoLimits kLimits = VideoLimitsFor(PhotoVideoParams(), false);

// A probed 1920 x 1080 source with 48 kHz stereo audio at 128 kb/s.
CZervaVideo FullHd() {
  CZervaVideo video;
  video.sourcePath = "/videos/holiday.mov";
  video.vcodec = "libx264";
  video.acodec = "libvo_aacenc";
  video.vcodecSrc = "h264";
  video.widthSrc = 1920;
  video.heightSrc = 1080;
  video.durationSrc = video.duration = video.end = 20.0;
  video.vbitrateSrc = 8000;
  video.acodecSrc = "aac";
  video.asamplingRateSrc = 48000;
  video.asamplingRate = 44100;
  video.achannel = "stereo";
  video.abitrateSrc = 128;
  return video;
}

std::string Command(const CZervaVideo& video, int rotation = 0, bool trial = false,
                    bool audioFlag = true) {
  return ConvertCommand(video, "/tmp/out.mp4", 640, rotation, trial, audioFlag, kLimits,
                        video.acodec)
      .text;
}

TEST(ConvertCommand, TheWorkedExample) {
  const ProcessCommand command =
      ConvertCommand(FullHd(), "/tmp/out.mp4", 640, 0, false, true, kLimits, "libvo_aacenc");
  EXPECT_EQ(command.text,
            "ffmpeg -y -i \"/videos/holiday.mov\" -c:v libx264 -preset fast -b:v 556k  -s 736x414 "
            "-c:a libvo_aacenc -ar 44100 -b:a 128k    -f mp4 -threads 4 \"/tmp/out.mp4\"");
  EXPECT_EQ(command.args, (std::vector<std::string>{"ffmpeg",      "-y",
                                                    "-i",          "/videos/holiday.mov",
                                                    "-c:v",        "libx264",
                                                    "-preset",     "fast",
                                                    "-b:v",        "556k",
                                                    "-s",          "736x414",
                                                    "-c:a",        "libvo_aacenc",
                                                    "-ar",         "44100",
                                                    "-b:a",        "128k",
                                                    "-f",          "mp4",
                                                    "-threads",    "4",
                                                    "/tmp/out.mp4"}));
}

TEST(ConvertCommand, TrialAndAudioOptions) {
  CZervaVideo video = FullHd();
  // The trial converts 0.1 s with the source's audio rate, whatever the flag says.
  EXPECT_NE(Command(video, 0, true, false).find("-b:a 128k  -t  0.10  -f mp4"), std::string::npos);
  // A failed trial leaves the audio quality to ffmpeg.
  EXPECT_NE(Command(video, 0, false, false).find("-ar 44100 -aq 100    -f"), std::string::npos);
  // Surround sound keeps its own sampling rate.
  video.achannel = "5.1";
  EXPECT_NE(Command(video).find("-c:a libvo_aacenc  -b:a 128k"), std::string::npos);
  video.achannel = "5:1";
  EXPECT_EQ(Command(video).find("-ar "), std::string::npos);
  video.achannel = "5.1(side)";
  EXPECT_NE(Command(video).find("-ar 44100"), std::string::npos);
  // Without audio: sampling rate 0 and no explicit audio rate.
  video = FullHd();
  video.acodecSrc = "";
  video.asamplingRate = video.asamplingRateSrc = video.abitrateSrc = 0;
  EXPECT_NE(Command(video).find("-ar 0 -aq 100"), std::string::npos);
}

TEST(ConvertCommand, AudioRateLimits) {
  CZervaVideo video = FullHd();
  video.abitrateSrc = 640;
  video.vbitrateSrc = 5000;  // 5000 / 556 = 8
  EXPECT_NE(Command(video).find("-b:a 512k"), std::string::npos);
  video.vbitrateSrc = 6116;  // 11 times the target
  EXPECT_NE(Command(video).find("-b:a 384k"), std::string::npos);
  video.acodec = video.acodecSrc;  // the same encoder: no limit
  EXPECT_NE(Command(video).find("-b:a 640k"), std::string::npos);
}

TEST(ConvertCommand, TrimsSizesTimingAndRotation) {
  CZervaVideo video = FullHd();
  video.SetBegin(2.5);
  video.SetEnd(10.0);
  EXPECT_NE(Command(video).find("-b:a 128k -ss  2.50 -t  7.50  -f"), std::string::npos);
  // Untrimmed (the kept length is the whole source) even when begin is above 0.
  video = FullHd();
  video.begin = 1.4;
  EXPECT_EQ(Command(video).find("-ss"), std::string::npos);
  EXPECT_EQ(Command(video).find("-t "), std::string::npos);
  // Quarter turns swap the output sides; the bit rate is that of the unturned frame.
  video = FullHd();
  for (int rotation : {-90, 270}) {
    EXPECT_NE(Command(video, rotation).find("-b:v 556k  -s 414x736"), std::string::npos);
    EXPECT_NE(Command(video, rotation).find("-vf \"transpose=1\" -f mp4"), std::string::npos);
  }
  EXPECT_NE(Command(video, 90).find("-s 414x736"), std::string::npos);
  EXPECT_NE(Command(video, 90).find("-vf \"transpose=2\""), std::string::npos);
  EXPECT_NE(Command(video, 180).find("-s 736x414"), std::string::npos);
  EXPECT_NE(Command(video, 180).find("-vf \"vflip,hflip\""), std::string::npos);
  // MPEG-4 sources get variable frame timing.
  video.vcodecSrc = "mpeg4";
  EXPECT_NE(Command(video).find("-b:v 556k -vsync 2 -s 736x414"), std::string::npos);
  // An unknown size falls back to the given width; a fallback of 0 drops the size option.
  video = FullHd();
  video.widthSrc = video.heightSrc = 0;
  EXPECT_NE(Command(video).find("-s 640x480"), std::string::npos);
  EXPECT_EQ(ConvertCommand(video, "/o.mp4", 0, 0, false, true, kLimits, "aac").text.find("-s "),
            std::string::npos);
}

TEST(ConvertCommand, NumbersKeepTheirPointUnderAnyLocale) {
  const char* locales[] = {"cs_CZ.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"};
  const char* set = nullptr;
  for (const char* name : locales) {
    if ((set = std::setlocale(LC_NUMERIC, name)) != nullptr) break;
  }
  CZervaVideo video = FullHd();
  video.SetBegin(2.5);
  const std::string command = Command(video);
  std::setlocale(LC_NUMERIC, "C");
  if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_NE(command.find("-ss  2.50 -t 17.50"), std::string::npos) << command;
}

TEST(ConvertCommand, RecordTextsFromOutsideCannotAddOptions) {
  CZervaVideo video = FullHd();
  video.sourcePath = "/v/a\" -f null -y \"/home/me/b.mp4";
  video.vcodec = "libx264 -f null";
  video.acodec = "";
  const ProcessCommand command =
      ConvertCommand(video, "/tmp/o.mp4", 640, 0, false, true, kLimits, video.acodec);
  ASSERT_GE(command.args.size(), 14u);
  EXPECT_EQ(command.args[3], video.sourcePath);
  EXPECT_EQ(command.args[5], "libx264 -f null");
  EXPECT_EQ(command.args[13], "") << "an empty encoder is an empty word, not the next option";
  EXPECT_EQ(command.args.back(), "/tmp/o.mp4");
}

TEST(AudioEncoder, TakesWhatTheInstalledFfmpegOffers) {
  EXPECT_EQ(AudioEncoderFor("libvo_aacenc", {"aac", "libx264"}), "aac");
  EXPECT_EQ(AudioEncoderFor("libvo_aacenc", {"aac", "libvo_aacenc"}), "libvo_aacenc");
  EXPECT_EQ(AudioEncoderFor("libvo_aacenc", {}), "libvo_aacenc");
  EXPECT_EQ(AudioEncoderFor("libmp3lame", {"aac"}), "libmp3lame");
  const std::string listing =
      "Encoders:\n V..... = Video\n A..... = Audio\n ------\n"
      " V....D libx264              libx264 H.264 / AVC\n"
      " A..... aac                  AAC (Advanced Audio Coding)\n"
      " AX.... opus\n"
      " not an encoder line\n";
  EXPECT_EQ(ParseEncoderList(listing), (std::set<std::string>{"libx264", "aac", "opus"}));
  EXPECT_TRUE(ParseEncoderList("V..... libx264 no rule above").empty());
  if (!test::HaveFfmpeg()) return;
  const std::set<std::string> installed = FfmpegEncoders();
  EXPECT_TRUE(installed.count("libx264"));
  EXPECT_TRUE(installed.count("aac"));
  EXPECT_EQ(AudioEncoderFor("libvo_aacenc"),
            installed.count("libvo_aacenc") ? "libvo_aacenc" : "aac");
}

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg installed";
  }
  CZervaVideo Source(const std::string& name) {
    CZervaVideo video;
    EXPECT_TRUE(Probe(video, test::TestVideo(name))) << name;
    return video;
  }
  // Converts with the trial first and probes the result.
  CZervaVideo Converted(const CZervaVideo& source, int rotation = 0) {
    ChildProcess trial(true);
    ChildProcess real(true);
    int exitCode = -1;
    std::string output;
    const std::string target = dir_.File("out.mp4");
    EXPECT_TRUE(ConvertVideoWithTrial(source, trial, real, true, &exitCode, target, 640, rotation,
                                      &output, kLimits));
    EXPECT_EQ(exitCode, 0) << output;
    CZervaVideo result;
    EXPECT_TRUE(Probe(result, target)) << output;
    return result;
  }
  test::IsolatedHome home_;
  test::TempDir dir_;
};

TEST_F(ConversionTest, AClipBecomesH264WithAac) {
  const CZervaVideo result = Converted(Source("h264_aac.mp4"));
  EXPECT_EQ(result.vcodecSrc, "h264");
  EXPECT_EQ(result.widthSrc, 320);
  EXPECT_EQ(result.heightSrc, 240);
  EXPECT_NEAR(result.durationSrc, 2.0, 0.15);
  EXPECT_EQ(result.acodecSrc, "aac");
  EXPECT_EQ(result.asamplingRateSrc, 44100);
}

TEST_F(ConversionTest, TrimmedTurnedAndUnusualSources) {
  CZervaVideo source = Source("h264_aac.mp4");
  source.SetBegin(0.5);
  source.SetEnd(1.5);
  CZervaVideo result = Converted(source, VideoRotationAngle(1));
  EXPECT_NEAR(result.durationSrc, 1.0, 0.15);
  EXPECT_EQ(result.widthSrc, 240);
  EXPECT_EQ(result.heightSrc, 320);

  result = Converted(Source("mpeg4.mp4"));
  EXPECT_EQ(result.vcodecSrc, "h264");
  result = Converted(Source("no_audio.mp4"));
  EXPECT_EQ(result.acodecSrc, "");
  result = Converted(Source("surround.mp4"));
  EXPECT_EQ(result.achannel, "5.1");
  result = Converted(Source("rate22050.mp4"));
  EXPECT_EQ(result.asamplingRateSrc, 22050);
  // 720 x 576 with wide pixels is shown at 4:3: 640 x 480 after the area limit.
  result = Converted(Source("sar.mp4"));
  EXPECT_EQ(result.widthSrc, 640);
  EXPECT_EQ(result.heightSrc, 480);
}

TEST_F(ConversionTest, InTheBackgroundAndOnFailure) {
  const CZervaVideo source = Source("h264_aac.mp4");
  ChildProcess background(true);
  int exitCode = 0;
  std::string output;
  bool audioFlag = true;
  ASSERT_TRUE(ConvertVideo(source, background, false, &exitCode, dir_.File("bg.mp4"), 640, 0,
                           &output, false, &audioFlag, kLimits));
  EXPECT_EQ(exitCode, kStillActive);
  EXPECT_FALSE(audioFlag) << "a run still going is no proof that the audio rate works";
  background.ReadOutput(true, &exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_GT(std::filesystem::file_size(dir_.File("bg.mp4")), 1000u);

  // A file ffmpeg cannot read: started, but with a failing exit code and the audio flag cleared.
  CZervaVideo broken = source;
  broken.sourcePath = test::TestVideo("garbage.mp4");
  ChildProcess failing(true);
  audioFlag = true;
  EXPECT_TRUE(ConvertVideo(broken, failing, true, &exitCode, dir_.File("no.mp4"), 640, 0, &output,
                           true, &audioFlag, kLimits));
  EXPECT_NE(exitCode, 0);
  EXPECT_FALSE(audioFlag);

  // No ffmpeg at all: not started.
  test::TempDir empty;
  const std::string saved = std::getenv("PATH");
  ::setenv("PATH", empty.Path().c_str(), 1);
  ChildProcess none(true);
  audioFlag = true;
  const bool started = ConvertVideo(source, none, true, &exitCode, dir_.File("x.mp4"), 640, 0,
                                    &output, false, &audioFlag, kLimits);
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(started);
  EXPECT_FALSE(audioFlag);
}

}  // namespace
}  // namespace zerva
