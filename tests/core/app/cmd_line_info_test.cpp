#include "app/cmd_line_info.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zerva {
namespace {

using Files = std::vector<std::string>;

CmdLineInfo ParseArgs(std::initializer_list<std::string> args, bool videoConverter = true) {
  std::vector<const char*> argv{"zerva"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  CmdLineInfo info([videoConverter] { return videoConverter; });
  info.Parse(static_cast<int>(argv.size()), argv.data());
  return info;
}

TEST(CmdLineInfo, SwitchesAreExactAfterTheirLeadingCharacters) {
  EXPECT_TRUE(ParseArgs({"--trace"}).TraceRequested());
  EXPECT_TRUE(ParseArgs({"/trace"}).TraceRequested());
  EXPECT_FALSE(ParseArgs({"-Trace"}).TraceRequested());
  EXPECT_FALSE(ParseArgs({"-traces", "trace", "-", "/"}).TraceRequested());
  EXPECT_TRUE(ParseArgs({"-noreg"}).NoRegistration());
  EXPECT_TRUE(ParseArgs({"-unins"}).Uninstall());

  EXPECT_EQ(ParseArgs({}).DelayMs(), 2000);
  for (const char* ignored : {"-delay:0", "-delay:32767", "-delay:x5", "-delay:-5",
                              "-delay:", "-delay:99999999999999999999"}) {
    EXPECT_EQ(ParseArgs({ignored}).DelayMs(), 2000) << ignored;
  }
  EXPECT_EQ(ParseArgs({"-delay:32766"}).DelayMs(), 32766);
  EXPECT_EQ(ParseArgs({"-delay:500ms", "-delay:0"}).DelayMs(), 500);

  // The per-argument form gets switches without their first character.
  CmdLineInfo direct([] { return false; });
  direct.ParseParam("-trace", true, false);
  direct.ParseParam("lbl", true, false);
  direct.ParseParam("Trip", false, true);
  EXPECT_TRUE(direct.TraceRequested());
  EXPECT_EQ(direct.Label(), "Trip");
}

TEST(CmdLineInfo, CredentialsAndLabelTakeTheNextPlainArgument) {
  test::TempDir dir;
  const std::string photo = dir.Write("a.jpg", "x");

  const CmdLineInfo info = ParseArgs({"-usr", "jan", photo, "-pwd", "secret", "-lbl", "Trip 1"});
  EXPECT_EQ(info.UserName(), "jan");
  EXPECT_EQ(info.Password(), "secret");
  EXPECT_EQ(info.Label(), "Trip 1");
  EXPECT_EQ(info.FileList(), Files{photo});
  // A switch in between does not use up the pending argument.
  EXPECT_EQ(ParseArgs({"-usr", "-trace", "jan"}).UserName(), "jan");
  // Every plain argument clears what was expected; a credential is never taken as a file.
  const CmdLineInfo once = ParseArgs({"-usr", photo, "second"});
  EXPECT_EQ(once.UserName(), photo);
  EXPECT_FALSE(once.FilesGiven());
  EXPECT_FALSE(once.ExpectsUserName());
}

TEST(CmdLineInfo, FileArgumentsMustExistAndBeWantedMedia) {
  test::TempDir dir;
  const std::string photo = dir.Write("p.JPG", "x");
  const std::string raw = dir.Write("p.nef", "x");
  const std::string video = dir.Write("v.mp4", "x");
  const std::string text = dir.Write("notes.txt", "x");
  const std::string hidden = dir.Write(".jpg", "x");
  dir.Write("folder.jpg/inside", "x");

  const CmdLineInfo with = ParseArgs(
      {photo, text, video, hidden, dir.File("missing.jpg"), dir.File("folder.jpg"), raw}, true);
  EXPECT_EQ(with.FileList(), (Files{photo, video, raw}));
  EXPECT_TRUE(with.FilesGiven());
  EXPECT_EQ(ParseArgs({photo, video}, false).FileList(), Files{photo});
  EXPECT_FALSE(ParseArgs({video}, false).FilesGiven());

  // The address the web site passes through the URL protocol is ignored.
  const CmdLineInfo url = ParseArgs({"zerva://login?user=jan&t=abc/def.jpg"});
  EXPECT_FALSE(url.FilesGiven());
  EXPECT_TRUE(url.UserName().empty());
}

TEST(CmdLineInfo, AbsolutePathsAreNotSwitches) {
  test::TempDir dir;
  const std::string photo = dir.Write("abs.jpg", "x");
  ASSERT_EQ(photo[0], '/');
  EXPECT_EQ(ParseArgs({photo}).FileList(), Files{photo});
  // An existing entry wins over a switch word: "/usr" is the folder here, not the switch.
  EXPECT_FALSE(ParseArgs({"/usr"}).ExpectsUserName());
  // A "/" word that is no switch is a plain argument, so it can be a credential.
  EXPECT_EQ(ParseArgs({"-pwd", "/secret"}).Password(), "/secret");
}

TEST(CmdLineInfo, ListFileSplitByTheShellIsJoinedAndRead) {
  test::TempDir dir;
  const std::string photo = dir.Write("one.jpg", "x");
  const std::string video = dir.Write("two.mts", "x");
  const std::string list =
      dir.Write("my lists/upload.lst", photo + "\r\n\r\n" + dir.File("gone.jpg") + "\r\n" +
                                           dir.File("x.txt") + "\r\n" + video);

  const CmdLineInfo info = ParseArgs({"-lst", dir.Path() + "my", "lists/upload.lst", "-end"});
  EXPECT_EQ(info.ListBuffer(), list);
  EXPECT_FALSE(info.ListMode());
  EXPECT_EQ(info.FileList(), (Files{photo, video}));

  // Switches still work inside the list; plain arguments only go to the buffer.
  const CmdLineInfo inside = ParseArgs({"-usr", "-lst", "-trace", photo, "-end"});
  EXPECT_TRUE(inside.TraceRequested());
  EXPECT_TRUE(inside.UserName().empty());
  EXPECT_FALSE(inside.FilesGiven());
  EXPECT_TRUE(ParseArgs({"-lst", list}).ListMode());
  EXPECT_FALSE(ParseArgs({"-lst", list}).FilesGiven());
}

TEST(CmdLineInfo, ListFileLineEndsExtensionAndSize) {
  test::TempDir dir;
  const std::string a = dir.Write("a.jpg", "x");
  const std::string b = dir.Write("b.tif", "x");
  const std::string lf = dir.Write("lf.lst", a + "\n" + b);
  const std::string cr = dir.Write("cr.LST", a + "\r" + b + "\r");

  EXPECT_EQ(ParseArgs({"-lst", lf, "-end"}).FileList(), (Files{a, b}));
  EXPECT_EQ(ParseArgs({"-lst", cr, "-end"}).FileList(), (Files{a, b}));
  EXPECT_FALSE(ParseArgs({"-lst", dir.Write("l.txt", a), "-end"}).FilesGiven());
  EXPECT_FALSE(ParseArgs({"-lst", dir.Write("lst", a), "-end"}).FilesGiven());
  EXPECT_FALSE(ParseArgs({"-lst", "-end"}).FilesGiven());
  // The buffer survives "end"; direct arguments and list entries keep command-line order.
  EXPECT_EQ(ParseArgs({b, "-lst", lf, "-end", "-end", a}).FileList(), (Files{b, a, b, a, b, a}));

  const std::string big = dir.Write("big.lst", a + "\n");
  ASSERT_EQ(::truncate(big.c_str(), kMaxListFileBytes + 1), 0);
  EXPECT_FALSE(ParseArgs({"-lst", big, "-end"}).FilesGiven());
}

TEST(CmdLineInfo, VideoConverterIsAskedOnlyForVideosAndOnce) {
  test::TempDir dir;
  const std::string photo = dir.Write("p.jpg", "x");
  const std::string video = dir.Write("v.avi", "x");
  int asked = 0;
  CmdLineInfo info([&] {
    ++asked;
    return true;
  });
  const char* argv[] = {"zerva", photo.c_str(), video.c_str(), video.c_str()};
  info.Parse(2, argv);
  EXPECT_EQ(asked, 0);
  info.Parse(4, argv);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(info.FileList(), (Files{photo, photo, video, video}));
}

}  // namespace
}  // namespace zerva
