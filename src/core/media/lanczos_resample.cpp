#include "media/lanczos_resample.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "media/standard_bitmap.h"

namespace zerva {
namespace {

constexpr double kSupport = 3.0;
// Weights are fixed-point numbers with this many fraction bits: eight bits of pixel, the sum of
// the weights' magnitudes (below 2) and the sign still fit a 32-bit accumulator.
constexpr int kPrecision = 22;
constexpr int32_t kRounding = 1 << (kPrecision - 1);

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  x *= M_PI;
  return std::sin(x) / x;
}

double Lanczos3(double x) {
  return (x > -kSupport && x < kSupport) ? Sinc(x) * Sinc(x / kSupport) : 0.0;
}

// For each output position, the first input position it reads and its weights.
struct Taps {
  std::vector<int> first;
  int count = 0;                 // weights per output position (padded with zeros)
  std::vector<int32_t> weights;  // count per output position
};

Taps ComputeTaps(int inSize, int outSize) {
  const double scale = static_cast<double>(inSize) / outSize;  // >= 1: a reduction
  const double support = kSupport * scale;
  Taps taps;
  taps.count = static_cast<int>(std::ceil(support)) * 2 + 1;
  taps.first.resize(outSize);
  taps.weights.assign(static_cast<size_t>(outSize) * taps.count, 0);
  std::vector<double> w(taps.count);
  for (int i = 0; i < outSize; ++i) {
    const double center = (i + 0.5) * scale;
    const int lo = std::max(0, static_cast<int>(center - support + 0.5));
    const int hi = std::min(inSize, static_cast<int>(center + support + 0.5));
    const int n = std::min(hi - lo, taps.count);
    double sum = 0.0;
    for (int k = 0; k < n; ++k) {
      w[k] = Lanczos3((lo + k + 0.5 - center) / scale);
      sum += w[k];
    }
    taps.first[i] = lo;
    int32_t* out = &taps.weights[static_cast<size_t>(i) * taps.count];
    for (int k = 0; k < n; ++k) {
      out[k] = static_cast<int32_t>(std::lround(w[k] / sum * (1 << kPrecision)));
    }
  }
  return taps;
}

uint8_t Clamp(int32_t sum) {
  const int32_t value = (sum + kRounding) >> kPrecision;
  return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Rows first: each output row is a weighted sum of whole input rows, a loop over contiguous
// bytes that the compiler vectorises.
void ReduceRows(FIBITMAP* in, FIBITMAP* out, const Taps& taps) {
  const int bytes = static_cast<int>(FreeImage_GetWidth(in)) * 3;
  std::vector<int32_t> sum(bytes);
  for (unsigned y = 0; y < FreeImage_GetHeight(out); ++y) {
    std::fill(sum.begin(), sum.end(), 0);
    const int32_t* w = &taps.weights[static_cast<size_t>(y) * taps.count];
    const int last =
        std::min(taps.count, static_cast<int>(FreeImage_GetHeight(in)) - taps.first[y]);
    for (int k = 0; k < last; ++k) {
      if (w[k] == 0) continue;
      const BYTE* line = FreeImage_GetScanLine(in, taps.first[y] + k);
      const int32_t weight = w[k];
      for (int x = 0; x < bytes; ++x) sum[x] += weight * line[x];
    }
    BYTE* target = FreeImage_GetScanLine(out, y);
    for (int x = 0; x < bytes; ++x) target[x] = Clamp(sum[x]);
  }
}

void ReduceColumns(FIBITMAP* in, FIBITMAP* out, const Taps& taps) {
  const int width = static_cast<int>(FreeImage_GetWidth(out));
  const int inWidth = static_cast<int>(FreeImage_GetWidth(in));
  for (unsigned y = 0; y < FreeImage_GetHeight(out); ++y) {
    const BYTE* line = FreeImage_GetScanLine(in, y);
    BYTE* target = FreeImage_GetScanLine(out, y);
    for (int x = 0; x < width; ++x) {
      const int32_t* w = &taps.weights[static_cast<size_t>(x) * taps.count];
      const int first = taps.first[x];
      const int last = std::min(taps.count, inWidth - first);
      const BYTE* pixel = line + 3 * first;
      int32_t s0 = 0, s1 = 0, s2 = 0;
      for (int k = 0; k < last; ++k, pixel += 3) {
        s0 += w[k] * pixel[0];
        s1 += w[k] * pixel[1];
        s2 += w[k] * pixel[2];
      }
      target[3 * x] = Clamp(s0);
      target[3 * x + 1] = Clamp(s1);
      target[3 * x + 2] = Clamp(s2);
    }
  }
}

Bitmap Allocate(int width, int height) {
  return Bitmap(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                   FI_RGBA_BLUE_MASK));
}

}  // namespace

Bitmap ReduceLanczos3(FIBITMAP* image, PixelSize size) {
  if (!IsStandardBitmap(image)) return {};
  const PixelSize from = BitmapSize(image);
  if (size.width < 1 || size.height < 1 || size.width > from.width || size.height > from.height) {
    return {};
  }
  // The rows are reduced in the library's bottom-up order; the filter is symmetric, so that is
  // the same picture as top-down.
  Bitmap rows = Allocate(from.width, size.height);
  Bitmap result = Allocate(size.width, size.height);
  if (rows == nullptr || result == nullptr) return {};
  ReduceRows(image, rows.get(), ComputeTaps(from.height, size.height));
  ReduceColumns(rows.get(), result.get(), ComputeTaps(from.width, size.width));
  CopyBitmapExtras(result.get(), image);
  return result;
}

}  // namespace zerva
