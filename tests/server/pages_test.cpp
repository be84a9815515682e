// The fixed pages and files of the service, host routing, user sites and album pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server_test_util.h"

namespace zerva::test {
namespace {

class PagesTest : public ServerTest {
 protected:
  std::string Www() { return server_.HostFor("www"); }
  std::string Api() { return server_.HostFor("api"); }
  void WriteData(const std::string& relative, const std::string& content) {
    const std::string path = server_.DataDir() + "data/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
  }
  HttpReply EmptyPost(const std::string& path, const std::string& host = "") {
    return server_.PostRaw(path, "", "application/x-www-form-urlencoded", host);
  }
};

TEST_F(PagesTest, ConnectionTestAnswersTheDomainName) {
  for (const std::string& host : {std::string(), Api()}) {
    const HttpReply r = EmptyPost("/test_connection/client.php", host);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.contentType.rfind("text/", 0), 0u);
    EXPECT_EQ(Value(r), "zerva.localhost");
  }
  // The proxy test adds the client's name and version.
  EXPECT_EQ(
      Value(server_.Get(
          "/test_connection/client.php?clientName=zerva%20kalimtor&clientVersion=1.59.52.267")),
      "zerva.localhost");
}

TEST_F(PagesTest, ServerMessagesAreEmptyUntilSet) {
  HttpReply r = EmptyPost("/client14/messages.php");
  EXPECT_TRUE(IsOk(r));
  EXPECT_EQ(Value(r), "");
  ASSERT_TRUE(server_.SetConfig("message", "Maintenance tonight"));
  r = EmptyPost("/client14/messages.php");
  EXPECT_EQ(Value(r), "Maintenance tonight");
  EXPECT_EQ(GetElement(r.body, "error"), "false");
  ASSERT_TRUE(server_.SetConfig("messageError", "true"));
  EXPECT_EQ(GetElement(EmptyPost("/client14/messages.php").body, "error"), "true");
}

TEST_F(PagesTest, LanguageFilesComeFromTheDataFolderThenTheProgramFolder) {
  const std::string text = "versionID=9\nlocationID=1031\nmsgInfo=Info\n<**EndLangFile**>\n";
  WriteData("lang/zerva-de-de.lng", text);
  const HttpReply r = EmptyPost("/client14/lang/zerva-de-de.lng", Api());
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.contentType.rfind("text/plain", 0), 0u);
  EXPECT_EQ(r.body, text);
  if (std::filesystem::exists(std::string(ZERVA_BIN_DIR) + "/zerva-en-us.lng")) {
    EXPECT_EQ(EmptyPost("/client14/lang/zerva-en-us.lng").status, 200);
  }
  for (const char* bad : {"/client14/lang/zerva-xx.lng", "/client14/lang/../zerva.db",
                          "/client14/lang/zerva.db", "/client14/lang/"}) {
    EXPECT_EQ(EmptyPost(bad).status, 404) << bad;
  }
}

TEST_F(PagesTest, UpdateFilesHaveDefaultsAndComeFromTheDataFolder) {
  const HttpReply files = EmptyPost("/stahnout/update/files.dat", Www());
  EXPECT_EQ(files.status, 200);
  EXPECT_EQ(files.contentType.rfind("text/", 0), 0u);
  const std::string list = GetElement(files.body, "files");
  EXPECT_EQ(GetElementInt(GetElement(list, "file"), "version"), 267);
  EXPECT_EQ(GetElement(GetElement(list, "file"), "name"), "zerva.ver");
  const HttpReply params = EmptyPost("/stahnout/update/photovideoparams.xml", Www());
  EXPECT_EQ(GetElementInt(GetElement(params.body, "photoVideoParams"), "VideoMaxArea"), 307200);
  // Tests put their own description and archives into the data folder.
  WriteData("update/files.dat", "<files><file><version>300</version></file></files>");
  WriteData("update/ffmpeg.zip", "PK\x03\x04zip");
  EXPECT_EQ(EmptyPost("/stahnout/update/files.dat", Www()).body,
            "<files><file><version>300</version></file></files>");
  const HttpReply zip = EmptyPost("/stahnout/update/ffmpeg.zip", Www());
  EXPECT_EQ(zip.body, std::string("PK\x03\x04zip"));
  EXPECT_EQ(zip.contentType, "application/zip");
  EXPECT_EQ(EmptyPost("/stahnout/update/missing.zip", Www()).status, 404);
  EXPECT_EQ(EmptyPost("/stahnout/update/..%2F..%2Fzerva.db", Www()).status, 404);
  EXPECT_NE(server_.Get("/stahnout/?aktualizace=error", Www()).body.find("update did not work"),
            std::string::npos);
}

