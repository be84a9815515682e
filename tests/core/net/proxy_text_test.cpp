#include "net/proxy_text.h"

#include <gtest/gtest.h>

#include "net/api_result.h"

namespace zerva {
namespace {

TEST(ScrambledCredentials, RoundTripAndKeyPositions) {
  const std::string twelve = "user:passwrd";
  ASSERT_EQ(twelve.size(), 12u);
  const std::string scrambled = ScrambleCredentials(twelve);
  ASSERT_EQ(scrambled.size(), 24u);
  // Byte 0 (and 12, 24, ...) meets the key's terminating zero and stays as it was.
  EXPECT_EQ(scrambled.substr(0, 2), "75");                              // 'u'
  EXPECT_NE(scrambled.substr(2, 2), "73");                              // 's' is XORed
  EXPECT_EQ(ScrambleCredentials("abcdefghijklm").substr(24, 2), "6d");  // 'm', byte 12
  EXPECT_EQ(UnscrambleCredentials(scrambled), twelve);
  EXPECT_EQ(scrambled.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(UnscrambleCredentials(ScrambleCredentials("")), "");
}

TEST(ScrambledCredentials, LongCredentialsAreCutAndGarbageStopsReading) {
  const std::string longText(300, 'x');
  EXPECT_EQ(UnscrambleCredentials(ScrambleCredentials(longText)), std::string(255, 'x'));
  EXPECT_EQ(UnscrambleCredentials(ScrambleCredentials("ab") + "zz11"), "ab");
}

TEST(ProxyAuthScheme, BasicBeforeNtlmBeforeDigest) {
  EXPECT_EQ(DetectProxyAuthScheme("NTLM, Basic realm=\"x\""), kProxyAuthBasic);
  EXPECT_EQ(DetectProxyAuthScheme("NTLM"), kProxyAuthNtlm);
  EXPECT_EQ(DetectProxyAuthScheme("Digest realm=\"a\""), kProxyAuthDigest);
  EXPECT_FALSE(DetectProxyAuthScheme("Negotiate").has_value());
}

TEST(ProxyList, TheHttpEntryIsPickedOut) {
  EXPECT_EQ(HttpProxyEntry("http=proxy:3128;https=secure:443"), "proxy:3128");
  EXPECT_EQ(HttpProxyEntry("ftp=f:21 http=proxy:80 socks=s:1080"), "proxy:80");
  EXPECT_EQ(HttpProxyEntry("proxy:3128"), "proxy:3128");
}

TEST(ProxyList, CredentialsAreMaskedAfterTheColon) {
  EXPECT_EQ(MaskCredentials("user:secret"), "user:*****");
  EXPECT_EQ(MaskCredentials("token"), "token");
  EXPECT_EQ(MaskCredentials(":secret"), ":secret");
}

TEST(ApiResult, ParseAnswerRules) {
  ApiResult ok = ParseAnswer("<result>OK</result><value><v>a</v><value>n</value></value>");
  EXPECT_EQ(ok.code, 1);
  EXPECT_EQ(ok.value, "<v>a</v><value>n</value>");
  ApiResult lower = ParseAnswer("<result>ok</result><value>x</value>");
  EXPECT_EQ(lower.code, 0);
  EXPECT_EQ(lower.message, "x");
  ApiResult bare = ParseAnswer("<result>ERROR</result><errcode>7</errcode>");
  EXPECT_EQ(bare.message, "<result>ERROR</result><errcode>7</errcode>");
  EXPECT_EQ(bare.errorCode, "7");
  EXPECT_EQ(ParseAnswer("<result>OK</result><value>a &amp; b</value>").value, "a &amp; b");
}

TEST(ApiResult, CombiningKeepsTheFailureAndJoinsTexts) {
  ApiResult sum;
  ApiResult first;
  first.value = "1";
  sum.Combine(first);
  EXPECT_EQ(sum.code, 1);
  sum.Combine(ApiResult::Failure("broken", "5"));
  ApiResult third;
  third.value = "3";
  third.message = "note";
  sum.Combine(third);
  EXPECT_EQ(sum.code, 0);
  EXPECT_EQ(sum.message, "broken; note");
  EXPECT_EQ(sum.value, "1; 3");
}

}  // namespace
}  // namespace zerva
