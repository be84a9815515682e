#include "model/exif_text.h"

#include <cstdint>

namespace zerva {
namespace {

void AppendUtf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at `pos`, 0 when there is none.
size_t Utf8SequenceLength(std::string_view s, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = byte(pos);
  size_t length = 0;
  uint32_t cp = 0;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) {
    length = 2;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    length = 3;
    cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    length = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  static constexpr uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string CleanUtf8(std::string_view bytes, size_t maxChars) {
  const size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  std::string out;
  size_t chars = 0;
  for (size_t pos = 0; pos < bytes.size() && chars < maxChars; ++chars) {
    const size_t length = Utf8SequenceLength(bytes, pos);
    if (length == 0) {
      out += '?';
      ++pos;
    } else {
      out.append(bytes.substr(pos, length));
      pos += length;
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, size_t maxChars) {
  const size_t units = bytes.size() / 2;
  const auto unit = [&](size_t i) -> uint32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  };
  std::string out;
  size_t chars = 0;
  for (size_t i = 0; i < units && chars < maxChars; ++i, ++chars) {
    const uint32_t u = unit(i);
    if (u == 0) break;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const uint32_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(&out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      out += '?';
    } else if (u != 0xFEFF || i != 0) {
      AppendUtf8(&out, u);
    } else {
      --chars;  // a leading byte-order mark is no character
    }
  }
  return out;
}

bool LooksBigEndianUtf16(std::string_view bytes) {
  if (bytes.size() >= 2) {
    const auto a = static_cast<unsigned char>(bytes[0]);
    const auto b = static_cast<unsigned char>(bytes[1]);
    if (a == 0xFE && b == 0xFF) return true;
    if (a == 0xFF && b == 0xFE) return false;
  }
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\0') ++evenZeros;
    if (bytes[i + 1] == '\0') ++oddZeros;
  }
  return evenZeros > oddZeros;
}

UserCommentText DecodeUserComment(std::string_view value) {
  UserCommentText text;
  if (value.size() <= 8) return text;
  const std::string_view charset = value.substr(0, 8);
  const std::string_view rest = value.substr(8);
  if (charset.substr(0, 7) == "UNICODE") {
    text.comment = Utf16ToUtf8(rest, LooksBigEndianUtf16(rest));
  } else if (charset.substr(0, 5) == "ASCII") {
    text.comment = CleanUtf8(rest);
  } else {
    text.title = CleanUtf8(rest);
  }
  return text;
}

bool IsValidUtf8(std::string_view text) {
  // CleanUtf8 keeps every valid sequence and turns each bad byte into "?" (which is never a bad
  // byte itself), so a text it returns unchanged was valid.
  return text.find('\0') == std::string_view::npos && CleanUtf8(text, text.size()) == text;
}

}  // namespace zerva
