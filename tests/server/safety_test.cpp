// What no client can do: leave its folder, touch another user's albums, exhaust memory with a
// body, or leave a half-written record or file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "raw_http.h"
#include "server_test_util.h"

namespace zerva::test {
namespace {

class SafetyTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    ASSERT_GT(server_.CreateUser("bob", "bob@example.com", "bobpw"), 0);
    album_ = CreateAlbum("Trip");
    const HttpReply up =
        Upload(album_, "Trip/images", "a.jpg", "alice's", PhotoXml("a.jpg", "A", 1));
    ASSERT_TRUE(IsOk(up));
    photo_ = GetElementInt(Value(up), "photoID");
  }
  HttpReply Bob(const std::string& command, const Form& fields = Form()) {
    return server_.Command(command, "bob", Digest("bobpw"), fields);
  }
  std::string AlicePhotos() {
    return Value(Alice("GetAlbumPhotos", Form().Add("userID", aliceId_).Add("albumID", album_)));
  }
  std::string FilesRoot() { return server_.DataDir() + "data/files/"; }
  size_t TmpFiles() {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(server_.DataDir() + "data/tmp");
         it != std::filesystem::directory_iterator(); ++it)
      ++n;
    return n;
  }
  int64_t album_ = 0;
  int64_t photo_ = 0;
};

TEST_F(SafetyTest, AnotherUserCannotReadListChangeOrDeleteAnAlbum) {
  const std::string before = AlicePhotos();
  const std::string xml = AlbumXml("Owned by bob", "Trip", "");
  EXPECT_EQ(ErrCode(Bob("GetAlbumPhotos", Form().Add("userID", 0).Add("albumID", album_))), "4");
  EXPECT_EQ(ErrCode(Bob("GetAlbumPhotos", Form().Add("userID", aliceId_).Add("albumID", album_))),
            "2");
  EXPECT_EQ(Value(Bob("GetAlbums", Form().Add("userID", 0).Add("albumID", album_))), "<NoAlbums>");
  EXPECT_EQ(ErrCode(Bob("GetAlbums", Form().Add("userID", aliceId_).Add("albumID", 0))), "2");
  EXPECT_EQ(ErrCode(Bob("EmptyAlbum", Form().Add("albumID", album_).Add("albumSetting", xml))),
            "4");
  EXPECT_EQ(
      ErrCode(Bob("SetAlbumUploading",
                  Form().Add("albumID", album_).Add("uploading", "0").Add("albumSetting", xml))),
      "4");
  EXPECT_EQ(ErrCode(Bob("DeleteAlbum", Form().Add("albumID", album_))), "4");
  EXPECT_EQ(ErrCode(Bob("GetUploadedFiles", Form().Add("userID", 0).Add("albumDirName", "Trip"))),
            "4");
  EXPECT_EQ(ErrCode(Bob("ExistAlbum", Form().Add("serverDir", "Trip"))), "4");
  EXPECT_EQ(ErrCode(Bob("SetVideoThumbPos", Form().Add("photoID", photo_).Add("thumbPos", "1.0"))),
            "4");
  EXPECT_EQ(Bob("GetWatermarkPatch", Form().Add("userID", 0).Add("photoID", photo_)).status, 404);
  EXPECT_EQ(ErrCode(Bob("SendAdditionalAlbumInfo",
                        Form().Add("albumID", album_).Add("categoryID", 1).Add("valueSet", "x"))),
            "4");
  EXPECT_EQ(ErrCode(Upload(album_, "Trip/images", "a.jpg", "bob's", "", "bob", "bobpw")), "4");
  // Bob's own album of the same name is his, in his own folder.
  Form f;
  f.Add("serverDir", "Trip").Add("albumSetting", xml);
  const int64_t bobs = std::atoll(Value(Bob("CreateAlbum", f)).c_str());
  ASSERT_GT(bobs, album_);
  EXPECT_EQ(ErrCode(Upload(bobs, "Trip/images", "a.jpg", "bob's", "", "bob", "bobpw")), "");
  EXPECT_EQ(ErrCode(Upload(album_, "Trip/images", "b.jpg", "bob's", "", "bob", "bobpw")), "4");

  EXPECT_EQ(AlicePhotos(), before);
  EXPECT_EQ(server_.Get("/Trip/images/a.jpg", server_.HostFor("alice")).body, "alice's");
  EXPECT_EQ(server_.Get("/Trip/images/a.jpg", server_.HostFor("bob")).body, "bob's");
}

