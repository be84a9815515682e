// The album editor's position commands on the application's picker: none without a main
// window, the default browser while the window has no embedded map, and a confirmed edit
// carried into the item and the album's map zoom.
#include "ui/item_location.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/ui/app_fixture.h"
#include "core/ui/fake_gps_view.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/number_text.h"
#include "model/photo.h"
#include "net/endpoints.h"
#include "ui/gps_dlg.h"
#include "ui/thumbs_list_ctrl.h"

namespace zerva::test {
namespace {

void PlaceAt(CPhoto* item, double longitude, double latitude) {
  item->fileName = "p1.jpg";
  item->gpsLongitude = longitude;
  item->gpsLatitude = latitude;
}

TEST_F(AppTest, WithoutAnEmbeddedMapTheWindowShowsPositionsInTheDefaultBrowser) {
  CzervaApp& app = MakeApp();
  ThumbsListHooks hooks;
  SetLocationHooks(app, &hooks);
  CPhoto item;
  PlaceAt(&item, 16.607, 49.195);
  // Before the main window there is no picker: nothing offered, nothing opened.
  EXPECT_FALSE(hooks.canEditLocation());
  EXPECT_FALSE(hooks.locate(item, false));
  EXPECT_TRUE(frontEnd_.opened.empty());

  std::string expected;
  frontEnd_.windowCode = [&](CzervaApp& running) {
    EXPECT_NE(running.GpsPicker(), nullptr);
    EXPECT_FALSE(hooks.canEditLocation());
    EXPECT_FALSE(hooks.locate(item, true));
    EXPECT_TRUE(frontEnd_.opened.empty());
    EXPECT_FALSE(hooks.locate(item, false));
    expected = ServiceUrl() +
               "program/googlemaps.php?lat=49.1950000&lon=16.6070000&zoom=6&dlat=49.1950000"
               "&dlon=16.6070000";
    return 0;
  };
  RunApp();
  EXPECT_EQ(app.GpsPicker(), nullptr) << "the picker goes with the main window";
  EXPECT_NE(std::find(frontEnd_.opened.begin(), frontEnd_.opened.end(), expected),
            frontEnd_.opened.end());
  EXPECT_DOUBLE_EQ(item.gpsLongitude, 16.607);
}

TEST_F(AppTest, AConfirmedEditReachesTheItemAndTheAlbumsMapZoom) {
  GpsScreen screen;
  AppSeams seams;
  seams.makeGpsPicker = [&screen](CzervaApp& app) -> std::unique_ptr<IGps> {
    return std::make_unique<GpsDlg>([&screen] { return std::make_unique<FakeGpsView>(screen); },
                                    app.AppDialogs(), [](const std::string&) {});
  };
  CzervaApp& app = MakeApp(seams);
  ThumbsListHooks hooks;
  SetLocationHooks(app, &hooks);
  CPhoto item;
  PlaceAt(&item, 0.0, 0.0);
  frontEnd_.windowCode = [&](CzervaApp& running) {
    CAlbum& album = running.CurrentAlbum();
    album.mapZoom = 8;
    EXPECT_TRUE(hooks.canEditLocation());
    screen.script = {[](GpsEvents& events) { events.OnPageTitleChanged("Loc:48.1,17.1,13,y"); }};
    EXPECT_TRUE(hooks.locate(item, true));
    EXPECT_EQ(album.mapZoom, 13);
    // The map of an item without a position opened on the album's map centre.
    EXPECT_EQ(screen.navigated.size(), 1u);
    EXPECT_NE(screen.navigated.at(0).find("&zoom=8&dlat=" + FormatFixed(album.mapLatitude, 7) +
                                          "&dlon=" + FormatFixed(album.mapLongitude, 7) + "&"),
              std::string::npos)
        << screen.navigated[0];
    EXPECT_EQ(screen.texts.title, Text("msgGpsLocation") + " - p1.jpg");

    // The user's other map provider only displays.
    running.Session().MutableSettings().gpsMapsProvider = 1;
    EXPECT_FALSE(hooks.canEditLocation());
    return 0;
  };
  RunApp();
  EXPECT_DOUBLE_EQ(item.gpsLongitude, 17.1);
  EXPECT_DOUBLE_EQ(item.gpsLatitude, 48.1);
}

// A position given to the whole album (zerva-cli's --gps): only included items without one take
// it; each is sent again, and the album's map opens there.
TEST(ItemLocationTest, AGivenPositionGoesOnlyToIncludedItemsWithoutOne) {
  CAlbum album;
  auto add = [&album](double longitude, double latitude, bool included) {
    auto item = std::make_unique<CPhoto>();
    item->gpsLongitude = longitude;
    item->gpsLatitude = latitude;
    item->included = included;
    album.items.push_back(std::move(item));
  };
  add(0, 0, true);
  add(14.42, 50.08, true);  // the camera's own position
  add(0, 0, false);         // left out of the album
  add(0, 0, true);
  EXPECT_EQ(LocateItemsWithoutPosition(album, 49.195, 16.607), 2);
  EXPECT_EQ(album.items[0]->gpsLatitude, 49.195);
  EXPECT_EQ(album.items[0]->gpsLongitude, 16.607);
  EXPECT_TRUE(album.items[0]->needsUpload);
  EXPECT_EQ(album.items[1]->gpsLatitude, 50.08);
  EXPECT_FALSE(album.items[1]->needsUpload);
  EXPECT_FALSE(album.items[2]->HasGps());
  EXPECT_TRUE(album.items[3]->HasGps());
  EXPECT_EQ(album.mapLatitude, 49.195);
  EXPECT_TRUE(album.modified);
  // A deleted position leaves the map's centre where it was.
  album.items[0]->gpsLatitude = album.items[0]->gpsLongitude = 0;
  MarkItemLocated(album, *album.items[0]);
  EXPECT_EQ(album.mapLongitude, 16.607);
}

}  // namespace
}  // namespace zerva::test
