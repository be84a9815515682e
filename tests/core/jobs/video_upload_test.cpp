// Sending a video in blocks to zerva-server: block cutting, resends of refused blocks, resuming
// with the blocks the service holds, the senders following the service's advice, reading a file
// while "ffmpeg" still writes it, and the video jobs with a real ffmpeg.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "app/elements.h"
#include "core/media/video_fixtures.h"
#include "job_test_support.h"
#include "jobs/job_make_video.h"
#include "jobs/job_video_upload.h"
#include "jobs/send_video_block.h"
#include "jobs/upload_video_blocks.h"
#include "media/child_process.h"
#include "media/video_probe.h"
#include "model/photo.h"
#include "platform/md5.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using namespace std::chrono_literals;

std::string RandomBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return bytes;
}

// The blocks one NextVideoUpload request carried: index -> size.
using SentParts = std::vector<std::map<int, int64_t>>;

class VideoUploadTest : public test::PhotoJobTest {
 protected:
  void SetUp() override {
    test::PhotoJobTest::SetUp();
    Server().ClearLog();
  }
  VideoBlocksInput Input(const std::string& path, const std::string& name) {
    VideoBlocksInput in;
    in.path = path;
    in.fileName = name;
    in.userName = user_;
    in.userPass = PasswordDigest("secret");
    in.directory = "Trip";
    in.connections = manager_;
    in.openPauseMs = 0;
    in.pollMs = 20;
    in.cancel = &cancel_;
    return in;
  }
  ApiResult Send(const VideoBlocksInput& in, int64_t total = 0) {
    total_ = total > 0 ? total : std::max<int64_t>(1, std::filesystem::file_size(in.path));
    failed_ = false;
    return UploadVideoBlocks(in, *connection_, &total_, &failed_);
  }
  SentParts Requests(const std::string& command = "NextVideoUpload") const {
    SentParts out;
    for (const test::LoggedRequest& r : Server().LogOf(command)) {
      std::map<int, int64_t> parts;
      for (const test::LoggedField& f : r.fields) {
        if (f.isFile && f.name.rfind("data", 0) == 0) parts[std::stoi(f.name.substr(4))] = f.size;
      }
      out.push_back(parts);
    }
    return out;
  }
  std::vector<std::string> Md5sOf(const std::string& command = "NextVideoUpload") const {
    std::vector<std::string> out;
    for (const test::LoggedRequest& r : Server().LogOf(command)) {
      for (const test::LoggedField& f : r.fields) {
        if (f.isFile) out.push_back(f.md5);
      }
    }
    return out;
  }
  // The assembled file the service stored under `name`.
  std::string Stored(const std::string& name) const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Server().DataDir())) {
      if (entry.is_regular_file() && entry.path().filename() == name) {
        return test::ReadWholeFile(entry.path().string());
      }
    }
    return {};
  }

  CancelFlag cancel_{false};
  int64_t total_ = 0;
  bool failed_ = false;
};

