#include "video_props_shots.h"

#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "core/media/video_fixtures.h"
#include "gui/video_props_dialog.h"
#include "media/video_probe.h"
#include "model/zerva_video.h"
#include "ui/video_props_dlg.h"
#include "ui/zerva_app.h"

namespace zerva::test {

void ShootVideoProperties(gui::ZervaWindow& window, Shooter& shooter) {
  CZervaVideo video;
  const std::string clip = HaveFfmpeg() ? TestVideo("h264_aac.mp4") : std::string();
  if (clip.empty() || !Probe(video, clip)) {
    std::fprintf(stderr, "video properties: no test video (is ffmpeg installed?)\n");
    return;
  }
  gui::QtVideoPropsView view(&window);
  CVideoProps dialog(video, view, window.Controller().App().AppUiThread(), VideoPreviewSettings{});
  QTimer::singleShot(0, [&] {
    gui::VideoPropsDialog& shown = *view.Window();
    shown.Slider(VideoPropsControl::kBegin)->setValue(25);
    shown.Slider(VideoPropsControl::kEnd)->setValue(180);
    shown.Slider(VideoPropsControl::kThumbPos)->setValue(120);
    // The first frame, then time for the frame of the last move.
    if (!QTest::qWaitFor([&] { return dialog.PreviewsShown() >= 2; }, 30000)) {
      std::fprintf(stderr, "video properties: no preview frame came\n");
    }
    QTest::qWait(800);
    shooter.Shoot(&shown, "video-properties");
    shown.reject();
  });
  (void)dialog.DoModal();
}

}  // namespace zerva::test
