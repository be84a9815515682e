// The GPS location picker ("GpsDlg"): shows an item's position on the service's map page (or an
// external map site) and lets the user save a new one there. The page reports positions through
// its document title (map_title.h); a saved one becomes the committed position, a place merely
// pointed at the pending one. Without an embedded web view the picker only opens the map in the
// default browser.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/gps_picker.h"
#include "ui/gps_view.h"

namespace zerva {

class Dialogs;

inline constexpr int kGpsProviderService = 0;
inline constexpr int kGpsProviderExternal = 1;
// The page draws its own button bar of this height above the map while editing.
inline constexpr int kGpsEditBarHeight = 40;

// "%.7f, %.7f" of latitude and longitude; "msgGpsNoCoordinates" when both are 0.
std::string GpsPositionText(double longitude, double latitude);

class GpsDlg : public IGps, private GpsEvents {
 public:
  // `views` empty: no embedded web view. `dialogs` asks the unsaved-location question;
  // `openUrl` opens an address in the default browser. Both outlive the picker.
  GpsDlg(GpsViewFactory views, Dialogs& dialogs, std::function<void(const std::string&)> openUrl);
  ~GpsDlg() override;
  GpsDlg(const GpsDlg&) = delete;
  GpsDlg& operator=(const GpsDlg&) = delete;

  // --- IGps ---
  void SetProvider(int provider) override;
  bool CanEdit() const override;
  void ShowLocation(double longitude, double latitude, int zoom,
                    const std::string& itemName) override;
  [[nodiscard]] bool EditLocation(double* longitude, double* latitude, int* zoom,
                                  double centreLongitude, double centreLatitude,
                                  const std::string& itemName) override;

  int Provider() const { return provider_; }

 private:
  struct Position {
    double longitude = 0.0;
    double latitude = 0.0;
    bool operator==(const Position&) const = default;
  };

  // Fills the view and runs it; the view is gone when it returns.
  void RunDialog(GpsView& view);
  // The map's address; `area` null when no embedded view shows it.
  std::string MapAddress(const GpsAreaSize* area) const;
  void Commit(Position position, int zoom);

  // --- GpsEvents ---
  void OnPageTitleChanged(const std::string& title) override;
  void OnDeletePressed() override;
  bool OnCloseRequested() override;

  GpsViewFactory views_;
  Dialogs& dialogs_;
  std::function<void(const std::string&)> openUrl_;
  const bool browserAvailable_;
  int provider_ = kGpsProviderService;
  bool editMode_ = false;
  Position committed_;
  int zoom_ = 0;
  Position pending_;
  Position centre_;
  std::string itemName_;
  GpsView* view_ = nullptr;  // while the dialog runs
};

}  // namespace zerva
