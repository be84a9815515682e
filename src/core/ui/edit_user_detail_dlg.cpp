#include "ui/edit_user_detail_dlg.h"

#include "app/text_utils.h"
#include "app/trace.h"
#include "lang/languages.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "platform/md5.h"
#include "session/user_session.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {

std::string WebAddressToStore(const std::string& typed) {
  if (typed.empty() || typed.starts_with("http://")) return typed;
  // An address with a secure scheme has one already; a second in front would break it.
  if (typed.starts_with("https://")) return typed;
  return "http://" + typed;
}

CEditUserDetailDlg::CEditUserDetailDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kEditUserDetail, view) {}

void CEditUserDetailDlg::UpdateTexts() {
  CzervaDlg& window = Window();
  window.SetHeaderTitle(Text("EditUserDetailDlgTitle"));
  window.SetHeaderText(Text("EditUserDetailDlgText"));
  PageView& view = View();
  view.SetText(kSettingsFullNameLabel, Text("EditUserDetailDlgFullName"));
  view.SetText(kSettingsDescLabel, Text("EditUserDetailDlgDesc"));
  view.SetText(kSettingsLanguageLabel, Text("EditUserDetailDlgLang"));
  view.SetText(kSettingsWwwLabel, Text("EditUserDetailDlgWWW"));
  view.SetText(kSettingsPass1Label, Text("userPass1"));
  view.SetText(kSettingsPass2Label, Text("userPass2"));
  view.SetText(kSettingsExifLabel, Text("useExifFields"));
  view.SetText(kSettingsExifName, Text("msgPhotoName"));
  view.SetText(kSettingsExifDesc, Text("msgPhotoDesc"));
  view.SetText(kSettingsWatermarkLabel, Text("btnWatermark"));
  view.SetText(kSettingsWatermark, Text("btnWatermarkUser"));
  view.SetText(kSettingsMapsLabel, Text("usedMapsProvider"));
  view.SetText(kSettingsPublish, Text("btnPublishOnFB"));
  view.SetText(kSettingsMoreKey, Text("moreUserSettingKey"));
  view.SetText(kSettingsMoreValue, Text("moreUserSettingValue"));
  const int provider = view.Selected(kSettingsMaps);
  view.SetItems(kSettingsMaps, {"Google Maps", "Mapy CZ " + Text("msgGpsDisplayOnly")});
  view.Select(kSettingsMaps, provider);
  view.Show(kSettingsMapsLabel, false);
  view.Show(kSettingsMaps, false);

  window.SetBackButton(Text("navBack"), "navBackEditUserTool");
  window.ShowNextButton(true);
  window.ShowBackButton(true);
  window.EnableNextButton(true);
  window.EnableBackButton(true);
  UpdateNextButton();
  CZervaDialog::UpdateTexts();
}

void CEditUserDetailDlg::InitControls() {
  SetTooltipEntry(kSettingsPublish, "btnPublishOnFBTool");
  SetTooltipEntry(kSettingsMoreKey, "moreUserSettingTool");
  std::vector<std::string> names;
  for (const Language& language : Languages()) names.emplace_back(language.name);
  View().SetItems(kSettingsLanguage, names);
}

int CEditUserDetailDlg::LocaleAt(int index) const {
  const auto languages = Languages();
  if (index < 0 || static_cast<size_t>(index) >= languages.size()) return 0;
  return languages[index].localeId;
}

int CEditUserDetailDlg::IndexOfLocale(int localeId) const {
  const auto languages = Languages();
  for (size_t i = 0; i < languages.size(); ++i) {
    if (languages[i].localeId == localeId) return static_cast<int>(i);
  }
  return -1;
}

void CEditUserDetailDlg::UpdateNextButton() {
  Window().SetNextButton(Text("navNextEditUser"), pageModified_ ? "navNextEditUserTool" : "");
}

void CEditUserDetailDlg::OnShowPage(bool /*cameBack*/) {
  CUserSession& session = App().Session();
  if (!session.IsSignedIn()) return;
  passwordPlaceholder_ = true;
  passwordChanged_ = false;
  UserDetails& details = session.MutableDetails();
  details.newPasswordDigest.clear();
  details.changePassword = false;

  loading_ = true;
  PageView& view = View();
  view.SetText(kSettingsFullName, details.fullName);
  view.SetText(kSettingsDesc, LfToCrLf(details.description));
  view.SetText(kSettingsWww, details.www);
  const std::string placeholder = session.PasswordDigest().empty() ? "" : kPasswordPlaceholder;
  view.SetText(kSettingsPass1, placeholder);
  view.SetText(kSettingsPass2, placeholder);
  chosenLocale_ = session.EffectiveLanguage();
  view.Select(kSettingsLanguage, IndexOfLocale(chosenLocale_));
  const UserSettings& settings = session.Settings();
  view.SetChecked(kSettingsExifName, settings.useExifName);
  view.SetChecked(kSettingsExifDesc, settings.useExifDesc);
  view.SetChecked(kSettingsWatermark, details.defaultWatermark);
  view.Select(kSettingsMaps, settings.gpsMapsProvider);
  loading_ = false;

  pageModified_ = false;
  languageChanged_ = false;
  UpdateNextButton();
}

