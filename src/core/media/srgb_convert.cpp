#include "media/srgb_convert.h"

#include <FreeImage.h>
#include <lcms2.h>

#include <memory>

namespace zerva {
namespace {

struct ProfileClose {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

struct TransformDelete {
  void operator()(void* transform) const { cmsDeleteTransform(transform); }
};

// Chromaticities of the red, green and blue primaries and the white point.
struct Primaries {
  cmsCIExyY red, green, blue, white;
};

bool Transform(FIBITMAP* image, cmsHPROFILE from) {
  if (image == nullptr || from == nullptr || cmsGetColorSpace(from) != cmsSigRgbData ||
      FreeImage_GetImageType(image) != FIT_BITMAP) {
    return false;
  }
  const unsigned bpp = FreeImage_GetBPP(image);
  if (bpp != 24 && bpp != 32) return false;
  static_assert(FI_RGBA_BLUE == 0 && FI_RGBA_RED == 2, "the pixel layouts below are BGR(A)");
  const cmsUInt32Number format = bpp == 32 ? TYPE_BGRA_8 : TYPE_BGR_8;
  const Profile srgb(cmsCreate_sRGBProfile());
  if (srgb == nullptr) return false;
  const std::unique_ptr<void, TransformDelete> transform(cmsCreateTransform(
      from, format, srgb.get(), format, INTENT_PERCEPTUAL, bpp == 32 ? cmsFLAGS_COPY_ALPHA : 0));
  if (transform == nullptr) return false;
  const unsigned width = FreeImage_GetWidth(image);
  const unsigned height = FreeImage_GetHeight(image);
  const unsigned pitch = FreeImage_GetPitch(image);
  BYTE* bits = FreeImage_GetBits(image);
  cmsDoTransformLineStride(transform.get(), bits, bits, width, height, pitch, pitch, 0, 0);
  return true;
}

}  // namespace

bool ConvertToSrgb(FIBITMAP* image, std::string_view iccProfile) {
  if (iccProfile.empty()) return false;
  const Profile from(
      cmsOpenProfileFromMem(iccProfile.data(), static_cast<cmsUInt32Number>(iccProfile.size())));
  return Transform(image, from.get());
}

bool ConvertPrimariesToSrgb(FIBITMAP* image, int primaries) {
  const cmsCIExyY d65 = {0.3127, 0.3290, 1.0};
  Primaries space;
  switch (primaries) {
    case 9:  // BT.2020
      space = {{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}, d65};
      break;
    case 12:  // Display P3
      space = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}, d65};
      break;
    default:
      return true;
  }
  // The sRGB tone curve: a line near black, then a 2.4 power.
  const cmsFloat64Number parameters[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, parameters);
  if (curve == nullptr) return false;
  cmsToneCurve* curves[3] = {curve, curve, curve};
  const cmsCIExyYTRIPLE triple = {space.red, space.green, space.blue};
  const Profile from(cmsCreateRGBProfile(&space.white, &triple, curves));
  cmsFreeToneCurve(curve);
  return Transform(image, from.get());
}

}  // namespace zerva
