// The real window, driven through its widgets offscreen against zerva-server: signing in,
// the pages reached, logging out, creating an account, switching the language, saving the
// settings, the trace window, the unattended start, and the keyboard: Enter, Tab and Esc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include "app/profile.h"
#include "app/trace.h"
#include "core/media/item_fixtures.h"
#include "gui/about_dialog.h"
#include "gui/form_view.h"
#include "gui/trace_window.h"
#include "gui_session.h"
#include "lang/text.h"
#include "platform/md5.h"
#include "support/shared_server_test.h"
#include "ui/create_account_dlg.h"
#include "ui/edit_user_detail_dlg.h"
#include "ui/login_dlg.h"
#include "ui/main_window_view.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

using gui::ZervaWindow;

class WindowTest : public SharedServerTest {
 protected:
  void SetUp() override {
    ::setenv("LC_ALL", "C", 1);
    SharedServerTest::SetUp();
    session_ = std::make_unique<GuiSession>(Server().UploadRoot());
  }
  void TearDown() override {
    session_.reset();
    SharedServerTest::TearDown();
  }

  static std::string Shown(ZervaWindow& window) { return window.Controller().CurrentPageName(); }
  static QString TextOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return {};
  }
  static void SignIn(ZervaWindow& window, const QString& email, const QString& password) {
    TypeInto(Control(window, PageId::kLogin, kLoginEmail), email);
    TypeInto(Control(window, PageId::kLogin, kLoginPassword), password);
    Click(Control(window, PageId::kLogin, kLoginButton));
  }
  // An account of this test alone (the sign-in lock is system-wide and tests run in parallel),
  // with the password "secret" and, when asked, one album.
  std::string NewUser(bool withAlbum = false) {
    std::string name;
    EXPECT_GT(Server().CreateTestUser("gui", &name), 0);
    if (withAlbum) {
      Form form;
      form.Add("serverDir", "first").Add("albumSetting", "<album><name>First</name></album>");
      EXPECT_NE(Server().Command("CreateAlbum", name, Md5Hex("secret"), form).body.find("OK"),
                std::string::npos);
    }
    return name;
  }

  std::unique_ptr<GuiSession> session_;
};

TEST_F(WindowTest, SignsInLandsOnTheAlbumsAndLogsOut) {
  const std::string user = NewUser(true);
  session_->Run([&](ZervaWindow& window) {
    EXPECT_EQ(Shown(window), kLoginPage);
    EXPECT_TRUE(window.isVisible());
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(window.minimumWidth(), MinTrackSize(screen.width(), screen.height()).width);
    EXPECT_TRUE(window.windowTitle().startsWith(QString::fromStdString(Text("mainTitle"))));
    // Both navigation buttons are hidden on the login page.
    EXPECT_TRUE(BarControl(window, kUserNext)->isHidden());
    EXPECT_TRUE(BarControl(window, kUserBack)->isHidden());

    SignIn(window, QString::fromStdString(user), "secret");
    EXPECT_EQ(Shown(window), kAlbumsPage);
    EXPECT_EQ(TextOf(BarControl(window, kUserName)),
              QString::fromStdString(Text("userFillFullName")));
    EXPECT_FALSE(BarControl(window, kUserLogout)->isHidden());
    EXPECT_EQ(TextOf(window.HeaderForm().Widget(kHeaderTitle)),
              QString::fromStdString(Text("AlbumsDlgTitle")));

    Click(BarControl(window, kUserLogout));
    EXPECT_EQ(Shown(window), kLoginPage);
    EXPECT_TRUE(TextOf(Control(window, PageId::kLogin, kLoginEmail)).isEmpty());
    EXPECT_TRUE(BarControl(window, kUserName)->isHidden());
  });
  EXPECT_TRUE(session_->Messages().empty()) << session_->Messages().front().text;
}

TEST_F(WindowTest, WrongPasswordIsReportedUnderTheLoginCaption) {
  const std::string user = NewUser();
  session_->Run([&](ZervaWindow& window) {
    SignIn(window, QString::fromStdString(user), "not the password");
    EXPECT_EQ(Shown(window), kLoginPage);
  });
  ASSERT_EQ(session_->Captions().size(), 1u);
  EXPECT_EQ(session_->Captions()[0], "zerva.localhost | " + Text("loginError"));
}

