// The remembered login names and album folders: a list text of elements of one name
// ("<email>a</email><email>b</email>"), oldest first, without separators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

class Profile;

inline constexpr const char* kEmailHistoryElement = "email";
inline constexpr const char* kDirHistoryElement = "dir";

// The names of the list, oldest first; empty elements are skipped.
std::vector<std::string> ReadHistoryList(std::string_view listText, std::string_view element);
// The list with every exact (case-sensitive) copy of `name` removed and `name` appended. An
// empty name, or one holding the element's own tags (it would split into other names when read
// back), leaves the list as it is.
std::string PushHistoryName(std::string_view listText, std::string_view element,
                            std::string_view name);
// The list without any exact copy of `name`.
std::string RemoveHistoryName(std::string_view listText, std::string_view element,
                              std::string_view name);

// The e-mail history of the login page ("setup" "EmailHistory").
std::vector<std::string> EmailHistory(const Profile& profile);
bool PushEmailHistory(Profile& profile, std::string_view loginName);
bool RemoveEmailHistory(Profile& profile, std::string_view loginName);

// The album folders used before by one login ("<login>" "DirHistory").
std::vector<std::string> DirHistory(const Profile& profile, std::string_view loginName);
bool PushDirHistory(Profile& profile, std::string_view loginName, std::string_view folder);
bool RemoveDirHistory(Profile& profile, std::string_view loginName, std::string_view folder);

}  // namespace zerva
