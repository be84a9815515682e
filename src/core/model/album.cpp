#include "model/album.h"

#include <algorithm>

#include "app/text_utils.h"
#include "model/text_compare.h"
#include "net/endpoints.h"

namespace zerva {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Every occurrence of `from` (ASCII, any letter case) replaced by `to`.
std::string ReplaceNoCase(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    if (pos + from.size() <= text.size() && EqualsNoCase(text.substr(pos, from.size()), from)) {
      out.append(to);
      pos += from.size();
    } else {
      out += text[pos++];
    }
  }
  return out;
}

}  // namespace

std::string ServerDirFromName(std::string_view name) {
  const std::string dir = MakeServerName(name);
  if (EqualsNoCase(dir, "index.php")) return ReplaceNoCase(dir, ".php", "_php");
  if (EqualsNoCase(dir, "_www_root_")) return dir + "0";
  if (EndsWithNoCase(dir, ".rch")) return ReplaceNoCase(dir, ".rch", "_rch");
  if (dir == "." || dir == ".." || EqualsNoCase(dir, ".htaccess")) {
    return ReplaceAll(dir, ".", "dot");
  }
  return dir;
}

CAlbum::CAlbum() {
  Clear();
}

CAlbum::CAlbum(AlbumEnvironment environment) {
  env = std::move(environment);
  Clear();
}

CAlbum::CAlbum(const CAlbum& other) : AlbumProperties(other) {}

CAlbum& CAlbum::operator=(const CAlbum& other) {
  if (this != &other) AlbumProperties::operator=(other);
  return *this;
}

CAlbum::~CAlbum() = default;

void CAlbum::SetMaxSizeImage(int value) {
  maxSizeImage = value;
  resolution = value;
}

void CAlbum::Clear() {
  for (std::string* text :
       {&ownerName, &name, &desc, &serverDir, &localPath, &thumbName, &rawPhotosXml,
        &albumSecureName, &albumSecurePass, &albumCategory, &startDateInterval, &endDateInterval}) {
    text->clear();
  }
  albumID = 0;
  localFolderExists = false;
  albumVisible = true;
  albumSecure = false;
  manualDateInterval = false;
  PublishOnFB = false;
  modified = false;
  itemLimit = kDefaultItemLimit;
  SetMaxSizeImage(env.PhotoResolution(albumCategory));
  maxSizeThumb = env.params.SizeThumb;
  defaultWatermark = env.signedIn && env.defaultWatermark;
  coverSmall = AlbumCover();
  coverLarge = AlbumCover();
  items.clear();
  leftOut.clear();
}

void CAlbum::DropOrphanItems() {
  std::erase_if(items, [](const std::unique_ptr<CPhoto>& item) {
    return !item->included && !item->localFileAvailable;
  });
  Renumber(false);
}

int CAlbum::IncludedCount() const {
  return static_cast<int>(
      std::count_if(items.begin(), items.end(), [](const auto& item) { return item->included; }));
}

int CAlbum::Renumber(bool includedOnly) {
  int next = 1;
  for (const auto& item : items) {
    if (!includedOnly || item->included) item->index = next;
    ++next;
  }
  return next;
}

bool CAlbum::MarkChangedItems() {
  bool marked = false;
  for (const auto& item : items) {
    if (item->included && item->localFileAvailable && item->OriginalCode != 0 &&
        item->LocalFileChanged()) {
      item->needsUpload = true;
      marked = true;
    }
  }
  // An album in which nothing changed must not ask about unsaved work.
  if (marked) modified = true;
  return marked;
}

CPhoto* CAlbum::FindItemByFileName(std::string_view fileName) const {
  for (const auto& item : items) {
    if (item->fileName == fileName) return item.get();
  }
  return nullptr;
}

std::string CAlbum::AlbumUrl() const {
  if (serverDir.empty()) return {};
  return UserSiteUrl(ownerName) + serverDir;
}

void CAlbum::MakeServerDir() {
  serverDir = ServerDirFromName(name);
}

}  // namespace zerva
