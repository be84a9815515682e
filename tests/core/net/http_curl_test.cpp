// The libcurl transport against a running zerva-server: what goes over the wire, retries,
// progress, cancellation and downloads.
#include "net/http_curl.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "app/elements.h"
#include "app/version.h"
#include "net/endpoints.h"
#include "platform/fs.h"
#include "support/server_fixture.h"
#include "support/service_client.h"
#include "support/shared_server_test.h"

namespace zerva {
namespace {

using test::LoggedRequest;
using test::ServiceClient;
using Names = std::vector<std::string>;

class HttpCurlTest : public test::ServiceClientTest {
 protected:
  CHttpCurl& Curl() { return static_cast<CHttpCurl&>(*connection_); }
  std::vector<LoggedRequest> Requests() { return Server().Log(); }
  LoggedRequest LastRequest() {
    auto log = Requests();
    return log.empty() ? LoggedRequest{} : log.back();
  }
  std::string User() { return ServiceClient::DemoUser(); }
  std::string Pass() { return ServiceClient::DemoDigest(); }
};

TEST_F(HttpCurlTest, FormRequestCarriesHeadersFieldsAndTrailingEof) {
  const ApiResult result = connection_->GetSetting(User(), Pass());
  EXPECT_TRUE(result.Ok()) << result.message;
  const LoggedRequest request = LastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.Path(), "/client14/get_setting.php");
  EXPECT_EQ(request.FieldNames(), (Names{"userName", "userPass", "eof"}));
  EXPECT_EQ(request.Field("userPass"), Pass());
  EXPECT_EQ(request.Field("eof"), "1");
  EXPECT_EQ(request.Header("User-Agent"), "zerva kalimtor, version 1.59.52.267, build 267");
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  EXPECT_EQ(request.Header("Pragma"), "no-cache");
  EXPECT_EQ(request.Header("Expect"), "");
  EXPECT_EQ(request.Header("Content-Type").rfind("application/x-www-form-urlencoded", 0), 0u);
}

TEST_F(HttpCurlTest, TextsTravelAsTheirBytesAndComeBackUnchanged) {
  const std::string setting = "a b&c=d+e%f/ž <variablesA></variablesA> &amp;";
  ASSERT_TRUE(connection_->SetSetting(User(), Pass(), setting).Ok());
  EXPECT_EQ(LastRequest().Field("setting"), setting);
  const ApiResult back = connection_->GetSetting(User(), Pass());
  EXPECT_EQ(back.value, setting);
}

// Every operation: its script, its command, its fields in order, then eof.
TEST_F(HttpCurlTest, EveryOperationSendsItsScriptAndFieldsInOrder) {
  test::TempDir dir;
  const std::string photo = dir.Write("photo.jpg", std::string(3000, 'x'));
  const ApiResult login = connection_->GetLogin(User(), Pass());
  ASSERT_TRUE(login.Ok()) << login.message;
  const int userId = static_cast<int>(GetElementInt(login.value, "userID"));
  ASSERT_GT(userId, 0);
  const std::string album = "<album><name>Wire check</name></album>";
  const ApiResult created = connection_->CreateAlbum(User(), Pass(), "Wire_check", album);
  ASSERT_TRUE(created.Ok()) << created.message;
  const int albumId = std::atoi(created.value.c_str());
  ASSERT_GT(albumId, 0);
  auto block = std::make_shared<const std::string>(1000, 'b');

  struct Case {
    std::string name;
    std::function<void()> call;
    std::string script;
    std::string command;
    Names fields;
  };
  CHttpConnect& c = *connection_;
  const std::string u = User(), p = Pass();
  const std::vector<Case> cases = {
      {"UploadFile",
       [&] { c.UploadFile(u, p, "Wire_check", albumId, "<photo/>", photo, nullptr); },
       "upload.php",
       "",
       {"userName", "userPass", "directory", "albumID", "setting", "soubor"}},
      {"GetLogin", [&] { c.GetLogin(u, p); }, "login.php", "", {"email", "userPass", "version"}},
      {"Ping", [&] { c.Ping("42"); }, "ping.php", "", {"code"}},
      {"ExistAlbum",
       [&] { c.ExistAlbum(u, p, "Wire_check"); },
       "command.php",
       "ExistAlbum",
       {"userName", "userPass", "serverDir"}},
      {"EmptyAlbum",
       [&] { c.EmptyAlbum(u, p, albumId, album); },
       "command.php",
       "EmptyAlbum",
       {"userName", "userPass", "albumID", "albumSetting"}},
      {"SendEmail",
       [&] { c.SendEmail(u, p, userId, "to@x", "s", "m", "from@x"); },
       "command.php",
       "SendEmail",
       {"userName", "userPass", "userID", "mailTo", "mailSubject", "mailMessage", "mailFrom"}},
      {"DeleteEmailAddress",
       [&] { c.DeleteEmailAddress(u, p, "to@x"); },
       "command.php",
       "DeleteEmailAddress",
       {"userName", "userPass", "email"}},
      {"GetAlbums",
       [&] { c.GetAlbums(u, p, userId, 0); },
       "command.php",
       "GetAlbums",
       {"userName", "userPass", "userID", "albumID"}},
      {"GetAlbumPhotos",
       [&] { c.GetAlbumPhotos(u, p, userId, albumId); },
       "command.php",
       "GetAlbumPhotos",
       {"userName", "userPass", "userID", "albumID"}},
      {"SetUserDetails",
       [&] { c.SetUserDetails(u, p, userId, "Demo", "d", "w", 1033, "", false, "", true); },
       "command.php",
       "SetUserDetails",
       {"userName", "userPass", "userID", "fullName", "description", "www", "langClient", "newPass",
        "changePass", "userPageOrder", "defaultWatermark"}},
      {"SetAlbumUploading",
       [&] { c.SetAlbumUploading(u, p, albumId, 0, album); },
       "command.php",
       "SetAlbumUploading",
       {"userName", "userPass", "albumID", "uploading", "albumSetting"}},
      {"GetUploadedFiles",
       [&] { c.GetUploadedFiles(u, p, userId, "Wire_check"); },
       "command.php",
       "GetUploadedFiles",
       {"userName", "userPass", "userID", "albumDirName"}},
      {"GetCategory",
       [&] { c.GetCategory(u, p, userId, 1033); },
       "command.php",
       "GetCategory",
       {"userName", "userPass", "userID", "userLang"}},
      {"GetPartners",
       [&] { c.GetPartners(u, p, userId); },
       "command.php",
       "GetPartners",
       {"userName", "userPass", "userID"}},
      {"GetLoginTicket",
       [&] { c.GetLoginTicket(u, p); },
       "command.php",
       "GetLoginTicket",
       {"userName", "userPass"}},
      {"GetInfo",
       [&] { c.GetInfo(u, p, 1033); },
       "get_info.php",
       "",
       {"userName", "userPass", "userLang"}},
      {"SendStat",
       [&] { c.SendStat("uuid-1", "<osVersion>x</osVersion>"); },
       "send_stat.php",
       "",
       {"uuid", "statistic"}},
      {"SendBug",
       [&] { c.SendBug(u, p, "<bug/>"); },
       "send_bug.php",
       "",
       {"userName", "userPass", "whatIsWrong"}},
      {"SendBugFile",
       [&] { c.SendBugFile(u, p, "<bug/>", photo, nullptr); },
       "send_bug.php",
       "",
       {"userName", "userPass", "chyba", "soubor"}},
      {"BeginVideoUpload",
       [&] { c.BeginVideoUpload("v.mp4", u, p, "Wire_check", false); },
       "command.php",
       "BeginVideoUpload",
       {"fileName", "userName", "userPass", "directory"}},
      {"BeginUnkVideoUpload",
       [&] { c.BeginVideoUpload("v.avi", u, p, "Wire_check", true); },
       "command.php",
       "BeginUnkVideoUpload",
       {"fileName", "userName", "userPass", "directory"}},
      {"NextVideoUpload",
       [&] {
         c.NextVideoUpload(7, u, p, "<blocks/>", {{0, block}, {1, block}}, nullptr, false);
       },
       "command.php",
       "NextVideoUpload",
       {"uploadID", "userName", "userPass", "blocks", "data0", "data1"}},
      {"EndVideoUpload",
       [&] { c.EndVideoUpload(7, u, p, "<blocks/>", "<video/>", false); },
       "command.php",
       "EndVideoUpload",
       {"uploadID", "userName", "userPass", "blocks", "videoSetting"}},
      {"CancelVideoUpload",
       [&] { c.CancelVideoUpload(7, u, p); },
       "command.php",
       "CancelVideoUpload",
       {"uploadID", "userName", "userPass"}},
      {"GetMissingVideos",
       [&] { c.GetMissingVideos(u, p, albumId); },
       "command.php",
       "GetMissingVideos",
       {"userName", "userPass", "albumID"}},
      {"AcceptUnkVideoUpload",
       [&] { c.AcceptUnkVideoUpload(12345, u, p, "codec"); },
       "command.php",
       "AcceptUnkVideoUpload",
       {"fileSize", "userName", "userPass", "reason"}},
      {"SendAdditionalAlbumInfo",
       [&] { c.SendAdditionalAlbumInfo(u, p, albumId, 105, "<valueSet/>"); },
       "command.php",
       "SendAdditionalAlbumInfo",
       {"userName", "userPass", "albumID", "categoryID", "valueSet"}},
      {"SetVideoThumbPos",
       [&] { c.SetVideoThumbPos(u, p, 1, "1.5"); },
       "command.php",
       "SetVideoThumbPos",
       {"userName", "userPass", "photoID", "thumbPos"}},
      {"GetWatermarkTemplate",
       [&] { c.GetWatermarkTemplate(u, p, dir.File("wm.png")); },
       "command.php",
       "GetWatermarkTemplate",
       {"userName", "userPass"}},
      {"GetWatermarkPatch",
       [&] { c.GetWatermarkPatch(u, p, userId, 1, dir.File("patch.jpg")); },
       "command.php",
       "GetWatermarkPatch",
       {"userName", "userPass", "userID", "photoID"}},
      {"CreateUser",
       [&] { c.CreateUser("wirecheck", "wire@x.test", "secret", 1033); },
       "createUser.php",
       "",
       {"userName", "email", "password", "userLang"}},
      {"CheckUserName",
       [&] { c.CheckUserName("demo"); },
       "createUserCheckUserName.php",
       "",
       {"userName"}},
      {"CheckUserMail",
       [&] { c.CheckUserMail("a@b.c"); },
       "createUserCheckEmail.php",
       "",
       {"email"}},
      {"GetBanners",
       [&] { c.GetBanners(u, p, albumId); },
       "command.php",
       "GetBanners",
       {"userName", "userPass", "albumID"}},
      {"DeleteAlbum",
       [&] { c.DeleteAlbum(u, p, albumId); },
       "command.php",
       "DeleteAlbum",
       {"userName", "userPass", "albumID"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Server().ClearLog();
    test.call();
    EXPECT_EQ(Curl().LastCurlCode(), 0) << Curl().LastResult().message;
    const LoggedRequest request = LastRequest();
    EXPECT_EQ(request.Script(), test.script);
    Names expected = test.fields;
    if (!test.command.empty()) expected.insert(expected.begin(), "command");
    expected.push_back("eof");
    EXPECT_EQ(request.FieldNames(), expected);
    EXPECT_EQ(request.Command(), test.command);
    EXPECT_EQ(request.Field("eof"), "1");
  }
}

TEST_F(HttpCurlTest, FilePartsAreMultipartAndEndWithTheEofPart) {
  test::TempDir dir;
  const std::string photo = dir.Write("a photo.jpg", std::string(5000, 'p'));
  connection_->UploadFile(User(), Pass(), "nowhere", 1, "<photo/>", photo, nullptr);
  const LoggedRequest request = LastRequest();
  EXPECT_EQ(request.Header("Content-Type").rfind("multipart/form-data", 0), 0u);
  const test::LoggedField* file = request.Find("soubor");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->isFile);
  EXPECT_EQ(file->fileName, "a photo.jpg");
  EXPECT_EQ(file->size, 5000);
  EXPECT_EQ(request.FieldNames().back(), "eof");
}

TEST_F(HttpCurlTest, LoginSendsTheBuildNumberAsVersion) {
  ASSERT_TRUE(connection_->GetLogin(User(), Pass()).Ok());
  EXPECT_EQ(LastRequest().Field("version"), "267");
  const ApiResult refused = connection_->GetLogin(User(), "0123456789abcdef0123456789abcdef");
  EXPECT_FALSE(refused.Ok());
  EXPECT_FALSE(refused.message.empty());
}

TEST_F(HttpCurlTest, FailuresAreTriedThreeTimesButNotFound404Once) {
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "500", 10));
  ApiResult result = connection_->GetSetting(User(), Pass());
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(Curl().LastAttemptCount(), 3);
  EXPECT_EQ(Server().LogOf("get_setting.php").size(), 3u);
  EXPECT_FALSE(result.message.empty());

