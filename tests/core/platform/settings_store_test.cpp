#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace zerva {
namespace {

using test::FolderNames;
using test::ModeOf;
using test::ReadWholeFile;
using test::TempDir;

TEST(ParseSettingsText, SkipsWhatIsNotASectionOrEntry) {
  const SettingsSections s = ParseSettingsText(
      "orphan=before any section\n"
      "[setup]\r\n"
      "email=a@b.c\r\n"
      "no equals sign here\n"
      "\n"
      "[broken header\n"
      "lost=1\n"
      "[updater]\n"
      "last=1\n"
      "last=2\n"
      "[setup]\n"
      "pass=x=y\n"
      "=empty entry name");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s.at("setup").at("email"), "a@b.c");
  EXPECT_EQ(s.at("setup").at("pass"), "x=y");  // only the first "=" splits
  EXPECT_EQ(s.at("updater").at("last"), "2");
  EXPECT_EQ(s.at("setup").at(""), "empty entry name");
  EXPECT_EQ(s.at("setup").count("lost"), 0u);
}

TEST(ParseSettingsText, KeepsPercentSignsThatAreNoEscape) {
  const SettingsSections s = ParseSettingsText("[a%5Db]\nk=100%; %zz %4 %41%\n");
  EXPECT_EQ(s.at("a]b").at("k"), "100%; %zz %4 A%");
}

TEST(SerializeSettings, EveryStringSurvivesTheLineFormat) {
  const std::string withNul("nul\0byte", 8);
  SettingsSections in;
  in["[login]=%"]["[entry=with=equals"] = "line1\r\nline2\rlast\n";
  in["a]b\nc"][withNul] = withNul;
  in[""][""] = "  spaces kept  ";
  in["\xc4\x8d\xc3\xa1p"]["%41"] = "%41%";
  in["empty section"];
  const std::string text = SerializeSettings(in);
  EXPECT_EQ(ParseSettingsText(text), in);
  // Five section headers and four entries: no value leaked a line break.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5 + 4);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST(SettingsStore, DefaultPathFollowsTheConfigFolder) {
  test::IsolatedHome home;
  EXPECT_EQ(SettingsStore::DefaultPath(), home.ConfigRoot() + "zerva/zerva.conf");
}

TEST(SettingsStore, AwkwardNamesAndValuesRoundTripThroughTheFile) {
  TempDir dir;
  const std::string path = dir.File("conf/zerva.conf");
  const std::string binary("\0\x01\xff\r\n%00=[]", 11);
  const std::vector<std::array<std::string, 3>> cases = {
      {"jan.novak@example.com", "login", "Jan Novak"},
      {"[odd]=name%", "DirHistory", "<dir>/home/j/Fotky [2010]</dir>"},
      {"\xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd", "pass", "multi\nline\r\nvalue"},
      {"setup", "=weird[entry]", binary},
      {"setup", "email", " leading and trailing blanks "},
  };
  {
    SettingsStore store(path);
    for (const auto& [section, entry, value] : cases) {
      EXPECT_TRUE(store.Write(section, entry, value)) << section;
    }
  }
  SettingsStore second(path);
  for (const auto& [section, entry, value] : cases) {
    EXPECT_EQ(second.Read(section, entry), value) << section << " / " << entry;
  }
  EXPECT_EQ(second.Read("setup", "missing"), "");
  EXPECT_EQ(second.Read("missing", "email"), "");
}

TEST(SettingsStore, FileIsPrivateAndNoTemporaryFileStays) {
  TempDir dir;
  const std::string folder = dir.File("new/zerva");
  const std::string path = folder + "/zerva.conf";
  SettingsStore store(path);
  ASSERT_TRUE(store.Write("setup", "pass", "0123456789abcdef0123456789abcdef"));
  ASSERT_TRUE(store.Write("setup", "email", "x"));
  EXPECT_EQ(ModeOf(path), 0600u);
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"zerva.conf", "zerva.conf.lock"}));

  // A file made readable by someone else becomes private again at the next write.
  ::chmod(path.c_str(), 0644);
  ASSERT_TRUE(store.Write("setup", "email", "y"));
  EXPECT_EQ(ModeOf(path), 0600u);
}

TEST(SettingsStore, EmptyValueRemovesEntryAndEmptySection) {
  TempDir dir;
  SettingsStore store(dir.File("zerva.conf"));
  ASSERT_TRUE(store.Write("user", "login", "Jan"));
  ASSERT_TRUE(store.Write("setup", "email", "jan"));
  ASSERT_TRUE(store.Write("user", "login", ""));
  EXPECT_EQ(store.Read("user", "login"), "");
  EXPECT_EQ(ReadWholeFile(store.Path()), "[setup]\nemail=jan\n");
  // Clearing what is not there is no failure.
  EXPECT_TRUE(store.Write("nobody", "pass", ""));
}

