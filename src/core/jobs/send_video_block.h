// The senders of a video's blocks: a pool of one to four threads, each with its own connection,
// that adapts to the service. Every answer says how many senders the service wants and how long
// one request should take; the pool follows the first when a sender ends and sizes the next
// requests by the second. The first sender error stops the pool.
#pragma once

#include <memory>
#include <string>

#include "app/message_target.h"
#include "jobs/tarvik_thread.h"
#include "jobs/task_base.h"
#include "jobs/task_manager.h"
#include "jobs/video_blocks.h"
#include "net/api_result.h"
#include "net/http_connect.h"

namespace zerva {

class CHttpMngr;
class CJobBase;
class CSendVideoBlockManager;

inline constexpr int kDefaultSenders = 2;
inline constexpr int kDefaultRequestTimeMs = 1000;
inline constexpr int kMaxRequestTimeMs = 100000;
inline constexpr int kBlockResends = 3;

// What every sender of one upload needs.
struct VideoSendContext {
  std::shared_ptr<CHttpMngr> connections;
  std::string userName;
  std::string userPass;
  int uploadID = 0;
  bool unknown = false;          // the "Unk" commands
  CancelFlag* cancel = nullptr;  // the caller's cancel indicator, relayed by the pool
  CJobBase* job = nullptr;       // may be absent
  MessageTarget* notifyWindow = nullptr;
  unsigned notifyMessage = kMsgTransferProgress;
};

// The adaptive values one answer carries, bounded: the request time within 1000..100000 ms
// (1000 when absent), the sender count only when it lies within 1..4 (else `previousThreads`).
struct SenderAdvice {
  int optimumRequestTime = kDefaultRequestTimeMs;
  int optimalNumThreads = kDefaultSenders;
};
SenderAdvice ReadSenderAdvice(const std::string& answer, int previousThreads);

// Blocks per request that make a request last about `optimumRequestTime`, 1..16. A lone header
// block or a request of 0 ms says nothing about the line's speed.
int SuggestBlocksPerRequest(bool loneHeader, bool succeeded, int64_t elapsedMs,
                            int optimumRequestTime);

class CSendVideoBlock : public CTaskBase,
                        public CTarvikThread,
                        public std::enable_shared_from_this<CSendVideoBlock> {
 public:
  CSendVideoBlock(CNextVideoDataVector blocks, std::shared_ptr<VideoUploadShared> shared,
                  std::shared_ptr<CSendVideoBlockManager> pool, VideoSendContext context,
                  double progress);
  ~CSendVideoBlock() override;

  // The task's state, not its thread's.
  using CTaskBase::IsRunning;

  bool StartTask() override;
  bool TaskStopRequested() const override { return StopRequested(); }
  void StopTask(int seconds) override;
  // Makes the request under way end with "cancelled by user".
  void CancelTransfer() { transferCancel_.store(true); }

  double ProgressValue() const { return progress_; }
  size_t BlockCount() const { return blockCount_; }
  const VideoSendContext& Context() const { return context_; }

 private:
  void ThreadMain();

  CNextVideoDataVector blocks_;
  size_t blockCount_;
  std::shared_ptr<VideoUploadShared> shared_;
  std::shared_ptr<CSendVideoBlockManager> pool_;
  VideoSendContext context_;
  double progress_;
  CancelFlag transferCancel_{false};
};

class CSendVideoBlockManager : public CTaskManager<CSendVideoBlock> {
 public:
  CSendVideoBlockManager(int threads, std::shared_ptr<VideoUploadShared> shared);

  int BlocksPerRequest() const;
  int InitialThreads() const { return initialThreads_; }
  int OptimumRequestTime() const;
  ApiResult Status() const;
  bool HasError() const { return !Status().Ok(); }

  // Called by every sender when it ends.
  void OnTaskDone(CSendVideoBlock* task, int blocksPerRequest, int optimalNumThreads,
                  int optimumRequestTime, const ApiResult& result);

  // Makes the requests under way end; used when the caller's cancel indicator is set.
  void CancelTransfers();
  // Stops running senders; the requests under way end at once.
  void CancelAll() override;

 private:
  std::shared_ptr<VideoUploadShared> shared_;
  int blocksPerRequest_ = 1;
  int initialThreads_;
  int optimumRequestTime_ = kDefaultRequestTimeMs;
  ApiResult status_;
};

}  // namespace zerva
