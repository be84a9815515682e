// The album editor's date fields: a day "YYYY-MM-DD" in and out, the album's interval kept as
// "%Y-%m-%d %H:%M:%S". The start is taken at 00:00:00 and the end at 23:59:59, and each pulls
// the other along, so the interval never runs backwards.
#pragma once

#include <string>

namespace zerva {

class CAlbum;

// The start of the interval on `day`; the end moves to the same day when it is unset or
// earlier. An empty day unsets the start. False (nothing changed) for a text that is no day.
bool SetStartDay(CAlbum& album, const std::string& day);
// The end of the interval on `day`; the start moves to the same day when it is unset or later.
bool SetEndDay(CAlbum& album, const std::string& day);
// The day of a date text; empty when the text is not a valid date.
std::string DayOfDate(const std::string& date);

}  // namespace zerva
