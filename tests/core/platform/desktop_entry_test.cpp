// Reading the program and types out of a launcher file, and the folders the desktop searches.
#include "platform/desktop_entry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace zerva {
namespace {

using Types = std::vector<std::string>;

TEST(DesktopEntryLaunch, TheMainGroupsExecAndMimeType) {
  const DesktopEntryLaunch launch = ReadDesktopEntryLaunch(
      "# a comment\n"
      "[Desktop Entry]\n"
      "Name=zerva\n"
      "Exec[cs]=jiny %u\n"  // translated keys are not the command
      "Exec = zerva %u\r\n"
      "MimeType=x-scheme-handler/zerva;image/jpeg;;\n"
      "[Desktop Action upload]\n"
      "Exec=other --upload\n"
      "MimeType=text/plain;\n");
  EXPECT_EQ(launch.program, "zerva");
  EXPECT_EQ(launch.mimeTypes, (Types{"x-scheme-handler/zerva", "image/jpeg"}));
}

TEST(DesktopEntryLaunch, QuotedAndEscapedProgramPaths) {
  // A quoted path with a blank; inside quotes a backslash takes the next character.
  EXPECT_EQ(
      ReadDesktopEntryLaunch("[Desktop Entry]\nExec=\"/opt/my zerva/bin/zerva\" %u\n").program,
      "/opt/my zerva/bin/zerva");
  // The file's own escapes come first: "\\\\" is one backslash, which then escapes the quote.
  EXPECT_EQ(ReadDesktopEntryLaunch("[Desktop Entry]\nExec=\"/opt/a\\\\\"b/zerva\" %u\n").program,
            "/opt/a\"b/zerva");
  // "\s" is a blank outside quotes too, so it ends the word.
  EXPECT_EQ(ReadDesktopEntryLaunch("[Desktop Entry]\nExec=/opt/z\\sx %u\n").program, "/opt/z");
  // An unterminated quote names no program at all.
  EXPECT_EQ(ReadDesktopEntryLaunch("[Desktop Entry]\nExec=\"/opt/zerva %u\n").program, "");
}

TEST(DesktopEntryLaunch, NothingOutsideTheMainGroup) {
  EXPECT_EQ(ReadDesktopEntryLaunch("Exec=zerva\nMimeType=x-scheme-handler/zerva;\n").program, "");
  const DesktopEntryLaunch other =
      ReadDesktopEntryLaunch("[Desktop Action x]\nExec=zerva\n[Desktop Entry]\nName=z\n");
  EXPECT_EQ(other.program, "");
  EXPECT_TRUE(other.mimeTypes.empty());
  EXPECT_EQ(ReadDesktopEntryLaunch("").program, "");
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(XdgDataFolders, UserFolderFirstThenTheSystemFolders) {
  {
    ScopedVariable home("HOME", "/home/eva");
    ScopedVariable data("XDG_DATA_HOME", nullptr);
    ScopedVariable dirs("XDG_DATA_DIRS", nullptr);
    EXPECT_EQ(XdgDataFolders(),
              (Types{"/home/eva/.local/share/", "/usr/local/share/", "/usr/share/"}));
  }
  {
    // Relative and empty entries mean nothing to the desktop either.
    ScopedVariable data("XDG_DATA_HOME", "relative/data");
    ScopedVariable home("HOME", "/home/eva");
    ScopedVariable dirs("XDG_DATA_DIRS", "/opt/zerva/share::share:/usr/share/");
    EXPECT_EQ(XdgDataFolders(),
              (Types{"/home/eva/.local/share/", "/opt/zerva/share/", "/usr/share/"}));
  }
  ScopedVariable data("XDG_DATA_HOME", "/data/eva");
  EXPECT_EQ(XdgDataFolders().front(), "/data/eva/");
}

}  // namespace
}  // namespace zerva
