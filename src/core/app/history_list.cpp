#include "app/history_list.h"

#include <algorithm>

#include "app/elements.h"
#include "app/profile.h"

namespace zerva {
namespace {

std::string JoinHistory(const std::vector<std::string>& names, std::string_view element) {
  std::string out;
  for (const auto& name : names) out += MakeElement(element, name);
  return out;
}

bool SafeHistoryName(std::string_view name, std::string_view element) {
  if (name.empty()) return false;
  const std::string open = "<" + std::string(element) + ">";
  const std::string close = "</" + std::string(element) + ">";
  return name.find(open) == std::string_view::npos && name.find(close) == std::string_view::npos;
}

}  // namespace

std::vector<std::string> ReadHistoryList(std::string_view listText, std::string_view element) {
  return GetElements(listText, element);
}

std::string PushHistoryName(std::string_view listText, std::string_view element,
                            std::string_view name) {
  if (!SafeHistoryName(name, element)) return std::string(listText);
  std::vector<std::string> names = ReadHistoryList(listText, element);
  std::erase(names, name);
  names.emplace_back(name);
  return JoinHistory(names, element);
}

std::string RemoveHistoryName(std::string_view listText, std::string_view element,
                              std::string_view name) {
  std::vector<std::string> names = ReadHistoryList(listText, element);
  if (std::erase(names, name) == 0) return std::string(listText);
  return JoinHistory(names, element);
}

std::vector<std::string> EmailHistory(const Profile& profile) {
  using namespace profile_keys;
  return ReadHistoryList(profile.GetProfileString(kSetup, kEmailHistory), kEmailHistoryElement);
}

bool PushEmailHistory(Profile& profile, std::string_view loginName) {
  using namespace profile_keys;
  return profile.UpdateProfileString(kSetup, kEmailHistory, [&](const std::string& list) {
    return PushHistoryName(list, kEmailHistoryElement, loginName);
  });
}

bool RemoveEmailHistory(Profile& profile, std::string_view loginName) {
  using namespace profile_keys;
  return profile.UpdateProfileString(kSetup, kEmailHistory, [&](const std::string& list) {
    return RemoveHistoryName(list, kEmailHistoryElement, loginName);
  });
}

std::vector<std::string> DirHistory(const Profile& profile, std::string_view loginName) {
  return ReadHistoryList(profile.GetProfileString(loginName, profile_keys::kDirHistory),
                         kDirHistoryElement);
}

bool PushDirHistory(Profile& profile, std::string_view loginName, std::string_view folder) {
  return profile.UpdateProfileString(
      loginName, profile_keys::kDirHistory,
      [&](const std::string& list) { return PushHistoryName(list, kDirHistoryElement, folder); });
}

bool RemoveDirHistory(Profile& profile, std::string_view loginName, std::string_view folder) {
  return profile.UpdateProfileString(
      loginName, profile_keys::kDirHistory,
      [&](const std::string& list) { return RemoveHistoryName(list, kDirHistoryElement, folder); });
}

}  // namespace zerva
