#include "server/images.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zerva::server {
namespace {

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

using Bitmap = std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)>;

Bitmap Allocate(int width, int height, int bpp) {
  return Bitmap(FreeImage_Allocate(width, height, bpp), &FreeImage_Unload);
}

// Rows counted from the top, as one draws; FreeImage stores them bottom-up.
BYTE* Row(FIBITMAP* bmp, int y) {
  return FreeImage_GetScanLine(bmp, static_cast<int>(FreeImage_GetHeight(bmp)) - 1 - y);
}

void Put(BYTE* row, int x, int bytes, Rgb c, int alpha = 255) {
  BYTE* p = row + x * bytes;
  p[FI_RGBA_RED] = static_cast<BYTE>(std::clamp(c.r, 0.0, 255.0));
  p[FI_RGBA_GREEN] = static_cast<BYTE>(std::clamp(c.g, 0.0, 255.0));
  p[FI_RGBA_BLUE] = static_cast<BYTE>(std::clamp(c.b, 0.0, 255.0));
  if (bytes == 4) p[FI_RGBA_ALPHA] = static_cast<BYTE>(alpha);
}

bool SaveJpeg(FIBITMAP* bmp, const std::string& path, int quality) {
  return FreeImage_Save(FIF_JPEG, bmp, path.c_str(), std::clamp(quality, 1, 100)) != 0;
}

struct Palette {
  Rgb skyTop, skyLow, sun, far, near, ground;
};

const Palette kPalettes[] = {
    {{40, 90, 170}, {250, 200, 150}, {255, 240, 190}, {95, 110, 150}, {45, 70, 60}, {70, 120, 60}},
    {{20, 30, 80}, {240, 120, 80}, {255, 210, 120}, {90, 60, 100}, {40, 30, 50}, {60, 50, 40}},
    {{110, 170, 230},
     {220, 235, 250},
     {255, 255, 230},
     {150, 170, 190},
     {70, 110, 90},
     {200, 190, 140}},
    {{10, 20, 40}, {60, 80, 140}, {240, 240, 255}, {40, 50, 80}, {20, 25, 40}, {30, 40, 60}},
    {{150, 200, 240},
     {250, 250, 220},
     {255, 250, 200},
     {120, 150, 120},
     {50, 100, 50},
     {40, 110, 160}},
    {{200, 110, 60}, {250, 220, 130}, {255, 255, 200}, {150, 90, 70}, {90, 50, 40}, {170, 130, 70}},
};

// Peaks: a triangle wave, so the skyline has summits rather than hills.
double Peaks(double x, double seed) {
  const double t = std::fmod(x + seed, 1.0);
  return 1.0 - std::fabs(t * 2.0 - 1.0);
}

double Ridge(double x, double seed, double scale) {
  return std::sin(x * 3.1 * scale + seed) * 0.5 + std::sin(x * 7.3 * scale + seed * 2.1) * 0.25 +
         std::sin(x * 17.9 * scale + seed * 0.7) * 0.1;
}

}  // namespace

bool DrawDemoPhoto(const std::string& path, int width, int height, int variant, int quality) {
  Bitmap bmp = Allocate(width, height, 24);
  if (!bmp) return false;
  const Palette& p = kPalettes[static_cast<size_t>(variant) % std::size(kPalettes)];
  const double seed = variant * 1.7 + 0.3;
  const double sunX = width * (0.25 + 0.5 * std::fmod(variant * 0.37, 1.0));
  const double sunY = height * 0.28;
  const double sunR = std::min(width, height) * 0.07;
  const double horizon = height * 0.62;
  for (int y = 0; y < height; ++y) {
    BYTE* row = Row(bmp.get(), y);
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      Rgb c = Mix(p.skyTop, p.skyLow, y / horizon);
      const double d = std::hypot(x - sunX, y - sunY);
      if (d < sunR) {
        c = p.sun;
      } else if (d < sunR * 3) {
        c = Mix(p.sun, c, (d - sunR) / (sunR * 2) * 0.6 + 0.4);
      }
      const double far = horizon - height * (0.12 + 0.2 * Peaks(fx * 2.2, seed * 0.37) +
                                             0.03 * Ridge(fx, seed, 2.0));
      const double near = horizon - height * (0.04 + 0.09 * Peaks(fx * 3.1, seed * 0.71 + 0.3) +
                                              0.02 * Ridge(fx, seed + 4, 3.0));
      if (y > far) c = Mix(p.far, p.skyLow, 0.25 * (1 - (y - far) / (horizon - far + 1)));
      if (y > near) c = p.near;
      if (y > horizon) c = Mix(p.ground, p.near, (y - horizon) / (height - horizon) * 0.5);
      Put(row, x, 3, c);
    }
  }
  return SaveJpeg(bmp.get(), path, quality);
}

