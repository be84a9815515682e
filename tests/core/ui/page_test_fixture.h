// The window's controller on fake views inside the application's main window, against a
// running zerva-server: what the page tests drive.
#pragma once

#include <cstdlib>
#include <functional>

#include "core/media/item_fixtures.h"
#include "core/ui/app_fixture.h"
#include "core/ui/page_fakes.h"
#include "ui/login_dlg.h"

namespace zerva::test {

class PageTest : public AppTest {
 protected:
  void SetUp() override {
    ::setenv("LC_ALL", "C", 1);
    AppTest::SetUp();
  }

  // Starts the application with these command-line arguments; `code` runs inside its main
  // window with the window's controller on fake views. The first page is not shown yet.
  void RunWindow(const std::function<void(CzervaApp&, WindowHarness&)>& code,
                 const std::vector<std::string>& arguments = {}) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      WindowHarness window(app, *frontEnd_.dialogs);
      code(app, window);
      return 0;
    };
    RunApp(arguments);
  }

  ScriptedDialogs& Replies() { return *frontEnd_.dialogs; }
  // The album editor asks a new album's folder first; this one holds a photo.
  void QueueAlbumFolder() {
    PhotoFile(albumFolder_, "photo.jpg", 64, 48);
    Replies().QueueFolder(albumFolder_.Path());
  }
  // Signs in from the login page's fields.
  static void SignInThroughThePage(WindowHarness& window, const std::string& email,
                                   const std::string& password) {
    FakePageView& login = window.Page(PageId::kLogin);
    login.Type(kLoginEmail, email);
    login.Type(kLoginPassword, password);
    login.Click(kLoginButton);
  }

  TempDir albumFolder_;
};

}  // namespace zerva::test
