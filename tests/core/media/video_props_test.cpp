// The trim and thumbnail-position model of the video properties dialog: ranges, the thumbnail
// position carried along, slider and time texts, preview requests, and what OK applies.
#include "media/video_props.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "app/app_folders.h"
#include "media/video_probe.h"
#include "model/zerva_video.h"
#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

using Control = VideoPropsControl;

CZervaVideo Twenty() {
  CZervaVideo video;
  video.durationSrc = video.duration = 20.0;
  video.begin = 0.0;
  video.end = 20.0;
  video.thumbpos = 10.0;
  return video;
}

TEST(FormatVideoTime, MinutesSecondsAndTruncatedHundredths) {
  EXPECT_EQ(FormatVideoTime(75.5), "1:15.50");
  EXPECT_EQ(FormatVideoTime(59.999), "0:59.99");
  EXPECT_EQ(FormatVideoTime(0), "0:00.00");
  EXPECT_EQ(FormatVideoTime(3600), "60:00.00");
  EXPECT_EQ(FormatVideoTime(SliderSeconds(29)), "0:00.29") << "slider positions show as set";
  EXPECT_EQ(FormatVideoTime(-3), "0:00.00");
  EXPECT_EQ(FormatVideoTime(NAN), "0:00.00");
  EXPECT_EQ(FormatVideoTime(1e300), "0:00.00");
}

TEST(VideoPropsModel, ValuesStayInTheirRangesAndCarryTheThumbnail) {
  std::vector<std::pair<Control, double>> previews;
  VideoPropsModel model(Twenty(), [&](Control c, double s) { previews.push_back({c, s}); });
  model.SetBegin(12.0);  // past the thumbnail: it moves along
  EXPECT_DOUBLE_EQ(model.Begin(), 12.0);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 12.0);
  EXPECT_EQ(previews, (std::vector<std::pair<Control, double>>{{Control::kBegin, 12.0},
                                                               {Control::kThumbPos, 12.0}}));
  previews.clear();
  model.SetEnd(5.0);  // before begin: held at begin
  EXPECT_DOUBLE_EQ(model.End(), 12.0);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 12.0);
  EXPECT_EQ(previews, (std::vector<std::pair<Control, double>>{{Control::kEnd, 12.0}}));
  model.SetEnd(25.0);
  EXPECT_DOUBLE_EQ(model.End(), 20.0);
  model.SetBegin(-3.0);
  EXPECT_DOUBLE_EQ(model.Begin(), 0.0);
  model.SetThumbPos(30.0);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 20.0);
  model.SetEnd(15.0);  // before the thumbnail: it moves along
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 15.0);
  model.SetThumbPos(-1.0);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 0.0);
  EXPECT_DOUBLE_EQ(model.Length(), 15.0);
  EXPECT_EQ(model.LengthText(), "0:15.00");

  previews.clear();
  model.SetThumbPos(0.0);  // no change, no preview
  model.SetBegin(NAN);
  EXPECT_TRUE(previews.empty());
  EXPECT_DOUBLE_EQ(model.Begin(), 0.0);
}

TEST(VideoPropsModel, SlidersCountHundredths) {
  VideoPropsModel model(Twenty());
  EXPECT_EQ(model.SliderMax(), 2000);
  model.SetSlider(Control::kThumbPos, 1234);
  EXPECT_DOUBLE_EQ(model.ThumbPos(), 12.34);
  EXPECT_EQ(model.Slider(Control::kThumbPos), 1234);
  EXPECT_EQ(model.TimeText(Control::kThumbPos), "0:12.34");
  model.SetSlider(Control::kBegin, 29);
  EXPECT_EQ(model.Slider(Control::kBegin), 29);
  EXPECT_EQ(SliderPosition(-5), 0);
  EXPECT_TRUE(model.fastMode);
}

TEST(VideoPropsModel, OkAppliesOnlyWhatDiffers) {
  CZervaVideo video = Twenty();
  video.begin = 1.4;  // a source start time: duration is still the whole length
  VideoPropsModel untouched(video);
  VideoPropsModel::Outcome outcome = untouched.Apply(video);
  EXPECT_FALSE(outcome.trimChanged);
  EXPECT_FALSE(outcome.thumbPosChanged);
  EXPECT_FALSE(video.videoChanged);
  EXPECT_DOUBLE_EQ(video.duration, 20.0);

  VideoPropsModel thumbOnly(video);
  thumbOnly.SetThumbPos(3.0);
  outcome = thumbOnly.Apply(video);
  EXPECT_FALSE(outcome.trimChanged);
  EXPECT_TRUE(outcome.thumbPosChanged);
  EXPECT_FALSE(video.videoChanged);
  EXPECT_TRUE(video.thumbPosChanged);
  EXPECT_DOUBLE_EQ(video.thumbpos, 3.0);

  VideoPropsModel trim(video);
  trim.SetEnd(10.0);
  outcome = trim.Apply(video);
  EXPECT_TRUE(outcome.trimChanged);
  EXPECT_FALSE(outcome.thumbPosChanged);
  EXPECT_TRUE(video.videoChanged);
  EXPECT_DOUBLE_EQ(video.begin, 1.4);
  EXPECT_DOUBLE_EQ(video.end, 10.0);
  EXPECT_DOUBLE_EQ(video.duration, 8.6);
}

TEST(VideoPropsModel, PreviewFrameOfARealClip) {
  if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg installed";
  test::IsolatedHome home;
  CZervaVideo video;
  ASSERT_TRUE(Probe(video, test::TestVideo("h264_aac.mp4")));
  Bitmap frame;
  ASSERT_TRUE(MakeVideoPreview(video, Control::kEnd, 1.5, true, 0, 640, 307200, &frame));
  EXPECT_EQ(BitmapSize(frame.get()), (PixelSize{320, 240}));
  EXPECT_FALSE(std::filesystem::exists(TempFolder() + "videoprops_end.jpg"));
}

}  // namespace
}  // namespace zerva
