// The editor's category button and the form of the demo service's flood category, driven through
// the widgets offscreen: the menu, the generated form with its group boxes, tooltips, red frames
// and OK button, and the confirmed values reaching the service with the upload.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "category/value_set.h"
#include "core/media/item_fixtures.h"
#include "gui/category_form_dialog.h"
#include "gui_session.h"
#include "lang/text.h"
#include "model/album.h"
#include "session/user_session.h"
#include "support/temp_dir.h"
#include "ui/album_editor_view.h"
#include "ui/category_form_view.h"
#include "ui/zerva_app.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::CategoryFormDialog;
using gui::ZervaWindow;

// The demo flood form's controls: group "Event" 2000, place 2002, what happened 2004, water
// level 2006, region 2008, date 2010, group "Author" 2011, author 2013, e-mail 2015, publish
// 2017.
constexpr int kPlace = 2002;
constexpr int kWhat = 2004;
constexpr int kLevel = 2006;
constexpr int kRegion = 2008;
constexpr int kAuthor = 2013;
constexpr int kEmail = 2015;
constexpr int kPublish = 2017;

class CategoryFormWindowTest : public WindowServerTest {
 protected:
  CategoryFormWindowTest() : WindowServerTest("catform") {}
  void SetUp() override {
    WindowServerTest::SetUp();
    if (HasFatalFailure()) return;
    for (int i = 1; i <= 2; ++i) {
      PhotoFile(photos_, "p" + std::to_string(i) + ".jpg", 320, 240, 90, i);
    }
  }

  // Chooses the entry `text` of the menu that opens next, polling without a loop of its own.
  static std::unique_ptr<QTimer> WhenMenuOpens(const QString& text) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(20);
    QTimer* watcher = timer.get();
    QObject::connect(watcher, &QTimer::timeout, [watcher, text] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      watcher->stop();
      for (QAction* action : menu->actions()) {
        if (action->text() == text) {
          // As the user picks it, so that the menu's own run answers with it.
          menu->setActiveAction(action);
          QTest::keyClick(menu, Qt::Key_Return);
          return;
        }
      }
      QStringList shown;
      for (QAction* action : menu->actions()) shown << action->text();
      menu->close();
      ADD_FAILURE() << "no menu entry " << text.toStdString() << " in "
                    << shown.join("|").toStdString();
    });
    timer->start();
    return timer;
  }

  // Runs `act` on the form once it is open. It watches without a loop of its own: the menu and
  // the form each run theirs, one inside the other. Delete the watcher once the form is done.
  static std::unique_ptr<QTimer> WhenFormOpens(std::function<void(CategoryFormDialog*)> act) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(20);
    QTimer* watcher = timer.get();
    QObject::connect(watcher, &QTimer::timeout, [watcher, act = std::move(act)] {
      auto* form = qobject_cast<CategoryFormDialog*>(QApplication::activeModalWidget());
      if (form == nullptr) return;
      watcher->stop();
      act(form);
    });
    timer->start();
    return timer;
  }

  TempDir photos_;
};

