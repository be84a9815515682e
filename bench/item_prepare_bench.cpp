// Preparation through the item-level entry points, the code path of the preparation job:
//
//   build/release/bin/item_prepare_bench --prepare OUTDIR FILES...
//       PrepareFiles, one thread: a 1200 px image of quality 85 and a 100 px thumbnail per photo,
//       as `zerva-cli prepare` makes them (timed by bench/prepare-compare.sh beside vipsthumbnail
//       and ImageMagick)
//   build/release/bin/item_prepare_bench --advance THREADS TEMPDIR FILES...
//       the advance preparation of an album of FILES into the prepared-file cache on THREADS
//       threads (0: every core); prints the wall time
//   build/release/bin/item_prepare_bench [benchmark flags]
//       PrepareFiles on the photo named by ZERVA_BENCH_PHOTO, as a Google Benchmark
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "media/advance_preparation.h"
#include "media/preparation_settings.h"
#include "media/prepare_files.h"
#include "model/album.h"
#include "model/album_items.h"
#include "platform/fs.h"

namespace {

using namespace zerva;

int Prepare(const std::string& outDir, int count, char** files) {
  const std::vector<std::string> paths(files, files + count);
  int failed = 0;
  for (const PreparedFile& result : PrepareFiles(paths, outDir, PrepareFilesOptions())) {
    if (!result.ok) {
      std::fprintf(stderr, "%s: %s\n", result.source.c_str(), result.error.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

int Advance(int threads, const std::string& tempDir, int count, char** files) {
  CAlbum album;
  std::vector<std::string> rejected, reIncluded, present;
  for (int i = 0; i < count; ++i) AddFile(album, files[i], &rejected, &reIncluded, &present);
  PreparationSettings settings;
  settings.tempFolder = WithTrailingSlash(tempDir);
  AdvancePreparationOptions options;
  options.threads = threads;
  options.newAlbum = true;
  const auto start = std::chrono::steady_clock::now();
  const int done = PrepareInAdvance(album, settings, options);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d of %d photos prepared in %.3f s on %d threads\n", done, count, seconds,
              PreparationThreads(threads, count));
  return done == count ? 0 : 1;
}

void BM_PrepareFiles(benchmark::State& state) {
  const char* photo = std::getenv("ZERVA_BENCH_PHOTO");
  if (photo == nullptr || !FileExists(photo)) {
    state.SkipWithError("set ZERVA_BENCH_PHOTO to a camera JPEG");
    return;
  }
  const std::string out = std::filesystem::temp_directory_path() / "zerva_item_prepare_bench";
  for (auto _ : state) {
    const std::vector<PreparedFile> results = PrepareFiles({photo}, out, PrepareFilesOptions());
    if (results.empty() || !results[0].ok) state.SkipWithError("preparation failed");
  }
  std::filesystem::remove_all(out);
}
BENCHMARK(BM_PrepareFiles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--prepare") == 0) {
    return Prepare(argv[2], argc - 3, argv + 3);
  }
  if (argc >= 4 && std::strcmp(argv[1], "--advance") == 0) {
    return Advance(std::atoi(argv[2]), argv[3], argc - 4, argv + 4);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