TEST_F(WindowTest, UserWithoutAlbumsGoesToTheAlbumEditor) {
  const std::string user = NewUser();
  TempDir photos;
  PhotoFile(photos, "a.jpg", 64, 48);
  session_->QueueFolder({photos.Path(), {}});
  // Going back drops the new album made of the folder: the question is answered Yes.
  session_->QueueReply(Reply::kYes);
  session_->Run([&](ZervaWindow& window) {
    SignIn(window, QString::fromStdString(user), "secret");
    EXPECT_EQ(Shown(window), kEditPhotosPage);
    // The editor leads back to the albums page.
    Click(BarControl(window, kUserBack));
    EXPECT_EQ(Shown(window), kAlbumsPage);
  });
}

TEST_F(WindowTest, AccountCreatedThroughThePageIsSignedIn) {
  const std::string nick = "acct" + std::to_string(::getpid());
  TempDir photos;
  PhotoFile(photos, "a.jpg", 64, 48);
  session_->QueueFolder({photos.Path(), {}});
  // Closing the window drops the new album made of the folder: the question is answered Yes.
  session_->QueueReply(Reply::kYes);
  session_->Run([&](ZervaWindow& window) {
    Click(Control(window, PageId::kLogin, kLoginCreate));
    ASSERT_EQ(Shown(window), kCreateAccountPage);
    TypeInto(Control(window, PageId::kCreateAccount, kAccountNick), QString::fromStdString(nick));
    TypeInto(Control(window, PageId::kCreateAccount, kAccountEmail),
             QString::fromStdString(nick + "@example.com"));
    TypeInto(Control(window, PageId::kCreateAccount, kAccountPassword), "tajné heslo");
    // The fields are checked once typing pauses.
    Wait(700);
    for (const int status : {kAccountNickStatus, kAccountEmailStatus, kAccountPasswordStatus}) {
      EXPECT_TRUE(TextOf(Control(window, PageId::kCreateAccount, status)).isEmpty()) << status;
    }
    ASSERT_TRUE(Control(window, PageId::kCreateAccount, kAccountCreate)->isEnabled());
    Click(Control(window, PageId::kCreateAccount, kAccountCreate));
    EXPECT_EQ(Shown(window), kEditPhotosPage);
    EXPECT_FALSE(Control(window, PageId::kLogin, kLoginNotice)->isHidden());
  });
  const std::vector<LoggedRequest> created = Server().LogOf("createUser.php");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].Field("userName"), nick);
  EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), Md5Hex("tajné heslo"));
}

TEST_F(WindowTest, LanguageSwitchOnTheAccountPageRenamesEveryVisibleText) {
  session_->Run([&](ZervaWindow& window) {
    Click(Control(window, PageId::kLogin, kLoginCreate));
    auto* languages =
        qobject_cast<QComboBox*>(Control(window, PageId::kCreateAccount, kAccountLanguage));
    ASSERT_NE(languages, nullptr);
    const int czech = languages->findText("čeština");
    ASSERT_GE(czech, 0);
    const QString englishTitle = window.windowTitle();
    languages->setCurrentIndex(czech);
    emit languages->activated(czech);
    EXPECT_EQ(TextOf(Control(window, PageId::kCreateAccount, kAccountCreate)), "Založit účet");
    EXPECT_EQ(TextOf(window.HeaderForm().Widget(kHeaderTitle)), "Založení účtu");
    EXPECT_EQ(TextOf(BarControl(window, kUserAbout)), "O programu zerva");
    EXPECT_NE(window.windowTitle(), englishTitle);
    Click(Control(window, PageId::kCreateAccount, kAccountCancel));
    EXPECT_EQ(Shown(window), kLoginPage);
    EXPECT_EQ(TextOf(Control(window, PageId::kLogin, kLoginButton)),
              QString::fromStdString(Text("login")));
    EXPECT_EQ(window.windowTitle(), englishTitle);
  });
}

TEST_F(WindowTest, SettingsAreSavedAndShownInTheUserBar) {
  const std::string user = NewUser();
  session_->Run([&](ZervaWindow& window) {
    SignIn(window, QString::fromStdString(user), "secret");
    Click(BarControl(window, kUserBack));  // from the editor to the albums
    ASSERT_EQ(Shown(window), kAlbumsPage);
    Click(BarControl(window, kUserSettings));
    ASSERT_EQ(Shown(window), kEditUserDetailPage);
    EXPECT_EQ(TextOf(Control(window, PageId::kEditUserDetail, kSettingsPass1)),
              kPasswordPlaceholder);
    TypeInto(Control(window, PageId::kEditUserDetail, kSettingsFullName), "Eva Svobodová");
    TypeInto(Control(window, PageId::kEditUserDetail, kSettingsWww), "eva.example.org");
    Click(BarControl(window, kUserNext));
    EXPECT_EQ(Shown(window), kAlbumsPage);
    EXPECT_EQ(TextOf(BarControl(window, kUserName)), "Eva Svobodová");
  });
  const std::vector<LoggedRequest> saves = Server().LogOf("SetUserDetails");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].Field("fullName"), "Eva Svobodová");
  EXPECT_EQ(saves[0].Field("www"), "http://eva.example.org");
}

