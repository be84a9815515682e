// HEIC photos through the preparation code, for bench/heic-prepare.sh:
//
//   build/release/bin/heic_prepare_bench --make-jpeg PATH SEED
//       a noisy 4000 x 3000 camera-like JPEG (12 megapixels), for heif-enc to turn into a HEIC
//   build/release/bin/heic_prepare_bench --prepare OUTDIR FILES...
//       each photo as an upload prepares an HD photo: EXIF read, the camera's turn taken, the HD
//       image at full size, the 1200 px image and the 100 px thumbnail (qualities 85)
//   build/release/bin/heic_prepare_bench [benchmark flags]
//       the same preparation of the HEIC named by ZERVA_BENCH_HEIC, as a Google Benchmark
#include <FreeImage.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "media/bitmap.h"
#include "media/make_image.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "model/exif_block.h"
#include "model/exif_reader.h"
#include "model/photo.h"
#include "noisy_photo.h"
#include "platform/fs.h"

namespace {

using namespace zerva;

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kImageSize = 1200;

// Smooth colour fields under moderate noise, like a phone photo of an evenly lit scene.
bool MakeJpeg(const std::string& path, unsigned seed) {
  return bench::SaveNoisyPhoto(path, kWidth, kHeight, seed, 8, 92);
}

bool PrepareHeic(const std::string& source, const std::string& outDir, std::string* error) {
  CPhoto item;
  item.localPath = source;
  item.fileName = std::filesystem::path(source).stem().string() + ".jpg";
  item.isHdPhoto = true;
  ReadExif(item, 100, kImageSize, false, {});
  if (item.exifRead && item.exifInfo.orientation > 1) {
    item.rotate = RotationCodeFromOrientation(item.exifInfo.orientation);
  }
  PreparationSettings settings;
  settings.tempFolder = WithTrailingSlash(outDir);
  MakeImageInputs in;
  in.sourcePath = source;
  in.imagePath = UploadFilePath(outDir, kImagesDir, item.fileName);
  in.thumbPath = UploadFilePath(outDir, kThumbDir, item.fileName);
  in.hdPath = UploadFilePath(outDir, kHdImagesDir, item.fileName);
  in.patchPath = UploadFilePath(outDir, kDiffDir, item.fileName);
  in.sizeImage = kImageSize;
  return MakeImageFiles(item, in, settings, nullptr, error);
}

int PrepareAll(const std::string& outDir, int count, char** files) {
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    std::string error;
    if (!PrepareHeic(files[i], outDir, &error)) {
      std::fprintf(stderr, "%s: %s\n", files[i], error.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

void BM_PrepareHeic(benchmark::State& state) {
  const char* heic = std::getenv("ZERVA_BENCH_HEIC");
  if (heic == nullptr || !FileExists(heic)) {
    state.SkipWithError("set ZERVA_BENCH_HEIC to a HEIC photo (bench/heic-prepare.sh makes one)");
    return;
  }
  const std::string out = std::filesystem::temp_directory_path() / "zerva_heic_prepare_bench";
  for (auto _ : state) {
    std::string error;
    if (!PrepareHeic(heic, out, &error)) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove_all(out);
}
BENCHMARK(BM_PrepareHeic)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--make-jpeg") == 0) {
    return MakeJpeg(argv[2], static_cast<unsigned>(std::atoi(argv[3]))) ? 0 : 1;
  }
  if (argc >= 3 && std::strcmp(argv[1], "--prepare") == 0) {
    return PrepareAll(argv[2], argc - 3, argv + 3);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
