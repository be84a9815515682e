#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/folders.h"
#include "platform/fs.h"

namespace zerva {
namespace {

enum class Field { kSection, kEntry, kValue };

bool NeedsEscape(unsigned char c, Field field) {
  if (c == '%' || c == '\r' || c == '\n' || c == '\0') return true;
  // "[" would make an entry line look like a section header, "]" would end a header early.
  if (field == Field::kSection) return c == '[' || c == ']';
  if (field == Field::kEntry) return c == '[' || c == '=';
  return false;
}

std::string Escape(std::string_view text, Field field) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (NeedsEscape(c, field)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0f];
    } else {
      out += ch;
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A "%" that does not start a valid escape stays as it is, so hand-written text survives.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

// An exclusive flock on a file next to the settings file, held for the object's life. Each
// object opens its own descriptor, so threads of one process exclude each other too.
class FileLock {
 public:
  explicit FileLock(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Locked() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace

SettingsSections ParseSettingsText(std::string_view text) {
  SettingsSections sections;
  std::map<std::string, std::string>* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    // A file edited by hand on another system may end its lines with CR LF.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.size() >= 2 && line.back() == ']') {
        current = &sections[Unescape(line.substr(1, line.size() - 2))];
      } else {
        current = nullptr;  // entries under a broken header belong to no section
      }
      continue;
    }
    const size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;
    (*current)[Unescape(line.substr(0, equals))] = Unescape(line.substr(equals + 1));
  }
  return sections;
}

std::string SerializeSettings(const SettingsSections& sections) {
  std::string out;
  for (const auto& [section, entries] : sections) {
    out += '[';
    out += Escape(section, Field::kSection);
    out += "]\n";
    for (const auto& [entry, value] : entries) {
      out += Escape(entry, Field::kEntry);
      out += '=';
      out += Escape(value, Field::kValue);
      out += '\n';
    }
  }
  return out;
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

std::string SettingsStore::DefaultPath() {
  return ConfigRoot() + "zerva.conf";
}

std::string SettingsStore::Read(std::string_view section, std::string_view entry) const {
  std::string text;
  if (!ReadFileBounded(path_, kMaxSettingsFileBytes, &text)) return {};
  const SettingsSections sections = ParseSettingsText(text);
  const auto s = sections.find(std::string(section));
  if (s == sections.end()) return {};
  const auto e = s->second.find(std::string(entry));
  return e == s->second.end() ? std::string() : e->second;
}

bool SettingsStore::Write(std::string_view section, std::string_view entry,
                          std::string_view value) {
  return Update(section, entry, [value](const std::string&) { return std::string(value); });
}

bool SettingsStore::Update(std::string_view section, std::string_view entry,
                           const std::function<std::string(const std::string&)>& change) {
  const std::string folder = ParentFolder(path_);
  if (!folder.empty() && !DirectoryExists(folder) && !CreateDirectoryPath(folder, nullptr, 0700)) {
    return false;
  }
  FileLock lock(path_ + ".lock");
  if (!lock.Locked()) return false;

  std::string text;
  SettingsSections sections;
  if (ReadFileBounded(path_, kMaxSettingsFileBytes, &text)) {
    sections = ParseSettingsText(text);
  } else if (FileSize(path_) > kMaxSettingsFileBytes) {
    // Too large to be ours: keep it aside for the user rather than overwrite it.
    if (std::rename(path_.c_str(), (path_ + ".bad").c_str()) != 0) return false;
  } else if (FileSize(path_) >= 0) {
    return false;  // there but unreadable: writing would lose every other value
  }

  const std::string sectionKey(section);
  const std::string entryKey(entry);
  std::string old;
  if (const auto s = sections.find(sectionKey); s != sections.end()) {
    if (const auto e = s->second.find(entryKey); e != s->second.end()) old = e->second;
  }
  const std::string value = change(old);
  if (value == old) return true;
  if (value.empty()) {
    if (const auto s = sections.find(sectionKey); s != sections.end()) {
      s->second.erase(entryKey);
      if (s->second.empty()) sections.erase(s);
    }
  } else {
    sections[sectionKey][entryKey] = value;
  }
  const std::string newText = SerializeSettings(sections);
  // A file this store could not read back would hide every other value.
  if (static_cast<int64_t>(newText.size()) > kMaxSettingsFileBytes) return false;
  return WriteFileAtomic(path_, newText, 0600);
}

}  // namespace zerva
