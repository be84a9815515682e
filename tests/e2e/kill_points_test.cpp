// zerva-cli killed with SIGKILL at moments drawn from a seed while it uploads photos and a video
// to zerva-server, then run once more to the end: the service holds one album, every file once
// and whole (the photos decode and match a clean upload, the video decodes to the end), and the
// uploading mark is cleared.
//
//   ZERVA_KILL_POINTS   how many kills (default 3, at most 500; at most three times as many
//                       moments are drawn)
//   ZERVA_KILL_SEED     the seed (default: from the clock); printed either way
//   ZERVA_KILL_SECONDS  no new round starts after this many seconds (default 30); the first
//                       always does
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "album_on_service.h"
#include "app/elements.h"
#include "app/text_utils.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "core/media/video_fixtures.h"
#include "media/image_load.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "platform/tools.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using zerva::cli::kExitOk;

long long EnvNumber(const char* name, long long fallback, long long low, long long high) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (*end != '\0' || value < low || value > high) {
    ADD_FAILURE() << name << "=" << text << " is not a number from " << low << " to " << high;
    return fallback;
  }
  return value;
}

double SecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

class KillPointsTest : public SharedServerTest {
 protected:
  static void SetUpTestSuite() { StartServer(false); }

  void SetUp() override {
    SharedServerTest::SetUp();
    if (!HaveFfmpeg() || FindOnPath("ffprobe").empty()) GTEST_SKIP() << "no ffmpeg or ffprobe";
    // Photos large enough to take a moment to prepare and send, and a video converted while it
    // is sent.
    for (int i = 1; i <= 4; ++i) {
      PhotoFile(folder_, "p" + std::to_string(i) + ".jpg", 1600, 1200, 92, i);
    }
    const std::string clip = TestVideo("h264_aac.mp4");
    ASSERT_FALSE(clip.empty());
    std::filesystem::copy_file(clip, folder_.File("clip.mp4"));
  }

  TestAccount NewAccount() const {
    const TestAccount account = NewTestAccount(Server(), "kill");
    EXPECT_GT(account.id, 0);
    return account;
  }
  std::vector<std::string> UploadArgs(const TestAccount& account) const {
    return {"-usr", account.name, "-pwd", "secret", "upload", TrimEndChars(folder_.Path(), "/"),
            "--yes"};
  }

