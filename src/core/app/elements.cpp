#include "app/elements.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace zerva {
namespace {

struct ElementSpan {
  size_t contentBegin = 0;
  size_t contentEnd = 0;
  size_t end = 0;  // just past the balancing closing tag
};

std::string OpenTag(std::string_view name) {
  return "<" + std::string(name) + ">";
}
std::string CloseTag(std::string_view name) {
  return "</" + std::string(name) + ">";
}

// Finds the element whose opening tag is at `openPos`. Linear in the scanned span.
bool BalanceFrom(std::string_view text, size_t openPos, const std::string& open,
                 const std::string& close, ElementSpan* span) {
  size_t pos = openPos + open.size();
  span->contentBegin = pos;
  int depth = 1;
  // Both searches are cached and only redone once the scan has passed them, so every byte is
  // looked at a bounded number of times.
  size_t nextOpen = text.find(open, pos);
  size_t nextClose = text.find(close, pos);
  while (true) {
    if (nextClose == std::string_view::npos) return false;
    if (nextOpen != std::string_view::npos && nextOpen < nextClose) {
      ++depth;
      pos = nextOpen + open.size();
      nextOpen = text.find(open, pos);
      continue;
    }
    if (--depth == 0) {
      span->contentEnd = nextClose;
      span->end = nextClose + close.size();
      return true;
    }
    pos = nextClose + close.size();
    nextClose = text.find(close, pos);
    if (nextOpen != std::string_view::npos && nextOpen < pos) nextOpen = text.find(open, pos);
  }
}

// Leading decimal integer, like the C library's reading of a number: blanks, sign, digits.
int64_t LeadingInteger(const std::string& s) {
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  if (errno == ERANGE) return 0;
  return v;
}

}  // namespace

std::string GetElement(std::string_view text, std::string_view name, bool* found) {
  if (found) *found = false;
  const std::string open = OpenTag(name);
  const size_t openPos = text.find(open);
  if (openPos == std::string_view::npos) return {};
  ElementSpan span;
  if (!BalanceFrom(text, openPos, open, CloseTag(name), &span)) return {};
  if (found) *found = true;
  return std::string(text.substr(span.contentBegin, span.contentEnd - span.contentBegin));
}

int64_t GetElementInt(std::string_view text, std::string_view name) {
  return LeadingInteger(GetElement(text, name));
}

bool GetElementFlag(std::string_view text, std::string_view name, bool defaultValue) {
  const std::string v = GetElement(text, name);
  if (v.empty()) return defaultValue;
  return LeadingInteger(v) != 0;
}

bool GetElementEquals(std::string_view text, std::string_view name, std::string_view expected,
                      bool defaultValue) {
  const std::string v = GetElement(text, name);
  if (v.empty()) return defaultValue;
  return v == expected;
}

double GetElementDouble(std::string_view text, std::string_view name, double defaultValue) {
  const std::string v = GetElement(text, name);
  if (v.empty()) return defaultValue;
  // The service writes "62.5" whatever the user's locale; strtod would read it as 62 under a
  // comma-decimal locale.
  const char* begin = v.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  if (*begin == '+') ++begin;
  double value = 0;
  const auto [end, error] = std::from_chars(begin, v.c_str() + v.size(), value);
  (void)end;
  return error == std::errc() ? value : 0.0;
}

std::vector<std::string> GetElements(std::string_view text, std::string_view name) {
  const std::string open = OpenTag(name);
  const std::string close = CloseTag(name);
  std::vector<std::string> out;
  size_t from = 0;
  for (int examined = 0; examined < 10000; ++examined) {
    const size_t openPos = text.find(open, from);
    if (openPos == std::string_view::npos) break;
    if (text.find(close, openPos) == std::string_view::npos) break;
    ElementSpan span;
    // An element that never balances leaves nothing after it that could be read reliably;
    // stopping here also keeps a hostile answer from costing quadratic time.
    if (!BalanceFrom(text, openPos, open, close, &span)) break;
    if (span.contentEnd > span.contentBegin) {
      out.emplace_back(text.substr(span.contentBegin, span.contentEnd - span.contentBegin));
    }
    // Empty elements are skipped over so that the ones after them are still collected.
    from = span.end;
  }
  return out;
}

std::string MakeElement(std::string_view name, std::string_view value) {
  std::string out;
  out.reserve(name.size() * 2 + value.size() + 5);
  out += '<';
  out += name;
  out += '>';
  out += value;
  out += "</";
  out += name;
  out += '>';
  return out;
}

std::string MakeElement(std::string_view name, int64_t value) {
  return MakeElement(name, std::string_view(std::to_string(value)));
}

std::string RemoveElement(std::string_view text, std::string_view name) {
  const std::string open = OpenTag(name);
  const std::string close = CloseTag(name);
  const size_t openPos = text.find(open);
  const size_t closePos = text.find(close);
  if (openPos == std::string_view::npos || closePos == std::string_view::npos ||
      openPos >= closePos) {
    return std::string(text);
  }
  std::string out(text.substr(0, openPos));
  out += text.substr(closePos + close.size());
  return out;
}

}  // namespace zerva