TEST(SettingsStore, BinaryAndTruncatedFilesReadWhatIsWholeAndNeverCrash) {
  TempDir dir;
  std::string garbage;
  for (int i = 0; i < 70000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  const std::string path = dir.Write("zerva.conf", garbage);
  SettingsStore store(path);
  EXPECT_EQ(store.Read("setup", "email"), "");
  ASSERT_TRUE(store.Write("setup", "email", "after garbage"));
  EXPECT_EQ(store.Read("setup", "email"), "after garbage");

  // Cut in the middle of a line, as a full disk might leave it.
  dir.Write("zerva.conf", "[setup]\nemail=whole\nproxy=half-writ");
  EXPECT_EQ(store.Read("setup", "email"), "whole");
  EXPECT_EQ(store.Read("setup", "proxy"), "half-writ");
  dir.Write("zerva.conf", "[set");
  EXPECT_EQ(store.Read("set", "email"), "");
}

TEST(SettingsStore, HugeFileReadsEmptyAndIsKeptAsideOnWrite) {
  TempDir dir;
  std::string huge = "[setup]\nemail=kept\n";
  huge.resize(kMaxSettingsFileBytes + 10, 'x');
  const std::string path = dir.Write("zerva.conf", huge);
  SettingsStore store(path);
  EXPECT_EQ(store.Read("setup", "email"), "");
  ASSERT_TRUE(store.Write("setup", "proxy", "p:8080"));
  EXPECT_EQ(store.Read("setup", "proxy"), "p:8080");
  EXPECT_EQ(ReadWholeFile(path + ".bad"), huge);
}

TEST(SettingsStore, RefusesAWriteItCouldNotReadBack) {
  TempDir dir;
  SettingsStore store(dir.File("zerva.conf"));
  ASSERT_TRUE(store.Write("setup", "email", "jan"));
  EXPECT_FALSE(store.Write("setup", "proxy", std::string(kMaxSettingsFileBytes, 'v')));
  EXPECT_EQ(store.Read("setup", "email"), "jan");
  EXPECT_EQ(store.Read("setup", "proxy"), "");
}

TEST(SettingsStore, ReadsWhatAnotherStoreAndAChildProcessWrote) {
  TempDir dir;
  const std::string path = dir.File("zerva.conf");
  SettingsStore first(path);
  SettingsStore second(path);
  ASSERT_TRUE(first.Write("updater", "last", "100"));
  EXPECT_EQ(second.Read("updater", "last"), "100");
  ASSERT_TRUE(second.Write("updater", "last", "200"));
  EXPECT_EQ(first.Read("updater", "last"), "200");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SettingsStore own(path);
    const bool sawParent = own.Read("updater", "last") == "200";
    const bool wrote = own.Write("updater", "rver", "267");
    ::_exit(sawParent && wrote ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(first.Read("updater", "rver"), "267");
  EXPECT_EQ(first.Read("updater", "last"), "200");
}

TEST(SettingsStore, ConcurrentWritersLoseNoEntry) {
  TempDir dir;
  const std::string path = dir.File("zerva.conf");
  constexpr int kThreads = 6;
  constexpr int kEntries = 15;
  constexpr int kProcesses = 3;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsStore own(path);
      bool ok = true;
      for (int i = 0; i < kEntries; ++i) {
        ok = own.Write("process" + std::to_string(p), "e" + std::to_string(i), "v") && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path, t] {
      SettingsStore own(path);
      for (int i = 0; i < kEntries; ++i) {
        own.Write("thread" + std::to_string(t), "e" + std::to_string(i), std::to_string(i));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const SettingsSections all = ParseSettingsText(ReadWholeFile(path));
  ASSERT_EQ(all.size(), static_cast<size_t>(kThreads + kProcesses));
  for (const auto& [section, entries] : all) EXPECT_EQ(entries.size(), kEntries + 0u) << section;
}

TEST(SettingsStore, UpdatesFromSeveralThreadsAreNotLost) {
  TempDir dir;
  const std::string path = dir.File("zerva.conf");
  constexpr int kThreads = 4;
  constexpr int kIncrements = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&path] {
      SettingsStore own(path);
      for (int i = 0; i < kIncrements; ++i) {
        own.Update("common", "counter", [](const std::string& old) {
          return std::to_string((old.empty() ? 0 : std::stoi(old)) + 1);
        });
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(SettingsStore(path).Read("common", "counter"), std::to_string(kThreads * kIncrements));
}

TEST(SettingsStore, WriteFailsWhenTheFolderCannotBeMade) {
  TempDir dir;
  const std::string blocker = dir.Write("blocker", "a file, not a folder");
  SettingsStore store(blocker + "/zerva/zerva.conf");
  EXPECT_FALSE(store.Write("setup", "email", "x"));
  EXPECT_EQ(store.Read("setup", "email"), "");
  EXPECT_EQ(ReadWholeFile(blocker), "a file, not a folder");
}

}  // namespace
}  // namespace zerva
