// Signing in through the application inside its main window: the album list, the albums'
// environment, bug reports with the session's credentials, refusals and the account lock.
#include "ui/sign_in.h"

#include <gtest/gtest.h>

#include "app/elements.h"
#include "app/trace.h"
#include "core/ui/app_fixture.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "session/user_session.h"
#include "ui/album_list_load.h"

namespace zerva::test {
namespace {

class SignInTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    user_ = NewAccount({"Winter", "Summer"});
    Server().ClearLog();
  }
  // Runs `code` signed in as the test's user inside the main window.
  void RunSignedIn(const std::function<void(CzervaApp&)>& code) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      const SignInResult result = SignIn(app, " " + user_ + " ", Md5Hex("secret"));
      EXPECT_EQ(result.status, SignInStatus::kSignedIn) << result.message;
      if (result.status == SignInStatus::kSignedIn) code(app);
      return 0;
    };
    RunApp();
  }
  std::string user_;
};

TEST_F(SignInTest, LoadsTheAlbumListAndGivesAlbumsTheSessionsEnvironment) {
  std::string userFolder;
  RunSignedIn([&](CzervaApp& app) {
    EXPECT_EQ(app.Session().Name(), user_);
    ASSERT_EQ(app.AlbumMngr().albums.size(), 2u);
    const AlbumEnvironment& listed = app.AlbumMngr().albums[0]->env;
    EXPECT_TRUE(listed.signedIn);
    EXPECT_EQ(listed.userName, user_);
    const AlbumEnvironment& current = app.CurrentAlbum().env;
    EXPECT_TRUE(current.signedIn);
    EXPECT_EQ(current.params.PhotoResolution, app.Params().PhotoResolution);
    // The demo tree: category 7 asks for high resolution, category 1 does not.
    EXPECT_TRUE(current.AlbumHiResOrVip("1,7"));
    EXPECT_FALSE(current.AlbumHiResOrVip("1"));
    EXPECT_EQ(current.PhotoResolution("7"), app.Params().PhotoResolutionVip);
    userFolder = app.Session().UserFolder();
    EXPECT_TRUE(DirectoryExists(userFolder));
  });
  // The user's temporary sub-folder goes when the window has closed.
  ASSERT_FALSE(userFolder.empty());
  EXPECT_FALSE(DirectoryExists(userFolder));
  const std::vector<std::string> names = RequestNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "GetAlbums"), names.end());
}

TEST_F(SignInTest, ReportSenderUsesTheSessionsCredentialsFromAnyThread) {
  ReportSender sender;
  RunSignedIn([&](CzervaApp& app) {
    sender = app.Reports();
    int number = 0;
    std::thread worker([&] { number = sender(2, app.BugReportText("SetAlbumUploading"), ""); });
    worker.join();
    EXPECT_GT(number, 0);
  });
  const std::vector<LoggedRequest> bugs = Server().LogOf("send_bug.php");
  ASSERT_EQ(bugs.size(), 1u);
  EXPECT_EQ(bugs[0].Field("userName"), user_);
  EXPECT_EQ(bugs[0].Field("userPass"), Md5Hex("secret"));
  EXPECT_EQ(GetElement(bugs[0].Field("whatIsWrong"), "failedApi"), "SetAlbumUploading");
  // After the application is gone the sender sends nothing.
  app_.reset();
  EXPECT_EQ(sender(2, "late", ""), 0);
}

TEST_F(SignInTest, WrongPasswordIsRefusedAndLeavesTheAccountFree) {
  MakeApp();
  frontEnd_.windowCode = [&](CzervaApp& app) {
    const SignInResult refused = SignIn(app, user_, Md5Hex("wrong"));
    EXPECT_EQ(refused.status, SignInStatus::kRefused);
    EXPECT_FALSE(refused.message.empty());
    EXPECT_FALSE(app.Session().IsSignedIn());
    EXPECT_FALSE(app.Session().HoldsLoginLock());
    EXPECT_EQ(SignIn(app, user_, Md5Hex("secret")).status, SignInStatus::kSignedIn);
    return 0;
  };
  RunApp();
}

TEST_F(SignInTest, AccountSignedInElsewhereIsRefusedWithTheMultipleLoginText) {
  CUserSession other;
  ASSERT_FALSE(other.LockLogin(user_));
  MakeApp();
  frontEnd_.windowCode = [&](CzervaApp& app) {
    const SignInResult result = SignIn(app, user_, Md5Hex("secret"));
    EXPECT_EQ(result.status, SignInStatus::kLockedElsewhere);
    EXPECT_NE(result.message.find(user_), std::string::npos);
    EXPECT_NE(result.message.find("already signed in"), std::string::npos) << result.message;
    return 0;
  };
  RunApp();
  EXPECT_TRUE(Server().LogOf("login.php").empty());
  other.ReleaseLoginLock();
}

TEST_F(SignInTest, AlbumListFailuresAskWhetherToTryAgain) {
  RunSignedIn([&](CzervaApp& app) {
    // Three refusals use up the first round; Yes gives three more tries.
    ASSERT_TRUE(Server().InjectFault("GetAlbums", "error", 3, "Database busy"));
    frontEnd_.dialogs->QueueReply(Reply::kYes);
    EXPECT_TRUE(LoadAlbumList(app));
    EXPECT_EQ(app.AlbumMngr().albums.size(), 2u);
    ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
    EXPECT_EQ(frontEnd_.dialogs->Messages()[0].buttons, MessageButtons::kYesNo);

    // Giving up keeps the list that was there.
    ASSERT_TRUE(Server().InjectFault("GetAlbums", "error", 3, "Database busy"));
    EXPECT_FALSE(LoadAlbumList(app));  // the default answer is No
    EXPECT_EQ(app.AlbumMngr().albums.size(), 2u);
    EXPECT_FALSE(frontEnd_.dialogs->WaitVisible());
  });
}

}  // namespace
}  // namespace zerva::test
