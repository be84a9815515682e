#include "cli/album_listing.h"

#include "app/text_utils.h"
#include "model/album.h"
#include "ui/album_banners.h"

namespace zerva::cli {
namespace {

std::string Field(const std::string& text) {
  return ReplaceAll(FlattenLines(text), "\t", " ");
}

}  // namespace

std::string AlbumLine(const CAlbum& album) {
  return std::to_string(album.albumID) + "\t" + Field(HtmlToText(album.name)) + "\t" +
         std::to_string(album.photoCount) + "\t" + std::to_string(album.videoCount) + "\t" +
         Field(album.createDate) + "\t" + Field(album.AlbumUrl());
}

std::string BannerLine(const AlbumBanner& banner) {
  return Field(banner.title) + "\t" + Field(banner.link) + "\t" + Field(banner.pictureUrl);
}

}  // namespace zerva::cli
