// Fault injection through the loopback control endpoint, and the control endpoint itself.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/fs.h"
#include "server/server.h"
#include "server_test_util.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

class FaultsTest : public ServerTest {
 protected:
  HttpReply Albums() { return Alice("GetAlbums", Form().Add("userID", 0).Add("albumID", 0)); }
  int AlbumCount() {
    const std::string v = Value(Albums());
    return v == "<NoAlbums>" ? 0 : static_cast<int>(GetElements(v, "album").size());
  }
  HttpReply Create(const std::string& dir) {
    return Alice("CreateAlbum",
                 Form().Add("serverDir", dir).Add("albumSetting", AlbumXml(dir, dir, "")));
  }
};

TEST_F(FaultsTest, HttpStatusForTheNextCallsAndTheScriptDoesNotRun) {
  ASSERT_TRUE(server_.InjectFault("CreateAlbum", "status", 2, "500"));
  EXPECT_EQ(Create("A").status, 500);
  EXPECT_EQ(Create("A").status, 500);
  EXPECT_EQ(AlbumCount(), 0);
  EXPECT_TRUE(IsOk(Create("A")));
  ASSERT_TRUE(server_.InjectFault("upload.php", "404"));
  const HttpReply r = Upload(1, "A/images", "x.jpg", "x", "");
  EXPECT_EQ(r.status, 404);
  EXPECT_EQ(r.contentType.rfind("text/", 0), 0u);
  // Other scripts are untouched.
  EXPECT_EQ(Albums().status, 200);
}

TEST_F(FaultsTest, RetryAndRefusalAnswers) {
  ASSERT_TRUE(server_.InjectFault("CreateAlbum", "retry"));
  const HttpReply retry = Create("A");
  EXPECT_EQ(retry.status, 200);
  EXPECT_EQ(GetElement(retry.body, "result"), "retry");
  EXPECT_EQ(AlbumCount(), 0);
  ASSERT_TRUE(server_.InjectFault("GetAlbumPhotos", "error", 1, "1:Image server unavailable"));
  const HttpReply refused = Alice("GetAlbumPhotos", Form().Add("userID", 0).Add("albumID", 1));
  EXPECT_EQ(ErrCode(refused), "1");
  EXPECT_EQ(Value(refused), "Image server unavailable");
  ASSERT_TRUE(server_.InjectFault("login.php", "error", 1, "Service closed for maintenance"));
  Form login;
  login.Add("email", "alice").Add("userPass", Digest("secret")).Add("version", "267").Eof();
  EXPECT_EQ(Value(server_.Api("login.php", login)), "Service closed for maintenance");
  EXPECT_TRUE(IsOk(server_.Api("login.php", login)));
}

TEST_F(FaultsTest, DroppedConnectionAfterTheScriptRan) {
  ASSERT_TRUE(server_.InjectFault("CreateAlbum", "drop"));
  const HttpReply r = Create("A");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(r.error.empty());
  // The answer was lost, not the work: the album exists, so a resend finds it taken.
  EXPECT_EQ(AlbumCount(), 1);
  EXPECT_EQ(ErrCode(Create("A")), "7");
}

TEST_F(FaultsTest, DelayHoldsTheAnswer) {
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "delay", 1, "400"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(IsOk(Albums()));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
}

TEST_F(FaultsTest, WrongFileSizeStoresTheFileButMisreportsIt) {
  const int64_t id = std::atoll(Value(Create("A")).c_str());
  ASSERT_TRUE(server_.InjectFault("upload.php", "wrongFileSize"));
  EXPECT_EQ(GetElementInt(Value(Upload(id, "A/images", "a.jpg", "12345", "")), "fileSize"), 6);
  ASSERT_TRUE(server_.InjectFault("upload.php", "wrongFileSize", 1, "0"));
  EXPECT_EQ(GetElementInt(Value(Upload(id, "A/images", "b.jpg", "12345", "")), "fileSize"), 0);
  EXPECT_EQ(GetElementInt(Value(Upload(id, "A/images", "c.jpg", "12345", "")), "fileSize"), 5);
  EXPECT_EQ(server_.Get("/A/images/a.jpg", server_.HostFor("alice")).body, "12345");
}

