// The three sort states and the web page order text.
#include "session/sort_state.h"

#include <gtest/gtest.h>

namespace zerva {
namespace {

TEST(SortState, SetRecordsTheDirectionPerKeyAndGuardsBadValues) {
  SortState album = MakeAlbumListSort();
  album.Set(5, 1);
  album.Set(3, 0);
  EXPECT_EQ(album.Key(), 3);
  EXPECT_EQ(album.Direction(), 0);
  EXPECT_EQ(album.LastDirection(5), 1);
  EXPECT_EQ(album.LastDirection(3), 0);
  // A stored key from the service that is out of range must not index past the columns.
  album.Set(42, 7);
  EXPECT_EQ(album.Key(), 0);
  EXPECT_EQ(album.Direction(), 1);
  album.Set(-1, 0);
  EXPECT_EQ(album.Key(), 0);
  EXPECT_EQ(album.LastDirection(42), 0);

  SortState page = MakePageOrder();
  page.Set(104, 0);
  page.Set(kPageOrderNone, 1);  // "none" is a valid choice but has no per-key direction
  EXPECT_EQ(page.Key(), kPageOrderNone);
  EXPECT_EQ(page.LastDirection(104), 0);
  EXPECT_EQ(page.LastDirection(kPageOrderNone), 0);
}

TEST(PageOrder, ParsingIsExactAndCaseSensitive) {
  SortState page = MakePageOrder();
  ParsePageOrder("viewCountDesc", &page);
  EXPECT_EQ(page.Key(), 102);
  EXPECT_EQ(page.Direction(), 0);
  ParsePageOrder("dateAsc", &page);
  EXPECT_EQ(page.Key(), 104);
  EXPECT_EQ(page.Direction(), 1);
  for (const char* bad : {"viewcountdesc", "viewCount", "viewCountdesc", "viewCountDesc ",
                          " dateAsc", "Asc", "", "createDateAscAsc"}) {
    page.Set(103, 0);
    ParsePageOrder(bad, &page);
    EXPECT_EQ(page.Key(), kPageOrderNone) << bad;
    EXPECT_EQ(page.Direction(), 1) << bad;
  }
}

}  // namespace
}  // namespace zerva
