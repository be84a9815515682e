// Times as the service writes them.
#pragma once

#include <cstdint>
#include <string>

namespace zerva::server {

// Local time "%Y-%m-%d %H:%M:%S".
std::string NowText();
int64_t NowSeconds();

}  // namespace zerva::server
