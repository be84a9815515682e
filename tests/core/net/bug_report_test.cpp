// Bug reports and usage statistics, the report numbers against zerva-server.
#include "net/bug_report.h"

#include <gtest/gtest.h>

#include "app/elements.h"
#include "app/trace.h"
#include "app/usage_stats.h"
#include "lang/text.h"
#include "net/http_mngr.h"
#include "platform/system_info.h"
#include "support/shared_server_test.h"

namespace zerva {
namespace {

TEST(BugReport, ProxyCredentialsAreMaskedAndRecentMessagesListed) {
  test::IsolatedHome home;
  CHttpMngr manager;
  manager.SetManualProxy("proxy.lan", "3128", false);
  manager.SetManualCredentials("alice", "s3cret", false);
  for (const char* text : {"one", "two", "three", "four", "five"}) TraceText(kTraceNotice, text);
  const std::string report = BuildBugReport("EmptyAlbum", 2, true, &manager);
  EXPECT_EQ(GetElement(report, "failedApi"), "EmptyAlbum");
  EXPECT_EQ(GetElement(report, "httpProxy"), "proxy.lan:3128,alice:*****");
  EXPECT_EQ(report.find("s3cret"), std::string::npos);
  EXPECT_EQ(GetElement(report, "mostRecentApiMessages"),
            "\n<traceMsg>five\n</traceMsg>\n<traceMsg>four\n</traceMsg>");
  EXPECT_FALSE(GetElement(report, "clientOsVersion").empty());

  CHttpMngr tokenOnly;
  tokenOnly.SetManualProxy("proxy.lan", "", false);
  tokenOnly.SetManualCredentials("token", "", false);
  EXPECT_EQ(GetElement(BuildBugReport("", 0, false, &tokenOnly), "httpProxy"),
            "proxy.lan,token:*****");
  EXPECT_EQ(GetElement(BuildBugReport("", 0, false, nullptr), "httpProxy"), "");
}

TEST(BugReport, EnvelopeAndLogIdText) {
  EXPECT_EQ(BugEnvelope(3, "d", ""), "<bug><id>3</id><description>d</description></bug>");
  EXPECT_EQ(BugEnvelope(1, "d", "/p.jpg"),
            "<bug><id>1</id><description>d</description><file>/p.jpg</file></bug>");
  ASSERT_TRUE(Localization().LoadLocal());
  EXPECT_EQ(FailureWithLogId("Cannot.", "", 0), "Cannot.");
  EXPECT_EQ(FailureWithLogId("Cannot.", "quota", 42),
            "Cannot.\n" + Text("msgError") + " quota\nLog ID 42");
}

TEST(UsageStatistics, ZeroSpeedsAndTheFourClickElements) {
  UsageStatistics stats;
  std::string text = stats.BuildStatistics();
  EXPECT_EQ(GetElement(text, "speedUp"), "0");
  EXPECT_EQ(GetElement(text, "speedDown"), "0");
  bool found = false;
  EXPECT_EQ(GetElement(text, "clicks", &found), "");
  EXPECT_TRUE(found);

  stats.RegisterButtons({1110, 1101, 1112, 1102});
  stats.Click(1110);
  stats.Click(1110);
  stats.RecordTransfer(true, 800, 2);
  stats.RecordTransfer(true, 0, 5);  // nothing sent: not counted
  stats.RecordTransferBytes(false, 128 * 300, 3000);
  text = stats.BuildStatistics();
  EXPECT_EQ(GetElement(text, "clicks"),
            "<click><btn>1101</btn><count>0</count></click>"
            "<click><btn>1102</btn><count>0</count></click>"
            "<click><btn>1110</btn><count>2</count></click>"
            "<click><btn>1112</btn><count>0</count></click>");
  EXPECT_EQ(GetElement(text, "speedUp"), "400");
  EXPECT_EQ(GetElement(text, "speedDown"), "100");
  const std::string system = GetElement(text, "systemInfo");
  EXPECT_GT(GetElementInt(system, "dwNumberOfProcessors"), 0);
  EXPECT_GT(GetElementInt(system, "physicalMemoryMB"), 0);
  EXPECT_EQ(GetElement(system, "wProcessorArchitecture").rfind("0x", 0), 0u);
}

TEST(SystemInfo, CpuInfoGivesLevelRevisionAndIdentifier) {
  ProcessorInfo info;
  ParseCpuInfo(
      "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 85\n"
      "model name\t: Intel(R) Xeon(R)\nstepping\t: 7\ncpu MHz\t\t: 2999.998\n\n"
      "processor\t: 1\nvendor_id\t: Other\n",
      &info);
  EXPECT_EQ(info.vendor, "GenuineIntel");
  EXPECT_EQ(info.name, "Intel(R) Xeon(R)");
  EXPECT_EQ(info.level, 6u);
  EXPECT_EQ(info.revision, (85u << 8) | 7u);
  EXPECT_EQ(info.mhz, 2999);
  EXPECT_NE(info.identifier.find("Family 6 Model 85 Stepping 7"), std::string::npos);
}

class BugReportServiceTest : public test::ServiceClientTest {};

TEST_F(BugReportServiceTest, ReportsGetNumbersAndFilesTravel) {
  test::TempDir dir;
  const std::string user = test::ServiceClient::DemoUser();
  const std::string pass = test::ServiceClient::DemoDigest();
  const int first = SendReport(*connection_, user, pass, kReportEmptyAlbum, "text");
  EXPECT_GT(first, 0);
  const std::string file = dir.Write("broken.jpg", "not a jpeg");
  const int second =
      SendReport(*connection_, user, pass, kReportPhotoPreparation,
                 "MakeThumb( sizeThumb 100, sizeImage 1200, newAlbum 1, bigImage 1 )", file);
  EXPECT_GT(second, first);
  const auto log = Server().LogOf("send_bug.php");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].FieldNames(),
            (std::vector<std::string>{"userName", "userPass", "chyba", "soubor", "eof"}));
  ASSERT_TRUE(Server().InjectFault("send_bug.php", "error", 1));
  EXPECT_EQ(SendReport(*connection_, user, pass, kReportSetAlbumUploading, "x"), 0);
}

}  // namespace
}  // namespace zerva
