// The add-photos file dialog, which the album editor and the albums page open: its filter list
// (photos, photos and videos when videos can be converted, and every file) and the files of a
// known type among those chosen.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zerva {

struct FileDialogFilters {
  // "name (patterns)|patterns|" per entry, ending with one more "|".
  std::string filters;
  int selected = 0;  // the entry preselected
};

// "EditPhotosAddPhotoFilter" with the photo patterns; with `videoSupport` also
// "EditPhotosAddPhotoFilterEx" with photos and videos, which is then preselected; and
// "EditPhotosAddPhotoFilterAll" with "*.*".
FileDialogFilters AddPhotosFilters(bool videoSupport);

// A multi-selection file dialog: title, start folder, filter list, preselected entry.
using FilesPicker =
    std::function<std::vector<std::string>(const std::string& title, const std::string& startFolder,
                                           const std::string& filters, int selectedFilter)>;
// Opens the dialog ("EditPhotosAddPhotoTitle") through `pick`; only the chosen files of a known
// type come back.
std::vector<std::string> PickPhotosToAdd(const FilesPicker& pick, const std::string& startFolder,
                                         bool videoSupport);

}  // namespace zerva
