#include "server/tokens.h"

#include <fcntl.h>
#include <sys/random.h>

#include <random>

namespace zerva::server {

std::string RandomHex(size_t bytes) {
  std::string raw(bytes, '\0');
  size_t filled = 0;
  while (filled < bytes) {
    const ssize_t n = ::getrandom(raw.data() + filled, bytes - filled, 0);
    if (n <= 0) break;
    filled += static_cast<size_t>(n);
  }
  if (filled < bytes) {
    std::random_device rd;
    for (size_t i = filled; i < bytes; ++i) raw[i] = static_cast<char>(rd());
  }
  static const char* kHex = "0123456789abcdef";
  std::string out;
  out.reserve(bytes * 2);
  for (unsigned char c : raw) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

}  // namespace zerva::server
