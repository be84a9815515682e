#include "ui/item_location.h"

#include "model/album.h"
#include "model/photo.h"
#include "ui/thumbs_list_ctrl.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

// The picker with the provider the user chose last; null while there is no main window.
IGps* Picker(CzervaApp& app) {
  IGps* picker = app.GpsPicker();
  if (picker != nullptr) picker->SetProvider(app.Session().Settings().gpsMapsProvider);
  return picker;
}

}  // namespace

void SetLocationHooks(CzervaApp& app, ThumbsListHooks* hooks) {
  hooks->canEditLocation = [&app] {
    IGps* picker = Picker(app);
    return picker != nullptr && picker->CanEdit();
  };
  hooks->locate = [&app](CPhoto& item, bool edit) {
    IGps* picker = Picker(app);
    if (picker == nullptr) return false;
    CAlbum& album = app.CurrentAlbum();
    const std::string& name = item.name.empty() ? item.fileName : item.name;
    if (!edit) {
      picker->ShowLocation(item.gpsLongitude, item.gpsLatitude, album.mapZoom, name);
      return false;
    }
    double longitude = item.gpsLongitude;
    double latitude = item.gpsLatitude;
    int zoom = album.mapZoom;
    if (!picker->EditLocation(&longitude, &latitude, &zoom, album.mapLongitude, album.mapLatitude,
                              name)) {
      return false;
    }
    item.gpsLongitude = longitude;
    item.gpsLatitude = latitude;
    album.mapZoom = zoom;
    return true;
  };
}

void MarkItemLocated(CAlbum& album, CPhoto& item) {
  // A deleted position is no place to centre the next map on.
  if (item.HasGps()) {
    album.mapLongitude = item.gpsLongitude;
    album.mapLatitude = item.gpsLatitude;
  }
  item.needsUpload = true;
  album.modified = true;
}

int LocateItemsWithoutPosition(CAlbum& album, double latitude, double longitude) {
  int located = 0;
  for (auto& item : album.items) {
    if (!item->included || item->HasGps()) continue;
    item->gpsLatitude = latitude;
    item->gpsLongitude = longitude;
    MarkItemLocated(album, *item);
    ++located;
  }
  return located;
}

}  // namespace zerva
