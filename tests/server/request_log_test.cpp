// The request log keeps what the client sent: fields in order, file parts by name, size and
// digest, and the headers.
#include <gtest/gtest.h>

#include "server_test_util.h"

namespace zerva::test {
namespace {

class RequestLogTest : public ServerTest {};

TEST_F(RequestLogTest, UrlEncodedFieldsInOrderWithExactValues) {
  ASSERT_TRUE(server_.ClearLog());
  const std::string xml = "<album>\t<name>A & B = c</name>\n<photos>\n</photos></album>";
  Form f;
  f.Add("command", "EmptyAlbum")
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("albumID", 5)
      .Add("albumSetting", xml)
      .Eof();
  server_.PostRaw("/client14/command.php", f.UrlEncoded(), "application/x-www-form-urlencoded", "",
                  {{"User-Agent", "zerva kalimtor, version 1.59.52.267, build 267"}});
  const std::vector<LoggedRequest> log = server_.LogOf("EmptyAlbum");
  ASSERT_EQ(log.size(), 1u);
  const LoggedRequest& r = log[0];
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.Script(), "command.php");
  EXPECT_EQ(r.Path(), "/client14/command.php");
  EXPECT_EQ(r.FieldNames(), (std::vector<std::string>{"command", "userName", "userPass", "albumID",
                                                      "albumSetting", "eof"}));
  EXPECT_EQ(r.Field("albumSetting"), xml);
  EXPECT_EQ(r.Field("albumID"), "5");
  EXPECT_EQ(r.Header("User-Agent"), "zerva kalimtor, version 1.59.52.267, build 267");
  EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(r.status, 200);
}

TEST_F(RequestLogTest, MultipartOrderIsKeptAcrossTextAndFileParts) {
  ASSERT_TRUE(server_.ClearLog());
  const std::string block0(1000, 'a');
  const std::string block1(10, 'b');
  Form f;
  f.Add("command", "NextVideoUpload")
      .Add("uploadID", 9)
      .Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("blocks", "<blocks></blocks>")
      .AddFile("data1", "blk1.tmp", block1)
      .Add("between", "text")
      .AddFile("data0", "blk0.tmp", block0)
      .Eof();
  server_.Api("command.php", f);
  const std::vector<LoggedRequest> log = server_.LogOf("NextVideoUpload");
  ASSERT_EQ(log.size(), 1u);
  const LoggedRequest& r = log[0];
  EXPECT_EQ(r.FieldNames(),
            (std::vector<std::string>{"command", "uploadID", "userName", "userPass", "blocks",
                                      "data1", "between", "data0", "eof"}));
  const LoggedField* data0 = r.Find("data0");
  ASSERT_NE(data0, nullptr);
  EXPECT_TRUE(data0->isFile);
  EXPECT_EQ(data0->fileName, "blk0.tmp");
  EXPECT_EQ(data0->size, 1000);
  EXPECT_EQ(data0->md5, Md5Hex(block0));
  EXPECT_FALSE(r.Find("between")->isFile);
  EXPECT_EQ(r.fields.back().value, "1");
  EXPECT_EQ(r.Header("Content-Type").rfind("multipart/form-data; boundary=", 0), 0u);
}

TEST_F(RequestLogTest, EveryRequestIsLoggedWithStatusAndFaults) {
  ASSERT_TRUE(server_.ClearLog());
  ASSERT_TRUE(server_.InjectFault("GetAlbums", "500"));
  Alice("GetAlbums");
  server_.Get("/heslo/", server_.HostFor("www"));
  server_.Get("/nothing.jpg", server_.HostFor("alice"));
  const std::vector<LoggedRequest> log = server_.Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].status, 500);
  EXPECT_NE(log[0].note.find("status"), std::string::npos);
  EXPECT_EQ(log[1].method, "GET");
  EXPECT_EQ(log[1].host, server_.HostFor("www"));
  EXPECT_EQ(log[1].target, "/heslo/");
  EXPECT_EQ(log[2].status, 404);
  EXPECT_LT(log[0].seq, log[1].seq);
  // Only entries after a sequence number.
  const std::vector<LoggedRequest> later = server_.Log(log[1].seq);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].target, "/nothing.jpg");
  // Control requests are not logged.
  EXPECT_EQ(server_.Log(log[2].seq).size(), 0u);
}

TEST_F(RequestLogTest, CutBodiesAreLoggedWithTheirError) {
  ASSERT_TRUE(server_.ClearLog());
  Form f;
  f.Add("userName", "alice").Add("userPass", Digest("secret"));
  server_.Api("get_setting.php", f);  // no eof
  const std::vector<LoggedRequest> log = server_.LogOf("get_setting.php");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].FieldNames(), (std::vector<std::string>{"userName", "userPass"}));
}

}  // namespace
}  // namespace zerva::test
