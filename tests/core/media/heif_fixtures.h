// HEIF pictures for the tests, made on the spot: with heif-enc (Debian libheif-examples) from
// pictures drawn with the image library, or with libheif's encoder where a container turn is
// wanted (heif-enc writes none), and EXIF written with exiftool.
#pragma once

#include <FreeImage.h>
#include <lcms2.h>
#include <libheif/heif.h>

#include <string>

#include "media/bitmap.h"
#include "media_fixtures.h"
#include "support/external_tools.h"
#include "support/temp_dir.h"

namespace zerva::test {

inline bool HaveHeifTools() {
  return HaveTool("heif-enc") && HaveTool("exiftool");
}

// heif-enc's HEIC of a picture file (JPEG, or PNG for transparency and 16 bits).
inline std::string HeifOf(const TempDir& dir, const std::string& source, const std::string& name,
                          const std::string& options = "-q 90") {
  const std::string path = dir.File(name);
  return RunQuietly("heif-enc " + options + " -o '" + path + "' '" + source + "'") ? path
                                                                                   : std::string();
}

// A HEIC of `image` (24-bit) made with libheif's encoder: its container turns the picture by
// `orientation` when it is decoded, and an nclx colour box names `primaries` (H.273) unless 0.
inline std::string EncodedHeif(const TempDir& dir, const std::string& name, FIBITMAP* image,
                               heif_orientation orientation, int primaries = 0) {
  const PixelSize size = BitmapSize(image);
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  heif_image* picture = nullptr;
  heif_encoding_options* options = heif_encoding_options_alloc();
  bool ok =
      heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code ==
          heif_error_Ok &&
      heif_image_create(size.width, size.height, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                        &picture)
              .code == heif_error_Ok &&
      heif_image_add_plane(picture, heif_channel_interleaved, size.width, size.height, 8).code ==
          heif_error_Ok;
  if (ok) {
    heif_encoder_set_lossy_quality(encoder, 95);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
    for (int y = 0; y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) {
        const Rgb c = PixelAt(image, x, y);
        uint8_t* out = plane + y * stride + 3 * x;
        out[0] = static_cast<uint8_t>(c.r);
        out[1] = static_cast<uint8_t>(c.g);
        out[2] = static_cast<uint8_t>(c.b);
      }
    }
    options->image_orientation = orientation;
    if (primaries != 0) {
      heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
      nclx->color_primaries = static_cast<heif_color_primaries>(primaries);
      nclx->transfer_characteristics = heif_transfer_characteristic_IEC_61966_2_1;
      nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
      nclx->full_range_flag = 1;
      heif_image_set_nclx_color_profile(picture, nclx);
      heif_nclx_color_profile_free(nclx);
      options->macOS_compatibility_workaround_no_nclx_profile = 0;
    }
    ok = heif_context_encode_image(context, picture, encoder, options, nullptr).code ==
             heif_error_Ok &&
         heif_context_write_to_file(context, dir.File(name).c_str()).code == heif_error_Ok;
  }
  heif_encoding_options_free(options);
  if (picture != nullptr) heif_image_release(picture);
  if (encoder != nullptr) heif_encoder_release(encoder);
  heif_context_free(context);
  return ok ? dir.File(name) : std::string();
}

// An ICC profile of Display P3 (the P3 primaries, D65 white, the sRGB tone curve).
inline std::string DisplayP3Profile() {
  const cmsCIExyY white = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
  const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  cmsFreeToneCurve(curve);
  std::string bytes;
  cmsUInt32Number size = 0;
  if (profile != nullptr && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
    bytes.resize(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) bytes.clear();
  }
  if (profile != nullptr) cmsCloseProfile(profile);
  return bytes;
}

// The bytes with every `ispe` (picture size) property claiming `width` x `height`.
inline std::string WithClaimedSize(std::string bytes, uint32_t width, uint32_t height) {
  for (size_t at = bytes.find("ispe"); at != std::string::npos; at = bytes.find("ispe", at + 4)) {
    if (at + 16 > bytes.size()) break;
    for (int i = 0; i < 4; ++i) {
      bytes[at + 8 + i] = static_cast<char>((width >> (24 - 8 * i)) & 0xFF);
      bytes[at + 12 + i] = static_cast<char>((height >> (24 - 8 * i)) & 0xFF);
    }
  }
  return bytes;
}

}  // namespace zerva::test
