// Unguessable tokens: login tickets, web sessions, user codes.
#pragma once

#include <cstddef>
#include <string>

namespace zerva::server {

// `bytes` random bytes from the system's generator as lowercase hex.
std::string RandomHex(size_t bytes);

}  // namespace zerva::server
