#include "jobs/jobs_mngr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/message_target.h"
#include "app/trace.h"
#include "app/ui_thread.h"
#include "fake_jobs.h"
#include "jobs/progress_math.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using namespace std::chrono_literals;
using test::FakeJob;
using test::Gate;
using test::JobLog;

// Records what the manager tells its listeners, and checks that it happens on the UI thread.
class RecordingListener : public CJobsMngrEvents {
 public:
  explicit RecordingListener(const CJobsMngr* mngr) : mngr_(mngr) {}
  void OnJobsFinished() override {
    CheckThread();
    ++finished;
  }
  void OnJobsProgress(int64_t packedTime) override {
    CheckThread();
    packedTimes.push_back(packedTime);
    percents.push_back(mngr_ ? mngr_->Percent() : -1);
  }
  void OnJobsBytes(int64_t count, int64_t total) override {
    CheckThread();
    ApplyJobsBytes(confirmedBytes, count, total);
    ++bytesCalls;
  }

  int finished = 0;
  std::vector<int64_t> packedTimes;
  std::vector<int> percents;
  int64_t confirmedBytes = 0;
  std::atomic<int> bytesCalls{0};

 private:
  void CheckThread() const { EXPECT_EQ(std::this_thread::get_id(), uiThread_); }
  const CJobsMngr* mngr_;
  std::thread::id uiThread_ = std::this_thread::get_id();
};

class JobsMngrTest : public ::testing::Test {
 protected:
  JobsMngrTest() {
    EXPECT_TRUE(mngr_.Create(ui_));
    mngr_.AddListener(&listener_);
  }

  int Add(int weight, const std::function<void(FakeJob&)>& configure = nullptr) {
    auto job = std::make_unique<FakeJob>(log_, weight);
    if (configure) configure(*job);
    return mngr_.AddJob(std::move(job));
  }
  // Pumps the loop until the run's finish message has reached the listener.
  bool WaitFinished(int count = 1) {
    return loop_.RunUntil([&] { return listener_.finished >= count; }, 20s);
  }
  // The worker sends its first progress before the first job, so the loop must be pumped.
  bool WaitEntered(Gate& gate) {
    return loop_.RunUntil([&] { return gate.Entered(); }, 10s);
  }
  std::vector<int> States() const {
    std::vector<int> states;
    for (const auto& [id, job] : mngr_.Jobs()) states.push_back(job->State());
    return states;
  }

  test::IsolatedHome home_;
  UiLoop loop_;
  LoopUiThread ui_{loop_};
  std::shared_ptr<JobLog> log_ = std::make_shared<JobLog>();
  CJobsMngr mngr_;
  RecordingListener listener_{&mngr_};
};

TEST_F(JobsMngrTest, WeightsReserveRangesAndPercentOfTwoJobs) {
  Add(1);
  Add(3);
  EXPECT_EQ(mngr_.TotalWeight(), 4);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());

  EXPECT_EQ(mngr_.TotalWeight(), 54);  // 4 + 4/20 + 50
  const auto runs = log_->Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_DOUBLE_EQ(runs[0].rangeStart, 0.0);
  EXPECT_NEAR(runs[0].rangeEnd, 1.85, 0.005);
  EXPECT_NEAR(runs[1].rangeStart, 1.85, 0.005);
  EXPECT_NEAR(runs[1].rangeEnd, 7.41, 0.005);
  // The start, then after each job; the reserve keeps the end well below 100 until the finish.
  EXPECT_EQ(listener_.percents, (std::vector<int>{0, 1, 7}));
  EXPECT_EQ(mngr_.Percent(), 100);
  EXPECT_EQ(States(), (std::vector<int>{kJobDone, kJobDone}));
  EXPECT_FALSE(mngr_.IsRunning());
  EXPECT_EQ(mngr_.CurrentJob(), nullptr);
  EXPECT_TRUE(mngr_.LastResult().Ok());
  EXPECT_EQ(mngr_.LastResult().message, "Proveden job Fake\n; Proveden job Fake\n");
}

