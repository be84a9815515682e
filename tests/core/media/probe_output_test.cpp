// Reading ffmpeg's description of a file: the acceptance checks, the Duration, Video and Audio
// lines, and text that is not what ffmpeg normally writes.
#include "media/probe_output.h"

#include <gtest/gtest.h>

#include <string>

#include "media/video_probe.h"
#include "model/zerva_video.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

std::string Output(const std::string& duration, const std::string& video,
                   const std::string& audio = "") {
  std::string text =
      "ffmpeg version 5.1\n  built with gcc\nInput #0, mov,mp4,m4a,3gp,3g2,mj2, from 'a.mp4':\n"
      "  Metadata:\n    encoder         : Lavf59\n  " +
      duration + "\r\n  Stream #0:0[0x1](und): " + video + "\n";
  if (!audio.empty()) text += "  Stream #0:1[0x2](und): " + audio + "\n";
  return text + "At least one output file must be specified\n";
}

const char* const kDuration = "Duration: 00:01:02.50, start: 0.000000, bitrate: 1500 kb/s";
const char* const kVideo =
    "Video: h264 (High), yuv420p, 1280x720 [SAR 1:1 DAR 16:9], 1400 kb/s, 29.97 fps, 29.97 tbr, "
    "30k tbn, 59.94 tbc";
const char* const kAudio = "Audio: aac, 48000 Hz, stereo, s16, 128 kb/s";

CZervaVideo Parsed(const std::string& text) {
  CZervaVideo video;
  EXPECT_TRUE(ParseProbeOutput(text, &video)) << text;
  return video;
}

TEST(ParseProbeOutput, TheWorkedExample) {
  CZervaVideo video = Parsed(Output(kDuration, kVideo, kAudio));
  EXPECT_DOUBLE_EQ(video.durationSrc, 62.5);
  EXPECT_DOUBLE_EQ(video.begin, 0.0);
  EXPECT_EQ(video.vcodecSrc, "h264");
  EXPECT_EQ(video.colorSpace, "yuv420p");
  EXPECT_EQ(video.widthSrc, 1280);
  EXPECT_EQ(video.heightSrc, 720);
  EXPECT_DOUBLE_EQ(video.par, 1.0);
  EXPECT_EQ(video.vbitrateSrc, 1400);
  EXPECT_EQ(video.framerateSrc, 30);
  EXPECT_EQ(video.acodecSrc, "aac");
  EXPECT_EQ(video.asamplingRateSrc, 48000);
  EXPECT_EQ(video.achannel, "stereo");
  EXPECT_EQ(video.sampleFormat, "s16");
  EXPECT_EQ(video.abitrateSrc, 128);

  SetProbeTargets(video);
  EXPECT_DOUBLE_EQ(video.duration, 62.5);
  EXPECT_DOUBLE_EQ(video.end, 62.5);
  EXPECT_DOUBLE_EQ(video.thumbpos, 31.25);
  EXPECT_EQ(video.framerate, 30);
  EXPECT_EQ(video.asamplingRate, 44100);
  EXPECT_EQ(video.vbitrate, 0) << "the probe leaves the converted rates alone";
}

TEST(ParseProbeOutput, AcceptanceChecks) {
  // Unknown length or bit rate anywhere rejects, even with a good Video line.
  EXPECT_FALSE(ProbeOutputAccepted(Output("Duration: N/A, start: 0.0, bitrate: 12 kb/s", kVideo)));
  EXPECT_FALSE(ProbeOutputAccepted(Output("Duration: 00:00:01.00, bitrate: N/A", kVideo)));
  // No video stream.
  EXPECT_FALSE(ProbeOutputAccepted(Output(kDuration, kAudio)));
  // Markers out of order or missing.
  EXPECT_FALSE(ProbeOutputAccepted("x Duration: 00:00:01.00\nInput #0\nVideo: h264 1x1\n"));
  EXPECT_FALSE(ProbeOutputAccepted("x Video: h264 1x1\nInput #0\nDuration: 00:00:01.00\n"));
  EXPECT_FALSE(ProbeOutputAccepted("x Input #1\nDuration: 00:00:01.00\nVideo: h264 1x1\n"));
  // A marker at the very first byte does not count.
  EXPECT_FALSE(ProbeOutputAccepted("Input #0\nDuration: 00:00:01.00\nVideo: h264 1x1\n"));
  EXPECT_TRUE(ProbeOutputAccepted("x Input #0\nDuration: 00:00:01.00\nVideo: h264 1x1\n"));
  EXPECT_FALSE(ProbeOutputAccepted(""));
  EXPECT_FALSE(ProbeOutputAccepted("a.mp4: Invalid data found when processing input\n"));

  CZervaVideo untouched;
  untouched.vcodecSrc = "before";
  EXPECT_FALSE(ParseProbeOutput(Output(kDuration, kAudio), &untouched));
  EXPECT_EQ(untouched.vcodecSrc, "before");
}

