// The user settings page: the signed-in user's profile (full name, description, language, web
// address, password) and client preferences (EXIF texts, default watermark), saved with
// SetUserDetails by Next and discarded after a question by Back.
#pragma once

#include <string>

#include "ui/zerva_dialog.h"

namespace zerva {

// Controls of the settings page.
inline constexpr int kSettingsFullNameLabel = 300;
inline constexpr int kSettingsFullName = 301;
inline constexpr int kSettingsDescLabel = 302;
inline constexpr int kSettingsDesc = 303;
inline constexpr int kSettingsLanguageLabel = 304;
inline constexpr int kSettingsLanguage = 305;
inline constexpr int kSettingsWwwLabel = 306;
inline constexpr int kSettingsWww = 307;
inline constexpr int kSettingsPass1Label = 308;
inline constexpr int kSettingsPass1 = 309;
inline constexpr int kSettingsPass2Label = 310;
inline constexpr int kSettingsPass2 = 311;
inline constexpr int kSettingsExifLabel = 312;
inline constexpr int kSettingsExifName = 313;
inline constexpr int kSettingsExifDesc = 314;
inline constexpr int kSettingsWatermarkLabel = 315;
inline constexpr int kSettingsWatermark = 316;
inline constexpr int kSettingsMapsLabel = 317;
inline constexpr int kSettingsMaps = 318;
inline constexpr int kSettingsPublish = 319;
inline constexpr int kSettingsMoreKey = 320;
inline constexpr int kSettingsMoreValue = 321;

// What both password fields show while they stand for the remembered digest.
inline constexpr const char* kPasswordPlaceholder = "*****";

// The web address as it is stored: "http://" in front of an address without a scheme.
std::string WebAddressToStore(const std::string& typed);

class CEditUserDetailDlg : public CZervaDialog {
 public:
  CEditUserDetailDlg(CzervaDlg& window, PageView& view);

  void UpdateTexts() override;
  void InitControls() override;
  void OnShowPage(bool cameBack) override;
  bool OnNext() override;
  bool OnBack() override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  // Enter in a one-line field saves, as Next does; the description takes it as a new line.
  void OnEnter() override;

  bool PageModified() const { return pageModified_; }
  bool LanguageChanged() const { return languageChanged_; }
  bool PasswordChanged() const { return passwordChanged_; }
  // The remembered digest while the placeholder shows, else the digest of the typed text.
  std::string PasswordValue(int control);

 private:
  void UpdateNextButton();
  void StoreFields();
  int LocaleAt(int index) const;
  int IndexOfLocale(int localeId) const;

  bool pageModified_ = false;
  bool languageChanged_ = false;
  bool passwordChanged_ = false;
  bool passwordPlaceholder_ = true;
  bool loading_ = false;
  int chosenLocale_ = 0;
};

}  // namespace zerva