  // Starts an upload and kills it after `after` unless it ended first; true when it was killed.
  static bool RunAndKill(const CliInstall& cli, const std::vector<std::string>& args,
                         std::chrono::microseconds after, const std::string& log) {
    const pid_t pid = cli.Start(args, log);
    EXPECT_GT(pid, 0);
    if (pid <= 0) return false;
    const Clock::time_point deadline = Clock::now() + after;
    int status = 0;
    while (Clock::now() < deadline) {
      if (::waitpid(pid, &status, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(2ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
  }

  // The album of a clean upload, against which every killed one is compared.
  struct Reference {
    double seconds = 0;
    std::vector<std::string> items;
    StoredFiles files;
    int videoFrames = 0;
  };
  Reference CleanUpload() {
    Reference reference;
    const TestAccount account = NewAccount();
    CliInstall cli(Server().UploadRoot());
    const Clock::time_point start = Clock::now();
    const CliRun run = cli.Run(UploadArgs(account), CliStdin::kDevNull, "", 120);
    reference.seconds = SecondsBetween(start, Clock::now());
    EXPECT_EQ(run.status, kExitOk) << run.err;
    const std::vector<std::string> albums = AlbumsOf(Server(), account);
    EXPECT_EQ(albums.size(), 1u);
    if (albums.empty()) return reference;
    reference.items = ItemNamesOf(Server(), account, albums[0]);
    reference.files = StoredFilesOf(Server(), account);
    for (const auto& [path, file] : reference.files) {
      if (path.ends_with(".mp4")) {
        std::string complaint;
        reference.videoFrames = DecodedFrames(StoredPath(Server(), account, path), &complaint);
        EXPECT_GT(reference.videoFrames, 0) << complaint;
      }
    }
    return reference;
  }

  // The album after the last run: one, complete, whole, and no longer marked as uploading.
  void CheckAlbum(const TestAccount& account, const Reference& reference) const {
    const std::vector<std::string> albums = AlbumsOf(Server(), account);
    ASSERT_EQ(albums.size(), 1u) << "one album";
    EXPECT_EQ(GetElement(albums[0], "uploading"), "0");
    EXPECT_EQ(ItemNamesOf(Server(), account, albums[0]), reference.items) << "every item once";
    const StoredFiles files = StoredFilesOf(Server(), account);
    std::vector<std::string> paths, expected;
    for (const auto& [path, file] : files) paths.push_back(path);
    for (const auto& [path, file] : reference.files) expected.push_back(path);
    EXPECT_EQ(paths, expected) << "the same files as a clean upload";
    // Requests cut by a kill left no part of a file behind either.
    EXPECT_EQ(FolderNames(Server().DataDir() + "data/tmp"), std::vector<std::string>());
    for (const auto& [path, file] : files) {
      const std::string full = StoredPath(Server(), account, path);
      const auto clean = reference.files.find(path);
      if (path.ends_with(".mp4")) {
        std::string complaint;
        EXPECT_EQ(DecodedFrames(full, &complaint), reference.videoFrames) << path << complaint;
      } else if (path.ends_with(".jpg")) {
        std::string error;
        EXPECT_NE(LoadImageFile(full, LoadPurpose::kPrepare, &error).get(), nullptr) << error;
        // Prepared from the same photo with the same settings: the very same bytes.
        if (clean != reference.files.end()) {
          EXPECT_EQ(file.size, clean->second.size) << path;
          EXPECT_EQ(file.md5, clean->second.md5) << path;
        }
      }
    }
  }

  TempDir folder_;
};

TEST_F(KillPointsTest, KilledAtSeededMomentsTheNextRunLeavesOneWholeAlbum) {
  const long long points = EnvNumber("ZERVA_KILL_POINTS", 3, 1, 500);
  const long long seed = EnvNumber(
      "ZERVA_KILL_SEED", std::chrono::system_clock::now().time_since_epoch().count() % 1000000007,
      0, (1LL << 62));
  const double budget = static_cast<double>(EnvNumber("ZERVA_KILL_SECONDS", 30, 1, 86400));
  std::printf("kill points: ZERVA_KILL_SEED=%lld ZERVA_KILL_POINTS=%lld\n", seed, points);
  std::fflush(stdout);
  RecordProperty("seed", std::to_string(seed));
  SCOPED_TRACE("ZERVA_KILL_SEED=" + std::to_string(seed));

  const Clock::time_point begin = Clock::now();
  const Reference reference = CleanUpload();
  ASSERT_FALSE(reference.items.empty());
  ASSERT_GT(reference.videoFrames, 0);
  std::printf("kill points: a clean upload takes %.2f s\n", reference.seconds);

  std::mt19937_64 random(static_cast<uint64_t>(seed));
  // Moments over the whole of a clean run, a little past its end as well.
  std::uniform_real_distribution<double> moment(0.0, reference.seconds * 1.1);
  std::bernoulli_distribution killTheNextRunToo(0.3);
  // A moment after a run's end kills nothing and does not count; tries are bounded all the same.
  long long killed = 0, tries = 0;
  int rounds = 0;
  while (killed < points && tries < 3 * points) {
    if (rounds > 0 && SecondsBetween(begin, Clock::now()) > budget) {
      std::printf("kill points: time is up after %lld of %lld kills\n", killed, points);
      break;
    }
    // A round: one kill, sometimes a second one in the run that resumes, then a last run.
    const int kills = killed + 1 < points && killTheNextRunToo(random) ? 2 : 1;
    const TestAccount account = NewAccount();
    ASSERT_GT(account.id, 0);
    CliInstall cli(Server().UploadRoot());
    std::string moments;
    for (int k = 0; k < kills; ++k, ++tries) {
      const double at = moment(random);
      const bool wasKilled = RunAndKill(cli, UploadArgs(account),
                                        std::chrono::microseconds(static_cast<int64_t>(at * 1e6)),
                                        cli.Home().Path() + "killed" + std::to_string(k) + ".log");
      killed += wasKilled ? 1 : 0;
      char text[64];
      std::snprintf(text, sizeof text, " %.3f s%s", at, wasKilled ? "" : " (had ended)");
      moments += text;
    }
    ++rounds;
    std::printf("kill points: round %d (%s) killed at%s\n", rounds, account.name.c_str(),
                moments.c_str());
    std::fflush(stdout);
    SCOPED_TRACE("round " + std::to_string(rounds) + " killed at" + moments);
    const CliRun last = cli.Run(UploadArgs(account), CliStdin::kDevNull, "", 120);
    ASSERT_EQ(last.status, kExitOk) << last.err << "\ntrace:\n" << cli.TraceLog();
    CheckAlbum(account, reference);
    if (HasFatalFailure() || HasNonfatalFailure()) {
      std::printf("kill points: round %d failed; its trace:\n%s\n", rounds, cli.TraceLog().c_str());
      break;
    }
  }
  std::printf("kill points: %lld kills (%lld moments drawn) in %d rounds, %.1f s, seed %lld\n",
              killed, tries, rounds, SecondsBetween(begin, Clock::now()), seed);
}

}  // namespace
}  // namespace zerva::test
