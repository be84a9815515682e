// The richer controls of the form view: command menus with check marks and submenus, the size
// slider's moves and release, progress bars, day-first date fields with "no date", text colours,
// pictures from the model's images, the clipboard, the protection popup and the growing
// description. The controller's own changes never come back as events.
#include "gui/form_view.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>
#include <vector>

#include "gui/date_field.h"
#include "gui/growing_text_edit.h"
#include "gui/item_image_qt.h"
#include "gui/picture_view.h"
#include "gui/popup_frame.h"
#include "gui/thumbnail_list_widget.h"

namespace zerva::test {
namespace {

using gui::FormView;

class RecordingEvents : public ControlEvents {
 public:
  void OnCommand(int control) override { log.push_back("command " + std::to_string(control)); }
  void OnEdited(int control) override { log.push_back("edited " + std::to_string(control)); }
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(log);
    return taken;
  }
  std::vector<std::string> log;
};

// Runs `act` on the popup menu once it is open.
void WhenMenuOpens(std::function<void(QMenu*)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    act(menu);
  });
}

QAction* ActionNamed(QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

// A 24-bit picture whose top-left pixel is red and the rest blue.
ImagePtr TwoColourImage(int width, int height) {
  auto image = std::make_shared<fipImage>(FIT_BITMAP, width, height, 24);
  RGBQUAD blue{255, 0, 0, 0};  // BGR order
  RGBQUAD red{0, 0, 255, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image->setPixelColor(x, y, &blue);
  }
  // FreeImage counts lines from the bottom.
  image->setPixelColor(0, height - 1, &red);
  return image;
}

class GuiFormViewTest : public ::testing::Test {
 protected:
  void SetUp() override { view_.SetEvents(&events_); }
  FormView view_;
  RecordingEvents events_;
  QWidget page_;
};

TEST_F(GuiFormViewTest, CommandMenuShowsChecksDisabledEntriesAndSubmenus) {
  auto* anchor = view_.Add(1, new QPushButton("Sort", &page_));
  page_.show();
  const std::vector<MenuEntry> entries = {
      MenuEntry::Command("By time", 10, true, true),
      MenuEntry::Separator(),
      MenuEntry::Command("Undo names", 11, false),
      MenuEntry::Command("Tom & Jerry", 12),
      MenuEntry::Submenu("More", {MenuEntry::Command("Deeper", 13)}),
  };
  WhenMenuOpens([anchor](QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_TRUE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_FALSE(actions[3]->isCheckable());
    EXPECT_EQ(actions[3]->text(), "Tom && Jerry") << "no mnemonic made of the text";
    ASSERT_NE(actions[4]->menu(), nullptr);
    // Below the anchor.
    EXPECT_EQ(menu->pos(), anchor->mapToGlobal(QPoint(0, anchor->height())));
    menu->setActiveAction(actions[3]);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  EXPECT_EQ(view_.ShowMenu(1, entries), 12);

  WhenMenuOpens([](QMenu* menu) {
    menu->setActiveAction(ActionNamed(menu, "More"));
    QTest::keyClick(menu, Qt::Key_Right);
    QTimer::singleShot(0, [] {
      auto* submenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(submenu, nullptr);
      submenu->setActiveAction(ActionNamed(submenu, "Deeper"));
      QTest::keyClick(submenu, Qt::Key_Return);
    });
  });
  EXPECT_EQ(view_.ShowMenu(1, entries), 13);

  WhenMenuOpens([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_Escape); });
  EXPECT_EQ(view_.ShowMenu(1, entries), -1);
  EXPECT_TRUE(events_.log.empty());
}

TEST_F(GuiFormViewTest, SliderEditsWhileMovedAndCommandsWhenReleased) {
  auto* slider = view_.Add(440, new QSlider(Qt::Horizontal, &page_));
  view_.SetRange(440, 50, 200, 10);
  view_.SetValue(440, 100);
  EXPECT_EQ(view_.GetValue(440), 100);
  EXPECT_TRUE(events_.Take().empty()) << "the controller's own settings";

  // Dragged: a position between the steps goes to the nearest step.
  slider->setSliderDown(true);
  slider->setValue(127);
  EXPECT_EQ(slider->value(), 130);
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"edited 440"});
  slider->setSliderDown(false);
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"command 440"});

  // A key moves one step and ends at once.
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_EQ(view_.GetValue(440), 140);
  EXPECT_EQ(events_.Take(), (std::vector<std::string>{"edited 440", "command 440"}));

  auto* bar = view_.Add(1041, new QProgressBar(&page_));
  view_.SetRange(1041, 0, 100, 1);
  view_.SetValue(1041, 42);
  EXPECT_EQ(bar->value(), 42);
  EXPECT_EQ(view_.GetValue(1041), 42);
  EXPECT_TRUE(events_.Take().empty());
}

