// Folders a user may point the program at: links that loop, dangle or lead out of the folder,
// devices and FIFOs carrying a photo's name, names that are not UTF-8, files that cannot be read.
// Nothing may block, nothing may be dropped without its reason.
#include <FreeImagePlus.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "lang/text.h"
#include "model/album.h"
#include "model/album_environment.h"
#include "model/album_items.h"
#include "model/folder_scan.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "model_fixtures.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// A scan that blocks fails the test after this long instead of hanging the suite.
constexpr auto kScanLimit = std::chrono::seconds(20);

std::vector<FolderEntry> ScanWithin(const std::string& folder, std::vector<LeftOutFile>* leftOut) {
  auto scan = std::async(std::launch::async, [&] { return ScanFolder(folder, false, leftOut); });
  if (scan.wait_for(kScanLimit) != std::future_status::ready) {
    ADD_FAILURE() << "the scan blocked";
    std::abort();  // the blocked thread cannot be joined
  }
  return scan.get();
}

std::vector<std::string> Names(const std::vector<FolderEntry>& entries) {
  std::vector<std::string> names;
  for (const FolderEntry& e : entries) names.push_back(e.name);
  return names;
}

LeftOutReason ReasonOf(const std::vector<LeftOutFile>& leftOut, const std::string& name) {
  for (const LeftOutFile& file : leftOut) {
    if (file.name == name) return file.reason;
  }
  return LeftOutReason::kNone;
}

TEST(FolderScanRules, LinksAreFollowedToRegularFilesOnlyAndNeverLoop) {
  test::TempDir dir;
  test::TempDir elsewhere;
  test::MakeJpeg(dir, "real.jpg");
  const std::string outside = test::MakeJpeg(elsewhere, "outside.jpg");
  ASSERT_EQ(::symlink("real.jpg", dir.File("inside.jpg").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), dir.File("out.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("loop.jpg", dir.File("loop.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("ping.jpg", dir.File("pong.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("pong.jpg", dir.File("ping.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("gone.jpg", dir.File("dangling.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.jpg").c_str()), 0);
  // A link to the folder itself is a folder: never entered, never reported.
  ASSERT_EQ(::symlink(".", dir.File("self.jpg").c_str()), 0);

  std::vector<LeftOutFile> leftOut;
  const std::vector<FolderEntry> entries = ScanWithin(dir.Path(), &leftOut);
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"inside.jpg", "out.jpg", "real.jpg"}));
  EXPECT_EQ(ReasonOf(leftOut, "loop.jpg"), LeftOutReason::kLinkLoop);
  EXPECT_EQ(ReasonOf(leftOut, "ping.jpg"), LeftOutReason::kLinkLoop);
  EXPECT_EQ(ReasonOf(leftOut, "dangling.jpg"), LeftOutReason::kBrokenLink);
  EXPECT_EQ(ReasonOf(leftOut, "zero.jpg"), LeftOutReason::kNotRegularFile);
  EXPECT_EQ(leftOut.size(), 5u);
  // Grouped by reason, then by name.
  EXPECT_EQ(leftOut.front().name, "zero.jpg");
  EXPECT_EQ(leftOut.back().name, "dangling.jpg");
}

TEST(FolderScanRules, FifosAndDevicesAreNeverOpened) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo.jpg").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.jpg").c_str()), 0);
  AlbumEnvironment env;
  // A FIFO with no writer blocks whoever opens it for reading; the checks must not.
  auto typed = std::async(std::launch::async, [&] {
    return std::make_pair(DetectType(dir.File("fifo.jpg"), env, nullptr),
                          DetectType(dir.File("zero.jpg"), env, nullptr));
  });
  ASSERT_EQ(typed.wait_for(kScanLimit), std::future_status::ready) << "DetectType blocked";
  const auto [fifo, zero] = typed.get();
  EXPECT_EQ(fifo.format, -1);
  EXPECT_EQ(fifo.refusal, LeftOutReason::kNotRegularFile);
  EXPECT_EQ(zero.refusal, LeftOutReason::kNotRegularFile);
  // The readers below the checks refuse them on their own, for a file swapped after a check.
  std::string bytes;
  EXPECT_FALSE(ReadFileHead(dir.File("fifo.jpg"), 16, &bytes));
  EXPECT_FALSE(ReadFileBounded(dir.File("zero.jpg"), 1 << 20, &bytes));
  EXPECT_EQ(OpenRegularFile(dir.File("fifo.jpg")), -1);

  // ffmpeg opens what it probes: a FIFO named like a video never reaches it.
  ASSERT_EQ(::mkfifo(dir.File("clip.mp4").c_str(), 0644), 0);
  env.videoSupport = true;
  int probes = 0;
  env.videoProber.probe = [&](CZervaVideo&, const std::string&) { return ++probes > 0; };
  EXPECT_EQ(DetectType(dir.File("clip.mp4"), env, nullptr).refusal, LeftOutReason::kNotRegularFile);
  EXPECT_EQ(probes, 0);
}