TEST_F(JobsMngrTest, AFailingOrThrowingJobDoesNotStopTheRun) {
  Add(1);
  Add(1, [](FakeJob& job) { job.FailTimes(1, "UploadFile: refused"); });
  Add(1, [](FakeJob& job) { job.Throw("disk gone"); });
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());

  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(States(), (std::vector<int>{kJobDone, kJobFailed, kJobFailed, kJobDone}));
  const ApiResult result = mngr_.LastResult();
  EXPECT_EQ(result.code, 0);
  EXPECT_NE(result.message.find("UploadFile: refused"), std::string::npos);
  EXPECT_NE(result.message.find("Fake: disk gone"), std::string::npos);
  EXPECT_EQ(mngr_.CountInState(kJobFailed), 2);

  // A later finding (the check of the uploads) fails an otherwise good result.
  mngr_.ClearJobs();
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished(2));
  EXPECT_TRUE(mngr_.LastResult().Ok());  // each run starts afresh
  mngr_.CombineResult(ApiResult::Failure("thumb missing"));
  EXPECT_FALSE(mngr_.LastResult().Ok());
}

TEST_F(JobsMngrTest, RestartRunsOnlyTheFailedJobAndKeepsOneReserve) {
  for (int i = 0; i < 5; ++i) {
    Add(1, [i](FakeJob& job) {
      if (i == 2) job.FailTimes(1, "UploadFile: timeout");
    });
  }
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(mngr_.CountInState(kJobFailed), 1);
  EXPECT_EQ(mngr_.TotalWeight(), 55);

  ASSERT_TRUE(mngr_.Restart());
  ASSERT_TRUE(WaitFinished(2));
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, 2, 3, 4, 5, 3}));
  EXPECT_EQ(mngr_.CountInState(kJobDone), 5);
  EXPECT_TRUE(mngr_.LastResult().Ok());
  // The reserve is taken once per run, not piled onto the previous total.
  EXPECT_EQ(mngr_.TotalWeight(), 55);
  // The done jobs keep their share: the second run ends where the first did.
  EXPECT_EQ(listener_.percents.back(), 9);
}

TEST_F(JobsMngrTest, RestartLeavesFailuresThatANewRunCannotMend) {
  Add(1, [](FakeJob& job) { job.FailTimes(1, "MakeImage: the file ends").Hopeless(); });
  Add(1, [](FakeJob& job) { job.FailTimes(1, "UploadFile: timeout"); });
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(mngr_.CountInState(kJobFailed), 2);

  ASSERT_TRUE(mngr_.Restart());
  ASSERT_TRUE(WaitFinished(2));
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, 2, 3, 2}));
  EXPECT_EQ(mngr_.CountInState(kJobFailed), 1);
  EXPECT_TRUE(mngr_.LastResult().Ok()) << "the hopeless job did not run again";
}

TEST_F(JobsMngrTest, RestartAfterAStoppedRunWithoutFailuresRunsEveryJobAgain) {
  auto gate = std::make_shared<Gate>();
  Add(1);
  Add(1, [&](FakeJob& job) { job.Wait(gate, FakeJob::AtGate::kGiveUpOnStop); });
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitEntered(*gate));
  EXPECT_FALSE(mngr_.Start());  // a run is going on: no second worker
  EXPECT_TRUE(mngr_.KillJobs());
  EXPECT_FALSE(mngr_.IsRunning());
  loop_.Pump();
  EXPECT_EQ(listener_.finished, 0);  // a stopped run sends no finish
  EXPECT_EQ(States(), (std::vector<int>{kJobDone, kJobDone, kJobWaiting}));

  ASSERT_TRUE(mngr_.Restart());
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, 2, 1, 2, 3}));
  // The job saw the stop request through its cancel flag; the new run cleared it.
  const auto runs = log_->Runs();
  EXPECT_FALSE(runs[3].cancelSet);
  EXPECT_EQ(mngr_.CountInState(kJobDone), 3);
}

TEST_F(JobsMngrTest, KillJobsLeavesAStubbornJobRunningAndTheNextRunWaitsForIt) {
  auto gate = std::make_shared<Gate>();
  mngr_.SetKillWait(300ms);
  Add(1, [&](FakeJob& job) { job.Wait(gate, FakeJob::AtGate::kIgnoreStop); });
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitEntered(*gate));

  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(mngr_.KillJobs());
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 5s);
  const auto recent = RecentTraceMessages(0, true);
  EXPECT_NE(std::find(recent.begin(), recent.end(), "KillJobs terminated incorrectly\n"),
            recent.end());
  EXPECT_TRUE(mngr_.IsRunning());

  // A new session: the old jobs leave the manager but stay alive for the worker still in one.
  mngr_.ClearJobs();
  EXPECT_EQ(log_->destroyed.load(), 0);
  const int fresh = Add(1);
  ASSERT_TRUE(mngr_.Start());
  std::this_thread::sleep_for(100ms);
  loop_.Pump();
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1}));  // not beside the stubborn job

  gate->Open();
  ASSERT_TRUE(WaitFinished());
  // The stopped run ran nothing after its stubborn job; the new run then ran its own.
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, fresh}));
  EXPECT_EQ(listener_.finished, 1);
  EXPECT_TRUE(loop_.RunUntil([&] { return log_->destroyed.load() == 2; }, 10s));
}

