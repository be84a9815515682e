#include "jobs/send_video_block.h"

#include <algorithm>
#include <chrono>

#include "app/elements.h"
#include "app/trace.h"
#include "jobs/job_base.h"
#include "net/http_mngr.h"

namespace zerva {

namespace {

constexpr char kCancelledByUser[] = "cancelled by user";

std::shared_ptr<std::recursive_mutex> LockOf(const std::shared_ptr<VideoUploadShared>& shared) {
  return std::shared_ptr<std::recursive_mutex>(shared, &shared->lock);
}

}  // namespace

SenderAdvice ReadSenderAdvice(const std::string& answer, int previousThreads) {
  SenderAdvice advice;
  const int64_t time = GetElementInt(answer, "optimumRequestTime");
  advice.optimumRequestTime = time <= kDefaultRequestTimeMs ? kDefaultRequestTimeMs
                              : time >= kMaxRequestTimeMs   ? kMaxRequestTimeMs
                                                            : static_cast<int>(time);
  const int64_t threads = GetElementInt(answer, "optimalNumThreads");
  advice.optimalNumThreads =
      threads >= 1 && threads <= 4 ? static_cast<int>(threads) : previousThreads;
  return advice;
}

int SuggestBlocksPerRequest(bool loneHeader, bool succeeded, int64_t elapsedMs,
                            int optimumRequestTime) {
  if (loneHeader || !succeeded || elapsedMs <= 0) return 1;
  const int64_t blocks = optimumRequestTime / elapsedMs;
  return static_cast<int>(std::clamp<int64_t>(blocks, 1, kMaxBlocksPerRequest));
}

CSendVideoBlock::CSendVideoBlock(CNextVideoDataVector blocks,
                                 std::shared_ptr<VideoUploadShared> shared,
                                 std::shared_ptr<CSendVideoBlockManager> pool,
                                 VideoSendContext context, double progress)
    : CTarvikThread(
          [](const std::shared_ptr<void>& param) {
            static_cast<CSendVideoBlock*>(param.get())->ThreadMain();
          },
          "SendVideoBlock"),
      blocks_(std::move(blocks)),
      blockCount_(blocks_.size()),
      shared_(std::move(shared)),
      pool_(std::move(pool)),
      context_(std::move(context)),
      progress_(progress) {}

CSendVideoBlock::~CSendVideoBlock() = default;

bool CSendVideoBlock::StartTask() {
  if (!CTaskBase::StartTask()) return false;
  // The thread holds its task until it returns.
  if (!Start(shared_from_this())) {
    Trace(kTraceError, 0, "CSendVideoBlockThread error: %s", "thread not started");
    pool_->OnTaskDone(this, 1, kDefaultSenders, kDefaultRequestTimeMs,
                      ApiResult::Failure("NextVideoUpload: thread not started"));
  }
  return true;
}

void CSendVideoBlock::StopTask(int seconds) {
  CancelTransfer();
  if (!StopAndWait(seconds)) {
    TraceText(kTraceNotice, "SendVideoBlock: the block is left to end on its own");
  }
}

void CSendVideoBlock::ThreadMain() {
  MarkRunning();
  std::unique_ptr<CHttpConnect> connection =
      context_.connections ? context_.connections->GetConnection() : nullptr;
  ApiResult result;
  int optimumRequestTime = pool_->OptimumRequestTime();
  int optimalNumThreads = kDefaultSenders;
  const bool loneHeader = blocks_.size() == 1 && blocks_[0]->index == 0;
  const auto started = std::chrono::steady_clock::now();
  size_t remaining = blocks_.size();
  int resendsLeft = kBlockResends;

  if (connection == nullptr) result = ApiResult::Failure("NextVideoUpload: no connection");
  while (connection != nullptr && !blocks_.empty()) {
    if (resendsLeft < kBlockResends) {
      Trace(kTraceWarning, 0, "NextVideoUpload: %d. preposilani bloku (pocet %d)",
            kBlockResends - resendsLeft, static_cast<int>(blocks_.size()));
    }
    if (StopRequested() || (context_.cancel != nullptr && context_.cancel->load())) {
      result = ApiResult::Failure(kCancelledByUser);
      break;
    }
    std::vector<VideoBlockPart> parts;
    parts.reserve(blocks_.size());
    for (const auto& block : blocks_) parts.push_back(VideoBlockPart{block->index, block->bytes});
    result = connection->NextVideoUpload(context_.uploadID, context_.userName, context_.userPass,
                                         RequestBlockList(blocks_), parts, &transferCancel_,
                                         context_.unknown);
    if (result.Ok()) {
      const SenderAdvice advice = ReadSenderAdvice(result.value, optimalNumThreads);
      optimumRequestTime = advice.optimumRequestTime;
      optimalNumThreads = advice.optimalNumThreads;
      for (const std::string& element : BlockElements(GetElement(result.value, "blocks"))) {
        BlockFacts facts;
        auto match = blocks_.end();
        if (ParseBlockFacts(element, &facts)) {
          match = std::find_if(blocks_.begin(), blocks_.end(), [&facts](const auto& block) {
            return block->index == facts.index && block->Size() == facts.size &&
                   block->md5 == facts.md5;
          });
        }
        if (match == blocks_.end()) {
          Trace(kTraceWarning, 0, "NextVideoUpload: prijaty blok nesouhlasi: %s", element.c_str());
          continue;
        }
        {
          std::lock_guard<std::recursive_mutex> guard(shared_->lock);
          shared_->sentBlocks[facts.index] = element;
        }
        blocks_.erase(match);
      }
    }
    if (blocks_.size() == remaining) {
      --resendsLeft;
    } else {
      remaining = blocks_.size();
    }
    const bool cancelled = result.message == kCancelledByUser || transferCancel_.load();
    if (resendsLeft < 0 || cancelled) {
      if (cancelled) {
        result = ApiResult::Failure(kCancelledByUser);
      } else if (result.message.empty()) {
        result = ApiResult::Failure("NextVideoUpload: marne preposilani bloku");
      } else {
        result.code = 0;
      }
      break;
    }
  }
  blocks_.clear();
  if (!result.Ok()) {
    Trace(kTraceError, 0, "CSendVideoBlockThread error: %s", result.message.c_str());
  }
  const int64_t elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started)
                              .count();
  const int suggested =
      SuggestBlocksPerRequest(loneHeader, result.Ok(), elapsed, optimumRequestTime);
  if (connection != nullptr) context_.connections->ReleaseConnection(connection);
  MarkStopped();
  pool_->OnTaskDone(this, suggested, optimalNumThreads, optimumRequestTime, result);
}

