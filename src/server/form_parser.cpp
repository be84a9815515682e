#include "server/form_parser.h"

#include "server/limits.h"

namespace zerva::server {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <typename Emit>
bool SplitPairs(std::string_view text, size_t maxPairs, Emit emit) {
  size_t count = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) amp = text.size();
    const std::string_view piece = text.substr(pos, amp - pos);
    pos = amp + 1;
    if (piece.empty()) continue;
    if (++count > maxPairs) return false;
    const size_t eq = piece.find('=');
    const std::string_view name = piece.substr(0, eq);
    const std::string_view value =
        eq == std::string_view::npos ? std::string_view() : piece.substr(eq + 1);
    if (!emit(name, value)) return false;
  }
  return true;
}

}  // namespace

std::string PercentDecode(std::string_view text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int hi = HexValue(text[i + 1]);
      const int lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (c == '+' && plusIsBlank) ? ' ' : c;
  }
  return out;
}

std::string PercentEncode(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool ParseUrlEncoded(std::string_view body, std::vector<FormField>* fields, std::string* error) {
  fields->clear();
  const bool ok = SplitPairs(body, kMaxFields, [&](std::string_view name, std::string_view value) {
    FormField f;
    f.name = PercentDecode(name);
    if (f.name.size() > kMaxFieldNameBytes) {
      *error = "form field name too long";
      return false;
    }
    f.value = PercentDecode(value);
    fields->push_back(std::move(f));
    return true;
  });
  if (!ok) {
    if (error->empty()) *error = "too many form fields";
    fields->clear();
  }
  return ok;
}

NameValues ParseQuery(std::string_view query) {
  NameValues out;
  SplitPairs(query, 256, [&](std::string_view name, std::string_view value) {
    if (name.size() > kMaxFieldNameBytes || value.size() > kMaxShortTextBytes) return true;
    out.emplace_back(PercentDecode(name), PercentDecode(value));
    return true;
  });
  return out;
}

}  // namespace zerva::server
