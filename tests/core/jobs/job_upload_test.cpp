// The photo upload job: the service's size check and message 1076, the upload delay kept in the
// session, weights, and failures that the session retries.
#include "jobs/job_upload.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "app/usage_stats.h"
#include "job_test_support.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {
namespace {

TEST(UploadAnswerTest, BareNumberOrFileSizeElement) {
  EXPECT_EQ(ParseUploadAnswer("123456").serverSize, 123456);
  EXPECT_FALSE(ParseUploadAnswer("123456").hasDelay);
  EXPECT_EQ(ParseUploadAnswer("77 bytes").serverSize, 77);
  EXPECT_EQ(ParseUploadAnswer("OK").serverSize, 0);
  EXPECT_EQ(ParseUploadAnswer("").serverSize, 0);
  EXPECT_EQ(ParseUploadAnswer("99999999999999999999999").serverSize, 999999999999999999);

  const UploadAnswer full = ParseUploadAnswer(
      "<fileSize>500</fileSize><uploadDelay>250</uploadDelay><photoID>8</photoID>");
  EXPECT_EQ(full.serverSize, 500);
  EXPECT_TRUE(full.hasDelay);
  EXPECT_EQ(full.delayMs, 250);
  EXPECT_EQ(full.photoId, 8);

  const UploadAnswer noDelay = ParseUploadAnswer("<fileSize>500</fileSize>");
  EXPECT_TRUE(noDelay.hasDelay);  // adopted as 0
  EXPECT_EQ(noDelay.delayMs, 0);
  EXPECT_EQ(ParseUploadAnswer("<fileSize>500").serverSize, 0);  // unbalanced
  // A service asking for an endless pause would stall the whole run.
  EXPECT_EQ(ParseUploadAnswer("<fileSize>1</fileSize><uploadDelay>86400000</uploadDelay>").delayMs,
            kMaxUploadDelayMs);
  EXPECT_EQ(ParseUploadAnswer("<fileSize>1</fileSize><uploadDelay>-5</uploadDelay>").delayMs, 0);
}

TEST(UploadWeightTest, ThumbnailBeforePreparationCountsAThirtySecond) {
  test::TempDir dir;
  const std::string source = dir.Write("source.jpg", std::string(3200000, 'x'));
  const std::string small = dir.Write("small.jpg", std::string(20 * 1024, 'x'));
  const std::string later = dir.File("not-yet.jpg");
  EXPECT_EQ(UploadWeightEstimate(later, "Trip/thumb", source), 97);
  EXPECT_EQ(UploadWeightEstimate(later, "Trip/images", source), 3125);
  EXPECT_EQ(UploadWeightEstimate(small, "Trip/thumb", source), 20);
  EXPECT_EQ(UploadWeightEstimate(later, "Trip/images", ""), 0);

  CPhoto item;
  item.localPath = source;
  CJobUpload thumb(nullptr, nullptr, later, "Trip/thumb", 0, &item);
  EXPECT_EQ(thumb.Weight(), 97);
  CJobUpload tiny(nullptr, nullptr, small, "Trip/images", 0, nullptr);
  EXPECT_EQ(tiny.Weight(), 50);
  EXPECT_EQ(tiny.Kind(), kJobKindUpload);
  EXPECT_EQ(tiny.Name(), "small.jpg");
}

TEST(UploadDelayTest, WaitingEndsEarlyOnAStopRequest) {
  CancelFlag cancel{true};
  const auto start = std::chrono::steady_clock::now();
  SleepUnlessCancelled(10000, &cancel);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  cancel = false;
  const auto before = std::chrono::steady_clock::now();
  SleepUnlessCancelled(120, &cancel);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(120));
}

class JobUploadTest : public test::PhotoJobTest {
 protected:
  std::unique_ptr<CJobUpload> Job(const std::string& path, const std::string& dir,
                                  CPhoto* item = nullptr) {
    auto job =
        std::make_unique<CJobUpload>(session_.get(), manager_, path, "Trip/" + dir, albumId_, item);
    job->SetSleeper([this](int ms, CancelFlag*) { sleeps_.push_back(ms); });
    job->SetNotify(&window_, kMsgTransferProgress);
    job->SetRange(10.0, 20.0);
    return job;
  }

  std::vector<int> sleeps_;
  test::RecordingWindow window_;
};