TEST(ParseProbeOutput, DurationLineForms) {
  CZervaVideo video = Parsed(Output("Duration: 01:02:03.25, start: 1.500000, bitrate: 77 kb/s",
                                    "Video: h264, yuv420p, 2x2"));
  EXPECT_DOUBLE_EQ(video.durationSrc, 3723.25);
  EXPECT_DOUBLE_EQ(video.begin, 1.5);
  EXPECT_EQ(video.vbitrateSrc, 77);
  // Plain seconds, missing keys.
  video = Parsed(Output("Duration: 12.5", "Video: h264, yuv420p, 2x2"));
  EXPECT_DOUBLE_EQ(video.durationSrc, 12.5);
  EXPECT_DOUBLE_EQ(video.begin, 0.0);
  EXPECT_EQ(video.vbitrateSrc, 0);
  // A start past the end is dropped by the targets.
  video = Parsed(Output("Duration: 00:00:05.00, start: 7.000000, bitrate: 10 kb/s",
                        "Video: h264, yuv420p, 2x2"));
  EXPECT_DOUBLE_EQ(video.begin, 7.0);
  SetProbeTargets(video);
  EXPECT_DOUBLE_EQ(video.begin, 0.0);
  EXPECT_DOUBLE_EQ(video.end, 5.0);
}

TEST(ParseProbeOutput, VideoLineWordsAndFrameSize) {
  // A codec without pixel format: the frame size becomes the pixel format, the size stays 0.
  CZervaVideo video = Parsed(Output(kDuration, "Video: mjpeg, 320x240, 25 tbr"));
  EXPECT_EQ(video.vcodecSrc, "mjpeg");
  EXPECT_EQ(video.colorSpace, "320x240");
  EXPECT_EQ(video.widthSrc, 0);
  EXPECT_EQ(video.heightSrc, 0);
  EXPECT_EQ(video.framerateSrc, 25) << "words after a missing size are not read";
  // No frame size at all.
  video = Parsed(Output(kDuration, "Video: h264, yuv420p, 30 tbr"));
  EXPECT_EQ(video.widthSrc, 0);
  EXPECT_EQ(video.framerateSrc, 25);
  // ffmpeg 5's pixel format details in parentheses, and the stream's own default flag.
  video = Parsed(Output(kDuration,
                        "Video: h264 (High 4:4:4 Predictive) (avc1 / 0x31637661), "
                        "yuv444p(tv, bt709, progressive), 640x360 [SAR 1:1 DAR 16:9], 47 kb/s, "
                        "25 fps, 25 tbr, 12800 tbn (default)"));
  EXPECT_EQ(video.vcodecSrc, "h264");
  EXPECT_EQ(video.colorSpace, "yuv444p");
  EXPECT_EQ(video.widthSrc, 640);
  EXPECT_EQ(video.heightSrc, 360);
  EXPECT_EQ(video.vbitrateSrc, 47);
  // A parenthesis that never closes leaves the rest of the line as it is.
  video = Parsed(Output(kDuration, "Video: h264, yuv420p, 64x48 (open, 9 tbr"));
  EXPECT_EQ(video.widthSrc, 64);
  EXPECT_EQ(video.framerateSrc, 9);
  // A word too long for its slot ends the scan.
  video = Parsed(Output(kDuration, "Video: h264, yuv420p, 64x48, 12345678901234567890, 9 tbr"));
  EXPECT_EQ(video.widthSrc, 64);
  EXPECT_EQ(video.framerateSrc, 25);
  video = Parsed(Output(kDuration, "Video: " + std::string(64, 'c') + ", yuv420p, 64x48"));
  EXPECT_EQ(video.vcodecSrc, "");
  EXPECT_EQ(video.widthSrc, 0);
}

