// The video properties dialog on a fake window: sliders and texts from the model, the preview
// thread with a real ffmpeg (and a broken or missing one), and what an OK does to the item and
// to the next upload.
#include "ui/video_props_dlg.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/media/video_fixtures.h"
#include "core/ui/page_test_fixture.h"
#include "media/video_probe.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/photo.h"
#include "ui/page_ids.h"
#include "ui/video_props_edit.h"

namespace zerva::test {
namespace {

using Control = VideoPropsControl;
using Clock = std::chrono::steady_clock;

// What the fake window shows; it outlives the windows the factory makes.
struct FakeScreen {
  VideoPropsEvents* events = nullptr;
  VideoPropsTexts texts;
  int maximum = -1;
  std::map<Control, int> position;
  std::map<Control, std::string> time;
  std::string length;
  bool fast = false;
  std::vector<ImagePtr> previews;
  int windows = 0;
  // Plays the user while the window is open; its result is OK (true) or Cancel.
  std::function<bool(FakeScreen&)> user;

  void Move(Control control, int to) { events->OnSliderMoved(control, to); }
};

class FakeVideoPropsView : public VideoPropsView {
 public:
  explicit FakeVideoPropsView(FakeScreen& screen) : screen_(screen) { ++screen_.windows; }
  void SetEvents(VideoPropsEvents* events) override { screen_.events = events; }
  void SetTexts(const VideoPropsTexts& texts) override { screen_.texts = texts; }
  void SetSliderRange(int maximum) override { screen_.maximum = maximum; }
  void SetSlider(Control control, int position, const std::string& time) override {
    screen_.position[control] = position;
    screen_.time[control] = time;
  }
  void SetLength(const std::string& text) override { screen_.length = text; }
  void SetFastMode(bool checked) override { screen_.fast = checked; }
  void SetPreview(const ImagePtr& frame) override { screen_.previews.push_back(frame); }
  bool RunModal() override { return screen_.user ? screen_.user(screen_) : false; }

 private:
  FakeScreen& screen_;
};

CZervaVideo Twenty(const std::string& path = "/nowhere/clip.mp4") {
  CZervaVideo video;
  video.sourcePath = path;
  video.durationSrc = video.duration = 20.0;
  video.end = 20.0;
  video.thumbpos = 10.0;
  video.widthSrc = 320;
  video.heightSrc = 240;
  return video;
}

class VideoPropsDlgTest : public PageTest {
 protected:
  // Delivers the posted frames until `done` holds (at most 30 s).
  bool PumpUntil(const std::function<bool()>& done) {
    return frontEnd_.loop.RunUntil(done, std::chrono::seconds(30));
  }
  // The dialog on `video` with the fake window; `user` plays the user.
  bool Show(const CZervaVideo& video, const std::function<bool(FakeScreen&)>& user,
            CVideoProps** seen = nullptr) {
    screen_.user = user;
    FakeVideoPropsView view(screen_);
    CVideoProps dialog(video, view, frontEnd_.ui, VideoPreviewSettings{});
    if (seen != nullptr) *seen = &dialog;
    const bool ok = dialog.DoModal();
    EXPECT_FALSE(dialog.PreviewRunning()) << "the preview thread ends with the window";
    if (seen != nullptr) *seen = nullptr;
    return ok;
  }

