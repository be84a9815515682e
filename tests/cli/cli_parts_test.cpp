// The pieces of zerva-cli: its command line, the answers of its dialogs, the progress lines,
// the credentials it signs in with, and the lines it prints for albums and banners.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/cmd_line_info.h"
#include "app/profile.h"
#include "cli/album_listing.h"
#include "cli/cli_args.h"
#include "cli/cli_credentials.h"
#include "cli/terminal_dialogs.h"
#include "cli/terminal_progress.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "platform/md5.h"
#include "support/temp_dir.h"
#include "ui/album_banners.h"

namespace zerva::cli {
namespace {

CliArgs Parse(const std::vector<std::string>& args, std::string* error = nullptr) {
  CliArgs parsed;
  std::string ignored;
  ParseCliArgs(args, &parsed, error != nullptr ? error : &ignored);
  return parsed;
}

std::string ParseError(const std::vector<std::string>& args) {
  std::string error;
  Parse(args, &error);
  return error;
}

TEST(CliArgs, ProgramSwitchesKeepTheirValuesWhereverTheVerbStands) {
  const CliArgs parsed = Parse({"-usr", "--yes", "demo", "-trace", "upload", "/home/ann/Trip",
                                "-pwd", "pw", "--name", "My trip"});
  EXPECT_EQ(parsed.verb, Verb::kUpload);
  EXPECT_EQ(parsed.operands, std::vector<std::string>{"/home/ann/Trip"});
  EXPECT_EQ(parsed.answers, AnswerPolicy::kYes);
  EXPECT_EQ(parsed.albumName, "My trip");
  // The program's own parser sees them in their order: "demo" is still the user name.
  EXPECT_EQ(parsed.programArgs, (std::vector<std::string>{"-usr", "demo", "-trace", "-pwd", "pw"}));
  CmdLineInfo info([] { return false; });
  std::vector<const char*> argv = {"zerva-cli"};
  for (const std::string& a : parsed.programArgs) argv.push_back(a.c_str());
  info.Parse(static_cast<int>(argv.size()), argv.data());
  EXPECT_EQ(info.UserName(), "demo");
  EXPECT_EQ(info.Password(), "pw");
  EXPECT_TRUE(info.TraceRequested());
}

TEST(CliArgs, ListsFilesAndSlashSwitchesGoToTheProgram) {
  const CliArgs list = Parse({"-lst", "/tmp/my", "photos.lst", "-end", "--trace"});
  EXPECT_EQ(list.verb, Verb::kNone);
  EXPECT_TRUE(list.listGiven);
  EXPECT_EQ(list.programArgs,
            (std::vector<std::string>{"-lst", "/tmp/my", "photos.lst", "-end", "--trace"}));
  // A verb word inside a list is a piece of the list file's name.
  EXPECT_EQ(Parse({"-lst", "albums", "-end"}).verb, Verb::kNone);
  const CliArgs files = Parse({"/noreg", "a.jpg", "b.jpg"});
  EXPECT_EQ(files.uploadArguments, 2);
  EXPECT_EQ(files.programArgs, (std::vector<std::string>{"/noreg", "a.jpg", "b.jpg"}));
  EXPECT_TRUE(Parse({"-unins"}).uninstall);
  // After "--" everything is an operand, even what looks like an option.
  EXPECT_EQ(Parse({"prepare", "--out", "o", "--", "--weird.jpg"}).operands,
            std::vector<std::string>{"--weird.jpg"});
}

TEST(CliArgs, RefusesWhatDoesNotFitTheVerb) {
  EXPECT_EQ(ParseError({"albums", "--frob"}), "unknown option '--frob'");
  EXPECT_EQ(ParseError({"-Trace", "albums"}), "unknown option '-Trace'");
  EXPECT_EQ(ParseError({}), "nothing to do: give a verb, or files to upload");
  EXPECT_EQ(ParseError({"delete"}), "'delete' needs one album identifier (a positive number)");
  EXPECT_EQ(ParseError({"delete", "0"}), "'delete' needs one album identifier (a positive number)");
  EXPECT_EQ(ParseError({"delete", "12x"}),
            "'delete' needs one album identifier (a positive number)");
  EXPECT_EQ(ParseError({"albums", "--yes", "--no"}), "--yes and --no exclude each other");
  EXPECT_EQ(ParseError({"albums", "--sort", "colour"}),
            "unknown sort key 'colour' (name, created, modified, count, size, from or to)");
  EXPECT_EQ(ParseError({"albums", "--sort"}), "option '--sort' needs a value");
  EXPECT_EQ(ParseError({"login", "--sort", "name"}), "--sort applies to 'albums' only");
  EXPECT_EQ(ParseError({"albums", "--remember"}), "--remember applies to 'login' only");
  EXPECT_EQ(ParseError({"prepare", "a.jpg"}), "'prepare' needs --out DIR");
  EXPECT_EQ(ParseError({"a.jpg", "albums"}).empty(), true);  // a file named "albums"
  EXPECT_EQ(ParseError({"--yes=1", "albums"}), "option '--yes' takes no value");
  EXPECT_TRUE(ParseError({"--help"}).empty());
  EXPECT_EQ(Parse({"albums", "--sort", "4"}).sortKey, 4);
  EXPECT_EQ(Parse({"albums", "--sort=to"}).sortKey, 6);
  EXPECT_EQ(Parse({"albums", "--sort=count"}).sortKey, 3);
  EXPECT_EQ(Parse({"albums", "--sort=photos"}).sortKey, 3);
}

TEST(CliArgs, GpsTakesALatitudeAndALongitudeWithinTheirRanges) {
  using Position = std::optional<std::pair<double, double>>;
  EXPECT_EQ(ParseGpsPosition("49.195,16.607"), Position(std::make_pair(49.195, 16.607)));
  EXPECT_EQ(ParseGpsPosition(" -33.8688 , 151.2093 "),
            Position(std::make_pair(-33.8688, 151.2093)));
  EXPECT_EQ(ParseGpsPosition("90,-180"), Position(std::make_pair(90.0, -180.0)));
  EXPECT_EQ(ParseGpsPosition("0,0.5"), Position(std::make_pair(0.0, 0.5)));  // the equator
  for (const char* bad : {"0,0", "90.1,0", "45,180.5", "49,195,16", "49.195", "49;16", "1e999,1",
                          "nan,1", "49.195,16.607x", ",16", "49,", ""}) {
    EXPECT_EQ(ParseGpsPosition(bad), std::nullopt) << bad;
  }
  // A decimal comma would be read as the separator: refused, not misread.
  EXPECT_EQ(ParseGpsPosition("49,195,16,607"), std::nullopt);
  EXPECT_EQ(Parse({"upload", "dir", "--gps", "49.195,16.607"}).gps->first, 49.195);
  EXPECT_EQ(ParseError({"upload", "dir", "--gps", "north"}),
            "--gps needs LAT,LON in decimal degrees (such as 49.195,16.607), not 'north'");
  EXPECT_EQ(ParseError({"albums", "--gps", "49,16"}), "--gps applies to 'upload' only");
}

TEST(CliArgs, WebOrderTakesTheServicesNamesAndAnOptionalDirection) {
  const CliArgs chosen = Parse({"albums", "--web-order", "viewCount"});
  EXPECT_EQ(chosen.webOrderKey, 102);
  EXPECT_FALSE(chosen.webOrderAscending.has_value());  // the menu's rule decides
  const CliArgs set = Parse({"albums", "--web-order=lastComment:desc"});
  EXPECT_EQ(set.webOrderKey, 105);
  EXPECT_EQ(set.webOrderAscending, false);
  EXPECT_EQ(Parse({"albums", "--web-order", "createDate:asc"}).webOrderAscending, true);
  for (const char* bad : {"views", "viewcount", "viewCount:up", "viewCount:", ":asc"}) {
    EXPECT_EQ(ParseError({"albums", "--web-order", bad}).rfind("unknown web page order", 0), 0u)
        << bad;
  }
  EXPECT_EQ(ParseError({"login", "--web-order", "date"}), "--web-order applies to 'albums' only");
}

TEST(CliArgs, AlbumVerbsNeedOneIdentifierAndSendNeedsAnAddress) {
  for (const char* verb : {"open", "banners", "delete"}) {
    EXPECT_TRUE(ParseError({verb, "12"}).empty()) << verb;
    EXPECT_EQ(ParseError({verb}),
              std::string("'") + verb + "' needs one album identifier (a positive number)");
    EXPECT_FALSE(ParseError({verb, "12", "13"}).empty()) << verb;
  }
  const CliArgs send = Parse({"send", "12", "--to", "ann@example.com, bob@example.com", "--subject",
                              "", "--message=Look"});
  EXPECT_EQ(send.verb, Verb::kSend);
  EXPECT_EQ(AlbumIdOperand(send), 12);
  EXPECT_EQ(send.recipients, "ann@example.com, bob@example.com");
  EXPECT_EQ(send.subject, "");  // an empty subject is a choice, not a missing value
  EXPECT_EQ(send.message, "Look");
  EXPECT_FALSE(Parse({"send", "12", "--to", "a@example.com"}).subject.has_value());

  EXPECT_EQ(ParseError({"send", "12"}), "'send' needs --to ADDRESSES");
  EXPECT_EQ(ParseError({"send", "--to", "ann@example.com"}),
            "'send' needs one album identifier (a positive number)");
  // The send page's check at its edges: two characters before the "@", two between it and the
  // dot, two after the dot.
  for (const char* bad : {"a@example.com", "ann@e.com", "ann@example.c", "annexample.com", ";,"}) {
    EXPECT_EQ(ParseError({"send", "12", "--to", bad}).rfind("--to '", 0), 0u) << bad;
  }
  EXPECT_TRUE(ParseError({"send", "12", "--to", "an@ex.co"}).empty());
  EXPECT_EQ(ParseError({"albums", "--to", "ann@example.com"}),
            "--to, --subject and --message apply to 'send' only");
}

TEST(TerminalDialogs, FlagsAnswerAndWithoutATerminalQuestionsAreDeclined) {
  ASSERT_TRUE(Localization().LoadLocal());
  struct Case {
    AnswerPolicy policy;
    MessageButtons buttons;
    Reply expected;
  };
  const Case cases[] = {
      {AnswerPolicy::kYes, MessageButtons::kYesNo, Reply::kYes},
      {AnswerPolicy::kYes, MessageButtons::kRetryCancel, Reply::kRetry},
      {AnswerPolicy::kYes, MessageButtons::kOkCancel, Reply::kOk},
      {AnswerPolicy::kNo, MessageButtons::kYesNoCancel, Reply::kNo},
      {AnswerPolicy::kNo, MessageButtons::kRetryCancel, Reply::kCancel},
      {AnswerPolicy::kAsk, MessageButtons::kYesNo, Reply::kNo},
      {AnswerPolicy::kAsk, MessageButtons::kYesNoCancel, Reply::kCancel},
      {AnswerPolicy::kAsk, MessageButtons::kOk, Reply::kOk},
  };
  for (const Case& c : cases) {
    std::FILE* in = std::tmpfile();
    std::fputs("yes\n", in);  // present, but not a terminal: never read
    std::rewind(in);
    std::FILE* out = std::tmpfile();
    TerminalDialogs dialogs(c.policy, {in, out, false, false});
    EXPECT_EQ(dialogs.ShowMessage("Go on?", MessageKind::kWarning, c.buttons), c.expected);
    EXPECT_EQ(std::ftell(in), 0);
    const bool declining = c.expected == Reply::kNo || c.expected == Reply::kCancel;
    EXPECT_EQ(dialogs.DeclinedCount(), declining ? 1 : 0);
    std::fclose(in);
    std::fclose(out);
  }
}

TEST(TerminalDialogs, OnATerminalTheTypedAnswerCountsAndEndOfInputDeclines) {
  ASSERT_TRUE(Localization().LoadLocal());
  struct Case {
    const char* typed;
    MessageButtons buttons;
    Reply expected;
  };
  const Case cases[] = {
      {"y\n", MessageButtons::kYesNo, Reply::kYes},
      {"NO\n", MessageButtons::kYesNoCancel, Reply::kNo},
      {"maybe\nc\n", MessageButtons::kYesNoCancel, Reply::kCancel},
      {"retry\n", MessageButtons::kRetryCancel, Reply::kRetry},
      {"\n", MessageButtons::kYesNo, Reply::kNo},
      {"", MessageButtons::kYesNoCancel, Reply::kCancel},
      {"a\nb\nc\nyes\n", MessageButtons::kYesNo, Reply::kNo},  // three tries, then declined
  };
  for (const Case& c : cases) {
    std::FILE* in = std::tmpfile();
    std::fputs(c.typed, in);
    std::rewind(in);
    std::FILE* out = std::tmpfile();
    TerminalDialogs dialogs(AnswerPolicy::kAsk, {in, out, true, false});
    EXPECT_EQ(dialogs.ShowMessage("Go on?", MessageKind::kInformation, c.buttons), c.expected)
        << c.typed;
    std::fclose(in);
    std::fclose(out);
  }
}

TEST(TerminalProgress, BarOnATerminalPlainLinesOtherwise) {
  ProgressState state{45, 125, 130, "IMG_0001.jpg"};
  EXPECT_EQ(TerminalProgress::BarLine(state, 80),
            "[##########..............]  45%  02:05  ~2:10 min left  IMG_0001.jpg");
  EXPECT_EQ(TerminalProgress::PlainLine(state),
            "progress 45% elapsed 02:05 remaining 2:10 min IMG_0001.jpg");
  state.remainingSeconds.reset();
  state.percent = 140;  // out of range is shown as the end
  EXPECT_EQ(TerminalProgress::PlainLine(state), "progress 100% elapsed 02:05 IMG_0001.jpg");
  // A long label keeps its end and the line its width.
  state.label = std::string(100, 'x') + "end.jpg";
  EXPECT_LE(TerminalProgress::BarLine(state, 60).size(), 59u);
  EXPECT_EQ(
      TerminalProgress::BarLine(state, 60).substr(TerminalProgress::BarLine(state, 60).size() - 7),
      "end.jpg");

  std::FILE* out = std::tmpfile();
  TerminalProgress plain(out, false);
  plain.Show({10, 1, std::nullopt, "a"});
  plain.Show({10, 2, std::nullopt, "b"});  // same percentage: no new line
  plain.Show({11, 3, std::nullopt, "b"});
  plain.Finish();
  std::rewind(out);
  char buffer[256] = {};
  const size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
  EXPECT_EQ(std::string(buffer, n), "progress 10% elapsed 00:01 a\nprogress 11% elapsed 00:03 b\n");
  std::fclose(out);
}

class CredentialsTest : public ::testing::Test {
 protected:
  CmdLineInfo Switches(const std::vector<std::string>& args) {
    CmdLineInfo info([] { return false; });
    std::vector<const char*> argv = {"zerva-cli"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    info.Parse(static_cast<int>(argv.size()), argv.data());
    return info;
  }
  void Remember(const std::string& name, const std::string& digest) {
    profile_.WriteProfileString("setup", "email", name);
    profile_.WriteProfileString("setup", "pass", digest);
  }
  bool Resolve(const std::vector<std::string>& args, CliCredentials* out,
               std::string* error = nullptr) {
    std::string ignored;
    return ResolveCredentials(Switches(args), profile_, out, error ? error : &ignored);
  }
  test::TempDir dir_;
  Profile profile_{dir_.Path() + "zerva.conf"};
};

TEST_F(CredentialsTest, SwitchesWinAndTheRememberedLoginFillsOnlyTheSameAccount) {
  Remember("ann", Md5Hex("annpw"));
  CliCredentials c;
  ASSERT_TRUE(Resolve({"-usr", "bob", "-pwd", "bobpw"}, &c));
  EXPECT_EQ(c.loginName, "bob");
  EXPECT_EQ(c.passwordDigest, Md5Hex("bobpw"));
  EXPECT_TRUE(c.fromCommandLine);
  ASSERT_TRUE(Resolve({}, &c));
  EXPECT_EQ(c.loginName, "ann");
  EXPECT_EQ(c.passwordDigest, Md5Hex("annpw"));
  ASSERT_TRUE(Resolve({"-usr", " ann "}, &c));  // trimmed like the login box
  EXPECT_EQ(c.passwordDigest, Md5Hex("annpw"));
  std::string error;
  EXPECT_FALSE(Resolve({"-usr", "bob"}, &c, &error));
  EXPECT_EQ(error.rfind("no password for bob", 0), 0u) << error;
  ASSERT_TRUE(Resolve({"-pwd", "other"}, &c));
  EXPECT_EQ(c.loginName, "ann");
  EXPECT_EQ(c.passwordDigest, Md5Hex("other"));
}

TEST_F(CredentialsTest, NothingUsableRememberedIsAClearError) {
  CliCredentials c;
  std::string error;
  EXPECT_FALSE(Resolve({}, &c, &error));
  EXPECT_NE(error.find("login --remember"), std::string::npos);
  Remember("ann", "not-a-digest");  // a damaged entry is no password
  EXPECT_FALSE(Resolve({}, &c, &error));
  EXPECT_FALSE(Resolve({"-usr", "ann"}, &c, &error));
}

TEST_F(CredentialsTest, StoringRemembersTheDigestOnlyWhenAskedAndLogoutForgetsIt) {
  const CliCredentials c{"ann", Md5Hex("pw"), true};
  ASSERT_TRUE(StoreLogin(profile_, c, true));
  EXPECT_EQ(profile_.GetProfileString("setup", "pass"), Md5Hex("pw"));
  EXPECT_EQ(profile_.GetProfileString("setup", "EmailHistory"), "<email>ann</email>");
  ASSERT_TRUE(StoreLogin(profile_, c, false));
  EXPECT_EQ(profile_.GetProfileString("setup", "pass"), "");
  ASSERT_TRUE(StoreLogin(profile_, c, true));
  EXPECT_EQ(ForgetRememberedPassword(profile_), "ann");
  EXPECT_EQ(profile_.GetProfileString("setup", "pass"), "");
  EXPECT_EQ(profile_.GetProfileString("setup", "email"), "ann");
}

TEST(AlbumListing, EachAlbumAndBannerStaysOneLineOfItsFields) {
  CAlbumMngr albums;
  albums.Sync(
      "<album><albumID>2</albumID><name>Alpha\tone<br>x</name><photoCount>95</photoCount>"
      "</album>");
  const std::string line = AlbumLine(*albums.FindById(2));
  EXPECT_EQ(line.rfind("2\tAlpha onex\t95\t0\t", 0), 0u) << line;
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 5);

  AlbumBanner banner;
  banner.title = "Prints\tand\r\nbooks";
  banner.link = "https://example.com/order";
  banner.pictureUrl = "http://zerva.localhost/banners/1.jpg";
  EXPECT_EQ(BannerLine(banner),
            "Prints and books\thttps://example.com/order\thttp://zerva.localhost/banners/1.jpg");
}

}  // namespace
}  // namespace zerva::cli
