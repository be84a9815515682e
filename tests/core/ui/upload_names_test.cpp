// Names the upload gives: a free server directory for an album (its own when free, otherwise
// with "_2", "_3" ... appended; letter case does not make a name free), and the item counts of
// its questions.
#include <gtest/gtest.h>

#include "lang/text.h"
#include "model/album_mngr.h"
#include "ui/free_server_dir.h"
#include "ui/item_count_text.h"

namespace zerva::test {
namespace {

void AddListed(CAlbumMngr& albums, int id, const std::string& dir) {
  auto album = std::make_unique<CAlbum>();
  album->albumID = id;
  album->serverDir = dir;
  albums.albums.push_back(std::move(album));
}

TEST(FreeServerDir, AppendsTheFirstFreeNumberFromTwo) {
  CAlbumMngr albums;
  EXPECT_EQ(FreeServerDir(albums, "Trip", 0), "Trip");
  AddListed(albums, 4, "trip");
  EXPECT_EQ(FreeServerDir(albums, "Trip", 0), "Trip_2");
  AddListed(albums, 5, "Trip_2");
  AddListed(albums, 6, "TRIP_4");
  EXPECT_EQ(FreeServerDir(albums, "Trip", -1), "Trip_3");
}

TEST(FreeServerDir, TheAlbumsOwnDirectoryIsFreeForIt) {
  CAlbumMngr albums;
  AddListed(albums, 4, "Trip");
  EXPECT_EQ(FreeServerDir(albums, "Trip", 4), "Trip");
}

TEST(ItemCountText, NamesPhotosAndVideosByTheirNumber) {
  EXPECT_EQ(ItemCountText(3, 1),
            "3 " + Text("PhotoCountTool2") + " " + Text("And") + " 1 " + Text("VideoCountTool1"));
  EXPECT_EQ(ItemCountText(1, 0), "1 " + Text("PhotoCountTool1o"));
  EXPECT_EQ(ItemCountText(5, 0), "5 " + Text("PhotoCountTool"));
  EXPECT_EQ(ItemCountText(0, 7),
            "0 " + Text("PhotoCountTool") + " " + Text("And") + " 7 " + Text("VideoCountTool"));
}

}  // namespace
}  // namespace zerva::test