TEST(ParseProbeOutput, FrameRateAndVideoBitRate) {
  struct Case {
    const char* words;
    int framerate;
    int bitrate;
  } cases[] = {
      {"29.97 tbr", 30, 1500}, {"23.976 tbr", 24, 1500}, {"0 tbr", 25, 1500},
      {"", 25, 1500},          {"0 kb/s", 25, 1500},     {"2500 kb/s, 50 tbr", 50, 2500},
      {"0.5 tbr", 1, 1500},    {"tbr, 7 tbr", 7, 1500},  {"99999999999999 tbr", 2147483647, 1500},
      {"1e5 tbr", 1, 1500},
  };
  for (const Case& c : cases) {
    const CZervaVideo video =
        Parsed(Output(kDuration, std::string("Video: h264, yuv420p, 8x8, ") + c.words));
    EXPECT_EQ(video.framerateSrc, c.framerate) << c.words;
    EXPECT_EQ(video.vbitrateSrc, c.bitrate) << c.words;
  }
}

TEST(ParseProbeOutput, PixelAspectRatioFromBrackets) {
  auto ratio = [](const std::string& line) {
    CZervaVideo video;
    video.par = 2.5;  // what a segment without a ratio leaves
    EXPECT_TRUE(ParseProbeOutput(Output(kDuration, line), &video));
    return video.par;
  };
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [SAR 16:15 DAR 4:3], 25 tbr"), 16.0 / 15);
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [SAR 0:1 DAR 0:1]"), 2.5);
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [PAR 4:3 DAR 16:9 SAR 1:1]"), 4.0 / 3);
  // 10 characters between the brackets' ends are too few to be read; 11 are enough.
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [SAR 3:2 X]"), 2.5);
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [SAR 3:2 XY]"), 1.5);
  // The last segment with a ratio wins; a colon before the marker does not count.
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [SAR 3:2 DAR 1:1] [SAR 5:4 DAR 1:1]"),
                   1.25);
  EXPECT_DOUBLE_EQ(ratio("Video: h264, yuv420p, 720x576 [x:y SAR 3:2 DAR 1:1]"), 2.5);
  // A bracket that never closes stays in the line.
  CZervaVideo video = Parsed(Output(kDuration, "Video: h264, yuv420p, 720x576 [SAR 3:2 DAR"));
  EXPECT_EQ(video.widthSrc, 720);
  EXPECT_DOUBLE_EQ(video.par, 1.0);
}

TEST(ParseProbeOutput, AudioPieces) {
  CZervaVideo video = Parsed(Output(
      kDuration, kVideo,
      "Audio: pcm_s16le ([1][0][0][0] / 0x0001), 22050 Hz, 1 channels, s16, 352 kb/s (default)"));
  EXPECT_EQ(video.acodecSrc, "pcm_s16le");
  EXPECT_EQ(video.asamplingRateSrc, 22050);
  EXPECT_EQ(video.achannel, "1 channels");
  EXPECT_EQ(video.sampleFormat, "s16");
  EXPECT_EQ(video.abitrateSrc, 352);
  // Empty pieces keep their places.
  video = Parsed(Output(kDuration, kVideo, "Audio: aac, , 5.1, fltp"));
  EXPECT_EQ(video.acodecSrc, "aac");
  EXPECT_EQ(video.asamplingRateSrc, 0);
  EXPECT_EQ(video.achannel, "5.1");
  EXPECT_EQ(video.abitrateSrc, 0);
}

