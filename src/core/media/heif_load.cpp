#include "media/heif_load.h"

#include <FreeImage.h>
#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "media/srgb_convert.h"
#include "model/exif_guard.h"
#include "model/exif_payload.h"
#include "model/tiff_walker.h"

namespace zerva {
namespace {

// The EXIF section a JPEG writer splits larger data into; one section is all a reader takes.
constexpr size_t kMaxExifSection = 65504;
// Colour profiles are a few KiB; a larger claim is not taken.
constexpr size_t kMaxColourProfile = 4 * 1024 * 1024;

struct ImageFree {
  void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree {
  void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

// Sets the EXIF orientation of a checked TIFF structure to normal in place.
void SetNormalOrientation(std::string* tiff) {
  std::string error;
  const std::optional<TiffData> data = TiffData::Open(*tiff, &error);
  if (!data || data->size() < 8) return;
  std::vector<uint64_t> values;
  const auto visit = [&](const TiffEntry& entry) {
    if (entry.tag == kTagOrientation && entry.format == 3 && entry.count >= 1) {
      values.push_back(entry.valuePos);
    }
    return WalkAction::kContinue;
  };
  if (!WalkTiffDirectories(*data, data->Get32(4), visit, TiffWalkRules{true}, &error)) return;
  for (uint64_t at : values) {
    (*tiff)[at] = static_cast<char>(data->motorola() ? 0 : 1);
    (*tiff)[at + 1] = static_cast<char>(data->motorola() ? 1 : 0);
  }
}

// The EXIF data as the image library keeps a JPEG's, so a JPEG written from the bitmap has it.
void AttachExif(FIBITMAP* image, const HeifFile& file) {
  std::string tiff = file.ExifBlock();
  std::string error;
  if (tiff.empty() || !SanitizeExifBody(&tiff, &error)) return;
  if (file.HasTransformations()) SetNormalOrientation(&tiff);
  std::string raw(kExifPrefix);
  raw += tiff;
  if (raw.size() > kMaxExifSection) return;
  FITAG* tag = FreeImage_CreateTag();
  if (tag == nullptr) return;
  FreeImage_SetTagKey(tag, "ExifRaw");
  FreeImage_SetTagLength(tag, static_cast<DWORD>(raw.size()));
  FreeImage_SetTagCount(tag, static_cast<DWORD>(raw.size()));
  FreeImage_SetTagType(tag, FIDT_BYTE);
  FreeImage_SetTagValue(tag, raw.data());
  FreeImage_SetMetadata(FIMD_EXIF_RAW, image, FreeImage_GetTagKey(tag), tag);
  FreeImage_DeleteTag(tag);
}

// The pixels become sRGB: an embedded ICC profile, or the primaries an nclx colour box names, are
// converted from. A profile that cannot be converted goes with the bitmap, so colour-managed
// viewers of the prepared file still read the colours right.
void MakeSrgb(FIBITMAP* image, heif_image_handle* handle) {
  const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
  if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > kMaxColourProfile) return;
    std::string profile(size, '\0');
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok) {
      return;
    }
    if (!ConvertToSrgb(image, profile)) {
      FreeImage_CreateICCProfile(image, profile.data(), static_cast<long>(size));
    }
    return;
  }
  heif_color_profile_nclx* nclx = nullptr;
  if (type == heif_color_profile_type_nclx &&
      heif_image_handle_get_nclx_color_profile(handle, &nclx).code == heif_error_Ok &&
      nclx != nullptr) {
    ConvertPrimariesToSrgb(image, nclx->color_primaries);
    heif_nclx_color_profile_free(nclx);
  }
}

// Interleaved 8-bit RGB(A) rows, top row first, into the library's bottom-up BGR(A) rows.
// Premultiplied colours are divided back, so the later composite over white is right.
void CopyPixels(const uint8_t* plane, int stride, PixelSize size, bool alpha, bool premultiplied,
                FIBITMAP* image) {
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < size.height; ++y) {
    const uint8_t* in = plane + static_cast<size_t>(stride) * y;
    BYTE* out = FreeImage_GetScanLine(image, size.height - 1 - y);
    for (int x = 0; x < size.width; ++x, in += channels, out += channels) {
      uint8_t r = in[0], g = in[1], b = in[2];
      if (alpha && premultiplied && in[3] != 0 && in[3] != 255) {
        const int a = in[3];
        r = static_cast<uint8_t>(std::min(255, r * 255 / a));
        g = static_cast<uint8_t>(std::min(255, g * 255 / a));
        b = static_cast<uint8_t>(std::min(255, b * 255 / a));
      }
      out[FI_RGBA_RED] = r;
      out[FI_RGBA_GREEN] = g;
      out[FI_RGBA_BLUE] = b;
      if (alpha) out[FI_RGBA_ALPHA] = in[3];
    }
  }
}

