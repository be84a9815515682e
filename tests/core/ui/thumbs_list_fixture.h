// The thumbnail list on a fake screen over an album of the test's own, with an owner window that
// records the list's notices.
#pragma once

#include <FreeImagePlus.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/ui/app_fixture.h"
#include "core/ui/page_fakes.h"
#include "media/item_image.h"
#include "model/album.h"
#include "support/temp_dir.h"
#include "ui/thumbs_list_ctrl.h"

namespace zerva::test {

// The album editor as the list sees it: a window whose messages are written down, whether they
// were sent (1079, 1080, 1084) or posted (1082, 1085 and the loader's 1084).
class NoticeRecorder : public MessageTarget {
 public:
  struct Notice {
    unsigned id = 0;
    MessageParam wParam = 0;
    MessageParam lParam = 0;
    bool sent = false;
  };

  bool Post(WindowMessage message) override {
    Record(message, false);
    return true;
  }
  MessageParam Send(WindowMessage message) override {
    Record(message, true);
    return 0;
  }
  std::vector<Notice> Notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
  }
  std::vector<unsigned> Ids() const {
    std::vector<unsigned> ids;
    for (const Notice& notice : Notices()) ids.push_back(notice.id);
    return ids;
  }
  int Count(unsigned id) const {
    int count = 0;
    for (const Notice& notice : Notices()) count += notice.id == id ? 1 : 0;
    return count;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    notices_.clear();
  }
  // Runs on the thread that posts, before the notice is written down.
  std::function<void(const WindowMessage&)> onPost;

 private:
  void Record(const WindowMessage& message, bool sent) {
    if (!sent && onPost) onPost(message);
    std::lock_guard<std::mutex> lock(mutex_);
    notices_.push_back({message.id, message.wParam, message.lParam, sent});
  }
  mutable std::mutex mutex_;
  std::vector<Notice> notices_;
};

// A w x h item picture with a different colour in every pixel, so any turn or mirror shows.
inline ImagePtr DistinctItemImage(int width, int height) {
  Bitmap image(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      RGBQUAD q{static_cast<BYTE>(x * 50), static_cast<BYTE>(y * 50),
                static_cast<BYTE>(x * 10 + y * 20), 255};
      FreeImage_SetPixelColor(image.get(), x, y, &q);
    }
  }
  return ToItemImage(std::move(image));
}

class ThumbsListTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    album_.tempFolder = files_.Path() + "tmp/";
    album_.SetMaxSizeImage(1200);
    album_.maxSizeThumb = 100;
    album_.albumID = -1;
    // The loader's date notice comes when it comes; the tests that wait for it ask for it.
    album_.manualDateInterval = true;
  }
  void TearDown() override {
    list_.reset();
    AppTest::TearDown();
  }

  // The list of the test on the application `app` (made by MakeApp or running).
  CThumbsListCtrl& MakeList(CzervaApp& app, ThumbsLoaderOptions options = {}) {
    list_ = std::make_unique<CThumbsListCtrl>(app, &view_, owner_, std::move(options));
    return *list_;
  }

  // Items without files, "p1.jpg" ..., as an album read from the service lists them.
  void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
      auto item = std::make_unique<CPhoto>();
      item->fileName = "p" + std::to_string(album_.items.size() + 1) + ".jpg";
      item->index = static_cast<int>(album_.items.size()) + 1;
      item->localFileAvailable = false;
      album_.items.push_back(std::move(item));
    }
  }
  CPhoto& Item(int position) { return *album_.items.at(static_cast<size_t>(position)); }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& item : album_.items) names.push_back(item->fileName);
    return names;
  }

  TempDir files_;
  CAlbum album_;
  FakeThumbsListView view_;
  std::shared_ptr<NoticeRecorder> owner_ = std::make_shared<NoticeRecorder>();
  std::unique_ptr<CThumbsListCtrl> list_;
};

}  // namespace zerva::test