TEST_F(JobUploadTest, FirstUploadWaitsThreeSecondsThenAdoptsTheServiceDelay) {
  ASSERT_TRUE(Server().SetConfig("uploadDelay", "500"));
  const std::string photo = dir_.Write("a.jpg", std::string(123456, 'a'));
  CPhoto item;
  item.fileName = "a.jpg";
  item.localPath = photo;
  auto first = Job(photo, "images", &item);
  EXPECT_EQ(first->Description(), "Sending " + photo);
  const ApiResult result = first->Run(nullptr);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(sleeps_, (std::vector<int>{kDefaultUploadDelayMs}));
  EXPECT_EQ(session_->UploadDelayMs(), 500);
  EXPECT_GT(item.photoID, 0);

  const std::vector<WindowMessage> confirmed = window_.Sent(kMsgBytesConfirmed);
  ASSERT_EQ(confirmed.size(), 1u);
  EXPECT_EQ(confirmed[0].wParam, 123456);
  EXPECT_EQ(confirmed[0].lParam, -1);
  // The transfer's progress stays within the job's share.
  for (const WindowMessage& progress : window_.Sent(kMsgTransferProgress)) {
    EXPECT_GE(progress.wParam, 10);
    EXPECT_LE(progress.wParam, 20);
  }

  // The next upload of the run waits what the service asked for; its answer asks for none.
  ASSERT_TRUE(Server().SetConfig("uploadDelay", "0"));
  auto second = Job(dir_.Write("b.jpg", std::string(2000, 'b')), "thumb");
  ASSERT_TRUE(second->Run(nullptr).Ok());
  EXPECT_EQ(sleeps_, (std::vector<int>{kDefaultUploadDelayMs, 500}));
  EXPECT_EQ(session_->UploadDelayMs(), 0);
  auto third = Job(dir_.Write("c.jpg", std::string(2000, 'c')), "thumb");
  ASSERT_TRUE(third->Run(nullptr).Ok());
  EXPECT_EQ(sleeps_.size(), 2u);  // no wait at all
}

TEST_F(JobUploadTest, UploadRequestCarriesThePhotoXml) {
  session_->SetUploadDelayMs(0);
  CPhoto item;
  item.fileName = "x.jpg";
  item.name = "Sunset";
  const std::string photo = dir_.Write("x.jpg", std::string(3000, 'x'));
  ASSERT_TRUE(Job(photo, "images", &item)->Run(nullptr).Ok());
  const std::vector<test::LoggedRequest> uploads = Server().LogOf("upload.php");
  ASSERT_FALSE(uploads.empty());
  const test::LoggedRequest& sent = uploads.back();
  EXPECT_EQ(sent.Field("directory"), "Trip/images");
  EXPECT_EQ(sent.Field("albumID"), std::to_string(albumId_));
  EXPECT_NE(sent.Field("setting").find("<name>Sunset</name>"), std::string::npos);
  ASSERT_NE(sent.Find("soubor"), nullptr);
  EXPECT_EQ(sent.Find("soubor")->size, 3000);
}

TEST_F(JobUploadTest, WrongOrZeroSizeFromTheServiceFailsTheJob) {
  session_->SetUploadDelayMs(0);
  const std::string photo = dir_.Write("w.jpg", std::string(5000, 'w'));
  const std::string failure = "Nepodarilo se nahrat soubor \"" + photo + "\" cely.";
  ASSERT_TRUE(Server().InjectFault("upload.php", "wrongFileSize"));
  ApiResult result = Job(photo, "images")->Run(nullptr);
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.message, failure);
  EXPECT_EQ(result.value, "");
  EXPECT_EQ(result.errorCode, "");

  ASSERT_TRUE(Server().InjectFault("upload.php", "wrongFileSize", 1, "0"));
  result = Job(photo, "images")->Run(nullptr);
  EXPECT_EQ(result.message, failure);
  EXPECT_TRUE(window_.Sent(kMsgBytesConfirmed).empty());

  // Run again, as the session's retry does: the whole file goes again and is confirmed.
  EXPECT_TRUE(Job(photo, "images")->Run(nullptr).Ok());
  EXPECT_EQ(window_.Sent(kMsgBytesConfirmed).size(), 1u);
}

TEST_F(JobUploadTest, MissingFileOrRefusedUploadKeepsTheServiceText) {
  session_->SetUploadDelayMs(0);
  const ApiResult missing = Job(dir_.File("gone.jpg"), "images")->Run(nullptr);
  EXPECT_EQ(missing.code, 0);
  EXPECT_NE(missing.message, "");

  auto wrongAlbum = std::make_unique<CJobUpload>(
      session_.get(), manager_, dir_.Write("y.jpg", "yyyy"), "Trip/images", 0, nullptr);
  wrongAlbum->SetSleeper([](int, CancelFlag*) {});
  const ApiResult refused = wrongAlbum->Run(nullptr);
  EXPECT_EQ(refused.code, 0);
  EXPECT_EQ(refused.message.find("Nepodarilo"), std::string::npos);
}

TEST_F(JobUploadTest, NewAlbumIdentifierReachesAWaitingJob) {
  session_->SetUploadDelayMs(0);
  auto job = std::make_unique<CJobUpload>(session_.get(), manager_,
                                          dir_.Write("n.jpg", std::string(1000, 'n')),
                                          "Trip/images", 0, nullptr);
  job->SetSleeper([](int, CancelFlag*) {});
  EXPECT_EQ(job->AlbumId(), 0);
  job->SetAlbumId(albumId_);
  EXPECT_TRUE(job->Run(nullptr).Ok());
}

TEST_F(JobUploadTest, TransfersFeedTheUploadSpeed) {
  session_->SetUploadDelayMs(0);
  ASSERT_TRUE(Job(dir_.Write("s.jpg", std::string(200000, 's')), "images")->Run(nullptr).Ok());
  EXPECT_GT(AppStatistics().UploadSpeed(), 0);
}

}  // namespace
}  // namespace zerva
