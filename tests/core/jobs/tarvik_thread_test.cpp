#include "jobs/tarvik_thread.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using namespace std::chrono_literals;

// What a worker did; shared, so the test can still read it once the worker object is gone.
struct Probe {
  std::atomic<int> entries{0};
  std::atomic<int> exits{0};
  std::atomic<bool> release{false};
  std::atomic<bool> stubborn{false};
  std::atomic<bool> sawStopAtExit{false};
  std::atomic<bool> destroyed{false};
  std::string threadName;
};

// A loader in the style of the derived classes: polls ShouldContinue between units of work, or
// ignores it while `stubborn` is set. It is its own start parameter, so a thread left running
// keeps it alive.
class Worker : public CTarvikThread, public std::enable_shared_from_this<Worker> {
 public:
  explicit Worker(std::shared_ptr<Probe> probe)
      : CTarvikThread(
            [](const std::shared_ptr<void>& self) { static_cast<Worker*>(self.get())->Loop(); },
            "TestWorkerThreadName"),
        probe_(std::move(probe)) {}
  ~Worker() override { probe_->destroyed = true; }

  bool Start(bool stopFirst = false) { return CTarvikThread::Start(shared_from_this(), stopFirst); }

  // Runs `action` in the worker when it sees the stop request, before it returns.
  std::function<void()> onStop;

 private:
  void Loop() {
    MarkRunning();
    if (probe_->entries == 0) {
      char name[32] = {};
      ::pthread_getname_np(::pthread_self(), name, sizeof(name));
      probe_->threadName = name;
    }
    ++probe_->entries;
    while (!probe_->release) {
      if (!probe_->stubborn && !ShouldContinue()) {
        if (onStop) onStop();
        break;
      }
      std::this_thread::sleep_for(2ms);
    }
    probe_->sawStopAtExit = StopRequested();
    ++probe_->exits;
    MarkStopped();
  }

  std::shared_ptr<Probe> probe_;
};

bool Eventually(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

class TarvikThreadTest : public ::testing::Test {
 protected:
  test::IsolatedHome home_;
  std::shared_ptr<Probe> probe_ = std::make_shared<Probe>();
  std::shared_ptr<Worker> worker_ = std::make_shared<Worker>(probe_);
};

TEST_F(TarvikThreadTest, StartOnARunningThreadNeitherStartsASecondNorStopsTheFirst) {
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));
  EXPECT_TRUE(worker_->IsRunning());
  EXPECT_TRUE(worker_->Start());
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(probe_->entries.load(), 1);
  EXPECT_EQ(probe_->exits.load(), 0);
  EXPECT_FALSE(worker_->StopRequested());
  EXPECT_EQ(probe_->threadName, "TestWorkerThrea");  // the kernel keeps 15 bytes

  probe_->release = true;
  EXPECT_TRUE(worker_->WaitWhileRunning(5));
  EXPECT_FALSE(worker_->IsRunning());
}

TEST_F(TarvikThreadTest, StopAndWaitStopsACooperativeProcedureAndAllowsANewStart) {
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(worker_->StopAndWait(10));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  EXPECT_TRUE(probe_->sawStopAtExit);
  EXPECT_FALSE(worker_->IsRunning());
  EXPECT_FALSE(worker_->StopRequested());

  // Start with stopFirst on a running thread stops it and starts it anew.
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 2; }));
  worker_->SetStopFirstWait(5s);
  ASSERT_TRUE(worker_->Start(true));
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 3; }));
  EXPECT_EQ(probe_->exits.load(), 2);
  EXPECT_TRUE(worker_->StopAndWait(10));
  EXPECT_TRUE(worker_->StopAndWait(10));  // not running: at once
}

TEST_F(TarvikThreadTest, AProcedureIgnoringTheStopIsLeftRunningWithItsObjectAlive) {
  probe_->stubborn = true;
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));

  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(worker_->StopAndWait(300ms));
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 3s);
  // Running stays as it was, and the stop request stays for the thread left behind.
  EXPECT_TRUE(worker_->IsRunning());
  EXPECT_TRUE(worker_->StopRequested());

  // The owner lets go; the thread keeps the object until it returns.
  std::weak_ptr<Worker> watch = worker_;
  worker_.reset();
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(probe_->destroyed);
  probe_->release = true;
  ASSERT_TRUE(Eventually([&] { return probe_->destroyed.load(); }));
  EXPECT_TRUE(watch.expired());
  EXPECT_TRUE(probe_->sawStopAtExit);
  EXPECT_EQ(probe_->exits.load(), 1);
}

