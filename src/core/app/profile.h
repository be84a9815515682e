// The local settings profile: values by section and entry, kept in the per-user settings file.
// Every caller ignores write failures; a value that was never written reads as empty.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace zerva {

// Every section and entry the program keeps in the profile.
namespace profile_keys {
inline constexpr const char* kSetup = "setup";
inline constexpr const char* kEmail = "email";  // login name last used on the login page
inline constexpr const char* kEmailHistory = "EmailHistory";  // list of "email" elements
inline constexpr const char* kPass = "pass";  // password digest ("setup") or cleared (login)
inline constexpr const char* kProxy = "proxy";
inline constexpr const char* kProxyUser = "proxyuser";  // scrambled user name and password
inline constexpr const char* kProxyAuth = "proxyauth";
// Entries of the per-login section, named by the trimmed login name.
inline constexpr const char* kLogin = "login";            // user name as the service reported it
inline constexpr const char* kDirHistory = "DirHistory";  // list of "dir" elements
inline constexpr const char* kUpdater = "updater";
inline constexpr const char* kLast = "last";  // time of the last update check
inline constexpr const char* kRver = "rver";  // build that made that check
inline constexpr const char* kCommon = "common";
inline constexpr const char* kUuid = "uuid";  // installation identifier
inline constexpr const char* kResizableState = "ResizableState";
// A window's placement entry is its name followed by this suffix.
inline constexpr const char* kWindowPlacementSuffix = "WindowPlacement";
inline constexpr const char* kMainWindowName = "zervaDlg";
}  // namespace profile_keys

class Profile {
 public:
  explicit Profile(std::string path) : store_(std::move(path)) {}

  std::string GetProfileString(std::string_view section, std::string_view entry) const {
    return store_.Read(section, entry);
  }
  bool WriteProfileString(std::string_view section, std::string_view entry,
                          std::string_view value) {
    return store_.Write(section, entry, value);
  }
  // A change computed from the stored value, made under the file lock.
  bool UpdateProfileString(std::string_view section, std::string_view entry,
                           const std::function<std::string(const std::string&)>& change) {
    return store_.Update(section, entry, change);
  }
  const std::string& Path() const { return store_.Path(); }

 private:
  SettingsStore store_;
};

// The profile of the current user's settings file. Resolved again at every call, so a changed
// XDG_CONFIG_HOME gets its own profile; the reference stays valid for the life of the process.
Profile& AppProfile();

// The installation identifier: the stored one, or a new sequential UUID that is stored first.
// Empty only when no UUID can be made.
std::string InstallationId(Profile& profile);

}  // namespace zerva
