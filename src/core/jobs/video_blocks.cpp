#include "jobs/video_blocks.h"

#include <charconv>
#include <set>

#include "app/elements.h"
#include "platform/md5.h"

namespace zerva {

namespace {

bool ParseWhole(const std::string& text, int64_t* value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

CNextVideoData::CNextVideoData(int blockIndex, std::string data)
    : index(blockIndex), bytes(std::make_shared<const std::string>(std::move(data))) {
  md5 = Md5Hex(*bytes);
  description = BlockDescription(index, Size(), md5);
}

std::string BlockDescription(int index, int64_t size, const std::string& md5) {
  return " <block>\t <index>" + std::to_string(index) + "</index>\t <size>" + std::to_string(size) +
         "</size>\t <md5>" + md5 + "</md5> </block>";
}

bool ParseBlockFacts(std::string_view element, BlockFacts* facts) {
  int64_t index = 0;
  int64_t size = 0;
  const std::string md5 = GetElement(element, "md5");
  if (!ParseWhole(GetElement(element, "index"), &index) ||
      !ParseWhole(GetElement(element, "size"), &size) || md5.empty() || index < 0 ||
      index > INT32_MAX || size < 0) {
    return false;
  }
  facts->index = static_cast<int>(index);
  facts->size = size;
  facts->md5 = md5;
  return true;
}

std::vector<std::string> BlockElements(std::string_view blocksXml) {
  std::vector<std::string> elements = GetElements(blocksXml, "block");
  if (elements.size() > kMaxBlockElements) elements.resize(kMaxBlockElements);
  return elements;
}

BlockMap ServerBlockMap(std::string_view blocksXml) {
  BlockMap map;
  for (const std::string& element : BlockElements(blocksXml)) {
    BlockFacts facts;
    if (!ParseBlockFacts(element, &facts) || !map.emplace(facts.index, element).second) {
      return {};
    }
  }
  return map;
}

std::string BlockListXml(const BlockMap& blocks) {
  std::string out = "<blocks>";
  for (const auto& [index, text] : blocks) out += " <block>" + text + " </block>";
  return out + "</blocks>";
}

std::string RequestBlockList(const CNextVideoDataVector& blocks) {
  std::string out = "<blocks>";
  for (const auto& block : blocks) out += block->description;
  return out + "</blocks>";
}

bool FinalBlocksMatch(std::string_view serviceBlocksXml, const BlockMap& sent) {
  const std::vector<std::string> listed = BlockElements(serviceBlocksXml);
  if (listed.empty() || listed.size() != sent.size()) return false;
  std::set<int> seen;
  for (const std::string& element : listed) {
    BlockFacts theirs;
    BlockFacts ours;
    const auto it = ParseBlockFacts(element, &theirs) ? sent.find(theirs.index) : sent.end();
    if (it == sent.end() || !seen.insert(theirs.index).second ||
        !ParseBlockFacts(it->second, &ours) || ours.size != theirs.size || ours.md5 != theirs.md5) {
      return false;
    }
  }
  return true;
}

}  // namespace zerva
