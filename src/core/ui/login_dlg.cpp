#include "ui/login_dlg.h"

#include "app/credentials.h"
#include "app/elements.h"
#include "app/history_list.h"
#include "app/profile.h"
#include "app/trace.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "platform/md5.h"
#include "ui/message_caption.h"
#include "ui/sign_in.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {

CLoginDlg::CLoginDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kLogin, view) {}

void CLoginDlg::UpdateTexts() {
  Window().SetHeaderTitle(Text("LoginDlgTitle"));
  Window().SetHeaderText(Text("LoginDlgText"));
  PageView& view = View();
  view.SetText(kLoginEmailLabel, Text("email"));
  view.SetText(kLoginPasswordLabel, Text("pass"));
  view.SetText(kLoginOr, Text("staticOr"));
  view.SetText(kLoginButton, Text("login"));
  view.SetText(kLoginRemember, Text("remember"));
  view.SetText(kLoginCreate, Text("createAccount"));
  view.SetText(kLoginForgot, Text("forgetPass"));
  view.SetText(kLoginNotice, Text("msgAccountCreated"));
  Window().ShowNextButton(false);
  Window().ShowBackButton(false);
  CZervaDialog::UpdateTexts();
}

void CLoginDlg::InitControls() {
  loading_ = true;
  const Profile& profile = AppProfile();
  history_ = EmailHistory(profile);
  View().SetText(kLoginEmail, profile.GetProfileString(profile_keys::kSetup, profile_keys::kEmail));
  const std::string pass = profile.GetProfileString(profile_keys::kSetup, profile_keys::kPass);
  SetPassword(pass, !pass.empty());
  View().SetChecked(kLoginRemember, !pass.empty());
  View().Show(kLoginNotice, false);
  loading_ = false;
}

void CLoginDlg::SetPassword(const std::string& text, bool isDigest) {
  View().SetText(kLoginPassword, text);
  storedDigest_ = isDigest && !text.empty();
}

std::string CLoginDlg::ReadEmail() {
  const std::string email = TrimLoginName(View().GetText(kLoginEmail));
  View().SetText(kLoginEmail, email);
  return email;
}

std::string CLoginDlg::ReadPasswordDigest() const {
  const std::string text = View().GetText(kLoginPassword);
  if (storedDigest_) return text;
  return text.empty() ? std::string() : Md5Hex(text);
}

void CLoginDlg::OnShowPage(bool cameBack) {
  PageView& view = View();
  CzervaApp& app = App();
  loading_ = true;
  Window().UpdateUserBar(false);
  if (!view.GetText(kLoginEmail).empty() && view.GetText(kLoginPassword).empty()) {
    view.Focus(kLoginPassword);
  }
  const CmdLineInfo& commandLine = app.CommandLine();
  if (commandLine.FilesGiven()) {
    view.Show(kLoginOr, false);
    view.Show(kLoginNotice, false);
    if (!commandLine.UserName().empty() && !commandLine.Password().empty() &&
        !skipRememberedSignIn_) {
      Login(commandLine.UserName(), Md5Hex(commandLine.Password()));
    }
  }
  view.Enable(kLoginCreate, true);
  view.Enable(kLoginOr, true);

  LoginHandOver& handOver = Window().HandOver();
  if (handOver.returnedFromAccountPage) {
    handOver.returnedFromAccountPage = false;
    if (!handOver.prefillEmail.empty()) {
      view.SetText(kLoginEmail, handOver.prefillEmail);
      SetPassword(handOver.prefillPassword, false);
      handOver.prefillEmail.clear();
      handOver.prefillPassword.clear();
      view.SetChecked(kLoginRemember, true);
      view.Show(kLoginNotice, true);
      view.Enable(kLoginCreate, false);
      view.Enable(kLoginOr, false);
      view.Focus(kLoginButton);
      Login();
    } else {
      view.Focus(kLoginCreate);
    }
  } else if (cameBack) {
    view.SetText(kLoginEmail, "");
    SetPassword("", false);
    view.SetChecked(kLoginRemember, false);
  } else if (skipRememberedSignIn_) {
    skipRememberedSignIn_ = false;
  } else if (!view.GetText(kLoginEmail).empty() && !view.GetText(kLoginPassword).empty()) {
    Login();
  }
  loading_ = false;
}