bool SaveFitted(const std::string& source, const std::string& path, int longSide, int quality) {
  const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(source.c_str(), 0);
  if (fif == FIF_UNKNOWN) return false;
  Bitmap src(FreeImage_Load(fif, source.c_str(), 0), &FreeImage_Unload);
  if (!src) return false;
  const int w = static_cast<int>(FreeImage_GetWidth(src.get()));
  const int h = static_cast<int>(FreeImage_GetHeight(src.get()));
  const int longest = std::max(w, h);
  if (longest <= longSide) return SaveJpeg(src.get(), path, quality);
  const int nw = std::max(1, w * longSide / longest);
  const int nh = std::max(1, h * longSide / longest);
  Bitmap small(FreeImage_Rescale(src.get(), nw, nh, FILTER_BOX), &FreeImage_Unload);
  return small && SaveJpeg(small.get(), path, quality);
}

bool DrawBadge(const std::string& path, int width, int height, int variant) {
  Bitmap bmp = Allocate(width, height, 24);
  if (!bmp) return false;
  const Palette& p = kPalettes[static_cast<size_t>(variant) % std::size(kPalettes)];
  for (int y = 0; y < height; ++y) {
    BYTE* row = Row(bmp.get(), y);
    for (int x = 0; x < width; ++x) {
      Rgb c = Mix(p.skyTop, p.skyLow, static_cast<double>(x) / width);
      if (((x + y * 2) / std::max(4, height / 3)) % 3 == 0) c = Mix(c, p.sun, 0.35);
      const bool frame = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
      Put(row, x, 3, frame ? p.near : c);
    }
  }
  return SaveJpeg(bmp.get(), path, 90);
}

bool DrawWatermarkTemplate(const std::string& path, int width, int height) {
  Bitmap bmp = Allocate(width, height, 32);
  if (!bmp) return false;
  const double cx = width / 2.0;
  const double cy = height / 2.0;
  const double r = std::min(width, height) * 0.42;
  for (int y = 0; y < height; ++y) {
    BYTE* row = Row(bmp.get(), y);
    for (int x = 0; x < width; ++x) {
      const double d = std::hypot(x - cx, y - cy);
      int alpha = 0;
      if (std::fabs(d - r) < r * 0.12) alpha = 150;
      // A "Z" across the ring.
      const double u = (x - cx) / r;
      const double v = (y - cy) / r;
      if (std::fabs(v + 0.45) < 0.1 && std::fabs(u) < 0.5) alpha = 170;
      if (std::fabs(v - 0.45) < 0.1 && std::fabs(u) < 0.5) alpha = 170;
      if (std::fabs(u + v) < 0.12 && std::fabs(u) < 0.5) alpha = 170;
      Put(row, x, 4, {255, 255, 255}, alpha);
    }
  }
  return FreeImage_Save(FIF_PNG, bmp.get(), path.c_str(), 0) != 0;
}

bool ImageSize(const std::string& path, int* width, int* height) {
  const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
  if (fif == FIF_UNKNOWN) return false;
  Bitmap bmp(FreeImage_Load(fif, path.c_str(), FIF_LOAD_NOPIXELS), &FreeImage_Unload);
  if (!bmp) return false;
  *width = static_cast<int>(FreeImage_GetWidth(bmp.get()));
  *height = static_cast<int>(FreeImage_GetHeight(bmp.get()));
  return true;
}

}  // namespace zerva::server
