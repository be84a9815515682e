#include "server/clock.h"

#include <ctime>

namespace zerva::server {

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  return buffer;
}

int64_t NowSeconds() {
  return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace zerva::server
