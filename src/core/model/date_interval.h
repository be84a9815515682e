// The album's date interval, derived from its items' dates, and its short label.
#pragma once

#include <string>

namespace zerva {

class CAlbum;

// Sets startDateInterval and endDateInterval from the earliest and latest dates of the
// included items (the album's creation date when none has one). Without `force` nothing
// changes when both already hold valid dates, and a valid value is never replaced.
void ComputeDateInterval(CAlbum& album, bool force);

// "2009 - 2010", "June - August 2010", "June 2010" or "5. 6. 2010"; empty when no date is
// valid or the language has no twelve month names.
std::string DateIntervalLabel(CAlbum& album);

}  // namespace zerva
