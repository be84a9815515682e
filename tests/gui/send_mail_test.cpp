// The window after an upload, driven through its widgets offscreen against zerva-server: the
// post-upload page with the service's banners and the album's picture, its address copied to
// the clipboard, the album's link mailed through the send page (Enter in the recipients sends,
// Enter in the message does not) and found in the service's mail record; the address book
// popup; and an unattended upload that closes the window by itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "core/media/item_fixtures.h"
#include "gui/zerva_window.h"
#include "gui_session.h"
#include "lang/text.h"
#include "platform/md5.h"
#include "ui/album_editor_view.h"
#include "ui/album_mail.h"
#include "ui/albums_page.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/post_copy_page.h"
#include "ui/send_email_page.h"
#include "ui/zerva_app.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::ZervaWindow;

class SendMailTest : public WindowServerTest {
 protected:
  SendMailTest() : WindowServerTest("mailer") {}
  void SetUp() override {
    WindowServerTest::SetUp();
    if (HasFatalFailure()) return;
    for (int i = 1; i <= 2; ++i) PhotoFile(photos_, "p" + std::to_string(i) + ".jpg", 640, 480);
    const std::vector<StoredMail> mails = Server().Mails();
    since_ = mails.empty() ? 0 : mails.back().id;
  }
  static QToolButton* PostCopyButton(ZervaWindow& window, int control) {
    return qobject_cast<QToolButton*>(Control(window, PageId::kPostCopy, control));
  }

  int64_t since_ = 0;
  TempDir photos_;
};

TEST_F(SendMailTest, AfterAnUploadTheAlbumsLinkIsCopiedAndMailedToTheService) {
  session_->QueueFolder({photos_.Path(), {}});
  std::string url;
  std::string message;
  int albumId = 0;
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    TypeInto(Control(window, PageId::kEditPhotos, kEditName), "Holiday");
    Upload(window);
    CAlbum& album = window.Controller().App().CurrentAlbum();
    url = album.AlbumUrl();
    albumId = album.albumID;
    ASSERT_FALSE(url.empty());

    // The album's picture is that of its first photo, with the address as tooltip.
    QToolButton* preview = PostCopyButton(window, kPostCopyPreview);
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->icon().isNull());
    EXPECT_EQ(preview->toolTip().toStdString(), url);

    // The demo service's banners arrive, each a picture with its title.
    QToolButton* first = PostCopyButton(window, kPostCopyBannerFirst);
    QToolButton* second = PostCopyButton(window, kPostCopyBannerFirst + 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->isVisible() && second->isVisible(); }, 20000));
    EXPECT_EQ(first->toolTip(), "Order prints of this album");
    EXPECT_EQ(second->toolTip(), "Make a photo book");
    EXPECT_FALSE(first->icon().isNull());
    EXPECT_EQ(first->iconSize(), QSize(468, 60));
    EXPECT_FALSE(PostCopyButton(window, kPostCopyBannerFirst + 2)->isVisible());
    Click(second);
    ASSERT_FALSE(session_->Opened().empty());
    EXPECT_NE(session_->Opened().back().find("printshop"), std::string::npos);

    Click(Control(window, PageId::kPostCopy, kPostCopyCopy));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), url);

    Click(Control(window, PageId::kPostCopy, kPostCopySend));
    ASSERT_EQ(Shown(window), kSendEmailPage);
    auto* to = qobject_cast<QLineEdit*>(Control(window, PageId::kSendEmail, kSendTo));
    auto* text = qobject_cast<QPlainTextEdit*>(Control(window, PageId::kSendEmail, kSendMessage));
    ASSERT_NE(to, nullptr);
    ASSERT_NE(text, nullptr);
    message = text->toPlainText().toStdString();
    EXPECT_FALSE(BarControl(window, kUserNext)->isEnabled());
    TypeInto(to, " ann@example.com , bob@example.org");
    EXPECT_TRUE(BarControl(window, kUserNext)->isEnabled());

    // Enter in the message writes a line break and sends nothing.
    text->setFocus();
    text->moveCursor(QTextCursor::End);
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(Shown(window), kSendEmailPage);
    QTest::keyClicks(text, "See you!");
    message = text->toPlainText().toStdString();
    // Enter in the recipients sends.
    to->setFocus();
    QTest::keyClick(to, Qt::Key_Return);
    EXPECT_EQ(Shown(window), kPostCopyPage);
    // Enter on the page's focused button presses it: the return button leads to the albums.
    QWidget* back = Control(window, PageId::kPostCopy, kPostCopyReturn);
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Return);
    EXPECT_EQ(Shown(window), kAlbumsPage);
  });

  const std::vector<StoredMail> mails = Server().Mails(since_);
  ASSERT_EQ(mails.size(), 1u);
  const StoredMail& mail = mails[0];
  EXPECT_EQ(mail.userName, user_);
  EXPECT_EQ(mail.albumId, albumId);
  EXPECT_EQ(mail.to, "ann@example.com;bob@example.org");
  EXPECT_EQ(mail.subject, "Holiday");
  // What the field showed, with the mail's line ends.
  std::string crlf;
  for (const char c : message) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(mail.message, crlf);
  EXPECT_NE(mail.message.find(url + "\r\n"), std::string::npos);
  EXPECT_NE(mail.message.find("See you!"), std::string::npos);
  // Signed in by name: the service sends from the account's own address.
  EXPECT_EQ(mail.from, user_ + "@example.com");
  const auto& boxes = session_->Messages();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, Text("SendAlbumDlgSendOK"));
}

