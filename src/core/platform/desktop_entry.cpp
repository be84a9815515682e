#include "platform/desktop_entry.h"

#include <cstdlib>

#include "platform/folders.h"
#include "platform/fs.h"

namespace zerva {
namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The escapes every string value may hold: \s \n \t \r and \\.
std::string Unescaped(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char next = value[++i];
    switch (next) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:  // not one of these: left for the quoting rules of the key
        out += '\\';
        out += next;
    }
  }
  return out;
}

// The first word of an Exec command line: up to a blank, or a double-quoted word in which a
// backslash takes the next character as it is.
std::string FirstWord(std::string_view command) {
  command = Trimmed(command);
  std::string word;
  if (command.empty() || command.front() != '"') {
    return std::string(command.substr(0, command.find_first_of(" \t")));
  }
  for (size_t i = 1; i < command.size(); ++i) {
    if (command[i] == '\\' && i + 1 < command.size()) {
      word += command[++i];
    } else if (command[i] == '"') {
      return word;
    } else {
      word += command[i];
    }
  }
  return {};  // an unterminated quote names nothing
}

std::vector<std::string> ListOf(std::string_view value) {
  std::vector<std::string> items;
  size_t pos = 0;
  while (pos < value.size()) {
    size_t end = value.find(';', pos);
    if (end == std::string_view::npos) end = value.size();
    const std::string_view item = Trimmed(value.substr(pos, end - pos));
    if (!item.empty()) items.emplace_back(item);
    pos = end + 1;
  }
  return items;
}

}  // namespace

DesktopEntryLaunch ReadDesktopEntryLaunch(std::string_view text) {
  DesktopEntryLaunch launch;
  bool inEntry = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trimmed(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    const size_t equals = line.find('=');
    if (!inEntry || equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string value = Unescaped(Trimmed(line.substr(equals + 1)));
    if (key == "Exec") {
      launch.program = FirstWord(value);
    } else if (key == "MimeType") {
      launch.mimeTypes = ListOf(value);
    }
  }
  return launch;
}

std::vector<std::string> XdgDataFolders() {
  std::vector<std::string> folders;
  const char* home = std::getenv("XDG_DATA_HOME");
  if (home && home[0] == '/') {
    folders.push_back(WithTrailingSlash(home));
  } else {
    folders.push_back(HomeFolder() + "/.local/share/");
  }
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  const std::string system = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  size_t pos = 0;
  while (pos <= system.size()) {
    size_t end = system.find(':', pos);
    if (end == std::string::npos) end = system.size();
    const std::string folder = system.substr(pos, end - pos);
    if (!folder.empty() && folder.front() == '/') folders.push_back(WithTrailingSlash(folder));
    pos = end + 1;
  }
  return folders;
}

}  // namespace zerva