void CLoginDlg::Login(const std::string& loginName, const std::string& passwordDigest) {
  CzervaApp& app = App();
  if (app.Session().IsSignedIn()) return;
  std::string name = loginName;
  std::string digest = passwordDigest;
  if (name.empty() && digest.empty()) {
    Profile& profile = AppProfile();
    name = ReadEmail();
    digest = ReadPasswordDigest();
    profile.WriteProfileString(profile_keys::kSetup, profile_keys::kEmail, name);
    PushEmailHistory(profile, name);
    history_ = EmailHistory(profile);
    const bool remember = View().IsChecked(kLoginRemember);
    profile.WriteProfileString(profile_keys::kSetup, profile_keys::kPass,
                               remember ? digest : std::string());
  }

  const SignInResult result = SignIn(app, name, digest, [this] { Window().OnLanguageChanged(); });
  switch (result.status) {
    case SignInStatus::kSignedIn:
      Window().UpdateTitle();
      Window().Next(this);
      Window().UpdateUserBar(true);
      break;
    case SignInStatus::kLockedElsewhere:
    case SignInStatus::kRefused:
      ReportFailure(result.message);
      break;
    case SignInStatus::kAlbumListAbandoned:
      skipRememberedSignIn_ = true;
      Window().GoTo(kLoginPage, nullptr);
      break;
  }
}

void CLoginDlg::ReportFailure(const std::string& message) {
  TraceText(kTraceWarning, "Login: " + message);
  const std::string url = GetElement(message, "url");
  if (!url.empty()) {
    // The service sends the user to a page of its own (an account to confirm, for example).
    Window().OpenUrl(url);
    return;
  }
  Window().Message(message, CaptionWithText(Text("loginError")), MessageKind::kError,
                   MessageButtons::kOk);
  View().Focus(kLoginPassword);
}

std::vector<std::string> CLoginDlg::HistoryMenu() const {
  return std::vector<std::string>(history_.rbegin(), history_.rend());
}

void CLoginDlg::ChooseHistoryEntry(const std::string& email) {
  View().SetText(kLoginEmail, email);
  View().SetChecked(kLoginRemember, false);
  SetPassword("", false);
  View().Focus(kLoginPassword);
}

void CLoginDlg::RemoveHistoryEntry(const std::string& email) {
  Profile& profile = AppProfile();
  RemoveEmailHistory(profile, email);
  history_ = EmailHistory(profile);
}

void CLoginDlg::ShowHistoryMenu() {
  const std::vector<std::string> entries = HistoryMenu();
  if (entries.empty()) return;
  PopupMenu menu;
  menu.items = entries;
  menu.contextText = [&entries](size_t index) {
    return Text("msgRemoveEmail") + " " + entries[index];
  };
  menu.onContext = [this, &entries](size_t index) {
    RemoveHistoryEntry(entries[index]);
    return true;
  };
  const int chosen = View().ShowPopupMenu(kLoginHistory, menu);
  if (chosen >= 0 && static_cast<size_t>(chosen) < entries.size()) {
    ChooseHistoryEntry(entries[chosen]);
  }
}

void CLoginDlg::OnCommand(int control) {
  switch (control) {
    case kLoginButton:
      Login();
      break;
    case kLoginHistory:
      ShowHistoryMenu();
      break;
    case kLoginForgot:
      Window().OpenUrl(ForgottenPasswordUrl());
      break;
    case kLoginCreate: {
      LoginHandOver& handOver = Window().HandOver();
      handOver.prefillEmail = ReadEmail();
      handOver.prefillPassword = storedDigest_ ? std::string() : View().GetText(kLoginPassword);
      Window().Back();
      break;
    }
    default:
      break;
  }
}

void CLoginDlg::OnEdited(int control) {
  if (loading_) return;
  switch (control) {
    case kLoginEmail:
      View().Show(kLoginNotice, false);
      break;
    case kLoginPassword:
      View().Show(kLoginNotice, false);
      storedDigest_ = false;
      break;
    case kLoginRemember:
      if (!View().IsChecked(kLoginRemember)) {
        AppProfile().WriteProfileString(profile_keys::kSetup, profile_keys::kPass, "");
      }
      break;
    default:
      break;
  }
}

}  // namespace zerva
