// Window suites that share one zerva-server: every test has an account of its own (password
// "secret") and a window session against the server, and the few moves each suite makes the
// same way: signing in through the login page and uploading from the album editor.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/elements.h"
#include "gui/zerva_window.h"
#include "gui_session.h"
#include "platform/md5.h"
#include "support/shared_server_test.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/page_ids.h"
#include "ui/zerva_app.h"

namespace zerva::test {

// An upload of a handful of small photos ends well within this.
inline constexpr int kUploadWaitMs = 120000;

class WindowServerTest : public SharedServerTest {
 protected:
  // `accountPrefix` begins the name of each test's account.
  explicit WindowServerTest(std::string accountPrefix) : accountPrefix_(std::move(accountPrefix)) {}

  void SetUp() override {
    ::setenv("LC_ALL", "C", 1);
    SharedServerTest::SetUp();
    userId_ = Server().CreateTestUser(accountPrefix_, &user_);
    ASSERT_GT(userId_, 0);
    session_ = std::make_unique<GuiSession>(Server().UploadRoot());
  }
  void TearDown() override {
    session_.reset();
    SharedServerTest::TearDown();
  }

  static std::string Shown(gui::ZervaWindow& window) {
    return window.Controller().CurrentPageName();
  }
  void SignIn(gui::ZervaWindow& window) const {
    TypeInto(Control(window, PageId::kLogin, kLoginEmail), QString::fromStdString(user_));
    TypeInto(Control(window, PageId::kLogin, kLoginPassword), "secret");
    Click(Control(window, PageId::kLogin, kLoginButton));
  }
  // Next on the album editor, then the upload runs until the post-upload page.
  static void Upload(gui::ZervaWindow& window) {
    window.Controller().App().Session().SetUploadDelayMs(0);
    Click(BarControl(window, kUserNext));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shown(window) == kPostCopyPage; }, kUploadWaitMs))
        << "still on " << Shown(window);
  }

  // The photos the service holds of the user's only album; none when there is not exactly one.
  std::vector<std::string> OnlyAlbumPhotos() const {
    const HttpReply albums =
        Server().Command("GetAlbums", user_, Md5Hex("secret"),
                         Form().Add("userID", userId_).Add("albumID", int64_t{0}));
    const std::vector<std::string> list = GetElements(GetElement(albums.body, "value"), "album");
    if (list.size() != 1) return {};
    const HttpReply reply = Server().Command(
        "GetAlbumPhotos", user_, Md5Hex("secret"),
        Form().Add("userID", userId_).Add("albumID", GetElement(list[0], "albumID")));
    return GetElements(GetElement(reply.body, "value"), "photo");
  }

  std::string user_;
  int64_t userId_ = 0;
  std::unique_ptr<GuiSession> session_;

 private:
  std::string accountPrefix_;
};

}  // namespace zerva::test
