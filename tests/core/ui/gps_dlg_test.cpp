// The GPS location picker with a fake window: what the map page's title changes do to the
// positions, the map addresses of both providers, delete, the unsaved-place question, and the
// fallback to the default browser without an embedded map.
#include "ui/gps_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/scripted_dialogs.h"
#include "core/ui/fake_gps_view.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "ui/map_title.h"

namespace zerva {
namespace {

auto Title(std::string title) {
  return [title](GpsEvents& events) { events.OnPageTitleChanged(title); };
}
auto Delete() {
  return [](GpsEvents& events) { events.OnDeletePressed(); };
}
// Tries to close in the middle of the script; `allowed` receives the answer.
auto TryClose(bool* allowed) {
  return [allowed](GpsEvents& events) { *allowed = events.OnCloseRequested(); };
}

class GpsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Localization().LoadLocal()); }

  GpsDlg MakePicker(bool browser = true) {
    GpsViewFactory views;
    if (browser) views = [this] { return std::make_unique<FakeGpsView>(screen_); };
    return GpsDlg(views, dialogs_, [this](const std::string& url) { opened_.push_back(url); });
  }

  // An edit of an item at 49.2 / 16.5, zoom 6, map centre 50 / 15.
  bool Edit(GpsDlg& picker) {
    return picker.EditLocation(&longitude_, &latitude_, &zoom_, 15.0, 50.0, "Harbour");
  }

  GpsScreen screen_;
  ScriptedDialogs dialogs_{Reply::kNo};
  std::vector<std::string> opened_;
  double longitude_ = 16.5;
  double latitude_ = 49.2;
  int zoom_ = 6;
};

TEST(MapTitle, ReadsTheFourFieldsOrNothing) {
  const std::optional<MapTitleReport> saved = ParseMapTitle("Loc:49.1950000,16.6070000,14,y");
  ASSERT_TRUE(saved);
  EXPECT_DOUBLE_EQ(saved->latitude, 49.195);
  EXPECT_DOUBLE_EQ(saved->longitude, 16.607);
  EXPECT_EQ(saved->zoom, 14);
  EXPECT_TRUE(saved->Saved());
  const std::optional<MapTitleReport> pointed = ParseMapTitle("Loc:-33.8,-70.6,3,n");
  ASSERT_TRUE(pointed);
  EXPECT_DOUBLE_EQ(pointed->latitude, -33.8);
  EXPECT_DOUBLE_EQ(pointed->longitude, -70.6);
  EXPECT_FALSE(pointed->Saved());
  // The flag is the rest of the title, commas and all.
  EXPECT_EQ(ParseMapTitle("Loc:1,2,3,y,z")->flag, "y,z");
  EXPECT_FALSE(ParseMapTitle("Loc:1,2,3,y,z")->Saved());

  for (const char* title : {"about:blank",
                            kMapPageOwnTitle,
                            "",
                            "Loc:",
                            "Loc:49.195,16.607",
                            "Loc:49.195,16.607,14",
                            "loc:49.195,16.607,14,y",
                            " Loc:49.195,16.607,14,y",
                            "Loc:,16.607,14,y",
                            "Loc:49.195,,14,y",
                            "Loc:49.195,16.607,,y",
                            "Loc:49,195,16,607,14,y",
                            "Loc:49.1x,16.607,14,y",
                            "Loc:49.195,16.607,14.5,y",
                            "Loc:4e1,16.607,14,y",
                            "Loc:nan,16.607,14,y",
                            "Loc:inf,16.607,14,y",
                            "Loc:91,16.607,14,y",
                            "Loc:49.195,-180.5,14,y",
                            "Loc:49.195,16.607,-1,y",
                            "Loc:49.195,16.607,31,y",
                            "Loc:49.195,16.607,99999999999,y",
                            "Loc:+49.195,16.607,14,y",
                            "Loc: 49.195,16.607,14,y"}) {
    EXPECT_FALSE(ParseMapTitle(title)) << title;
  }
}

