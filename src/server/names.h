// Checks of every name a client sends: directory and file names that become paths, user names
// that become host names, e-mail addresses and password digests.
#pragma once

#include <string>
#include <string_view>

namespace zerva::server {

// A single path component the client's own sanitiser can produce: 1 to 255 bytes of letters,
// digits, ",", "-", "." and "_", and neither "." nor "..". Such a name can never leave the
// folder it is joined to.
bool IsSafeName(std::string_view name);

// The sub-folders of an album that hold the files of `UploadFile`.
bool IsUploadSubFolder(std::string_view sub);
// "<serverDir>/<sub>" with a safe serverDir and a known sub-folder; nothing else.
bool SplitUploadDirectory(std::string_view directory, std::string* serverDir, std::string* sub);

// The part of a client path after its last "/" or "\".
std::string LastPathComponent(std::string_view path);
// A safe file name made from any client text: unsafe bytes become "_", at most 200 bytes,
// "video" when nothing is left.
std::string SafeFileNameFrom(std::string_view text);

enum class NickCheck { kOk, kEmpty, kFormat, kReserved };
// A user name becomes the host label of the user's site: 1 to 25 letters, digits and "-", not
// starting or ending with "-"; the names of the service's own hosts are reserved.
NickCheck CheckNick(std::string_view nick);
bool IsValidEmail(std::string_view email);
// 32 hexadecimal digits.
bool IsMd5Hex(std::string_view text);
// Printable ASCII or bytes of multi-byte UTF-8 letters, at most 128 bytes, not empty.
bool IsAcceptablePassword(std::string_view password);
// Decimal integer with optional sign, nothing else; false for empty or overflowing text.
bool ParseInt64(std::string_view text, long long* out);
std::string ToLower(std::string_view text);

}  // namespace zerva::server
