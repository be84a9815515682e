// Categories and partners against a running zerva-server with the demo data.
#include <gtest/gtest.h>

#include "app/elements.h"
#include "category/album_categories.h"
#include "category/category_tree.h"
#include "category/partners.h"
#include "lang/text.h"
#include "net/http_connect.h"
#include "platform/fs.h"
#include "support/server_fixture.h"
#include "support/service_client.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using test::ServiceClient;

class CategoryServiceTest : public test::ServiceClientTest {
 protected:
  void SetUp() override {
    ServiceClientTest::SetUp();
    const ApiResult login =
        connection_->GetLogin(ServiceClient::DemoUser(), ServiceClient::DemoDigest());
    ASSERT_TRUE(login.Ok()) << login.message;
    userId_ = static_cast<int>(GetElementInt(login.value, "userID"));
    Server().ClearLog();
  }

  int userId_ = 0;
};

TEST_F(CategoryServiceTest, LoadsTheDemoTree) {
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.LoadCategories(*connection_, ServiceClient::DemoUser(),
                                  ServiceClient::DemoDigest(), userId_, 1029));
  const auto requests = Server().LogOf("GetCategory");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Field("userLang"), "1029");
  EXPECT_EQ(requests[0].Field("userID"), std::to_string(userId_));

  EXPECT_EQ(tree.LoadOrder(),
            (std::vector<int>{1, 2, 21, 22, 3, 31, 32, 4, 41, 105, 6, 7, 8, 81, 9}));
  EXPECT_EQ(tree.ParentSet(), (std::set<int>{2, 3, 4, 8}));
  EXPECT_EQ(tree.GetCategoryInfo(22)->name, "Sea and coast");
  EXPECT_EQ(tree.GetCategoryInfo(9)->name, "*Fotolab specials");
  EXPECT_TRUE(tree.GetCategoryInfo(81)->readOnly);
  EXPECT_EQ(tree.GetCategoryInfo(4)->url, "https://example.com/competition");
  EXPECT_EQ(CategoryNames("2,22,9", tree), "Sea and coast, *Fotolab specials");

  // The flood form: every item type and validator kind.
  const CategoryForm flood = tree.GetCategoryForm(105);
  ASSERT_NE(flood.items, nullptr);
  ASSERT_EQ(flood.items->size(), 8u);
  const PropertyItem& level = (*flood.items)[2];
  EXPECT_EQ(level.key, "waterLevel");
  std::string message;
  EXPECT_TRUE(CheckValue(level, "150", &message));
  EXPECT_FALSE(CheckValue(level, "2500", &message));
  EXPECT_EQ(message, "At most 2000 cm");
  EXPECT_FALSE(CheckValue(level, "12cm", &message));
  EXPECT_EQ(message, "Digits only");
  const PropertyItem& region = (*flood.items)[3];
  EXPECT_EQ(SelectChoices(region),
            (std::vector<std::string>{"South Moravia", "Vysocina", "Olomouc"}));
  EXPECT_EQ(ItemProperty((*flood.items)[7], "initialValue"), "true");
  EXPECT_FALSE(CheckValue((*flood.items)[6], "me@example", &message));
  EXPECT_TRUE(CheckValue((*flood.items)[6], "me@example.com", &message));

  const AlbumFlags flags = AlbumCategoryFlags("41,6,7", tree);
  EXPECT_EQ(flags.needForm, std::vector<int>{41});
  EXPECT_TRUE(flags.anySendOriginal);
  EXPECT_TRUE(flags.anySendHiRes);
}

TEST_F(CategoryServiceTest, RefusalLeavesTheTreeEmpty) {
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.LoadCategories(*connection_, ServiceClient::DemoUser(),
                                  ServiceClient::DemoDigest(), userId_, 1033));
  EXPECT_FALSE(tree.LoadCategories(*connection_, ServiceClient::DemoUser(),
                                   "00000000000000000000000000000000", userId_, 1033));
  EXPECT_TRUE(tree.Empty());
  EXPECT_TRUE(tree.LoadOrder().empty());
  EXPECT_EQ(CategoryNames("1,2", tree), Text("msgNoCategory"));
}

TEST_F(CategoryServiceTest, PartnersAndTheirLogos) {
  std::vector<Partner> partners =
      LoadPartners(*connection_, ServiceClient::DemoUser(), ServiceClient::DemoDigest(), userId_);
  ASSERT_EQ(partners.size(), 2u);
  EXPECT_EQ(partners[0].partnerID, 1);
  EXPECT_EQ(partners[0].name, "Fotolab");
  EXPECT_EQ(partners[0].desc, "Prints and photo books");
  EXPECT_EQ(partners[1].partnerID, 2);
  EXPECT_EQ(partners[1].flag, 1);

  // A partner the service has no logo for.
  Partner missing;
  missing.partnerID = 77;
  partners.push_back(missing);
  test::TempDir folder;
  const std::string logos = folder.Path() + "logos";
  // A stale file from an earlier run must not pass for the missing logo.
  ASSERT_TRUE(CreateDirectoryPath(logos));
  ASSERT_TRUE(WriteFileAtomic(logos + "/77.jpg", "stale"));
  DownloadPartnerLogos(*connection_, partners, logos);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(partners[i].logo, logos + "/" + std::to_string(i + 1) + ".jpg");
    std::string bytes;
    ASSERT_TRUE(ReadFileBounded(partners[i].logo, 1 << 20, &bytes));
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xff\xd8\xff");  // a JPEG
  }
  EXPECT_TRUE(partners[2].logo.empty());
  EXPECT_FALSE(FileExists(logos + "/77.jpg"));
  // Logos come from the service's own host.
  int logoRequests = 0;
  for (const test::LoggedRequest& r : Server().Log()) {
    if (r.Path().rfind("/partners/logos/", 0) != 0) continue;
    ++logoRequests;
    EXPECT_EQ(r.host.rfind("www.", 0), 0u) << r.host;
  }
  EXPECT_EQ(logoRequests, 3);

  EXPECT_TRUE(LoadPartners(*connection_, ServiceClient::DemoUser(), "wrong", userId_).empty());
}

}  // namespace
}  // namespace zerva
