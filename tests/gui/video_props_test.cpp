// The video properties dialog's window on a real small video: the preview frame arrives while the
// window runs, the sliders and their times follow the trim rules, Enter is OK and Esc Cancel,
// and the tab order follows the layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "core/media/video_fixtures.h"
#include "gui/qt_ui_thread.h"
#include "gui/video_props_dialog.h"
#include "lang/localization.h"
#include "lang/text.h"
#include "media/video_probe.h"
#include "model/zerva_video.h"
#include "ui/video_props_dlg.h"

namespace zerva::test {
namespace {

using Control = VideoPropsControl;

class VideoPropsWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "C", 1);
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void SetUp() override {
    if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    ASSERT_TRUE(Probe(video_, TestVideo("h264_aac.mp4")));
  }

  // Runs the dialog; `user` plays the user once the window is up.
  bool Run(const std::function<void(gui::VideoPropsDialog&)>& user) {
    gui::QtVideoPropsView view(nullptr);
    CVideoProps dialog(video_, view, ui_, VideoPreviewSettings{});
    QTimer::singleShot(0, [&] { user(*view.Window()); });
    const bool ok = dialog.DoModal();
    EXPECT_FALSE(dialog.PreviewRunning());
    end_ = dialog.Model().End();
    return ok;
  }

  CZervaVideo video_;
  gui::QtUiThread ui_;
  double end_ = -1;  // the end the dialog closed with
};

bool HasFrame(const gui::VideoPropsDialog& window) {
  return !window.Preview()->pixmap().isNull();
}

TEST_F(VideoPropsWindowTest, TheFrameArrivesAndEnterTakesTheNewCut) {
  const bool ok = Run([](gui::VideoPropsDialog& w) {
    EXPECT_EQ(w.windowTitle().toStdString(), Text("VideoPropsDlgTitle"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasFrame(w); }, 30000)) << "the thumbnail frame";
    EXPECT_LE(w.Preview()->pixmap().width(), gui::VideoPropsDialog::kPreviewWidth);
    EXPECT_EQ(w.Slider(Control::kEnd)->maximum(), 200);
    EXPECT_EQ(w.Slider(Control::kThumbPos)->value(), 100);
    EXPECT_EQ(w.Time(Control::kThumbPos)->text(), "0:01.00");
    EXPECT_EQ(w.Length()->text(), "0:02.00");
    EXPECT_TRUE(w.FastMode()->isChecked());
    EXPECT_EQ(w.FastMode()->text().toStdString(), Text("msgFastMode"));

    w.Slider(Control::kEnd)->setValue(150);
    EXPECT_EQ(w.Time(Control::kEnd)->text(), "0:01.50");
    EXPECT_EQ(w.Length()->text(), "0:01.50");
    w.Slider(Control::kBegin)->setValue(190);
    EXPECT_EQ(w.Slider(Control::kBegin)->value(), 150) << "the beginning never passes the end";
    EXPECT_EQ(w.Slider(Control::kThumbPos)->value(), 150);
    w.Slider(Control::kBegin)->setValue(20);
    // The fast-mode box asks for the frame again, taken exactly.
    w.Preview()->setPixmap(QPixmap());
    w.FastMode()->click();
    EXPECT_FALSE(w.FastMode()->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return HasFrame(w); }, 30000));
    QTest::keyClick(&w, Qt::Key_Return);
  });
  EXPECT_TRUE(ok);
  EXPECT_DOUBLE_EQ(end_, 1.5);
}

TEST_F(VideoPropsWindowTest, EscCancelsWhileAFrameIsBeingMade) {
  const bool ok = Run([](gui::VideoPropsDialog& w) {
    w.Slider(Control::kThumbPos)->setValue(30);
    QTest::keyClick(&w, Qt::Key_Escape);
  });
  EXPECT_FALSE(ok);
}

TEST_F(VideoPropsWindowTest, TheTabOrderFollowsTheLayout) {
  Run([](gui::VideoPropsDialog& w) {
    std::vector<QWidget*> order;
    QWidget* start = w.Slider(Control::kBegin);
    QWidget* next = start;
    do {
      if ((next->focusPolicy() & Qt::TabFocus) != 0 && next->isVisibleTo(&w)) order.push_back(next);
      next = next->nextInFocusChain();
    } while (next != start && order.size() < 20);
    const std::vector<QWidget*> expected = {w.Slider(Control::kBegin),
                                            w.Slider(Control::kEnd),
                                            w.Slider(Control::kThumbPos),
                                            w.FastMode(),
                                            w.OkButton(),
                                            w.CancelButton()};
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(w.OkButton()->isDefault()) << "Enter is OK";
    w.reject();
  });
}

}  // namespace
}  // namespace zerva::test