Bitmap Decode(const HeifFile& file, int64_t maxPixels, std::string* reason) {
  const PixelSize size = file.Size();
  *reason = CheckPixelBound(size, maxPixels);
  if (!reason->empty()) return {};
  if (!file.CodedPicturesFit()) {
    *reason = "the coded picture is larger than the photo it makes, or unreadable";
    return {};
  }
  heif_image_handle* handle = file.Primary();
  const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
  std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
  if (options == nullptr) {
    *reason = "not enough memory for the picture";
    return {};
  }
  options->convert_hdr_to_8bit = 1;
  heif_image* decoded = nullptr;
  const heif_error status = heif_decode_image(
      handle, &decoded, heif_colorspace_RGB,
      alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
  const std::unique_ptr<heif_image, ImageFree> picture(decoded);
  if (status.code != heif_error_Ok || picture == nullptr) {
    *reason = status.code != heif_error_Ok ? status.message : "the picture cannot be decoded";
    return {};
  }
  int stride = 0;
  const uint8_t* plane =
      heif_image_get_plane_readonly(picture.get(), heif_channel_interleaved, &stride);
  const PixelSize decodedSize = {heif_image_get_width(picture.get(), heif_channel_interleaved),
                                 heif_image_get_height(picture.get(), heif_channel_interleaved)};
  const int channels = alpha ? 4 : 3;
  if (plane == nullptr || decodedSize != size || stride < size.width * channels ||
      heif_image_get_bits_per_pixel_range(picture.get(), heif_channel_interleaved) != 8) {
    *reason = "the decoder gave a picture of another size or depth than the file declares";
    return {};
  }
  Bitmap image(FreeImage_Allocate(size.width, size.height, alpha ? 32 : 24, FI_RGBA_RED_MASK,
                                  FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (image == nullptr) {
    *reason = "not enough memory for the picture";
    return {};
  }
  CopyPixels(plane, stride, size, alpha, heif_image_is_premultiplied_alpha(picture.get()) != 0,
             image.get());
  MakeSrgb(image.get(), handle);
  AttachExif(image.get(), file);
  return image;
}

Bitmap Finish(Bitmap image, const std::string& name, const std::string& reason,
              std::string* error) {
  if (image == nullptr && error != nullptr) *error = LoadError(name, reason);
  return image;
}

}  // namespace

Bitmap LoadHeifFile(const std::string& path, std::string* error, int64_t maxPixels) {
  HeifFile file;
  std::string reason;
  if (!file.Open(path, &reason)) return Finish({}, path, reason, error);
  return Finish(Decode(file, maxPixels, &reason), path, reason, error);
}

Bitmap LoadHeifMemory(std::string_view data, std::string* error, int64_t maxPixels,
                      const std::string& name) {
  HeifFile file;
  std::string reason;
  if (!file.Open(data, &reason)) return Finish({}, name, reason, error);
  return Finish(Decode(file, maxPixels, &reason), name, reason, error);
}

bool ReadHeifSize(const std::string& path, PixelSize* size) {
  HeifFile file;
  std::string reason;
  if (!file.Open(path, &reason)) return false;
  const PixelSize found = file.Size();
  if (found.width <= 0 || found.height <= 0) return false;
  if (size != nullptr) *size = found;
  return true;
}

}  // namespace zerva
