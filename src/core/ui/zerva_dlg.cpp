#include "ui/zerva_dlg.h"

#include "app/profile.h"
#include "app/trace.h"
#include "app/version.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "session/language_switch.h"
#include "session/user_session.h"
#include "ui/page_factory.h"
#include "ui/user_bar.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

constexpr unsigned kMsgRaiseWindow = 1100;

}  // namespace

TrackSize MinTrackSize(int screenWidth, int screenHeight) {
  if (screenWidth > 800 && screenHeight > 600) return {914, 680};
  return {632, 524};
}

CzervaDlg::CzervaDlg(CzervaApp& app, MainWindowView& view) : app_(app), view_(view) {}

CzervaDlg::~CzervaDlg() {
  app_.Session().SetRaiseHandler(nullptr);
}

void CzervaDlg::InitDialog(const PageViews& views, int screenWidth, int screenHeight) {
  userBar_ = std::make_unique<CUserDlg>(*this, view_.UserBar());
  CPageManager::Hooks hooks;
  hooks.showPage = [this](PageId page, bool shown) { view_.ShowPage(page, shown); };
  hooks.albumListEmpty = [this] { return app_.AlbumMngr().albums.empty(); };
  hooks.refreshLogo = [this] { RefreshLogo(); };
  pages_ = std::make_unique<CPageManager>(std::move(hooks));

  // The sign-in lock's listener runs on a thread of its own; the window comes to the front on
  // the user-interface thread.
  raiseTarget_ = app_.AppUiThread().MakeWindow([this](const WindowMessage& message) {
    if (message.id == kMsgRaiseWindow) view_.Raise();
    return MessageParam{0};
  });
  app_.Session().SetRaiseHandler([target = std::weak_ptr<MessageTarget>(raiseTarget_)] {
    if (const auto window = target.lock()) window->Post(WindowMessage{kMsgRaiseWindow, 0, 0, {}});
  });

  SetHeaderTitle(Text("title"));
  SetHeaderText(Text("text"));
  userBar_->UpdateTexts();
  for (int i = 0; i < kPageCount; ++i) {
    const PageId id = static_cast<PageId>(i);
    view_.ShowPage(id, false);
    std::unique_ptr<CZervaDialog> page = MakePage(id, *this, *views[i]);
    page->Initialise();
    pages_->Add(std::move(page));
  }
  OnDisplayChange(screenWidth, screenHeight);
  UpdateTitle();
  userBar_->Update(false);
}

void CzervaDlg::ShowFirstPage() {
  if (CurrentPage() == nullptr) Next(nullptr);
}

// The user bar's links depend on the page shown, so it follows every move.
bool CzervaDlg::Next(const void* from) {
  const bool moved = pages_->Next(from);
  if (moved) UpdateUserBar(false);
  return moved;
}

bool CzervaDlg::Back() {
  const bool moved = pages_->Back();
  if (moved) UpdateUserBar(false);
  return moved;
}

bool CzervaDlg::GoTo(std::string_view pageName, const void* arg) {
  const bool moved = pages_->GoTo(pageName, arg);
  if (moved) UpdateUserBar(false);
  return moved;
}

std::string CzervaDlg::CurrentPageName() const {
  return pages_ ? pages_->CurrentName() : std::string();
}

CZervaDialog* CzervaDlg::CurrentPage() const {
  return pages_ ? pages_->Current() : nullptr;
}

bool CzervaDlg::LastMoveWasBack() const {
  return pages_ && pages_->LastMoveWasBack();
}

void CzervaDlg::SetHeaderTitle(const std::string& text) {
  view_.Header().SetText(kHeaderTitle, text);
}

void CzervaDlg::SetHeaderText(const std::string& text) {
  view_.Header().SetText(kHeaderText, text);
}

void CzervaDlg::SetNextButton(const std::string& text, const std::string& tooltip) {
  view_.UserBar().SetText(kUserNext, text);
  view_.UserBar().SetTooltip(kUserNext, TooltipText(tooltip));
}

void CzervaDlg::SetBackButton(const std::string& text, const std::string& tooltip) {
  view_.UserBar().SetText(kUserBack, text);
  view_.UserBar().SetTooltip(kUserBack, TooltipText(tooltip));
}

void CzervaDlg::ShowNextButton(bool shown) {
  view_.UserBar().Show(kUserNext, shown);
}

void CzervaDlg::ShowBackButton(bool shown) {
  view_.UserBar().Show(kUserBack, shown);
}

void CzervaDlg::EnableNextButton(bool enabled) {
  view_.UserBar().Enable(kUserNext, enabled);
}

void CzervaDlg::EnableBackButton(bool enabled) {
  view_.UserBar().Enable(kUserBack, enabled);
}

void CzervaDlg::UpdateUserBar(bool restart) {
  if (userBar_) userBar_->Update(restart);
}

void CzervaDlg::RefreshLogo() {
  std::vector<std::string> logos;
  for (const Partner& partner : app_.Session().Partners()) {
    if (!partner.logo.empty()) logos.push_back(partner.logo);
  }
  view_.Header().SetImages(kHeaderLogos, logos);
}

