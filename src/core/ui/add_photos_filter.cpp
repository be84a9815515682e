#include "ui/add_photos_filter.h"

#include "app/text_utils.h"
#include "lang/text.h"
#include "model/folder_scan.h"

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

}  // namespace zerva