TEST_F(WindowTest, ShiftControlDoubleClickOpensTheTraceWindow) {
  session_->Run([&](ZervaWindow& window) {
    QWidget* page = window.PageWidget(PageId::kLogin);
    QTest::mouseDClick(page, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(5, 5));
    gui::TraceWindow* trace = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* candidate = qobject_cast<gui::TraceWindow*>(top)) trace = candidate;
    }
    ASSERT_NE(trace, nullptr);
    EXPECT_TRUE(trace->isVisible());
    TraceText(kTraceError, "an error for the window");
    TraceText(kTraceNotice, "a notice for the window");
    Wait(50);
    EXPECT_NE(trace->ShownText().find("an error for the window"), std::string::npos);
    trace->SetLevel(1);
    EXPECT_EQ(trace->ShownText().find("a notice for the window"), std::string::npos);
    EXPECT_NE(trace->ShownText().find("an error for the window"), std::string::npos);
  });
}

TEST_F(WindowTest, RememberedAccountSignsInAtStartAndCloseSignsOut) {
  const std::string user = NewUser(true);
  session_->Run([&](ZervaWindow& window) {
    auto* remember =
        qobject_cast<QAbstractButton*>(Control(window, PageId::kLogin, kLoginRemember));
    Click(remember);
    ASSERT_TRUE(remember->isChecked());
    SignIn(window, QString::fromStdString(user), "secret");
    ASSERT_EQ(Shown(window), kAlbumsPage);
  });
  Server().ClearLog();
  session_->Run([&](ZervaWindow& window) { EXPECT_EQ(Shown(window), kAlbumsPage); });
  // Closing saves the user's variables.
  EXPECT_EQ(Server().LogOf("set_setting.php").size(), 1u);
  EXPECT_EQ(Server().LogOf("login.php").size(), 1u);
}

TEST_F(WindowTest, FilesOnTheCommandLineSignInByThemselvesUnderTheLabelsTitle) {
  const std::string user = NewUser(true);
  TempDir photos;
  const std::string a = PhotoFile(photos, "a.jpg", 64, 48);
  const std::string b = PhotoFile(photos, "b.jpg", 64, 48);
  session_->Run(
      [&](ZervaWindow& window) {
        EXPECT_EQ(Shown(window), kAlbumsPage);
        EXPECT_TRUE(window.windowTitle().endsWith(" - Trip uploader"))
            << window.windowTitle().toStdString();
        EXPECT_TRUE(BarControl(window, kUserLogout)->isHidden());
      },
      {"-usr", user, "-pwd", "secret", "-lbl", "Trip", a, b});
  EXPECT_EQ(Server().LogOf("login.php").size(), 1u);
}

// --- The keyboard ---

// The control a page's widget stands for (widgets are named "c<number>"); 0 for none.
int ControlOf(QWidget* widget) {
  const QString name = widget != nullptr ? widget->objectName() : QString();
  return name.startsWith('c') ? name.mid(1).toInt() : 0;
}

// The controls Tab visits on the page, from `first` until the focus leaves the page.
std::vector<int> TabOrder(ZervaWindow& window, PageId page, int first) {
  window.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  QWidget* area = window.PageWidget(page);
  Control(window, page, first)->setFocus();
  std::vector<int> order;
  for (int step = 0; step < 30; ++step) {
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || !area->isAncestorOf(focused)) break;
    order.push_back(ControlOf(focused));
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  return order;
}

TEST_F(WindowTest, EnterInThePasswordOrTheEmailFieldSignsIn) {
  const std::string user = NewUser(true);
  session_->Run([&](ZervaWindow& window) {
    QWidget* email = Control(window, PageId::kLogin, kLoginEmail);
    QWidget* password = Control(window, PageId::kLogin, kLoginPassword);
    TypeInto(email, QString::fromStdString(user));
    TypeInto(password, "secret");
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(Shown(window), kAlbumsPage);

    Click(BarControl(window, kUserLogout));
    ASSERT_EQ(Shown(window), kLoginPage);
    TypeInto(password, "secret");
    TypeInto(email, QString::fromStdString(user));
    QTest::keyClick(email, Qt::Key_Enter);  // the keypad's Enter
    EXPECT_EQ(Shown(window), kAlbumsPage);
  });
  EXPECT_TRUE(session_->Messages().empty()) << session_->Messages().front().text;
  EXPECT_EQ(Server().LogOf("login.php").size(), 2u);
}