  Server().ClearFaults();
  Server().ClearLog();
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "404", 10));
  result = connection_->GetSetting(User(), Pass());
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(Curl().LastAttemptCount(), 1);
  EXPECT_EQ(Server().LogOf("get_setting.php").size(), 1u);
}

TEST_F(HttpCurlTest, ABurstOfErrorsIsAbsorbed) {
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "500", 2));
  EXPECT_TRUE(connection_->GetSetting(User(), Pass()).Ok());
  EXPECT_EQ(Curl().LastAttemptCount(), 3);
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "drop", 1));
  EXPECT_TRUE(connection_->GetSetting(User(), Pass()).Ok());
  EXPECT_EQ(Curl().LastAttemptCount(), 2);
}

TEST_F(HttpCurlTest, RetryAnswersAreResentOnlyForFormRequests) {
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "retry", 3));
  EXPECT_TRUE(connection_->GetSetting(User(), Pass()).Ok());
  EXPECT_EQ(Curl().LastAttemptCount(), 4);

  ASSERT_TRUE(Server().InjectFault("messages.php", "retry", 3));
  const ApiResult plain = connection_->GetUrlToString(ServerMessagesUrl());
  EXPECT_EQ(Curl().LastAttemptCount(), 1);
  EXPECT_EQ(GetElement(plain.value, "result"), "retry");
}

