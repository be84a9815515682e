// Categories, partners, banners, information, watermark, album category values, e-mail,
// statistics and bug reports, against a server with the demo data.
#include <gtest/gtest.h>

#include <map>

#include "server_test_util.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

class CatalogTest : public SharedServerTest {
 protected:
  HttpReply Demo(const std::string& command, const Form& fields = Form()) {
    return Server().Command(command, "demo", Md5Hex("demo"), fields);
  }
  static std::string Value(const HttpReply& r) { return GetElement(r.body, "value"); }
  static bool IsOk(const HttpReply& r) { return GetElement(r.body, "result") == "OK"; }
  std::string DemoLogin() {
    Form f;
    f.Add("email", "demo").Add("userPass", Md5Hex("demo")).Add("version", "267").Eof();
    return Value(Server().Api("login.php", f));
  }
  int64_t DemoAlbum() {
    Form f;
    f.Add("userID", 0).Add("albumID", 0);
    return GetElementInt(Value(Demo("GetAlbums", f)), "albumID");
  }
};

TEST_F(CatalogTest, DemoAccountsSignIn) {
  EXPECT_EQ(GetElement(DemoLogin(), "name"), "demo");
  EXPECT_EQ(GetElementInt(DemoLogin(), "userType"), 1);
  Form f;
  f.Add("email", "vip").Add("userPass", Md5Hex("vip")).Add("version", "267").Eof();
  EXPECT_EQ(GetElementInt(Value(Server().Api("login.php", f)), "userType"), 111);
  // The watermark template's size and the partners come with the sign-in.
  EXPECT_EQ(GetElementInt(DemoLogin(), "watermarkWidth"), 160);
  EXPECT_EQ(GetElementInt(DemoLogin(), "watermarkHeight"), 60);
  EXPECT_EQ(GetElements(GetElement(DemoLogin(), "partners"), "partner").size(), 2u);
}

TEST_F(CatalogTest, CategoryTreeHasEveryKindOfCategory) {
  Form f;
  f.Add("userID", 0).Add("userLang", 1033);
  const HttpReply r = Demo("GetCategory", f);
  ASSERT_TRUE(IsOk(r));
  std::map<int64_t, std::string> byId;
  for (const std::string& c : GetElements(Value(r), "category"))
    byId[GetElementInt(c, "index")] = c;
  ASSERT_TRUE(byId.count(105));
  const std::string& floods = byId[105];
  EXPECT_EQ(GetElementInt(floods, "needInfo"), 1);
  const std::vector<std::string> items = GetElements(GetElement(floods, "additionalInfo"), "item");
  EXPECT_GE(items.size(), 5u);
  std::map<std::string, int> types;
  std::map<std::string, int> validators;
  for (const std::string& item : items) {
    EXPECT_FALSE(GetElement(item, "key").empty());
    EXPECT_FALSE(GetElement(item, "name").empty());
    types[GetElement(item, "type")]++;
    const std::string v = GetElement(item, "validators");
    for (const char* kind : {"regexValidator", "maxLengthValidator", "minLengthValidator",
                             "maxValueValidator", "minValueValidator", "requireValidator"}) {
      bool found = false;
      const std::string content = GetElement(v, kind, &found);
      if (found) {
        validators[kind]++;
        EXPECT_FALSE(GetElement(content, "message").empty()) << kind;
      }
    }
  }
  for (const char* type : {"string", "int", "select", "bool", "dateTime"})
    EXPECT_TRUE(types[type]) << type;
  EXPECT_EQ(validators.size(), 6u);
  EXPECT_EQ(GetElements(GetElement(floods, "subCategories"), "subCategory").size(), 3u);
  EXPECT_EQ(GetElementInt(byId[6], "sendOriginal"), 1);
  EXPECT_EQ(GetElementInt(byId[7], "sendHiRes"), 1);
  EXPECT_EQ(GetElementInt(byId[8], "readOnly"), 1);
  EXPECT_EQ(GetElementInt(byId[81], "parentID"), 8);
  EXPECT_EQ(GetElementInt(byId[9], "partnerID"), 1);
  EXPECT_EQ(GetElement(byId[22], "name"), "Sea_and_coast");
  EXPECT_EQ(GetElementInt(byId[4], "needInfo"), 1);
  EXPECT_TRUE(GetElement(byId[4], "additionalInfo").empty());
}

