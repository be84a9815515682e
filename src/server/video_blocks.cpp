#include "server/video_blocks.h"

#include <set>

#include "app/elements.h"
#include "server/limits.h"
#include "server/names.h"

namespace zerva::server {

std::string BlockElement(const BlockInfo& block) {
  return " <block>\t <index>" + std::to_string(block.index) + "</index>\t <size>" +
         std::to_string(block.size) + "</size>\t <md5>" + block.md5 + "</md5> </block>";
}

std::string BlockListXml(const std::vector<BlockInfo>& blocks) {
  std::string out = "<blocks>";
  for (const BlockInfo& b : blocks) out += BlockElement(b);
  return out + "</blocks>";
}

std::optional<BlockInfo> ParseBlock(const std::string& element) {
  long long index = 0;
  long long size = 0;
  const std::string md5 = ToLower(GetElement(element, "md5"));
  if (!ParseInt64(GetElement(element, "index"), &index) ||
      !ParseInt64(GetElement(element, "size"), &size) || !IsMd5Hex(md5) || index < 0 ||
      index >= kMaxVideoBlocks || size < 0 || size > kVideoBlockSize)
    return std::nullopt;
  return BlockInfo{index, size, md5};
}

bool ParseBlockList(const std::string& blocksXml, std::vector<BlockInfo>* blocks) {
  blocks->clear();
  std::set<int64_t> seen;
  for (const std::string& element : GetElements(blocksXml, "block")) {
    std::optional<BlockInfo> block = ParseBlock(element);
    if (!block || !seen.insert(block->index).second) {
      blocks->clear();
      return false;
    }
    blocks->push_back(*block);
  }
  return true;
}

}  // namespace zerva::server
