// The per-account variables the service keeps for the client: read from the sign-in answer,
// written back inside the `setting` text as one "<variablesA>" element.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zerva {

struct UserVariable {
  std::string name;
  std::string value;
  bool changed = false;  // set when the client gave it a new value
};
// Ascending name order, which is also the order they are written in.
using UserVariables = std::map<std::string, UserVariable>;

// The variables the client itself uses, with their defaults.
struct UserSettings {
  int sortAlb1 = 0;
  int sortAlb2 = 1;
  std::string categoryNewsData;
  bool useExifName = false;
  bool useExifDesc = false;
  int gpsMapsProvider = 0;

  // A missing variable, or one that does not start with a decimal number, keeps the current
  // value.
  void LoadFrom(const UserVariables& variables);
  void StoreTo(UserVariables* variables) const;
  bool operator==(const UserSettings&) const = default;
};

// Creates or replaces a variable; marks it changed when its value differs.
void SetUserVariable(UserVariables* variables, const std::string& name, std::string value);

// Reads the "variable" elements ("nameVar", "valueVar") of the answer's "variablesA" element
// into the map, replacing entries of the same name. Returns how many were read; variables
// without a name are skipped.
int ReadUserVariables(std::string_view signInAnswer, UserVariables* variables);

// "<variablesA>" + one "<variable><nameVar>..</nameVar><valueVar>..</valueVar></variable>\n"
// per variable + "</variablesA>"; names and values go in as they are.
std::string SerializeUserVariables(const UserVariables& variables);

// `settingText` without its first "<variablesA>" up to the first "</variablesA>" after it (when
// both are there), with `variablesElement` appended.
std::string ReplaceVariablesElement(std::string_view settingText,
                                    std::string_view variablesElement);

// The new `setting` text of a save: the settings copied into the map, the map serialised and
// put in place of the old element.
std::string BuildSettingText(std::string_view settingText, const UserSettings& settings,
                             UserVariables* variables);

}  // namespace zerva
