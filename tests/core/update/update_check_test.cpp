// The update check against zerva-server serving an update description and archives the tests
// build, and the unpacking rules.
#include "update/update_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "app/profile.h"
#include "app/scripted_dialogs.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "platform/fs.h"
#include "support/process.h"
#include "support/shared_server_test.h"
#include "support/zip_writer.h"
#include "update/unpack_archive.h"
#include "update/update_description.h"

namespace zerva {
namespace {

struct Launch {
  std::string verb, program, argument, work;
};

std::string Component(const std::string& name, int version, const std::string& zip, int64_t size,
                      bool quiet, bool autoExtract) {
  return "<file><version>" + std::to_string(version) + "</version><name>" + name +
         "</name><quietUpdate>" + (quiet ? "true" : "false") + "</quietUpdate><nameZip>" + zip +
         "</nameZip><sizeZip>" + std::to_string(size) + "</sizeZip><autoExtract>" +
         (autoExtract ? "true" : "false") + "</autoExtract></file>";
}

class UpdateCheckTest : public test::ServiceClientTest {
 protected:
  static void SetUpTestSuite() {
    StartServer(false);
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void SetUp() override {
    ServiceClientTest::SetUp();
    std::filesystem::create_directories(UpdateFolder());
    env_.programFolder = dir_.Path() + "program/";
    env_.tempFolder = dir_.Path() + "temp/";
    std::filesystem::create_directories(env_.programFolder);
    env_.dialogs = &dialogs_;
    env_.launch = [this](const std::string& verb, const std::string& program,
                         const std::string& argument, const std::string& work) {
      launches_.push_back({verb, program, argument, work});
      return true;
    };
  }
  void TearDown() override {
    std::filesystem::remove_all(UpdateFolder());
    ServiceClientTest::TearDown();
  }

  static std::string UpdateFolder() { return Server().DataDir() + "data/update/"; }
  // Publishes an archive of ffmpeg and its version file; returns the archive's size.
  int64_t PublishFfmpeg(const std::string& zipName) {
    const std::string zip = UpdateFolder() + zipName;
    EXPECT_TRUE(test::WriteZip(
        zip,
        {{"bin", "", 145},
         {"ffmpeg", "#!/bin/sh\necho new ffmpeg\n", 161},
         {"ffmpeg.ver", "<version><fileName>ffmpeg</fileName><number>5</number></version>", 161}}));
    return FileSize(zip);
  }
  void PublishDescription(const std::string& body) {
    ASSERT_TRUE(WriteFileAtomic(UpdateFolder() + "files.dat", body));
  }
  bool Check(bool hidden, bool* quit) {
    report_.clear();
    return CheckUpdate(*connection_, hidden, quit, nullptr, &report_, env_);
  }

  test::TempDir dir_;
  UpdateEnvironment env_;
  ScriptedDialogs dialogs_;
  std::vector<Launch> launches_;
  std::string report_;
};

TEST_F(UpdateCheckTest, QuietFfmpegIsIgnoredVisiblyAndUnpackedInPlaceWhenHidden) {
  const int64_t size = PublishFfmpeg("ffmpeg.zip");
  PublishDescription("<files>" + Component("zerva.ver", 267, "zerva.zip", 1, false, true) +
                     Component("ffmpeg.ver", 5, "ffmpeg.zip", size, true, true) + "</files>");
  bool quit = true;
  EXPECT_TRUE(Check(false, &quit));
  EXPECT_FALSE(quit);
  EXPECT_NE(report_.find(" ffmpeg versions: ignored"), std::string::npos) << report_;
  EXPECT_NE(report_.find(" zerva versions: server 267, local 267, \nup to date"), std::string::npos)
      << report_;
  EXPECT_FALSE(FileExists(env_.programFolder + "ffmpeg"));
  ASSERT_FALSE(dialogs_.Waits().empty());
  EXPECT_EQ(dialogs_.Waits()[0].text, Text("msgCheckNewVersion"));

  EXPECT_TRUE(Check(true, &quit));
  EXPECT_FALSE(quit);
  EXPECT_NE(report_.find("server 5, local 0"), std::string::npos) << report_;
  EXPECT_EQ(test::ReadWholeFile(env_.programFolder + "ffmpeg"), "#!/bin/sh\necho new ffmpeg\n");
  EXPECT_EQ(LocalVersion(env_.programFolder + "ffmpeg.ver"), 5);
  EXPECT_TRUE(DirectoryExists(env_.programFolder + "bin"));
  EXPECT_TRUE(launches_.empty());
  // The program part is never touched by the hidden check.
  EXPECT_NE(report_.find(" zerva versions: ignored"), std::string::npos);
}

TEST_F(UpdateCheckTest, WithoutAutoExtractTheUpdaterGetsItsInstructions) {
  const int64_t size = PublishFfmpeg("ffmpeg.zip");
  PublishDescription("<files>" + Component("ffmpeg.ver", 5, "ffmpeg.zip", size, true, false) +
                     "</files>");
  bool quit = false;
  EXPECT_TRUE(Check(true, &quit));
  EXPECT_TRUE(quit);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].verb, "open");
  EXPECT_EQ(launches_[0].program, env_.programFolder + "zerva-updater");
  EXPECT_EQ(launches_[0].argument, env_.tempFolder + "updater.xml");
  EXPECT_EQ(test::ReadWholeFile(env_.tempFolder + "updater.xml"),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<updater>\n  <files>\n"
            "    <file>\n      <source>" +
                env_.tempFolder +
                "ffmpeg.zip</source>\n"
                "      <target>" +
                env_.programFolder +
                "</target>\n    </file>\n"
                "  </files>\n  <run>" +
                env_.programFolder + "zerva</run>\n</updater>\n\n");
  EXPECT_FALSE(FileExists(env_.programFolder + "ffmpeg"));
}

TEST_F(UpdateCheckTest, AnUnwritableProgramFolderSendsEverythingToTheElevatedUpdater) {
  const int64_t size = PublishFfmpeg("ffmpeg.zip");
  PublishDescription("<files>" + Component("ffmpeg.ver", 5, "ffmpeg.zip", size, true, true) +
                     "</files>");
  // A folder that does not exist cannot be written, even by root.
  env_.programFolder = dir_.Path() + "missing/";
  bool quit = false;
  EXPECT_TRUE(Check(true, &quit));
  EXPECT_NE(report_.find("Error: No write access to program directory"), std::string::npos);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].verb, "runas");
}

