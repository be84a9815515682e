// An album made from a folder goes to zerva-server (uploaded by hand through the API) and comes
// back with LoadFromServer, merged with the folder as it is now.
#include <FreeImagePlus.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/elements.h"
#include "app/scripted_dialogs.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/album_cover.h"
#include "model/album_items.h"
#include "model/album_mngr.h"
#include "model_fixtures.h"
#include "net/http_connect.h"
#include "support/server_fixture.h"
#include "support/service_client.h"

namespace zerva {
namespace {

using test::ServiceClient;

class AlbumLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ServerFixture::Options options;
    options.seedDemo = true;
    server_ = std::make_unique<test::ServerFixture>(options);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    client_ = std::make_unique<ServiceClient>(*server_);
    connection_ = client_->Connect();
    const ApiResult login = connection_->GetLogin(user_, pass_);
    ASSERT_TRUE(login.Ok()) << login.message;
    userId_ = static_cast<int>(GetElementInt(login.value, "userID"));
    ASSERT_GT(userId_, 0);
    env_.signedIn = true;
    env_.userName = user_;
    folder_ = dir_.Path().substr(0, dir_.Path().size() - 1);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
      ASSERT_FALSE(test::MakeJpeg(dir_, name, 400, 300).empty());
      ASSERT_TRUE(test::SetModificationTime(dir_.File(name), 1300000000));
    }
  }

  // Creates the album from the folder and uploads every item's image and thumbnail the way the
  // upload session will, then stores the album XML.
  // Without `storePaths` the service gets no local paths, as from an older program or another
  // computer, and the items are found by their names.
  void CreateAndUpload(bool storePaths = true) {
    CAlbum album(env_);
    album.name = "Holiday";
    album.localPath = folder_;
    album.MakeServerDir();
    ASSERT_TRUE(AddFolder(album, folder_));
    album.thumbName = "a.jpg";
    const ApiResult created =
        connection_->CreateAlbum(user_, pass_, album.serverDir, album.ToXml(false));
    ASSERT_TRUE(created.Ok()) << created.message;
    album.albumID = std::stoi(created.value);
    albumId_ = album.albumID;
    for (const auto& item : album.items) {
      item->OriginalCode = item->LocalFileTime();
      item->width = 400;
      item->height = 300;
      // The service names a file by the name it is sent under: the item's.
      const std::string sentPath = sent_.File(item->fileName);
      ASSERT_TRUE(std::filesystem::copy_file(item->localPath, sentPath,
                                             std::filesystem::copy_options::overwrite_existing));
      if (!storePaths) item->localPath.clear();
      for (const char* sub : {"images", "thumb"}) {
        const ApiResult sent =
            connection_->UploadFile(user_, pass_, album.serverDir + "/" + sub, album.albumID,
                                    item->ToXml(), sentPath, nullptr);
        ASSERT_TRUE(sent.Ok()) << sent.message;
        item->photoID = static_cast<int>(GetElementInt(sent.value, "photoID"));
      }
    }
    const ApiResult stored =
        connection_->EmptyAlbum(user_, pass_, album.albumID, album.ToXml(false));
    ASSERT_TRUE(stored.Ok()) << stored.message;
  }

  // The album as the album list has it, opened the way the editor opens it.
  int Open(CAlbum* album) {
    const ApiResult albums = connection_->GetAlbums(user_, pass_, userId_, 0);
    EXPECT_TRUE(albums.Ok()) << albums.message;
    list_.SetEnvironment(env_);
    list_.Sync(albums.value);
    CAlbum* entry = list_.FindById(albumId_);
    EXPECT_NE(entry, nullptr);
    if (!entry) return -1;
    *album = *entry;
    return album->LoadFromServer(*connection_, dialogs_, albumId_, user_, pass_, userId_, entry);
  }

  std::string ServerFile(const std::string& sub, const std::string& name) const {
    return server_->DataDir() + "data/files/" + std::to_string(userId_) + "/Holiday/" + sub + "/" +
           name;
  }

  const CPhoto* Item(const CAlbum& album, const std::string& fileName) const {
    return album.FindItemByFileName(fileName);
  }

  std::unique_ptr<test::ServerFixture> server_;
  std::unique_ptr<ServiceClient> client_;
  std::unique_ptr<CHttpConnect> connection_;
  const std::string user_ = ServiceClient::DemoUser();
  const std::string pass_ = ServiceClient::DemoDigest();
  int userId_ = 0;
  int albumId_ = 0;
  AlbumEnvironment env_;
  test::TempDir dir_;
  test::TempDir sent_;  // the files as the upload sends them
  std::string folder_;
  CAlbumMngr list_;
  ScriptedDialogs dialogs_;
};