TEST_F(CategoryFormWindowTest, TheFloodFormIsFilledConfirmedAndItsValuesSentWithTheUpload) {
  session_->QueueFolder({photos_.Path(), {}});
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    CzervaApp& app = window.Controller().App();
    Click(Control(window, PageId::kEditPhotos, kEditAdvanced));
    QWidget* button = Control(window, PageId::kEditPhotos, kEditCategoryButton);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());

    bool formSeen = false;
    std::unique_ptr<QTimer> watcher = WhenFormOpens([&](CategoryFormDialog* form) {
      formSeen = true;
      EXPECT_EQ(form->windowTitle(), QString::fromStdString(Text("msgFloodsCaption") + " Floods"));
      auto* event = qobject_cast<QGroupBox*>(form->Widget(kFirstGeneratedControl));
      ASSERT_NE(event, nullptr);
      EXPECT_EQ(event->title(), "Event");
      EXPECT_NE(qobject_cast<QGroupBox*>(form->Widget(2011)), nullptr);
      auto* place = qobject_cast<QLineEdit*>(form->Widget(kPlace));
      ASSERT_NE(place, nullptr);
      EXPECT_EQ(place->toolTip(), "Town or village hit by the flood");
      EXPECT_NE(qobject_cast<QPlainTextEdit*>(form->Widget(kWhat)), nullptr);
      auto* region = qobject_cast<QComboBox*>(form->Widget(kRegion));
      ASSERT_NE(region, nullptr);
      EXPECT_EQ(region->count(), 3);
      auto* publish = qobject_cast<QCheckBox*>(form->Widget(kPublish));
      ASSERT_NE(publish, nullptr);
      EXPECT_TRUE(publish->isChecked());  // its initial value
      auto* ok = qobject_cast<QPushButton*>(form->Widget(kFormOk));
      ASSERT_NE(ok, nullptr);
      EXPECT_FALSE(ok->isEnabled());

      Click(form->Widget(kFormAgreement));
      auto* info = qobject_cast<QLabel*>(form->Widget(kFormInfo));
      ASSERT_NE(info, nullptr);
      EXPECT_EQ(info->text(), "Enter the place");
      EXPECT_TRUE(form->IsFramed(kPlace));
      EXPECT_FALSE(ok->isEnabled());

      TypeInto(place, "Brno");
      EXPECT_FALSE(form->IsFramed(kPlace));
      qobject_cast<QPlainTextEdit*>(form->Widget(kWhat))->setPlainText("The river rose by night");
      TypeInto(form->Widget(kLevel), "3000");
      EXPECT_EQ(info->text(), "At most 2000 cm");
      TypeInto(form->Widget(kLevel), "120");
      region->setCurrentIndex(1);
      emit region->activated(1);
      TypeInto(form->Widget(kAuthor), "Eva");
      TypeInto(form->Widget(kEmail), "eva@example.com");
      EXPECT_EQ(info->text(), "");
      ASSERT_TRUE(ok->isEnabled());
      // Enter is OK.
      QTest::keyClick(form->Widget(kAuthor), Qt::Key_Return);
    });
    std::unique_ptr<QTimer> menuWatcher = WhenMenuOpens("Floods");
    Click(button);
    watcher.reset();
    ASSERT_TRUE(formSeen);

    CAlbum& album = app.CurrentAlbum();
    EXPECT_EQ(album.albumCategory, "105");
    auto* names = qobject_cast<QLabel*>(Control(window, PageId::kEditPhotos, kEditCategory));
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->text().toStdString(), Text("albumCategory") + ": Floods");
    const ValueSet stored = ParseValueSet(app.Session().StartValues(105));
    EXPECT_EQ(stored.at("waterLevel"), "120");
    EXPECT_EQ(stored.at("region"), "Vysocina");
    EXPECT_EQ(stored.at("agree"), "true");
    Upload(window);
  });

  const std::vector<LoggedRequest> sent = Server().LogOf("SendAdditionalAlbumInfo");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].Field("categoryID"), "105");
  const ValueSet values = ParseValueSet(sent[0].Field("valueSet"));
  EXPECT_EQ(values.at("location"), "Brno");
  EXPECT_EQ(values.at("desc"), "The river rose by night");
  EXPECT_EQ(values.at("email"), "eva@example.com");
  EXPECT_EQ(values.size(), 8u);
}

TEST_F(CategoryFormWindowTest, EscapeCancelsAndTheCategoryIsNotAdded) {
  session_->QueueFolder({photos_.Path(), {}});
  // The new album is not sent: the window may close without it.
  session_->QueueReply(Reply::kYes);
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    Click(Control(window, PageId::kEditPhotos, kEditAdvanced));
    bool formSeen = false;
    std::unique_ptr<QTimer> watcher = WhenFormOpens([&](CategoryFormDialog* form) {
      formSeen = true;
      // Enter while OK is disabled does nothing; Esc cancels.
      QTest::keyClick(form->Widget(kPlace), Qt::Key_Return);
      EXPECT_TRUE(form->isVisible());
      QTest::keyClick(form->Widget(kPlace), Qt::Key_Escape);
    });
    std::unique_ptr<QTimer> menuWatcher = WhenMenuOpens("Floods");
    Click(Control(window, PageId::kEditPhotos, kEditCategoryButton));
    watcher.reset();
    EXPECT_TRUE(formSeen);
    EXPECT_EQ(window.Controller().App().CurrentAlbum().albumCategory, "");
    EXPECT_TRUE(window.Controller().App().Session().StartValues(105).empty());
  });
}

}  // namespace
}  // namespace zerva::test
