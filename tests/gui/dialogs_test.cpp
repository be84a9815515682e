// The window's own dialogs: the proxy prompt, the wait popup and the about box with its
// licence window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "gui/about_dialog.h"
#include "gui/proxy_prompt.h"
#include "gui/qt_dialogs.h"
#include "lang/text.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

class GuiDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "C", 1);
    ASSERT_TRUE(Localization().LoadLocal());
  }
};

TEST_F(GuiDialogsTest, ProxyPromptAcceptsOnlyBothBoxesFilled) {
  gui::ProxyPrompt prompt(nullptr);
  EXPECT_EQ(prompt.windowTitle().toStdString(), Text("msgProxyAuthenticationCaption"));
  auto* user = prompt.findChild<QLineEdit*>("proxyUser");
  auto* password = prompt.findChild<QLineEdit*>("proxyPassword");
  ASSERT_NE(user, nullptr);
  ASSERT_NE(password, nullptr);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  prompt.show();
  user->setText("alice");
  prompt.accept();
  EXPECT_TRUE(prompt.isVisible());
  EXPECT_EQ(prompt.result(), QDialog::Rejected);
  EXPECT_TRUE(password->hasFocus() || QApplication::focusWidget() == nullptr);
  password->setText("s3cret");
  prompt.accept();
  EXPECT_FALSE(prompt.isVisible());
  EXPECT_EQ(prompt.result(), QDialog::Accepted);
  EXPECT_EQ(prompt.UserName(), "alice");
  EXPECT_EQ(prompt.Password(), "s3cret");
}

TEST_F(GuiDialogsTest, WaitPopupIsReusedAndHidden) {
  gui::QtDialogs dialogs;
  dialogs.ShowWait("first", "title");
  EXPECT_TRUE(dialogs.WaitVisible());
  dialogs.ShowWait("second", "title");
  int popups = 0;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == "waitPopup") ++popups;
  }
  EXPECT_EQ(popups, 1);
  dialogs.HideWait();
  EXPECT_FALSE(dialogs.WaitVisible());
}

TEST_F(GuiDialogsTest, AboutBoxListsTheComponentsAndOpensLinks) {
  std::vector<std::string> opened;
  TempDir folder;
  folder.Write("libcurl-license.txt", "curl licence text\n");
  gui::AboutDialog about(nullptr, false, folder.Path(),
                         [&](const std::string& target) { opened.push_back(target); });
  EXPECT_EQ(about.findChild<QLabel*>("aboutVersion")->text(), "zerva kalimtor, ver. 1.59.52.267");
  // Without the converter the FFmpeg row is missing.
  const size_t rows = Components().size() - 1;
  EXPECT_NE(about.findChild<QLabel*>(QString("about_%1_0").arg(rows)), nullptr);
  EXPECT_EQ(about.findChild<QLabel*>(QString("about_%1_0").arg(rows + 1)), nullptr);
  about.ActivateLink("https://curl.se/");
  about.ActivateLink(folder.Path() + "FFmpeg-license.zip");
  EXPECT_EQ(opened,
            (std::vector<std::string>{"https://curl.se/", folder.Path() + "FFmpeg-license.zip"}));
}

TEST_F(GuiDialogsTest, LicenceWindowShowsTheTextOrTheErrorLine) {
  TempDir folder;
  const std::string path = folder.Write("libcurl-license.txt", "first line\nsecond line\n");
  gui::LicenceWindow window(nullptr, path);
  EXPECT_EQ(window.windowTitle(), "COPYING (libcurl-license.txt)");
  auto* text = window.findChild<QPlainTextEdit*>("licenceText");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_EQ(text->toPlainText(), "first line\nsecond line\n");
  EXPECT_EQ(text->textCursor().position(), 0);
  EXPECT_FALSE(text->textCursor().hasSelection());

  gui::LicenceWindow missing(nullptr, folder.File("libcurl-gone.txt"));
  EXPECT_EQ(missing.findChild<QPlainTextEdit*>("licenceText")->toPlainText(),
            "ERROR: libcurl-gone.txt is empty or doesn't exist at all");
}

}  // namespace
}  // namespace zerva::test
