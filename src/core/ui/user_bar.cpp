#include "ui/user_bar.h"

#include <cstdio>

#include "app/text_utils.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "session/user_session.h"
#include "ui/main_window_view.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

constexpr int kUserFields[] = {kUserName,   kUserVip,     kUserUrl,  kUserSettings,
                               kUserLogout, kUserService, kUserNews, kUserNewsText};

bool IsUrlCharacter(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  return std::string_view("\"%<>\\^`{|}").find(static_cast<char>(c)) == std::string_view::npos;
}

}  // namespace

std::string CanonicalizeUrl(const std::string& url) {
  std::string escaped;
  for (const char ch : url) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUrlCharacter(c)) {
      escaped += ch;
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", c);
      escaped += code;
    }
  }
  escaped = ReplaceAll(escaped, "%3A", ":");
  return ReplaceAll(escaped, "%3D", "=");
}

std::string UpdateStatusText(int progress) {
  if (progress <= 0) return {};
  if (progress > 99) return Text("msgUpdateFinished");
  char percent[32];
  std::snprintf(percent, sizeof percent, " (%d %%)", progress);
  return Text("msgUpdating") + percent;
}

CUserDlg::CUserDlg(CzervaDlg& window, PageView& view) : window_(window), view_(view) {}

void CUserDlg::UpdateTexts() {
  view_.SetText(kUserSettings, Text("userSetting"));
  view_.SetTooltip(kUserSettings, Text("userSettingTool"));
  view_.SetText(kUserLogout, Text("msgLogout"));
  view_.SetTooltip(kUserLogout, Text("msgLogoutTool"));
  view_.SetText(kUserService, Text("zervanet"));
  view_.SetTooltip(kUserService, Text("zervanetTool"));
  view_.SetText(kUserNews, Text("newRules"));
  view_.SetTooltip(kUserUrl, Text("UserDlgUrlTool"));
  view_.SetText(kUserAbout, Text("aboutLink"));
  view_.SetText(kUserStatus, UpdateStatusText(updateProgress_));
}

void CUserDlg::ShowUserFields(bool shown) {
  for (const int control : kUserFields) view_.Show(control, shown);
}

void CUserDlg::Update(bool restart) {
  CzervaApp& app = window_.App();
  const CUserSession& session = app.Session();
  if (session.UserId() < 1 || !session.IsSignedIn()) {
    ShowUserFields(false);
    view_.StopTimer(kUserRefreshTimer);
    return;
  }
  const UserDetails& details = session.Details();
  const std::string name = session.Name();
  view_.SetText(kUserName, details.fullName.empty() ? Text("userFillFullName") : details.fullName);
  // The full name is the user's own text, never a key.
  view_.SetTooltip(kUserName, TooltipText(details.fullName.empty() ? "EditUserDetailDlgTitle"
                                                                   : "@@@" + details.fullName));
  view_.SetText(kUserVip, session.IsVip() ? Text("userVIP") : std::string());
  view_.SetText(kUserUrl, UserSiteUrl(name));
  for (const int control : {kUserName, kUserVip, kUserUrl, kUserService}) {
    view_.Show(control, true);
  }
  const bool onAlbums = window_.CurrentPageName() == kAlbumsPage;
  const bool links = onAlbums && !app.CommandLine().FilesGiven();
  for (const int control : {kUserSettings, kUserLogout}) {
    view_.Show(control, links);
    view_.Enable(control, links);
  }
  const InfoBanner& banner = session.Banner();
  view_.Show(kUserNews, !banner.url.empty());
  const bool newsText = !banner.url.empty() && !banner.caption.empty();
  view_.SetText(kUserNewsText, banner.caption);
  view_.SetTooltip(kUserNewsText, banner.description);
  view_.Show(kUserNewsText, newsText);

  if (restart && banner.interval > 0) view_.StartTimer(kUserRefreshTimer, banner.interval * 1000);
}

void CUserDlg::SetUpdateStatus(int progress) {
  updateProgress_ = progress;
  view_.SetText(kUserStatus, UpdateStatusText(progress));
}

void CUserDlg::ShowLogoutInProgress() {
  ShowUserFields(false);
  view_.StopTimer(kUserRefreshTimer);
  view_.SetText(kUserStatus, Text("msgLogoutInProgress"));
}

void CUserDlg::EndLogout() {
  view_.SetText(kUserStatus, UpdateStatusText(updateProgress_));
}

void CUserDlg::OnCommand(int control) {
  CzervaApp& app = window_.App();
  const CUserSession& session = app.Session();
  const bool signedIn = session.IsSignedIn();
  switch (control) {
    case kUserNext:
      window_.Next(nullptr);
      break;
    case kUserBack:
      window_.Back();
      break;
    case kUserName:
      if (window_.CurrentPageName() == kAlbumsPage && session.Details().fullName.empty()) {
        window_.GoTo(kEditUserDetailPage, this);
      }
      break;
    case kUserUrl:
      window_.OpenUrlSignedIn(UserSiteUrl(session.Name()));
      break;
    case kUserSettings:
      window_.GoTo(kEditUserDetailPage, this);
      break;
    case kUserLogout:
      window_.Logout();
      break;
    case kUserService:
      if (signedIn) {
        window_.OpenUrlSignedIn(ServiceUrl());
      } else {
        window_.OpenUrl(ServiceUrl());
      }
      break;
    case kUserNews: {
      const std::string& url = session.Banner().url;
      if (url.empty()) break;
      if (signedIn) {
        window_.OpenUrlSignedIn(CanonicalizeUrl(url));
      } else {
        window_.OpenUrl(url);
      }
      break;
    }
    case kUserAbout:
      window_.View().OpenAboutBox();
      break;
    default:
      break;
  }
}

void CUserDlg::OnTimer(int timer) {
  if (timer != kUserRefreshTimer) return;
  CUserSession& session = window_.App().Session();
  if (!session.IsSignedIn()) return;
  session.LoadInfo();
  Update(true);
}

}  // namespace zerva
