#include "session/user_session.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/app_folders.h"
#include "app/elements.h"
#include "app/profile.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "category/value_set.h"
#include "lang/text.h"
#include "net/api_result.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "platform/shell_open.h"
#include "session/sign_in_answer.h"

namespace zerva {
namespace {

const char* const kNoConnection = "no connection to the service";

int ClampedInt(int64_t value) {
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

CUserSession::CUserSession() = default;
CUserSession::~CUserSession() = default;

// ---------------------------------------------------------------------------------------------
// The lock

bool CUserSession::LockLogin(const std::string& loginName) {
  switch (loginLock_.Acquire(loginName)) {
    case LockResult::kAcquired:
      return false;
    case LockResult::kHeldElsewhere:
      return true;
    case LockResult::kFailed:
      break;
  }
  // Without sockets to spare the lock cannot be had; signing in anyway beats
  // refusing an account that nobody else uses.
  TraceText(kTraceWarning, "LockLogin: the sign-in lock of " + loginName + " is not available");
  return false;
}

void CUserSession::ReleaseLoginLock() {
  loginLock_.Release();
}

bool CUserSession::HoldsLoginLock() const {
  return loginLock_.Held();
}

void CUserSession::SetRaiseHandler(LoginLock::RaiseHandler handler) {
  loginLock_.SetRaiseHandler(std::move(handler));
}

// ---------------------------------------------------------------------------------------------
// Sign-in and sign-out

void CUserSession::SetCredentials(bool signedIn, std::string name, std::string digest, int userId) {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  signedIn_ = signedIn;
  name_ = std::move(name);
  passwordDigest_ = std::move(digest);
  userId_ = userId;
}

void CUserSession::ResetForSignIn() {
  {
    std::lock_guard<std::mutex> lock(credentialsMutex_);
    name_.clear();
    userId_ = 0;
  }
  setting_.clear();
  lastError_.clear();
  details_.code.clear();
  details_.fullName.clear();
  details_.description.clear();
  details_.www.clear();
  details_.newPasswordDigest.clear();
  details_.changePassword = false;
  albumSort_.Reset();
  secondSort_.Reset();
  pageOrder_.Reset();
  partners_.clear();
  // Another account may sign in now: nothing of the previous one may reach its
  // settings or its forms.
  variables_.clear();
  settings_ = UserSettings();
  categoryValues_.clear();
}

bool CUserSession::FailSignIn(const std::string& message) {
  lastError_ = message;
  SetCredentials(false, "", "", 0);
  loginName_.clear();
  ReleaseLoginLock();
  return false;
}

void CUserSession::Apply(SignInAnswer& answer) {
  setting_ = std::move(answer.setting);
  details_.code = std::move(answer.code);
  details_.timeout = answer.timeout;
  details_.quota = answer.quota;
  details_.usedSize = answer.usedSize;
  details_.emailHistory = std::move(answer.emailHistory);
  details_.userType = answer.userType;
  details_.lang = answer.lang;
  details_.watermarkWidth = answer.watermarkWidth;
  details_.watermarkHeight = answer.watermarkHeight;
  details_.fullName = std::move(answer.fullName);
  details_.description = std::move(answer.description);
  details_.www = std::move(answer.www);

  variables_ = std::move(answer.variables);
  settings_.LoadFrom(variables_);
  albumSort_.Set(settings_.sortAlb1, settings_.sortAlb2);

  partners_ = std::move(answer.partners);
  ParsePageOrder(answer.pageOrder, &pageOrder_);
  if (answer.canPublishOnFB) details_.canPublishOnFB = *answer.canPublishOnFB;
  if (answer.defaultWatermark) details_.defaultWatermark = *answer.defaultWatermark;
}

bool CUserSession::Login(const std::string& loginName, const std::string& passwordDigest) {
  ResetForSignIn();
  if (connection_ == nullptr) return FailSignIn(std::string("GetLogin: ") + kNoConnection);
  CHttpConnect& connection = *connection_;
  const ApiResult result = connection.GetLogin(loginName, passwordDigest);
  if (!result.Ok()) return FailSignIn(result.message);

  SignInAnswer answer = ParseSignInAnswer(result.value);
  const bool hasPartners = answer.hasPartners;
  const std::string name = answer.name;
  const int userId = answer.userId;
  Apply(answer);
  loginName_ = loginName;
  SetCredentials(true, name, passwordDigest, userId);
  AppProfile().WriteProfileString(loginName, profile_keys::kLogin, name);

  if (!hasPartners) partners_ = LoadPartners(connection, name, passwordDigest, userId);
  userFolder_ = TempSubFolder(name);
  DownloadPartnerLogos(connection, partners_, userFolder_);
  LoadInfo();
  // The tree is asked for in the language of the running program, as the menus
  // show it.
  if (categories_.LoadCategories(connection, name, passwordDigest, userId, ThreadLocaleId())) {
    return true;
  }
  TraceText(kTraceError, "Login: the category tree could not be loaded");
  lastError_ = Text("msgCategoryLoadError");
  return false;
}

void CUserSession::Logout() {
  if (!userFolder_.empty() && !DeleteDirectoryTree(userFolder_)) {
    TraceText(kTraceWarning, "Logout: cannot delete " + userFolder_);
  }
  if (!loginName_.empty()) {
    Profile& profile = AppProfile();
    profile.WriteProfileString(loginName_, profile_keys::kLogin, "");
    profile.WriteProfileString(loginName_, profile_keys::kPass, "");
  }
  ReleaseLoginLock();
  {
    std::lock_guard<std::mutex> lock(credentialsMutex_);
    signedIn_ = false;
    userId_ = 0;
  }
  details_.fullName.clear();
  details_.lang = ThreadLocaleId();
  variables_.clear();
  SetWatermarkTemplate(nullptr);
}

void CUserSession::MarkSignedOut() {
  {
    std::lock_guard<std::mutex> lock(credentialsMutex_);
    signedIn_ = false;
  }
  ReleaseLoginLock();
}

// ---------------------------------------------------------------------------------------------
// Saving

bool CUserSession::SaveProfile() {
  if (connection_ == nullptr) {
    lastError_ = std::string("SetUserDetails: ") + kNoConnection;
    return false;
  }
  const SessionCredentials credentials = Credentials();
  const ApiResult sent = connection_->SetUserDetails(
      credentials.name, credentials.passwordDigest, credentials.userId, details_.fullName,
      details_.description, details_.www, details_.lang, details_.newPasswordDigest,
      details_.changePassword, PageOrderText(), details_.defaultWatermark);
  // The operation hands back the body as it came; a refusal in it is still a
  // refusal.
  const ApiResult result = sent.Ok() ? ParseAnswer(sent.value) : sent;
  if (!result.Ok()) {
    lastError_ = result.message;
    return false;
  }
  const std::string description = GetElement(sent.value, "description");
  if (!description.empty()) details_.description = description;
  lastError_.clear();

  if (details_.changePassword && !details_.newPasswordDigest.empty()) {
    // From now on the service knows only the new digest.
    const std::string digest = details_.newPasswordDigest;
    SetCredentials(true, credentials.name, digest, credentials.userId);
    details_.newPasswordDigest.clear();
    details_.changePassword = false;
    AppProfile().UpdateProfileString(
        profile_keys::kSetup, profile_keys::kPass,
        [&digest](const std::string& stored) { return stored.empty() ? stored : digest; });
  }
  return true;
}

bool CUserSession::SaveSettings() {
  if (connection_ == nullptr) {
    lastError_ = std::string("SetSetting: ") + kNoConnection;
    return false;
  }
  settings_.sortAlb1 = albumSort_.Key();
  settings_.sortAlb2 = albumSort_.Direction();
  setting_ = BuildSettingText(setting_, settings_, &variables_);
  const SessionCredentials credentials = Credentials();
  const ApiResult result =
      connection_->SetSetting(credentials.name, credentials.passwordDigest, setting_);
  if (!result.Ok()) {
    lastError_ = result.message;
    return false;
  }
  for (auto& [name, variable] : variables_) variable.changed = false;
  lastError_.clear();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Service pages and lists

void CUserSession::LoadInfo() {
  banner_ = InfoBanner();
  const SessionCredentials credentials = Credentials();
  if (!credentials.signedIn || connection_ == nullptr) return;
  const ApiResult result =
      connection_->GetInfo(credentials.name, credentials.passwordDigest, details_.lang);
  if (!result.Ok()) return;
  banner_.url = GetElement(result.value, "url");
  banner_.caption = GetElement(result.value, "caption");
  banner_.description = GetElement(result.value, "description");
  if (!banner_.description.empty()) banner_.description = LfToCrLf(banner_.description);
  banner_.interval = ClampedInt(GetElementInt(result.value, "interval"));
}

bool CUserSession::GetAlbumList(int albumId, std::string* list) {
  list->clear();
  if (connection_ == nullptr) {
    lastError_ = std::string("GetAlbums: ") + kNoConnection;
    return false;
  }
  const SessionCredentials credentials = Credentials();
  ApiResult result = connection_->GetAlbums(credentials.name, credentials.passwordDigest,
                                            credentials.userId, albumId);
  if (!result.Ok()) {
    lastError_ = result.message;
    return false;
  }
  *list = std::move(result.value);
  return true;
}

std::string CUserSession::SignedInUrl(const std::string& targetUrl) {
  const SessionCredentials credentials = Credentials();
  if (!credentials.signedIn || connection_ == nullptr) return {};
  const ApiResult ticket =
      connection_->GetLoginTicket(credentials.name, credentials.passwordDigest);
  if (!ticket.Ok() || ticket.value.empty()) return {};
  return LoginByTicketUrl(ticket.value, targetUrl);
}

bool CUserSession::OpenWithTicket(const std::string& targetUrl) {
  const std::string signedIn = SignedInUrl(targetUrl);
  return ShellOpen(signedIn.empty() ? targetUrl : signedIn);
}

// ---------------------------------------------------------------------------------------------
// State

bool CUserSession::IsSignedIn() const {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  return signedIn_;
}

SessionCredentials CUserSession::Credentials() const {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  return SessionCredentials{signedIn_, name_, passwordDigest_, userId_};
}

std::string CUserSession::Name() const {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  return name_;
}

std::string CUserSession::PasswordDigest() const {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  return passwordDigest_;
}

int CUserSession::UserId() const {
  std::lock_guard<std::mutex> lock(credentialsMutex_);
  return userId_;
}

int CUserSession::EffectiveLanguage() const {
  return details_.lang != 0 ? details_.lang : ThreadLocaleId();
}

bool CUserSession::IsVip() const {
  return IsSignedIn() && details_.userType == kVipUserType;
}

std::string CUserSession::PageOrderText() const {
  return zerva::PageOrderText(pageOrder_);
}

void CUserSession::SetPageOrderText(std::string_view text) {
  ParsePageOrder(text, &pageOrder_);
}

std::shared_ptr<const std::string> CUserSession::WatermarkTemplate() const {
  std::lock_guard<std::mutex> lock(watermarkMutex_);
  return watermarkTemplate_;
}

void CUserSession::SetWatermarkTemplate(std::shared_ptr<const std::string> bytes) {
  std::lock_guard<std::mutex> lock(watermarkMutex_);
  watermarkTemplate_ = std::move(bytes);
}

// ---------------------------------------------------------------------------------------------
// Category form values

void CUserSession::StoreConfirmedValues(int categoryId, const std::string& valueSet) {
  categoryValues_[categoryId] = valueSet;
  MergeRememberedValues(valueSet);
}

std::string CUserSession::StartValues(int categoryId) const {
  const auto it = categoryValues_.find(categoryId);
  if (it != categoryValues_.end() && !it->second.empty()) return it->second;
  return settings_.categoryNewsData;
}

void CUserSession::MergeRememberedValues(std::string_view valueSet) {
  settings_.categoryNewsData = MergeValueSets(settings_.categoryNewsData, valueSet);
}

}  // namespace zerva
