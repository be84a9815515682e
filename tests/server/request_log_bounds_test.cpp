// The request log stays within its bounds however much is sent.
#include <gtest/gtest.h>

#include "server/limits.h"
#include "server/request_log.h"

namespace zerva::server {
namespace {

ServerRequest WithField(size_t bytes) {
  ServerRequest req;
  req.method = "POST";
  req.path = "/client14/command.php";
  FormField f;
  f.name = "albumSetting";
  f.value = std::string(bytes, 'x');
  req.fields.push_back(f);
  return req;
}

TEST(RequestLogBounds, KeepsTheNewestEntriesWithinCountAndBytes) {
  RequestLog log;
  for (size_t i = 0; i < kLogEntries + 10; ++i)
    log.Add(RequestLog::Describe(WithField(1), "h", "/t"));
  const std::string all = log.Serialize(0);
  EXPECT_EQ(all.rfind("request 11 ", 0), 0u);  // the first ten were dropped
  // Values are cut to kLogValueBytes and the total stays below kLogTotalBytes.
  RequestLog bounded;
  for (int i = 0; i < 80; ++i)
    bounded.Add(RequestLog::Describe(WithField(kLogValueBytes + 100), "h", "/t"));
  const std::string big = bounded.Serialize(0);
  EXPECT_LT(big.size(), kLogTotalBytes + kLogValueBytes * 2);
  EXPECT_EQ(big.find("request 1 "), std::string::npos);
  EXPECT_NE(big.find("request 80 "), std::string::npos);
  EXPECT_NE(big.find(" " + std::to_string(kLogValueBytes + 100) + "\n"), std::string::npos);
}

}  // namespace
}  // namespace zerva::server
