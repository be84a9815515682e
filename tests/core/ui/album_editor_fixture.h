// The album editor against a running zerva-server: a signed-in application, the editor on a
// fake view, and folders of real photos.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/elements.h"
#include "core/media/item_fixtures.h"
#include "core/ui/app_fixture.h"
#include "core/ui/fake_editor_view.h"
#include "lang/text.h"
#include "ui/album_editor_page.h"
#include "ui/sign_in.h"

namespace zerva::test {

class EditorTest : public AppTest {
 protected:
  void SetUp() override {
    ::setenv("LC_ALL", "C", 1);
    AppTest::SetUp();
    user_ = NewAccount();
    Server().ClearLog();
  }

  // Runs `code` inside the main window, signed in as the test's user, with the editor made on
  // a fresh view and its controls listening to it.
  void RunEditor(const std::function<void(CzervaApp&, CEditPhotosDlg&, FakeEditorView&)>& code,
                 const std::vector<std::string>& switches = {}) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      const SignInResult result = SignIn(app, user_, Md5Hex("secret"));
      EXPECT_EQ(result.status, SignInStatus::kSignedIn) << result.message;
      if (result.status != SignInStatus::kSignedIn) return 0;
      FakeEditorView view;
      CEditPhotosDlg editor(app, view);
      view.controls.events = &editor;
      editor.UpdateTexts();
      editor.InitControls();
      code(app, editor, view);
      return 0;
    };
    RunApp(switches);
  }

  // A folder `name` in the test's folder with `count` photos p1.jpg, p2.jpg ...; its path
  // without a trailing "/".
  std::string PhotoFolder(const std::string& name, int count) {
    const std::string folder = root_.Path() + name;
    std::filesystem::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
      SavedJpeg(PhotoLike(64, 48, static_cast<unsigned>(i)).get(),
                folder + "/p" + std::to_string(i) + ".jpg");
    }
    return folder;
  }

  // The editor entered for a new album whose folder picker answers with `folder`.
  static void EnterNewAlbum(CEditPhotosDlg& editor, FakeEditorView& view,
                            const std::string& folder) {
    view.folders.push_back({folder, {}});
    editor.OnShowPage(false);
  }

  // An album of the test's user made on the service directly; its identifier.
  int CreateServiceAlbum(const std::string& name, const std::string& serverDir,
                         const std::string& localPath = {}) {
    Form form;
    form.Add("serverDir", serverDir)
        .Add("albumSetting", "<album><name>" + name + "</name><localPath>" + localPath +
                                 "</localPath><photos></photos></album>");
    const HttpReply reply = Server().Command("CreateAlbum", user_, Md5Hex("secret"), form);
    Server().ClearLog();
    return std::atoi(GetElement(reply.body, "value").c_str());
  }

  bool Asked(const std::string& text) {
    for (const auto& message : frontEnd_.dialogs->Messages()) {
      if (message.text.find(text) != std::string::npos) return true;
    }
    return false;
  }
  ScriptedDialogs& Replies() { return *frontEnd_.dialogs; }

  std::string user_;
  TempDir root_;
};

}  // namespace zerva::test