TEST_F(AlbumLoadTest, UploadedAlbumComesBackWhole) {
  CreateAndUpload();
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  EXPECT_TRUE(dialogs_.Messages().empty());
  ASSERT_EQ(album.items.size(), 3u);
  for (const auto& item : album.items) {
    EXPECT_GT(item->photoID, 0);
    EXPECT_TRUE(item->included);
    EXPECT_TRUE(item->localFileAvailable);
    EXPECT_FALSE(item->needsUpload) << item->fileName;
    EXPECT_GT(item->imageSize, 0);
    EXPECT_GT(item->thumbSize, 0);
    EXPECT_EQ(item->photosUrl, album.photosUrl);
  }
  EXPECT_EQ(album.items[0]->localPath, folder_ + "/a.jpg");
  EXPECT_FALSE(album.modified);
  EXPECT_EQ(album.maxSizeImage, 700);  // derived from 400 x 300 items
  EXPECT_EQ(album.tempFolder.substr(album.tempFolder.size() - 5), "demo/");
  EXPECT_FALSE(album.rawPhotosXml.empty());
  EXPECT_EQ(list_.FindById(albumId_)->rawPhotosXml, album.rawPhotosXml);
  // The wait note came and went.
  ASSERT_EQ(dialogs_.Waits().size(), 1u);
  EXPECT_EQ(dialogs_.Waits()[0].text, Text("msgLoading"));
  EXPECT_FALSE(dialogs_.WaitVisible());
}

// An upload stopped right after the album was made, or after its video, leaves it without
// photos: opened again, it takes the user's photo resolution, as when it was made, rather than
// the smallest one.
TEST_F(AlbumLoadTest, AnAlbumWithNoPhotoOnTheServiceKeepsTheUsersResolution) {
  CAlbum made(env_);
  made.name = "Holiday";
  made.localPath = folder_;
  made.MakeServerDir();
  const ApiResult created =
      connection_->CreateAlbum(user_, pass_, made.serverDir, made.ToXml(false));
  ASSERT_TRUE(created.Ok()) << created.message;
  albumId_ = std::stoi(created.value);
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  ASSERT_EQ(album.items.size(), 3u);  // the folder's photos, not taken in yet
  EXPECT_EQ(album.maxSizeImage, env_.params.PhotoResolution);
  EXPECT_EQ(album.resolution, env_.params.PhotoResolution);
  EXPECT_NE(env_.params.PhotoResolution, 700);

  // Stopped after its video arrived: the video's small frame does not make the photos small.
  CPhoto video;
  video.fileName = "clip.jpg";
  video.isVideo = true;
  video.width = 320;
  video.height = 240;
  const ApiResult sent = connection_->UploadFile(user_, pass_, made.serverDir + "/images", albumId_,
                                                 video.ToXml(), dir_.File("a.jpg"), nullptr);
  ASSERT_TRUE(sent.Ok()) << sent.message;
  CAlbum again;
  ASSERT_EQ(Open(&again), 1);
  ASSERT_NE(again.FindItemByFileName("clip.jpg"), nullptr);
  EXPECT_TRUE(again.FindItemByFileName("clip.jpg")->IsVideo());
  EXPECT_EQ(again.maxSizeImage, env_.params.PhotoResolution);
}

TEST_F(AlbumLoadTest, FolderChangesAndLostFilesAreMerged) {
  CreateAndUpload();
  // One file added, one removed, one changed; the service lost a's thumbnail.
  test::MakeJpeg(dir_, "d.jpg", 200, 100);
  ASSERT_EQ(::unlink(dir_.File("c.jpg").c_str()), 0);
  ASSERT_TRUE(test::SetModificationTime(dir_.File("b.jpg"), 1300000000 + 7200));
  ASSERT_EQ(::unlink(ServerFile("thumb", "a.jpg").c_str()), 0);
  dialogs_.QueueReply(Reply::kNo);  // upload the damaged item again

  CAlbum album;
  ASSERT_EQ(Open(&album), 2);
  ASSERT_EQ(album.items.size(), 4u);
  const CPhoto* a = Item(album, "a.jpg");
  const CPhoto* b = Item(album, "b.jpg");
  const CPhoto* c = Item(album, "c.jpg");
  const CPhoto* d = Item(album, "d.jpg");
  ASSERT_TRUE(a && b && c && d);
  EXPECT_TRUE(a->needsUpload);
  EXPECT_TRUE(a->included);
  EXPECT_EQ(a->thumbSize, 0);
  EXPECT_TRUE(b->needsUpload);  // changed since its upload
  EXPECT_TRUE(c->included);     // the service still has it
  EXPECT_FALSE(c->localFileAvailable);
  EXPECT_FALSE(c->needsUpload);
  EXPECT_FALSE(d->included);  // new files wait for the user
  EXPECT_EQ(d->index, 4);
  EXPECT_EQ(d->photoID, -1);
  EXPECT_TRUE(album.modified);

  const auto messages = dialogs_.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(messages[0].buttons, MessageButtons::kYesNoCancel);
  EXPECT_EQ(messages[0].text.find(Text("msgCorruptedAlbum1") + " 1" + Text("msgCorruptedAlbum2")),
            0u);
  EXPECT_NE(messages[0].text.find(Text("msgCorruptedOption2")), std::string::npos);
}