TEST_F(CatalogTest, PartnersAndTheirLogos) {
  const std::vector<std::string> partners =
      GetElements(Value(Demo("GetPartners", Form().Add("userID", 0))), "partner");
  ASSERT_EQ(partners.size(), 2u);
  EXPECT_EQ(GetElementInt(partners[0], "partnerID"), 1);
  EXPECT_EQ(GetElement(partners[0], "name"), "Fotolab");
  for (const char* name : {"desc", "url", "flag"}) {
    bool found = false;
    GetElement(partners[1], name, &found);
    EXPECT_TRUE(found) << name;
  }
  const HttpReply logo = Server().Get("/partners/logos/1.jpg", Server().HostFor("www"));
  EXPECT_EQ(logo.status, 200);
  EXPECT_EQ(logo.contentType, "image/jpeg");
  EXPECT_EQ(logo.body.substr(0, 2), "\xff\xd8");
  EXPECT_EQ(Server().Get("/partners/logos/7.jpg", Server().HostFor("www")).status, 404);
  EXPECT_EQ(Server().Get("/partners/logos/..%2Fzerva.db", Server().HostFor("www")).status, 404);
}

TEST_F(CatalogTest, BannersAnswerRawFilesWithPictures) {
  const HttpReply r = Demo("GetBanners", Form().Add("albumID", DemoAlbum()));
  const std::vector<std::string> files = GetElements(GetElement(r.body, "files"), "file");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_FALSE(GetElement(files[0], "title").empty());
  EXPECT_EQ(GetElement(files[0], "name").rfind("https://", 0), 0u);
  const std::string url = GetElement(files[0], "url");
  const std::string prefix = "http://" + Server().HostFor("www");
  ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
  const HttpReply picture = Server().Get(url.substr(prefix.size()), Server().HostFor("www"));
  EXPECT_EQ(picture.status, 200);
  EXPECT_EQ(picture.contentType, "image/jpeg");
}

TEST_F(CatalogTest, InformationBanner) {
  Form f;
  f.Add("userName", "demo").Add("userPass", Md5Hex("demo")).Add("userLang", 1029).Eof();
  const std::string v = Value(Server().Api("get_info.php", f));
  EXPECT_EQ(GetElement(v, "caption"), "Welcome to zerva");
  EXPECT_FALSE(GetElement(v, "url").empty());
  EXPECT_FALSE(GetElement(v, "description").empty());
  EXPECT_EQ(GetElementInt(v, "interval"), 30);
}

TEST_F(CatalogTest, WatermarkTemplateAndPatch) {
  const HttpReply tpl = Demo("GetWatermarkTemplate");
  EXPECT_EQ(tpl.status, 200);
  EXPECT_EQ(tpl.body.substr(1, 3), "PNG");
  const HttpReply denied = Server().Command("GetWatermarkTemplate", "demo", Md5Hex("no"));
  EXPECT_GE(denied.status, 400);

  const int64_t album = DemoAlbum();
  Form photos;
  photos.Add("userID", 0).Add("albumID", album);
  const int64_t photoId = GetElementInt(Value(Demo("GetAlbumPhotos", photos)), "photoID");
  // No patch yet: 404 with a text refusal the client decodes.
  const HttpReply none = Demo("GetWatermarkPatch", Form().Add("userID", 0).Add("photoID", photoId));
  EXPECT_EQ(none.status, 404);
  EXPECT_EQ(none.contentType.rfind("text/", 0), 0u);
  EXPECT_EQ(GetElement(none.body, "result"), "ERROR");
  const std::string dir = GetElement(
      Value(Demo("GetAlbums", Form().Add("userID", 0).Add("albumID", album))), "serverDir");
  const std::string fileName = GetElement(Value(Demo("GetAlbumPhotos", photos)), "fileName");
  Form up;
  up.Add("userName", "demo")
      .Add("userPass", Md5Hex("demo"))
      .Add("directory", dir + "/diff")
      .Add("albumID", album)
      .Add("setting", "")
      .AddFile("soubor", fileName, "\xff\xd8patch")
      .Eof();
  ASSERT_TRUE(IsOk(Server().Api("upload.php", up)));
  const HttpReply patch =
      Demo("GetWatermarkPatch", Form().Add("userID", 0).Add("photoID", photoId));
  EXPECT_EQ(patch.status, 200);
  EXPECT_EQ(patch.contentType, "image/jpeg");
  EXPECT_EQ(patch.body, "\xff\xd8patch");
}

