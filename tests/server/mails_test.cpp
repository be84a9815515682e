// The mails SendEmail stores, read back through the control endpoint: the fields as sent, the
// account's own address when the client sends no sender, the album the text points at, and
// nothing stored for a refused mail.
#include <gtest/gtest.h>

#include "server/server.h"
#include "server_test_util.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

class MailsTest : public SharedServerTest {
 protected:
  void SetUp() override {
    SharedServerTest::SetUp();
    userId_ = Server().CreateTestUser("mail", &user_);
    ASSERT_GT(userId_, 0);
    const std::vector<StoredMail> before = Server().Mails();
    since_ = before.empty() ? 0 : before.back().id;
  }

  HttpReply Send(const std::string& to, const std::string& subject, const std::string& message,
                 const std::string& from) {
    Form f;
    f.Add("userID", userId_)
        .Add("mailTo", to)
        .Add("mailSubject", subject)
        .Add("mailMessage", message)
        .Add("mailFrom", from);
    return Server().Command("SendEmail", user_, Md5Hex("secret"), f);
  }
  int64_t CreateAlbum(const std::string& serverDir) {
    Form f;
    f.Add("serverDir", serverDir)
        .Add("albumSetting", "<album><name>" + serverDir + "</name></album>");
    const HttpReply reply = Server().Command("CreateAlbum", user_, Md5Hex("secret"), f);
    return std::atoll(GetElement(reply.body, "value").c_str());
  }
  std::vector<StoredMail> NewMails() const { return Server().Mails(since_); }

  std::string user_;
  int64_t userId_ = 0;
  int64_t since_ = 0;
};

TEST_F(MailsTest, ASentMailIsStoredWithItsFieldsAsSent) {
  const std::string message = "\r\n\r\nThe album's address:\r\nhttp://x/léto\r\n";
  ASSERT_EQ(
      GetElement(
          Send("ann@example.com; bob@example.com", "Léto 2026", message, "me@example.org").body,
          "result"),
      "OK");
  const std::vector<StoredMail> mails = NewMails();
  ASSERT_EQ(mails.size(), 1u);
  const StoredMail& mail = mails[0];
  EXPECT_EQ(mail.kind, "album");
  EXPECT_EQ(mail.userId, userId_);
  EXPECT_EQ(mail.userName, user_);
  EXPECT_EQ(mail.to, "ann@example.com;bob@example.com");
  EXPECT_EQ(mail.subject, "Léto 2026");
  EXPECT_EQ(mail.message, message);
  EXPECT_EQ(mail.from, "me@example.org");
  EXPECT_FALSE(mail.created.empty());
  // Only what came after a given mail.
  EXPECT_TRUE(Server().Mails(mail.id).empty());
}

TEST_F(MailsTest, WithoutASenderTheAccountsOwnAddressIsTheSender) {
  ASSERT_EQ(GetElement(Send("ann@example.com", "s", "m", "").body, "result"), "OK");
  const std::vector<StoredMail> mails = NewMails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].from, user_ + "@example.com");
}

TEST_F(MailsTest, TheAlbumWhoseAddressTheTextHoldsIsNamed) {
  const int64_t trip = CreateAlbum("trip");
  const int64_t trip2 = CreateAlbum("trip2");
  ASSERT_GT(trip, 0);
  ASSERT_GT(trip2, 0);
  ASSERT_EQ(
      GetElement(Send("a@example.com", "s", "See http://u.site/trip2\r\n", "").body, "result"),
      "OK");
  ASSERT_EQ(
      GetElement(Send("a@example.com", "s", "See http://u.site/trip/ too", "").body, "result"),
      "OK");
  ASSERT_EQ(GetElement(Send("a@example.com", "s", "See http://u.site/tripper", "").body, "result"),
            "OK");
  const std::vector<StoredMail> mails = NewMails();
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_EQ(mails[0].albumId, trip2) << "a longer name is not its prefix's album";
  EXPECT_EQ(mails[1].albumId, trip);
  EXPECT_EQ(mails[2].albumId, 0);
}

TEST_F(MailsTest, ARefusedMailIsNotStored) {
  EXPECT_EQ(GetElement(Send("ann@example.com;not-an-address", "s", "m", "").body, "errcode"), "3");
  ASSERT_TRUE(Server().InjectFault("SendEmail", "error", 1, "9:Mailbox full"));
  EXPECT_NE(GetElement(Send("ann@example.com", "s", "m", "").body, "result"), "OK");
  EXPECT_TRUE(NewMails().empty());
}

TEST(MailsEndpoint, AnswersLoopbackClientsOnly) {
  TempDir dir;
  server::ServerOptions options;
  options.dataDir = dir.Path() + "data";
  server::ZervaServer zerva(options);
  std::string error;
  ASSERT_TRUE(zerva.Init(&error)) << error;
  server::ServerRequest req;
  req.method = "GET";
  req.path = "/_zerva/mails";
  req.remoteAddr = "192.168.1.20";
  EXPECT_EQ(zerva.Handle(req, "x", "/_zerva/mails").status, 403);
  req.remoteAddr = "127.0.0.1";
  EXPECT_EQ(zerva.Handle(req, "x", "/_zerva/mails").status, 200);
}

}  // namespace
}  // namespace zerva::test