TEST_F(GpsDlgTest, ASavedPlaceIsCommittedAndAPointedOneOnlyShown) {
  GpsDlg picker = MakePicker();
  dialogs_.QueueReply(Reply::kYes);
  screen_.script = {Title("Loc:49.1950000,16.6070000,14,n")};
  EXPECT_FALSE(Edit(picker)) << "a place only pointed at is not stored";
  EXPECT_EQ(screen_.newTexts.back(), "49.1950000, 16.6070000");
  EXPECT_EQ(screen_.oldTexts.back(), "49.2000000, 16.5000000");
  EXPECT_DOUBLE_EQ(longitude_, 16.5);
  EXPECT_DOUBLE_EQ(latitude_, 49.2);
  EXPECT_EQ(zoom_, 6);
  // It asked before closing on the unsaved place; the "Yes" let it go.
  ASSERT_EQ(dialogs_.Messages().size(), 1u);

  screen_.script = {Title("Loc:49.1950000,16.6070000,14,n"),
                    Title("Loc:49.1950000,16.6070000,14,y")};
  EXPECT_TRUE(Edit(picker));
  EXPECT_DOUBLE_EQ(latitude_, 49.195);
  EXPECT_DOUBLE_EQ(longitude_, 16.607);
  EXPECT_EQ(zoom_, 14);
  EXPECT_EQ(screen_.oldTexts.back(), "49.1950000, 16.6070000");
  // Saved: nothing left to ask about.
  EXPECT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(screen_.closeAttempts, 2);
}

TEST_F(GpsDlgTest, MalformedAndForeignTitlesChangeNothing) {
  GpsDlg picker = MakePicker();
  screen_.script = {Title("about:blank"),         Title(kMapPageOwnTitle),
                    Title("Loc:49.195,16.607"),   Title("Loc:49.195,16.607,14"),
                    Title("Loc:abc,16.607,14,y"), Title("Loc:95,16.607,14,y"),
                    Title("Somewhere else")};
  EXPECT_FALSE(Edit(picker));
  EXPECT_EQ(screen_.oldTexts, std::vector<std::string>{"49.2000000, 16.5000000"});
  EXPECT_EQ(screen_.newTexts, std::vector<std::string>{"49.2000000, 16.5000000"});
  EXPECT_TRUE(dialogs_.Messages().empty());
  EXPECT_DOUBLE_EQ(longitude_, 16.5);
  EXPECT_DOUBLE_EQ(latitude_, 49.2);
  EXPECT_EQ(zoom_, 6);
}

TEST_F(GpsDlgTest, AnUnsavedPlaceIsAskedAboutAndNoKeepsTheDialogOpen) {
  GpsDlg picker = MakePicker();
  bool allowed = true;
  dialogs_.QueueReply(Reply::kNo);
  dialogs_.QueueReply(Reply::kYes);
  screen_.script = {Title("Loc:48.1,17.1,9,n"), TryClose(&allowed)};
  EXPECT_FALSE(Edit(picker));
  EXPECT_FALSE(allowed) << "No keeps the dialog open";
  const std::vector<ScriptedDialogs::Message> asked = dialogs_.Messages();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].text, Text("gpsWarningUnsavedLocation"));
  EXPECT_EQ(asked[0].kind, MessageKind::kWarning);
  EXPECT_EQ(asked[0].buttons, MessageButtons::kYesNo);
  // Closed without saving: the caller's values stay.
  EXPECT_DOUBLE_EQ(longitude_, 16.5);
  EXPECT_DOUBLE_EQ(latitude_, 49.2);
  EXPECT_EQ(zoom_, 6);
}

TEST_F(GpsDlgTest, DeleteCommitsNoPositionWithoutAQuestion) {
  GpsDlg picker = MakePicker();
  screen_.script = {Title("Loc:49.1950000,16.6070000,14,y"), Delete()};
  EXPECT_TRUE(Edit(picker));
  EXPECT_EQ(longitude_, 0.0);
  EXPECT_EQ(latitude_, 0.0);
  EXPECT_EQ(zoom_, 14) << "the zoom stays as the map had it";
  EXPECT_EQ(screen_.oldTexts.back(), Text("msgGpsNoCoordinates"));
  EXPECT_TRUE(dialogs_.Messages().empty());

  // Deleting a position the item never had changes nothing.
  screen_.script = {Delete()};
  EXPECT_FALSE(Edit(picker));
}

