// The real window, driven through its widgets offscreen against zerva-server: signing in,
// the pages reached, logging out, creating an account, switching the language, saving the
// settings, and the trace window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "app/profile.h"
#include "app/trace.h"
#include "core/media/item_fixtures.h"
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

}  // namespace
}  // namespace zerva::test
