// The fault table: matching, counting and combining of injected faults.
#include <gtest/gtest.h>

#include "server/fault_injection.h"

namespace zerva::server {
namespace {

TEST(FaultTable, ConsumesOneUseOfEveryMatchingKind) {
  FaultTable table;
  table.Add({"upload.php", FaultKind::kStatus, 2, "500"});
  table.Add({"EmptyAlbum", FaultKind::kRetry, 1, ""});
  table.Add({"*", FaultKind::kDelay, 1, "10"});
  auto first = table.Take({"client14/upload.php", "upload.php"});
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].kind, FaultKind::kStatus);
  EXPECT_EQ(first[1].kind, FaultKind::kDelay);
  auto second = table.Take({"upload.php"});
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].value, "500");
  EXPECT_TRUE(table.Take({"upload.php"}).empty());
  EXPECT_EQ(table.Take({"command.php", "EmptyAlbum"}).size(), 1u);
  EXPECT_EQ(table.Pending(), 0u);
}

TEST(FaultTable, SameKindFaultsQueueInOrder) {
  FaultTable table;
  table.Add({"ping.php", FaultKind::kStatus, 1, "500"});
  table.Add({"ping.php", FaultKind::kStatus, 1, "404"});
  EXPECT_EQ(table.Take({"ping.php"}).at(0).value, "500");
  EXPECT_EQ(table.Take({"ping.php"}).at(0).value, "404");
  table.Add({"ping.php", FaultKind::kDrop, 0, ""});  // no uses: ignored
  EXPECT_EQ(table.Pending(), 0u);
}

TEST(FaultTable, RefusedBlocksAndTunablesResetOnClear) {
  FaultTable table;
  table.RefuseBlock("abc", 2);
  EXPECT_TRUE(table.ConsumeRefusedBlock("abc"));
  EXPECT_TRUE(table.ConsumeRefusedBlock("abc"));
  EXPECT_FALSE(table.ConsumeRefusedBlock("abc"));
  table.RefuseBlock("def", 1);
  table.uploadDelay = 500;
  table.optimalNumThreads = 1;
  table.Clear();
  EXPECT_FALSE(table.ConsumeRefusedBlock("def"));
  EXPECT_EQ(table.uploadDelay, 0);
  EXPECT_EQ(table.optimalNumThreads, 4);
  EXPECT_EQ(table.optimumRequestTime, 2000);
}

TEST(FaultTable, KindNamesRoundTrip) {
  for (const char* name :
       {"status", "retry", "error", "drop", "delay", "wrongFileSize", "truncate", "contentType"}) {
    auto kind = ParseFaultKind(name);
    ASSERT_TRUE(kind) << name;
    EXPECT_STREQ(FaultKindName(*kind), name);
  }
  EXPECT_EQ(ParseFaultKind("500"), FaultKind::kStatus);
  EXPECT_FALSE(ParseFaultKind("explode"));
}

}  // namespace
}  // namespace zerva::server
