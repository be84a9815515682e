// The window's own dialogs: the proxy prompt, the wait popup, the about box with its licence
// window, the file dialog with filters, the album folder picker and the progress window of an
// original video being sent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "gui/about_dialog.h"
#include "gui/album_folder_dialog.h"
#include "gui/original_progress_window.h"
#include "gui/proxy_prompt.h"
#include "gui/qt_dialogs.h"
#include "gui_session.h"
#include "jobs/send_original_video.h"
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

TEST_F(GuiDialogsTest, EscCancelsTheProxyPrompt) {
  gui::QtDialogs dialogs;
  bool closed = false;
  WhenDialogOpens<gui::ProxyPrompt>([&](gui::ProxyPrompt* prompt) {
    prompt->findChild<QLineEdit*>("proxyUser")->setText("alice");
    QTest::keyClick(prompt, Qt::Key_Escape);
    closed = !prompt->isVisible();
  });
  std::string user = "unchanged";
  std::string password;
  EXPECT_FALSE(dialogs.AskProxyCredentials(&user, &password));
  EXPECT_TRUE(closed);
  EXPECT_EQ(user, "unchanged");
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

TEST_F(GuiDialogsTest, FilterListsBecomeQtNameFilters) {
  const std::string filters =
      "Photos (*.jpg;*.jpeg)|*.jpg;*.jpeg|Photos and videos (*.jpg;*.mov)|*.jpg;*.mov|"
      "All files (*.*)|*.*||";
  EXPECT_EQ(
      gui::QtNameFilters(ParseFileFilters(filters)),
      (QStringList{"Photos (*.jpg *.jpeg)", "Photos and videos (*.jpg *.mov)", "All files (*)"}));
  EXPECT_EQ(gui::QtNameFilters(ParseFileFilters("Plain|*.png|")), QStringList{"Plain (*.png)"});
}

TEST_F(GuiDialogsTest, FileDialogPreselectsItsFilterAndReturnsEveryChosenFile) {
  TempDir folder;
  const std::string a = folder.Write("a.jpg", "x");
  const std::string b = folder.Write("b.mov", "x");
  gui::QtDialogs dialogs;
  WhenDialogOpens<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Add photos");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog->nameFilters().size(), 3);
    EXPECT_EQ(dialog->selectedNameFilter(), "Photos and videos (*.jpg *.mov)");
    dialog->selectFile("\"a.jpg\" \"b.mov\"");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  std::vector<std::string> files = dialogs.PickFilesWithFilters(
      "Add photos", folder.Path(),
      "Photos (*.jpg)|*.jpg|Photos and videos (*.jpg;*.mov)|*.jpg;*.mov|All files (*.*)|*.*||", 1);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{a, b}));

  WhenDialogOpens<QFileDialog>(
      [](QFileDialog* dialog) { QMetaObject::invokeMethod(dialog, "reject"); });
  EXPECT_TRUE(
      dialogs.PickFilesWithFilters("Add photos", folder.Path(), "Photos|*.jpg||", 0).empty());
}

class AlbumFolderPickerTest : public GuiDialogsTest {
 protected:
  void SetUp() override {
    photos_ = root_.Path() + "photos";
    older_ = root_.Path() + "older";
    std::filesystem::create_directory(photos_);
    std::filesystem::create_directory(older_);
    root_.Write("photos/a.jpg", "x");
    root_.Write("photos/b.jpg", "x");
    root_.Write("photos/notes.txt", "x");
    root_.Write("older/dovolen\xE1.jpg", "x");  // a name from another code page
  }
  AlbumFolderRequest Request(bool allowFiles) const {
    AlbumFolderRequest request;
    request.title = "Choose the album's folder";
    request.startFolder = photos_;
    request.history = {photos_, older_};
    request.allowFiles = allowFiles;
    request.text = "Pick the folder with your photos";
    return request;
  }
  static bool FilesListed(gui::AlbumFolderDialog* dialog) {
    auto* files = dialog->findChild<QListView*>("folderFiles");
    return files != nullptr && files->model()->rowCount(files->rootIndex()) == 2;
  }

  TempDir root_;
  std::string photos_;
  std::string older_;
};