TEST_F(HttpCurlTest, ANonTextAnswerReadsAsEmpty) {
  ASSERT_TRUE(Server().InjectFault("get_setting.php", "contentType", 1, "image/png"));
  const ApiResult result = connection_->GetSetting(User(), Pass());
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(Curl().ResponseContentType(), "image/png");
}

TEST_F(HttpCurlTest, UploadProgressIsMappedIntoTheRangeAndCancelStopsIt) {
  test::TempDir dir;
  const std::string big = dir.Write("big.jpg", std::string(24 << 20, 'z'));
  UiLoop loop;
  std::vector<MessageParam> values;
  CancelFlag cancel{false};
  MessageParam cancelAt = 1000;
  LoopTarget window(loop, [&](const WindowMessage& m) {
    EXPECT_EQ(m.id, kMsgTransferProgress);
    values.push_back(m.wParam);
    if (m.wParam >= cancelAt) cancel = true;
    return MessageParam{0};
  });
  connection_->SetNotify(&window);
  connection_->UploadFile(User(), Pass(), "nowhere", 1, "", big, &cancel);
  ASSERT_FALSE(values.empty());
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  EXPECT_EQ(values.back(), 100);
  EXPECT_TRUE(
      std::any_of(values.begin(), values.end(), [](MessageParam v) { return v >= 49 && v <= 51; }));

  values.clear();
  connection_->SetProgressRange(10.0, 20.0);
  cancelAt = 15;
  const ApiResult cancelled =
      connection_->UploadFile(User(), Pass(), "nowhere", 1, "", big, &cancel);
  EXPECT_EQ(cancelled.message, "UploadFile: cancelled by user");
  EXPECT_EQ(Curl().LastAttemptCount(), 1);
  ASSERT_FALSE(values.empty());
  EXPECT_GE(values.front(), 10);
  EXPECT_LE(values.back(), 20);
}