TEST_F(JobsMngrTest, TheManagerCanGoAwayWhileAJobIgnoresTheStop) {
  auto gate = std::make_shared<Gate>();
  RecordingListener other(nullptr);
  {
    CJobsMngr local;
    ASSERT_TRUE(local.Create(ui_));
    local.SetKillWait(100ms);
    local.AddListener(&other);
    auto job = std::make_unique<FakeJob>(log_, 1);
    job->Wait(gate, FakeJob::AtGate::kIgnoreStop).Progress({0.5, 1.0});
    local.AddJob(std::move(job));
    local.AddJob(std::make_unique<FakeJob>(log_, 1));
    ASSERT_TRUE(local.Start());
    ASSERT_TRUE(WaitEntered(*gate));
    other.packedTimes.clear();
    other.percents.clear();
  }
  // The job reports progress and returns after its manager is gone.
  gate->Open();
  EXPECT_TRUE(loop_.RunUntil([&] { return log_->destroyed.load() == 2; }, 10s));
  loop_.Pump();
  EXPECT_EQ(log_->RunIds().size(), 1u);
  EXPECT_TRUE(other.packedTimes.empty());
  EXPECT_EQ(other.finished, 0);
}

TEST_F(JobsMngrTest, JobProgressIsMappedIntoItsRangeAndRepeatsAreDropped) {
  // Weight 100: total 155, the job's range is 0 to 64.5 %.
  // The synchronous bytes message after the progress makes sure the posts are handled before
  // the worker moves on.
  Add(100, [](FakeJob& job) { job.Progress({0.0, 0.5, 0.5, 1.0, 7.0}).ConfirmBytes(0, -1); });
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  // Start 0; the job's 0 (a 0 always passes), 32, the repeated 32 dropped, 64, the runaway
  // fraction held at the range's end (64, a repeat, dropped); then the worker's 64 after the
  // job, which differs from the last overall values it sent.
  EXPECT_EQ(listener_.percents, (std::vector<int>{0, 0, 32, 64, 64}));
}

TEST_F(JobsMngrTest, ProgressMessagesWithoutChangeAreDropped) {
  MessageTarget* window = mngr_.Window();
  ASSERT_NE(window, nullptr);
  window->Post({kMsgTransferProgress, 40, 0, nullptr});
  window->Post({kMsgTransferProgress, 40, 0, nullptr});
  window->Post({kMsgTransferProgress, 0, 0, nullptr});
  window->Post({kMsgTransferProgress, 0, 0, nullptr});
  loop_.Pump();
  EXPECT_EQ(listener_.percents, (std::vector<int>{40, 0, 0}));

  listener_.packedTimes.clear();
  window->Post({kMsgOverallProgress, 30, 5, nullptr});
  window->Post({kMsgOverallProgress, 30, 5, nullptr});
  window->Post({kMsgOverallProgress, 30, 6, nullptr});
  window->Post({kMsgOverallProgress, 31, 6, nullptr});
  window->Post({kMsgOverallProgress, 0, 6, nullptr});
  window->Post({kMsgOverallProgress, 0, 6, nullptr});
  loop_.Pump();
  EXPECT_EQ(listener_.packedTimes, (std::vector<int64_t>{5, 6, 6, 6, 6}));

  window->Post({kMsgBytesConfirmed, 1000, -1, nullptr});
  window->Post({kMsgBytesConfirmed, 0, 250, nullptr});
  window->Post({kMsgBytesConfirmed, 24, -1, nullptr});
  loop_.Pump();
  EXPECT_EQ(listener_.bytesCalls.load(), 3);
  EXPECT_EQ(listener_.confirmedBytes, 274);
}

TEST_F(JobsMngrTest, ConfirmedBytesReachTheListenerBeforeTheJobGoesOn) {
  Add(60, [](FakeJob& job) { job.ConfirmBytes(123456, -1); });
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(listener_.bytesCalls.load(), 1);
  EXPECT_EQ(listener_.confirmedBytes, 123456);
}

