// The map page's title is whatever a web page set: any text must either be refused or give a
// position on the globe with a sane zoom.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/map_title.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view title(reinterpret_cast<const char*>(data), size);
  const std::optional<zerva::MapTitleReport> report = zerva::ParseMapTitle(title);
  if (!report) return 0;
  if (!std::isfinite(report->latitude) || !std::isfinite(report->longitude) ||
      std::fabs(report->latitude) > 90.0 || std::fabs(report->longitude) > 180.0 ||
      report->zoom < 0 || report->zoom > 30 || title.substr(0, 4) != "Loc:") {
    std::abort();
  }
  return 0;
}