TEST_F(HttpCurlTest, DownloadsCheckTypeAndSize) {
  test::TempDir dir;
  const std::string url = LanguageFilesBaseUrl() + "zerva-en-us.lng";
  const std::string target = dir.File("lang.lng");
  ApiResult result = connection_->DownloadFile(url, target, nullptr, "");
  ASSERT_TRUE(result.Ok()) << result.message;
  const int64_t size = FileSize(target);
  EXPECT_GT(size, 100);
  const std::string type = Curl().ResponseContentType();

  result = connection_->DownloadFile(url, target, nullptr, type);
  EXPECT_TRUE(result.Ok());
  result = connection_->DownloadFile(url, target, nullptr, "image/jpeg");
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.errorCode, "49");
  EXPECT_EQ(result.message, "bad content type " + type + " received (expected image/jpeg)");
  EXPECT_FALSE(FileExists(target));

  Server().ClearLog();
  EXPECT_TRUE(connection_->DownloadFileCheckSize(url, target, size, nullptr).Ok());
  EXPECT_EQ(Requests().size(), 1u);
  Server().ClearLog();
  EXPECT_FALSE(connection_->DownloadFileCheckSize(url, target, size + 1, nullptr).Ok());
  EXPECT_EQ(Requests().size(), 3u);

  result = connection_->DownloadFile(url + ".missing", target, nullptr, "");
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "HTTP error");
  EXPECT_EQ(result.errorCode, "404");
}