TEST_F(VideoUploadTest, FileIsCutIntoBlocksOfAQuarterMebibyte) {
  const std::string exact = RandomBytes(262144, 1);
  const std::string onePlus = RandomBytes(262145, 2);
  ApiResult result = Send(Input(dir_.Write("exact.mp4", exact), "exact.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  SentParts sent = Requests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], (std::map<int, int64_t>{{0, 262144}}));

  Server().ClearLog();
  result = Send(Input(dir_.Write("oneplus.mp4", onePlus), "oneplus.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  std::map<int, int64_t> all;
  for (const auto& parts : Requests()) all.insert(parts.begin(), parts.end());
  EXPECT_EQ(all, (std::map<int, int64_t>{{0, 262144}, {1, 1}}));
  EXPECT_EQ(Stored("oneplus.jpg.mp4"), onePlus);
  ASSERT_EQ(Server().LogOf("EndVideoUpload").size(), 1u);
}

TEST_F(VideoUploadTest, RefusedBlockIsSentAgainAndTheUploadCompletes) {
  const std::string bytes = RandomBytes(3 * 262144 + 100, 3);
  const std::string refused = Md5Hex(bytes.substr(262144, 262144));
  ASSERT_TRUE(Server().RefuseBlock(refused, 2));
  const ApiResult result = Send(Input(dir_.Write("r.mp4", bytes), "r.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  const std::vector<std::string> md5s = Md5sOf();
  EXPECT_EQ(std::count(md5s.begin(), md5s.end(), refused), 3);
  EXPECT_EQ(Stored("r.jpg.mp4"), bytes);
}

TEST_F(VideoUploadTest, BlockNeverConfirmedFailsAfterThreeResendsThenResumes) {
  const std::string bytes = RandomBytes(4 * 262144, 4);
  const std::string path = dir_.Write("k.mp4", bytes);
  const std::string refused = Md5Hex(bytes.substr(2 * 262144, 262144));
  ASSERT_TRUE(Server().RefuseBlock(refused, 100));
  ApiResult result = Send(Input(path, "k.jpg"));
  ASSERT_FALSE(result.Ok());
  EXPECT_NE(result.message.find("NextVideoUpload: marne preposilani bloku"), std::string::npos)
      << result.message;
  EXPECT_FALSE(failed_);  // not a conversion failure
  const std::vector<std::string> first = Md5sOf();
  EXPECT_EQ(std::count(first.begin(), first.end(), refused), 4);  // one request, three resends
  EXPECT_TRUE(Server().LogOf("EndVideoUpload").empty());

  // The next run begins again; the service names the blocks it holds and only the missing one
  // goes out.
  ASSERT_TRUE(Server().ClearFaults());
  Server().ClearLog();
  result = Send(Input(path, "k.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(Md5sOf(), std::vector<std::string>{refused});
  EXPECT_EQ(Stored("k.jpg.mp4"), bytes);
  // The final list holds the service's texts of the held blocks too.
  const std::string end = Server().LogOf("EndVideoUpload").at(0).Field("blocks");
  EXPECT_EQ(GetElements(end, "block").size(), 4u);
}

TEST_F(VideoUploadTest, LongRequestTimeMakesRequestsCarryMoreBlocks) {
  ASSERT_TRUE(Server().SetConfig("optimumRequestTime", "100000"));
  const std::string bytes = RandomBytes(60 * 262144, 5);
  const ApiResult result = Send(Input(dir_.Write("m.mp4", bytes), "m.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  size_t most = 0;
  for (const auto& parts : Requests()) most = std::max(most, parts.size());
  EXPECT_GT(most, 1u);
  EXPECT_LE(most, 16u);
  EXPECT_EQ(Stored("m.jpg.mp4"), bytes);
}

TEST_F(VideoUploadTest, PartlyConfirmedRequestUsesUpNoResend) {
  // Block 50 travels with others; they are confirmed and it is refused four times. Only the
  // three passes that confirm nothing after the first count: the fifth request gets it through.
  ASSERT_TRUE(Server().SetConfig("optimumRequestTime", "100000"));
  const std::string bytes = RandomBytes(60 * 262144, 9);
  const std::string refused = Md5Hex(bytes.substr(50 * 262144, 262144));
  ASSERT_TRUE(Server().RefuseBlock(refused, 4));
  const ApiResult result = Send(Input(dir_.Write("p.mp4", bytes), "p.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  size_t carried = 0;
  std::vector<size_t> withIt;
  for (const auto& parts : Requests()) {
    if (parts.count(50)) withIt.push_back(parts.size());
    carried += parts.count(50);
  }
  ASSERT_EQ(carried, 5u);
  EXPECT_GT(withIt.front(), 1u) << "the block first went with others";
  for (size_t i = 1; i < withIt.size(); ++i) EXPECT_EQ(withIt[i], 1u) << "then alone";
  EXPECT_EQ(Stored("p.jpg.mp4"), bytes);
}

TEST_F(VideoUploadTest, ShortRequestTimeKeepsOneBlockPerRequestWhenRequestsAreSlow) {
  ASSERT_TRUE(Server().SetConfig("optimumRequestTime", "1000"));
  ASSERT_TRUE(Server().InjectFault("NextVideoUpload", "delay", 100, "1100"));
  const std::string bytes = RandomBytes(5 * 262144, 6);
  const ApiResult result = Send(Input(dir_.Write("s.mp4", bytes), "s.jpg"));
  ASSERT_TRUE(result.Ok()) << result.message;
  for (const auto& parts : Requests()) EXPECT_EQ(parts.size(), 1u);
}

// The pool alone: how many senders run follows the service's optimalNumThreads.
class SenderPoolTest : public VideoUploadTest {
 protected:
  int MostRunning(int threads, int tasks, int* blocksPerRequest) {
    EXPECT_TRUE(Server().SetConfig("optimalNumThreads", std::to_string(threads)));
    EXPECT_TRUE(Server().SetConfig("optimumRequestTime", "1500"));
    EXPECT_TRUE(Server().InjectFault("NextVideoUpload", "delay", 100, "300"));
    const ApiResult begun =
        connection_->BeginVideoUpload("pool.jpg", user_, PasswordDigest("secret"), "Trip", false);
    EXPECT_TRUE(begun.Ok()) << begun.message;
    auto shared = std::make_shared<VideoUploadShared>();
    auto pool = std::make_shared<CSendVideoBlockManager>(kDefaultSenders, shared);
    VideoSendContext context;
    context.connections = manager_;
    context.userName = user_;
    context.userPass = PasswordDigest("secret");
    context.uploadID = static_cast<int>(GetElementInt(begun.value, "uploadID"));
    for (int i = 0; i < tasks; ++i) {
      CNextVideoDataVector blocks;
      blocks.push_back(std::make_unique<CNextVideoData>(i + 1, RandomBytes(1000, i)));
      pool->AddTask(
          std::make_shared<CSendVideoBlock>(std::move(blocks), shared, pool, context, i * 10.0));
    }
    int most = 0;
    int waiting = 0, running = 0, finished = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    bool firstDone = false;
    do {
      pool->CountStates(&waiting, &running, &finished);
      if (finished > 0 && !firstDone) {
        firstDone = true;
        continue;  // the next count is the first under the service's advice
      }
      if (firstDone) most = std::max(most, running);
      std::this_thread::sleep_for(5ms);
    } while (finished < tasks && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(finished, tasks);
    EXPECT_TRUE(pool->Status().Ok()) << pool->Status().message;
    std::lock_guard<std::recursive_mutex> guard(shared->lock);
    EXPECT_EQ(shared->sentBlocks.size(), static_cast<size_t>(tasks));
    *blocksPerRequest = pool->BlocksPerRequest();
    pool->Clear();
    return most;
  }
};

TEST_F(SenderPoolTest, ServiceChoosesOneToFourSenders) {
  int blocks = 0;
  EXPECT_LE(MostRunning(1, 8, &blocks), 1);
  // 1500 ms wanted, about 300 ms taken: about four blocks per request.
  EXPECT_GE(blocks, 3);
  EXPECT_LE(blocks, 5);
  EXPECT_EQ(MostRunning(3, 12, &blocks), 3);
  EXPECT_EQ(MostRunning(4, 16, &blocks), 4);
}

TEST_F(SenderPoolTest, FirstErrorAbortsThePool) {
  ASSERT_TRUE(Server().SetConfig("optimalNumThreads", "1"));
  auto shared = std::make_shared<VideoUploadShared>();
  auto pool = std::make_shared<CSendVideoBlockManager>(1, shared);
  VideoSendContext context;
  context.connections = manager_;
  context.userName = user_;
  context.userPass = PasswordDigest("secret");
  context.uploadID = 999999;  // no such upload: every request is refused
  for (int i = 0; i < 3; ++i) {
    CNextVideoDataVector blocks;
    blocks.push_back(std::make_unique<CNextVideoData>(i, "x"));
    pool->AddTask(std::make_shared<CSendVideoBlock>(std::move(blocks), shared, pool, context, 0));
  }
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (pool->CountRunning(true) > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(pool->Status().Ok());
  EXPECT_TRUE(pool->IsAborted());
  int waiting = 0, running = 0, finished = 0;
  pool->CountStates(&waiting, &running, &finished);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(waiting, 2);
  // Four requests: the first and three resends, none confirming anything.
  EXPECT_EQ(Server().LogOf("NextVideoUpload").size(), 4u);
  pool->Clear();
}

// A stand-in for the background ffmpeg: writes the file in steps with a zeroed header first and
// the real header at the end.
class GrowingFileTest : public VideoUploadTest {
 protected:
  std::string Script(const std::string& source, const std::string& out, int exitCode) {
    return test::WriteScript(
        dir_.File("writer.sh"),
        "head -c 48 /dev/zero > '" + out + "'\nsleep 0.3\n" + "tail -c +49 '" + source +
            "' | head -c 300000 >> '" + out + "'\nsleep 0.4\n" + "tail -c +300049 '" + source +
            "' >> '" + out + "'\nsleep 0.3\n" + "dd if='" + source + "' of='" + out +
            "' bs=48 count=1 conv=notrunc 2>/dev/null\nexit " + std::to_string(exitCode));
  }
};

TEST_F(GrowingFileTest, HeaderGoesFirstAndAgainWhenTheWriterIsDone) {
  const std::string bytes = RandomBytes(700000, 7);
  const std::string source = dir_.Write("source.bin", bytes);
  const std::string out = dir_.File("growing.mp4");
  ChildProcess writer(true);
  ASSERT_TRUE(writer.Start(Script(source, out, 0), true));
  std::string output;
  VideoBlocksInput in = Input(out, "growing.jpg");
  in.ffmpeg = &writer;
  in.ffmpegOutput = &output;
  const ApiResult result = Send(in, 1000);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_FALSE(failed_);
  EXPECT_EQ(total_, 700000);
  const SentParts sent = Requests();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent.front(), (std::map<int, int64_t>{{0, 48}}));
  EXPECT_EQ(sent.back(), (std::map<int, int64_t>{{0, 48}}));
  const std::vector<std::string> md5s = Md5sOf();
  EXPECT_EQ(md5s.front(), Md5Hex(std::string(48, '\0')));
  EXPECT_EQ(md5s.back(), Md5Hex(bytes.substr(0, 48)));
  // Block 1 starts at byte 48.
  EXPECT_EQ(md5s[1], Md5Hex(bytes.substr(48, 262144)));
  EXPECT_EQ(Stored("growing.jpg.mp4"), bytes);
}

TEST_F(GrowingFileTest, WriterFailingIsAConversionFailure) {
  const std::string source = dir_.Write("source.bin", RandomBytes(400000, 8));
  const std::string out = dir_.File("failing.mp4");
  ChildProcess writer(true);
  ASSERT_TRUE(writer.Start(Script(source, out, 3), true));
  VideoBlocksInput in = Input(out, "failing.jpg");
  in.ffmpeg = &writer;
  const ApiResult result = Send(in, 1000);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "GetVideoSize: ffmpeg exit code 3");
  EXPECT_TRUE(failed_);
  EXPECT_TRUE(Server().LogOf("EndVideoUpload").empty());
}

TEST_F(VideoUploadTest, MissingFileFailsWithTheSystemText) {
  const ApiResult result = Send(Input(dir_.File("missing.mp4"), "missing.jpg"), 10);
  EXPECT_FALSE(result.Ok());
  EXPECT_NE(result.message.find("Read video " + dir_.File("missing.mp4") + ", failed: "),
            std::string::npos);
}

// The two video jobs with the installed ffmpeg.
class VideoJobTest : public VideoUploadTest {
 protected:
  void SetUp() override {
    VideoUploadTest::SetUp();
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    source_ = test::TestVideo("h264_aac.mp4");
    ASSERT_FALSE(source_.empty());
    item_.isVideo = true;
    item_.localPath = dir_.Write("clip.mp4", test::ReadWholeFile(source_));
    ASSERT_TRUE(Probe(item_.video, item_.localPath));
    item_.video.videoChanged = true;
  }
  std::unique_ptr<CJobVideoUpload> UploadJob(bool convertWhileUploading) {
    auto job = std::make_unique<CJobVideoUpload>(session_.get(), manager_,
                                                 dir_.File("out/clip.mp4"), "Trip", albumId_,
                                                 &item_, convertWhileUploading, 640, VideoLimits{});
    job->SetPauses(0, 50);
    job->SetNotify(&window_, kMsgTransferProgress);
    job->SetRange(0.0, 50.0);
    return job;
  }
  void ExpectStoredVideo() {
    const std::string stored = Stored("clip.jpg.mp4");
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(static_cast<int64_t>(stored.size()), item_.videoSize);
    EXPECT_GT(item_.video.vbitrate, 0);
    EXPECT_GT(item_.video.duration, 1.0);
    const std::string copy = dir_.Write("stored.mp4", stored);
    ConvertedFacts facts;
    EXPECT_TRUE(CheckConvertedVideo(copy, &facts));
    // The video settings at End carry the converted file's bit rate.
    const std::string setting = Server().LogOf("EndVideoUpload").at(0).Field("videoSetting");
    EXPECT_EQ(GetElement(setting, "vbitrate"), std::to_string(item_.video.vbitrate));
  }

  std::string source_;
  CPhoto item_;
  test::RecordingWindow window_;
};

TEST_F(VideoJobTest, ConvertWhileUploading) {
  auto job = UploadJob(true);
  EXPECT_EQ(job->Kind(), kJobKindVideoUpload);
  EXPECT_EQ(job->Weight(), std::max<int>(20, std::filesystem::file_size(source_) / 1024));
  const ApiResult result = job->Run(&cancel_);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_FALSE(job->ConversionFailed());
  const SentParts sent = Requests();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent.front(), (std::map<int, int64_t>{{0, 48}}));
  EXPECT_EQ(sent.back(), (std::map<int, int64_t>{{0, 48}}));
  ExpectStoredVideo();
  EXPECT_EQ(Stored("clip.jpg.mp4"), test::ReadWholeFile(dir_.File("out/clip.mp4")));
  EXPECT_EQ(Server().LogOf("BeginVideoUpload").at(0).Field("fileName"), "clip.jpg");
}

TEST_F(VideoJobTest, ConvertFirstThenUpload) {
  CJobMakeVideo make(&item_, item_.localPath, dir_.File("out/clip.mp4"), 640, VideoLimits{});
  EXPECT_EQ(make.Kind(), kJobKindMakeVideo);
  EXPECT_EQ(make.Weight(), 100);
  ASSERT_TRUE(make.Run(&cancel_).Ok());
  ASSERT_TRUE(std::filesystem::exists(dir_.File("out/clip.mp4")));
  auto job = UploadJob(false);
  const ApiResult result = job->Run(&cancel_);
  ASSERT_TRUE(result.Ok()) << result.message;
  for (const auto& parts : Requests()) EXPECT_NE(parts.begin()->second, 48);
  ExpectStoredVideo();
  EXPECT_EQ(Stored("clip.jpg.mp4"), test::ReadWholeFile(dir_.File("out/clip.mp4")));
}

TEST_F(VideoJobTest, UnconvertibleVideoIsAConversionFailure) {
  item_.localPath = dir_.Write("bad.mp4", test::ReadWholeFile(test::TestVideo("garbage.mp4")));
  item_.video.sourcePath = item_.localPath;
  auto job = UploadJob(true);
  const ApiResult result = job->Run(&cancel_);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message,
            "Nepodarilo se nahrat video soubor \"" + dir_.File("out/clip.mp4") + "\"");
  EXPECT_TRUE(job->ConversionFailed());
  EXPECT_TRUE(Server().LogOf("EndVideoUpload").empty());
}

TEST_F(VideoJobTest, OnlyTheThumbnailPositionIsSent) {
  item_.video.videoChanged = false;
  item_.video.RefreshDateTime();
  ASSERT_FALSE(item_.video.SourceChanged());
  item_.video.thumbpos = 1.25;
  item_.photoID = 42;
  auto job = UploadJob(true);
  job->Run(&cancel_);
  std::vector<std::string> commands;
  for (const test::LoggedRequest& r : Server().Log()) commands.push_back(r.Command());
  EXPECT_EQ(commands, std::vector<std::string>{"SetVideoThumbPos"});
  const test::LoggedRequest call = Server().LogOf("SetVideoThumbPos").at(0);
  EXPECT_EQ(call.Field("photoID"), "42");
  EXPECT_TRUE(call.Field("thumbPos") == "1.2" || call.Field("thumbPos") == "1.3")
      << call.Field("thumbPos");
}

}  // namespace
}  // namespace zerva
