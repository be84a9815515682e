#include "model/date_interval.h"

#include <cstdio>
#include <ctime>
#include <sstream>

#include "app/text_utils.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/date_text.h"
#include "model/file_times.h"

namespace zerva {
namespace {

// An item's date: its EXIF date, else the creation time of its local file.
std::string ItemDate(const CPhoto& item) {
  if (IsValidDate(item.DateTime)) return item.DateTime;
  if (item.localFileAvailable) return FileCreationTimeText(item.localPath);
  return {};
}

std::string OneSecondAfterEpoch() {
  std::tm start{};
  start.tm_year = 70;
  start.tm_mday = 1;
  start.tm_sec = 1;
  start.tm_isdst = -1;
  return FormatDateTime(std::mktime(&start));
}

struct Ymd {
  int year = 0, month = 0, day = 0;
};

Ymd ReadYmd(const std::string& date) {
  Ymd ymd;
  std::sscanf(date.c_str(), "%d-%d-%d", &ymd.year, &ymd.month, &ymd.day);
  return ymd;
}

}  // namespace

void ComputeDateInterval(CAlbum& album, bool force) {
  const bool startValid = IsValidDate(album.startDateInterval);
  const bool endValid = IsValidDate(album.endDateInterval);
  if (!force && startValid && endValid) return;
  std::string earliest = FormatDateTime(std::time(nullptr));
  std::string latest = OneSecondAfterEpoch();
  bool any = false;
  for (const auto& item : album.items) {
    if (!item->included) continue;
    const std::string date = ItemDate(*item);
    if (!IsValidDate(date)) continue;
    any = true;
    if (date < earliest) earliest = date;
    if (date > latest) latest = date;
  }
  if (!any) earliest = latest = album.createDate;
  if (IsValidDate(earliest) && (force || !startValid)) album.startDateInterval = earliest;
  if (IsValidDate(latest) && (force || !endValid)) album.endDateInterval = latest;
}

std::string DateIntervalLabel(CAlbum& album) {
  if (album.monthNames.empty()) {
    std::stringstream list(Text("monthNames"));
    for (std::string month; std::getline(list, month, ',');) album.monthNames.push_back(month);
  }
  if (album.monthNames.size() < 12) return {};
  const bool startValid = IsValidDate(album.startDateInterval);
  const bool endValid = IsValidDate(album.endDateInterval);
  if (!startValid && !endValid) return {};
  const Ymd s = ReadYmd(startValid ? album.startDateInterval : album.endDateInterval);
  const Ymd e = ReadYmd(endValid ? album.endDateInterval : album.startDateInterval);
  // IsValidDate guarantees months 1 to 12.
  const auto month = [&](int m) { return album.monthNames[static_cast<size_t>(m - 1)]; };
  if (s.year != e.year) return std::to_string(s.year) + " - " + std::to_string(e.year);
  if (s.month != e.month) {
    return month(s.month) + " - " + month(e.month) + " " + std::to_string(s.year);
  }
  if (s.day != e.day) return month(s.month) + " " + std::to_string(s.year);
  return std::to_string(s.day) + ". " + std::to_string(s.month) + ". " + std::to_string(s.year);
}

}  // namespace zerva