TEST_F(HttpCurlTest, WatermarkDownloadsKeepOnlyRealImages) {
  test::TempDir dir;
  const std::string templ = dir.File("template.png");
  ApiResult result = connection_->GetWatermarkTemplate(User(), Pass(), templ);
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_GT(FileSize(templ), 0);
  result = connection_->GetWatermarkTemplate(User(), "0123456789abcdef0123456789abcdef", templ);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "HTTP error");
  EXPECT_EQ(result.errorCode, "403");
  EXPECT_FALSE(FileExists(templ));

  // A refusal arrives as a 404 text answer and is read as one; no file stays behind.
  const std::string patch = dir.File("patch.jpg");
  result = connection_->GetWatermarkPatch(User(), Pass(), 0, 999999, patch);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "Photo not found");
  EXPECT_FALSE(FileExists(patch));
  ASSERT_TRUE(Server().InjectFault("GetWatermarkPatch", "contentType", 1, "image/gif"));
  result = connection_->GetWatermarkPatch(User(), Pass(), 0, 999999, patch);
  EXPECT_EQ(result.message, "HTTP error");
  EXPECT_EQ(result.errorCode, "404");
}

TEST_F(HttpCurlTest, AnErrorPageThatIsNoServiceAnswerNamesTheOperation) {
  // The web host has no API scripts: its 404 page carries no result element.
  SetDomain(HostRoot::kUpload, DomainRoot(HostRoot::kService));
  const ApiResult result = connection_->GetSetting(User(), Pass());
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message, "GetSetting: HTTP error 404");
  EXPECT_EQ(result.errorCode, "404");
}

TEST_F(HttpCurlTest, ConnectionTestAnswersTheServiceDomain) {
  const ApiResult result = connection_->GetUrlToString(ConnectionTestUrl());
  ASSERT_TRUE(result.Ok()) << result.message;
  EXPECT_EQ(GetElement(result.value, "value"), "zerva.localhost");
  const ApiResult missing = connection_->GetUrlToString(UploadUrl() + "no/such/page");
  EXPECT_EQ(missing.code, 0);
  EXPECT_EQ(missing.message, "HTTP error 404");
  EXPECT_EQ(missing.errorCode, "404");
}

// A peer that answers with headers and then never sends the promised body.
class StallingServer {
 public:
  StallingServer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 8);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
      while (!stop_) {
        const int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) return;
        char buffer[4096];
        (void)::recv(client, buffer, sizeof buffer, 0);
        static const char kHead[] =
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 100\r\n\r\nab";
        (void)::send(client, kHead, sizeof kHead - 1, MSG_NOSIGNAL);
        clients_.push_back(client);
        ++accepted_;
      }
    });
  }
  ~StallingServer() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    thread_.join();
    for (int c : clients_) ::close(c);
  }
  int Port() const { return port_; }
  int Accepted() const { return accepted_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::vector<int> clients_;
  std::thread thread_;
};

TEST_F(HttpCurlTest, AStalledTransferIsAbortedAndRetried) {
  StallingServer peer;
  client_->Manager().SetStallSeconds(1);
  auto connection = client_->Connect();
  const auto start = std::chrono::steady_clock::now();
  const ApiResult result =
      connection->GetUrlToString("http://127.0.0.1:" + std::to_string(peer.Port()) + "/x");
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.message.rfind("GetUrlToString: ", 0), 0u) << result.message;
  EXPECT_EQ(peer.Accepted(), 3);
  EXPECT_LT(seconds, 20);
}

}  // namespace
}  // namespace zerva
