// The thread rules of the thumbnail list under load: the loader is stopped and started again
// many times while it works (cleared, refilled, zoomed, items turned and dragged, tiles drawn and
// selected meanwhile), and the list goes away while it works. Every stop must be in time, no
// item may be given up because of a stop, no turn may be undone, and ASan must stay quiet.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>

#include "core/media/item_fixtures.h"
#include "core/ui/thumbs_list_fixture.h"
#include "media/prepared_cache.h"
#include "model/album_items.h"
#include "platform/fs.h"
#include "ui/item_turn.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;

TEST_F(ThumbsListTest, TheLoaderStopsAndStartsSafelyWhileItWorks) {
  // Eight landscape photos, two of them stood upright by their EXIF orientation.
  const std::string lighthouse =
      ReadWholeFile(std::string(ZERVA_SOURCE_DIR) + "/resources/sample-album/lighthouse.jpg");
  for (int i = 0; i < 8; ++i) {
    const std::string name = "photo" + std::to_string(i) + ".jpg";
    if (i % 4 == 0) {
      files_.Write(name, lighthouse);
    } else {
      ASSERT_FALSE(PhotoFile(files_, name, 800, 600, 90, i).empty());
    }
  }
  ASSERT_TRUE(AddFolder(album_, files_.Path()));
  const int count = static_cast<int>(album_.items.size());
  ASSERT_EQ(count, 8);
  ThumbsLoaderOptions options;
  options.preparationThreads = 2;
  CThumbsListCtrl& list = MakeList(MakeApp(), options);
  list.Fill(&album_, true);
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(120s));
  // Each item's rotation from here on is the one the user gives it.
  std::map<const CPhoto*, int> rotation;
  for (const auto& item : album_.items) rotation[item.get()] = item->rotate;

  std::mt19937 random(14);
  for (int round = 0; round < 25; ++round) {
    ASSERT_TRUE(list.StartLoader());
    frontEnd_.loop.PumpFor(std::chrono::milliseconds(random() % 30));
    view_.DrawAll();
    const int a = static_cast<int>(random() % count);
    const int b = static_cast<int>(random() % count);
    switch (round % 5) {
      case 0:
        ASSERT_TRUE(list.ClearList()) << round;
        break;
      case 1:
        list.SetZoom(kMinZoomPercent + 10 * static_cast<int>(random() % 16));
        break;
      case 2: {
        // Any item, and one that its EXIF orientation stood upright.
        const auto lighthouse =
            std::find_if(album_.items.begin(), album_.items.end(), [&](const auto& item) {
              return item->fileName == (round % 2 != 0 ? "photo0.jpg" : "photo4.jpg");
            });
        for (const int position : {a, static_cast<int>(lighthouse - album_.items.begin())}) {
          const CPhoto* item = album_.items[static_cast<size_t>(position)].get();
          list.Execute(ThumbCommand::kTurnRight, position);
          rotation[item] = TurnedRotationCode(rotation[item], 1);
        }
        break;
      }
      case 3:
        view_.Drag(a, b);
        break;
      case 4:
        ASSERT_TRUE(list.ClearList()) << round;
        list.Fill(&album_, true);
        break;
    }
    view_.Click(b);
  }
  ASSERT_TRUE(list.StartLoader());
  ASSERT_TRUE(list.WaitForLoader(120s));
  for (const auto& item : album_.items) {
    SCOPED_TRACE(item->fileName);
    EXPECT_FALSE(item->thumbFailed);
    ASSERT_TRUE(item->thumbnail);
    EXPECT_EQ(item->rotate, rotation[item.get()]);
    // Every picture is landscape: an odd code stands it up.
    const bool upright = item->rotate % 2 != 0;
    EXPECT_EQ(item->thumbnail->getHeight() > item->thumbnail->getWidth(), upright);
    EXPECT_TRUE(IsPreparedValid(*item, 1200));
    EXPECT_EQ(item->prepared.preparedImageHeight > item->prepared.preparedImageWidth, upright);
  }
  for (int i = 0; i < count; ++i) EXPECT_EQ(Item(i).index, i + 1);

  // Gone while it works: the list waits for its loader before its members go.
  for (const auto& item : album_.items) DropPrepared(*item);
  ASSERT_TRUE(list.StartLoader());
  frontEnd_.loop.PumpFor(30ms);
  list_.reset();
}

}  // namespace
}  // namespace zerva::test
