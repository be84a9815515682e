#include "model/album_mngr.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace zerva {
namespace {

std::string Album(int id, const std::string& name, const std::string& dir,
                  const std::string& extra = "") {
  return "<album><albumID>" + std::to_string(id) + "</albumID><name>" + name +
         "</name><serverDir>" + dir + "</serverDir>" + extra + "</album>";
}

TEST(AlbumList, SyncKeepsAlbumsWithAnId) {
  AlbumEnvironment env;
  env.userName = "demo";
  CAlbumMngr list(env);
  list.Sync(Album(1, "One", "one") + Album(0, "Broken", "broken") + Album(2, "Two", "two"));
  ASSERT_EQ(list.albums.size(), 2u);
  EXPECT_EQ(list.albums[0]->name, "One");
  EXPECT_EQ(list.albums[1]->ownerName, "demo");
  EXPECT_EQ(list.FindById(2)->serverDir, "two");
  EXPECT_EQ(list.FindById(3), nullptr);
  list.Sync(kNoAlbumsAnswer);
  EXPECT_TRUE(list.albums.empty());
  list.Sync(Album(1, "One", "one"));
  list.Sync("<html>garbage");
  EXPECT_TRUE(list.albums.empty());
}

TEST(AlbumList, DirectoriesClashIgnoringCaseNamesExactly) {
  CAlbumMngr list;
  list.Sync(Album(1, "Trip", "Trip") + Album(2, "Other", "other"));
  EXPECT_TRUE(list.IsServerDirTaken("trip", 0));
  EXPECT_TRUE(list.IsServerDirTaken("TRIP", 2));
  EXPECT_FALSE(list.IsServerDirTaken("trip", 1));  // the album itself
  EXPECT_FALSE(list.IsServerDirTaken("", 0));
  EXPECT_TRUE(list.IsNameTaken("Trip", 0));
  EXPECT_FALSE(list.IsNameTaken("trip", 0));
  EXPECT_FALSE(list.IsNameTaken("Trip", 1));
  EXPECT_EQ(list.FindByServerDir("OTHER", 0)->albumID, 2);
  EXPECT_EQ(list.FindByName("Other", 2), nullptr);
}

TEST(AlbumList, ComparisonPutsTheLargerValueFirst) {
  CAlbum many, few;
  many.photoCount = 120;
  few.photoCount = 95;
  many.size = 1000;
  few.size = 999999;
  many.name = "<b>Zoo</b>";
  few.name = "apple";
  EXPECT_EQ(AlbumSortValue(&many, kAlbumSortPhotoCount), "000120");
  EXPECT_EQ(AlbumSortValue(&few, kAlbumSortSize), "000999999");
  EXPECT_EQ(AlbumSortValue(&many, kAlbumSortName), "Zoo");
  EXPECT_EQ(AlbumSortValue(nullptr, kAlbumSortName), "");
  // Negative: a sorts before b.
  EXPECT_LT(CompareAlbums(&many, &few, kAlbumSortPhotoCount, false), 0);
  EXPECT_GT(CompareAlbums(&many, &few, kAlbumSortPhotoCount, true), 0);
  EXPECT_GT(CompareAlbums(&many, &few, kAlbumSortSize, false), 0);
  EXPECT_LT(CompareAlbums(&many, &few, kAlbumSortName, false), 0);  // Z before a
  EXPECT_EQ(CompareAlbums(&many, &many, kAlbumSortName, false), 0);
  EXPECT_GT(CompareAlbums(nullptr, &few, kAlbumSortName, false), 0);

  std::vector<CAlbum*> order = {&few, &many};
  std::sort(order.begin(), order.end(), [](CAlbum* a, CAlbum* b) {
    return CompareAlbums(a, b, kAlbumSortPhotoCount, false) < 0;
  });
  EXPECT_EQ(order[0], &many);
}

TEST(AlbumList, CoverCachesSurviveSync) {
  CAlbumMngr list;
  auto image = std::make_shared<fipImage>();
  list.StoreCover(5, false, image);
  list.Sync("");
  EXPECT_EQ(list.CachedCover(5, false), image);
  EXPECT_EQ(list.CachedCover(5, true), nullptr);
  list.DropCover(5, false);
  EXPECT_EQ(list.CachedCover(5, false), nullptr);
}

}  // namespace
}  // namespace zerva