TEST(ParseProbeOutput, NoAudioLeavesNoAudioFactsBehind) {
  CZervaVideo video = Parsed(Output(kDuration, kVideo, kAudio));
  ASSERT_EQ(video.asamplingRateSrc, 48000);
  // The same record probed again after the file lost its sound.
  ASSERT_TRUE(ParseProbeOutput(Output(kDuration, kVideo), &video));
  EXPECT_EQ(video.acodecSrc, "");
  EXPECT_EQ(video.asamplingRateSrc, 0);
  EXPECT_EQ(video.abitrateSrc, 0);
  SetProbeTargets(video);
  EXPECT_EQ(video.asamplingRate, 0);
  EXPECT_EQ(video.WriteVideoXml().find("<acodec>"), std::string::npos);
}

TEST(ProbeTargets, SamplingRateOfTheConvertedAudio) {
  const std::pair<int, int> cases[] = {{0, 0},         {8000, 22050},  {22050, 22050},
                                       {24999, 22050}, {25000, 44100}, {32000, 44100},
                                       {48000, 44100}, {96000, 44100}};
  for (const auto& [source, target] : cases) {
    CZervaVideo video;
    video.asamplingRateSrc = source;
    SetProbeTargets(video);
    EXPECT_EQ(video.asamplingRate, target) << source;
  }
}

// ffmpeg 5.1's descriptions of the test videos, as recorded in the fuzzer's seeds.
std::string Recorded(const std::string& name) {
  return test::ReadWholeFile(std::string(ZERVA_SOURCE_DIR) + "/fuzz/corpus/probe_output/" + name +
                             ".txt");
}

TEST(ParseProbeOutput, RecordedOutputOfDebiansFfmpeg) {
  CZervaVideo video = Parsed(Recorded("h264_aac"));
  EXPECT_DOUBLE_EQ(video.durationSrc, 2.0);
  EXPECT_EQ(video.vcodecSrc, "h264");
  EXPECT_EQ(video.colorSpace, "yuv420p");
  EXPECT_EQ(video.widthSrc, 320);
  EXPECT_EQ(video.heightSrc, 240);
  EXPECT_EQ(video.vbitrateSrc, 45);
  EXPECT_EQ(video.framerateSrc, 25);
  EXPECT_EQ(video.acodecSrc, "aac");
  EXPECT_EQ(video.asamplingRateSrc, 48000);
  EXPECT_EQ(video.achannel, "stereo");
  EXPECT_EQ(video.sampleFormat, "fltp");
  EXPECT_EQ(video.abitrateSrc, 127);

  EXPECT_EQ(Parsed(Recorded("mpeg4")).vcodecSrc, "mpeg4");
  EXPECT_EQ(Parsed(Recorded("surround")).achannel, "5.1");
  EXPECT_EQ(Parsed(Recorded("portrait")).heightSrc, 320);
  EXPECT_EQ(Parsed(Recorded("no_audio")).acodecSrc, "");
  EXPECT_EQ(Parsed(Recorded("rate22050")).asamplingRateSrc, 22050);
  EXPECT_EQ(Parsed(Recorded("rate32000")).asamplingRateSrc, 32000);
  video = Parsed(Recorded("sar"));
  EXPECT_EQ(video.widthSrc, 720);
  EXPECT_DOUBLE_EQ(video.par, 16.0 / 15);
  for (const char* refused : {"audio_only", "garbage", "missing"}) {
    const std::string text = Recorded(refused);
    EXPECT_FALSE(text.empty()) << refused;
    EXPECT_FALSE(ProbeOutputAccepted(text)) << refused;
  }
}

TEST(ParseProbeOutput, HostileTextStaysWithinBounds) {
  const std::string huge(200000, '(');
  CZervaVideo video;
  EXPECT_TRUE(ParseProbeOutput(Output(kDuration, "Video: h264" + huge + ")"), &video));
  EXPECT_TRUE(ParseProbeOutput(
      Output("Duration: 99:99:99999999999999999999999999999999.9" + std::string(500, '9'),
             "Video: h264, yuv420p, 99999999999x-99999999999 " + std::string(100000, '[')),
      &video));
  EXPECT_EQ(video.widthSrc, 2147483647);
  EXPECT_EQ(video.heightSrc, -2147483647 - 1);
  std::string zeros = Output(kDuration, kVideo, kAudio);
  zeros[zeros.find("h264") + 1] = '\0';
  EXPECT_TRUE(ParseProbeOutput(zeros, &video));
}

}  // namespace
}  // namespace zerva
