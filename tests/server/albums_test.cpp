// The album commands and the album and photo vocabulary they answer with.
#include <gtest/gtest.h>

#include <filesystem>

#include "server_test_util.h"

namespace zerva::test {
namespace {

class AlbumsTest : public ServerTest {
 protected:
  HttpReply Store(const std::string& command, int64_t id, const std::string& xml,
                  const std::string& uploading = "") {
    Form f;
    f.Add("albumID", id);
    if (!uploading.empty()) f.Add("uploading", uploading);
    f.Add("albumSetting", xml);
    return Alice(command, f);
  }
  std::string Photos(int64_t id) {
    Form f;
    f.Add("userID", aliceId_).Add("albumID", id);
    return Value(Alice("GetAlbumPhotos", f));
  }
  std::string Albums(int64_t only = 0) {
    Form f;
    f.Add("userID", aliceId_).Add("albumID", only);
    return Value(Alice("GetAlbums", f));
  }
  std::string AlbumFolder(const std::string& dir) {
    return server_.DataDir() + "data/files/" + std::to_string(aliceId_) + "/" + dir + "/";
  }
};

TEST_F(AlbumsTest, EmptyListAnswersNoAlbums) {
  EXPECT_EQ(Albums(), "<NoAlbums>");
}

TEST_F(AlbumsTest, CreateAlbumReturnsIdAndListCarriesTheAlbumVocabulary) {
  Form f;
  f.Add("serverDir", "Summer").Add("albumSetting", AlbumXml("Summer 2024", "Summer", ""));
  const HttpReply r = Alice("CreateAlbum", f);
  ASSERT_TRUE(IsOk(r)) << r.body;
  const int64_t id = std::atoll(Value(r).c_str());
  EXPECT_GT(id, 0);
  const std::vector<std::string> albums = GetElements(Albums(), "album");
  ASSERT_EQ(albums.size(), 1u);
  const std::string& a = albums[0];
  EXPECT_EQ(GetElementInt(a, "albumID"), id);
  EXPECT_EQ(GetElement(a, "name"), "Summer 2024");
  EXPECT_EQ(GetElement(a, "desc"), "About Summer 2024");
  EXPECT_EQ(GetElement(a, "serverDir"), "Summer");
  EXPECT_EQ(GetElement(a, "localPath"), "C:/photos");
  EXPECT_EQ(GetElement(a, "albumCategory"), "21");
  EXPECT_EQ(GetElement(a, "startDateInterval"), "2024-07-01 10:00:00");
  EXPECT_EQ(GetElement(a, "albumVisible"), "1");
  EXPECT_EQ(GetElementInt(a, "uploading"), 1);  // a new album is an upload under way
  EXPECT_EQ(GetElementInt(a, "photoCount"), 0);
  EXPECT_EQ(GetElement(a, "photosUrl"), "http://" + server_.HostFor("alice") + "/Summer/");
  EXPECT_EQ(GetElement(a, "videosUrl"), "http://" + server_.HostFor("alice") + "/Summer/video/");
  EXPECT_FALSE(GetElement(a, "createDate").empty());
  EXPECT_FALSE(GetElement(a, "updateDate").empty());
  // albumID picks one album; an unknown one gives none.
  const int64_t other = CreateAlbum("Winter");
  EXPECT_EQ(GetElements(Albums(), "album").size(), 2u);
  EXPECT_EQ(GetElementInt(Albums(other), "albumID"), other);
  EXPECT_EQ(Albums(other + 100), "<NoAlbums>");
}

TEST_F(AlbumsTest, CreateAlbumRefusesTakenAndBadDirectoriesAndBadXml) {
  CreateAlbum("Summer");
  Form same;
  same.Add("serverDir", "summer").Add("albumSetting", AlbumXml("x", "summer", ""));
  EXPECT_EQ(ErrCode(Alice("CreateAlbum", same)), "7");
  Form bad;
  bad.Add("serverDir", "../Summer").Add("albumSetting", AlbumXml("x", "x", ""));
  EXPECT_EQ(ErrCode(Alice("CreateAlbum", bad)), "5");
  Form noXml;
  noXml.Add("serverDir", "Autumn").Add("albumSetting", "<name>x</name>");
  EXPECT_EQ(ErrCode(Alice("CreateAlbum", noXml)), "3");
  EXPECT_EQ(GetElements(Albums(), "album").size(), 1u);
}

TEST_F(AlbumsTest, ExistAlbumFindsTheDirectoryIgnoringCase) {
  const int64_t id = CreateAlbum("Summer");
  Form f;
  f.Add("serverDir", "SUMMER");
  const HttpReply found = Alice("ExistAlbum", f);
  EXPECT_TRUE(IsOk(found));
  EXPECT_EQ(Value(found), std::to_string(id));
  Form g;
  g.Add("serverDir", "Winter");
  EXPECT_EQ(ErrCode(Alice("ExistAlbum", g)), "4");
}

TEST_F(AlbumsTest, EmptyAlbumStoresSettingsUpdatesListedAndRemovesUnlistedPhotos) {
  const int64_t id = CreateAlbum("Trip");
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    ASSERT_TRUE(
        IsOk(Upload(id, "Trip/images", name, std::string(100, 'x'), PhotoXml(name, name, 1))));
    ASSERT_TRUE(
        IsOk(Upload(id, "Trip/thumb", name, std::string(10, 't'), PhotoXml(name, name, 1))));
  }
  // b is renamed and moved first, c is excluded (not listed any more).
  const HttpReply r = Store(
      "EmptyAlbum", id,
      AlbumXml("Trip renamed", "Trip", PhotoXml("b.jpg", "Bee", 1) + PhotoXml("a.jpg", "Ay", 2)));
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_EQ(GetElementInt(Value(r), "usedSize"), 220);
  const std::vector<std::string> photos = GetElements(Photos(id), "photo");
  ASSERT_EQ(photos.size(), 2u);
  EXPECT_EQ(GetElement(photos[0], "fileName"), "b.jpg");
  EXPECT_EQ(GetElement(photos[0], "name"), "Bee");
  EXPECT_EQ(GetElement(photos[1], "name"), "Ay");
  EXPECT_GT(GetElementInt(photos[0], "photoID"), 0);
  EXPECT_FALSE(std::filesystem::exists(AlbumFolder("Trip") + "images/c.jpg"));
  EXPECT_FALSE(std::filesystem::exists(AlbumFolder("Trip") + "thumb/c.jpg"));
  EXPECT_TRUE(std::filesystem::exists(AlbumFolder("Trip") + "images/a.jpg"));
  EXPECT_EQ(GetElement(Albums(), "name"), "Trip renamed");
  EXPECT_EQ(GetElementInt(Albums(), "photoCount"), 2);
}

TEST_F(AlbumsTest, EmptyAlbumWithoutPhotoListChangesNothing) {
  const int64_t id = CreateAlbum("Trip");
  ASSERT_TRUE(IsOk(Upload(id, "Trip/images", "a.jpg", "data", PhotoXml("a.jpg", "A", 1))));
  // A cut or malformed album XML must not read as "every photo was excluded".
  const HttpReply r = Store("EmptyAlbum", id, "<album>\t<name>Trip</name></album>");
  EXPECT_EQ(ErrCode(r), "3");
  EXPECT_EQ(GetElements(Photos(id), "photo").size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(AlbumFolder("Trip") + "images/a.jpg"));
  // An empty list is a real choice: everything goes.
  EXPECT_TRUE(IsOk(Store("EmptyAlbum", id, AlbumXml("Trip", "Trip", ""))));
  EXPECT_TRUE(GetElements(Photos(id), "photo").empty());
  EXPECT_FALSE(std::filesystem::exists(AlbumFolder("Trip") + "images/a.jpg"));
}

TEST_F(AlbumsTest, SetAlbumUploadingClearsTheMarkAndUpdatesRecordsWithoutRemoving) {
  const int64_t id = CreateAlbum("Trip");
  ASSERT_TRUE(IsOk(Upload(id, "Trip/images", "a.jpg", "1", PhotoXml("a.jpg", "A", 1))));
  ASSERT_TRUE(IsOk(Upload(id, "Trip/images", "b.jpg", "2", PhotoXml("b.jpg", "B", 2))));
  const HttpReply r =
      Store("SetAlbumUploading", id, AlbumXml("Trip", "Trip", PhotoXml("a.jpg", "A new", 1)), "0");
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_FALSE(GetElement(Value(r), "usedSize").empty());
  EXPECT_EQ(GetElementInt(Albums(), "uploading"), 0);
  const std::vector<std::string> photos = GetElements(Photos(id), "photo");
  ASSERT_EQ(photos.size(), 2u);
  EXPECT_EQ(GetElement(photos[0], "name"), "A new");
  EXPECT_EQ(GetElement(Store("SetAlbumUploading", id, "", "x").body, "errcode"), "3");
  // EmptyAlbum marks the upload as under way again.
  ASSERT_TRUE(IsOk(Store("EmptyAlbum", id, AlbumXml("Trip", "Trip", PhotoXml("a.jpg", "A", 1)))));
  EXPECT_EQ(GetElementInt(Albums(), "uploading"), 1);
}

TEST_F(AlbumsTest, GetAlbumPhotosReturnsTheStoredPhotoXmlWithServiceIds) {
  const int64_t id = CreateAlbum("Trip");
  const std::string xml =
      PhotoXml("a.jpg", "A & <b>", 4, "photo", "\t<GPS>POINT(16.5000000 49.2000000)</GPS>");
  const HttpReply up = Upload(id, "Trip/images", "a.jpg", "123", xml);
  ASSERT_TRUE(IsOk(up)) << up.body;
  const std::string photos = Photos(id);
  EXPECT_EQ(photos.rfind("<photos>\n", 0), 0u);
  const std::string photo = GetElement(photos, "photo");
  EXPECT_EQ(GetElementInt(photo, "photoID"), GetElementInt(Value(up), "photoID"));
  EXPECT_EQ(GetElement(photo, "name"), "A & <b>");  // stored and returned as sent
  EXPECT_EQ(GetElement(photo, "index"), "4");
  EXPECT_EQ(GetElement(photo, "fileFullName"), "C:/photos/a.jpg");
  EXPECT_EQ(GetElement(photo, "OriginalCode"), "1700000000");
  EXPECT_EQ(GetElement(photo, "type"), "photo");
  Form other;
  other.Add("userID", aliceId_).Add("albumID", id + 50);
  EXPECT_EQ(ErrCode(Alice("GetAlbumPhotos", other)), "4");  // never 1: that means "server down"
}

TEST_F(AlbumsTest, DeleteAlbumRemovesRecordsAndFilesAndAnswersUsedSize) {
  const int64_t keep = CreateAlbum("Keep");
  const int64_t gone = CreateAlbum("Gone");
  ASSERT_TRUE(
      IsOk(Upload(keep, "Keep/images", "k.jpg", std::string(70, 'k'), PhotoXml("k.jpg", "K", 1))));
  ASSERT_TRUE(
      IsOk(Upload(gone, "Gone/images", "g.jpg", std::string(30, 'g'), PhotoXml("g.jpg", "G", 1))));
  Form f;
  f.Add("albumID", gone);
  const HttpReply r = Alice("DeleteAlbum", f);
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_EQ(GetElementInt(Value(r), "usedSize"), 70);
  EXPECT_FALSE(std::filesystem::exists(AlbumFolder("Gone")));
  EXPECT_EQ(GetElements(Albums(), "album").size(), 1u);
  EXPECT_EQ(ErrCode(Alice("DeleteAlbum", f)), "4");
  // The directory is free again.
  EXPECT_GT(CreateAlbum("Gone"), gone);
}

TEST_F(AlbumsTest, AlbumCommandsNeedTheRightPassword) {
  const int64_t id = CreateAlbum("Trip");
  Form f;
  f.Add("albumID", id).Add("albumSetting", AlbumXml("Trip", "Trip", ""));
  for (const char* command : {"DeleteAlbum", "GetAlbumPhotos", "GetAlbums", "EmptyAlbum"}) {
    EXPECT_EQ(ErrCode(server_.Command(command, "alice", Digest("wrong"), f)), "2") << command;
  }
  EXPECT_EQ(GetElements(Albums(), "album").size(), 1u);
}

TEST_F(AlbumsTest, UnknownCommandIsRefused) {
  const HttpReply r = Alice("FormatDisk");
  EXPECT_EQ(ErrCode(r), "11");
  Form f;
  f.Add("userName", "alice").Eof();
  EXPECT_EQ(ErrCode(server_.Api("command.php", f)), "11");
}

}  // namespace
}  // namespace zerva::test
