// Start, stop and restart: the data folder keeps everything, the demo data is seeded once,
// and the server ends cleanly on SIGTERM.
#include <gtest/gtest.h>

#include "server_test_util.h"

namespace zerva::test {
namespace {

TEST(Lifecycle, DataSurvivesARestartAndDemoSeedingIsRepeatable) {
  ServerFixture::Options options;
  options.seedDemo = true;
  ServerFixture server(options);
  std::string error;
  ASSERT_TRUE(server.Start(&error)) << error;
  const std::string pass = Md5Hex("demo");
  Form albums;
  albums.Add("userID", 0).Add("albumID", 0);
  const std::string before =
      GetElement(server.Command("GetAlbums", "demo", pass, albums).body, "value");
  ASSERT_EQ(GetElements(before, "album").size(), 2u);
  ASSERT_GT(server.CreateUser("carol", "carol@example.com", "pw"), 0);
  EXPECT_EQ(server.Stop(), 0) << server.ServerLog();  // clean exit, no leak reports

  ASSERT_TRUE(server.Start(&error)) << error;
  const std::string after =
      GetElement(server.Command("GetAlbums", "demo", pass, albums).body, "value");
  EXPECT_EQ(GetElements(after, "album").size(), 2u);
  // Identifiers and photos are the same; only the port in the addresses may differ.
  EXPECT_EQ(GetElementInt(before, "albumID"), GetElementInt(after, "albumID"));
  EXPECT_EQ(GetElement(before, "createDate"), GetElement(after, "createDate"));
  Form login;
  login.Add("email", "carol").Add("userPass", Md5Hex("pw")).Add("version", "267").Eof();
  EXPECT_EQ(GetElement(server.Api("login.php", login).body, "result"), "OK");
  EXPECT_EQ(server.Stop(), 0);
}

TEST(Lifecycle, BadArgumentsEndTheServerWithAMessage) {
  ServerFixture::Options options;
  options.extraArgs = {"--port", "70000"};
  ServerFixture server(options);
  std::string error;
  EXPECT_FALSE(server.Start(&error));
  EXPECT_NE(error.find("bad number"), std::string::npos) << error;
}

}  // namespace
}  // namespace zerva::test
