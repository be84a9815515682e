#include "app/message_target.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace zerva {
namespace {

TEST(UiLoop, PostedMessagesRunInOrderOnThePumpingThread) {
  UiLoop loop;
  std::vector<unsigned> seen;
  std::thread::id handlerThread;
  LoopTarget target(loop, [&](const WindowMessage& m) {
    seen.push_back(m.id);
    handlerThread = std::this_thread::get_id();
    return MessageParam{0};
  });
  std::thread worker([&] {
    for (unsigned id = 1; id <= 3; ++id) target.Post({id, 0, 0, nullptr});
  });
  worker.join();
  EXPECT_EQ(loop.Pump(), 3u);
  EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 3}));
  EXPECT_EQ(handlerThread, std::this_thread::get_id());
}

TEST(UiLoop, SendWaitsForTheHandlerResult) {
  UiLoop loop;
  LoopTarget target(loop, [](const WindowMessage& m) { return m.wParam * 2; });
  // On the UI thread a send runs at once.
  EXPECT_EQ(target.Send({kMsgTransferProgress, 21, 0, nullptr}), 42);
  std::atomic<MessageParam> result{0};
  std::thread worker([&] { result = target.Send({kMsgJobsFinished, 5, 0, nullptr}); });
  EXPECT_TRUE(loop.RunUntil([&] { return result.load() != 0; }, std::chrono::seconds(5)));
  worker.join();
  EXPECT_EQ(result.load(), 10);
}

TEST(UiLoop, CloseReleasesWaitingSendersAndRefusesPosts) {
  UiLoop loop;
  LoopTarget target(loop, [](const WindowMessage&) { return MessageParam{7}; });
  std::atomic<bool> returned{false};
  MessageParam result = -1;
  std::thread worker([&] {
    result = target.Send({1, 0, 0, nullptr});
    returned = true;
  });
  while (!returned) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    loop.Close();
  }
  worker.join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(target.Post({1, 0, 0, nullptr}));
}

TEST(LoopTarget, ATargetThatOutlivesItsLoopRefusesMessages) {
  auto loop = std::make_unique<UiLoop>();
  auto target =
      std::make_shared<LoopTarget>(*loop, [](const WindowMessage&) { return MessageParam{1}; });
  loop.reset();
  // A detached worker may still hold the target after the window's loop has ended.
  std::thread worker([target] {
    EXPECT_FALSE(target->Post({1, 0, 0, nullptr}));
    EXPECT_EQ(target->Send({1, 0, 0, nullptr}), 0);
  });
  worker.join();
}

TEST(LoopTarget, MessagesToADetachedTargetAreDropped) {
  UiLoop loop;
  int calls = 0;
  auto payload = std::make_shared<std::string>("copy");
  std::weak_ptr<std::string> watch = payload;
  {
    LoopTarget target(loop, [&](const WindowMessage&) {
      ++calls;
      return MessageParam{0};
    });
    target.Post({kMsgTraceLine, 0, 0, std::move(payload)});
  }
  loop.Pump();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(watch.expired());  // the payload was freed, not leaked
}

}  // namespace
}  // namespace zerva
