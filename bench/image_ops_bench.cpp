// Photo preparation with zerva's image functions: a 6000 x 4000 camera JPEG becomes a 1200 px
// image of quality 85 and a 100 px thumbnail, as the preparation job makes them.
//
//   build/release/bin/image_ops_bench                          the stages one by one
//   build/release/bin/image_ops_bench --make-photos DIR COUNT  noisy 6000 x 4000 JPEGs, 9-12 MB
//   build/release/bin/image_ops_bench --prepare OUTDIR FILES   prepare files (for timing tools)
//
// The stage benchmarks use the photo named by ZERVA_BENCH_PHOTO, else one they make first.
// bench/prepare-compare.sh times --prepare beside vipsthumbnail and ImageMagick.
#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "media/bitmap.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_save.h"
#include "media/jpeg_fit_load.h"
#include "noisy_photo.h"
#include "platform/fs.h"

namespace {

using namespace zerva;

constexpr int kWidth = 6000, kHeight = 4000;
constexpr int kImageSize = 1200, kThumbSize = 100, kQuality = 85;

// Smooth colour fields under strong per-pixel noise: the noise is what makes camera files of
// this size weigh 9 to 12 MB at quality 90, and what makes them slow to decode.
bool MakePhoto(const std::string& path, unsigned seed) {
  return bench::SaveNoisyPhoto(path, kWidth, kHeight, seed, 25 + static_cast<int>(seed % 5), 90);
}

// The preparation of one photo: decoded at a reduced scale, Lanczos-3 into 1200 px, saved; the
// thumbnail from that image with the box filter, saved.
bool PreparePhoto(const std::string& source, const std::string& imagePath,
                  const std::string& thumbPath, std::string* error) {
  Bitmap image = LoadForFit(source, kImageSize, nullptr, error);
  if (image == nullptr || !FitBitmap(image, kImageSize, ResampleFilter::kLanczos3) ||
      !SaveJpeg(image.get(), imagePath, kQuality, error)) {
    return false;
  }
  const Bitmap thumbnail = MakeThumbnail(image.get(), kThumbSize);
  return thumbnail != nullptr && SaveJpeg(thumbnail.get(), thumbPath, kQuality, error);
}

const std::string& BenchPhoto() {
  static const std::string path = [] {
    if (const char* given = std::getenv("ZERVA_BENCH_PHOTO")) return std::string(given);
    const std::string made = std::filesystem::temp_directory_path() / "zerva_bench_photo.jpg";
    if (!FileExists(made) && !MakePhoto(made, 1)) std::abort();
    return made;
  }();
  return path;
}

std::string OutPath(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("zerva_bench_" + name);
}

void BM_LoadWhole(benchmark::State& state) {
  const std::string& photo = BenchPhoto();  // made before the clock runs
  for (auto _ : state) {
    Bitmap image = LoadImageFile(photo, JPEG_ACCURATE);
    if (image == nullptr) state.SkipWithError("load failed");
  }
}

void BM_LoadForFit(benchmark::State& state) {
  const std::string& photo = BenchPhoto();
  for (auto _ : state) {
    Bitmap image = LoadForFit(photo, kImageSize);
    if (image == nullptr) state.SkipWithError("load failed");
  }
}

void BM_FitLanczos3(benchmark::State& state) {
  const Bitmap loaded = LoadForFit(BenchPhoto(), kImageSize);
  for (auto _ : state) {
    Bitmap image = CloneBitmap(loaded.get());
    if (!FitBitmap(image, kImageSize, ResampleFilter::kLanczos3)) state.SkipWithError("fit");
  }
}

void BM_SaveImage(benchmark::State& state) {
  Bitmap image = LoadForFit(BenchPhoto(), kImageSize);
  FitBitmap(image, kImageSize, ResampleFilter::kLanczos3);
  const std::string path = OutPath("image.jpg");
  for (auto _ : state) {
    if (!SaveJpeg(image.get(), path, kQuality)) state.SkipWithError("save failed");
  }
}

void BM_Thumbnail(benchmark::State& state) {
  Bitmap image = LoadForFit(BenchPhoto(), kImageSize);
  FitBitmap(image, kImageSize, ResampleFilter::kLanczos3);
  const std::string path = OutPath("thumb.jpg");
  for (auto _ : state) {
    const Bitmap thumbnail = MakeThumbnail(image.get(), kThumbSize);
    if (!SaveJpeg(thumbnail.get(), path, kQuality)) state.SkipWithError("save failed");
  }
}

void BM_PreparePhoto(benchmark::State& state) {
  const std::string& photo = BenchPhoto();
  const std::string image = OutPath("image.jpg"), thumb = OutPath("thumb.jpg");
  for (auto _ : state) {
    std::string error;
    if (!PreparePhoto(photo, image, thumb, &error)) state.SkipWithError(error.c_str());
  }
}

BENCHMARK(BM_LoadWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadForFit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitLanczos3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreparePhoto)->Unit(benchmark::kMillisecond);

int MakePhotos(const std::string& folder, int count) {
  std::string error;
  if (count < 1 || !CreateDirectoryPath(folder, &error)) {
    std::fprintf(stderr, "--make-photos: %s\n", error.empty() ? "bad count" : error.c_str());
    return 2;
  }
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "photo%02d.jpg", i + 1);
    const std::string path = WithTrailingSlash(folder) + name;
    if (!MakePhoto(path, static_cast<unsigned>(i + 1))) {
      std::fprintf(stderr, "--make-photos: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s %.1f MB\n", path.c_str(), FileSize(path) / 1e6);
  }
  return 0;
}

int PrepareFiles(const std::string& folder, int count, char** files) {
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    const std::string name = std::filesystem::path(files[i]).filename();
    std::string error;
    if (!PreparePhoto(files[i], WithTrailingSlash(folder) + name,
                      WithTrailingSlash(folder) + "thumb_" + name, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace

// Our own main: the two tool modes, else Google Benchmark as usual.
int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--make-photos") == 0) {
    return MakePhotos(argv[2], std::atoi(argv[3]));
  }
  if (argc >= 3 && std::strcmp(argv[1], "--prepare") == 0) {
    return PrepareFiles(argv[2], argc - 3, argv + 3);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
