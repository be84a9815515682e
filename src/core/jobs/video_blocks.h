// The pieces of a video upload: one block waiting to be sent, the blocks of one send request,
// the block descriptions and block lists exchanged with the service, and the maps of blocks the
// service holds or has confirmed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zerva {

inline constexpr int64_t kVideoBlockSize = 262144;
// Enough for the largest request of 16 blocks.
inline constexpr int64_t kVideoReadBuffer = 4194304;
// The start of a file that ffmpeg is still writing: sent first, and again once ffmpeg has
// finished and filled in the real header.
inline constexpr int64_t kVideoHeaderBlock = 48;
inline constexpr int kMaxBlocksPerRequest = 16;
// A bound on the block elements read from one answer.
inline constexpr size_t kMaxBlockElements = 10000;

// index -> the text of one `block` element (its content).
using BlockMap = std::map<int, std::string>;

// What the job and its senders share. The lock guards the sent-block map and the pool's
// counters; it is held by shared ownership because a sender thread that did not stop in time
// runs on after the upload returned.
struct VideoUploadShared {
  std::recursive_mutex lock;
  BlockMap sentBlocks;
};

// One block waiting to be sent.
class CNextVideoData {
 public:
  CNextVideoData(int index, std::string bytes);
  virtual ~CNextVideoData() = default;

  int index;
  std::shared_ptr<const std::string> bytes;
  std::string md5;
  std::string description;
  int64_t Size() const { return static_cast<int64_t>(bytes->size()); }
};

// The blocks of one send request, owned.
class CNextVideoDataVector : public std::vector<std::unique_ptr<CNextVideoData>> {
 public:
  CNextVideoDataVector() = default;
  CNextVideoDataVector(CNextVideoDataVector&&) = default;
  CNextVideoDataVector& operator=(CNextVideoDataVector&&) = default;
  virtual ~CNextVideoDataVector() = default;
};

// " <block>\t <index>I</index>\t <size>S</size>\t <md5>M</md5> </block>"
std::string BlockDescription(int index, int64_t size, const std::string& md5);

// The facts of one `block` element; false when index, size or md5 is missing or not a number.
struct BlockFacts {
  int index = 0;
  int64_t size = 0;
  std::string md5;
};
bool ParseBlockFacts(std::string_view element, BlockFacts* facts);

// The `block` elements of a `blocks` element, at most kMaxBlockElements.
std::vector<std::string> BlockElements(std::string_view blocksXml);

// The blocks the service already holds, from the Begin answer's `blocks`. Empty when any element
// is incomplete or repeats an index: then every block is sent again.
BlockMap ServerBlockMap(std::string_view blocksXml);

// "<blocks>" + " <block>" + text + " </block>" for every entry in index order + "</blocks>".
std::string BlockListXml(const BlockMap& blocks);

// "<blocks>" + the descriptions of the blocks + "</blocks>": the `blocks` field of a request.
std::string RequestBlockList(const CNextVideoDataVector& blocks);

// The final check: the service's list is not empty, has as many blocks as were confirmed, and
// every block it lists was confirmed with the same index, size and MD5.
bool FinalBlocksMatch(std::string_view serviceBlocksXml, const BlockMap& sent);

}  // namespace zerva
