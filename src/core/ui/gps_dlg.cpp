#include "ui/gps_dlg.h"

#include <utility>

#include "app/dialogs.h"
#include "lang/text.h"
#include "model/number_text.h"
#include "net/endpoints.h"
#include "ui/map_title.h"

namespace zerva {
namespace {

constexpr const char* kMapPagePath = "program/googlemaps.php";
constexpr const char* kExternalMapUrl = "https://mapy.cz/zakladni";

std::string HelpLines(std::string text) {
  for (char& c : text) {
    if (c == ';') c = '\n';
  }
  return text;
}

}  // namespace

std::string GpsPositionText(double longitude, double latitude) {
  if (longitude == 0.0 && latitude == 0.0) return Text("msgGpsNoCoordinates");
  return FormatFixed(latitude, 7) + ", " + FormatFixed(longitude, 7);
}

GpsDlg::GpsDlg(GpsViewFactory views, Dialogs& dialogs,
               std::function<void(const std::string&)> openUrl)
    : views_(std::move(views)),
      dialogs_(dialogs),
      openUrl_(std::move(openUrl)),
      browserAvailable_(static_cast<bool>(views_)) {}

GpsDlg::~GpsDlg() = default;

void GpsDlg::SetProvider(int provider) {
  provider_ = provider == kGpsProviderExternal ? kGpsProviderExternal : kGpsProviderService;
}

bool GpsDlg::CanEdit() const {
  return browserAvailable_ && provider_ == kGpsProviderService;
}

void GpsDlg::ShowLocation(double longitude, double latitude, int zoom,
                          const std::string& itemName) {
  committed_ = {longitude, latitude};
  centre_ = committed_;
  zoom_ = zoom;
  itemName_ = itemName;
  editMode_ = false;
  std::unique_ptr<GpsView> view = browserAvailable_ ? views_() : nullptr;
  if (view) {
    RunDialog(*view);
    return;
  }
  const std::string address = MapAddress(nullptr);
  if (!address.empty() && openUrl_) openUrl_(address);
}

bool GpsDlg::EditLocation(double* longitude, double* latitude, int* zoom, double centreLongitude,
                          double centreLatitude, const std::string& itemName) {
  if (!CanEdit()) return false;
  std::unique_ptr<GpsView> view = views_();
  if (!view) return false;
  const Position given{*longitude, *latitude};
  committed_ = given;
  zoom_ = *zoom;
  centre_ = {centreLongitude, centreLatitude};
  itemName_ = itemName;
  editMode_ = true;
  RunDialog(*view);
  editMode_ = false;
  if (committed_ == given) return false;
  *longitude = committed_.longitude;
  *latitude = committed_.latitude;
  *zoom = zoom_;
  return true;
}

void GpsDlg::RunDialog(GpsView& view) {
  GpsTexts texts;
  texts.title = Text("msgGpsLocation");
  if (!itemName_.empty()) texts.title += " - " + itemName_;
  texts.coordinates = Text("msgGpsCoordinates");
  if (editMode_) {
    texts.help = HelpLines(Text("msgGpsHelp"));
    texts.oldLabel = Text("msgOld");
    texts.newLabel = Text("msgNew");
    texts.deleteButton = Text("msgGpsDelete");
    texts.closeButton = Text("msgGpsCancel");
  }
  pending_ = committed_;
  view_ = &view;
  view.SetEvents(this);
  view.SetTexts(texts);
  view.ShowEditControls(editMode_);
  view.SetOldPosition(GpsPositionText(committed_.longitude, committed_.latitude));
  view.SetNewPosition(GpsPositionText(pending_.longitude, pending_.latitude));
  const GpsAreaSize area = view.MapAreaSize();
  view.Navigate(MapAddress(&area));
  view.RunModal();
  view.SetEvents(nullptr);
  view_ = nullptr;
}

std::string GpsDlg::MapAddress(const GpsAreaSize* area) const {
  if (provider_ == kGpsProviderExternal) {
    return std::string(kExternalMapUrl) + "?q=" +
           UrlEscape(FormatFixed(committed_.latitude, 7) + " " +
                     FormatFixed(committed_.longitude, 7)) +
           "&z=" + std::to_string(zoom_) + "&title=" + UrlEscape(itemName_);
  }
  std::string address =
      ServiceUrl() + kMapPagePath + "?lat=" + FormatFixed(committed_.latitude, 7) +
      "&lon=" + FormatFixed(committed_.longitude, 7) + "&zoom=" + std::to_string(zoom_) +
      "&dlat=" + FormatFixed(centre_.latitude, 7) + "&dlon=" + FormatFixed(centre_.longitude, 7);
  if (area != nullptr) {
    const int height = area->height - (editMode_ ? kGpsEditBarHeight : 0);
    address += "&w=" + std::to_string(area->width) + "&h=" + std::to_string(height);
  }
  if (editMode_) {
    address += "&t1=" + UrlEscape(Text("msgGpsWebBtnFind")) +
               "&t2=" + UrlEscape(Text("msgGpsWebBtnSave")) +
               "&t3=" + UrlEscape(Text("msgGpsLocationNotFound")) + "&edit";
  }
  return address;
}

void GpsDlg::Commit(Position position, int zoom) {
  committed_ = position;
  zoom_ = zoom;
  // A saved place leaves nothing unsaved: the page forgets the place pointed at, and so do we,
  // or closing after a save or a delete would ask about a place already dealt with.
  pending_ = position;
  if (view_ != nullptr) {
    view_->SetOldPosition(GpsPositionText(position.longitude, position.latitude));
    view_->SetNewPosition(GpsPositionText(position.longitude, position.latitude));
  }
}

void GpsDlg::OnPageTitleChanged(const std::string& title) {
  // Showing a position changes nothing, whatever the page says.
  if (!editMode_) return;
  const std::optional<MapTitleReport> report = ParseMapTitle(title);
  if (!report) return;
  const Position position{report->longitude, report->latitude};
  if (report->Saved()) {
    Commit(position, report->zoom);
    return;
  }
  pending_ = position;
  if (view_ != nullptr)
    view_->SetNewPosition(GpsPositionText(position.longitude, position.latitude));
}

void GpsDlg::OnDeletePressed() {
  if (!editMode_) return;
  Commit({}, zoom_);
}

bool GpsDlg::OnCloseRequested() {
  if (!editMode_ || pending_ == committed_) return true;
  return dialogs_.ShowMessage(Text("gpsWarningUnsavedLocation"), MessageKind::kWarning,
                              MessageButtons::kYesNo) == Reply::kYes;
}

}  // namespace zerva
