// zerva-cli uploading videos to zerva-server, both as real processes: a folder with a video
// arrives with the video converted while it is sent, and a run killed in the middle of a video is
// completed by the next, which sends only the blocks the service does not hold.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "app/elements.h"
#include "app/text_utils.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "core/media/video_fixtures.h"
#include "jobs/upload_video_blocks.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;
using zerva::cli::kExitOk;

class VideoE2eTest : public SharedServerTest {
 protected:
  void SetUp() override {
    SharedServerTest::SetUp();
    if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    cli_ = std::make_unique<CliInstall>(Server().UploadRoot());
    userId_ = Server().CreateTestUser("v", &user_);
    ASSERT_GT(userId_, 0);
    Server().ClearLog();
  }

  std::string Folder() const { return TrimEndChars(folder_.Path(), "/"); }
  std::vector<std::string> UploadArgs(std::vector<std::string> options) const {
    std::vector<std::string> args = {"-usr", user_, "-pwd", "secret", "upload", Folder()};
    args.insert(args.end(), options.begin(), options.end());
    return args;
  }
  CliRun Upload(std::vector<std::string> options = {}) const {
    return cli_->Run(UploadArgs(std::move(options)));
  }
  pid_t StartUpload(const std::vector<std::string>& options, const std::string& log) const {
    return cli_->Start(UploadArgs(options), log);
  }
  // The stored videos of the user: file name -> bytes.
  std::map<std::string, std::string> StoredVideos() const {
    std::map<std::string, std::string> out;
    const std::string root = Server().DataDir() + "data/files/" + std::to_string(userId_) + "/";
    if (!DirectoryExists(root)) return out;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_regular_file() && entry.path().parent_path().filename() == "video") {
        out[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
      }
    }
    return out;
  }
  // index:md5 of every block part that reached the service intact.
  std::set<std::string> BlocksArrived() const {
    std::set<std::string> out;
    for (const LoggedRequest& r : Server().LogOf("NextVideoUpload")) {
      if (r.status != 200) continue;
      for (const LoggedField& f : r.fields) {
        if (f.isFile) out.insert(f.name + ":" + f.md5);
      }
    }
    return out;
  }
  // A video of `seconds` with plenty of detail, so the converted file has many blocks.
  std::string LongVideo(const std::string& name, int seconds) {
    const std::string path = folder_.File(name);
    const std::string command =
        "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=size=640x480:rate=25 -f lavfi -i "
        "sine=frequency=440:sample_rate=44100 -t " +
        std::to_string(seconds) + " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac '" +
        path + "'";
    return std::system(command.c_str()) == 0 ? path : std::string();
  }

  std::unique_ptr<CliInstall> cli_;
  std::string user_;
  int64_t userId_ = 0;
  TempDir folder_;
};

