// Sending original video files: the remaining-time estimate of the progress window, the service's
// consent, the question after a session, and the "Unk" commands carrying the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/scripted_dialogs.h"
#include "app/ui_thread.h"
#include "core/media/video_fixtures.h"
#include "job_test_support.h"
#include "jobs/job_video_upload.h"
#include "jobs/send_original_video.h"
#include "jobs/unknown_videos.h"
#include "media/video_probe.h"
#include "model/photo.h"
#include "platform/md5.h"

namespace zerva {
namespace {

TEST(RemainingTimeTest, EstimateNeedsFiveRisingSamples) {
  RemainingTimeEstimate estimate;
  for (int i = 0; i < 4; ++i) estimate.Add(i * 1000, i * 10.0);
  EXPECT_EQ(estimate.SecondsLeft(), -1);
  estimate.Add(3500, 30.0);  // no rise: not taken
  EXPECT_EQ(estimate.Samples(), 4u);
  estimate.Add(4000, 40.0);
  // 40 % in 4 s: 60 % take 6 s.
  EXPECT_EQ(estimate.SecondsLeft(), 6);
  for (int i = 5; i < 20; ++i) estimate.Add(i * 1000, 40.0 + (i - 4) * 2.0);
  EXPECT_EQ(estimate.Samples(), 10u);
  // The last ten samples: 2 % a second, 30 % left.
  EXPECT_EQ(estimate.SecondsLeft(), 15);
  RemainingTimeEstimate still;
  for (int i = 0; i < 6; ++i) still.Add(1000, i);  // no time passed
  EXPECT_EQ(still.SecondsLeft(), -1);
}

struct ViewLog {
  std::vector<int> progress;
  std::string caption;
  std::string remaining;
  bool closed = false;
};

class RecordingView : public ProgressWindowView {
 public:
  explicit RecordingView(std::shared_ptr<ViewLog> log) : log_(std::move(log)) {}
  void Show(const std::string& caption, const std::string&) override { log_->caption = caption; }
  void SetProgress(int percent) override { log_->progress.push_back(percent); }
  void SetRemaining(const std::string&, const std::string& estimate) override {
    log_->remaining = estimate;
  }
  void Close() override { log_->closed = true; }

 private:
  std::shared_ptr<ViewLog> log_;
};

class OriginalVideoTest : public test::PhotoJobTest {
 protected:
  void SetUp() override {
    test::PhotoJobTest::SetUp();
    Server().ClearLog();
    context_.connection = connection_.get();
    context_.connections = manager_;
    context_.userName = user_;
    context_.userPass = PasswordDigest("secret");
    context_.ui = &ui_;
    context_.pool = &pool_;
    context_.views = [log = log_] { return std::make_unique<RecordingView>(log); };
    context_.pollMs = 20;
    context_.openPauseMs = 0;
  }
  std::string StoredOriginal(const std::string& name) const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Server().DataDir())) {
      const std::string file = entry.path().filename().string();
      if (entry.is_regular_file() && file.size() > name.size() &&
          file.compare(file.size() - name.size(), name.size(), name) == 0 &&
          entry.path().string().find("originals") != std::string::npos) {
        return test::ReadWholeFile(entry.path().string());
      }
    }
    return {};
  }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const test::LoggedRequest& r : Server().Log()) {
      if (r.Script() == "command.php") out.push_back(r.Command());
    }
    return out;
  }

  UiLoop loop_;
  LoopUiThread ui_{loop_};
  OriginalVideoPool pool_{kMaxOriginalSenders};
  std::shared_ptr<ViewLog> log_ = std::make_shared<ViewLog>();
  OriginalUploadContext context_;
};

TEST_F(OriginalVideoTest, ExplicitOriginalGoesUpThroughTheUnkCommands) {
  std::string bytes(600000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 1000);
  const std::string path = dir_.Write("holiday.avi", bytes);
  ASSERT_TRUE(SendOriginalExplicitly(path, context_));
  EXPECT_TRUE(pool_.HasTaskNamed(path));
  WaitForOriginals(context_);
  loop_.Pump();
  EXPECT_EQ(pool_.GetTaskCount(), 0);  // removed when its window reported the end
  EXPECT_EQ(StoredOriginal("holiday.avi"), bytes);
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(commands.front(), "AcceptUnkVideoUpload");
  EXPECT_EQ(Server().LogOf("AcceptUnkVideoUpload").at(0).Field("reason"), "explicit");
  EXPECT_EQ(commands[1], "BeginUnkVideoUpload");
  EXPECT_EQ(commands.back(), "EndUnkVideoUpload");
  EXPECT_TRUE(Server().LogOf("BeginVideoUpload").empty());
  EXPECT_TRUE(log_->closed);
  ASSERT_FALSE(log_->progress.empty());
  // Senders finish in any order; the one with the file's end reports 100.
  EXPECT_EQ(*std::max_element(log_->progress.begin(), log_->progress.end()), 100);
}

TEST_F(OriginalVideoTest, EmptyFileOrRefusalSendsNothing) {
  EXPECT_FALSE(SendOriginalExplicitly(dir_.Write("empty.avi", ""), context_));
  EXPECT_FALSE(SendOriginalExplicitly(dir_.File("gone.avi"), context_));
  EXPECT_TRUE(Commands().empty());
  ASSERT_TRUE(Server().InjectFault("AcceptUnkVideoUpload", "error", 1, "9:no"));
  EXPECT_FALSE(SendOriginalExplicitly(dir_.Write("x.avi", "xyz"), context_));
  EXPECT_EQ(pool_.GetTaskCount(), 0);
}

TEST_F(OriginalVideoTest, UnconvertibleVideoIsOfferedAfterTheSession) {
  if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  CPhoto item;
  item.isVideo = true;
  ASSERT_TRUE(Probe(item.video, test::TestVideo("h264_aac.mp4")));
  const std::string garbage = test::ReadWholeFile(test::TestVideo("garbage.mp4"));
  item.localPath = dir_.Write("broken.mp4", garbage);
  item.video.sourcePath = item.localPath;
  item.video.videoChanged = true;
  CJobVideoUpload job(session_.get(), manager_, dir_.File("out/broken.mp4"), "Trip", albumId_,
                      &item, true, 640, VideoLimits{});
  job.SetPauses(0, 20);
  CancelFlag cancel{false};
  ASSERT_FALSE(job.Run(&cancel).Ok());
  ASSERT_TRUE(job.ConversionFailed());
  job.SetState(kJobFailed);

  // The user says no: nothing goes up.
  ScriptedDialogs no(Reply::kNo);
  EXPECT_EQ(SendUnknownVideos({&job}, context_, no), 0);
  EXPECT_TRUE(Server().LogOf("BeginUnkVideoUpload").empty());
  EXPECT_EQ(Server().LogOf("AcceptUnkVideoUpload").at(0).Field("reason"), "encoder");

  // A job that did not fail is not offered.
  job.SetState(kJobDone);
  ScriptedDialogs yes(Reply::kYes);
  EXPECT_EQ(SendUnknownVideos({&job}, context_, yes), 0);
  job.SetState(kJobFailed);
  EXPECT_EQ(SendUnknownVideos({&job}, context_, yes), 1);
  loop_.Pump();
  EXPECT_EQ(StoredOriginal("broken.mp4"), garbage);
  EXPECT_EQ(Server().LogOf("EndUnkVideoUpload").size(), 1u);
}

}  // namespace
}  // namespace zerva
