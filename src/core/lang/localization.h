// The language table: every text the user sees is looked up here by key. It is filled from
// the language file next to the program, then possibly from a newer copy on the service, and
// after sign-in from the file of the user's language.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language_file.h"
#include "lang/languages.h"

namespace zerva {

// Fetches the text at `url` from the service; nullopt when the call failed. The caller supplies
// its connection, so that this table stays free of transport code.
using FetchText = std::function<std::optional<std::string>(const std::string& url)>;

class CLocalization {
 public:
  // `folder` (with a trailing "/") holds the local language files; empty means the program's
  // data files.
  explicit CLocalization(std::string folder = {});
  CLocalization(const CLocalization&) = delete;
  CLocalization& operator=(const CLocalization&) = delete;

  // Start-up load: the file of the thread's locale, else the English one. False, with a trace
  // line naming both files, when neither gives a version.
  bool LoadLocal();
  // Start-up refresh from `baseUrl` (ends in "/"): the thread locale's file, else the English
  // one; it replaces the active texts when its version is not lower than the local one.
  void LoadRemote(const std::string& baseUrl, const FetchText& fetch);
  // The same rule for a file somebody else fetched; returns its version (0 = not usable).
  int LoadRemoteText(std::string_view text);
  // After sign-in: the file of `localeId`, else of the thread's locale, else English; for each,
  // the newer of the service's and the local copy (equal versions: the service's).
  bool SwitchToLanguage(const std::string& baseUrl, int localeId, const FetchText& fetch);

  // The text of `key`; "?" + key + "?" when it is missing or empty. Safe from any thread.
  std::string Text(std::string_view key) const;

  bool IsLoaded() const;
  int LocalVersion() const;
  int RemoteVersion() const;
  // The active file's "locationID"; 0 when none is loaded.
  int LocationId() const;
  // The active file's "monthNames" split at ",".
  std::vector<std::string> MonthNames() const;

  int DefaultLocaleId() const { return defaultLocaleId_; }
  // Empty when the identifier is not one of the shipped languages.
  std::string LanguageCode(int localeId) const;
  std::string LanguageName(int localeId) const;
  const std::map<int, std::string>& LanguageCodes() const { return codes_; }
  const std::map<int, std::string>& LanguageNames() const { return names_; }

  // Reads the local file `name` into a fresh map; returns its version, 0 when it cannot be
  // read or is not a complete language file.
  int LoadLocalFile(const std::string& name, TextMap& map) const;

 private:
  struct Loaded {
    std::shared_ptr<TextMap> map = std::make_shared<TextMap>();
    int version = 0;
  };
  Loaded LoadLocalNamed(const std::string& name) const;
  static Loaded LoadRemoteNamed(const std::string& url, const FetchText& fetch);
  std::shared_ptr<const TextMap> Active() const;
  void Activate(std::shared_ptr<const TextMap> map, const std::string& fileName);

  std::shared_ptr<const TextMap> active_ = std::make_shared<TextMap>();
  std::map<int, std::string> codes_;
  std::map<int, std::string> names_;
  const int defaultLocaleId_ = kDefaultLocaleId;
  int localVersion_ = 0;
  int remoteVersion_ = 0;
  bool loaded_ = false;

  // Which file the active texts came from, so that the English fallback on the service does
  // not replace texts of the user's own language.
  std::string activeFile_;
  std::string folder_;
  // Guards everything above: loads run on the user-interface thread, lookups come from anywhere.
  mutable std::mutex mutex_;
};

}  // namespace zerva
