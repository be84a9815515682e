// The desktop URL protocol and the install-status request.
#include "ui/install_registration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/fs.h"
#include "support/shared_server_test.h"

namespace zerva {
namespace {

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// XDG_DATA_HOME and XDG_CONFIG_HOME of the test's own (xdg-mime keeps its defaults there), and
// system data folders with no launchers, so that an installed package cannot change the result.
class DesktopHome {
 public:
  const test::TempDir& Dir() const { return dir_; }

 private:
  test::TempDir dir_;
  ScopedVariable data_{"XDG_DATA_HOME", dir_.Path() + "data"};
  ScopedVariable config_{"XDG_CONFIG_HOME", dir_.Path() + "config"};
  ScopedVariable system_{"XDG_DATA_DIRS", dir_.Path() + "system"};
};

std::string SystemPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/bin:/bin";
}

constexpr const char* kLauncher =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=zerva\n"
    "Exec=zerva %u\n"
    "MimeType=x-scheme-handler/zerva;\n";

// An installed program: <prefix>/bin/zerva and its launcher, the prefix's data folder searched by
// the desktop and its bin/ first on PATH, as a package under /usr would have them.
class InstalledPrefix {
 public:
  // "@BIN@" in `launcher` stands for the prefix's bin/ folder.
  explicit InstalledPrefix(const std::string& launcher = kLauncher) {
    exe_ = dir_.Write("bin/zerva", "#!/bin/sh\nexit 0\n");
    ::chmod(exe_.c_str(), 0755);
    std::string text = launcher;
    if (const size_t at = text.find("@BIN@"); at != std::string::npos) {
      text.replace(at, 5, dir_.Path() + "bin/");
    }
    dir_.Write("share/applications/org.zerva.Zerva.desktop", text);
  }
  const std::string& Exe() const { return exe_; }
  const test::TempDir& Dir() const { return dir_; }