TEST_F(UpdateCheckTest, VersionConditionsAndMalformedDescriptions) {
  ASSERT_TRUE(WriteFileAtomic(UpdateFolder() + "tool.sh", "#!/bin/sh\n"));
  PublishDescription("<downloadAndRun><versionCondition>266</versionCondition><runUrl>" +
                     UpdateFilesUrl() + "tool.sh</runUrl></downloadAndRun><files>" +
                     Component("zerva.ver", 267, "z.zip", 1, false, true) + "</files>");
  bool quit = false;
  EXPECT_TRUE(Check(false, &quit));
  EXPECT_TRUE(launches_.empty());

  PublishDescription("<downloadAndRun><versionCondition>267</versionCondition><runUrl>" +
                     UpdateFilesUrl() + "tool.sh</runUrl><runAs>false</runAs></downloadAndRun>");
  EXPECT_TRUE(Check(false, &quit));
  EXPECT_TRUE(quit);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].program, env_.tempFolder + "tool.sh");
  EXPECT_EQ(launches_[0].verb, "open");
  EXPECT_EQ(launches_[0].argument, env_.programFolder);

  PublishDescription("<nothing/>");
  EXPECT_FALSE(Check(true, &quit));
  EXPECT_TRUE(quit);
  EXPECT_NE(report_.find("Error: Malformated update string"), std::string::npos);
}

TEST_F(UpdateCheckTest, AnArchiveOfTheWrongSizeFailsTheCheck) {
  const int64_t size = PublishFfmpeg("ffmpeg.zip");
  PublishDescription("<files>" + Component("ffmpeg.ver", 5, "ffmpeg.zip", size + 7, true, true) +
                     "</files>");
  bool quit = false;
  EXPECT_FALSE(Check(true, &quit));
  EXPECT_TRUE(quit);
  EXPECT_NE(report_.find("Error: Cannot download file ffmpeg.zip"), std::string::npos);
  EXPECT_EQ(
      Server().LogOf("/stahnout/update/ffmpeg.zip").size() + Server().LogOf("ffmpeg.zip").size(),
      3u);
}

TEST_F(UpdateCheckTest, AMissingDescriptionShowsTheErrorBox) {
  ASSERT_TRUE(Server().InjectFault("files.dat", "404", 5));
  bool quit = false;
  EXPECT_FALSE(Check(false, &quit));
  EXPECT_FALSE(quit);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_NE(dialogs_.Messages()[0].text.find("404"), std::string::npos);
  EXPECT_FALSE(dialogs_.WaitVisible());
}

