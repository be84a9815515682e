#include "server/album_xml.h"

#include <filesystem>

#include "app/elements.h"

namespace zerva::server {
namespace {

int64_t FolderBytes(const std::string& folder) {
  int64_t total = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec)) total += static_cast<int64_t>(it->file_size(ec));
  }
  return total;
}

}  // namespace

std::string AlbumElement(Service& service, const std::string& ownerName, const Album& album) {
  Db& db = service.db();
  const std::string& s = album.settings;
  const long long id = static_cast<long long>(album.id);
  const int64_t photos =
      db.QueryInt("SELECT COUNT(*) FROM photos WHERE album_id = ? AND is_video = 0", {id}, 0);
  const int64_t videos =
      db.QueryInt("SELECT COUNT(*) FROM photos WHERE album_id = ? AND is_video = 1", {id}, 0);
  const std::string url = service.AlbumUrl(ownerName, album.serverDir);
  std::string x = "<album>";
  x += MakeElement("albumID", album.id);
  x += MakeElement("name", GetElement(s, "name"));
  x += MakeElement("desc", GetElement(s, "desc"));
  x += MakeElement("localPath", GetElement(s, "localPath"));
  x += MakeElement("photoCount", photos);
  x += MakeElement("videoCount", videos);
  x += MakeElement("serverDir", album.serverDir);
  for (const char* name : {"maxSizeImage", "maxSizeThumb", "albumVisible", "albumSecure",
                           "albumSecureName", "albumSecurePass", "thumbName"}) {
    x += MakeElement(name, GetElement(s, name));
  }
  x += MakeElement("photosUrl", url);
  x += MakeElement("videosUrl", url + "video/");
  x += MakeElement("albumCategory", GetElement(s, "albumCategory"));
  x += MakeElement("albumTags", GetElement(s, "albumTags"));
  x += MakeElement("createDate", album.createDate);
  x += MakeElement("updateDate", album.updateDate);
  for (const char* name : {"manualDateInterval", "startDateInterval", "endDateInterval"}) {
    x += MakeElement(name, GetElement(s, name));
  }
  x += MakeElement("publishOnFB", GetElement(s, "PublishOnFB"));
  x += MakeElement("uploading", int64_t{album.uploading});
  x += MakeElement("size",
                   FolderBytes(service.storage().AlbumFolder(album.userId, album.serverDir)));
  x += MakeElement("defaultWatermark", GetElement(s, "defaultWatermark"));
  x += "</album>";
  return x;
}

std::string PhotoElement(const PhotoRecord& photo) {
  std::string xml = photo.xml;
  if (xml.empty()) {
    xml = "\t" + MakeElement("name", "") + "\t" + MakeElement("fileName", photo.fileName) + "\t" +
          MakeElement("type", photo.isVideo ? "video" : "photo");
  }
  xml = SetElementContent(xml, "photoID", std::to_string(photo.id));
  bool hasVideo = false;
  GetElement(xml, "video", &hasVideo);
  if (!hasVideo && !photo.videoXml.empty()) xml += "\t" + MakeElement("video", photo.videoXml);
  return "<photo>" + xml + "</photo>\n";
}

std::string SetElementContent(const std::string& xml, const std::string& name,
                              const std::string& content) {
  const std::string open = "<" + name + ">";
  const std::string close = "</" + name + ">";
  const size_t begin = xml.find(open);
  if (begin != std::string::npos) {
    const size_t contentBegin = begin + open.size();
    const size_t end = xml.find(close, contentBegin);
    if (end != std::string::npos) {
      return xml.substr(0, contentBegin) + content + xml.substr(end);
    }
  }
  return "\t" + MakeElement(name, content) + xml;
}

}  // namespace zerva::server
