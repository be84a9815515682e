#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/app_folders.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "platform/md5.h"
#include "platform/os_info.h"
#include "platform/tools.h"
#include "platform/uuid.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using test::FolderNames;
using test::ModeOf;
using test::ReadWholeFile;
using test::TempDir;

// Sets (or, with nullopt, unsets) environment variables and puts them back afterwards.
class ScopedEnv {
 public:
  ScopedEnv& Set(const char* name, std::optional<std::string> value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
    return *this;
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Runs `body` in a child process without root's right to ignore file permissions; its return
// value is the exit code. Nullopt when the child could not drop them.
std::optional<int> RunUnprivileged(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    ::_exit(body());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return std::nullopt;
  if (WEXITSTATUS(status) == 77) return std::nullopt;
  return WEXITSTATUS(status);
}

TEST(WriteFileAtomic, WritesContentAndModeAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("out.bin");
  const std::string data("binary\0\xff content", 16);
  ASSERT_TRUE(WriteFileAtomic(path, data, 0600));
  EXPECT_EQ(ReadWholeFile(path), data);
  EXPECT_EQ(ModeOf(path), 0600u);
  ASSERT_TRUE(WriteFileAtomic(path, "second", 0644));
  EXPECT_EQ(ReadWholeFile(path), "second");
  EXPECT_EQ(ModeOf(path), 0644u);
  ASSERT_TRUE(WriteFileAtomic(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"out.bin"}));
}

TEST(WriteFileAtomic, KeepsOldContentWhenTheFolderIsReadOnly) {
  TempDir dir;
  const std::string folder = dir.File("ro");
  ASSERT_TRUE(CreateDirectoryPath(folder));
  const std::string path = dir.Write("ro/file.txt", "old content");
  ::chmod(dir.Path().c_str(), 0755);
  ::chmod(folder.c_str(), 0555);
  ::chmod(path.c_str(), 0666);  // writable file: only the folder stands in the way
  const std::optional<int> result =
      RunUnprivileged([&path] { return WriteFileAtomic(path, "new content") ? 1 : 0; });
  ::chmod(folder.c_str(), 0755);
  if (!result) GTEST_SKIP() << "cannot drop privileges here";
  EXPECT_EQ(*result, 0) << "write reported success in a read-only folder";
  EXPECT_EQ(ReadWholeFile(path), "old content");
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"file.txt"}));
}

TEST(WriteFileAtomic, FailsInAMissingFolder) {
  TempDir dir;
  EXPECT_FALSE(WriteFileAtomic(dir.File("missing/file.txt"), "x"));
  EXPECT_FALSE(FileExists(dir.File("missing/file.txt")));
}

