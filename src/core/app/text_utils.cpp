#include "app/text_utils.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <iterator>

namespace zerva {
namespace {

// The folding table: each UTF-8 letter of the first row becomes the ASCII letter at the same
// position of the second row. Every one of them is a two-byte sequence.
constexpr std::string_view kFoldFrom[] = {"á", "č", "ď", "ě", "é", "ë", "í", "ľ", "ĺ", "ň",
                                          "ó", "ö", "ř", "š", "ť", "ů", "ú", "ü", "ý", "ž",
                                          "Á", "Č", "Ď", "Ě", "É", "Ë", "Í", "Ľ", "Ĺ", "Ň",
                                          "Ó", "Ö", "Ř", "Š", "Ť", "Ů", "Ú", "Ü", "Ý", "Ž"};
constexpr std::string_view kFoldTo = "acdeeeillnoorstuuuyzACDEEEILLNOORSTUUUYZ";
static_assert(std::size(kFoldFrom) == kFoldTo.size());

constexpr std::string_view kPhotoPatterns =
    "*.jpg;*.tif;*.tiff;*.3fr;*.arw;*.bay;*.bmq;*.cap;*.cine;*.cr2;*.crw;*.cs1;*.dc2;*.dcr;*.dng;"
    "*.drf;*.dsc;*.erf;*.fff;*.hdr;*.ia;*.iiq;*.k25;*.kc2;*.kdc;*.mdc;*.mef;*.mos;*.mrw;*.nef;"
    "*.nrw;*.orf;*.pef;*.ptx;*.pxn;*.qtk;*.raf;*.raw;*.rdc;*.rw2;*.rwz;*.sr2;*.srf;*.sti;*.x3f";
// Photo types of today's phones and cameras beyond that list. They are matched whole, so that
// a truncated extension keeps meaning what it meant before ("x.w" stays a video).
constexpr std::string_view kMorePhotoPatterns = "*.jpeg;*.jpe;*.heic;*.heif;*.png;*.webp";
constexpr std::string_view kVideoPatterns =
    "*.avi;*.mov;*.mp4;*.wmv;*.3gp;*.m4v;*.mpg;*.mpeg;*.mod;*.divx;*.mts";

// Repeated replacement may grow a text when `to` rebuilds `from` with its neighbours; past this
// size the last complete pass is kept.
constexpr size_t kMaxReplaceGrowth = 64u << 20;

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsServerNameChar(unsigned char c) {
  return c == ',' || c == '-' || c == '.' || c == '_' || (c >= '0' && c <= '9') ||
         (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsLocalNameForbidden(char c) {
  switch (c) {
    case '%':
    case '>':
    case '<':
    case '?':
    case ' ':
    case '*':
    case '~':
    case '/':
    case '\\':
      return true;
    default:
      return false;
  }
}

// Whether one of the ";"-separated patterns, after its first character ("*"), satisfies `match`.
bool AnyPattern(std::string_view patterns, auto match) {
  size_t pos = 0;
  while (pos < patterns.size()) {
    size_t end = patterns.find(';', pos);
    if (end == std::string_view::npos) end = patterns.size();
    const std::string_view pattern = patterns.substr(pos, end - pos);
    if (pattern.size() > 1 && match(pattern.substr(1))) return true;
    pos = end + 1;
  }
  return false;
}

// Whether `extension` occurs in one of the patterns after its first character.
bool OccursInPatterns(std::string_view patterns, std::string_view extension) {
  return AnyPattern(patterns, [&](std::string_view tail) {
    return tail.find(extension) != std::string_view::npos;
  });
}

std::string Format(const char* format, auto... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n <= 0) return {};
  return std::string(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
}

// The extension equals a pattern after its "*".
bool IsOneOfPatterns(std::string_view patterns, std::string_view extension) {
  return AnyPattern(patterns, [&](std::string_view tail) { return tail == extension; });
}

}  // namespace

std::string FoldDiacritics(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      bool folded = false;
      for (size_t k = 0; k < std::size(kFoldFrom); ++k) {
        if (text.substr(i, kFoldFrom[k].size()) == kFoldFrom[k]) {
          out += kFoldTo[k];
          i += kFoldFrom[k].size();
          folded = true;
          break;
        }
      }
      if (folded) continue;
    }
    out += text[i++];
  }
  return out;
}

std::string MakeServerName(std::string_view text) {
  if (text.empty()) return {};
  std::string name = FoldDiacritics(text);
  for (char& c : name) {
    if (!IsServerNameChar(static_cast<unsigned char>(c))) c = '_';
  }
  name = ReplaceUntilGone(name, "__", "_");
  if (name != "_") {
    if (!name.empty() && name.front() == '_') name.erase(0, 1);
    if (!name.empty() && name.back() == '_') name.pop_back();
  }
  return name;
}

std::string MakeLocalName(std::string_view text) {
  std::string name = FoldDiacritics(text);
  for (char& c : name) {
    if (IsLocalNameForbidden(c)) c = '_';
  }
  return name;
}

std::string HtmlToText(std::string_view text) {
  // Text before the first "<" never holds another "<", so deleting each first "<...>" span in
  // turn is one scan from left to right.
  std::string plain;
  plain.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('<', pos);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) break;
    plain.append(text.substr(pos, open - pos));
    pos = close + 1;
  }
  plain.append(text.substr(std::min(pos, text.size())));
  plain = ReplaceAll(plain, "&lt;", "<");
  plain = ReplaceAll(plain, "&gt;", ">");
  plain = ReplaceAll(plain, "&amp;", "&");
  plain = ReplaceAll(plain, "&quot;", "\"");
  return ReplaceAll(plain, "&nbsp;", " ");
}

