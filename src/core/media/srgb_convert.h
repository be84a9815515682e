// Wide-gamut pictures (Display P3 from phones, Adobe RGB from cameras) as sRGB: JPEG viewers and
// browsers without colour management take every pixel as sRGB, so such colours would look dull.
#pragma once

#include <string_view>

struct FIBITMAP;

namespace zerva {

// Converts the 24- or 32-bit colour pixels (alpha kept) from the RGB colour space `iccProfile`
// describes to sRGB, perceptually, in place. False, pixels unchanged, when the profile cannot be
// read or describes no RGB space.
bool ConvertToSrgb(FIBITMAP* image, std::string_view iccProfile);

// The same for a space given by its H.273 colour primaries code (as a HEIF `nclx` colour box
// names it) with the sRGB tone curve; codes 1 and 2 (sRGB's own, unspecified) need nothing and
// give true, as do codes not known here, which are taken as sRGB.
bool ConvertPrimariesToSrgb(FIBITMAP* image, int primaries);

}  // namespace zerva