TEST(ReadFileBounded, HonoursTheBoundAndReportsMissingFiles) {
  TempDir dir;
  const std::string path = dir.Write("ten.txt", "0123456789");
  std::string out = "stale";
  ASSERT_TRUE(ReadFileBounded(path, 10, &out));
  EXPECT_EQ(out, "0123456789");
  out = "stale";
  EXPECT_FALSE(ReadFileBounded(path, 9, &out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(ReadFileBounded(dir.File("missing"), 100, &out));
  EXPECT_FALSE(ReadFileBounded(dir.Path(), 1 << 20, &out));  // a folder is no file
  EXPECT_EQ(FileSize(path), 10);
  EXPECT_EQ(FileSize(dir.File("missing")), -1);
}

TEST(CreateDirectoryPath, CreatesEveryLevelWithTheMode) {
  TempDir dir;
  const std::string nested = dir.File("a/b/c");
  std::string error;
  ASSERT_TRUE(CreateDirectoryPath(nested, &error, 0700)) << error;
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_EQ(ModeOf(dir.File("a")), 0700u);
  EXPECT_EQ(ModeOf(nested), 0700u);
  EXPECT_TRUE(CreateDirectoryPath(nested + "/", &error));  // existing, trailing slash
  EXPECT_FALSE(CreateDirectoryPath(""));
}

TEST(CreateDirectoryPath, ReportsTheFailureWithTheSystemText) {
  TempDir dir;
  dir.Write("file", "x");
  const std::string below = dir.File("file/sub");
  std::string error;
  EXPECT_FALSE(CreateDirectoryPath(below, &error));
  EXPECT_EQ(error, "CreateDirectory " + below + " failed: 20 - Not a directory");
  error.clear();
  EXPECT_FALSE(CreateDirectoryPath(dir.File("file"), &error));
  EXPECT_EQ(error.rfind("CreateDirectory " + dir.File("file") + " failed: ", 0), 0u) << error;
}

TEST(DeleteDirectoryTree, RemovesEverythingBelowAndToleratesMissing) {
  TempDir dir;
  const std::string root = dir.File("tree");
  dir.Write("tree/a/b/file.txt", "x");
  dir.Write("tree/top.txt", "y");
  EXPECT_TRUE(DeleteDirectoryTree(root));
  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_TRUE(DeleteDirectoryTree(root));
}

TEST(Md5, KnownVectorsAndFiles) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  TempDir dir;
  // Larger than the file reader's buffer, so several chunks are digested.
  std::string big;
  for (int i = 0; i < 200000; ++i) big += static_cast<char>(i % 251);
  EXPECT_EQ(Md5HexOfFile(dir.Write("big.bin", big)), Md5Hex(big));
  EXPECT_EQ(Md5HexOfFile(dir.Write("empty", "")), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5HexOfFile(dir.File("missing")), "");
}

TEST(CreateSequentialUuid, StandardTimeBasedFormAndUnique) {
  const std::regex form("[0-9a-f]{8}-[0-9a-f]{4}-1[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::string id = CreateSequentialUuid();
    ASSERT_TRUE(std::regex_match(id, form)) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(DataFilePathIn, TheProgramFolderFirstThenTheInstalledShareFolder) {
  TempDir prefix;
  const std::string bin = prefix.Path() + "bin";  // no trailing "/": one is added
  prefix.Write("bin/zerva", "");
  // Neither place: the program folder's path, so that a message names where it was expected.
  EXPECT_EQ(DataFilePathIn(bin, "zerva-cs.lng"), bin + "/zerva-cs.lng");
  prefix.Write("share/zerva/zerva-cs.lng", "installed");
  EXPECT_EQ(DataFilePathIn(bin, "zerva-cs.lng"), bin + "/../share/zerva/zerva-cs.lng");
  // A file beside the program wins over the installed one.
  prefix.Write("bin/zerva-cs.lng", "beside");
  EXPECT_EQ(DataFilePathIn(bin + "/", "zerva-cs.lng"), bin + "/zerva-cs.lng");
  // Only files count: a folder of that name beside the program is passed over.
  std::filesystem::create_directories(bin + "/zerva-en-us.lng");
  prefix.Write("share/zerva/zerva-en-us.lng", "installed");
  EXPECT_EQ(DataFilePathIn(bin, "zerva-en-us.lng"), bin + "/../share/zerva/zerva-en-us.lng");
}

TEST(FindTool, PrefersTheProgramFolderOnlyWithItsVersionFile) {
  TempDir program;
  TempDir onPath;
  ScopedEnv env;
  env.Set("PATH", onPath.Path() + ":/nonexistent");
  const std::string bundled = program.Write("ffmpeg", "#!/bin/sh\n");
  ::chmod(bundled.c_str(), 0755);
  const std::string system = onPath.Write("ffmpeg", "#!/bin/sh\n");
  ::chmod(system.c_str(), 0755);

  // Without "ffmpeg.ver" the bundled copy does not count.
  ToolLocation found = FindTool("ffmpeg", program.Path());
  EXPECT_TRUE(found.present);
  EXPECT_FALSE(found.bundled);
  EXPECT_EQ(found.path, system);

  program.Write("ffmpeg.ver", "6.0");
  found = FindTool("ffmpeg", program.Path());
  EXPECT_TRUE(found.present);
  EXPECT_TRUE(found.bundled);
  EXPECT_EQ(found.path, bundled);
}

TEST(FindTool, PathFallbackSkipsWhatCannotRun) {
  TempDir program;
  TempDir first;
  TempDir second;
  ScopedEnv env;
  env.Set("PATH", first.Path() + "::" + second.Path());
  first.Write("ffplay", "not executable");  // mode 0644
  const std::string runnable = second.Write("ffplay", "#!/bin/sh\n");
  ::chmod(runnable.c_str(), 0755);
  EXPECT_EQ(FindTool("ffplay", program.Path()).path, runnable);
  EXPECT_EQ(FindOnPath("ffplay"), runnable);
  EXPECT_EQ(FindOnPath("sub/ffplay"), "");  // names only, never paths

  EXPECT_FALSE(FindTool("no-such-tool", program.Path()).present);
  env.Set("PATH", std::nullopt);
  EXPECT_FALSE(FindTool("ffplay", program.Path()).present);
}

TEST(OsVersionString, KernelVersionPlatformAndMachine) {
  int major = -1, minor = -1;
  const std::string text = OsVersionString(&major, &minor);
  std::smatch m;
  ASSERT_TRUE(
      std::regex_match(text, m, std::regex(R"((\d+)\.(\d+)\.\d+, platform ID 5, Linux .*\S)")))
      << text;
  EXPECT_EQ(major, std::stoi(m[1]));
  EXPECT_EQ(minor, std::stoi(m[2]));
  EXPECT_GE(major, 3);
  std::string reason = "x";
  EXPECT_FALSE(IsWine(&reason));
  EXPECT_EQ(reason, "");
}

TEST(ThreadLocaleId, FollowsLcAllThenLcMessagesThenLang) {
  ScopedEnv env;
  env.Set("LC_ALL", std::nullopt).Set("LC_MESSAGES", std::nullopt).Set("LANG", std::nullopt);
  EXPECT_EQ(ThreadLocaleId(), 1033);
  env.Set("LANG", "cs_CZ.UTF-8");
  EXPECT_EQ(ThreadLocaleId(), 1029);
  env.Set("LC_MESSAGES", "sk_SK");
  EXPECT_EQ(ThreadLocaleId(), 1051);
  env.Set("LC_ALL", "de_DE.UTF-8@euro");
  EXPECT_EQ(ThreadLocaleId(), 1031);
  env.Set("LC_ALL", "C.UTF-8");
  EXPECT_EQ(ThreadLocaleId(), 1033);
  env.Set("LC_ALL", "xx_YY.UTF-8");
  EXPECT_EQ(ThreadLocaleId(), 1033);
  env.Set("LC_ALL", "");  // empty counts as unset
  EXPECT_EQ(ThreadLocaleId(), 1051);
  EXPECT_EQ(LocaleNameOf(1058), "uk_UA.UTF-8");
  EXPECT_EQ(LocaleNameOf(1), "");
  EXPECT_EQ(LocaleIdFromName("p"), 0);
}

class TempFolderTest : public ::testing::Test {
 protected:
  ~TempFolderTest() override { SetServiceDomainName(kDefaultServiceDomainName); }
  test::IsolatedHome home_;
};

TEST_F(TempFolderTest, PrivateFolderNamedAfterTheServiceDomain) {
  const std::string folder = TempFolder();
  EXPECT_EQ(folder, home_.CacheRoot() + "zerva/zerva.localhost/");
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(ModeOf(folder), 0700u);

  // A folder that already exists with looser rights is made private.
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(TempFolder(), folder);
  EXPECT_EQ(ModeOf(folder), 0700u);

  SetServiceDomainName("photos.example.org");
  EXPECT_EQ(TempFolder(), home_.CacheRoot() + "zerva/photos.example.org/");
  const std::string sub = TempSubFolder("jan");
  EXPECT_EQ(sub, home_.CacheRoot() + "zerva/photos.example.org/jan/");
  EXPECT_TRUE(DirectoryExists(sub));
}

TEST_F(TempFolderTest, DomainFromOutsideNeverLeavesTheCacheRoot) {
  SetServiceDomainName("../../escape");
  const std::string folder = TempFolder();
  EXPECT_EQ(folder.rfind(home_.CacheRoot() + "zerva/", 0), 0u) << folder;
  EXPECT_EQ(folder.find("/../"), std::string::npos) << folder;
  SetServiceDomainName("..");
  EXPECT_EQ(TempFolder(), home_.CacheRoot() + "zerva/_/");
  EXPECT_EQ(TempSubFolder("../x"), home_.CacheRoot() + "zerva/_/.._x/");
}

}  // namespace
}  // namespace zerva
