#include "model/date_text.h"

#include <gtest/gtest.h>

#include <ctime>

namespace zerva {
namespace {

int ThisYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

TEST(ExifDate, ColonsOfTheDateBecomeDashes) {
  EXPECT_EQ(ExifDateToText("2010:06:15 10:20:30"), "2010-06-15 10:20:30");
  EXPECT_EQ(ExifDateToText(""), "");
  EXPECT_EQ(ExifDateToText("2010:06"), "2010-06");
}

TEST(ExifDate, YearIsClampedToTheEpochAndToday) {
  EXPECT_EQ(ExifDateToText("1969:12:31 23:00:00"), "1970-12-31 23:00:00");
  EXPECT_EQ(ExifDateToText("9999:01:02 03:04:05"), std::to_string(ThisYear()) + "-01-02 03:04:05");
  // An empty camera date stays unreadable rather than becoming 1970.
  EXPECT_EQ(ExifDateToText("    :  :     :  :  "), "    -  -     :  :  ");
}

TEST(ExifDate, ValidDates) {
  EXPECT_TRUE(IsValidDate("2010-06-15 10:20:30"));
  EXPECT_TRUE(IsValidDate("2010-06-15"));
  EXPECT_TRUE(IsValidDate("2012-02-29 00:00"));
  EXPECT_FALSE(IsValidDate("1970-01-01 01:00:00"));
  EXPECT_FALSE(IsValidDate("0000-00-00 00:00:00"));
  EXPECT_FALSE(IsValidDate("2011-02-29 00:00:00"));
  EXPECT_FALSE(IsValidDate("2010-06-15 24:00:00"));
  EXPECT_FALSE(IsValidDate("2010:06:15 10:20:30"));
  EXPECT_FALSE(IsValidDate("yesterday 1"));
  EXPECT_FALSE(IsValidDate(""));
}

}  // namespace
}  // namespace zerva