std::string CEditUserDetailDlg::PasswordValue(int control) {
  if (passwordPlaceholder_) return App().Session().PasswordDigest();
  const std::string typed = View().GetText(control);
  return typed.empty() ? std::string() : Md5Hex(typed);
}

void CEditUserDetailDlg::StoreFields() {
  CUserSession& session = App().Session();
  UserDetails& details = session.MutableDetails();
  PageView& view = View();
  details.fullName = view.GetText(kSettingsFullName);
  details.description = NormalizeToLf(view.GetText(kSettingsDesc), false, false, false);
  details.www = WebAddressToStore(view.GetText(kSettingsWww));
  const int language = LocaleAt(view.Selected(kSettingsLanguage));
  if (language != 0) details.lang = language;
  UserSettings& settings = session.MutableSettings();
  settings.useExifName = view.IsChecked(kSettingsExifName);
  settings.useExifDesc = view.IsChecked(kSettingsExifDesc);
  details.defaultWatermark = view.IsChecked(kSettingsWatermark);
  const int provider = view.Selected(kSettingsMaps);
  if (provider >= 0) settings.gpsMapsProvider = provider;
}

bool CEditUserDetailDlg::OnNext() {
  CzervaApp& app = App();
  CUserSession& session = app.Session();
  if (!pageModified_ || !session.IsSignedIn()) {
    Window().UpdateTitle();
    return true;
  }
  const std::string digest = PasswordValue(kSettingsPass1);
  if (passwordChanged_ && digest != PasswordValue(kSettingsPass2)) {
    WarningBox(Text("msgPasswordNotAgree"));
    View().Focus(kSettingsPass1);
    return false;
  }
  UserDetails& details = session.MutableDetails();
  details.newPasswordDigest = passwordChanged_ ? digest : std::string();
  details.changePassword = passwordChanged_;
  StoreFields();
  Window().UpdateTitle();

  Window().ShowWaitPopup(Text("msgSaveUserDetail"), Text("msgInfo"));
  const bool saved = session.SaveProfile();
  Window().CloseWaitPopup();
  if (!saved) {
    TraceText(kTraceError, "SetUserDetails: " + session.LastError());
    ErrorBox(Text("msgSaveError"));
    return false;
  }
  // The albums take the changed preferences (EXIF texts, watermark) from the session.
  app.OnSignedIn();
  pageModified_ = false;
  Window().SetNextButton(Text("navNext"), "");
  return true;
}

bool CEditUserDetailDlg::OnBack() {
  bool leave = true;
  if (pageModified_) {
    leave = InfoQuestion(Text("msgEditedUserDetail"), Text("msgWarning")) == Reply::kYes;
    if (leave && languageChanged_) {
      const int language = App().Session().EffectiveLanguage();
      if (Window().SwitchLanguage(language)) Window().OnLanguageChanged();
    }
  }
  Window().UpdateTitle();
  return leave;
}

void CEditUserDetailDlg::OnEnter() {
  Window().Next();
}

void CEditUserDetailDlg::OnCommand(int control) {
  if (control == kSettingsPublish) Window().OpenUrlSignedIn(SocialAuthorizationUrl());
  if (control == kSettingsMoreKey) Window().OpenUrlSignedIn(AccountSettingsUrl());
}

void CEditUserDetailDlg::OnEdited(int control) {
  if (loading_) return;
  PageView& view = View();
  switch (control) {
    case kSettingsLanguage: {
      const int localeId = LocaleAt(view.Selected(kSettingsLanguage));
      if (localeId == 0 || localeId == chosenLocale_) return;
      chosenLocale_ = localeId;
      pageModified_ = languageChanged_ = true;
      if (Window().SwitchLanguage(localeId)) Window().OnLanguageChanged();
      Window().UpdateTitle();
      break;
    }
    case kSettingsMaps:
      if (view.Selected(kSettingsMaps) != App().Session().Settings().gpsMapsProvider) {
        pageModified_ = true;
      }
      break;
    case kSettingsPass1:
    case kSettingsPass2:
      passwordPlaceholder_ = false;
      passwordChanged_ = true;
      pageModified_ = true;
      break;
    default:
      pageModified_ = true;
      break;
  }
  UpdateNextButton();
}

}  // namespace zerva