TEST_F(GuiFormViewTest, DateFieldsTakeIsoTextShowDayFirstAndCanBeEmpty) {
  auto* date = view_.Add(425, new gui::DateField(&page_));
  EXPECT_EQ(view_.GetText(425), "") << "no date at first";
  EXPECT_TRUE(date->text().trimmed().isEmpty());

  view_.SetText(425, "2024-05-07");
  EXPECT_EQ(date->text(), "7.5.2024");
  EXPECT_EQ(view_.GetText(425), "2024-05-07");
  view_.SetText(425, "2023-12-31 23:59:59");
  EXPECT_EQ(view_.GetText(425), "2023-12-31");
  view_.SetText(425, "");
  EXPECT_EQ(view_.GetText(425), "");
  EXPECT_TRUE(date->text().trimmed().isEmpty());
  view_.SetText(425, "no date at all");
  EXPECT_EQ(view_.GetText(425), "");
  EXPECT_TRUE(events_.Take().empty());

  date->setDate(QDate(2022, 8, 1));  // as the user's calendar choice
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"edited 425"});
  EXPECT_EQ(view_.GetText(425), "2022-08-01");

  // A step on a blank field starts from today, not from the stand-in for "no date".
  view_.SetText(425, "");
  date->stepBy(1);
  EXPECT_EQ(view_.GetText(425), QDate::currentDate().toString("yyyy-MM-dd").toStdString());
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"edited 425"});
}

TEST_F(GuiFormViewTest, TextColourIsSetAndResetToTheControlsOwn) {
  auto* counts = view_.Add(438, new QLabel("1001/1001", &page_));
  const QColor own = counts->palette().color(QPalette::WindowText);
  view_.SetTextColour(438, 0xC01C28);
  EXPECT_EQ(counts->palette().color(QPalette::WindowText), QColor(0xC0, 0x1C, 0x28));
  view_.SetTextColour(438, 0x00FF00);
  view_.SetTextColour(438, kDefaultTextColour);
  EXPECT_EQ(counts->palette().color(QPalette::WindowText), own);
}