TEST_F(JobsMngrTest, EstimateExtrapolatesOnceTenPercentAndTenSecondsHavePassed) {
  auto clock = std::make_shared<std::atomic<int64_t>>(1000);
  mngr_.SetClock([clock] { return clock->load(); });
  for (int i = 0; i < 4; ++i) Add(100, [&](FakeJob& job) { job.AdvanceClock(clock, 30); });
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  // Total 470: after each job 21, 42, 63 and 85 %, 30 seconds apart.
  EXPECT_EQ(listener_.percents, (std::vector<int>{0, 21, 42, 63, 85}));
  EXPECT_EQ(listener_.packedTimes,
            (std::vector<int64_t>{PackTime(180, 0), PackTime(112, 30), PackTime(82, 60),
                                  PackTime(52, 90), PackTime(21, 120)}));
  *clock += 30;
  EXPECT_EQ(PackedElapsedSeconds(mngr_.Estimate()), 150);
}

TEST_F(JobsMngrTest, ARunWithoutJobsFinishesAtOnce) {
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(WaitFinished());
  EXPECT_EQ(listener_.percents, (std::vector<int>{0}));
  EXPECT_EQ(mngr_.Percent(), 100);
  EXPECT_EQ(mngr_.TotalWeight(), 50);
  EXPECT_TRUE(mngr_.LastResult().Ok());
}

// The upload page answers a failed run with a retry from its finish callback.
class RetryingListener : public CJobsMngrEvents {
 public:
  explicit RetryingListener(CJobsMngr* mngr) : mngr_(mngr) {}
  void OnJobsFinished() override {
    ++finished;
    if (!mngr_->LastResult().Ok()) restarted = mngr_->Restart();
  }
  int finished = 0;
  bool restarted = false;

 private:
  CJobsMngr* mngr_;
};

TEST_F(JobsMngrTest, RestartFromTheFinishCallbackRunsAfterTheWorkerReturns) {
  RetryingListener retry(&mngr_);
  mngr_.RemoveListener(&listener_);
  mngr_.AddListener(&retry);
  Add(1, [](FakeJob& job) { job.FailTimes(1, "UploadFile: busy"); });
  Add(1);
  ASSERT_TRUE(mngr_.Start());
  ASSERT_TRUE(loop_.RunUntil([&] { return retry.finished >= 2; }, 20s));
  EXPECT_TRUE(retry.restarted);
  EXPECT_EQ(log_->RunIds(), (std::vector<int>{1, 2, 1}));
  EXPECT_TRUE(mngr_.LastResult().Ok());
}

TEST(ProgressMath, ReserveRangesAndPercent) {
  EXPECT_EQ(WeightWithReserve(4), 54);
  EXPECT_EQ(WeightWithReserve(0), 50);
  EXPECT_EQ(WeightWithReserve(1000), 1100);
  EXPECT_NEAR(RangePoint(1, 54), 1.85, 0.005);
  EXPECT_NEAR(RangePoint(4, 54), 7.41, 0.005);
  EXPECT_EQ(OverallPercent(4, 54), 7);
  // Weights of very large videos in KiB do not overflow.
  EXPECT_EQ(OverallPercent(int64_t{3} << 40, int64_t{4} << 40), 75);
  EXPECT_EQ(OverallPercent(1, 0), 0);
}

TEST(ProgressMath, EstimateBoundariesAndPacking) {
  EXPECT_EQ(EstimateRemainingSeconds(10, 100), 180);  // "above 10 %"
  EXPECT_EQ(EstimateRemainingSeconds(50, 10), 180);   // "above 10 seconds"
  EXPECT_EQ(EstimateRemainingSeconds(11, 11), 89);
  EXPECT_EQ(EstimateRemainingSeconds(100, 600), 0);
  EXPECT_EQ(EstimateRemainingSeconds(250, 600), 0);  // a stray percentage gives no negative time

  const int64_t packed = PackTime(5000, 70000);
  EXPECT_EQ(PackedRemainingSeconds(packed), 5000);
  EXPECT_EQ(PackedElapsedSeconds(packed), 70000 & 0xFFFF);
}

TEST(ProgressMath, ConfirmedBytesAddOrReplace) {
  int64_t counter = 10;
  ApplyJobsBytes(counter, 5, 999);
  EXPECT_EQ(counter, 15);
  ApplyJobsBytes(counter, 0, 0);
  EXPECT_EQ(counter, 0);
  ApplyJobsBytes(counter, -1, 42);
  EXPECT_EQ(counter, 42);
  ApplyJobsBytes(counter, 0, -1);  // neither a count nor a total
  EXPECT_EQ(counter, 42);
}

}  // namespace
}  // namespace zerva
