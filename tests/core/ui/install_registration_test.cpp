// The desktop URL protocol and the install-status request.
#include "ui/install_registration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/fs.h"
#include "support/shared_server_test.h"

namespace zerva {
namespace {

// XDG_DATA_HOME and XDG_CONFIG_HOME of the test's own (xdg-mime keeps its defaults there).
class DesktopHome {
 public:
  DesktopHome() {
    Save("XDG_DATA_HOME", &data_);
    Save("XDG_CONFIG_HOME", &config_);
    ::setenv("XDG_DATA_HOME", (dir_.Path() + "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_.Path() + "config").c_str(), 1);
  }
  ~DesktopHome() {
    Restore("XDG_DATA_HOME", data_);
    Restore("XDG_CONFIG_HOME", config_);
  }
  const test::TempDir& Dir() const { return dir_; }

 private:
  struct Saved {
    bool had = false;
    std::string value;
  };
  static void Save(const char* name, Saved* saved) {
    if (const char* v = std::getenv(name)) *saved = {true, v};
  }
  static void Restore(const char* name, const Saved& saved) {
    if (saved.had) {
      ::setenv(name, saved.value.c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  test::TempDir dir_;
  Saved data_, config_;
};

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