  FakeScreen screen_;
  TempDir tools_;
};

TEST_F(VideoPropsDlgTest, SlidersShowTheRecordAndFollowTheRangeRules) {
  MakeApp();
  const PathPrefix none(tools_.Path());
  WriteScript(tools_.File("ffmpeg"), "exit 1");
  const bool ok = Show(Twenty(), [](FakeScreen& s) {
    EXPECT_EQ(s.maximum, 2000);
    EXPECT_EQ(s.position[Control::kBegin], 0);
    EXPECT_EQ(s.position[Control::kEnd], 2000);
    EXPECT_EQ(s.position[Control::kThumbPos], 1000);
    EXPECT_EQ(s.time[Control::kEnd], "0:20.00");
    EXPECT_EQ(s.time[Control::kThumbPos], "0:10.00");
    EXPECT_EQ(s.length, "0:20.00");
    EXPECT_TRUE(s.fast) << "fast mode is checked at first";
    EXPECT_FALSE(s.texts.fastMode.empty());
    EXPECT_FALSE(s.texts.ok.empty());

    s.Move(Control::kBegin, 1234);  // past the thumbnail: it comes along
    EXPECT_EQ(s.position[Control::kThumbPos], 1234);
    EXPECT_EQ(s.time[Control::kBegin], "0:12.34");
    EXPECT_EQ(s.length, "0:07.66");
    s.Move(Control::kEnd, 500);  // before begin: held at begin
    EXPECT_EQ(s.position[Control::kEnd], 1234);
    EXPECT_EQ(s.length, "0:00.00");
    s.Move(Control::kEnd, 1500);
    s.Move(Control::kBegin, 1900);  // begin never passes end
    EXPECT_EQ(s.position[Control::kBegin], 1500);
    EXPECT_EQ(s.position[Control::kThumbPos], 1500);
    s.Move(Control::kThumbPos, 100);
    EXPECT_EQ(s.position[Control::kThumbPos], 1500) << "the thumbnail stays within the cut";
    s.Move(Control::kBegin, 0);
    s.Move(Control::kEnd, 99999);
    EXPECT_EQ(s.position[Control::kEnd], 2000);
    EXPECT_EQ(s.time[Control::kEnd], "0:20.00");
    return false;
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(screen_.events, nullptr) << "a closed window reaches the dialog no more";
}

TEST_F(VideoPropsDlgTest, ThePreviewComesFromFfmpegWithoutHoldingTheWindow) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  MakeApp();
  CZervaVideo video;
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  ASSERT_TRUE(Probe(video, clip));
  Show(video, [&](FakeScreen& s) {
    EXPECT_TRUE(PumpUntil([&] { return !s.previews.empty(); }));
    EXPECT_EQ(s.previews.size(), 1u) << "the frame at the thumbnail position";
    if (s.previews.empty() || s.previews[0] == nullptr) {
      ADD_FAILURE() << "no frame";
      return false;
    }
    EXPECT_EQ(s.previews[0]->getWidth(), 320u);
    EXPECT_EQ(s.previews[0]->getHeight(), 240u);

    // Twenty moves in a row: none waits for ffmpeg, and only the newest frames are made.
    const auto started = Clock::now();
    for (int i = 1; i <= 20; ++i) s.Move(Control::kThumbPos, 5 * i);
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(200));
    EXPECT_EQ(s.previews.size(), 1u) << "frames arrive only as messages";
    EXPECT_TRUE(PumpUntil([&] { return s.previews.size() >= 2; }));
    frontEnd_.loop.PumpFor(std::chrono::milliseconds(1500));
    EXPECT_LE(s.previews.size(), 3u) << "requests not taken yet give way to the newest";
    EXPECT_NE(s.previews.back(), nullptr);

    s.events->OnFastModeChanged(false);  // the exact frame of the same position
    const size_t before = s.previews.size();
    EXPECT_TRUE(PumpUntil([&] { return s.previews.size() > before; }));
    EXPECT_NE(s.previews.back(), nullptr);
    return true;
  });
}

TEST_F(VideoPropsDlgTest, ClosingStopsAPreviewThatIsStillBeingMade) {
  MakeApp();
  const PathPrefix slow(tools_.Path());
  WriteScript(tools_.File("ffmpeg"), "exec sleep 30");
  Clock::time_point closed;
  const auto started = Clock::now();
  Show(Twenty(), [&](FakeScreen& s) {
    s.Move(Control::kBegin, 300);
    frontEnd_.loop.PumpFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(s.previews.empty());
    closed = Clock::now();
    return false;
  });
  EXPECT_LT(Clock::now() - closed, std::chrono::seconds(3)) << "ffmpeg is not waited for";
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(10));
  frontEnd_.loop.PumpFor(std::chrono::milliseconds(200));
  EXPECT_TRUE(screen_.previews.empty()) << "no frame after the window closed";
}

TEST_F(VideoPropsDlgTest, OddOrMissingFfmpegGivesNoPreviewButTheDialogWorks) {
  MakeApp();
  for (const std::string& body :
       {std::string("echo 'Segmentation fault: \\x00\\xff'; exit 0"),
        std::string("echo frame > \"$(eval echo \\${$#})\"; exit 0"), std::string()}) {
    SCOPED_TRACE(body);
    TempDir tools;
    const PathPrefix fake(tools.Path());
    // No script: no ffmpeg anywhere on the search path.
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath != nullptr ? oldPath : "";
    if (body.empty()) ::setenv("PATH", tools.Path().c_str(), 1);
    if (!body.empty()) WriteScript(tools.File("ffmpeg"), body);
    screen_ = FakeScreen();
    CVideoProps* dialog = nullptr;
    const bool ok = Show(
        Twenty(),
        [&](FakeScreen& s) {
          EXPECT_TRUE(PumpUntil([&] { return !s.previews.empty(); }));
          EXPECT_EQ(s.previews.back(), nullptr) << "no picture: the \"no preview\" text";
          s.Move(Control::kEnd, 1800);
          EXPECT_TRUE(PumpUntil([&] { return s.previews.size() >= 2; }));
          EXPECT_EQ(s.previews.back(), nullptr);
          EXPECT_DOUBLE_EQ(dialog->Model().End(), 18.0);
          return true;
        },
        &dialog);
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_TRUE(ok);
  }
}

// --- The entry point on an album item ---

class EditVideoTest : public VideoPropsDlgTest {
 protected:
  // A probed video item of the current album.
  CPhoto& AddClip(CzervaApp& app) {
    CAlbum& album = app.CurrentAlbum();
    auto item = std::make_unique<CPhoto>();
    item->isVideo = true;
    item->localPath = TestVideo("h264_aac.mp4");
    item->fileName = "clip.mp4";
    EXPECT_TRUE(Probe(item->video, item->localPath));
    item->video.sourcePath.clear();  // as rebuilt from the album XML
    album.items.push_back(std::move(item));
    album.tempFolder = folder_.Path();
    return *album.items.back();
  }
  void UseFakeWindows(CzervaApp& app) {
    app.SetVideoPropsViews([this] { return std::make_unique<FakeVideoPropsView>(screen_); });
  }

