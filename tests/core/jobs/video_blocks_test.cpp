// The block texts of a video upload and the adaptive values of the senders: what the service's
// answers may hold and what the client must make of them.
#include "jobs/video_blocks.h"

#include <gtest/gtest.h>

#include "jobs/send_video_block.h"
#include "platform/md5.h"

namespace zerva {
namespace {

std::string Element(int index, int64_t size, const std::string& md5) {
  return "\t <index>" + std::to_string(index) + "</index>\t <size>" + std::to_string(size) +
         "</size>\t <md5>" + md5 + "</md5> ";
}
std::string List(const std::vector<std::string>& elements) {
  std::string out = "<blocks>";
  for (const std::string& e : elements) out += "<block>" + e + "</block>";
  return out + "</blocks>";
}

TEST(VideoBlocksTest, BlockCarriesItsDigestAndDescription) {
  const std::string bytes(1000, 'x');
  const CNextVideoData block(7, bytes);
  EXPECT_EQ(block.md5, Md5Hex(bytes));
  EXPECT_EQ(block.Size(), 1000);
  EXPECT_EQ(block.description, " <block>\t <index>7</index>\t <size>1000</size>\t <md5>" +
                                   block.md5 + "</md5> </block>");
  CNextVideoDataVector two;
  two.push_back(std::make_unique<CNextVideoData>(0, "ab"));
  two.push_back(std::make_unique<CNextVideoData>(1, "c"));
  EXPECT_EQ(RequestBlockList(two),
            "<blocks>" + two[0]->description + two[1]->description + "</blocks>");
}

TEST(VideoBlocksTest, ServerBlockMapIsAllOrNothing) {
  const std::string a = Element(0, 10, "aa");
  const std::string b = Element(1, 5, "bb");
  const BlockMap map = ServerBlockMap(List({b, a}));
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map.at(0), a);
  // One incomplete element, a non-number or a repeated index: every block is sent again.
  EXPECT_TRUE(ServerBlockMap(List({a, "<index>1</index><size>5</size>"})).empty());
  EXPECT_TRUE(ServerBlockMap(List({a, "<index>1x</index><size>5</size><md5>c</md5>"})).empty());
  EXPECT_TRUE(ServerBlockMap(List({a, a})).empty());
  EXPECT_TRUE(ServerBlockMap(List({"<index>-1</index><size>5</size><md5>c</md5>"})).empty());
  EXPECT_TRUE(ServerBlockMap("").empty());
}

TEST(VideoBlocksTest, BlockListIsInIndexOrder) {
  BlockMap map;
  map[2] = "two";
  map[0] = "zero";
  EXPECT_EQ(BlockListXml(map), "<blocks> <block>zero </block> <block>two </block></blocks>");
  EXPECT_EQ(BlockListXml({}), "<blocks></blocks>");
}

TEST(VideoBlocksTest, FinalListMustMatchWhatWasConfirmed) {
  BlockMap sent;
  sent[0] = Element(0, 262144, "aa");
  sent[1] = Element(1, 3, "bb");
  EXPECT_TRUE(FinalBlocksMatch(List({sent[1], sent[0]}), sent));
  // One block fewer than confirmed: the upload failed although every block went out.
  EXPECT_FALSE(FinalBlocksMatch(List({sent[0]}), sent));
  EXPECT_FALSE(FinalBlocksMatch(List({sent[0], Element(1, 3, "cc")}), sent));
  EXPECT_FALSE(FinalBlocksMatch(List({sent[0], Element(1, 4, "bb")}), sent));
  EXPECT_FALSE(FinalBlocksMatch(List({sent[0], Element(2, 3, "bb")}), sent));
  EXPECT_FALSE(FinalBlocksMatch(List({sent[0], sent[0]}), sent));
  EXPECT_FALSE(FinalBlocksMatch("", {}));
}

TEST(SenderAdviceTest, RequestTimeAndThreadsAreBounded) {
  EXPECT_EQ(ReadSenderAdvice("", 2).optimumRequestTime, 1000);
  EXPECT_EQ(
      ReadSenderAdvice("<optimumRequestTime>250000</optimumRequestTime>", 2).optimumRequestTime,
      100000);
  EXPECT_EQ(ReadSenderAdvice("<optimumRequestTime>999</optimumRequestTime>", 2).optimumRequestTime,
            1000);
  EXPECT_EQ(ReadSenderAdvice("<optimumRequestTime>1500</optimumRequestTime>", 2).optimumRequestTime,
            1500);
  EXPECT_EQ(ReadSenderAdvice("<optimalNumThreads>0</optimalNumThreads>", 2).optimalNumThreads, 2);
  EXPECT_EQ(ReadSenderAdvice("<optimalNumThreads>5</optimalNumThreads>", 3).optimalNumThreads, 3);
  EXPECT_EQ(ReadSenderAdvice("<optimalNumThreads>4</optimalNumThreads>", 2).optimalNumThreads, 4);
  EXPECT_EQ(ReadSenderAdvice("<optimalNumThreads>1</optimalNumThreads>", 2).optimalNumThreads, 1);
}

TEST(SenderAdviceTest, BlocksPerRequestFollowTheRequestTime) {
  EXPECT_EQ(SuggestBlocksPerRequest(false, true, 500, 1500), 3);
  EXPECT_EQ(SuggestBlocksPerRequest(false, true, 4000, 1500), 1);
  EXPECT_EQ(SuggestBlocksPerRequest(false, true, 1, 100000), 16);
  // A lone header block, a failed request and a request of 0 ms say nothing about the line.
  EXPECT_EQ(SuggestBlocksPerRequest(true, true, 10, 100000), 1);
  EXPECT_EQ(SuggestBlocksPerRequest(false, false, 10, 100000), 1);
  EXPECT_EQ(SuggestBlocksPerRequest(false, true, 0, 100000), 1);
}

}  // namespace
}  // namespace zerva