TEST_F(PagesTest, ServicePages) {
  EXPECT_EQ(server_.Get("/program/notifyStatus.php?current_status=installed", Www()).status, 200);
  EXPECT_EQ(server_.Get("/program/notifyStatus.php?current_status=uninstalled", Www()).status, 200);
  for (const char* page :
       {"/heslo/", "/pravidla/", "/nastaveni/", "/nastaveni/?act=FacebookAuthorize", "/"}) {
    const HttpReply r = server_.Get(page, Www());
    EXPECT_EQ(r.status, 200) << page;
    EXPECT_EQ(r.contentType.rfind("text/html", 0), 0u) << page;
  }
  EXPECT_NE(server_.Get("/nastaveni/?act=FacebookAuthorize", Www()).body.find("not available"),
            std::string::npos);
  // The forgotten password form answers the same for known and unknown addresses.
  Form known;
  known.Add("email", "alice@example.com");
  Form unknown;
  unknown.Add("email", "nobody@example.com");
  EXPECT_EQ(server_.Post("/heslo/", known, Www()).body,
            server_.Post("/heslo/", unknown, Www()).body);
  EXPECT_EQ(server_.Get("/no/such/page", Www()).status, 404);
}

TEST_F(PagesTest, MapPageReportsPositionsThroughItsTitle) {
  const HttpReply r = server_.Get(
      "/program/"
      "googlemaps.php?lat=49.1950000&lon=16.6070000&zoom=14&dlat=49.2&dlon=16.5&w=600&h=400"
      "&t1=Find&t2=Save&t3=Not%20found&edit",
      Www());
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.contentType.rfind("text/html", 0), 0u);
  EXPECT_NE(r.body.find("<title>Tarvik Google Maps</title>"), std::string::npos);
  EXPECT_NE(r.body.find("document.title='Loc:'"), std::string::npos);
  for (const char* param : {"'lat'", "'lon'", "'zoom'", "'dlat'", "'dlon'", "'w'", "'h'", "'t1'",
                            "'t2'", "'t3'", "'edit'"}) {
    EXPECT_NE(r.body.find(param), std::string::npos) << param;
  }
  // Nothing from outside: no tile servers, no scripts from elsewhere.
  EXPECT_EQ(r.body.find("http"), std::string::npos);
  // The parameters are read by the page itself, never written into it.
  const HttpReply evil =
      server_.Get("/program/googlemaps.php?t1=%3Cscript%3Ealert(1)%3C/script%3E", Www());
  EXPECT_EQ(evil.body, r.body);
}

TEST_F(PagesTest, HostsSeparateTheRoots) {
  Form get;
  get.Add("userName", "alice").Add("userPass", Digest("secret")).Eof();
  EXPECT_TRUE(IsOk(server_.Post("/client14/get_setting.php", get, Api())));
  EXPECT_EQ(server_.Post("/client14/get_setting.php", get, Www()).status, 404);
  EXPECT_EQ(server_.Get("/heslo/", Api()).status, 404);
  EXPECT_EQ(server_.Get("/", server_.HostFor("download")).status, 200);
  EXPECT_EQ(server_.Get("/", server_.HostFor("nobody")).status, 404);
}