TEST_F(GuiFormViewTest, PicturesComeFromTheModelsImagesUpright) {
  const QImage colour = gui::ImageToQt(*TwoColourImage(4, 3));
  ASSERT_EQ(colour.size(), QSize(4, 3));
  EXPECT_EQ(colour.pixelColor(0, 0), QColor(255, 0, 0)) << "the top line comes first";
  EXPECT_EQ(colour.pixelColor(3, 2), QColor(0, 0, 255));

  fipImage grey(FIT_BITMAP, 2, 2, 8);  // a grey palette
  BYTE level = 200;
  for (unsigned y = 0; y < 2; ++y) {
    for (unsigned x = 0; x < 2; ++x) grey.setPixelIndex(x, y, &level);
  }
  EXPECT_EQ(gui::ImageToQt(grey).pixelColor(1, 1), QColor(200, 200, 200));
  EXPECT_TRUE(gui::ImageToQt(fipImage()).isNull());

  auto* picture = view_.Add(1045, new gui::PictureView(&page_));
  picture->SetSide(100);
  view_.SetPicture(1045, TwoColourImage(200, 100));
  ASSERT_FALSE(picture->Image().isNull());
  // Fitted into the square inside its frame, keeping the aspect, centred.
  EXPECT_EQ(picture->PictureRect().width(), 98);
  EXPECT_EQ(picture->PictureRect().height(), 49);
  EXPECT_EQ(picture->PictureRect().center().y(), 49);
  const QImage shot = picture->grab().toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::black)) << "framed";
  EXPECT_EQ(shot.pixelColor(50, 10), QColor(Qt::white)) << "white around the picture";
  EXPECT_EQ(shot.pixelColor(50, 50), QColor(0, 0, 255));
  view_.SetPicture(1045, nullptr);
  EXPECT_TRUE(picture->Image().isNull());
  const QImage empty = picture->grab().toImage();
  EXPECT_EQ(empty.pixelColor(0, 50), QColor(Qt::black)) << "only the frame";
  EXPECT_NE(empty.pixelColor(50, 50), QColor(Qt::white));

  view_.CopyToClipboard("https://demo.zerva.localhost:8380/trip/");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "https://demo.zerva.localhost:8380/trip/");

  auto* list = view_.Add(442, new gui::ThumbnailListWidget(&page_));
  EXPECT_EQ(view_.ThumbnailList(442), static_cast<ThumbsListView*>(list));
  EXPECT_EQ(view_.ThumbnailList(1045), nullptr);
}

TEST_F(GuiFormViewTest, PopupOpensUnderItsAnchorAndReportsOnlyTheUsersClose) {
  auto* anchor = view_.Add(409, new QPushButton("Public", &page_));
  auto* elsewhere = new QLabel("elsewhere", &page_);
  elsewhere->move(10, 200);
  page_.resize(400, 300);
  page_.show();
  auto* popup = view_.Add(410, new gui::PopupFrame(&page_));
  popup->SetAnchor(anchor);
  auto* hidden = view_.Add(411, new QCheckBox("Hidden album", popup));
  view_.Add(414, new QLineEdit(popup));
  view_.Show(410, true);
  ASSERT_TRUE(popup->isVisible());
  EXPECT_EQ(popup->pos(), anchor->mapToGlobal(QPoint(0, anchor->height())));
  view_.Show(410, false);
  EXPECT_TRUE(events_.Take().empty()) << "closed by the controller";

  // Esc in one of its fields.
  view_.Show(410, true);
  QTest::keyClick(view_.Widget(414), Qt::Key_Escape);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"command 410"});

  // A question asked while it is open (a click on its box) leaves it open.
  view_.Show(410, true);
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
  });
  QMessageBox question(QMessageBox::Question, "zerva", "Remove the categories?",
                       QMessageBox::Yes | QMessageBox::No, &page_);
  QTest::mouseClick(hidden, Qt::LeftButton, Qt::NoModifier, QPoint(5, hidden->height() / 2));
  EXPECT_EQ(question.exec(), QMessageBox::No);
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(events_.Take(), std::vector<std::string>{"edited 411"});

  // A click elsewhere in the window closes it; a click on the anchor only closes it.
  QTest::mouseClick(elsewhere, Qt::LeftButton);
  EXPECT_FALSE(popup->isVisible());
  view_.Show(410, true);
  QTest::mouseClick(anchor, Qt::LeftButton);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(events_.Take(), (std::vector<std::string>{"command 410", "command 410"}))
      << "the anchor's own click is not passed on";
}