TEST_F(GpsDlgTest, TheDialogShowsItsTextsAndTheServiceMapAddress) {
  GpsDlg picker = MakePicker();
  ASSERT_TRUE(picker.CanEdit());
  EXPECT_FALSE(Edit(picker));
  EXPECT_EQ(screen_.texts.title, Text("msgGpsLocation") + " - Harbour");
  EXPECT_EQ(screen_.texts.coordinates, Text("msgGpsCoordinates"));
  EXPECT_EQ(screen_.texts.oldLabel, Text("msgOld"));
  EXPECT_EQ(screen_.texts.deleteButton, Text("msgGpsDelete"));
  EXPECT_EQ(screen_.texts.closeButton, Text("msgGpsCancel"));
  std::string help = Text("msgGpsHelp");
  ASSERT_NE(help.find(';'), std::string::npos);
  for (char& c : help) {
    if (c == ';') c = '\n';
  }
  EXPECT_EQ(screen_.texts.help, help);
  EXPECT_TRUE(screen_.editControls);
  // Editing: the page's own button bar takes 40 pixels, and it gets its texts.
  ASSERT_EQ(screen_.navigated.size(), 1u);
  EXPECT_EQ(screen_.navigated[0],
            ServiceUrl() +
                "program/googlemaps.php?lat=49.2000000&lon=16.5000000&zoom=6&dlat=50.0000000"
                "&dlon=15.0000000&w=600&h=360&t1=" +
                UrlEscape(Text("msgGpsWebBtnFind")) + "&t2=" + UrlEscape(Text("msgGpsWebBtnSave")) +
                "&t3=" + UrlEscape(Text("msgGpsLocationNotFound")) + "&edit");

  // Showing: the whole area, centred on the position, nothing to edit, no name in the title.
  picker.ShowLocation(-0.1275, 51.5072, 12, "");
  EXPECT_EQ(screen_.texts.title, Text("msgGpsLocation"));
  EXPECT_FALSE(screen_.editControls);
  EXPECT_TRUE(screen_.texts.help.empty());
  ASSERT_EQ(screen_.navigated.size(), 2u);
  EXPECT_EQ(screen_.navigated[1], ServiceUrl() +
                                      "program/googlemaps.php?lat=51.5072000&lon=-0.1275000"
                                      "&zoom=12&dlat=51.5072000&dlon=-0.1275000&w=600&h=400");
  EXPECT_TRUE(opened_.empty());
}

TEST_F(GpsDlgTest, ShowingAPositionNeverChangesOneEvenWhenThePageReports) {
  GpsDlg picker = MakePicker();
  screen_.script = {Title("Loc:48.1,17.1,9,y"), Title("Loc:48.2,17.2,9,n"), Delete()};
  picker.ShowLocation(16.5, 49.2, 6, "Harbour");
  EXPECT_EQ(screen_.oldTexts.back(), "49.2000000, 16.5000000");
  EXPECT_EQ(screen_.newTexts.back(), "49.2000000, 16.5000000");
  EXPECT_TRUE(dialogs_.Messages().empty());
  // An edit afterwards starts from its own values, not from anything the page said.
  screen_.script.clear();
  EXPECT_FALSE(Edit(picker));
  EXPECT_EQ(screen_.oldTexts.back(), "49.2000000, 16.5000000");
}

TEST_F(GpsDlgTest, TheExternalProviderOnlyDisplaysInTheDefaultBrowserToo) {
  GpsDlg picker = MakePicker();
  picker.SetProvider(kGpsProviderExternal);
  EXPECT_FALSE(picker.CanEdit());
  EXPECT_FALSE(Edit(picker));
  EXPECT_EQ(screen_.runs, 0);

  GpsDlg plain = MakePicker(false);
  plain.SetProvider(kGpsProviderExternal);
  plain.ShowLocation(16.607, 49.195, 14, "Old town");
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], "https://mapy.cz/zakladni?q=49.1950000%2016.6070000&z=14&title=Old%20town");
  // Anything but 1 is the service's page.
  plain.SetProvider(7);
  EXPECT_EQ(plain.Provider(), kGpsProviderService);
}

TEST_F(GpsDlgTest, WithoutAnEmbeddedMapNothingIsEditedAndTheBrowserShowsTheMap) {
  GpsDlg picker = MakePicker(false);
  EXPECT_FALSE(picker.CanEdit());
  EXPECT_FALSE(Edit(picker));
  EXPECT_DOUBLE_EQ(longitude_, 16.5);
  EXPECT_TRUE(opened_.empty());

  picker.ShowLocation(16.607, 49.195, 14, "Old town");
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], ServiceUrl() +
                            "program/googlemaps.php?lat=49.1950000&lon=16.6070000&zoom=14"
                            "&dlat=49.1950000&dlon=16.6070000");
  EXPECT_EQ(screen_.runs, 0);
}

TEST_F(GpsDlgTest, AWindowThatCannotBeMadeEditsNothing) {
  GpsDlg picker([] { return std::unique_ptr<GpsView>(); }, dialogs_,
                [this](const std::string& url) { opened_.push_back(url); });
  EXPECT_FALSE(Edit(picker));
  picker.ShowLocation(16.5, 49.2, 6, "");
  EXPECT_EQ(opened_.size(), 1u);
}

}  // namespace
}  // namespace zerva