TEST(FolderScanRules, NamesThatAreNotUtf8AreReportedNotFatal) {
  test::TempDir dir;
  test::MakeJpeg(dir, "good.jpg");
  const std::string bad = "bad\xff\xfe.jpg";
  test::MakeJpeg(dir, bad);
  std::vector<LeftOutFile> leftOut;
  EXPECT_EQ(Names(ScanWithin(dir.Path(), &leftOut)), std::vector<std::string>{"good.jpg"});
  ASSERT_EQ(leftOut.size(), 1u);
  EXPECT_EQ(leftOut[0].reason, LeftOutReason::kNameNotUtf8);
  // Shown as valid text.
  EXPECT_EQ(NamedReasonList({Named(leftOut[0])}), "bad??.jpg (" + Text("leftOutNameNotUtf8") + ")");
}

TEST(FolderScanRules, UnreadableAndEmptyFilesAreReported) {
  test::TempDir dir;
  test::MakeJpeg(dir, "good.jpg");
  dir.Write("empty.jpg", "");
  std::vector<LeftOutFile> leftOut;
  ScanWithin(dir.Path(), &leftOut);
  EXPECT_EQ(ReasonOf(leftOut, "empty.jpg"), LeftOutReason::kEmpty);
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root reads files whatever their permission bits say";
  }
  const std::string locked = test::MakeJpeg(dir, "locked.jpg");
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  ScanWithin(dir.Path(), &leftOut);
  EXPECT_EQ(ReasonOf(leftOut, "locked.jpg"), LeftOutReason::kUnreadable);
  AlbumEnvironment env;
  EXPECT_EQ(DetectType(locked, env, nullptr).refusal, LeftOutReason::kUnreadable);
}

TEST(FolderScanRules, ContentThatIsNoPhotoSaysWhatItIs) {
  test::TempDir dir;
  AlbumEnvironment env;
  const DetectedType text = DetectType(dir.Write("text.jpg", "notes, not a photo\n"), env, nullptr);
  EXPECT_EQ(text.refusal, LeftOutReason::kNotPicture);
  fipImage picture;
  ASSERT_TRUE(test::DrawPicture(picture, 8, 8));
  // A PNG saved as ".jpg" is prepared as the PNG it is; formats still refused are named.
  ASSERT_TRUE(picture.save(FIF_PNG, dir.File("png.jpg").c_str()));
  EXPECT_EQ(DetectType(dir.File("png.jpg"), env, nullptr).format, kImageFormatPng);
  ASSERT_TRUE(picture.save(FIF_BMP, dir.File("bmp.jpg").c_str()));
  const DetectedType bmp = DetectType(dir.File("bmp.jpg"), env, nullptr);
  EXPECT_EQ(bmp.refusal, LeftOutReason::kOtherPicture);
  EXPECT_EQ(bmp.otherFormat, "BMP");
  ASSERT_TRUE(picture.convertTo8Bits());
  ASSERT_TRUE(picture.save(FIF_GIF, dir.File("gif.png").c_str()));
  const DetectedType gif = DetectType(dir.File("gif.png"), env, nullptr);
  EXPECT_EQ(gif.refusal, LeftOutReason::kOtherPicture);
  EXPECT_EQ(gif.otherFormat, "GIF");
}

TEST(FolderScanRules, TheAlbumKeepsWhatTheFolderAndTheUserLeftOut) {
  test::TempDir dir;
  test::MakeJpeg(dir, "good.jpg");
  dir.Write("text.jpg", "not a photo");
  ASSERT_EQ(::mkfifo(dir.File("fifo.jpg").c_str(), 0644), 0);
  CAlbum album;
  ASSERT_TRUE(AddFolder(album, dir.Path()));
  ASSERT_EQ(album.items.size(), 1u);
  ASSERT_EQ(album.leftOut.size(), 2u);
  EXPECT_EQ(album.leftOut[0].name, "fifo.jpg");
  EXPECT_EQ(album.leftOut[1].name, "text.jpg");
  // A dropped FIFO goes through the same checks.
  std::vector<std::string> rejected, reIncluded, present;
  test::TempDir other;
  ASSERT_EQ(::mkfifo(other.File("dropped.jpg").c_str(), 0644), 0);
  EXPECT_FALSE(AddFile(album, other.File("dropped.jpg"), &rejected, &reIncluded, &present));
  EXPECT_EQ(rejected, std::vector<std::string>{other.File("dropped.jpg")});
  EXPECT_EQ(album.leftOut.back().name, "dropped.jpg");
  EXPECT_EQ(album.leftOut.back().reason, LeftOutReason::kNotRegularFile);
  const std::string badName = test::MakeJpeg(other, "bad\xff.jpg");
  EXPECT_FALSE(AddFile(album, badName, &rejected, &reIncluded, &present));
  EXPECT_EQ(album.leftOut.back().reason, LeftOutReason::kNameNotUtf8);
  // A new scan starts the list afresh.
  ASSERT_EQ(::unlink(dir.File("text.jpg").c_str()), 0);
  CAlbum again;
  AddFolder(again, dir.Path());
  EXPECT_EQ(again.leftOut.size(), 1u);
}

}  // namespace
}  // namespace zerva