TEST_F(VideoE2eTest, AFolderWithAVideoUploadsWithConversionWhileSending) {
  PhotoFile(folder_, "p1.jpg", 320, 240, 90, 1);
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  std::filesystem::copy_file(clip, folder_.File("clip.mp4"));
  const CliRun run = Upload({"--name", "Clips"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.err.find("\nprogress 100% elapsed "), std::string::npos) << run.err;

  const std::map<std::string, std::string> videos = StoredVideos();
  ASSERT_EQ(videos.size(), 1u);
  const std::string stored = folder_.Write("stored.mp4", videos.begin()->second);
  ConvertedFacts facts;
  EXPECT_TRUE(CheckConvertedVideo(stored, &facts));
  EXPECT_GT(facts.duration, 1.5);
  // Converted while sent: the header went first, alone, and once more at the end.
  const std::vector<LoggedRequest> next = Server().LogOf("NextVideoUpload");
  ASSERT_GE(next.size(), 2u);
  auto loneHeader = [](const LoggedRequest& r) {
    const LoggedField* header = r.Find("data0");
    return header != nullptr && header->size == 48 &&
           GetElements(r.Field("blocks"), "block").size() == 1;
  };
  // The first two senders start together, so either may arrive first.
  EXPECT_TRUE(loneHeader(next[0]) || loneHeader(next[1]));
  EXPECT_TRUE(loneHeader(next.back()));
  ASSERT_EQ(Server().LogOf("EndVideoUpload").size(), 1u);
  // The album ended its upload mark after the check.
  const std::vector<LoggedRequest> cleared = Server().LogOf("SetAlbumUploading");
  ASSERT_FALSE(cleared.empty());
  EXPECT_EQ(cleared.back().Field("uploading"), "0");
}

TEST_F(VideoE2eTest, ConvertedFirstTheVideoGoesUpWithoutTheHeaderSentTwice) {
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  std::filesystem::copy_file(clip, folder_.File("clip.mp4"));
  const CliRun run = Upload({"--convert-first"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::map<std::string, std::string> videos = StoredVideos();
  ASSERT_EQ(videos.size(), 1u);
  ConvertedFacts facts;
  EXPECT_TRUE(CheckConvertedVideo(folder_.Write("stored.mp4", videos.begin()->second), &facts));
  // A finished file is cut from its first byte: no lone 48-byte header block.
  for (const LoggedRequest& r : Server().LogOf("NextVideoUpload")) {
    const LoggedField* first = r.Find("data0");
    if (first != nullptr) {
      EXPECT_NE(first->size, 48) << "a header block was sent alone";
    }
  }
  EXPECT_EQ(Server().LogOf("EndVideoUpload").size(), 1u);
}

TEST_F(VideoE2eTest, ARunKilledDuringAVideoIsCompletedWithTheMissingBlocksOnly) {
  ASSERT_FALSE(LongVideo("long.mp4", 20).empty());
  // Slow block requests, so the kill finds the video half sent.
  ASSERT_TRUE(Server().InjectFault("NextVideoUpload", "delay", 1000, "250"));
  const std::string log = cli_->Home().Path() + "killed.log";
  const pid_t pid = StartUpload({"--no"}, log);
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + 120s;
  while (BlocksArrived().size() < 4 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
  }
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_GE(BlocksArrived().size(), 4u) << ReadWholeFile(log);
  ASSERT_TRUE(Server().LogOf("EndVideoUpload").empty()) << "killed too late";
  std::this_thread::sleep_for(500ms);  // requests under way when the client died
  const std::set<std::string> before = BlocksArrived();

  ASSERT_TRUE(Server().ClearFaults());
  Server().ClearLog();
  const CliRun resumed = Upload();
  ASSERT_EQ(resumed.status, kExitOk) << resumed.err;
  const std::set<std::string> after = BlocksArrived();
  ASSERT_FALSE(after.empty());
  for (const std::string& block : after) EXPECT_FALSE(before.count(block)) << block;
  const std::map<std::string, std::string> videos = StoredVideos();
  ASSERT_EQ(videos.size(), 1u);
  ConvertedFacts facts;
  EXPECT_TRUE(CheckConvertedVideo(folder_.Write("stored.mp4", videos.begin()->second), &facts));
  EXPECT_GT(facts.duration, 19.0);
}

TEST_F(VideoE2eTest, AVideoFfmpegCannotConvertGoesUpAsItsOriginalAfterTheQuestion) {
  // The program folder's ffmpeg describes files but refuses to convert them.
  const std::string programFolder = FolderOfPath(cli_->Executable()) + "/";
  WriteScript(programFolder + "ffmpeg",
              "for a in \"$@\"; do [ \"$a\" = libx264 ] && exit 1; done\nexec ffmpeg \"$@\"");
  WriteFileAtomic(programFolder + "ffmpeg.ver", "5.1\n");
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  std::filesystem::copy_file(clip, folder_.File("odd.mp4"));
  // Unattended: a few runs again, then the originals are offered and --yes accepts.
  const CliRun run =
      cli_->Run({"-usr", user_, "-pwd", "secret", "--yes", "-lbl", "Odd", folder_.File("odd.mp4")});
  EXPECT_TRUE(StoredVideos().empty());
  const std::vector<LoggedRequest> accepted = Server().LogOf("AcceptUnkVideoUpload");
  ASSERT_EQ(accepted.size(), 1u) << run.err;
  EXPECT_EQ(accepted[0].Field("reason"), "encoder");
  EXPECT_EQ(accepted[0].Field("fileSize"), std::to_string(FileSize(clip)));
  ASSERT_EQ(Server().LogOf("EndUnkVideoUpload").size(), 1u) << run.err;
  // The original's progress window is shown as lines on the terminal, and the run waits for it.
  EXPECT_NE(run.err.find("Sending the original video"), std::string::npos) << run.err;
  EXPECT_TRUE(Server().LogOf("EndVideoUpload").empty());
  bool stored = false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Server().DataDir())) {
    if (entry.is_regular_file() && entry.path().string().find("originals") != std::string::npos) {
      stored = ReadWholeFile(entry.path().string()) == ReadWholeFile(clip);
    }
  }
  EXPECT_TRUE(stored);
}

}  // namespace
}  // namespace zerva::test
