// zerva-cli's --category with the category's form filled from --field: the values reach the
// service with the upload; a form its own validators refuse stops the run before anything is
// sent, with every failing field's message.
#include <gtest/gtest.h>

#include "app/elements.h"
#include "category/value_set.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "platform/md5.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

using namespace zerva::cli;

class CliCategoryTest : public CliProcessTest {
 protected:
  void SetUp() override {
    CliProcessTest::SetUp();
    PhotoFile(photos_, "p1.jpg", 320, 240, 90, 1);
    PhotoFile(photos_, "p2.jpg", 320, 240, 90, 2);
  }
  TempDir photos_;
};

TEST_F(CliCategoryTest, TheFormsValuesReachTheServiceWithTheUpload) {
  const CliRun run = User({"upload",     photos_.Path(),
                           "--name",     "Flood",
                           "--category", "105",
                           "--category", "21",
                           "--field",    "location=Brno",
                           "--field",    "desc=The river rose by night",
                           "--field",    "waterLevel=120",
                           "--field",    "region=Olomouc",
                           "--field",    "author=Eva",
                           "--field",    "email=eva@example.com",
                           "--agree"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const std::vector<LoggedRequest> created = Server().LogOf("CreateAlbum");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(GetElement(created[0].Field("albumSetting"), "albumCategory"), "105,21");
  const std::vector<LoggedRequest> sent = Server().LogOf("SendAdditionalAlbumInfo");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].Field("categoryID"), "105");
  const ValueSet values = ParseValueSet(sent[0].Field("valueSet"));
  EXPECT_EQ(values.at("location"), "Brno");
  EXPECT_EQ(values.at("region"), "Olomouc");
  EXPECT_EQ(values.at("agree"), "true");  // the field's initial value
  EXPECT_EQ(values.size(), 8u);
}

// The whole upload with a category, its form and a position for the photos: the service holds
// all three.
TEST_F(CliCategoryTest, APositionGivenWithTheUploadIsHeldByTheService) {
  const CliRun run = User(
      {"upload", photos_.Path(), "--name", "Placed", "--category", "21", "--gps", "49.195,16.607"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.err.find("Placed 2 items without a position"), std::string::npos) << run.err;
  std::string albumId;
  for (const std::string& line : Lines(User({"albums"}).out)) {
    if (line.find("\tPlaced\t") != std::string::npos) albumId = line.substr(0, line.find('\t'));
  }
  ASSERT_FALSE(albumId.empty());
  const HttpReply photos =
      Server().Command("GetAlbumPhotos", user_, Md5Hex("secret"), Form().Add("albumID", albumId));
  const std::vector<std::string> items = GetElements(photos.body, "photo");
  ASSERT_EQ(items.size(), 2u) << photos.body;
  for (const std::string& item : items) {
    EXPECT_EQ(GetElement(item, "GPS"), "POINT(16.6070000 49.1950000)") << item;
  }
}

TEST_F(CliCategoryTest, ARefusedFormSendsNothingAndNamesEveryFailingField) {
  Server().ClearLog();
  const CliRun run = User({"upload", photos_.Path(), "--name", "Flood", "--category", "105",
                           "--field", "waterLevel=3000", "--field", "desc=short"});
  EXPECT_EQ(run.status, kExitFailed) << run.err;
  EXPECT_NE(run.err.find("Place: Enter the place"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("What happened: Write at least 10 letters"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("At most 2000 cm"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--agree"), std::string::npos) << run.err;
  EXPECT_TRUE(Server().LogOf("CreateAlbum").empty());
  EXPECT_TRUE(Server().LogOf("SendAdditionalAlbumInfo").empty());
  EXPECT_TRUE(Server().LogOf("EmptyAlbum").empty());

  // A sixth category, a field no form has and an unknown category are refused the same way.
  const CliRun many =
      User({"upload", photos_.Path(), "--category", "1", "--category", "21", "--category", "22",
            "--category", "31", "--category", "32", "--category", "6"});
  EXPECT_EQ(many.status, kExitFailed) << many.err;
  EXPECT_NE(many.err.find("at most 5"), std::string::npos) << many.err;
  const CliRun stray = User({"upload", photos_.Path(), "--category", "1", "--field", "x=1"});
  EXPECT_EQ(stray.status, kExitFailed);
  EXPECT_NE(stray.err.find("'x'"), std::string::npos) << stray.err;
  const CliRun unknown = User({"upload", photos_.Path(), "--category", "999"});
  EXPECT_EQ(unknown.status, kExitFailed);
  EXPECT_NE(unknown.err.find("no category 999"), std::string::npos) << unknown.err;
  EXPECT_TRUE(Server().LogOf("CreateAlbum").empty());
  // Misplaced options are usage errors.
  EXPECT_EQ(User({"albums", "--category", "1"}).status, kExitUsage);
  EXPECT_EQ(User({"upload", photos_.Path(), "--field", "a=b"}).status, kExitUsage);
}

}  // namespace
}  // namespace zerva::test
