// The filter list of the add-photos file dialog, which the album editor and the albums page
// open: photos, photos and videos when videos can be converted, and every file.
#pragma once

#include <string>

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

}  // namespace zerva