TEST_F(FaultsTest, TruncatedBodyAndWrongContentType) {
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "truncate"));
  const HttpReply cut = Albums();
  EXPECT_EQ(cut.status, 200);
  EXPECT_LT(cut.body.size(), Albums().body.size());
  bool found = true;
  GetElement(cut.body, "value", &found);
  EXPECT_FALSE(found);
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "contentType"));
  EXPECT_EQ(Albums().contentType, "image/png");
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "contentType", 1, "application/octet-stream"));
  EXPECT_EQ(Albums().contentType, "application/octet-stream");
  // Downloads can be cut too.
  const int64_t id = std::atoll(Value(Create("A")).c_str());
  Upload(id, "A/images", "a.jpg", "0123456789", "");
  ASSERT_TRUE(server_.InjectFault("a.jpg", "truncate"));
  EXPECT_EQ(server_.Get("/A/images/a.jpg", server_.HostFor("alice")).body, "01234");
}

TEST_F(FaultsTest, FaultsReachPagesAndEveryScriptWithAStar) {
  ASSERT_TRUE(server_.InjectFault("stahnout/update/files.dat", "500"));
  EXPECT_EQ(server_.Get("/stahnout/update/files.dat", server_.HostFor("www")).status, 500);
  EXPECT_EQ(server_.Get("/stahnout/update/files.dat", server_.HostFor("www")).status, 200);
  ASSERT_TRUE(server_.InjectFault("*", "500", 2));
  EXPECT_EQ(Albums().status, 500);
  EXPECT_EQ(server_.Get("/test_connection/client.php").status, 500);
  EXPECT_EQ(Albums().status, 200);
  // Combined kinds: a delay and a status on the same call.
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "delay", 1, "100"));
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "500"));
  EXPECT_EQ(Albums().status, 500);
}

TEST_F(FaultsTest, ClearFaultsAndBadControlRequests) {
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "500", 5));
  ASSERT_TRUE(server_.SetConfig("uploadDelay", "700"));
  ASSERT_TRUE(server_.ClearFaults());
  EXPECT_EQ(Albums().status, 200);
  EXPECT_FALSE(server_.InjectFault("GetAlbums", "explode"));
  EXPECT_FALSE(server_.InjectFault("", "500"));
  EXPECT_FALSE(server_.InjectFault("GetAlbums", "status", 1, "abc"));
  EXPECT_FALSE(server_.InjectFault("GetAlbums", "status", 1, "42"));
  EXPECT_FALSE(server_.InjectFault("GetAlbums", "500", 0));
  EXPECT_FALSE(server_.SetConfig("nonsense", "1"));
  EXPECT_FALSE(server_.RefuseBlock("not-a-digest"));
  EXPECT_EQ(server_.Get("/_zerva/fault").status, 405);
}

server::FormField Text(const std::string& name, const std::string& value) {
  server::FormField f;
  f.name = name;
  f.value = value;
  return f;
}

// The control endpoint answers loopback clients only; checked without the network, on the
// server object itself.
TEST(ControlEndpoint, RefusesClientsFromElsewhere) {
  TempDir dir;
  server::ServerOptions options;
  options.dataDir = dir.Path() + "data";
  server::ZervaServer zerva(options);
  std::string error;
  ASSERT_TRUE(zerva.Init(&error)) << error;
  server::ServerRequest req;
  req.method = "POST";
  req.path = "/_zerva/fault";
  req.fields = {Text("target", "*"), Text("kind", "500")};
  req.remoteAddr = "192.168.1.20";
  EXPECT_EQ(zerva.Handle(req, "x", "/_zerva/fault").status, 403);
  req.path = "/_zerva/log";
  EXPECT_EQ(zerva.Handle(req, "x", "/_zerva/log").status, 403);
  req.path = "/_zerva/fault";
  req.remoteAddr = "127.0.0.1";
  EXPECT_EQ(zerva.Handle(req, "x", "/_zerva/fault").status, 200);
  server::ServerRequest ping;
  ping.method = "POST";
  ping.path = "/client14/ping.php";
  ping.fields = {Text("code", "1"), Text("eof", "1")};
  ping.remoteAddr = "192.168.1.20";
  EXPECT_EQ(zerva.Handle(ping, "x", "/client14/ping.php").status, 500);
}

}  // namespace
}  // namespace zerva::test
