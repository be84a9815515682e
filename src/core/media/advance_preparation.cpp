#include "media/advance_preparation.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "media/make_thumb.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "model/album.h"

namespace zerva {
namespace {

bool Wanted(const CPhoto& item, const AdvancePreparationOptions& options) {
  if (options.onlyIf && !options.onlyIf(item)) return false;
  if (item.localPath.empty() || !item.localFileAvailable || item.thumbFailed) return false;
  // A video's frame is made by its own job, while the video is converted anyway.
  return !item.isVideo && !item.isHdPhoto;
}

bool PrepareOne(CPhoto& item, const PreparationSettings& settings,
                const AdvancePreparationOptions& options) {
  if (IsPreparedValid(item, options.resolution) ||
      FindPrepared(item, settings, options.resolution)) {
    return true;
  }
  return MakeThumb(item, settings, options.sizeThumb, options.resolution, options.newAlbum, true,
                   true) &&
         SavePrepared(item, settings, options.resolution, true);
}

}  // namespace

int PreparationThreads(int requested, int work) {
  int threads = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  return std::max(1, std::min(threads, work));
}

int PrepareInAdvance(CAlbum& album, const PreparationSettings& settings,
                     const AdvancePreparationOptions& options, const std::atomic<bool>* cancel) {
  std::vector<CPhoto*> items;
  for (const auto& item : album.items) {
    if (item != nullptr && Wanted(*item, options)) {
      items.push_back(item.get());
    }
  }
  std::atomic<size_t> next{0};
  std::atomic<int> done{0};
  auto work = [&] {
    for (;;) {
      if (cancel != nullptr && cancel->load()) return;
      const size_t index = next.fetch_add(1);
      if (index >= items.size()) return;
      if (PrepareOne(*items[index], settings, options)) ++done;
    }
  };
  const int threads = PreparationThreads(options.threads, static_cast<int>(items.size()));
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return done.load();
}

}  // namespace zerva