// Photos whose files are not named ".jpg" (a phone's HEIC, a screenshot's PNG, ".jpeg", ".JPG")
// are ".jpg" on the service; opened again, each finds its own file and nothing is new or sent.
class AlbumLoadOtherTypesTest : public AlbumLoadTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AlbumLoadOtherTypesTest, PhotosOfOtherTypesFindTheirFilesAgain) {
  ASSERT_FALSE(test::MakePng(dir_, "Screenshot.PNG", 400, 300).empty());
  ASSERT_FALSE(test::MakeJpeg(dir_, "e.jpeg", 400, 300).empty());
  ASSERT_FALSE(test::MakeJpeg(dir_, "f.JPG", 400, 300).empty());
  for (const char* name : {"Screenshot.PNG", "e.jpeg", "f.JPG"}) {
    ASSERT_TRUE(test::SetModificationTime(dir_.File(name), 1300000000));
  }
  CreateAndUpload(GetParam());
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  ASSERT_EQ(album.items.size(), 6u);
  for (const auto& [fileName, local] :
       {std::pair{"Screenshot.jpg", "Screenshot.PNG"}, {"e.jpg", "e.jpeg"}, {"f.jpg", "f.JPG"}}) {
    const CPhoto* item = Item(album, fileName);
    ASSERT_NE(item, nullptr) << fileName;
    EXPECT_EQ(item->localPath, folder_ + "/" + local);
    EXPECT_TRUE(item->localFileAvailable) << fileName;
    EXPECT_TRUE(item->included) << fileName;
    EXPECT_FALSE(item->needsUpload) << fileName;
  }
  EXPECT_FALSE(album.modified);
}

INSTANTIATE_TEST_SUITE_P(StoredPathsOrNamesOnly, AlbumLoadOtherTypesTest, ::testing::Bool());

// Two files that would take one service name by their names alone: neither is guessed.
TEST_F(AlbumLoadTest, AnAmbiguousNameFindsNoFile) {
  ASSERT_FALSE(test::MakePng(dir_, "g.png", 400, 300).empty());
  CreateAndUpload(false);
  ASSERT_FALSE(test::MakeJpeg(dir_, "g.jpeg", 400, 300).empty());
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  const CPhoto* g = Item(album, "g.jpg");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->localPath, folder_ + "/g.jpg");
  EXPECT_FALSE(g->localFileAvailable);
  ASSERT_EQ(album.items.size(), 6u);  // both files wait for the user as new items
  EXPECT_FALSE(album.items[4]->included);
  EXPECT_FALSE(album.items[5]->included);
}

TEST_F(AlbumLoadTest, DamagedItemsCanBeLeftOut) {
  CreateAndUpload();
  ASSERT_EQ(::unlink(ServerFile("images", "b.jpg").c_str()), 0);
  dialogs_.QueueReply(Reply::kYes);
  CAlbum album;
  ASSERT_EQ(Open(&album), 2);
  EXPECT_FALSE(Item(album, "b.jpg")->included);
  EXPECT_TRUE(Item(album, "a.jpg")->included);
  EXPECT_TRUE(album.modified);
}

TEST_F(AlbumLoadTest, UploadAgainIsNotOfferedWithoutTheLocalFile) {
  CreateAndUpload();
  ASSERT_EQ(::unlink(ServerFile("images", "c.jpg").c_str()), 0);
  ASSERT_EQ(::unlink(dir_.File("c.jpg").c_str()), 0);
  dialogs_.QueueReply(Reply::kNo);  // the blank choice
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  const auto messages = dialogs_.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text.find(Text("msgCorruptedOption2")), std::string::npos);
  EXPECT_TRUE(Item(album, "c.jpg")->included);
}

