#include "server/names.h"

#include <array>
#include <cctype>
#include <charconv>

#include "server/limits.h"

namespace zerva::server {
namespace {

bool IsNameByte(unsigned char c) {
  return std::isalnum(c) || c == ',' || c == '-' || c == '.' || c == '_';
}

}  // namespace

bool IsSafeName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameBytes || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c >= 0x80 || !IsNameByte(c)) return false;
  }
  return true;
}

bool IsUploadSubFolder(std::string_view sub) {
  return sub == "images" || sub == "hdimages" || sub == "thumb" || sub == "diff";
}

bool SplitUploadDirectory(std::string_view directory, std::string* serverDir, std::string* sub) {
  const size_t slash = directory.find('/');
  if (slash == std::string_view::npos) return false;
  const std::string_view dir = directory.substr(0, slash);
  const std::string_view rest = directory.substr(slash + 1);
  if (!IsSafeName(dir) || !IsUploadSubFolder(rest)) return false;
  *serverDir = std::string(dir);
  *sub = std::string(rest);
  return true;
}

std::string LastPathComponent(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string SafeFileNameFrom(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (out.size() >= 200) break;
    out += (c < 0x80 && IsNameByte(c)) ? static_cast<char>(c) : '_';
  }
  if (out.empty() || out == "." || out == "..") return "video";
  return out;
}

NickCheck CheckNick(std::string_view nick) {
  if (nick.empty()) return NickCheck::kEmpty;
  if (nick.size() > 25 || nick.front() == '-' || nick.back() == '-') return NickCheck::kFormat;
  for (unsigned char c : nick) {
    if (c >= 0x80 || !(std::isalnum(c) || c == '-')) return NickCheck::kFormat;
  }
  static constexpr std::array<std::string_view, 12> kReserved = {
      "www",       "api",    "download", "alba", "mail",  "admin",
      "localhost", "static", "ftp",      "root", "zerva", "demo-admin"};
  const std::string lower = ToLower(nick);
  for (std::string_view r : kReserved) {
    if (lower == r) return NickCheck::kReserved;
  }
  return NickCheck::kOk;
}

bool IsValidEmail(std::string_view email) {
  if (email.size() < 6 || email.size() > 254) return false;
  const size_t at = email.find('@');
  if (at == std::string_view::npos || at == 0 || email.find('@', at + 1) != std::string_view::npos)
    return false;
  const std::string_view domain = email.substr(at + 1);
  const size_t dot = domain.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || domain.size() - dot - 1 < 2) return false;
  for (unsigned char c : email) {
    if (c <= ' ' || c == '<' || c == '>' || c == '"' || c == ';' || c == ',' || c == '\\' ||
        c == 0x7f)
      return false;
  }
  return domain.find("..") == std::string_view::npos;
}

bool IsMd5Hex(std::string_view text) {
  if (text.size() != 32) return false;
  for (unsigned char c : text) {
    if (!std::isxdigit(c)) return false;
  }
  return true;
}

bool IsAcceptablePassword(std::string_view password) {
  if (password.empty() || password.size() > 128) return false;
  for (unsigned char c : password) {
    if (c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

bool ParseInt64(std::string_view text, long long* out) {
  if (text.empty()) return false;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (*begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && ptr == end;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace zerva::server
