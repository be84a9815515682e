#include "ui/add_photos_filter.h"

#include "app/text_utils.h"
#include "lang/text.h"
#include "model/folder_scan.h"
#include "model/photo.h"

namespace zerva {
namespace {

std::string Entry(const std::string& name, const std::string& patterns) {
  return name + " (" + patterns + ")|" + patterns + "|";
}

}  // namespace

FileDialogFilters AddPhotosFilters(bool videoSupport) {
  FileDialogFilters result;
  result.filters = Entry(Text("EditPhotosAddPhotoFilter"), FileFilter(kMediaPhotos, true));
  if (videoSupport) {
    result.filters +=
        Entry(Text("EditPhotosAddPhotoFilterEx"), FileFilter(kMediaPhotos | kMediaVideos, true));
    result.selected = 1;
  }
  result.filters += Text("EditPhotosAddPhotoFilterAll") + " (*.*)|*.*|";
  result.filters += "|";
  return result;
}

std::vector<std::string> PickPhotosToAdd(const FilesPicker& pick, const std::string& startFolder,
                                         bool videoSupport) {
  const FileDialogFilters filters = AddPhotosFilters(videoSupport);
  const std::vector<std::string> chosen =
      pick(Text("EditPhotosAddPhotoTitle"), startFolder, filters.filters, filters.selected);
  std::vector<std::string> known;
  for (const std::string& path : chosen) {
    if (IsAcceptedName(FileNameOfPath(path), videoSupport).accepted) known.push_back(path);
  }
  return known;
}

}  // namespace zerva
