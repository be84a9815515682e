#include "jobs/upload_video_blocks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <thread>

#include "app/elements.h"
#include "app/trace.h"
#include "jobs/job_base.h"
#include "jobs/job_upload.h"
#include "jobs/send_video_block.h"
#include "jobs/video_blocks.h"
#include "media/child_process.h"
#include "media/probe_output.h"
#include "media/video_probe.h"
#include "model/photo.h"
#include "model/xml_fields.h"
#include "model/zerva_video.h"
#include "platform/fs.h"
#include "platform/system_error.h"

namespace zerva {

namespace {

class ReadFile {
 public:
  ~ReadFile() { Close(); }
  bool Open(const std::string& path) {
    fd_ = OpenRegularFile(path);
    return fd_ >= 0;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // -1 on failure.
  int64_t Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
  }
  // Reads up to `count` bytes at `offset`, as many as there are; -1 on failure.
  int64_t ReadAt(char* buffer, int64_t count, int64_t offset) const {
    int64_t done = 0;
    while (done < count) {
      const ssize_t n = ::pread(fd_, buffer + done, static_cast<size_t>(count - done),
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      done += n;
    }
    return done;
  }

  // Reads up to `count` bytes at `offset` into blocks of kVideoBlockSize (the last shorter);
  // the bytes read, or -1 on failure.
  int64_t ReadBlocks(int64_t count, int64_t offset, std::vector<std::string>* blocks) const {
    blocks->clear();
    int64_t done = 0;
    while (done < count) {
      std::string block(static_cast<size_t>(std::min(kVideoBlockSize, count - done)), '\0');
      const int64_t got = ReadAt(block.data(), static_cast<int64_t>(block.size()), offset + done);
      if (got < 0) return -1;
      block.resize(static_cast<size_t>(got));
      if (got > 0) blocks->push_back(std::move(block));
      done += got;
      if (got < kVideoBlockSize) break;
    }
    return done;
  }

 private:
  int fd_ = -1;
};

// What the background ffmpeg has written so far.
struct Growth {
  bool running = true;
  int64_t available = 0;
};

ApiResult Fail(const std::string& message) {
  Trace(kTraceError, 0, "%s", message.c_str());
  return ApiResult::Failure(message);
}

// Waits until `wanted` bytes beyond `position` exist or ffmpeg has ended. False with `error` set
// when ffmpeg failed, stalled, or the file cannot be queried.
bool WaitForVideoData(const VideoBlocksInput& in, const ReadFile& file, int64_t position,
                      int64_t wanted, Growth* growth, int64_t* total, std::string* error) {
  int64_t previous = -1;
  int rounds = 0;
  while (true) {
    int exitCode = kStillActive;
    const std::string output = in.ffmpeg->ReadOutput(false, &exitCode);
    if (in.ffmpegOutput != nullptr) in.ffmpegOutput->append(output);
    const int64_t size = file.Size();
    if (size < 0) {
      *error = "GetVideoSize failed: " + WindowsErrorText(errno);
      return false;
    }
    if (exitCode != kStillActive) {
      in.ffmpeg->Close();
      growth->running = false;
      *total = size;
      if (exitCode != 0) {
        *error = "GetVideoSize: ffmpeg exit code " + std::to_string(exitCode);
        return false;
      }
    } else if (size > *total) {
      *total = size;
    }
    growth->available = size - position;
    Trace(kTraceNotice, 0, "Background FFMPEG: file %d, available %d, status %d",
          static_cast<int>(size), static_cast<int>(growth->available), exitCode);
    if (growth->available >= wanted || !growth->running) return true;
    if (growth->available > previous) {
      rounds = 0;
      previous = growth->available;
    }
    Trace(kTraceNotice, 0, "Only %d bytes available (%d requested), sleeping\n",
          static_cast<int>(growth->available), static_cast<int>(wanted));
    SleepUnlessCancelled(in.pollMs, in.cancel);
    if (in.cancel != nullptr && in.cancel->load()) {
      *error = "cancelled by user";
      return false;
    }
    if (++rounds >= kVideoGrowthRounds) {
      *error = "GetVideoSize: timeout";
      return false;
    }
  }
}

bool Cancelled(const VideoBlocksInput& in) {
  return in.cancel != nullptr && in.cancel->load();
}

// Waits while as many send tasks wait as may run; false when cancelled.
bool WaitForQueueRoom(CSendVideoBlockManager& pool, CancelFlag* cancel) {
  int waiting = 0, running = 0, finished = 0;
  while (!pool.HasError() && !pool.IsAborted()) {
    if (cancel != nullptr && cancel->load()) return false;
    pool.CountStates(&waiting, &running, &finished);
    if (waiting < std::max(1, pool.GetMaxRunning())) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Waits while senders run or wait to run, unless the pool failed.
void WaitForSenders(CSendVideoBlockManager& pool, int pollMs) {
  int waiting = 0, running = 0, finished = 0;
  while (!pool.HasError()) {
    pool.CountStates(&waiting, &running, &finished);
    if (running == 0 && (waiting == 0 || pool.IsAborted())) return;
    SleepUnlessCancelled(std::min(pollMs, 50), nullptr);
  }
}

}  // namespace

bool CheckConvertedVideo(const std::string& path, ConvertedFacts* facts) {
  std::string output;
  CZervaVideo probed;
  if (!RunProbe(path, &output) || !ParseProbeOutput(output, &probed)) return false;
  facts->duration = probed.durationSrc;
  facts->begin = probed.begin;
  facts->vbitrate = probed.vbitrateSrc;
  facts->abitrate = probed.abitrateSrc;
  return facts->vbitrate != 0;
}

ApiResult UploadVideoBlocks(const VideoBlocksInput& in, CHttpConnect& connection,
                            int64_t* totalSize, bool* conversionFailed) {
  const double start = in.job ? in.job->RangeStart() : 0.0;
  const double end = in.job ? in.job->RangeEnd() : 100.0;
  const bool background = in.ffmpeg != nullptr;

  ApiResult result = connection.BeginVideoUpload(
      in.fileName, in.userName, in.userPass, in.unknown ? std::string() : in.directory, in.unknown);
  if (!result.Ok()) return result;
  const int uploadID = ElementInt32(result.value, "uploadID");
  const BlockMap serverBlocks = ServerBlockMap(GetElement(result.value, "blocks"));

  SleepUnlessCancelled(in.openPauseMs, in.cancel);
  ReadFile file;
  for (int attempt = 0; !file.Open(in.path); ++attempt) {
    const int openError = errno;
    int exitCode = kStillActive;
    const bool ffmpegRuns =
        background && in.ffmpeg->GetExitCode(&exitCode) && exitCode == kStillActive;
    if (!ffmpegRuns || attempt + 1 >= kVideoOpenRetries || Cancelled(in)) {
      const std::string error = WindowsErrorText(openError);
      // ffmpeg that gave up before writing anything could not convert the video: that makes it
      // a candidate for sending the original.
      if (background && exitCode != kStillActive && exitCode != 0) *conversionFailed = true;
      return Fail("Read video " + in.path + ", failed: " + error);
    }
    TraceText(kTraceNotice, "ffmpeg output (" + in.path + ") unavailable, sleeping");
    SleepUnlessCancelled(in.pollMs, in.cancel);
  }

  auto shared = std::make_shared<VideoUploadShared>();
  auto pool = std::make_shared<CSendVideoBlockManager>(in.senders, shared);
  VideoSendContext context;
  context.connections = in.connections;
  context.userName = in.userName;
  context.userPass = in.userPass;
  context.uploadID = uploadID;
  context.unknown = in.unknown;
  context.cancel = in.cancel;
  context.job = in.job;
  context.notifyWindow = in.notifyWindow;
  context.notifyMessage = in.notifyMessage;

  // The round's bytes, read straight into the blocks that carry them (at most 16 blocks, the
  // 4 MiB read buffer).
  std::vector<std::string> pieces;
  int64_t position = 0;
  int nextIndex = 0;
  int blocksWanted = 1;
  bool headerReread = false;
  Growth growth;
  growth.running = background;
  bool failed = false;

  while (true) {
    // Reading ahead of the senders would hold the whole file in memory, and every request
    // would be sized before the service's first advice arrived.
    if (!WaitForQueueRoom(*pool, in.cancel)) {
      pool->CancelTransfers();
      result = ApiResult::Failure("cancelled by user");
      failed = true;
      break;
    }
    blocksWanted = pool->BlocksPerRequest();
    int64_t wanted = blocksWanted * kVideoBlockSize;
    if (background && nextIndex == 0) wanted = kVideoHeaderBlock;
    if (background && growth.running) {
      std::string error;
      if (!WaitForVideoData(in, file, position, wanted, &growth, totalSize, &error)) {
        result = Fail(error);
        *conversionFailed = error != "cancelled by user";
        failed = true;
        break;
      }
    }
    if (*conversionFailed) {
      failed = true;
      break;
    }
    const int64_t limit = growth.running ? std::min(wanted, growth.available) : wanted;
    const int64_t got = file.ReadBlocks(limit, position, &pieces);
    if (got < 0) {
      const std::string error = WindowsErrorText(errno);
      Trace(kTraceError, 0, "Read mp4 video failed: %s\n", error.c_str());
      result = ApiResult::Failure("Read mp4 video failed: " + error);
      failed = true;
      break;
    }
    if (growth.running && got < limit) {
      const std::string error = WindowsErrorText(errno);
      Trace(kTraceError, 0, "Read shared mp4 video failed: %s\n", error.c_str());
      result = ApiResult::Failure("Read shared mp4 video failed: " + error);
      failed = true;
      break;
    }
    if (got == 0) {
      if (!background || headerReread) break;
      // ffmpeg has finished and filled in the header: send it once more.
      position = 0;
      nextIndex = 0;
      headerReread = true;
      continue;
    }
    const double progress =
        *totalSize > 0 ? std::min(end, start + (end - start) * static_cast<double>(position + got) /
                                                   static_cast<double>(*totalSize))
                       : start;
    position += got;
    if (headerReread && nextIndex == 0) position = file.Size();

    CNextVideoDataVector blocks;
    int cut = 0;
    for (int64_t offset = 0; offset < got; offset += kVideoBlockSize, ++cut) {
      const int64_t size = std::min(kVideoBlockSize, got - offset);
      const int index = nextIndex + cut;
      Trace(kTraceNotice, 0, "Read mp4 video: block %d, %d bytes\n", index, static_cast<int>(size));
      auto block = std::make_unique<CNextVideoData>(index, std::move(pieces[cut]));
      const auto held = serverBlocks.find(index);
      BlockFacts facts;
      if (held != serverBlocks.end() && ParseBlockFacts(held->second, &facts) &&
          facts.size == size && facts.md5 == block->md5) {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        shared->sentBlocks[index] = held->second;
      } else {
        blocks.push_back(std::move(block));
      }
    }
    if (headerReread && !blocks.empty()) {
      // The first header may still be on its way (or being resent): were it to arrive after
      // this one, the service would keep the unfinished header and both lists would agree.
      WaitForSenders(*pool, in.pollMs);
    }
    if (!blocks.empty()) {
      pool->AddTask(
          std::make_shared<CSendVideoBlock>(std::move(blocks), shared, pool, context, progress));
    } else if (in.job != nullptr) {
      in.job->SetProgressValue(progress);
    }
    if (pool->HasError()) {
      result = ApiResult::Failure(pool->Status().message);
      Trace(kTraceError, 0, "JobVideoUpload: SendVideoBlockManager reports error: %s\n",
            result.message.c_str());
      failed = true;
      break;
    }
    if (Cancelled(in)) {
      pool->CancelTransfers();
      result = ApiResult::Failure("cancelled by user");
      failed = true;
      break;
    }
    nextIndex += cut;
    blocksWanted = pool->BlocksPerRequest();
  }
  file.Close();

  int waiting = 0, running = 0, finished = 0;
  while (!failed && !pool->HasError()) {
    pool->CountStates(&waiting, &running, &finished);
    // A finished sender starts the next waiting one just after it is counted as finished.
    if (running == 0 && (waiting == 0 || pool->IsAborted())) break;
    Trace(kTraceNotice, 0,
          "Sending Video Blocks (%d waiting, %d running, %d finished), nBlocks %d, nThreads %d",
          waiting, running, finished, pool->BlocksPerRequest(), pool->InitialThreads());
    if (Cancelled(in)) pool->CancelTransfers();
    SleepUnlessCancelled(in.pollMs, nullptr);
  }
  if (!failed) result = pool->Status();
  if (pool->CountRunning(true) > 0) pool->CancelAll();
  pool->Clear();  // the senders hold the pool; this ends the cycle
  if (!result.Ok()) failed = true;

  CPhoto* item = in.item;
  std::string videoXml = in.videoXml;
  if (!failed && item != nullptr && item->IsVideo()) {
    ConvertedFacts facts;
    if (!CheckConvertedVideo(in.path, &facts)) {
      result = Fail(
          "Video: Kontrola po konverzi selhala (bitrate video = " + std::to_string(facts.vbitrate) +
          " kB/s, bitrate audio = " + std::to_string(facts.abitrate) + " kB/s)");
      failed = true;
    } else {
      item->video.vbitrate = facts.vbitrate;
      item->video.abitrate = facts.abitrate;
      item->video.duration = facts.duration;
      videoXml = item->video.WriteVideoXml();
    }
  }
  if (failed) return result;

  BlockMap sent;
  {
    std::lock_guard<std::recursive_mutex> guard(shared->lock);
    sent = shared->sentBlocks;
  }
  result = connection.EndVideoUpload(uploadID, in.userName, in.userPass, BlockListXml(sent),
                                     videoXml, in.unknown);
  if (result.Ok()) {
    const std::string listed = GetElement(result.value, "blocks");
    if (!FinalBlocksMatch(listed, sent)) {
      Trace(kTraceError, 0, "EndVideoUpload: kontrola bloku nesouhlasi: %s\n", listed.c_str());
      result = ApiResult::Failure("EndVideoUpload: kontrola bloku nesouhlasi");
    }
  }
  return result;
}

}  // namespace zerva