TEST_F(TarvikThreadTest, AThreadLeftRunningCanBeStartedAgainOnceItReturns) {
  probe_->stubborn = true;
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));
  EXPECT_FALSE(worker_->StopAndWait(100ms));
  EXPECT_TRUE(worker_->Start());  // still running: nothing happens
  EXPECT_EQ(probe_->entries.load(), 1);

  probe_->stubborn = false;  // it now honours the stop request it kept
  EXPECT_TRUE(worker_->WaitWhileRunning(5));
  EXPECT_FALSE(worker_->StopRequested());
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 2; }));
  EXPECT_TRUE(worker_->IsRunning());
  EXPECT_TRUE(worker_->StopAndWait(10));
}

TEST_F(TarvikThreadTest, ASecondStopAndWaitWhileTheFirstWaitsReturnsAtOnce) {
  UiLoop loop;
  LoopUiThread ui(loop);
  worker_->SetUiThread(&ui);
  probe_->stubborn = true;
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));

  // Delivered by the first wait's message pump, as a click would be in the window.
  bool secondResult = false;
  std::chrono::steady_clock::duration secondTook{};
  loop.Enqueue([&] {
    const auto before = std::chrono::steady_clock::now();
    secondResult = worker_->StopAndWait(5s);
    secondTook = std::chrono::steady_clock::now() - before;
  });
  EXPECT_FALSE(worker_->StopAndWait(400ms));
  EXPECT_TRUE(secondResult);
  EXPECT_LT(secondTook, 1s);

  probe_->release = true;
  EXPECT_TRUE(worker_->WaitWhileRunning(5));
}

TEST_F(TarvikThreadTest, WaitsDeliverTheCallingThreadsMessages) {
  UiLoop loop;
  LoopUiThread ui(loop);
  std::thread::id handledOn;
  LoopTarget window(loop, [&](const WindowMessage& message) {
    handledOn = std::this_thread::get_id();
    return message.wParam;
  });
  std::atomic<MessageParam> answer{0};
  // The worker reports its end synchronously to the window, as a loader does.
  worker_->onStop = [&] { answer = window.Send({kMsgThumbLoaded, 42, 0, nullptr}); };
  worker_->SetUiThread(&ui);
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));

  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(worker_->StopAndWait(10));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
  EXPECT_EQ(answer.load(), 42);
  EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST_F(TarvikThreadTest, WaitWhileRunningTimesOutWithoutAskingToStop) {
  ASSERT_TRUE(worker_->Start());
  ASSERT_TRUE(Eventually([&] { return probe_->entries == 1; }));
  EXPECT_FALSE(worker_->WaitWhileRunning(100ms));
  EXPECT_FALSE(worker_->StopRequested());
  EXPECT_TRUE(worker_->IsRunning());
  EXPECT_EQ(probe_->exits.load(), 0);
  EXPECT_TRUE(worker_->StopAndWait(10));
}

TEST_F(TarvikThreadTest, AProcedureThatThrowsOrForgetsToMarkItsEndStillEnds) {
  std::atomic<int> calls{0};
  CTarvikThread thread(
      [&](const std::shared_ptr<void>& param) {
        ++calls;
        if (param) throw std::runtime_error("broken file");
      },
      "Plain");
  ASSERT_TRUE(thread.Start());
  EXPECT_TRUE(thread.WaitWhileRunning(5));
  EXPECT_FALSE(thread.IsRunning());
  ASSERT_TRUE(thread.Start(std::make_shared<int>(1)));
  EXPECT_TRUE(thread.WaitWhileRunning(5));
  EXPECT_FALSE(thread.IsRunning());
  EXPECT_EQ(calls.load(), 2);
}

}  // namespace
}  // namespace zerva
