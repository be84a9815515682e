#pragma once

#include <string>

namespace zerva {

// A new time-based UUID in its standard lowercase text form; empty when none can be made.
std::string CreateSequentialUuid();

}  // namespace zerva