TEST_F(WindowTest, EnterSavesTheSettingsButIsANewLineInTheDescription) {
  const std::string user = NewUser(true);
  session_->Run([&](ZervaWindow& window) {
    SignIn(window, QString::fromStdString(user), "secret");
    Click(BarControl(window, kUserSettings));
    ASSERT_EQ(Shown(window), kEditUserDetailPage);
    auto* description =
        qobject_cast<QPlainTextEdit*>(Control(window, PageId::kEditUserDetail, kSettingsDesc));
    ASSERT_NE(description, nullptr);
    description->setFocus();
    QTest::keyClicks(description, "one");
    QTest::keyClick(description, Qt::Key_Return);
    QTest::keyClicks(description, "two");
    EXPECT_EQ(description->toPlainText(), "one\ntwo");
    EXPECT_EQ(Shown(window), kEditUserDetailPage);

    QWidget* fullName = Control(window, PageId::kEditUserDetail, kSettingsFullName);
    TypeInto(fullName, "Eva");
    QTest::keyClick(fullName, Qt::Key_Return);
    EXPECT_EQ(Shown(window), kAlbumsPage);
  });
  const std::vector<LoggedRequest> saves = Server().LogOf("SetUserDetails");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].Field("fullName"), "Eva");
  EXPECT_EQ(saves[0].Field("description"), "one\ntwo");
}

TEST_F(WindowTest, TabFollowsTheLayoutOfTheLoginAccountAndSettingsPages) {
  const std::string user = NewUser(true);
  session_->Run([&](ZervaWindow& window) {
    EXPECT_EQ(TabOrder(window, PageId::kLogin, kLoginEmail),
              (std::vector<int>{kLoginEmail, kLoginHistory, kLoginPassword, kLoginRemember,
                                kLoginButton, kLoginForgot, kLoginCreate}));

    Click(Control(window, PageId::kLogin, kLoginCreate));
    ASSERT_EQ(Shown(window), kCreateAccountPage);
    // The create button waits for valid fields; Tab passes it by until then.
    ASSERT_FALSE(Control(window, PageId::kCreateAccount, kAccountCreate)->isEnabled());
    EXPECT_EQ(TabOrder(window, PageId::kCreateAccount, kAccountNick),
              (std::vector<int>{kAccountNick, kAccountEmail, kAccountPassword, kAccountLanguage,
                                kAccountAgreeLink, kAccountCancel}));
    Click(Control(window, PageId::kCreateAccount, kAccountCancel));

    SignIn(window, QString::fromStdString(user), "secret");
    Click(BarControl(window, kUserSettings));
    ASSERT_EQ(Shown(window), kEditUserDetailPage);
    // Tab leaves the description instead of being typed into it.
    EXPECT_EQ(
        TabOrder(window, PageId::kEditUserDetail, kSettingsFullName),
        (std::vector<int>{kSettingsFullName, kSettingsDesc, kSettingsLanguage, kSettingsWww,
                          kSettingsPass1, kSettingsPass2, kSettingsExifName, kSettingsExifDesc,
                          kSettingsWatermark, kSettingsPublish, kSettingsMoreKey}));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(Control(window, PageId::kEditUserDetail, kSettingsDesc))
                  ->toPlainText(),
              "");
  });
}

TEST_F(WindowTest, EscClosesTheAboutBoxAndItsLicenceWindow) {
  session_->Run([&](ZervaWindow& window) {
    bool licenceClosed = false;
    bool aboutClosed = false;
    WhenDialogOpens<gui::AboutDialog>([&](gui::AboutDialog* about) {
      WhenDialogOpens<gui::LicenceWindow>([&](gui::LicenceWindow* licence) {
        QTest::keyClick(licence, Qt::Key_Escape);
        licenceClosed = !licence->isVisible();
      });
      about->ActivateLink(session_->ProgramFolder() + "libcurl-license.txt");
      QTest::keyClick(about, Qt::Key_Escape);
      aboutClosed = !about->isVisible();
    });
    Click(BarControl(window, kUserAbout));
    EXPECT_TRUE(licenceClosed);
    EXPECT_TRUE(aboutClosed);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  });
}

}  // namespace
}  // namespace zerva::test
