// The signed-in user as the client knows it: credentials, the profile the service returned at
// sign-in, the user's settings with their variables, the sort states of the album views, the
// information banner, the category tree and partners loaded at sign-in, the values of
// confirmed category forms, and the lock that keeps one account from being signed in twice on
// this computer. One session lives as long as the application; it talks to the service over
// the connection its owner hands it (the main connection of the user-interface thread).
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_variables.h"
#include "category/category_tree.h"
#include "category/partners.h"
#include "platform/login_lock.h"
#include "session/sort_state.h"

namespace zerva {

class CHttpConnect;
struct SignInAnswer;

inline constexpr int kVipUserType = 111;
inline constexpr int kDefaultUploadDelayMs = 3000;
inline constexpr int kDefaultSessionTimeout = 10;

// What worker threads may read while the session is signed in.
struct SessionCredentials {
  bool signedIn = false;
  std::string name;            // `userName` of API calls
  std::string passwordDigest;  // `userPass`
  int userId = 0;
};

// The profile fields of the sign-in answer that the pages show and the settings page edits.
struct UserDetails {
  std::string code;
  int timeout = kDefaultSessionTimeout;
  int quota = 0;
  int usedSize = 0;
  int userType = 0;
  int lang = 0;  // Windows locale identifier; 0: the thread's locale is used
  int watermarkWidth = 0;
  int watermarkHeight = 0;
  std::string fullName;
  std::string description;  // lines end in LF
  std::string www;
  std::vector<std::string> emailHistory;  // recipients used before
  bool canPublishOnFB = false;
  bool defaultWatermark = false;
  // Pending until SaveProfile sends them.
  std::string newPasswordDigest;
  bool changePassword = false;
};

struct InfoBanner {
  std::string url;
  std::string caption;
  std::string description;  // lines end in CR LF
  int interval = 0;
};

class CUserSession {
 public:
  CUserSession();
  ~CUserSession();
  CUserSession(const CUserSession&) = delete;
  CUserSession& operator=(const CUserSession&) = delete;

  // The connection the operations use; owned by the caller, used on the caller's thread.
  void SetConnection(CHttpConnect* connection) { connection_ = connection; }
  CHttpConnect* Connection() const { return connection_; }

  // --- The one-sign-in-per-account lock (login names are trimmed by the caller) ---
  // True when the account is already signed in by another instance; the lock is then not
  // held. Otherwise the session holds the lock until Logout, a failed sign-in or its end.
  // A lock the session itself still holds is given up first. When the system has no lock to
  // give (no sockets left), the sign-in goes ahead unlocked.
  bool LockLogin(const std::string& loginName);
  void ReleaseLoginLock();
  bool HoldsLoginLock() const;
  // Called on the lock's listener thread when another instance asks for our window.
  void SetRaiseHandler(LoginLock::RaiseHandler handler);

  // --- Operations ---
  // GetLogin, then everything the answer carries, the temporary sub-folder, the partner
  // logos, the banner and the category tree; the result is that of the category load.
  bool Login(const std::string& loginName, const std::string& passwordDigest);
  // Removes the temporary sub-folder, clears the per-login profile entries, releases the lock
  // and forgets the account's profile and variables.
  void Logout();
  // The sign-in given up after it succeeded (the album list could not be loaded): signed out
  // and the lock released, nothing else changed.
  void MarkSignedOut();
  // SetUserDetails with the profile. After a successful save with a new password the session
  // and the remembered digest ("setup" "pass", when one is remembered) take the new digest.
  bool SaveProfile();
  // The user variables into the `setting` text, sent with SetSetting.
  bool SaveSettings();
  // Refreshes the information banner with GetInfo; empty when that fails.
  void LoadInfo();
  // GetAlbums; the answer's value in `list`. The last error is set on failure.
  bool GetAlbumList(int albumId, std::string* list);
  // The address that opens `targetUrl` signed in, by a login ticket of GetLoginTicket; empty
  // when signed out or when the service gives no ticket.
  std::string SignedInUrl(const std::string& targetUrl);
  // Opens `targetUrl` in the browser, signed in by a login ticket when one can be had.
  bool OpenWithTicket(const std::string& targetUrl);