TEST_F(SendMailTest, TheAddressBookPopupChecksTheRecipientsAndAddsTheChosenOne) {
  // Addresses the account mailed before.
  Form f;
  f.Add("userID", userId_)
      .Add("mailTo", "ann@example.com;bob@example.org")
      .Add("mailSubject", "s")
      .Add("mailMessage", "m")
      .Add("mailFrom", "");
  ASSERT_NE(Server().Command("SendEmail", user_, Md5Hex("secret"), f).body.find("OK"),
            std::string::npos);
  since_ = Server().Mails().back().id;
  session_->QueueFolder({photos_.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    Upload(window);
    Click(Control(window, PageId::kPostCopy, kPostCopySend));
    ASSERT_EQ(Shown(window), kSendEmailPage);
    auto* to = qobject_cast<QLineEdit*>(Control(window, PageId::kSendEmail, kSendTo));
    TypeInto(to, "bob@example.org");
    // Tab walks the page as it is laid out: recipients, the book, subject, message.
    std::vector<int> walked;
    QWidget* at = to;
    for (int i = 0; i < 3; ++i) {
      at = at->nextInFocusChain();
      while (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisible()) at = at->nextInFocusChain();
      walked.push_back(at->objectName().mid(1).toInt());
    }
    EXPECT_EQ(walked, (std::vector<int>{kSendBook, kSendSubject, kSendMessage}));

    QStringList entries;
    QList<bool> checks;
    QTimer choose;
    choose.setSingleShot(true);
    QObject::connect(&choose, &QTimer::timeout, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      QAction* ann = nullptr;
      for (QAction* action : menu->actions()) {
        entries << (action->isSeparator() ? QString("-") : action->text());
        checks << action->isChecked();
        if (action->text() == "ann@example.com") ann = action;
      }
      if (ann != nullptr) {
        menu->setActiveAction(ann);
        QTest::keyClick(menu, Qt::Key_Return);
      } else {
        QTest::keyClick(menu, Qt::Key_Escape);
      }
    });
    choose.start(300);
    Click(Control(window, PageId::kSendEmail, kSendBook));
    choose.stop();
    EXPECT_EQ(entries, (QStringList{QString::fromStdString(Text("SendAlbumDlgAllEmails")), "-",
                                    "ann@example.com", "bob@example.org"}));
    EXPECT_EQ(checks, (QList<bool>{false, false, false, true}));
    EXPECT_EQ(to->text(), "bob@example.org; ann@example.com");

    // Esc closes the popup and changes nothing.
    QTimer escape;
    escape.setSingleShot(true);
    QObject::connect(&escape, &QTimer::timeout, [] {
      if (QWidget* menu = QApplication::activePopupWidget()) {
        QTest::keyClick(menu, Qt::Key_Escape);
      }
    });
    escape.start(300);
    Click(Control(window, PageId::kSendEmail, kSendBook));
    EXPECT_EQ(to->text(), "bob@example.org; ann@example.com");
    // Leaving with the change: the question answered No keeps the page.
    Click(BarControl(window, kUserBack));
    EXPECT_EQ(Shown(window), kSendEmailPage);
    Click(BarControl(window, kUserNext));
    EXPECT_EQ(Shown(window), kPostCopyPage);
  });
  const std::vector<StoredMail> mails = Server().Mails(since_);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to, "bob@example.org;ann@example.com");
}

// What an external tool starts: credentials, a label and files on the command line. The window
// signs in by itself, the user starts a new album on the albums page, uploads it, and the window
// closes itself five seconds after the post-upload page shows.
TEST_F(SendMailTest, AnUnattendedStartSignsInUploadsTheFilesAndClosesItself) {
  Form form;
  form.Add("serverDir", "earlier").Add("albumSetting", "<album><name>Earlier</name></album>");
  ASSERT_NE(Server().Command("CreateAlbum", user_, Md5Hex("secret"), form).body.find("OK"),
            std::string::npos);
  const std::string a = PhotoFile(photos_, "a.jpg", 640, 480);
  const std::string b = PhotoFile(photos_, "b.jpg", 480, 640);
  qint64 closedAfterMs = -1;
  session_->Run(
      [&](ZervaWindow& window) {
        // Signed in without a word typed; the albums page offers the user's album.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Shown(window) == kAlbumsPage; }, 20000))
            << "still on " << Shown(window);
        EXPECT_TRUE(window.windowTitle().endsWith(" - Trip uploader"));
        Click(Control(window, PageId::kAlbums, kAlbumsNewAlbum));
        ASSERT_EQ(Shown(window), kEditPhotosPage);
        const CAlbum& album = window.Controller().App().CurrentAlbum();
        EXPECT_EQ(album.items.size(), 2u);
        EXPECT_EQ(album.name.rfind("Trip_", 0), 0u) << album.name;
        Upload(window);
        EXPECT_FALSE(Control(window, PageId::kPostCopy, kPostCopyView)->isVisible());
        EXPECT_EQ(qobject_cast<QPushButton*>(Control(window, PageId::kPostCopy, kPostCopyReturn))
                      ->text()
                      .toStdString(),
                  Text("msgVideoEnd"));
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 10000));
        closedAfterMs = clock.elapsed();
      },
      {"-usr", user_, "-pwd", "secret", "-lbl", "Trip", a, b});
  EXPECT_GE(closedAfterMs, 4000);
  EXPECT_LT(closedAfterMs, 10000);
  // Both files arrived in a second album; the first one is untouched.
  const std::string albums =
      Server()
          .Command("GetAlbums", user_, Md5Hex("secret"),
                   Form().Add("userID", std::to_string(userId_)).Add("albumID", "0"))
          .body;
  EXPECT_NE(albums.find("Earlier"), std::string::npos);
  EXPECT_NE(albums.find("Trip_"), std::string::npos);
}

}  // namespace
}  // namespace zerva::test
