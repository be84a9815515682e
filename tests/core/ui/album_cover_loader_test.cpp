// The albums page's cover loader against zerva-server: covers arrive fitted and go into the
// caches, cached covers come first, asked-for covers before the rest, a failure is never tried
// again, a stop does not wait for a slow transfer, and an album deleted meanwhile is left alone.
#include "ui/album_cover_loader.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "app/elements.h"
#include "core/media/item_fixtures.h"
#include "core/ui/album_seeding.h"
#include "core/ui/app_fixture.h"
#include "model/album_mngr.h"
#include "platform/md5.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;

class AlbumCoverLoaderTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    jpeg_ = FileBytes(PhotoFile(pictures_, "cover.jpg", 640, 480));
    userId_ = static_cast<int>(Server().CreateTestUser("covers", &user_));
    ASSERT_GT(userId_, 0);
  }

  // An album with the cover `cover` ("" for none); its identifier.
  int Seed(const std::string& name, const std::string& cover) {
    SeededAlbum album;
    album.name = name;
    album.serverDir = "dir" + std::to_string(++dirs_);
    album.cover = cover;
    album.jpeg = jpeg_;
    return SeedAlbum(Server(), user_, album);
  }
  // The service's album list in the application's list.
  void ReadList(CzervaApp& app) {
    const HttpReply reply =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    app.AlbumMngr().Sync(GetElement(reply.body, "value"));
  }
  void RunInApp(const std::function<void(CzervaApp&)>& code) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      code(app);
      loader_.reset();
      return 0;
    };
    RunApp();
  }
  AlbumCoverLoader& MakeLoader(CzervaApp& app) {
    loader_ = std::make_unique<AlbumCoverLoader>(app.AlbumMngr(), app.SharedHttpMngr(),
                                                 app.AppUiThread(), [this](int albumId) {
                                                   std::lock_guard<std::mutex> lock(mutex_);
                                                   notices_.push_back(albumId);
                                                 });
    return *loader_;
  }
  // Runs the loader to its end, delivering its notices.
  bool RunToEnd(AlbumCoverLoader& loader) {
    if (!loader.StartLoading()) return false;
    const bool ended = frontEnd_.loop.RunUntil([&] { return !loader.Running(); }, 60s);
    frontEnd_.loop.Pump();
    return ended;
  }
  std::vector<int> Notices() {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
  }
  static AlbumCover Cover(CzervaApp& app, int albumId, bool large) {
    std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
    const CAlbum* album = app.AlbumMngr().FindById(albumId);
    if (album == nullptr) return {};
    return large ? album->coverLarge : album->coverSmall;
  }
  static PixelSize SizeOf(const ImagePtr& image) {
    return image ? PixelSize{static_cast<int>(image->getWidth()),
                             static_cast<int>(image->getHeight())}
                 : PixelSize{};
  }
  // Requests for the cover file `name` the service has seen.
  size_t Asked(const std::string& name) const { return Server().LogOf(name).size(); }

  TempDir pictures_;
  std::string jpeg_;
  std::string user_;
  int userId_ = 0;
  int dirs_ = 0;
  std::mutex mutex_;
  std::vector<int> notices_;
  std::unique_ptr<AlbumCoverLoader> loader_;
};

TEST_F(AlbumCoverLoaderTest, CoversArriveFittedAndGoIntoTheCaches) {
  const int first = Seed("First", "first.jpg");
  const int second = Seed("Second", "second.jpg");
  const int bare = Seed("Bare", "");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    AlbumCoverLoader& loader = MakeLoader(app);
    ASSERT_TRUE(RunToEnd(loader));
    for (const int albumId : {first, second}) {
      const AlbumCover small = Cover(app, albumId, false);
      const AlbumCover large = Cover(app, albumId, true);
      EXPECT_EQ(small.state, kCoverDownloaded);
      EXPECT_EQ(large.state, kCoverDownloaded);
      EXPECT_EQ(SizeOf(small.image), (PixelSize{67, 50}));
      EXPECT_EQ(SizeOf(large.image), (PixelSize{133, 100}));
      EXPECT_EQ(app.AlbumMngr().CachedCover(albumId, false), small.image);
      EXPECT_EQ(app.AlbumMngr().CachedCover(albumId, true), large.image);
    }
    // Without a cover there is nothing to ask the service for, and nothing to tell.
    EXPECT_EQ(Cover(app, bare, false).state, kCoverFailed);
    const std::vector<int> notices = Notices();
    EXPECT_NE(std::find(notices.begin(), notices.end(), first), notices.end());
    EXPECT_NE(std::find(notices.begin(), notices.end(), second), notices.end());
    EXPECT_EQ(std::find(notices.begin(), notices.end(), bare), notices.end());
    EXPECT_EQ(Asked("first.jpg"), 2u);  // thumb and images, once each
  });
}

TEST_F(AlbumCoverLoaderTest, AnAskedForCoverComesBeforeTheOthers) {
  Seed("First", "first.jpg");
  Seed("Second", "second.jpg");
  const int third = Seed("Third", "third.jpg");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    AlbumCoverLoader& loader = MakeLoader(app);
    loader.Request(third);
    ASSERT_TRUE(RunToEnd(loader));
    std::vector<std::string> order;
    for (const LoggedRequest& request : Server().Log()) {
      if (request.Path().find("/thumb/") != std::string::npos) order.push_back(request.Script());
    }
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], "third.jpg");
  });
}