TEST_F(UpdateCheckTest, APackageManagedInstallationOnlyReportsANewerVersion) {
  const int64_t size = PublishFfmpeg("ffmpeg.zip");
  ASSERT_TRUE(WriteFileAtomic(UpdateFolder() + "tool.sh", "#!/bin/sh\n"));
  env_.packageManaged = true;
  bool quit = true;

  // Up to date: no message, nothing fetched.
  PublishDescription("<files>" + Component("zerva.ver", 267, "zerva.zip", 1, false, true) +
                     "</files>");
  EXPECT_TRUE(Check(false, &quit));
  EXPECT_FALSE(quit);
  EXPECT_TRUE(dialogs_.Messages().empty());

  // A newer program, a newer ffmpeg and a tool to run: one note that the package brings it, and
  // neither a download, a file in the program folder nor a launch.
  PublishDescription("<downloadAndRun><versionCondition>267</versionCondition><runUrl>" +
                     UpdateFilesUrl() + "tool.sh</runUrl></downloadAndRun><files>" +
                     Component("zerva.ver", 268, "zerva.zip", 1, false, true) +
                     Component("ffmpeg.ver", 5, "ffmpeg.zip", size, true, true) + "</files>");
  EXPECT_TRUE(Check(false, &quit));
  EXPECT_FALSE(quit);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, Text("msgUpdateFromPackage"));
  EXPECT_FALSE(dialogs_.WaitVisible());
  // The hidden check of the video tools leaves them to the system as well.
  EXPECT_TRUE(Check(true, &quit));
  EXPECT_FALSE(quit);
  EXPECT_EQ(dialogs_.Messages().size(), 1u);

  EXPECT_TRUE(launches_.empty());
  EXPECT_TRUE(std::filesystem::is_empty(env_.programFolder));
  EXPECT_FALSE(DirectoryExists(env_.tempFolder));
  EXPECT_TRUE(Server().LogOf("tool.sh").empty());
  EXPECT_TRUE(Server().LogOf("ffmpeg.zip").empty());
}

TEST_F(UpdateCheckTest, TwoLaunchesWithinTenSecondsAreRefused) {
  std::time_t now = 1700000000;
  env_.now = [&now] { return now; };
  EXPECT_TRUE(LaunchUpdater(env_.programFolder, "zerva-updater", "x", true, env_));
  now += 10;
  EXPECT_FALSE(LaunchUpdater(env_.programFolder, "zerva-updater", "x", true, env_));
  now += 1;
  EXPECT_TRUE(LaunchUpdater(env_.programFolder, "zerva-updater", "x", true, env_));
  EXPECT_EQ(launches_.size(), 2u);
  EXPECT_EQ(AppProfile().GetProfileString("updater", "rver"), "267");
}

TEST(UnpackArchive, ItemsThatWouldLeaveTheFolderWriteNothingOutside) {
  test::TempDir dir;
  const std::string folder = dir.Path() + "target/";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(dir.Path() + "elsewhere");
  std::filesystem::create_directory_symlink(dir.Path() + "elsewhere", folder + "link");
  const std::string zip = dir.File("hostile.zip");
  ASSERT_TRUE(test::WriteZip(zip, {{"good.txt", "fine", 161},
                                   {"../escaped.txt", "bad", 161},
                                   {dir.Path() + "absolute.txt", "bad", 161},
                                   {"sub\\..\\..\\win.txt", "bad", 161},
                                   {"link/through.txt", "bad", 161},
                                   {"other.txt", "left out", 32}}));
  EXPECT_FALSE(UnpackArchive(zip, folder));
  EXPECT_EQ(test::ReadWholeFile(folder + "good.txt"), "fine");
  EXPECT_FALSE(FileExists(dir.Path() + "escaped.txt"));
  EXPECT_FALSE(FileExists(dir.Path() + "absolute.txt"));
  EXPECT_FALSE(FileExists(dir.Path() + "win.txt"));
  EXPECT_FALSE(FileExists(dir.Path() + "elsewhere/through.txt"));
  EXPECT_FALSE(FileExists(folder + "other.txt"));
  EXPECT_FALSE(UnpackArchive(dir.File("missing.zip"), folder));
}

TEST(Updater, InstallsTheArchivesAndStartsTheProgram) {
  test::TempDir dir;
  const std::string target = dir.Path() + "program/";
  std::filesystem::create_directories(target);
  const std::string zip = dir.File("pack.zip");
  ASSERT_TRUE(test::WriteZip(zip, {{"lib/new.so", "library", 161}, {"../../evil", "x", 161}}));
  const std::string marker = dir.File("started");
  const std::string run = dir.Write("run.sh", "#!/bin/sh\ntouch " + marker + "\n");
  ::chmod(run.c_str(), 0755);
  const std::string xml = dir.Write("updater.xml", UpdaterXml({{zip, target}}, run));
  const pid_t pid =
      test::SpawnLogged({std::string(ZERVA_BIN_DIR) + "/zerva-updater", xml}, dir.File("log"));
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_EQ(WEXITSTATUS(status), 1) << test::ReadWholeFile(dir.File("log"));  // the evil item
  EXPECT_EQ(test::ReadWholeFile(target + "lib/new.so"), "library");
  EXPECT_FALSE(FileExists(dir.Path() + "evil"));
  for (int i = 0; i < 100 && !FileExists(marker); ++i) ::usleep(20000);
  EXPECT_TRUE(FileExists(marker));
}

}  // namespace
}  // namespace zerva