void CzervaDlg::OnBandClicked() {
  if (CZervaDialog* page = CurrentPage()) page->OnBandClicked();
}

void CzervaDlg::ShowWaitPopup(const std::string& text, const std::string& title) {
  app_.ShowWaitMessage(text, title);
}

void CzervaDlg::CloseWaitPopup() {
  app_.HideWaitMessage();
}

void CzervaDlg::OpenUrlSignedIn(const std::string& url) {
  app_.OpenUrlSignedIn(url);
}

void CzervaDlg::OpenUrl(const std::string& url) {
  app_.OpenUrl(url);
}

Reply CzervaDlg::Message(const std::string& text, const std::string& caption, MessageKind kind,
                         MessageButtons buttons) {
  return view_.ShowMessage(text, caption, kind, buttons);
}

std::string CzervaDlg::WindowTitle() const {
  std::string title = Text("mainTitle") + " | " + Text("msgBuild") + " " + kVersionText;
  const CmdLineInfo& commandLine = app_.CommandLine();
  if (commandLine.FilesGiven()) title += " - " + commandLine.Label() + " uploader";
  return title;
}

void CzervaDlg::UpdateTitle() {
  view_.SetTitle(WindowTitle());
}

void CzervaDlg::OnDisplayChange(int screenWidth, int screenHeight) {
  const TrackSize size = MinTrackSize(screenWidth, screenHeight);
  view_.SetMinimumSize(size.width, size.height);
}

void CzervaDlg::OnLanguageChanged() {
  userBar_->UpdateTexts();
  userBar_->Update(false);
  if (CZervaDialog* page = CurrentPage()) {
    page->UpdateTexts();
  } else {
    SetHeaderTitle(Text("title"));
    SetHeaderText(Text("text"));
  }
  UpdateTitle();
}

bool CzervaDlg::SwitchLanguage(int localeId) {
  ApplyLanguageLocale(localeId);
  ShowWaitPopup(Text("msgDownloadingLocalization"), Text("msgInfo"));
  FetchText fetch = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
  if (CHttpConnect* connection = app_.MainConnection()) fetch = MakeFetchText(*connection);
  const bool switched = app_.Lang().SwitchToLanguage(LanguageFilesBaseUrl(), localeId, fetch);
  CloseWaitPopup();
  if (!switched) Trace(kTraceWarning, 0, "SwitchLanguage: no texts for %d\n", localeId);
  return switched;
}

std::optional<WindowPlacement> CzervaDlg::LoadPlacement() const {
  return LoadWindowPlacement(AppProfile(), profile_keys::kMainWindowName, false);
}

void CzervaDlg::SavePlacement(const WindowPlacement& placement) const {
  SaveWindowPlacement(AppProfile(), profile_keys::kMainWindowName, placement, false);
}

void CzervaDlg::Logout() {
  if (app_.CurrentAlbum().modified &&
      Message(Text("msgNotSavedOnExit"), MessageCaption(MessageKind::kWarning),
              MessageKind::kWarning, MessageButtons::kYesNo) != Reply::kYes) {
    return;
  }
  CUserSession& session = app_.Session();
  if (CZervaDialog* detail = pages_->Page(PageId::kPhotoDetail)) detail->ReleaseCaches();
  if (!session.SaveSettings()) TraceText(kTraceWarning, "Logout: " + session.LastError());
  userBar_->ShowLogoutInProgress();
  session.Logout();
  AppProfile().WriteProfileString(profile_keys::kSetup, profile_keys::kPass, "");
  // Signed out, the program speaks the system's language again.
  const int language = session.EffectiveLanguage();
  if (language != app_.Lang().LocationId() && SwitchLanguage(language)) OnLanguageChanged();
  GoTo(kLoginPage, userBar_.get());
  userBar_->EndLogout();
}

bool CzervaDlg::OnClose() {
  if (app_.CurrentAlbum().modified &&
      Message(Text("msgNotSavedOnExit"), MessageCaption(MessageKind::kWarning),
              MessageKind::kWarning, MessageButtons::kYesNo) != Reply::kYes) {
    return false;
  }
  if (CurrentPage() != nullptr && CurrentPage()->Id() == PageId::kCopy &&
      app_.JobsMngr().IsRunning()) {
    ShowWaitPopup(Text("msgWaitForThreadEnd"), Text("msgInfo"));
    const bool stopped = app_.JobsMngr().KillJobs();
    CloseWaitPopup();
    if (!stopped) {
      // The album and its items must outlive the job still working on them.
      Message(Text("msgUploadNotStopped"), MessageCaption(MessageKind::kWarning),
              MessageKind::kWarning, MessageButtons::kOk);
      return false;
    }
  }
  CUserSession& session = app_.Session();
  if (session.IsSignedIn()) {
    if (!session.SaveSettings()) TraceText(kTraceWarning, "Close: " + session.LastError());
    session.Logout();
  }
  userBar_->Update(false);
  view_.CloseTraceWindow();
  return true;
}

void CzervaDlg::CloseWindow() {
  view_.CloseWindow();
}

}  // namespace zerva