TEST_F(AlbumCoverLoaderTest, CachedCoversComeFirstAndStayWhenTheServiceFailsThem) {
  const int albumId = Seed("Cached", "cached.jpg");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    auto small = std::make_shared<fipImage>();
    ASSERT_TRUE(small->setSize(FIT_BITMAP, 30, 20, 24));
    auto large = std::make_shared<fipImage>();
    ASSERT_TRUE(large->setSize(FIT_BITMAP, 60, 40, 24));
    app.AlbumMngr().StoreCover(albumId, false, small);
    app.AlbumMngr().StoreCover(albumId, true, large);
    ASSERT_TRUE(Server().InjectFault("cached.jpg", "500", 100));
    AlbumCoverLoader& loader = MakeLoader(app);
    ASSERT_TRUE(RunToEnd(loader));
    // Shown from the cache at once; the refresh failed and is not tried again, but what the
    // cache gave stays.
    EXPECT_EQ(Notices(), (std::vector<int>{albumId}));
    EXPECT_EQ(Cover(app, albumId, false).image, small);
    EXPECT_EQ(Cover(app, albumId, true).image, large);
    EXPECT_EQ(Cover(app, albumId, false).state, kCoverFailed);
    EXPECT_EQ(Cover(app, albumId, true).state, kCoverFailed);
  });
}

TEST_F(AlbumCoverLoaderTest, AFailedCoverIsNeverAskedForAgain) {
  const int broken = Seed("Broken", "broken.jpg");
  const int good = Seed("Good", "good.jpg");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    ASSERT_TRUE(Server().InjectFault("broken.jpg", "404", 100));
    AlbumCoverLoader& loader = MakeLoader(app);
    ASSERT_TRUE(RunToEnd(loader));
    EXPECT_EQ(Cover(app, broken, false).state, kCoverFailed);
    EXPECT_EQ(Cover(app, broken, true).state, kCoverFailed);
    EXPECT_FALSE(Cover(app, broken, false).image);
    EXPECT_EQ(Cover(app, good, false).state, kCoverDownloaded);
    const size_t asked = Asked("broken.jpg");
    EXPECT_GE(asked, 2u);

    // Neither asking for it nor another run tries again.
    loader.Request(broken);
    ASSERT_TRUE(RunToEnd(loader));
    EXPECT_EQ(Asked("broken.jpg"), asked);
    EXPECT_EQ(Asked("good.jpg"), 2u);
  });
}

TEST_F(AlbumCoverLoaderTest, AStopDoesNotWaitForASlowCoverWhichIsNotGivenUp) {
  const int slow = Seed("Slow", "slow.jpg");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    ASSERT_TRUE(Server().InjectFault("slow.jpg", "delay", 1, "12000"));
    AlbumCoverLoader& loader = MakeLoader(app);
    ASSERT_TRUE(loader.StartLoading());
    // The service answers only after the whole delay: meanwhile the transfer is under way.
    frontEnd_.loop.PumpFor(500ms);
    ASSERT_TRUE(loader.Running());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(loader.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(loader.Running());
    EXPECT_EQ(Cover(app, slow, false).state, kCoverNotLoaded);

    // The next run gets it.
    ASSERT_TRUE(RunToEnd(loader));
    EXPECT_EQ(Cover(app, slow, false).state, kCoverDownloaded);
  });
}

TEST_F(AlbumCoverLoaderTest, AnAlbumDeletedWhileItsCoverIsOnItsWayIsLeftAlone) {
  const int gone = Seed("Gone", "gone.jpg");
  const int kept = Seed("Kept", "kept.jpg");
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    ASSERT_TRUE(Server().InjectFault("gone.jpg", "delay", 1, "1500"));
    AlbumCoverLoader& loader = MakeLoader(app);
    loader.Request(gone);
    ASSERT_TRUE(loader.StartLoading());
    frontEnd_.loop.PumpFor(300ms);
    ASSERT_TRUE(loader.Running());
    // The list changes under the running loader, as a sign-out or a new album list would.
    EXPECT_TRUE(app.AlbumMngr().Remove(gone));
    ASSERT_TRUE(frontEnd_.loop.RunUntil([&] { return !loader.Running(); }, 60s));
    frontEnd_.loop.Pump();
    const std::vector<int> notices = Notices();
    EXPECT_EQ(std::find(notices.begin(), notices.end(), gone), notices.end());
    EXPECT_EQ(Cover(app, kept, true).state, kCoverDownloaded);
  });
}

TEST_F(AlbumCoverLoaderTest, ANetworkFolderOfAnAlbumWithoutCoverIsLookedAtAgain) {
  SeededAlbum album;
  album.name = "On the network";
  album.serverDir = "net";
  album.localPath = "//nas/photos/holiday";
  const int albumId = SeedAlbum(Server(), user_, album);
  RunInApp([&](CzervaApp& app) {
    ReadList(app);
    {
      std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
      app.AlbumMngr().FindById(albumId)->localFolderExists = true;
    }
    AlbumCoverLoader& loader = MakeLoader(app);
    ASSERT_TRUE(RunToEnd(loader));
    EXPECT_EQ(Notices(), (std::vector<int>{albumId}));
    std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
    EXPECT_FALSE(app.AlbumMngr().FindById(albumId)->localFolderExists);
  });
}

}  // namespace
}  // namespace zerva::test
