#include "ui/album_dates.h"

#include "model/album.h"
#include "model/date_text.h"

namespace zerva {
namespace {

constexpr const char* kDayStart = " 00:00:00";
constexpr const char* kDayEnd = " 23:59:59";
constexpr size_t kDayLength = 10;  // "YYYY-MM-DD"

bool IsDay(const std::string& day) {
  return day.size() == kDayLength && IsValidDate(day + kDayStart);
}

}  // namespace

bool SetStartDay(CAlbum& album, const std::string& day) {
  if (day.empty()) {
    album.startDateInterval.clear();
    return true;
  }
  if (!IsDay(day)) return false;
  album.startDateInterval = day + kDayStart;
  if (!IsValidDate(album.endDateInterval) || album.endDateInterval < album.startDateInterval) {
    album.endDateInterval = day + kDayEnd;
  }
  return true;
}

bool SetEndDay(CAlbum& album, const std::string& day) {
  if (day.empty()) {
    album.endDateInterval.clear();
    return true;
  }
  if (!IsDay(day)) return false;
  album.endDateInterval = day + kDayEnd;
  if (!IsValidDate(album.startDateInterval) || album.endDateInterval < album.startDateInterval) {
    album.startDateInterval = day + kDayStart;
  }
  return true;
}

std::string DayOfDate(const std::string& date) {
  return IsValidDate(date) && date.size() >= kDayLength ? date.substr(0, kDayLength)
                                                        : std::string();
}

}  // namespace zerva
