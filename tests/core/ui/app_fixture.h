// The application object against a running zerva-server: a front end whose dialogs answer
// from a script and whose main window runs a test's code, a program folder of its own with
// the ini file that points at the server, and a fresh home for settings and the trace log.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/message_target.h"
#include "app/scripted_dialogs.h"
#include "app/trace.h"
#include "app/ui_thread.h"
#include "net/endpoints.h"
#include "platform/md5.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"
#include "ui/app_front_end.h"
#include "ui/zerva_app.h"

namespace zerva::test {

// Keeps every trace line posted to it.
class RecordingTarget : public MessageTarget {
 public:
  bool Post(WindowMessage message) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (message.payload) lines_.push_back(*static_cast<const std::string*>(message.payload.get()));
    return true;
  }
  MessageParam Send(WindowMessage message) override {
    Post(std::move(message));
    return 0;
  }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

class FakeFrontEnd : public AppFrontEnd {
 public:
  using WindowCode = std::function<int(CzervaApp&)>;

  class Window : public MainWindow {
   public:
    Window(FakeFrontEnd& owner, CzervaApp& app) : owner_(owner), app_(app) {}
    int Run() override {
      ++owner_.windowRuns;
      return owner_.windowCode ? owner_.windowCode(app_) : 0;
    }

   private:
    FakeFrontEnd& owner_;
    CzervaApp& app_;
  };

  Dialogs& AppDialogs() override { return *dialogs; }
  UiThread& AppUiThread() override { return ui; }
  void ShowPlainMessage(const std::string& text, const std::string& caption) override {
    plainMessages.emplace_back(text, caption);
  }
  std::unique_ptr<MainWindow> CreateMainWindow(CzervaApp& app) override {
    return std::make_unique<Window>(*this, app);
  }
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  void OpenUrlSignedIn(CzervaApp& /*app*/, const std::string& url) override {
    opened.push_back(url);
  }
  std::shared_ptr<MessageTarget> OpenTraceWindow() override {
    traceWindow = std::make_shared<RecordingTarget>();
    return traceWindow;
  }
  std::string TraceWindowText() const override { return "trace window text"; }

  // Declines every question nobody queued an answer for.
  std::unique_ptr<ScriptedDialogs> dialogs = std::make_unique<ScriptedDialogs>(Reply::kNo);
  UiLoop loop;
  LoopUiThread ui{loop};
  WindowCode windowCode;
  int windowRuns = 0;
  std::vector<std::pair<std::string, std::string>> plainMessages;
  std::vector<std::string> opened;
  std::shared_ptr<RecordingTarget> traceWindow;
};

class AppTest : public SharedServerTest {
 protected:
  void SetUp() override {
    SharedServerTest::SetUp();
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) != nullptr) cwd_ = cwd;
    home_ = std::make_unique<IsolatedHome>();
    programFolder_ = std::make_unique<TempDir>();
    PointIniAt(Server().UploadRoot());
  }
  void TearDown() override {
    app_.reset();
    ResetDomainsToDefaults();
    if (!cwd_.empty() && ::chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << cwd_;
    programFolder_.reset();
    home_.reset();
    SharedServerTest::TearDown();
  }

  // The ini file next to the "executable" names `domain` ("host:port/").
  void PointIniAt(const std::string& domain) {
    programFolder_->Write(kProxyIniFileName, "Domain=" + domain + "\n");
  }

  // A fresh application on the fake front end; the system's proxy settings stay out of it.
  CzervaApp& MakeApp(AppSeams seams = {}, CLocalization* localization = nullptr) {
    AppOptions options;
    options.programFolder = programFolder_->Path();
    options.localization = localization;
    app_ = std::make_unique<CzervaApp>(frontEnd_, std::move(seams), options);
    app_->HttpMngr().SetSystemProxyLookup(
        [](const std::string&, std::string* proxy, std::string* credentials) {
          proxy->clear();
          credentials->clear();
          return true;
        });
    return *app_;
  }

  // InitInstance and ExitInstance with these switches; the exit status.
  int RunApp(const std::vector<std::string>& switches = {}) {
    std::vector<const char*> argv = {"zerva"};
    for (const std::string& s : switches) argv.push_back(s.c_str());
    EXPECT_FALSE(app_->InitInstance(static_cast<int>(argv.size()), argv.data()));
    return app_->ExitInstance();
  }

  std::vector<std::string> RequestNames() {
    std::vector<std::string> names;
    for (const LoggedRequest& r : Server().Log()) {
      names.push_back(r.Command().empty() ? r.Script() : r.Command());
    }
    return names;
  }

  std::string TraceLog() const { return ReadWholeFile(TraceFilePath()); }

  // An account of this test alone with the password "secret" and albums of these names: the
  // sign-in lock is system-wide, and tests may run in parallel processes.
  std::string NewAccount(const std::vector<std::string>& albumNames = {}) {
    std::string name;
    EXPECT_GT(Server().CreateTestUser("app", &name), 0);
    int dir = 0;
    for (const std::string& album : albumNames) {
      Form form;
      form.Add("serverDir", "album" + std::to_string(++dir))
          .Add("albumSetting", "<album><name>" + album + "</name></album>");
      const HttpReply reply = Server().Command("CreateAlbum", name, Md5Hex("secret"), form);
      EXPECT_NE(reply.body.find("<result>OK</result>"), std::string::npos) << reply.body;
    }
    return name;
  }

  FakeFrontEnd frontEnd_;
  std::unique_ptr<CzervaApp> app_;
  std::unique_ptr<IsolatedHome> home_;
  std::unique_ptr<TempDir> programFolder_;
  std::string cwd_;
};

}  // namespace zerva::test
