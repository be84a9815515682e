#include "app/user_variables.h"

#include <charconv>

#include "app/elements.h"

namespace zerva {
namespace {

constexpr std::string_view kVariablesOpen = "<variablesA>";
constexpr std::string_view kVariablesClose = "</variablesA>";

const UserVariable* Find(const UserVariables& variables, const char* name) {
  const auto it = variables.find(name);
  return it == variables.end() ? nullptr : &it->second;
}

void LoadInt(const UserVariables& variables, const char* name, int* field) {
  const UserVariable* variable = Find(variables, name);
  if (variable == nullptr) return;
  const std::string& v = variable->value;
  int parsed = 0;
  const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), parsed);
  if (error == std::errc()) *field = parsed;
}

void LoadFlag(const UserVariables& variables, const char* name, bool* field) {
  int value = *field ? 1 : 0;
  LoadInt(variables, name, &value);
  *field = value != 0;
}

}  // namespace

void UserSettings::LoadFrom(const UserVariables& variables) {
  LoadInt(variables, "sortAlb1", &sortAlb1);
  LoadInt(variables, "sortAlb2", &sortAlb2);
  if (const UserVariable* v = Find(variables, "categoryNewsData")) categoryNewsData = v->value;
  LoadFlag(variables, "useExifName", &useExifName);
  LoadFlag(variables, "useExifDesc", &useExifDesc);
  LoadInt(variables, "gpsMapsProvider", &gpsMapsProvider);
}

void UserSettings::StoreTo(UserVariables* variables) const {
  SetUserVariable(variables, "sortAlb1", std::to_string(sortAlb1));
  SetUserVariable(variables, "sortAlb2", std::to_string(sortAlb2));
  SetUserVariable(variables, "categoryNewsData", categoryNewsData);
  SetUserVariable(variables, "useExifName", useExifName ? "1" : "0");
  SetUserVariable(variables, "useExifDesc", useExifDesc ? "1" : "0");
  SetUserVariable(variables, "gpsMapsProvider", std::to_string(gpsMapsProvider));
}

void SetUserVariable(UserVariables* variables, const std::string& name, std::string value) {
  UserVariable& variable = (*variables)[name];
  const bool isNew = variable.name.empty();
  variable.name = name;
  if (isNew || variable.value != value) {
    variable.value = std::move(value);
    variable.changed = true;
  }
}

int ReadUserVariables(std::string_view signInAnswer, UserVariables* variables) {
  bool found = false;
  const std::string block = GetElement(signInAnswer, "variablesA", &found);
  if (!found) return 0;
  int count = 0;
  for (const std::string& item : GetElements(block, "variable")) {
    std::string name = GetElement(item, "nameVar");
    if (name.empty()) continue;
    UserVariable& variable = (*variables)[name];
    variable.value = GetElement(item, "valueVar");
    variable.name = std::move(name);
    variable.changed = false;
    ++count;
  }
  return count;
}

std::string SerializeUserVariables(const UserVariables& variables) {
  std::string out(kVariablesOpen);
  for (const auto& [name, variable] : variables) {
    out += "<variable>";
    out += MakeElement("nameVar", name);
    out += MakeElement("valueVar", variable.value);
    out += "</variable>\n";
  }
  out += kVariablesClose;
  return out;
}

std::string ReplaceVariablesElement(std::string_view settingText,
                                    std::string_view variablesElement) {
  // Unlike RemoveElement, the closing tag is looked for only after the opening one: a stray
  // closing tag in front must not keep the old element in the text.
  std::string out(settingText);
  const size_t open = out.find(kVariablesOpen);
  if (open != std::string::npos) {
    const size_t close = out.find(kVariablesClose, open + kVariablesOpen.size());
    if (close != std::string::npos) out.erase(open, close + kVariablesClose.size() - open);
  }
  out += variablesElement;
  return out;
}

std::string BuildSettingText(std::string_view settingText, const UserSettings& settings,
                             UserVariables* variables) {
  settings.StoreTo(variables);
  return ReplaceVariablesElement(settingText, SerializeUserVariables(*variables));
}

}  // namespace zerva
