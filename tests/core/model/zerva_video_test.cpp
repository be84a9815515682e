#include "model/zerva_video.h"

#include <gtest/gtest.h>

#include "model/file_times.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

CZervaVideo Sample(bool withAudio) {
  CZervaVideo v;
  v.dateTime = "2010-06-15 10:20:30";
  v.widthSrc = 1280;
  v.heightSrc = 720;
  v.vcodec = "libx264";
  v.vcodecSrc = "h264";
  v.colorSpace = "yuv420p";
  v.durationSrc = 62.5;
  v.SetEnd(62.5);
  v.SetBegin(2.25);
  v.thumbpos = 31.25;
  v.framerate = 30;
  v.framerateSrc = 30;
  v.vbitrateSrc = 1400;
  if (withAudio) {
    v.acodec = "libvo_aacenc";
    v.acodecSrc = "aac";
    v.asamplingRate = 44100;
    v.asamplingRateSrc = 48000;
    v.achannel = "stereo";
    v.abitrateSrc = 128;
  }
  return v;
}

TEST(VideoRecord, TrimSettersKeepTheDuration) {
  CZervaVideo v;
  v.SetEnd(10.0);
  EXPECT_DOUBLE_EQ(v.duration, 10.0);
  v.SetBegin(2.5);
  EXPECT_DOUBLE_EQ(v.duration, 7.5);
  v.SetThumbPos(4.0);
  EXPECT_DOUBLE_EQ(v.thumbpos, 4.0);
  EXPECT_DOUBLE_EQ(v.par, 1.0);
  EXPECT_FALSE(v.videoChanged);
}

TEST(VideoRecord, WritesOneLineWithAudioOnlyWhenPresent) {
  const std::string withAudio = Sample(true).WriteVideoXml();
  EXPECT_EQ(withAudio,
            "<video> <dateTime>2010-06-15 10:20:30</dateTime> <widthSrc>1280</widthSrc> "
            "<heightSrc>720</heightSrc> <vcodec>libx264</vcodec> <vcodecSrc>h264</vcodecSrc> "
            "<colorSpace>yuv420p</colorSpace> <duration>60.2</duration> "
            "<durationSrc>62.5</durationSrc> <begin>2.2</begin> <end>62.5</end> "
            "<thumbpos>31.2</thumbpos> <framerate>30</framerate> "
            "<framerateSrc>30</framerateSrc> <vbitrate>0</vbitrate> "
            "<vbitrateSrc>1400</vbitrateSrc> <acodec>libvo_aacenc</acodec> "
            "<acodecSrc>aac</acodecSrc> <asamplingRate>44100</asamplingRate> "
            "<asamplingRateSrc>48000</asamplingRateSrc> <achannel>stereo</achannel> "
            "<abitrate>0</abitrate> <abitrateSrc>128</abitrateSrc></video>\n");
  const std::string silent = Sample(false).WriteVideoXml();
  EXPECT_EQ(silent.find("acodec"), std::string::npos);
  EXPECT_NE(silent.find("<vbitrateSrc>1400</vbitrateSrc></video>\n"), std::string::npos);
}

TEST(VideoRecord, ReadsWhatItWrites) {
  CZervaVideo read;
  read.par = 1.5;
  read.sampleFormat = "s16";
  read.ReadVideoXml(Sample(true).WriteVideoXml());
  EXPECT_EQ(read.dateTime, "2010-06-15 10:20:30");
  EXPECT_EQ(read.widthSrc, 1280);
  EXPECT_EQ(read.vcodecSrc, "h264");
  EXPECT_DOUBLE_EQ(read.durationSrc, 62.5);
  EXPECT_DOUBLE_EQ(read.begin, 2.2);  // one decimal travels
  EXPECT_EQ(read.acodecSrc, "aac");
  EXPECT_EQ(read.asamplingRateSrc, 48000);
  EXPECT_EQ(read.achannel, "stereo");
  EXPECT_EQ(read.abitrateSrc, 128);
  // Neither is stored.
  EXPECT_DOUBLE_EQ(read.par, 1.5);
  EXPECT_EQ(read.sampleFormat, "s16");
}

TEST(VideoRecord, ReadingFallsBackAndSkipsAudioOfASilentVideo) {
  CZervaVideo v;
  v.acodecSrc = "kept";
  v.ReadVideoXml(
      "<video> <DateTime>2009-01-02 03:04:05</DateTime> <asamplingRate>0</asamplingRate> "
      "<acodecSrc>mp3</acodecSrc> <duration>nan</duration> <end>1e999</end> "
      "<begin>-3.5</begin></video>");
  EXPECT_EQ(v.dateTime, "2009-01-02 03:04:05");
  EXPECT_EQ(v.acodecSrc, "kept");
  EXPECT_DOUBLE_EQ(v.duration, 0.0);  // hostile numbers read as 0
  EXPECT_DOUBLE_EQ(v.end, 1.0);       // the exponent is not taken
  EXPECT_DOUBLE_EQ(v.begin, -3.5);
}

TEST(VideoRecord, DateTimeFollowsTheSourceFile) {
  test::TempDir dir;
  CZervaVideo v;
  v.sourcePath = dir.Write("clip.mp4", "data");
  v.RefreshDateTime();
  EXPECT_EQ(v.dateTime, FileCreationTimeText(v.sourcePath));
  EXPECT_FALSE(v.SourceChanged());
  v.dateTime = "2001-01-01 00:00:00";
  EXPECT_TRUE(v.SourceChanged());
  v.sourcePath = dir.File("gone.mp4");
  EXPECT_TRUE(v.SourceChanged());
  v.RefreshDateTime();  // the current time stands in
  EXPECT_EQ(v.dateTime.size(), 19u);
}

}  // namespace
}  // namespace zerva