std::string BrToLineBreak(std::string_view text, bool flatten, bool useCrLf) {
  const std::string_view lineEnd = useCrLf ? "\r\n" : "\n";
  std::string out(text);
  for (std::string_view br : {"<br>", "<br/>", "<br />", "<BR>", "<BR/>", "<BR />"}) {
    out = ReplaceAll(out, br, lineEnd);
  }
  return flatten ? FlattenLines(out) : out;
}

std::string NormalizeToLf(std::string_view text, bool convertBr, bool flatten, bool useCrLf) {
  std::string out = convertBr ? BrToLineBreak(text, flatten, useCrLf) : std::string(text);
  out = ReplaceAll(out, "\r\n", "\n");
  return ReplaceAll(out, "\r", "\n");
}

std::string LfToCrLf(std::string_view text) {
  return ReplaceAll(text, "\n", "\r\n");
}

std::string FlattenLines(std::string_view text) {
  std::string out = ReplaceAll(text, "\r\n", " ");
  out = ReplaceAll(out, "\n", " ");
  return ReplaceAll(out, "\r", " ");
}

std::string MediaPatterns(int flags, bool withUpperCase) {
  std::string list;
  if (flags & kMediaPhotos) {
    list += kPhotoPatterns;
    list += ';';
    list += kMorePhotoPatterns;
  }
  if (flags & kMediaVideos) {
    if (!list.empty()) list += ';';
    list += kVideoPatterns;
  }
  if (withUpperCase && !list.empty()) {
    std::string upper = list;
    for (char& c : upper) c = AsciiUpper(c);
    list += ';' + upper;
  }
  return list;
}

bool IsMediaExtension(std::string_view extension, int flags) {
  // An empty text occurs everywhere; a file without an extension is never a media file.
  if (extension.empty()) return false;
  std::string lower(extension);
  for (char& c : lower) c = AsciiLower(c);
  return ((flags & kMediaPhotos) && (OccursInPatterns(kPhotoPatterns, lower) ||
                                     IsOneOfPatterns(kMorePhotoPatterns, lower))) ||
         ((flags & kMediaVideos) && OccursInPatterns(kVideoPatterns, lower));
}

std::string FileExtension(std::string_view path) {
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return std::string(name.substr(dot));
}

std::string FormatDuration(int64_t seconds) {
  if (seconds < 60) return Format("%" PRId64 " s", seconds);
  return Format("%" PRId64 ":%.2d min", seconds / 60, static_cast<int>(seconds % 60));
}

std::string FormatDateTime(std::time_t time) {
  std::tm local{};
  if (::localtime_r(&time, &local) == nullptr) return {};
  char buffer[64];
  const size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(buffer, n);
}

std::string FormatFileTime(int64_t secondsSince1970) {
  if (secondsSince1970 <= 0) return {};
  const std::time_t time = static_cast<std::time_t>(secondsSince1970);
  std::tm local{};
  if (::localtime_r(&time, &local) == nullptr) return {};
  return Format("%2d-%.2d-%.2d %.2d:%.2d:%.2d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    const size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string ReplaceUntilGone(std::string_view text, std::string_view from, std::string_view to) {
  std::string out(text);
  if (from.empty()) return out;
  // When the replacement holds what it replaces, no number of passes removes it: one pass is
  // all that can be done.
  if (to.find(from) != std::string_view::npos) return ReplaceAll(out, from, to);
  // Each pass removes at least one occurrence, so a shrinking replacement ends within
  // text.size() passes; the bounds stop the rare replacement that keeps rebuilding `from`.
  const size_t maxSize = std::max(kMaxReplaceGrowth, text.size());
  for (size_t pass = 0; pass <= text.size() && out.find(from) != std::string::npos; ++pass) {
    std::string next = ReplaceAll(out, from, to);
    if (next.size() > maxSize) break;
    out = std::move(next);
  }
  return out;
}

std::string TrimEndChars(std::string_view text, std::string_view set) {
  const size_t last = text.find_last_not_of(set);
  if (last == std::string_view::npos) return {};
  return std::string(text.substr(0, last + 1));
}

std::string FolderWithoutTrailingSlash(std::string_view path) {
  const std::string trimmed = TrimEndChars(path, "/");
  return trimmed.empty() && !path.empty() ? std::string("/") : trimmed;
}

std::string TrimChars(std::string_view text, std::string_view set) {
  const size_t first = text.find_first_not_of(set);
  if (first == std::string_view::npos) return {};
  return TrimEndChars(text.substr(first), set);
}

}  // namespace zerva
