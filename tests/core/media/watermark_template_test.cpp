// The service's watermark template: fetched once per run through "vatten.jpg", which does not
// stay behind; a service without one means no watermark, a failed fetch is no such answer.
#include "media/watermark_template.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "app/credentials.h"
#include "app/version.h"
#include "net/http_mngr.h"
#include "platform/fs.h"
#include "session/user_session.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

class WatermarkTemplateTest : public test::ServiceClientTest {
 protected:
  int Fetches() { return static_cast<int>(Server().LogOf("GetWatermarkTemplate").size()); }
  test::TempDir dir_;
};

TEST_F(WatermarkTemplateTest, FetchedIntoMemoryAndTheFileDeleted) {
  std::string bytes, error;
  EXPECT_EQ(FetchWatermarkTemplate(*connection_, test::ServiceClient::DemoUser(),
                                   test::ServiceClient::DemoDigest(), dir_.Path(), &bytes, &error),
            TemplateFetch::kFetched);
  EXPECT_FALSE(bytes.empty());
  EXPECT_FALSE(FileExists(dir_.File(kWatermarkTemplateFile)));
  const SharedBitmap image = DecodeWatermarkTemplate(bytes);
  ASSERT_NE(image, nullptr);
  EXPECT_GT(BitmapSize(image.get()).width, 0);
  EXPECT_EQ(DecodeWatermarkTemplate("not a picture"), nullptr);
  EXPECT_EQ(DecodeWatermarkTemplate(""), nullptr);
}

TEST_F(WatermarkTemplateTest, RefusedFetchIsAFailureNotAMissingTemplate) {
  std::string bytes, error;
  EXPECT_EQ(FetchWatermarkTemplate(*connection_, test::ServiceClient::DemoUser(),
                                   PasswordDigest("wrong"), dir_.Path(), &bytes, &error),
            TemplateFetch::kFailed);
  EXPECT_NE(error.find("GetWatermarkTemplate"), std::string::npos);
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(FileExists(dir_.File(kWatermarkTemplateFile)));
}

TEST_F(WatermarkTemplateTest, SessionFetchesOncePerRun) {
  const std::string user = "w" + std::to_string(::getpid());
  ASSERT_GT(Server().CreateUser(user, user + "@example.com", "secret"), 0);
  CUserSession session;
  session.SetConnection(connection_.get());
  ASSERT_FALSE(session.LockLogin(user));
  ASSERT_TRUE(session.Login(user, PasswordDigest("secret"))) << session.LastError();
  auto manager = std::make_shared<CHttpMngr>();
  manager->SetClientName(kProductName);
  manager->SetClientVersion(kVersionText);
  manager->SetSystemProxyLookup([](const std::string&, std::string* proxy, std::string* cred) {
    proxy->clear();
    cred->clear();
    return true;
  });
  ASSERT_TRUE(Server().ClearLog());
  const WatermarkSource source = SessionWatermarkSource(session, manager);
  const WatermarkTemplate first = source();
  ASSERT_FALSE(first.Failed()) << first.error;
  ASSERT_NE(first.image, nullptr);
  const WatermarkTemplate second = source();
  EXPECT_EQ(second.image, first.image);
  EXPECT_EQ(Fetches(), 1);
  ASSERT_NE(session.WatermarkTemplate(), nullptr);
  EXPECT_FALSE(FileExists(session.UserFolder() + kWatermarkTemplateFile));

  // A service without a template: nothing to lay on, and it is not asked again.
  session.SetWatermarkTemplate(std::make_shared<const std::string>());
  EXPECT_EQ(source().image, nullptr);
  EXPECT_FALSE(source().Failed());
  EXPECT_EQ(Fetches(), 1);
}

TEST(FixedWatermarkTest, AlwaysTheSameTemplate) {
  EXPECT_EQ(FixedWatermarkSource(nullptr)().image, nullptr);
  EXPECT_FALSE(FixedWatermarkSource(nullptr)().Failed());
}

}  // namespace
}  // namespace zerva
