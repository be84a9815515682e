// Reading the album and photo XML the service returns: bounded integers and the texts that the
// web site stores with HTML entities.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// The element read as a decimal number; 0 when absent, not a number or outside 32 bits.
int ElementInt32(std::string_view text, std::string_view name);
// The element with &lt; &gt; &amp; &quot; &nbsp; decoded (tags are kept) and CR LF made LF.
std::string ElementPlainText(std::string_view text, std::string_view name);

}  // namespace zerva