  TempDir folder_;
};

TEST_F(EditVideoTest, NothingIsShownWithoutAWindowOrAFileAndCancelChangesNothing) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  CzervaApp& app = MakeApp();
  CPhoto& clip = AddClip(app);
  const std::string before = clip.video.WriteVideoXml();
  EXPECT_FALSE(EditVideoProperties(app, clip)) << "no window factory";

  UseFakeWindows(app);
  screen_.user = [](FakeScreen& s) {
    s.Move(Control::kBegin, 50);
    s.Move(Control::kThumbPos, 150);
    return false;
  };
  EXPECT_FALSE(EditVideoProperties(app, clip));
  EXPECT_EQ(screen_.windows, 1);
  EXPECT_EQ(clip.video.WriteVideoXml(), before);
  EXPECT_FALSE(clip.video.videoChanged || clip.video.thumbPosChanged);
  EXPECT_FALSE(clip.needsUpload || clip.edited || app.CurrentAlbum().modified);

  screen_.user = [](FakeScreen&) { return true; };  // OK without a change
  EXPECT_FALSE(EditVideoProperties(app, clip));
  EXPECT_FALSE(clip.needsUpload || app.CurrentAlbum().modified);

  clip.localFileAvailable = false;  // nothing to cut or to take frames from
  EXPECT_FALSE(EditVideoProperties(app, clip));
  EXPECT_EQ(screen_.windows, 2);
}

TEST_F(EditVideoTest, ANewCutMarksTheVideoForConversion) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  CzervaApp& app = MakeApp();
  CPhoto& clip = AddClip(app);
  UseFakeWindows(app);
  screen_.user = [](FakeScreen& s) {
    s.Move(Control::kEnd, 150);
    return true;
  };
  ASSERT_TRUE(EditVideoProperties(app, clip));
  EXPECT_DOUBLE_EQ(clip.video.end, 1.5);
  EXPECT_DOUBLE_EQ(clip.video.duration, 1.5);
  EXPECT_TRUE(clip.video.videoChanged);
  EXPECT_FALSE(clip.video.thumbPosChanged) << "the thumbnail at 1.0 s stays inside the cut";
  EXPECT_TRUE(clip.needsUpload) << "a changed video is sent again";
  EXPECT_TRUE(clip.edited);
  EXPECT_TRUE(app.CurrentAlbum().modified);
}

