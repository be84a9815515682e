// Numbers in the album and photo XML: always with a decimal point, whatever LC_NUMERIC the
// process runs under (a GUI toolkit sets the user's locale, and Czech writes a decimal comma).
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// "%.*f" in the C locale; non-finite values are written as 0.
std::string FormatFixed(double value, int decimals);
// The leading decimal number of `text` (optional blanks, sign, digits, fraction; an exponent is
// not taken). False when there is none or it is not finite.
bool ParseLeadingDecimal(std::string_view text, double* value);
// ParseLeadingDecimal, or `fallback` when there is no number.
double LeadingDecimal(std::string_view text, double fallback = 0.0);

}  // namespace zerva