TEST_F(AlbumLoadTest, AlbumWithoutItsFolderComesFromTheAnswerAlone) {
  CreateAndUpload();
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) ::unlink(dir_.File(name).c_str());
  ::rmdir(folder_.c_str());
  CAlbum album;
  ASSERT_EQ(Open(&album), 1);
  ASSERT_EQ(album.items.size(), 3u);
  for (const auto& item : album.items) EXPECT_FALSE(item->localFileAvailable);
}

TEST_F(AlbumLoadTest, MovedFolderRebasesTheItems) {
  CreateAndUpload();
  test::TempDir moved;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    ASSERT_EQ(::rename(dir_.File(name).c_str(), moved.File(name).c_str()), 0);
  }
  const ApiResult albums = connection_->GetAlbums(user_, pass_, userId_, 0);
  list_.SetEnvironment(env_);
  list_.Sync(albums.value);
  CAlbum album = *list_.FindById(albumId_);
  album.previousLocalPath = folder_;
  album.localPath = moved.Path().substr(0, moved.Path().size() - 1);
  album.folderMoved = true;
  ASSERT_EQ(album.LoadFromServer(*connection_, dialogs_, albumId_, user_, pass_, userId_, nullptr),
            1);
  ASSERT_EQ(album.items.size(), 3u);
  for (const auto& item : album.items) {
    EXPECT_TRUE(item->localFileAvailable) << item->localPath;
    EXPECT_TRUE(item->edited);
    EXPECT_EQ(item->localPath.rfind(album.localPath, 0), 0u);
  }
  EXPECT_TRUE(album.modified);
  EXPECT_FALSE(album.folderMoved);
}

TEST_F(AlbumLoadTest, UnavailableImageServerEndsAtOnce) {
  CreateAndUpload();
  ASSERT_TRUE(server_->InjectFault("GetAlbumPhotos", "error", 3, "1:image server down"));
  CAlbum album;
  EXPECT_EQ(Open(&album), 0);
  const auto messages = dialogs_.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, Text("msgImgServerUnavail"));
  EXPECT_EQ(messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(server_->LogOf("GetAlbumPhotos").size(), 1u);
}

TEST_F(AlbumLoadTest, FailedRoundsAskWhetherToTryAgain) {
  CreateAndUpload();
  ASSERT_TRUE(server_->InjectFault("GetAlbumPhotos", "error", 3, "9:busy"));
  dialogs_.QueueReply(Reply::kYes);
  CAlbum album;
  EXPECT_EQ(Open(&album), 1);
  EXPECT_EQ(server_->LogOf("GetAlbumPhotos").size(), 4u);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, Text("msgLoadingErrorRetry"));
  EXPECT_EQ(dialogs_.Messages()[0].buttons, MessageButtons::kYesNo);

  ASSERT_TRUE(server_->InjectFault("GetAlbumPhotos", "error", 3, "9:busy"));
  dialogs_.QueueReply(Reply::kNo);
  CAlbum gaveUp;
  EXPECT_EQ(Open(&gaveUp), 0);
  EXPECT_TRUE(gaveUp.items.empty());
}

TEST_F(AlbumLoadTest, CoversAreFittedAndCached) {
  CreateAndUpload();
  const ApiResult albums = connection_->GetAlbums(user_, pass_, userId_, 0);
  list_.SetEnvironment(env_);
  list_.Sync(albums.value);
  CAlbum& entry = *list_.FindById(albumId_);
  ImagePtr large = LoadCover(entry, *connection_, true, &list_);
  ASSERT_TRUE(large);
  EXPECT_EQ(large->getWidth(), 133u);
  EXPECT_EQ(large->getHeight(), 100u);
  EXPECT_EQ(entry.coverLarge.state, kCoverDownloaded);
  ImagePtr small = LoadCover(entry, *connection_, false, &list_);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->getWidth(), 67u);
  EXPECT_EQ(small->getHeight(), 50u);
  CAlbum copy = entry;
  copy.coverSmall = AlbumCover();
  EXPECT_EQ(LoadCover(copy, *connection_, false, &list_), small);
  EXPECT_EQ(copy.coverSmall.state, kCoverFromCache);
  copy.thumbName = "missing.jpg";
  copy.coverLarge = AlbumCover();
  list_.DropCover(albumId_, true);
  EXPECT_FALSE(LoadCover(copy, *connection_, true, &list_));
  EXPECT_EQ(copy.coverLarge.state, kCoverFailed);
}

}  // namespace
}  // namespace zerva
