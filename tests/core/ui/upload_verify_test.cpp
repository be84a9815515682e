// The check after a run against a running zerva-server: a file the service holds with another
// size, or not at all, fails its job with its own trace line; files in other directories are not
// checked; a listing that cannot be had fails every checked job.
#include "ui/upload_verify.h"

#include <gtest/gtest.h>

#include "app/elements.h"
#include "app/trace.h"
#include "jobs/job_upload.h"
#include "jobs/jobs_mngr.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "session/user_session.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

class VerifyUploadsTest : public ServiceClientTest {
 protected:
  void SetUp() override {
    ServiceClientTest::SetUp();
    user_.signedIn = true;
    user_.passwordDigest = Md5Hex("secret");
    user_.userId = static_cast<int>(Server().CreateTestUser("verify", &user_.name));
    Form form;
    form.Add("serverDir", "Trip").Add("albumSetting", "<album><photos></photos></album>");
    albumId_ = GetElement(
        Server().Command("CreateAlbum", user_.name, user_.passwordDigest, form).body, "value");
    Send("images", "a.jpg", 1000);
    Send("thumb", "a.jpg", 100);
  }

  void Send(const std::string& dir, const std::string& name, size_t size) {
    Form up;
    up.Add("userName", user_.name)
        .Add("userPass", user_.passwordDigest)
        .Add("directory", "Trip/" + dir)
        .Add("albumID", albumId_)
        .Add("setting", "")
        .AddFile("soubor", name, std::string(size, 'x'))
        .Eof();
    ASSERT_EQ(GetElement(Server().Api("upload.php", up).body, "result"), "OK");
  }

  // An upload job of a local file of `size` bytes that was sent into `dir`.
  std::shared_ptr<CJobBase> Job(const std::string& dir, const std::string& name, size_t size) {
    CreateDirectoryPath(local_.Path() + dir);
    const std::string path = local_.Write(dir + "/" + name, std::string(size, 'y'));
    auto job = std::make_unique<CJobUpload>(nullptr, nullptr, path, "Trip/" + dir,
                                            std::stoi(albumId_), nullptr);
    const int id = jobs_.AddJob(std::move(job));
    jobs_.Jobs().at(id)->SetState(kJobDone);  // sent in the run just finished
    return jobs_.Jobs().at(id);
  }

  SessionCredentials user_;
  std::string albumId_;
  TempDir local_;
  CJobsMngr jobs_;
};

TEST_F(VerifyUploadsTest, FailsOnlyTheJobsWhoseFilesDidNotArriveWhole) {
  const auto good = Job("images", "a.jpg", 1000);
  const auto shortThumb = Job("thumb", "a.jpg", 99);
  const auto missing = Job("images", "b.jpg", 50);
  const auto missingHd = Job("hdimages", "a.jpg", 10);
  const auto missingPatch = Job("diff", "a.jpg", 10);
  const auto unchecked = Job("video", "a.jpg", 10);

  EXPECT_EQ(VerifyUploads(jobs_, *connection_, user_, "Trip"), 4);
  EXPECT_EQ(good->State(), kJobDone);
  EXPECT_EQ(shortThumb->State(), kJobFailed);
  EXPECT_EQ(missing->State(), kJobFailed);
  EXPECT_EQ(missingHd->State(), kJobFailed);
  EXPECT_EQ(missingPatch->State(), kJobFailed);
  EXPECT_EQ(unchecked->State(), kJobDone) << "other directories are not checked here";
  EXPECT_FALSE(jobs_.LastResult().Ok());

  const std::string log = ReadWholeFile(TraceFilePath());
  for (const char* line :
       {"GetUploadedFiles: vadny nahled thumb/a.jpg (server 100 B, klient 99 B )",
        "GetUploadedFiles: vadna fotka images/b.jpg (server 0 B, klient 50 B )",
        "GetUploadedFiles: vadna HD fotka hdimages/a.jpg (server 0 B, klient 10 B )",
        "GetUploadedFiles: vadna zaplata diff/a.jpg (server 0 B, klient 10 B )"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  }
  EXPECT_EQ(log.find("vadna fotka images/a.jpg"), std::string::npos);
}

TEST_F(VerifyUploadsTest, AListingThatCannotBeHadCountsEveryFileAsMissing) {
  const auto sent = Job("images", "a.jpg", 1000);
  const auto unchecked = Job("video", "a.jpg", 10);
  EXPECT_EQ(VerifyUploads(jobs_, *connection_, user_, "Nowhere"), 1);
  EXPECT_EQ(sent->State(), kJobFailed);
  EXPECT_EQ(unchecked->State(), kJobDone);
  EXPECT_NE(ReadWholeFile(TraceFilePath()).find("GetUploadedFiles: chyba"), std::string::npos);
}

}  // namespace
}  // namespace zerva::test
