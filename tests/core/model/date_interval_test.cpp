#include "model/date_interval.h"

#include <gtest/gtest.h>

#include "model/album.h"
#include "model/file_times.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

const std::vector<std::string> kMonths = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};

CPhoto& AddItem(CAlbum& album, const std::string& date, bool included = true) {
  auto item = std::make_unique<CPhoto>();
  item->DateTime = date;
  item->included = included;
  item->localFileAvailable = false;
  album.items.push_back(std::move(item));
  return *album.items.back();
}

TEST(DateInterval, EarliestAndLatestIncludedDates) {
  CAlbum album;
  AddItem(album, "2010-06-15 10:00:00");
  AddItem(album, "2009-12-24 18:00:00");
  AddItem(album, "2011-01-01 00:00:00", false);  // excluded
  AddItem(album, "1970-01-01 01:00:00");         // not valid
  AddItem(album, "2010-08-01 09:30:00");
  ComputeDateInterval(album, false);
  EXPECT_EQ(album.startDateInterval, "2009-12-24 18:00:00");
  EXPECT_EQ(album.endDateInterval, "2010-08-01 09:30:00");
}

TEST(DateInterval, ValidValuesStayUnlessForced) {
  CAlbum album;
  AddItem(album, "2010-06-15 10:00:00");
  album.startDateInterval = "2001-01-01 00:00:00";
  album.endDateInterval = "garbage";
  ComputeDateInterval(album, false);
  EXPECT_EQ(album.startDateInterval, "2001-01-01 00:00:00");
  EXPECT_EQ(album.endDateInterval, "2010-06-15 10:00:00");
  ComputeDateInterval(album, true);
  EXPECT_EQ(album.startDateInterval, "2010-06-15 10:00:00");
}

TEST(DateInterval, FileCreationTimeAndThenTheAlbumsCreationDate) {
  test::TempDir dir;
  CAlbum album;
  CPhoto& item = AddItem(album, "");
  item.localPath = dir.Write("a.jpg", "x");
  item.localFileAvailable = true;
  ComputeDateInterval(album, true);
  EXPECT_EQ(album.startDateInterval, FileCreationTimeText(item.localPath));

  CAlbum bare;
  AddItem(bare, "");
  bare.createDate = "2012-03-04 05:06:07";
  ComputeDateInterval(bare, true);
  EXPECT_EQ(bare.startDateInterval, "2012-03-04 05:06:07");
  EXPECT_EQ(bare.endDateInterval, "2012-03-04 05:06:07");
}

std::string Label(const std::string& start, const std::string& end) {
  CAlbum album;
  album.monthNames = kMonths;
  album.startDateInterval = start;
  album.endDateInterval = end;
  return DateIntervalLabel(album);
}

TEST(DateIntervalLabel, ShortestFormThatTellsTheRange) {
  EXPECT_EQ(Label("2009-12-24 18:00:00", "2010-01-02 00:00:00"), "2009 - 2010");
  EXPECT_EQ(Label("2010-06-01 00:00:00", "2010-08-31 00:00:00"), "June - August 2010");
  EXPECT_EQ(Label("2010-06-01 00:00:00", "2010-06-30 00:00:00"), "June 2010");
  EXPECT_EQ(Label("2010-06-05 08:00:00", "2010-06-05 20:00:00"), "5. 6. 2010");
  EXPECT_EQ(Label("", "2010-06-05 20:00:00"), "5. 6. 2010");  // one date stands for both
  EXPECT_EQ(Label("", "1970-01-01 00:00:00"), "");
}

TEST(DateIntervalLabel, NeedsTwelveMonthNames) {
  CAlbum album;
  album.monthNames = {"Jan", "Feb"};
  album.startDateInterval = album.endDateInterval = "2010-06-05 08:00:00";
  EXPECT_EQ(DateIntervalLabel(album), "");
}

}  // namespace
}  // namespace zerva
