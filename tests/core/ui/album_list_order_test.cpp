// The album list's order as the window's sort menu and zerva-cli choose it: the sorting with
// its padded numbers and stable ties, the menu's choice rule, and the names the command line
// takes for the keys.
#include "ui/album_list_order.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/album_mngr.h"

namespace zerva {
namespace {

std::vector<int> Ids(const std::vector<CAlbum*>& sorted) {
  std::vector<int> ids;
  for (const CAlbum* album : sorted) ids.push_back(album->albumID);
  return ids;
}

SortState Order(int key, int direction) {
  SortState order = MakeAlbumListSort();
  order.Set(key, direction);
  return order;
}

class AlbumListOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    albums_.Sync(
        "<album><albumID>1</albumID><name>beta</name><photoCount>120</photoCount></album>"
        "<album><albumID>2</albumID><name><b>Alpha</b></name><photoCount>95</photoCount>"
        "</album><album><albumID>3</albumID><name>gamma</name><photoCount>95</photoCount>"
        "</album>");
  }
  CAlbumMngr albums_;
};

TEST_F(AlbumListOrderTest, SortsByTheKeyWithoutMarkupAndKeepsTiesInTheServicesOrder) {
  // Names without their HTML, ignoring case: A to Z ascending, Z to A descending.
  EXPECT_EQ(Ids(SortedAlbums(albums_, Order(0, 1))), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(Ids(SortedAlbums(albums_, Order(0, 0))), (std::vector<int>{3, 1, 2}));
  // 120 photos come after 95 ascending (padded numbers, not text); equal counts keep the
  // service's order in both directions.
  EXPECT_EQ(Ids(SortedAlbums(albums_, Order(3, 1))), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(Ids(SortedAlbums(albums_, Order(3, 0))), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(SortedAlbums(CAlbumMngr(), Order(0, 1)).empty());
}

TEST_F(AlbumListOrderTest, ChoosingTheCurrentKeyTwiceRestoresTheFirstOrder) {
  SortState order = Order(0, 1);
  const std::vector<int> first = Ids(SortedAlbums(albums_, order));
  ChooseSortKey(order, 0);
  EXPECT_EQ(order.Direction(), 0);
  EXPECT_NE(Ids(SortedAlbums(albums_, order)), first);
  ChooseSortKey(order, 0);
  EXPECT_EQ(order.Key(), 0);
  EXPECT_EQ(order.Direction(), 1);
  EXPECT_EQ(Ids(SortedAlbums(albums_, order)), first);
}

TEST_F(AlbumListOrderTest, AnotherKeyTakesTheDirectionLastChosenForIt) {
  SortState order = Order(0, 1);
  ChooseSortKey(order, 3);  // never chosen: descending, the most photos first
  EXPECT_EQ(order.Key(), 3);
  EXPECT_EQ(order.Direction(), 0);
  ChooseSortKey(order, 3);  // now ascending
  ChooseSortKey(order, 0);  // back to the name, with the direction it had
  EXPECT_EQ(order.Key(), 0);
  EXPECT_EQ(order.Direction(), 1);
  ChooseSortKey(order, 3);
  EXPECT_EQ(order.Key(), 3);
  EXPECT_EQ(order.Direction(), 1);
}

TEST(AlbumListOrderNames, CommandLineWordsMapToTheKeysAndBack) {
  const char* words[] = {"name", "created", "modified", "count", "size", "from", "to"};
  for (int key = 0; key <= 6; ++key) {
    EXPECT_EQ(AlbumSortKeyFromName(words[key]), key);
    EXPECT_STREQ(AlbumSortKeyName(key), words[key]);
    EXPECT_EQ(AlbumSortKeyFromName(std::string(1, static_cast<char>('0' + key))), key);
  }
  EXPECT_EQ(AlbumSortKeyFromName("photos"), 3);
  for (const char* bad : {"", "7", "Name", "10", "names"}) {
    EXPECT_FALSE(AlbumSortKeyFromName(bad).has_value()) << bad;
  }
  EXPECT_STREQ(AlbumSortKeyName(7), "");
  EXPECT_STREQ(AlbumSortKeyName(-1), "");

  const char* web[] = {"createDate", "viewCount", "albumName", "date", "lastComment"};
  for (int key = 101; key <= 105; ++key) EXPECT_EQ(PageOrderKeyFromName(web[key - 101]), key);
  EXPECT_FALSE(PageOrderKeyFromName("createdate").has_value());
  EXPECT_FALSE(PageOrderKeyFromName("").has_value());
}

}  // namespace
}  // namespace zerva
