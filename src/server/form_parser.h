// Decoding of URL-encoded form bodies and query strings, bounded and order-preserving.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/request.h"

namespace zerva::server {

// "%41" -> "A", "+" -> blank. A "%" not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text, bool plusIsBlank = true);
// Every byte outside A-Z a-z 0-9 - . _ ~ becomes "%XX" (upper-case hex).
std::string PercentEncode(std::string_view text);

// Splits "a=1&b=2" into fields in order. Fails (false, `error` set) when there are more than
// kMaxFields fields or a name is longer than kMaxFieldNameBytes; empty pieces are skipped.
bool ParseUrlEncoded(std::string_view body, std::vector<FormField>* fields, std::string* error);
// The same for a query string, into name/value pairs; oversized input is cut off, not refused.
NameValues ParseQuery(std::string_view query);

}  // namespace zerva::server
