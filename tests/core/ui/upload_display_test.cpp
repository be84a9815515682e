// The upload page's progress display: elapsed time as mm:ss, no remaining time up to 10 %, a
// shown remaining time that never rises, a bar that never moves back, and progress bursts
// gathered into one repaint per timer.
#include "ui/upload_display.h"

#include <gtest/gtest.h>

#include "core/ui/fake_copy_view.h"
#include "jobs/progress_math.h"

namespace zerva::test {
namespace {

class UploadDisplayTest : public ::testing::Test {
 protected:
  // A progress event followed by its repaint at `percent`.
  void Show(int percent, int64_t remaining, int64_t elapsed) {
    display_.OnProgress(PackTime(remaining, elapsed),
                        [&, percent] { display_.Update(percent, "a.jpg", nullptr); });
    view_.FireTimers();
  }
  FakeCopyView view_;
  UploadDisplay display_{view_};
};

TEST_F(UploadDisplayTest, ResetShowsTheStartOfASession) {
  Show(40, 30, 200);
  display_.Reset();
  EXPECT_EQ(view_.elapsed, "00:00");
  EXPECT_EQ(view_.remaining, std::nullopt);
  EXPECT_EQ(view_.percentText, "");
  EXPECT_EQ(view_.bar.back(), 0);
  EXPECT_EQ(display_.ShownRemaining(), kInitialRemainingSeconds);
  EXPECT_EQ(display_.BarPosition(), 0);
}

TEST_F(UploadDisplayTest, ElapsedTimeReadsMinutesAndSeconds) {
  Show(5, 180, 125);
  EXPECT_EQ(view_.elapsed, "02:05");
  EXPECT_EQ(view_.jobName, "a.jpg");
  EXPECT_EQ(ElapsedText(3599), "59:59");
  EXPECT_EQ(ElapsedText(-4), "00:00");
}

TEST_F(UploadDisplayTest, RemainingTimeAppearsAboveTenPercentAndNeverRises) {
  Show(10, 50, 20);
  EXPECT_EQ(view_.remaining, std::nullopt) << "no estimate up to 10 %";
  EXPECT_EQ(display_.ShownRemaining(), 50);
  Show(11, 40, 21);
  ASSERT_EQ(view_.remaining, 40);
  EXPECT_FALSE(view_.remainingText.empty());
  // A higher estimate lowers the shown time by one second instead of raising it.
  Show(12, 90, 22);
  EXPECT_EQ(view_.remaining, 39);
  Show(13, 95, 23);
  EXPECT_EQ(view_.remaining, 38);
  Show(14, 10, 24);
  EXPECT_EQ(view_.remaining, 10);
}

TEST_F(UploadDisplayTest, ShownRemainingStopsAtZero) {
  Show(50, 0, 10);
  Show(51, 300, 11);
  EXPECT_EQ(display_.ShownRemaining(), 0);
}

TEST_F(UploadDisplayTest, BarNeverMovesBack) {
  Show(30, 60, 10);
  EXPECT_EQ(view_.percentText, "30%");
  const size_t moves = view_.bar.size();
  Show(20, 60, 11);
  EXPECT_EQ(view_.bar.size(), moves) << "a lower percentage leaves the bar";
  EXPECT_EQ(view_.percentText, "30%");
  EXPECT_EQ(display_.BarPosition(), 30);
  Show(31, 60, 12);
  EXPECT_EQ(view_.bar.back(), 31);
}

TEST_F(UploadDisplayTest, NothingIsRepaintedWhenNothingShownWouldChange) {
  Show(30, 60, 10);
  const int repaints = view_.repaints;
  Show(30, 60, 10);
  EXPECT_EQ(view_.repaints, repaints);
  Show(30, 60, 11);
  EXPECT_EQ(view_.repaints, repaints + 1);
}

TEST_F(UploadDisplayTest, ABurstOfEventsArmsOneTimerOfAHundredMilliseconds) {
  int repaints = 0;
  for (int i = 0; i < 50; ++i) {
    display_.OnProgress(PackTime(60, i), [&] { ++repaints; });
  }
  EXPECT_TRUE(display_.TimerArmed());
  ASSERT_EQ(view_.timerDelays, std::vector<int>{kDisplayThrottleMs});
  EXPECT_EQ(view_.FireTimers(), 1);
  EXPECT_EQ(repaints, 1);
  EXPECT_FALSE(display_.TimerArmed());
  display_.OnProgress(PackTime(60, 51), [&] { ++repaints; });
  EXPECT_EQ(view_.timerDelays.size(), 2u) << "the next event arms it again";
}

TEST_F(UploadDisplayTest, ATimerThatFiresAfterTheDisplayIsGoneDoesNothing) {
  FakeCopyView view;
  int repaints = 0;
  {
    UploadDisplay display(view);
    display.OnProgress(PackTime(60, 1), [&] { ++repaints; });
  }
  view.FireTimers();
  EXPECT_EQ(repaints, 0);
}

}  // namespace
}  // namespace zerva::test