TEST_F(AlbumFolderPickerTest, WholeFolderWithEnterAndTheHistoryWarnsAboutBadNames) {
  gui::QtDialogs dialogs;
  WhenDialogOpens<gui::AlbumFolderDialog>([&](gui::AlbumFolderDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Choose the album's folder");
    EXPECT_EQ(dialog->findChild<QLabel*>("pickerText")->text(), "Pick the folder with your photos");
    EXPECT_EQ(dialog->SelectedFolder().toStdString(), photos_);
    EXPECT_TRUE(dialog->Warning().isEmpty());
    EXPECT_EQ(dialog->findChild<QPushButton*>("pickerTakeFiles"), nullptr)
        << "only the whole folder when relocating";
    // Choosing a recent folder selects it; its bad name is warned about.
    auto* recent = dialog->findChild<QListWidget*>("recentFolders");
    ASSERT_EQ(recent->count(), 2);
    recent->setCurrentRow(1);
    EXPECT_EQ(dialog->SelectedFolder().toStdString(), older_);
    EXPECT_TRUE(dialog->Warning().contains("dovolen?.jpg")) << dialog->Warning().toStdString();
    EXPECT_TRUE(dialog->Warning().contains(QString::fromStdString(Text("msgEncodingCheck"))));
    EXPECT_TRUE(dialog->findChild<QLabel*>("pickerSelected")->text().contains("older"));
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  const AlbumFolderChoice whole = dialogs.PickAlbumFolder(Request(false));
  EXPECT_EQ(whole.folder, older_);
  EXPECT_TRUE(whole.files.empty());

  WhenDialogOpens<gui::AlbumFolderDialog>(
      [](gui::AlbumFolderDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
  EXPECT_TRUE(dialogs.PickAlbumFolder(Request(false)).folder.empty()) << "Esc cancels";
}

TEST_F(AlbumFolderPickerTest, ChosenFilesOnlyForANewAlbum) {
  gui::QtDialogs dialogs;
  WhenDialogOpens<gui::AlbumFolderDialog>([&](gui::AlbumFolderDialog* dialog) {
    auto* takeFiles = dialog->findChild<QPushButton*>("pickerTakeFiles");
    ASSERT_NE(takeFiles, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return FilesListed(dialog); }, 5000))
        << "the photos are listed, the text file is not";
    EXPECT_FALSE(takeFiles->isEnabled()) << "nothing chosen yet";
    dialog->SelectFiles({"a.jpg", "b.jpg"});
    ASSERT_TRUE(takeFiles->isEnabled());
    takeFiles->click();
  });
  const AlbumFolderChoice choice = dialogs.PickAlbumFolder(Request(true));
  EXPECT_EQ(choice.folder, photos_);
  EXPECT_EQ(choice.files, (std::vector<std::string>{photos_ + "/a.jpg", photos_ + "/b.jpg"}));
}

TEST_F(GuiDialogsTest, ProgressWindowShowsTheSendingAndItsCancelReachesTheUpload) {
  auto view = std::make_unique<gui::QtProgressWindowView>(nullptr);
  gui::OriginalProgressWindow* window = view->Window();
  CTarvikProgress progress(std::move(view), "Sending the original video", "Sending clip.avi");
  progress.Show();
  ASSERT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->windowTitle(), "Sending the original video");
  EXPECT_EQ(window->findChild<QLabel*>("originalMessage")->text(), "Sending clip.avi");
  EXPECT_EQ(window->CancelButton()->text().toStdString(), Text("btnCancel"));
  for (int i = 1; i <= 6; ++i) progress.OnProgress(10.0 * i, 1000 * i);
  EXPECT_EQ(window->Bar()->value(), 60);
  EXPECT_EQ(window->findChild<QLabel*>("originalRemainingLabel")->text().toStdString(),
            Text("msgTimeRemaining"));
  EXPECT_FALSE(window->findChild<QLabel*>("originalRemaining")->text().isEmpty());

  // Esc is the cancel button: the upload is asked to stop, the window stays until it has.
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_TRUE(progress.CancelState()->load());
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->CancelButton()->isEnabled());
  progress.Close();
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace zerva::test
