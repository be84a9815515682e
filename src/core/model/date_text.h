// Dates as the model keeps them: "%Y-%m-%d %H:%M:%S" texts from EXIF, from file times and from
// the service.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// A usable date: it holds a digit 1 to 9, does not start with "1970-01-01" (the zero file
// time), and reads as a calendar date with an optional time of day.
bool IsValidDate(std::string_view text);

// The EXIF form "2010:06:15 10:20:30" as "2010-06-15 10:20:30"; a year before 1970 becomes
// 1970 and a year after the current one the current year.
std::string ExifDateToText(std::string_view text);

}  // namespace zerva
