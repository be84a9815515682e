// What albums take from outside the model: the signed-in user and the user's settings, the
// service's photo parameters, the category rule and the video tools. The application fills it
// at sign-in and hands it to the current album and to the album list.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/photo_video_params.h"
#include "model/video_prober.h"

namespace zerva {

struct AlbumEnvironment {
  bool signedIn = false;
  bool isVip = false;
  std::string userName;
  bool defaultWatermark = false;  // the profile's default for new photos
  bool canPublishOnFB = false;
  bool useExifName = false;
  bool useExifDesc = false;
  PhotoVideoParams params;
  // Whether a category of the album's category list asks for high resolution (`sendHiRes`);
  // unset: none does.
  std::function<bool(std::string_view albumCategory)> categoryWantsHiRes;
  // Both ffmpeg and its version file were found; without it no file is taken as a video.
  bool videoSupport = false;
  VideoProber videoProber;

  // The album rule: a signed-in user who is a VIP or whose album is in a high-resolution
  // category gets the VIP photo values.
  bool AlbumHiResOrVip(std::string_view albumCategory) const {
    if (!signedIn) return false;
    if (isVip) return true;
    return categoryWantsHiRes && categoryWantsHiRes(albumCategory);
  }
  int PhotoResolution(std::string_view albumCategory) const {
    return params.PhotoResolutionFor(AlbumHiResOrVip(albumCategory));
  }
};

}  // namespace zerva
