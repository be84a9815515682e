// The album XML: sent with CreateAlbum, EmptyAlbum and SetAlbumUploading, read back from the
// album list.
#include "app/elements.h"
#include "app/text_utils.h"
#include "model/album.h"
#include "model/xml_fields.h"
#include "platform/fs.h"

namespace zerva {
namespace {

void Add(std::string* xml, std::string_view name, std::string_view value) {
  *xml += '\t';
  *xml += MakeElement(name, value);
}

void Add(std::string* xml, std::string_view name, int64_t value) {
  *xml += '\t';
  *xml += MakeElement(name, value);
}

void AddFlag(std::string* xml, std::string_view name, bool value) {
  Add(xml, name, int64_t{value ? 1 : 0});
}

}  // namespace

std::string CAlbum::ToXml(bool withPublish) {
  std::string xml = "<album>";
  Add(&xml, "albumID", albumID);
  Add(&xml, "name", name);
  Add(&xml, "desc", desc);
  for (const char* empty : {"create", "expiration", "autorID", "size"}) Add(&xml, empty, "");
  Add(&xml, "localPath", ReplaceAll(localPath, "\\", "/"));
  Add(&xml, "photoCount", static_cast<int64_t>(items.size()));
  Add(&xml, "serverDir", serverDir);
  Add(&xml, "maxSizeImage", maxSizeImage);
  Add(&xml, "maxSizeThumb", maxSizeThumb);
  AddFlag(&xml, "albumVisible", albumVisible);
  AddFlag(&xml, "albumSecure", albumSecure);
  Add(&xml, "albumSecureName", albumSecureName);
  Add(&xml, "albumSecurePass", albumSecurePass);
  Add(&xml, "thumbName", thumbName);
  Add(&xml, "photosUrl", photosUrl);
  Add(&xml, "videosUrl", videosUrl);
  Add(&xml, "albumCategory", albumCategory);
  Add(&xml, "albumTags", albumTags);
  AddFlag(&xml, "manualDateInterval", manualDateInterval);
  Add(&xml, "startDateInterval", startDateInterval);
  Add(&xml, "endDateInterval", endDateInterval);
  if (withPublish && env.canPublishOnFB) AddFlag(&xml, "PublishOnFB", PublishOnFB);
  AddFlag(&xml, "defaultWatermark", defaultWatermark);
  xml += "\t<photos>\n";
  for (const auto& item : items) {
    if (item->included) xml += item->ToXml();
  }
  xml += "</photos></album>";
  return xml;
}

bool CAlbum::FromXml(std::string_view xml) {
  items.clear();
  name = GetElement(xml, "name");
  desc = ElementPlainText(xml, "desc");
  albumID = ElementInt32(xml, "albumID");
  size = GetElementInt(xml, "size");
  // Paths written by a Windows client use backslashes.
  localPath = ReplaceAll(GetElement(xml, "localPath"), "\\", "/");
  // A network path would stall the list; it keeps the previous answer.
  if (localPath.rfind("//", 0) != 0) localFolderExists = DirectoryExists(localPath);
  photoCount = ElementInt32(xml, "photoCount");
  itemLimit = photoCount <= kDefaultItemLimit ? kDefaultItemLimit : photoCount;
  videoCount = ElementInt32(xml, "videoCount");
  serverDir = GetElement(xml, "serverDir");
  maxSizeThumb = ElementInt32(xml, "maxSizeThumb");
  if (maxSizeThumb < 1) maxSizeThumb = env.params.SizeThumb;
  albumVisible = GetElementFlag(xml, "albumVisible", true);
  albumSecure = GetElementFlag(xml, "albumSecure", false);
  albumSecureName = GetElement(xml, "albumSecureName");
  albumSecurePass = GetElement(xml, "albumSecurePass");
  thumbName = GetElement(xml, "thumbName");
  photosUrl = GetElement(xml, "photosUrl");
  videosUrl = GetElement(xml, "videosUrl");
  createDate = GetElement(xml, "createDate");
  updateDate = GetElement(xml, "updateDate");
  manualDateInterval = GetElementFlag(xml, "manualDateInterval", false);
  PublishOnFB = GetElementFlag(xml, "publishOnFB", false);
  startDateInterval = GetElement(xml, "startDateInterval");
  endDateInterval = GetElement(xml, "endDateInterval");
  albumCategory = GetElement(xml, "albumCategory");
  albumTags = GetElement(xml, "albumTags");
  uploading = ElementInt32(xml, "uploading");
  defaultWatermark = GetElementFlag(xml, "defaultWatermark", false);
  // The stored size is not kept: the user's current photo resolution applies.
  SetMaxSizeImage(env.PhotoResolution(albumCategory));
  ownerName = env.userName;
  return albumID >= 1;
}

}  // namespace zerva