 private:
  test::TempDir dir_;
  std::string exe_;
  ScopedVariable system_{"XDG_DATA_DIRS", dir_.Path() + "share"};
  ScopedVariable path_{"PATH", dir_.Path() + "bin:" + SystemPath()};
};

// What the desktop starts for zerva addresses, as xdg-mime answers.
std::string HandlerOfZervaAddresses() {
  std::string answer;
  if (FILE* pipe = ::popen("xdg-mime query default x-scheme-handler/zerva", "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) answer += buffer;
    ::pclose(pipe);
  }
  while (!answer.empty() && answer.back() == '\n') answer.pop_back();
  return answer;
}

std::string MimeApps(const DesktopHome& home) {
  return test::ReadWholeFile(home.Dir().Path() + "config/mimeapps.list");
}

int64_t ModifiedNs(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

class InstallRegistrationTest : public test::ServiceClientTest {};

TEST_F(InstallRegistrationTest, TheProtocolIsWrittenOnceAndVerifiedAfterwards) {
  DesktopHome home;
  DesktopInstallRegistration registration(client_->Manager());
  const std::string exe = "/opt/zerva/bin/zerva";
  ASSERT_TRUE(registration.RegisterUrlProtocol(exe));
  const std::string path = ProtocolDesktopFilePath();
  EXPECT_EQ(path, home.Dir().Path() + "data/applications/zerva.desktop");
  EXPECT_EQ(test::ReadWholeFile(path), ProtocolDesktopEntry(exe));
  EXPECT_NE(test::ReadWholeFile(home.Dir().Path() + "config/mimeapps.list")
                .find("x-scheme-handler/zerva=zerva.desktop"),
            std::string::npos);

  // Nothing differs: nothing is written again.
  const int64_t before = ModifiedNs(path);
  ASSERT_TRUE(registration.RegisterUrlProtocol(exe));
  EXPECT_EQ(ModifiedNs(path), before);

  // A moved program is registered anew.
  ASSERT_TRUE(registration.RegisterUrlProtocol("/usr/local/bin/zerva"));
  EXPECT_NE(test::ReadWholeFile(path).find("Exec=\"/usr/local/bin/zerva\" %u"), std::string::npos);
}

TEST_F(InstallRegistrationTest, AnInstalledLauncherBecomesTheHandlerWithoutAnEntryOfOurOwn) {
  DesktopHome home;
  InstalledPrefix prefix;
  DesktopInstallRegistration registration(client_->Manager());
  ASSERT_TRUE(registration.RegisterUrlProtocol(prefix.Exe()));
  // With no other handler xdg-mime finds the launcher by its types alone.
  EXPECT_EQ(HandlerOfZervaAddresses(), "org.zerva.Zerva.desktop");
  EXPECT_FALSE(FileExists(ProtocolDesktopFilePath()));

  // Verified first: a second start changes nothing.
  const int64_t before = ModifiedNs(home.Dir().Path() + "config/mimeapps.list");
  ASSERT_TRUE(registration.RegisterUrlProtocol(prefix.Exe()));
  EXPECT_EQ(ModifiedNs(home.Dir().Path() + "config/mimeapps.list"), before);
}

TEST_F(InstallRegistrationTest, AnEntryOfOurOwnFromEarlierRunsIsKeptWhenTheLauncherTakesOver) {
  DesktopHome home;
  DesktopInstallRegistration registration(client_->Manager());
  // A start from a build folder wrote and registered an entry of its own.
  ASSERT_TRUE(registration.RegisterUrlProtocol("/home/eva/zerva/build/bin/zerva"));
  const std::string own = test::ReadWholeFile(ProtocolDesktopFilePath());
  const int64_t written = ModifiedNs(ProtocolDesktopFilePath());

  InstalledPrefix prefix;
  ASSERT_TRUE(registration.RegisterUrlProtocol(prefix.Exe()));
  EXPECT_NE(MimeApps(home).find("x-scheme-handler/zerva=org.zerva.Zerva.desktop"),
            std::string::npos);
  EXPECT_EQ(HandlerOfZervaAddresses(), "org.zerva.Zerva.desktop");
  EXPECT_EQ(test::ReadWholeFile(ProtocolDesktopFilePath()), own);
  EXPECT_EQ(ModifiedNs(ProtocolDesktopFilePath()), written);
}

TEST_F(InstallRegistrationTest, ALauncherForAnotherProgramLeavesTheEntryOfOurOwn) {
  DesktopHome home;
  InstalledPrefix prefix(
      "[Desktop Entry]\nExec=/usr/bin/other %u\nMimeType=x-scheme-handler/zerva;\n");
  DesktopInstallRegistration registration(client_->Manager());
  ASSERT_TRUE(registration.RegisterUrlProtocol(prefix.Exe()));
  EXPECT_EQ(test::ReadWholeFile(ProtocolDesktopFilePath()), ProtocolDesktopEntry(prefix.Exe()));
  EXPECT_NE(MimeApps(home).find("x-scheme-handler/zerva=zerva.desktop"), std::string::npos);
}

TEST(InstalledLauncher, UsedOnlyWhenTheDesktopWouldStartThisProgramFromIt) {
  DesktopHome home;
  {
    InstalledPrefix prefix;
    EXPECT_EQ(InstalledDesktopEntryPath(prefix.Exe()),
              prefix.Dir().Path() + "bin/../share/applications/org.zerva.Zerva.desktop");
    EXPECT_TRUE(InstalledEntryLaunches(prefix.Exe()));
    // Another program of that name first on PATH would be started instead.
    test::TempDir other;
    const std::string otherExe = other.Write("zerva", "#!/bin/sh\n");
    ::chmod(otherExe.c_str(), 0755);
    ScopedVariable path("PATH", other.Path() + ":" + prefix.Dir().Path() + "bin");
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe()));
  }
  {
    // The full path of this program needs no PATH.
    InstalledPrefix prefix(
        "[Desktop Entry]\nExec=\"@BIN@zerva\" %u\nMimeType=x-scheme-handler/zerva;\n");
    ScopedVariable path("PATH", "/usr/bin:/bin");
    EXPECT_TRUE(InstalledEntryLaunches(prefix.Exe()));
  }
  {
    InstalledPrefix prefix(
        "[Desktop Entry]\nExec=/bin/true %u\nMimeType=x-scheme-handler/zerva;\n");
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe())) << "starts another program";
  }
  {
    InstalledPrefix prefix("[Desktop Entry]\nExec=zerva %u\nMimeType=image/jpeg;\n");
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe())) << "does not take zerva addresses";
  }
  {
    InstalledPrefix prefix;
    ScopedVariable dirs("XDG_DATA_DIRS", "/usr/share");
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe())) << "a prefix the desktop does not search";
  }
  {
    InstalledPrefix prefix;
    // A copy in the user's own folder (a menu editor makes one) is found first and is the one
    // that counts.
    const std::string copy = home.Dir().Path() + "data/applications/org.zerva.Zerva.desktop";
    home.Dir().Write("data/applications/org.zerva.Zerva.desktop",
                     "[Desktop Entry]\nExec=zerva %u\nMimeType=image/jpeg;\n");
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe()));
    home.Dir().Write("data/applications/org.zerva.Zerva.desktop",
                     "[Desktop Entry]\nName=My zerva\nExec=zerva --trace %u\n"
                     "MimeType=x-scheme-handler/zerva;\n");
    EXPECT_TRUE(InstalledEntryLaunches(prefix.Exe()));
    // The copy alone, with nothing installed beside the program, is not enough.
    std::remove(InstalledDesktopEntryPath(prefix.Exe()).c_str());
    EXPECT_FALSE(InstalledEntryLaunches(prefix.Exe()));
    std::remove(copy.c_str());
  }
  test::TempDir bare;
  const std::string exe = bare.Write("bin/zerva", "");
  EXPECT_FALSE(InstalledEntryLaunches(exe)) << "no launcher installed";
}

TEST_F(InstallRegistrationTest, AFolderThatCannotBeWrittenReportsFailure) {
  DesktopHome home;
  // A file where the applications folder should be.
  ASSERT_TRUE(WriteFileAtomic(home.Dir().Path() + "data", "not a folder"));
  DesktopInstallRegistration registration(client_->Manager());
  EXPECT_FALSE(registration.RegisterUrlProtocol("/opt/zerva/bin/zerva"));
}

TEST_F(InstallRegistrationTest, TheStatusPageIsRequestedWithTheState) {
  DesktopInstallRegistration registration(client_->Manager());
  registration.NotifyStatus(false, 2000);
  auto log = Server().LogOf("notifyStatus.php");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].target, "/program/notifyStatus.php?current_status=uninstalled");
  registration.NotifyStatus(true, 2000);
  registration.Join();
  log = Server().LogOf("notifyStatus.php");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].target, "/program/notifyStatus.php?current_status=installed");
}

}  // namespace
}  // namespace zerva
