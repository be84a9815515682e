#include "lang/localization.h"

#include "app/trace.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/locale.h"

namespace zerva {
namespace {

// The names to try, in order, each once: a repeated name would only repeat the same failure.
std::vector<std::string> DistinctNames(std::initializer_list<std::string> names) {
  std::vector<std::string> result;
  for (const std::string& name : names) {
    bool seen = false;
    for (const std::string& earlier : result) seen = seen || earlier == name;
    if (!seen) result.push_back(name);
  }
  return result;
}

}  // namespace

CLocalization::CLocalization(std::string folder) : folder_(std::move(folder)) {
  for (const Language& language : Languages()) {
    codes_[language.localeId] = language.code;
    names_[language.localeId] = language.name;
  }
}

int CLocalization::LoadLocalFile(const std::string& name, TextMap& map) const {
  const std::string path = folder_.empty() ? DataFilePath(name) : folder_ + name;
  std::string text;
  if (!ReadFileBounded(path, kMaxLanguageFileBytes, &text)) return 0;
  return ParseLanguageText(text, map);
}

CLocalization::Loaded CLocalization::LoadLocalNamed(const std::string& name) const {
  Loaded loaded;
  loaded.version = LoadLocalFile(name, *loaded.map);
  return loaded;
}

CLocalization::Loaded CLocalization::LoadRemoteNamed(const std::string& url,
                                                     const FetchText& fetch) {
  Loaded loaded;
  if (!fetch) return loaded;
  // Nothing fetched is written to disk: the service's copy lives only in memory.
  if (const std::optional<std::string> text = fetch(url)) {
    loaded.version = ParseLanguageText(*text, *loaded.map);
  }
  return loaded;
}

std::shared_ptr<const TextMap> CLocalization::Active() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return active_;
}

void CLocalization::Activate(std::shared_ptr<const TextMap> map, const std::string& fileName) {
  // Called with mutex_ held. The old map lives on in any lookup that still holds it.
  active_ = std::move(map);
  activeFile_ = fileName;
  loaded_ = true;
}

bool CLocalization::LoadLocal() {
  const std::string first = LanguageFileName(ThreadLocaleId());
  const std::string second = LanguageFileName(defaultLocaleId_);
  std::string name = first;
  Loaded loaded = LoadLocalNamed(first);
  if (loaded.version == 0) {
    name = second;
    loaded = LoadLocalNamed(second);
  }
  if (loaded.version == 0) {
    TraceText(kTraceError, "Nelze nacist lokalni jazykovy soubor " + first + " ani " + second);
    return false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  Activate(std::move(loaded.map), name);
  localVersion_ = loaded.version;
  return true;
}

void CLocalization::LoadRemote(const std::string& baseUrl, const FetchText& fetch) {
  const std::string wanted = LanguageFileName(ThreadLocaleId());
  std::string name = wanted;
  Loaded loaded = LoadRemoteNamed(baseUrl + wanted, fetch);
  if (loaded.version == 0 && wanted != kDefaultLanguageFile) {
    name = kDefaultLanguageFile;
    loaded = LoadRemoteNamed(baseUrl + name, fetch);
  }
  if (loaded.version == 0) return;  // missing, truncated or unversioned: local texts stay

  std::lock_guard<std::mutex> lock(mutex_);
  remoteVersion_ = loaded.version;
  if (loaded.version < localVersion_) return;
  // The service lacking the user's language is no reason to show English instead of the
  // complete local file of that language.
  if (name != wanted && activeFile_ == wanted) return;
  Activate(std::move(loaded.map), name);
}

int CLocalization::LoadRemoteText(std::string_view text) {
  auto map = std::make_shared<TextMap>();
  const int version = ParseLanguageText(text, *map);
  if (version == 0) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  remoteVersion_ = version;
  if (version >= localVersion_) Activate(std::move(map), activeFile_);
  return version;
}

bool CLocalization::SwitchToLanguage(const std::string& baseUrl, int localeId,
                                     const FetchText& fetch) {
  for (const std::string& name :
       DistinctNames({LanguageFileName(localeId), LanguageFileName(ThreadLocaleId()),
                      kDefaultLanguageFile})) {
    Loaded remote = LoadRemoteNamed(baseUrl + name, fetch);
    Loaded local = LoadLocalNamed(name);
    if (remote.version == 0 && local.version == 0) continue;

    std::lock_guard<std::mutex> lock(mutex_);
    Activate(remote.version < local.version ? std::move(local.map) : std::move(remote.map), name);
    localVersion_ = local.version;
    remoteVersion_ = remote.version;
    return true;
  }
  return false;
}

std::string CLocalization::Text(std::string_view key) const {
  const std::shared_ptr<const TextMap> map = Active();
  if (const auto it = map->find(key); it != map->end() && !it->second.empty()) return it->second;
  std::string missing;
  missing.reserve(key.size() + 2);
  missing.append("?").append(key).append("?");
  return missing;
}

bool CLocalization::IsLoaded() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return loaded_;
}

int CLocalization::LocalVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return localVersion_;
}

int CLocalization::RemoteVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return remoteVersion_;
}

int CLocalization::LocationId() const {
  return LanguageNumber(*Active(), "locationID");
}

std::vector<std::string> CLocalization::MonthNames() const {
  const std::shared_ptr<const TextMap> map = Active();
  std::vector<std::string> names;
  const auto it = map->find(std::string_view("monthNames"));
  if (it == map->end() || it->second.empty()) return names;
  std::string_view rest = it->second;
  while (true) {
    const size_t comma = rest.find(',');
    names.emplace_back(rest.substr(0, comma));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return names;
}

std::string CLocalization::LanguageCode(int localeId) const {
  const auto it = codes_.find(localeId);
  return it == codes_.end() ? std::string() : it->second;
}

std::string CLocalization::LanguageName(int localeId) const {
  const auto it = names_.find(localeId);
  return it == names_.end() ? std::string() : it->second;
}

}  // namespace zerva
