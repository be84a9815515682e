// The lines zerva-cli prints for scripts: one per album or banner, tab-separated, each field
// kept on one line.
#pragma once

#include <string>

namespace zerva {
class CAlbum;
struct AlbumBanner;
}  // namespace zerva

namespace zerva::cli {

// "ID <tab> NAME <tab> PHOTOS <tab> VIDEOS <tab> CREATED <tab> ADDRESS": the name without HTML,
// tabs and line breaks made blanks, so every album stays one line of six fields.
std::string AlbumLine(const CAlbum& album);

// "TITLE <tab> LINK <tab> PICTURE ADDRESS", each field made one line the same way.
std::string BannerLine(const AlbumBanner& banner);

}  // namespace zerva::cli
