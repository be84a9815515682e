#include "app/profile.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/uuid.h"

namespace zerva {

Profile& AppProfile() {
  static std::mutex mutex;
  // Never shrinks: callers may hold a reference for as long as they run.
  static std::map<std::string, std::unique_ptr<Profile>> profiles;
  const std::string path = SettingsStore::DefaultPath();
  std::lock_guard<std::mutex> lock(mutex);
  auto& profile = profiles[path];
  if (!profile) profile = std::make_unique<Profile>(path);
  return *profile;
}

std::string InstallationId(Profile& profile) {
  using namespace profile_keys;
  std::string id = profile.GetProfileString(kCommon, kUuid);
  if (!id.empty()) return id;
  // Under the lock, so two processes starting together agree on one identifier.
  profile.UpdateProfileString(kCommon, kUuid, [&id](const std::string& stored) {
    id = stored.empty() ? CreateSequentialUuid() : stored;
    return id;
  });
  return id;
}

}  // namespace zerva
