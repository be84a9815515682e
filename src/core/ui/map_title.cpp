#include "ui/map_title.h"

#include <charconv>
#include <cmath>

namespace zerva {
namespace {

constexpr std::string_view kPrefix = "Loc:";
constexpr int kMaxZoom = 30;

// The whole field as a plain decimal ("." as the decimal point, no exponent), finite.
bool WholeDecimal(std::string_view field, double* value) {
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, *value, std::chars_format::fixed);
  return error == std::errc() && stop == end && std::isfinite(*value);
}

bool WholeInteger(std::string_view field, int* value) {
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, *value);
  return error == std::errc() && stop == end;
}

}  // namespace

std::optional<MapTitleReport> ParseMapTitle(std::string_view title) {
  if (title == "about:blank" || title == kMapPageOwnTitle) return std::nullopt;
  if (title.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const size_t first = title.find(',', kPrefix.size());
  if (first == std::string_view::npos) return std::nullopt;
  const size_t second = title.find(',', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const size_t third = title.find(',', second + 1);
  if (third == std::string_view::npos) return std::nullopt;

  MapTitleReport report;
  if (!WholeDecimal(title.substr(kPrefix.size(), first - kPrefix.size()), &report.latitude) ||
      !WholeDecimal(title.substr(first + 1, second - first - 1), &report.longitude) ||
      !WholeInteger(title.substr(second + 1, third - second - 1), &report.zoom)) {
    return std::nullopt;
  }
  // A page gone wrong must not put a photo off the globe.
  if (std::fabs(report.latitude) > 90.0 || std::fabs(report.longitude) > 180.0 || report.zoom < 0 ||
      report.zoom > kMaxZoom) {
    return std::nullopt;
  }
  report.flag = std::string(title.substr(third + 1));
  return report;
}

}  // namespace zerva
