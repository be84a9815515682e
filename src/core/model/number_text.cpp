#include "model/number_text.h"

#include <charconv>
#include <cmath>

namespace zerva {

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  char buffer[400];  // the largest double in fixed notation with a few decimals fits
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

bool ParseLeadingDecimal(std::string_view text, double* value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t digitsStart = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  bool anyDigit = i > digitsStart;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    anyDigit = anyDigit || i > fractionStart;
  }
  if (!anyDigit) return false;
  // from_chars takes no "+" and needs a digit before the point; build the plain form.
  std::string plain;
  size_t j = start;
  if (text[j] == '-') plain += '-';
  if (text[j] == '+' || text[j] == '-') ++j;
  if (text[j] == '.') plain += '0';
  plain.append(text.substr(j, i - j));
  double parsed = 0.0;
  const auto [end, ec] =
      std::from_chars(plain.data(), plain.data() + plain.size(), parsed, std::chars_format::fixed);
  if (ec != std::errc() || !std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

double LeadingDecimal(std::string_view text, double fallback) {
  double value = fallback;
  return ParseLeadingDecimal(text, &value) ? value : fallback;
}

}  // namespace zerva
