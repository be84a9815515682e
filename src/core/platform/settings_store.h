// The per-user settings file that stands in for the registry profile: an INI-style text
// ("[section]" lines, "entry=value" lines) at $XDG_CONFIG_HOME/zerva/zerva.conf, mode 0600.
//
// Section names are login names as typed and values may hold any byte, so the characters that
// would break the line format are written as %XX and read back: "%", CR, LF and NUL everywhere,
// "[" and "]" in section names, "[" and "=" in entry names. Every string round-trips.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zerva {

using SettingsSections = std::map<std::string, std::map<std::string, std::string>>;

// Larger settings files are not read (they read as empty) and never written.
inline constexpr int64_t kMaxSettingsFileBytes = 4 * 1024 * 1024;

// Lines that are neither a section header nor an entry of a section are skipped; never throws.
// A later entry of the same name wins; sections of the same name are merged.
SettingsSections ParseSettingsText(std::string_view text);
std::string SerializeSettings(const SettingsSections& sections);

class SettingsStore {
 public:
  explicit SettingsStore(std::string path);

  // ConfigRoot() + "zerva.conf", resolved at every call.
  static std::string DefaultPath();
  const std::string& Path() const { return path_; }

  // The stored value; empty when it is missing or the file cannot be read. The file is read
  // at every call (it is small and read rarely), so what other processes wrote is seen at once.
  std::string Read(std::string_view section, std::string_view entry) const;

  // Stores `value`; an empty value removes the entry. False when the file cannot be written.
  bool Write(std::string_view section, std::string_view entry, std::string_view value);

  // Read-modify-write of one value under the file lock, so that a change computed from the old
  // value does not lose a change another process made meanwhile. `change` gets the stored value
  // and returns the new one.
  bool Update(std::string_view section, std::string_view entry,
              const std::function<std::string(const std::string&)>& change);

 private:
  std::string path_;
};

}  // namespace zerva
