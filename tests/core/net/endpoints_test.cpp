#include "net/endpoints.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zerva {
namespace {

class EndpointsTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetDomainsToDefaults(); }
};

TEST_F(EndpointsTest, IniFileKeysCommentsAndOverrides) {
  const ProxyIniSettings ini = ParseProxyIniText(
      "ProxyHost=proxy.example//office proxy\r\n"
      "ProxyPort=3128\n"
      "\n"
      "=ignored\n"
      "no equals sign\n"
      " Domain=blank before the key is another key\n"
      "ProxyUserName=first\n"
      "ProxyUserName=second user \n"
      "ProxyPassword=p=w\n");
  EXPECT_EQ(ini.ProxyHost, "proxy.example");
  EXPECT_EQ(ini.ProxyPort, "3128");
  EXPECT_EQ(ini.ProxyUserName, "second user ");  // later wins, blanks kept
  EXPECT_EQ(ini.ProxyPassword, "p=w");           // split at the first "="
  EXPECT_EQ(ini.Domain, "");
}

TEST_F(EndpointsTest, ReadsTheIniFileAndTellsWhetherAProxyIsSet) {
  test::TempDir dir;
  ProxyIniSettings ini;
  EXPECT_FALSE(ReadProxyIni(dir.File("missing.ini"), &ini));
  EXPECT_TRUE(ini.Domain.empty());
  EXPECT_FALSE(ReadProxyIni(dir.Write("a.ini", "Domain=zerva.localhost:9000\n"), &ini));
  EXPECT_EQ(ini.Domain, "zerva.localhost:9000");
  EXPECT_TRUE(ReadProxyIni(dir.Write("b.ini", "ProxyHost=p\n"), &ini));
}

TEST_F(EndpointsTest, DomainAloneServesPagesAndApiCalls) {
  ProxyIniSettings ini;
  ini.Domain = "zerva.localhost:9000";
  ApplyDomainOverrides(ini);
  EXPECT_EQ(ServiceUrl(), "http://zerva.localhost:9000/");
  EXPECT_EQ(ApiScriptUrl("login.php"), "http://zerva.localhost:9000/client14/login.php");
  ini.UploadDomain = "api.other:1/";  // a trailing slash is not doubled
  ApplyDomainOverrides(ini);
  EXPECT_EQ(ApiBaseUrl(), "http://api.other:1/client14/");
  EXPECT_EQ(UploadHost(), "api.other:1");
}

TEST_F(EndpointsTest, DefaultsPointAtTheLocalServer) {
  EXPECT_EQ(ConnectionTestUrl(), "http://api.zerva.localhost:8380/test_connection/client.php");
  EXPECT_EQ(ServerMessagesUrl(), "http://api.zerva.localhost:8380/client14/messages.php");
  EXPECT_EQ(LanguageFilesBaseUrl(), "http://api.zerva.localhost:8380/client14/lang/");
  EXPECT_EQ(UpdateFileListUrl(), "http://www.zerva.localhost:8380/stahnout/update/files.dat");
  EXPECT_EQ(PhotoVideoParamsUrl(),
            "http://www.zerva.localhost:8380/stahnout/update/photovideoparams.xml");
  EXPECT_EQ(FailedUpdatePageUrl(), "http://www.zerva.localhost:8380/stahnout/?aktualizace=error");
  EXPECT_EQ(InstallStatusUrl(false),
            "http://www.zerva.localhost:8380/program/notifyStatus.php?current_status=uninstalled");
  EXPECT_EQ(SourcePackagesUrl(), "http://download.zerva.localhost:8380/tarballs/");
  EXPECT_EQ(PartnerLogoUrl(7), "http://www.zerva.localhost:8380/partners/logos/7.jpg");
}

TEST_F(EndpointsTest, WwwIsRemovedOnlyFromUserSiteAlbumAndCategoryUrls) {
  EXPECT_EQ(UserSiteUrl("demo"), "http://demo.zerva.localhost:8380/");
  EXPECT_EQ(AlbumPageUrl("demo", "Trip_2024"), "http://demo.zerva.localhost:8380/Trip_2024/");
  EXPECT_EQ(CategoryListingUrl(105), "http://alba.zerva.localhost:8380/?category=105");
  EXPECT_EQ(AccountSettingsUrl(), "http://www.zerva.localhost:8380/nastaveni/");
  // A user whose own name starts the URL with "www." keeps it: only a later one goes.
  SetDomain(HostRoot::kService, "zerva.localhost");
  EXPECT_EQ(UserSiteUrl("www.x"), "http://www.x.zerva.localhost/");
  SetDomain(HostRoot::kService, "www.zerva.localhost");
  EXPECT_EQ(UserSiteUrl("www.x"), "http://www.x.www.zerva.localhost/");
  EXPECT_EQ(RemoveWww("www.a.www.b"), "www.a.www.b");
  EXPECT_EQ(RemoveWww("a.www.b.www.c"), "a.b.www.c");
}

TEST_F(EndpointsTest, AnExplicitHttpsRootKeepsItsScheme) {
  SetDomain(HostRoot::kService, "https://www.example.org");
  SetDomain(HostRoot::kUpload, "https://api.example.org/");
  EXPECT_EQ(ServiceUrl(), "https://www.example.org/");
  EXPECT_EQ(ApiBaseUrl(), "https://api.example.org/client14/");
  EXPECT_EQ(UserSiteUrl("demo"), "https://demo.example.org/");
  EXPECT_EQ(UploadHost(), "api.example.org");
}

TEST_F(EndpointsTest, TicketAndIdentificationUrlsAreEscaped) {
  EXPECT_EQ(LoginByTicketUrl("a b&c", "http://demo.x/?q=1"),
            "http://www.zerva.localhost:8380/prihlasit?act=LoginByTicket&ticket=a%20b%26c"
            "&oldURL=http%3A%2F%2Fdemo.x%2F%3Fq%3D1");
  EXPECT_EQ(ClientIdentificationUrl("zerva kalimtor", "1.59.52.267"),
            "http://api.zerva.localhost:8380/test_connection/client.php"
            "?clientName=zerva%20kalimtor&clientVersion=1.59.52.267");
  EXPECT_EQ(UrlUnescape(UrlEscape("ž/%;=\x01")), "ž/%;=\x01");
  EXPECT_EQ(UrlUnescape("100%"), "100%");
}

}  // namespace
}  // namespace zerva
