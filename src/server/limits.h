// Bounds on everything a client can send, so that no request can exhaust memory or disk.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zerva::server {

inline constexpr size_t kMaxBodyBytes = 64u << 20;  // one request body
inline constexpr size_t kMaxFields = 2048;          // form fields of one request
inline constexpr size_t kMaxFieldNameBytes = 256;
inline constexpr size_t kMaxTextFieldBytes = 16u << 20;  // one text field (album XML)
inline constexpr size_t kMaxNameBytes = 255;             // file and directory names
inline constexpr size_t kMaxSettingBytes = 1u << 20;     // settings text, photo XML
inline constexpr size_t kMaxShortTextBytes = 64u << 10;  // names, descriptions, addresses
inline constexpr size_t kMaxBugFileBytes = 32u << 20;
inline constexpr int64_t kVideoBlockSize = 262144;
// Block lists are read with the element reader, which stops at 10000 elements.
inline constexpr int64_t kMaxVideoBlocks = 9000;  // about 2.2 GiB per video
// The element reader looks at no more than 10000 elements; a list that long may be cut short.
inline constexpr size_t kMaxPhotosPerAlbum = 9999;
inline constexpr size_t kMaxRecipients = 50;
inline constexpr size_t kLogEntries = 5000;          // requests kept by the request log
inline constexpr size_t kLogValueBytes = 1u << 20;   // longest value kept in the log
inline constexpr size_t kLogTotalBytes = 64u << 20;  // all values kept in the log

}  // namespace zerva::server