TEST_F(GuiFormViewTest, DescriptionGrowsFromTwoToEightLinesThenScrolls) {
  gui::GrowingTextEdit desc(nullptr, 2, 8);
  desc.resize(300, desc.height());
  desc.show();
  EXPECT_EQ(desc.ShownLines(), 2);
  const int twoLines = desc.height();
  desc.setPlainText("one\ntwo\nthree\nfour\nfive");
  EXPECT_EQ(desc.ShownLines(), 5);
  EXPECT_GT(desc.height(), twoLines);
  EXPECT_EQ(desc.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  const int fiveLines = desc.height();
  desc.setPlainText(QString("line\n").repeated(11) + "last");
  EXPECT_EQ(desc.ShownLines(), 8);
  EXPECT_GT(desc.height(), fiveLines);
  EXPECT_EQ(desc.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  // A long paragraph counts its wrapped lines.
  desc.setPlainText(QString("word ").repeated(60));
  EXPECT_GT(desc.TextLines(), 2);
}

TEST_F(GuiFormViewTest, PopupMenuShowsChecksAndSeparatorsAndKeepsAnEntryWhoseCommandFailed) {
  view_.Add(1132, new QToolButton(&page_));
  page_.show();
  PopupMenu contents;
  contents.items = {"All", "ann@example.com", "bob@example.org"};
  contents.checked = {false, true};
  contents.separatorsAfter = {0};
  std::vector<size_t> asked;
  bool succeeds = false;
  contents.contextText = [](size_t index) {
    return index == 0 ? std::string() : "Remove " + std::to_string(index);
  };
  contents.onContext = [&](size_t index) {
    asked.push_back(index);
    return succeeds;
  };
  // A right click on the entry, its context menu answered by choosing its command.
  const auto removeThrough = [](QMenu* popup, QAction* entry, const QString& expected) {
    QTimer::singleShot(0, [expected] {
      auto* context = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(context, nullptr);
      ASSERT_EQ(context->actions().size(), 1);
      EXPECT_EQ(context->actions()[0]->text(), expected);
      context->setActiveAction(context->actions()[0]);
      QTest::keyClick(context, Qt::Key_Return);
    });
    QTest::mouseClick(popup, Qt::RightButton, Qt::NoModifier,
                      popup->actionGeometry(entry).center());
  };
  WhenMenuOpens([&](QMenu* popup) {
    QList<QAction*> actions = popup->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[3]->isChecked()) << "no mark beyond the marks given";
    // The separator offers nothing.
    QTest::mouseClick(popup, Qt::RightButton, Qt::NoModifier,
                      popup->actionGeometry(actions[1]).center());
    EXPECT_TRUE(asked.empty());
    removeThrough(popup, actions[2], "Remove 1");
    EXPECT_EQ(asked, std::vector<size_t>{1});
    EXPECT_EQ(popup->actions().size(), 4) << "a failed removal keeps the entry";
    succeeds = true;
    removeThrough(popup, actions[3], "Remove 2");
    EXPECT_EQ(asked, (std::vector<size_t>{1, 2}));
    EXPECT_EQ(popup->actions().size(), 3);
    popup->setActiveAction(actions[2]);
    QTest::keyClick(popup, Qt::Key_Return);
  });
  EXPECT_EQ(view_.ShowPopupMenu(1132, contents), 1);
}

TEST_F(GuiFormViewTest, AButtonShowsAPictureAsItsIconWithinItsLargestSize) {
  auto* banner = view_.Add(1113, new QToolButton(&page_));
  view_.SetPicture(1113, TwoColourImage(468, 60));
  EXPECT_FALSE(banner->icon().isNull());
  EXPECT_EQ(banner->iconSize(), QSize(468, 60));
  auto* preview = view_.Add(1103, new QToolButton(&page_));
  preview->setMaximumSize(200, 100);
  view_.SetPicture(1103, TwoColourImage(468, 60));
  EXPECT_EQ(preview->iconSize(), QSize(192, 24)) << "kept its aspect inside the button";
  view_.SetPicture(1103, nullptr);
  EXPECT_TRUE(preview->icon().isNull());
}

}  // namespace
}  // namespace zerva::test