TEST_F(SafetyTest, ClientNamesNeverLeaveTheUsersFolder) {
  const std::vector<std::string> bad = {"..",
                                        "../Trip",
                                        "Trip/..",
                                        "/tmp/x",
                                        "C:\\x",
                                        "a/b",
                                        "%2e%2e",
                                        "Trip\\..\\..",
                                        std::string(300, 'a'),
                                        std::string("a\0b", 3)};
  for (const std::string& name : bad) {
    EXPECT_EQ(
        ErrCode(Alice("CreateAlbum",
                      Form().Add("serverDir", name).Add("albumSetting", AlbumXml("x", "x", "")))),
        "5")
        << name;
    EXPECT_EQ(ErrCode(Alice("GetUploadedFiles", Form().Add("userID", 0).Add("albumDirName", name))),
              "5")
        << name;
    EXPECT_EQ(ErrCode(Alice("ExistAlbum", Form().Add("serverDir", name))), "5") << name;
    EXPECT_EQ(ErrCode(Upload(album_, name + "/images", "x.jpg", "x", "")), "5") << name;
  }
  // Nothing appeared beside the user folders.
  std::vector<std::string> entries;
  for (const auto& e : std::filesystem::directory_iterator(FilesRoot()))
    entries.push_back(e.path().filename().string());
  EXPECT_EQ(entries, std::vector<std::string>{std::to_string(aliceId_)});
  // Paths on the web site stay inside the album too.
  const std::string site = server_.HostFor("alice");
  for (const char* path :
       {"/Trip/images/..%2F..%2F..%2F..%2Fzerva.db", "/Trip/images/../../zerva.db", "/../zerva.db",
        "/Trip/images/", "/Trip/%2e%2e/images/a.jpg", "/Trip/video/..", "/Trip/video/abc"}) {
    const HttpReply r = server_.Get(path, site);
    EXPECT_EQ(r.status, 404) << path;
    EXPECT_EQ(r.body.find("SQLite"), std::string::npos) << path;
  }
}

TEST_F(SafetyTest, OversizedBodiesAndFieldsAreRefusedAndTheServerLivesOn) {
  // A body announced beyond the bound is refused before it is read.
  const std::string huge = RawExchange(server_.Port(),
                                       "POST /client14/upload.php HTTP/1.1\r\nHost: x\r\n"
                                       "Content-Type: application/x-www-form-urlencoded\r\n"
                                       "Content-Length: 200000000\r\n\r\nuserName=alice");
  EXPECT_NE(huge.find(" 413 "), std::string::npos) << huge.substr(0, 300);
  // Too many fields.
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "f=1&";
  const HttpReply fields = server_.PostRaw("/client14/get_setting.php", many + "eof=1",
                                           "application/x-www-form-urlencoded");
  EXPECT_EQ(ErrCode(fields), "8");
  // One text field above 16 MiB, as multipart.
  Form big;
  big.Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("setting", std::string(17u << 20, 's'))
      .AddFile("x", "x", "x")
      .Eof();
  EXPECT_EQ(ErrCode(server_.Api("set_setting.php", big)), "8");
  // Settings above their own bound.
  Form setting;
  setting.Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("setting", std::string((1u << 20) + 1, 's'))
      .Eof();
  EXPECT_EQ(ErrCode(server_.Api("set_setting.php", setting)), "8");
  EXPECT_TRUE(IsOk(Alice("GetAlbums", Form().Add("userID", 0).Add("albumID", 0))));
}

TEST_F(SafetyTest, MalformedBodiesGetAnErrorAnswer) {
  const std::vector<std::pair<std::string, std::string>> bodies = {
      {"multipart/form-data; boundary=abc", "garbage without any boundary"},
      {"multipart/form-data", "--x\r\n\r\n"},
      {"multipart/form-data; boundary=abc",
       "--abc\r\nContent-Disposition: form-data; name=\"eof\"\r\n\r\n1"},  // never closed
      {"application/x-www-form-urlencoded", std::string("a=\0\xff%&&==&eof=1", 15)},
      {"text/plain", "eof=1"},
  };
  for (const auto& [type, body] : bodies) {
    const HttpReply r = server_.PostRaw("/client14/upload.php", body, type);
    EXPECT_GT(r.status, 0) << type;
    EXPECT_NE(GetElement(r.body, "result"), "OK") << type;
  }
  EXPECT_TRUE(IsOk(Alice("GetAlbums", Form().Add("userID", 0).Add("albumID", 0))));
}

TEST_F(SafetyTest, AnUploadCutShortLeavesNoFileAndNoRecord) {
  Form f;
  f.Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("directory", "Trip/images")
      .Add("albumID", album_)
      .Add("setting", PhotoXml("cut.jpg", "Cut", 2))
      .AddFile("soubor", "cut.jpg", std::string(2u << 20, 'c'))
      .Eof();
  const std::string boundary = "----cutBoundary";
  const std::string body = f.Multipart(boundary);
  const std::string head =
      "POST /client14/upload.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
      "Content-Type: multipart/form-data; boundary=" +
      boundary + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  RawExchange(server_.Port(), head + body.substr(0, body.size() / 2), true);
  // Give the server a moment to notice the closed connection.
  for (int i = 0; i < 50 && server_.LogOf("upload.php").size() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(
      std::filesystem::exists(FilesRoot() + std::to_string(aliceId_) + "/Trip/images/cut.jpg"));
  EXPECT_EQ(AlicePhotos().find("cut.jpg"), std::string::npos);
  EXPECT_EQ(TmpFiles(), 0u);
  // The same upload sent whole works.
  EXPECT_TRUE(IsOk(server_.Api("upload.php", f)));
  EXPECT_EQ(TmpFiles(), 0u);
}

TEST_F(SafetyTest, ConcurrentUploadsAllArrive) {
  std::vector<std::thread> threads;
  std::vector<bool> ok(8);
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] {
      const std::string name = "p" + std::to_string(i) + ".jpg";
      ok[static_cast<size_t>(i)] = IsOk(Upload(
          album_, "Trip/images", name, std::string(50000, 'a' + i), PhotoXml(name, name, i + 2)));
    });
  }
  for (std::thread& t : threads) t.join();
  for (bool b : ok) EXPECT_TRUE(b);
  EXPECT_EQ(GetElements(AlicePhotos(), "photo").size(), 9u);
}

}  // namespace
}  // namespace zerva::test
