// UploadFile, GetUploadedFiles and the album files served under photosUrl.
#include <gtest/gtest.h>

#include <filesystem>

#include "server_test_util.h"

namespace zerva::test {
namespace {

class UploadsTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    album_ = CreateAlbum("Trip");
  }
  std::string Listing() {
    Form f;
    f.Add("userID", aliceId_).Add("albumDirName", "Trip");
    const HttpReply r = Alice("GetUploadedFiles", f);
    EXPECT_TRUE(IsOk(r)) << r.body;
    return Value(r);
  }
  int64_t album_ = 0;
};

TEST_F(UploadsTest, UploadFileStoresTheFileAndAnswersSizeDelayAndId) {
  const std::string bytes(12345, 'j');
  const HttpReply r =
      Upload(album_, "Trip/images", "IMG_1.jpg", bytes, PhotoXml("IMG_1.jpg", "One", 1));
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_EQ(r.contentType.rfind("text/", 0), 0u);
  const std::string v = Value(r);
  EXPECT_EQ(GetElementInt(v, "fileSize"), 12345);
  EXPECT_EQ(GetElement(v, "uploadDelay"), "0");
  const int64_t photoId = GetElementInt(v, "photoID");
  EXPECT_GT(photoId, 0);
  // The thumbnail of the same item belongs to the same photo record.
  const HttpReply thumb =
      Upload(album_, "Trip/thumb", "IMG_1.jpg", "t", PhotoXml("IMG_1.jpg", "One", 1));
  EXPECT_EQ(GetElementInt(Value(thumb), "photoID"), photoId);
  // The bytes are served under the album's photosUrl, by GET and by the client's empty POST.
  const std::string host = server_.HostFor("alice");
  const HttpReply get = server_.Get("/Trip/images/IMG_1.jpg", host);
  EXPECT_EQ(get.status, 200);
  EXPECT_EQ(get.contentType, "image/jpeg");
  EXPECT_EQ(get.body, bytes);
  const HttpReply post =
      server_.PostRaw("/Trip/thumb/IMG_1.jpg", "", "application/x-www-form-urlencoded", host);
  EXPECT_EQ(post.body, "t");
  EXPECT_EQ(server_.Get("/Trip/hdimages/IMG_1.jpg", host).status, 404);
}

TEST_F(UploadsTest, ConfiguredUploadDelayIsAnswered) {
  ASSERT_TRUE(server_.SetConfig("uploadDelay", "500"));
  const HttpReply r = Upload(album_, "Trip/diff", "p.jpg", "patch", PhotoXml("p.jpg", "P", 1));
  EXPECT_EQ(GetElementInt(Value(r), "uploadDelay"), 500);
}

TEST_F(UploadsTest, ReuploadReplacesTheFileAndKeepsTheRecord) {
  const HttpReply first =
      Upload(album_, "Trip/images", "a.jpg", "old-bytes", PhotoXml("a.jpg", "Old", 1));
  const HttpReply second =
      Upload(album_, "Trip/images", "a.jpg", "new", PhotoXml("a.jpg", "New", 2));
  EXPECT_EQ(GetElement(Value(first), "photoID"), GetElement(Value(second), "photoID"));
  EXPECT_EQ(server_.Get("/Trip/images/a.jpg", server_.HostFor("alice")).body, "new");
  Form f;
  f.Add("userID", aliceId_).Add("albumID", album_);
  EXPECT_EQ(GetElement(GetElement(Value(Alice("GetAlbumPhotos", f)), "photo"), "name"), "New");
}