CSendVideoBlockManager::CSendVideoBlockManager(int threads,
                                               std::shared_ptr<VideoUploadShared> shared)
    : CTaskManager<CSendVideoBlock>(threads), shared_(std::move(shared)), initialThreads_(threads) {
  SetLock(LockOf(shared_));
}

int CSendVideoBlockManager::BlocksPerRequest() const {
  std::lock_guard<std::recursive_mutex> guard(Lock());
  return blocksPerRequest_;
}

int CSendVideoBlockManager::OptimumRequestTime() const {
  std::lock_guard<std::recursive_mutex> guard(Lock());
  return optimumRequestTime_;
}

ApiResult CSendVideoBlockManager::Status() const {
  std::lock_guard<std::recursive_mutex> guard(Lock());
  return status_;
}

void CSendVideoBlockManager::OnTaskDone(CSendVideoBlock* task, int blocksPerRequest,
                                        int optimalNumThreads, int optimumRequestTime,
                                        const ApiResult& result) {
  {
    std::lock_guard<std::recursive_mutex> guard(Lock());
    if (status_.Ok() && result.Ok()) {
      blocksPerRequest_ = blocksPerRequest;
      SetMaxRunning(optimalNumThreads);
      optimumRequestTime_ = optimumRequestTime;
    } else {
      if (status_.Ok()) status_ = result;
      Abort();
    }
  }
  const VideoSendContext& context = task->Context();
  CJobBase* job = context.job;
  MessageTarget* window = context.notifyWindow;
  const unsigned message = context.notifyMessage;
  if (job != nullptr) job->SetProgressValue(task->ProgressValue());
  if (window != nullptr) {
    CTarvikThread::PostTo(window, message, static_cast<MessageParam>(task->ProgressValue()), 0);
  }
  TaskDone(task, false);
}

void CSendVideoBlockManager::CancelTransfers() {
  for (const auto& t : Tasks()) t->CancelTransfer();
}

void CSendVideoBlockManager::CancelAll() {
  CancelTransfers();
  CTaskManager<CSendVideoBlock>::CancelAll();
}

}  // namespace zerva
