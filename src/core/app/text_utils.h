// Free functions on 8-bit texts shared by the whole program. Texts are UTF-8 byte strings; the
// diacritics table is matched as its UTF-8 encodings.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zerva {

inline constexpr int kMediaPhotos = 1;
inline constexpr int kMediaVideos = 2;

// Each of the 40 Czech and Slovak letters with a diacritic replaced by its plain letter.
std::string FoldDiacritics(std::string_view text);
// A name the server accepts for folders and files.
std::string MakeServerName(std::string_view text);
// Diacritics folded, then % > < ? blank * ~ / \ each replaced by "_".
std::string MakeLocalName(std::string_view text);
// Tags removed, then &lt; &gt; &amp; &quot; &nbsp; decoded in that order.
std::string HtmlToText(std::string_view text);
// The six <br> spellings replaced by CR LF (or LF); flattened afterwards when asked.
std::string BrToLineBreak(std::string_view text, bool flatten, bool useCrLf);
// Optionally <br> first; then CR LF -> LF, then lone CR -> LF.
std::string NormalizeToLf(std::string_view text, bool convertBr, bool flatten, bool useCrLf);
std::string LfToCrLf(std::string_view text);
// CR LF, then LF, then CR each become one blank.
std::string FlattenLines(std::string_view text);

// The photo (flag 1) and/or video (flag 2) pattern lists joined by ";"; with upper case, ";" and
// an upper-case copy of the whole list are appended. The photo list ends with the types of
// today's phones and the web: "*.jpeg;*.jpe;*.heic;*.heif;*.png;*.webp".
std::string MediaPatterns(int flags, bool withUpperCase = false);
// The extension (with its dot), lower-cased, occurs in a selected pattern after its first
// character. A truncated ".jp" therefore matches "*.jpg". The later photo types (".jpeg" and
// the others above) match only whole.
bool IsMediaExtension(std::string_view extension, int flags);
// The extension of a path from its last "." (dot at a position above 0 of the file name),
// empty when there is none.
std::string FileExtension(std::string_view path);

std::string FormatDuration(int64_t seconds);
std::string FormatDateTime(std::time_t time);
std::string FormatFileTime(int64_t secondsSince1970);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string ReplaceUntilGone(std::string_view text, std::string_view from, std::string_view to);
std::string TrimEndChars(std::string_view text, std::string_view set);
std::string TrimChars(std::string_view text, std::string_view set);  // both ends
// A folder path without its trailing "/"s; the root "/" stays.
std::string FolderWithoutTrailingSlash(std::string_view path);

}  // namespace zerva