TEST_F(EditVideoTest, ANewThumbnailPositionRemakesTheThumbnail) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  CzervaApp& app = MakeApp();
  CPhoto& clip = AddClip(app);
  UseFakeWindows(app);
  screen_.user = [](FakeScreen& s) {
    s.Move(Control::kThumbPos, 40);
    return true;
  };
  ASSERT_TRUE(EditVideoProperties(app, clip));
  EXPECT_DOUBLE_EQ(clip.video.thumbpos, 0.4);
  EXPECT_TRUE(clip.video.thumbPosChanged);
  EXPECT_FALSE(clip.video.videoChanged) << "the cut is the same: no conversion";
  EXPECT_TRUE(clip.needsUpload);
  ASSERT_NE(clip.thumbnail, nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder_.File("thumb/clip.jpg")))
      << "the frame files the upload sends";
}

TEST_F(EditVideoTest, OnlyTheThumbnailPositionOfAnUploadedVideoIsSent) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
  const std::string user = NewAccount();
  TempDir photos;
  std::filesystem::copy_file(TestVideo("h264_aac.mp4"), photos.File("clip.mp4"));
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user, "secret");
    app.Session().SetUploadDelayMs(0);
    CAlbum& album = app.CurrentAlbum();
    album.Clear();
    album.ownerName = app.Session().Name();
    album.tempFolder = app.Session().UserFolder();
    ASSERT_TRUE(AddFolder(album, photos.Path()));
    ASSERT_EQ(album.items.size(), 1u);
    ASSERT_TRUE(album.items[0]->isVideo);
    album.localPath = photos.Path();
    album.name = "Clips";
    album.serverDir = "clips";
    album.albumID = -1;
    album.modified = true;
    auto upload = [&] {
      ASSERT_TRUE(window.dlg.GoTo(kCopyPage, nullptr));
      const bool left = frontEnd_.loop.RunUntil([&] { return window.Current() != kCopyPage; },
                                                std::chrono::seconds(60));
      if (!left) {
        for (const auto& message : Replies().Messages()) ADD_FAILURE() << message.text;
      }
      ASSERT_TRUE(left) << window.Current();
      EXPECT_EQ(window.Current(), kPostCopyPage);
    };
    upload();
    ASSERT_FALSE(Server().LogOf("EndVideoUpload").empty());

    // The album's items as the editor opens it again: the records come from the service.
    const SessionCredentials credentials = app.Session().Credentials();
    ASSERT_GT(album.albumID, 0);
    ASSERT_GE(album.LoadFromServer(*app.MainConnection(), app.AppDialogs(), album.albumID,
                                   credentials.name, credentials.passwordDigest,
                                   app.Session().UserId(), nullptr),
              1);
    ASSERT_EQ(album.items.size(), 1u);
    CPhoto& clip = *album.items[0];
    ASSERT_GT(clip.photoID, 0);
    ASSERT_FALSE(clip.video.videoChanged);

    UseFakeWindows(app);
    screen_.user = [](FakeScreen& s) {
      s.Move(Control::kThumbPos, 150);
      return true;
    };
    ASSERT_TRUE(EditVideoProperties(app, clip));
    ASSERT_TRUE(Server().ClearLog());
    upload();
    std::vector<std::string> videoCalls;
    const std::vector<LoggedRequest> log = Server().Log();
    for (const LoggedRequest& request : log) {
      const std::string command = request.Command();
      if (command.find("Video") != std::string::npos) videoCalls.push_back(command);
    }
    EXPECT_EQ(videoCalls, std::vector<std::string>{"SetVideoThumbPos"});
    const std::vector<LoggedRequest> set = Server().LogOf("SetVideoThumbPos");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].Field("thumbPos"), "1.5");
    EXPECT_EQ(set[0].Field("photoID"), std::to_string(clip.photoID));
  });
}

}  // namespace
}  // namespace zerva::test
