#include "model/uploaded_files.h"

#include "app/elements.h"
#include "model/album.h"
#include "model/xml_fields.h"

namespace zerva {
namespace {

std::map<std::string, int64_t> ByFileName(std::string_view answer, std::string_view list) {
  std::map<std::string, int64_t> sizes;
  for (const std::string& file : GetElements(GetElement(answer, list), "serverFile")) {
    sizes[GetElement(file, "fileName")] = GetElementInt(file, "fileSize");
  }
  return sizes;
}

bool Held(const std::map<std::string, int64_t>& sizes, const std::string& fileName) {
  const auto found = sizes.find(fileName);
  return found != sizes.end() && found->second >= 1;
}

}  // namespace

UploadedFiles ParseUploadedFiles(std::string_view answer) {
  UploadedFiles files;
  files.images = ByFileName(answer, "imagesDir");
  files.hdimages = ByFileName(answer, "hdimagesDir");
  files.thumbs = ByFileName(answer, "thumbDir");
  files.diffs = ByFileName(answer, "diffDir");
  for (const std::string& file : GetElements(GetElement(answer, "videoDir"), "serverFile")) {
    files.videos[ElementInt32(file, "photoID")] = GetElementInt(file, "fileSize");
  }
  return files;
}

std::set<std::string> ParseMissingVideos(std::string_view answer) {
  std::set<std::string> names;
  for (const std::string& video : GetElements(GetElement(answer, "missingVideos"), "video")) {
    names.insert(GetElement(video, "fileName"));
  }
  return names;
}

void ApplyUploadedSizes(CAlbum& album, const UploadedFiles& files) {
  for (const auto& item : album.items) {
    const auto store = [&](const std::map<std::string, int64_t>& sizes, int64_t* field) {
      const auto found = sizes.find(item->fileName);
      if (found != sizes.end()) *field = found->second;
    };
    store(files.images, &item->imageSize);
    store(files.hdimages, &item->hdSize);
    store(files.thumbs, &item->thumbSize);
    store(files.diffs, &item->patchSize);
    if (item->photoID > 0) {
      const auto video = files.videos.find(item->photoID);
      if (video != files.videos.end()) item->videoSize = video->second;
    }
  }
}

bool IsDamaged(const CPhoto& item, const UploadedFiles& files,
               const std::set<std::string>& missingVideos) {
  if (!item.included) return false;
  if (!Held(files.images, item.fileName) || !Held(files.thumbs, item.fileName)) return true;
  if (item.isHdPhoto && !Held(files.hdimages, item.fileName)) return true;
  return item.isVideo && missingVideos.count(item.fileName) != 0;
}

}  // namespace zerva