TEST_F(CatalogTest, AdditionalAlbumInfoNeedsOwnAlbumAndKnownCategory) {
  const int64_t album = DemoAlbum();
  const std::string values =
      "<valueSet><item><key>author</key><value>Demo</value></item></valueSet>";
  EXPECT_TRUE(
      IsOk(Demo("SendAdditionalAlbumInfo",
                Form().Add("albumID", album).Add("categoryID", 105).Add("valueSet", values))));
  EXPECT_EQ(
      GetElement(Demo("SendAdditionalAlbumInfo",
                      Form().Add("albumID", album).Add("categoryID", 999).Add("valueSet", values))
                     .body,
                 "errcode"),
      "4");
  const HttpReply foreign =
      Server().Command("SendAdditionalAlbumInfo", "vip", Md5Hex("vip"),
                       Form().Add("albumID", album).Add("categoryID", 105).Add("valueSet", values));
  EXPECT_EQ(GetElement(foreign.body, "errcode"), "4");
}

TEST_F(CatalogTest, SendEmailFillsTheAddressBookAndDeleteRemovesFromIt) {
  Form f;
  f.Add("userID", 0)
      .Add("mailTo", "ann@example.com; bob@example.com,")
      .Add("mailSubject", "Album")
      .Add("mailMessage", "\r\n\r\nLook: http://demo.zerva.localhost/x/\r\n")
      .Add("mailFrom", "demo@zerva.localhost");
  ASSERT_TRUE(IsOk(Demo("SendEmail", f)));
  std::vector<std::string> book = GetElements(GetElement(DemoLogin(), "emailHistory"), "emailA");
  EXPECT_EQ(book, (std::vector<std::string>{"ann@example.com", "bob@example.com"}));
  ASSERT_TRUE(IsOk(Demo("DeleteEmailAddress", Form().Add("email", "ann@example.com"))));
  book = GetElements(GetElement(DemoLogin(), "emailHistory"), "emailA");
  EXPECT_EQ(book, std::vector<std::string>{"bob@example.com"});
  Form bad;
  bad.Add("userID", 0)
      .Add("mailTo", "ann@example.com;not-an-address")
      .Add("mailSubject", "x")
      .Add("mailMessage", "x")
      .Add("mailFrom", "x");
  EXPECT_EQ(GetElement(Demo("SendEmail", bad).body, "errcode"), "3");
  Form none;
  none.Add("userID", 0)
      .Add("mailTo", " ; ")
      .Add("mailSubject", "x")
      .Add("mailMessage", "x")
      .Add("mailFrom", "x");
  EXPECT_EQ(GetElement(Demo("SendEmail", none).body, "errcode"), "3");
}

TEST_F(CatalogTest, StatisticsBugReportsAndPing) {
  Form stat;
  stat.Add("uuid", "6f1c1a2e-0000-1000-8000-000000000001")
      .Add("statistic", "<osVersion>x</osVersion>")
      .Eof();
  EXPECT_TRUE(IsOk(Server().Api("send_stat.php", stat)));
  Form noUuid;
  noUuid.Add("uuid", "").Add("statistic", "x").Eof();
  EXPECT_FALSE(IsOk(Server().Api("send_stat.php", noUuid)));

  // Reports are taken before sign-in too; each gets a new number.
  Form bug;
  bug.Add("userName", "").Add("userPass", "").Add("whatIsWrong", "<bug><id>6</id></bug>").Eof();
  const HttpReply first = Server().Api("send_bug.php", bug);
  ASSERT_TRUE(IsOk(first));
  const int64_t n = std::atoll(Value(first).c_str());
  EXPECT_GT(n, 0);
  Form withFile;
  withFile.Add("userName", "demo")
      .Add("userPass", Md5Hex("demo"))
      .Add("chyba", "<bug><id>1</id></bug>")
      .AddFile("soubor", "C:\\photos\\broken.jpg", "not really a jpeg")
      .Eof();
  const HttpReply second = Server().Api("send_bug.php", withFile);
  ASSERT_TRUE(IsOk(second));
  const int64_t m = std::atoll(Value(second).c_str());
  EXPECT_GT(m, n);
  EXPECT_EQ(ReadWholeFile(Server().DataDir() + "data/bugs/" + std::to_string(m) + ".bin"),
            "not really a jpeg");

  Form ping;
  ping.Add("code", "42").Eof();
  const HttpReply pong = Server().Api("ping.php", ping);
  EXPECT_EQ(pong.status, 200);
  EXPECT_TRUE(IsOk(pong));
}

}  // namespace
}  // namespace zerva::test