TEST_F(PagesTest, UserSiteListsVisibleAlbumsAndAlbumPagesShowPhotos) {
  std::string summerXml = AlbumXml("Summer <script>", "Summer", "");
  summerXml.replace(summerXml.find("<albumCategory>21"), 17, "<albumCategory>2;3");
  Form visible;
  visible.Add("serverDir", "Summer").Add("albumSetting", summerXml);
  const int64_t summer = std::atoll(Value(Alice("CreateAlbum", visible)).c_str());
  Form hidden;
  hidden.Add("serverDir", "Secret")
      .Add("albumSetting",
           AlbumXml("Hidden one", "Secret", "")
               .replace(AlbumXml("Hidden one", "Secret", "").find("<albumVisible>1"), 15,
                        "<albumVisible>0"));
  ASSERT_TRUE(IsOk(Alice("CreateAlbum", hidden)));
  ASSERT_TRUE(
      IsOk(Upload(summer, "Summer/images", "a.jpg", "img", PhotoXml("a.jpg", "First & best", 1))));
  ASSERT_TRUE(
      IsOk(Upload(summer, "Summer/thumb", "a.jpg", "th", PhotoXml("a.jpg", "First & best", 1))));

  const std::string site = server_.HostFor("alice");
  const HttpReply home = server_.Get("/", site);
  EXPECT_EQ(home.status, 200);
  EXPECT_NE(home.body.find("Summer &lt;script&gt;"), std::string::npos);
  EXPECT_EQ(home.body.find("<script>"), std::string::npos);
  EXPECT_EQ(home.body.find("Hidden one"), std::string::npos);
  EXPECT_EQ(server_.Get("/Secret/", site).status, 200);  // unlisted, not locked

  const HttpReply page = server_.Get("/Summer/", site);
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("First &amp; best"), std::string::npos);
  EXPECT_NE(page.body.find("images/a.jpg"), std::string::npos);
  const HttpReply redirect = server_.Get("/Summer", site);
  EXPECT_EQ(redirect.status, 302);
  EXPECT_EQ(redirect.Header("Location"), "/Summer/");
  EXPECT_EQ(server_.Get("/summer/images/a.jpg", site).body, "img");  // directories ignore case
  EXPECT_EQ(server_.Get("/Nothing/", site).status, 404);

  // The category listing shows the albums of a category.
  const std::string alba = server_.HostFor("alba");
  EXPECT_NE(server_.Get("/?category=3", alba).body.find("Summer &lt;script&gt;"),
            std::string::npos);
  EXPECT_EQ(server_.Get("/?category=1", alba).body.find("Summer &lt;script&gt;"),
            std::string::npos);
  EXPECT_EQ(server_.Get("/?category=77", alba).status, 404);
}

TEST_F(PagesTest, ProtectedAlbumPageAsksForItsNameAndPassword) {
  std::string xml = AlbumXml("Private", "Private", "");
  xml.replace(xml.find("<albumSecure>0"), 14, "<albumSecure>1");
  xml.replace(xml.find("<albumSecureName></albumSecureName>"), 35,
              "<albumSecureName>fam</albumSecureName>");
  xml.replace(xml.find("<albumSecurePass></albumSecurePass>"), 35,
              "<albumSecurePass>pw</albumSecurePass>");
  Form f;
  f.Add("serverDir", "Private").Add("albumSetting", xml);
  const int64_t id = std::atoll(Value(Alice("CreateAlbum", f)).c_str());
  ASSERT_TRUE(IsOk(Upload(id, "Private/images", "p.jpg", "img", PhotoXml("p.jpg", "Party", 1))));
  const std::string site = server_.HostFor("alice");
  const HttpReply locked = server_.Get("/Private/", site);
  EXPECT_NE(locked.body.find("protected"), std::string::npos);
  EXPECT_EQ(locked.body.find("Party"), std::string::npos);
  EXPECT_EQ(server_.Get("/Private/?name=fam&pass=wrong", site).body.find("Party"),
            std::string::npos);
  EXPECT_NE(server_.Get("/Private/?name=fam&pass=pw", site).body.find("Party"), std::string::npos);
}

}  // namespace
}  // namespace zerva::test
