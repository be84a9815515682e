// EXIF texts in the program's code page (UTF-8): descriptions written as UTF-8 and comments
// with their eight-byte character-set prefix.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// Longest EXIF title or comment kept, in characters.
inline constexpr size_t kExifTextMaxChars = 2048;

// The bytes up to the first zero as UTF-8, at most `maxChars` characters; a byte that does not
// belong to a valid sequence becomes "?".
std::string CleanUtf8(std::string_view bytes, size_t maxChars = kExifTextMaxChars);
// Well-formed UTF-8: no zero byte, stray continuation bytes, overlong forms, surrogates or
// values above U+10FFFF.
bool IsValidUtf8(std::string_view text);
// UTF-16 units up to the first zero unit as UTF-8, at most `maxChars` characters; unpaired
// surrogates become "?". An odd last byte is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian,
                        size_t maxChars = kExifTextMaxChars);
// The byte order of a UTF-16 text without a byte-order mark, judged by where the zero bytes of
// Latin text fall; a mark decides when present.
bool LooksBigEndianUtf16(std::string_view bytes);

struct UserCommentText {
  std::string comment;  // "UNICODE" and "ASCII" comments
  std::string title;    // any other character set: taken as a UTF-8 title
};
// A UserComment value: its first 8 bytes name the character set. Comments of 8 bytes or less
// give nothing.
UserCommentText DecodeUserComment(std::string_view value);

}  // namespace zerva
