#include "cli/album_listing.h"

#include <algorithm>

#include "app/text_utils.h"
#include "model/album_mngr.h"

namespace zerva::cli {
namespace {

std::string Field(const std::string& text) {
  return ReplaceAll(FlattenLines(text), "\t", " ");
}

}  // namespace

std::vector<const CAlbum*> SortedAlbums(const CAlbumMngr& albums, int key, bool ascending) {
  std::vector<const CAlbum*> sorted;
  for (const auto& album : albums.albums) sorted.push_back(album.get());
  // The list box puts an item first when the comparison says so; a negative result does.
  std::stable_sort(sorted.begin(), sorted.end(), [&](const CAlbum* a, const CAlbum* b) {
    return CompareAlbums(a, b, key, ascending) < 0;
  });
  return sorted;
}

std::string AlbumLine(const CAlbum& album) {
  return std::to_string(album.albumID) + "\t" + Field(HtmlToText(album.name)) + "\t" +
         std::to_string(album.photoCount) + "\t" + std::to_string(album.videoCount) + "\t" +
         Field(album.createDate) + "\t" + Field(album.AlbumUrl());
}

}  // namespace zerva::cli
