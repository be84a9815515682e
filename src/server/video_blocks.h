// The block lists of the video upload protocol: "<block>" elements holding an index, a size
// and the MD5 of the block's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zerva::server {

struct BlockInfo {
  int64_t index = 0;
  int64_t size = 0;
  std::string md5;  // lower case
};

// " <block>\t <index>i</index>\t <size>s</size>\t <md5>m</md5> </block>", the form the client
// writes itself.
std::string BlockElement(const BlockInfo& block);
std::string BlockListXml(const std::vector<BlockInfo>& blocks);

// The content of one <block> element; nothing unless index, size and md5 are all present and
// well formed (index below kMaxVideoBlocks, size 0 to kVideoBlockSize, 32 hex digits).
std::optional<BlockInfo> ParseBlock(const std::string& element);
// Every <block> of a list; false when one is malformed or an index repeats.
bool ParseBlockList(const std::string& blocksXml, std::vector<BlockInfo>* blocks);

}  // namespace zerva::server