TEST_F(UploadsTest, GetUploadedFilesListsTheFiveDirectories) {
  Upload(album_, "Trip/images", "a.jpg", std::string(10, 'a'), PhotoXml("a.jpg", "A", 1));
  Upload(album_, "Trip/images", "b.jpg", std::string(20, 'b'), PhotoXml("b.jpg", "B", 2));
  Upload(album_, "Trip/hdimages", "a.jpg", std::string(30, 'h'), PhotoXml("a.jpg", "A", 1));
  Upload(album_, "Trip/thumb", "a.jpg", std::string(5, 't'), PhotoXml("a.jpg", "A", 1));
  Upload(album_, "Trip/diff", "b.jpg", std::string(7, 'd'), PhotoXml("b.jpg", "B", 2));
  const std::string v = Listing();
  const std::vector<std::string> images = GetElements(GetElement(v, "imagesDir"), "serverFile");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(GetElement(images[0], "fileName"), "a.jpg");
  EXPECT_EQ(GetElementInt(images[0], "fileSize"), 10);
  EXPECT_EQ(GetElementInt(images[1], "fileSize"), 20);
  EXPECT_EQ(GetElementInt(GetElement(v, "hdimagesDir"), "fileSize"), 30);
  EXPECT_EQ(GetElementInt(GetElement(v, "thumbDir"), "fileSize"), 5);
  EXPECT_EQ(GetElement(GetElement(v, "diffDir"), "fileName"), "b.jpg");
  bool found = false;
  GetElement(v, "videoDir", &found);
  EXPECT_TRUE(found);
}

TEST_F(UploadsTest, RefusesBadDirectoriesNamesAndMissingFile) {
  for (const char* dir : {"Trip", "Trip/video", "Trip/images/x", "../Trip/images", "Other/images",
                          "/Trip/images", "Trip\\images"}) {
    const HttpReply r = Upload(album_, dir, "a.jpg", "x", "");
    EXPECT_EQ(GetElement(r.body, "result"), "ERROR") << dir;
  }
  for (const char* name : {"..", "a b.jpg", "%2e%2e"}) {
    EXPECT_EQ(ErrCode(Upload(album_, "Trip/images", name, "x", "")), "5") << name;
  }
  // Only the last part of a client's file name counts, as with any web form.
  ASSERT_TRUE(IsOk(Upload(album_, "Trip/images", "../../etc/passwd", "x", "")));
  EXPECT_TRUE(std::filesystem::exists(server_.DataDir() + "data/files/" + std::to_string(aliceId_) +
                                      "/Trip/images/passwd"));
  EXPECT_FALSE(std::filesystem::exists(server_.DataDir() + "data/etc/passwd"));
  Form noFile;
  noFile.Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("directory", "Trip/images")
      .Add("albumID", album_)
      .Add("setting", "")
      .Add("soubor", "not a file")
      .Eof();
  EXPECT_EQ(ErrCode(server_.Api("upload.php", noFile)), "3");
  const std::string v = Listing();
  EXPECT_EQ(GetElements(GetElement(v, "imagesDir"), "serverFile").size(), 1u);  // passwd
}

TEST_F(UploadsTest, QuotaRefusesAnUploadThatDoesNotFit) {
  ASSERT_TRUE(IsOk(Upload(album_, "Trip/images", "a.jpg", std::string(600, 'a'), "")));
  Form quota;
  quota.Add("user", "alice").Add("bytes", 1000);
  ASSERT_EQ(server_.Post("/_zerva/quota", quota).status, 200);
  EXPECT_EQ(ErrCode(Upload(album_, "Trip/images", "b.jpg", std::string(500, 'b'), "")), "6");
  EXPECT_EQ(server_.Get("/Trip/images/b.jpg", server_.HostFor("alice")).status, 404);
  // Replacing a file counts only the difference.
  EXPECT_TRUE(IsOk(Upload(album_, "Trip/images", "a.jpg", std::string(900, 'a'), "")));
}

TEST_F(UploadsTest, UploadWithoutEofStoresNothing) {
  Form f;
  f.Add("userName", "alice")
      .Add("userPass", Digest("secret"))
      .Add("directory", "Trip/images")
      .Add("albumID", album_)
      .Add("setting", "")
      .AddFile("soubor", "cut.jpg", "bytes");
  const HttpReply r = server_.Api("upload.php", f);
  EXPECT_EQ(ErrCode(r), "10");
  EXPECT_EQ(server_.Get("/Trip/images/cut.jpg", server_.HostFor("alice")).status, 404);
}

}  // namespace
}  // namespace zerva::test
