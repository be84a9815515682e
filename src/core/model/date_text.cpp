#include "model/date_text.h"

#include <ctime>

namespace zerva {
namespace {

// Reads 1 to `maxDigits` digits at `pos`.
bool ReadNumber(std::string_view text, size_t* pos, int maxDigits, int* value) {
  int n = 0;
  int digits = 0;
  while (*pos < text.size() && digits < maxDigits && text[*pos] >= '0' && text[*pos] <= '9') {
    n = n * 10 + (text[*pos] - '0');
    ++*pos;
    ++digits;
  }
  *value = n;
  return digits > 0;
}

bool Expect(std::string_view text, size_t* pos, char c) {
  if (*pos >= text.size() || text[*pos] != c) return false;
  ++*pos;
  return true;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ParsesAsDate(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  int year = 0, month = 0, day = 0;
  if (!ReadNumber(text, &pos, 4, &year) || !Expect(text, &pos, '-') ||
      !ReadNumber(text, &pos, 2, &month) || !Expect(text, &pos, '-') ||
      !ReadNumber(text, &pos, 2, &day)) {
    return false;
  }
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return false;
  }
  size_t timeStart = pos;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T')) ++pos;
  if (pos < text.size() && pos > timeStart) {
    int hour = 0, minute = 0, second = 0;
    if (!ReadNumber(text, &pos, 2, &hour) || !Expect(text, &pos, ':') ||
        !ReadNumber(text, &pos, 2, &minute)) {
      return false;
    }
    if (pos < text.size() && text[pos] == ':' && !(++pos, ReadNumber(text, &pos, 2, &second))) {
      return false;
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
  }
  while (pos < text.size() && text[pos] == ' ') ++pos;
  return pos == text.size();
}

int CurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace

bool IsValidDate(std::string_view text) {
  if (text.find_first_of("123456789") == std::string_view::npos) return false;
  if (text.substr(0, 10) == "1970-01-01") return false;
  return ParsesAsDate(text);
}

std::string ExifDateToText(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size() && i < 8; ++i) {
    if (out[i] == ':') out[i] = '-';
  }
  if (out.size() > 9) {
    size_t pos = 0;
    int year = 0;
    // Only a real four-digit year is clamped; anything else is left for IsValidDate to refuse.
    if (ReadNumber(out, &pos, 4, &year) && pos == 4) {
      const int current = CurrentYear();
      if (year < 1970) out.replace(0, 4, "1970");
      if (year > current) out.replace(0, 4, std::to_string(current));
    }
  }
  return out;
}

}  // namespace zerva