  // --- State ---
  bool IsSignedIn() const;
  SessionCredentials Credentials() const;  // a copy; safe from any thread
  std::string Name() const;
  std::string PasswordDigest() const;
  int UserId() const;
  const std::string& LoginName() const { return loginName_; }
  const std::string& LastError() const { return lastError_; }
  const std::string& Setting() const { return setting_; }
  // The temporary sub-folder of the signed-in user ("" before the first sign-in).
  const std::string& UserFolder() const { return userFolder_; }

  const UserDetails& Details() const { return details_; }
  UserDetails& MutableDetails() { return details_; }
  // The language used for the account: its own, or the thread's when it has none.
  int EffectiveLanguage() const;
  // A signed-in user of type 111.
  bool IsVip() const;

  const UserSettings& Settings() const { return settings_; }
  UserSettings& MutableSettings() { return settings_; }
  const UserVariables& Variables() const { return variables_; }

  SortState& AlbumSort() { return albumSort_; }
  SortState& SecondSort() { return secondSort_; }
  SortState& PageOrder() { return pageOrder_; }
  const SortState& AlbumSort() const { return albumSort_; }
  const SortState& SecondSort() const { return secondSort_; }
  const SortState& PageOrder() const { return pageOrder_; }
  std::string PageOrderText() const;
  void SetPageOrderText(std::string_view text);

  const InfoBanner& Banner() const { return banner_; }
  const CategoryInfoMap& Categories() const { return categories_; }
  CategoryInfoMap& Categories() { return categories_; }
  const std::vector<Partner>& Partners() const { return partners_; }

  // Written and read by the photo upload job only; 3000 ms from the start, kept across
  // sign-ins.
  int UploadDelayMs() const { return uploadDelayMs_.load(); }
  void SetUploadDelayMs(int milliseconds) { uploadDelayMs_.store(milliseconds); }

  // The service's watermark template, fetched once per run by the image preparation.
  std::shared_ptr<const std::string> WatermarkTemplate() const;
  void SetWatermarkTemplate(std::shared_ptr<const std::string> bytes);

  // --- Values of category property forms ---
  // A confirmed form: the category's values become `valueSet`, which is also merged into the
  // remembered values.
  void StoreConfirmedValues(int categoryId, const std::string& valueSet);
  // The category's own values, or the remembered ones when it has none.
  std::string StartValues(int categoryId) const;
  // Every entry of `valueSet` copied over the remembered values ("categoryNewsData").
  void MergeRememberedValues(std::string_view valueSet);

 private:
  void ResetForSignIn();
  void Apply(SignInAnswer& answer);
  bool FailSignIn(const std::string& message);
  void SetCredentials(bool signedIn, std::string name, std::string digest, int userId);

  CHttpConnect* connection_ = nullptr;
  LoginLock loginLock_;

  mutable std::mutex credentialsMutex_;  // guards the four credential fields
  bool signedIn_ = false;
  std::string name_;
  std::string passwordDigest_;
  int userId_ = 0;

  std::string setting_;
  std::string lastError_;
  std::string loginName_;
  std::string userFolder_;
  UserDetails details_;
  UserVariables variables_;
  UserSettings settings_;
  std::vector<Partner> partners_;
  InfoBanner banner_;
  SortState albumSort_ = MakeAlbumListSort();
  SortState secondSort_ = MakeSecondSort();
  SortState pageOrder_ = MakePageOrder();
  CategoryInfoMap categories_;
  std::map<int, std::string> categoryValues_;
  std::atomic<int> uploadDelayMs_{kDefaultUploadDelayMs};
  mutable std::mutex watermarkMutex_;
  std::shared_ptr<const std::string> watermarkTemplate_;
};

}  // namespace zerva
