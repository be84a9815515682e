// zerva-cli as a real process against zerva-server: start-up outcomes as exit statuses,
// sign-in from switches and from the remembered login, the album list, deleting with the
// question answered by flags, and never waiting for input that cannot come.
#include <gtest/gtest.h>

#include "app/elements.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "platform/md5.h"
#include "support/process.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

using namespace zerva::cli;

// The album identifiers of an `albums` listing, in order.
std::vector<std::string> ListedIds(const std::string& out) {
  std::vector<std::string> ids;
  for (const std::string& line : Lines(out)) ids.push_back(line.substr(0, line.find('\t')));
  return ids;
}

TEST_F(CliProcessTest, VersionAndHelpNeedNoService) {
  CliInstall offline("");
  const CliRun version = offline.Run({"--version"});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "zerva kalimtor, ver. 1.59.52.267\n");
  const CliRun help = offline.Run({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  for (const char* part :
       {"login --remember", "--yes", "--sort KEY", "--web-order KEY", "send ID --to", "open ID",
        "banners ID", "Exit status:", "9   no album"}) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }
  const CliRun bad = offline.Run({"albums", "--frobnicate"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_NE(bad.err.find("unknown option '--frobnicate'"), std::string::npos) << bad.err;
  EXPECT_TRUE(Server().Log().empty());
}

TEST_F(CliProcessTest, ListsAlbumsSortedAndRunsTheStartUpAroundIt) {
  const CliRun byName = User({"albums", "--sort", "name", "--asc"});
  ASSERT_EQ(byName.status, kExitOk) << byName.err;
  const std::vector<std::string> lines = Lines(byName.out);
  ASSERT_EQ(lines.size(), 2u) << byName.out;
  EXPECT_EQ(lines[0].rfind(albumIds_[1] + "\tBy the sea\t0\t0\t", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind(albumIds_[0] + "\tSummer in the mountains\t0\t0\t", 0), 0u) << lines[1];
  EXPECT_NE(lines[0].find("/Sea"), std::string::npos);
  EXPECT_EQ(ListedIds(User({"albums", "--sort=name", "--desc"}).out), albumIds_);

  // The whole start-up ran before the verb and the statistics went at the end.
  const std::string log = cli_->TraceLog();
  const size_t init = log.find("APP INIT");
  const size_t albums = log.find("(S) GetAlbums");
  const size_t stat = log.find("(S) SendStat");
  const size_t shutdown = log.rfind("SHUTDOWN");
  ASSERT_NE(init, std::string::npos);
  EXPECT_LT(log.find("test_connection/client.php"), albums);
  EXPECT_LT(log.find("messages.php"), albums);
  EXPECT_LT(albums, stat);
  EXPECT_LT(stat, shutdown);
  EXPECT_FALSE(Server().LogOf("send_stat.php").empty());
}

TEST_F(CliProcessTest, SignInFailuresHaveTheirOwnStatus) {
  const CliRun wrong = cli_->Run({"-usr", user_, "-pwd", "wrong", "albums"});
  EXPECT_EQ(wrong.status, kExitSignIn);
  EXPECT_NE(wrong.err.find("zerva.localhost | Error: "), std::string::npos) << wrong.err;
  EXPECT_TRUE(wrong.out.empty());

  const CliRun nobody = cli_->Run({"albums"});
  EXPECT_EQ(nobody.status, kExitSignIn);
  EXPECT_NE(nobody.err.find("login --remember"), std::string::npos) << nobody.err;

  const CliRun noPassword = cli_->Run({"-usr", user_, "albums"});
  EXPECT_EQ(noPassword.status, kExitSignIn);
  EXPECT_NE(noPassword.err.find("no password for " + user_), std::string::npos) << noPassword.err;
}

TEST_F(CliProcessTest, RememberedLoginServesLaterRunsUntilLogout) {
  const CliRun login = User({"login", "--remember"});
  ASSERT_EQ(login.status, kExitOk) << login.err;
  EXPECT_EQ(login.out, "Signed in as " + user_ + ": 2 albums\n");
  const std::string settings = cli_->SettingsText();
  EXPECT_NE(settings.find("pass=" + Md5Hex("secret")), std::string::npos) << settings;
  EXPECT_EQ(settings.find("pass=secret"), std::string::npos);  // never the password itself

  EXPECT_EQ(cli_->Run({"albums"}).status, kExitOk);
  const CliRun logout = cli_->Run({"logout"});
  EXPECT_EQ(logout.status, kExitOk);
  EXPECT_EQ(logout.out, "The remembered password of " + user_ + " is forgotten\n");
  EXPECT_EQ(cli_->Run({"albums"}).status, kExitSignIn);
}

using CliDeleteTest = CliProcessTest;

TEST_F(CliDeleteTest, QuestionIsDeclinedWithoutATerminalOrNoAndConfirmedByYes) {
  // Closed or empty stdin: nobody can answer, so the question is declined at once.
  for (const CliStdin in : {CliStdin::kClosed, CliStdin::kDevNull}) {
    const CliRun declined = User({"delete", albumIds_[0]}, in);
    EXPECT_FALSE(declined.timedOut);
    EXPECT_EQ(declined.status, kExitDeclined) << declined.err;
    EXPECT_NE(declined.err.find("Do you really want to delete"), std::string::npos);
    EXPECT_NE(declined.err.find("-> no"), std::string::npos) << declined.err;
  }
  const CliRun withNo = User({"delete", albumIds_[0], "--no"}, CliStdin::kText, "yes\n");
  EXPECT_EQ(withNo.status, kExitDeclined);
  EXPECT_NE(withNo.err.find("-> no (--no)"), std::string::npos) << withNo.err;
  EXPECT_TRUE(Server().LogOf("DeleteAlbum").empty());
  EXPECT_EQ(ListedIds(User({"albums", "--sort", "name", "--asc"}).out),
            (std::vector<std::string>{albumIds_[1], albumIds_[0]}));

  const CliRun confirmed = User({"delete", albumIds_[0], "--yes"});
  ASSERT_EQ(confirmed.status, kExitOk) << confirmed.err;
  EXPECT_EQ(confirmed.out, "Deleted album " + albumIds_[0] + "\n");
  EXPECT_EQ(Server().LogOf("DeleteAlbum").size(), 1u);
  EXPECT_EQ(ListedIds(User({"albums"}).out), std::vector<std::string>{albumIds_[1]});

  const CliRun gone = User({"delete", albumIds_[0], "--yes"});
  EXPECT_EQ(gone.status, kExitNotFound);
}

TEST_F(CliDeleteTest, InputThatIsNotATerminalIsNeverTakenForAnAnswer) {
  // "yes" waiting in a file is not somebody at a terminal: only --yes confirms.
  const CliRun piped = User({"delete", albumIds_[0]}, CliStdin::kText, "yes\n");
  EXPECT_EQ(piped.status, kExitDeclined);
  EXPECT_EQ(Lines(User({"albums"}).out).size(), 2u);
}

TEST_F(CliProcessTest, StartUpEndingsBecomeExitStatuses) {
  CliInstall nowhere("127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/");
  const CliRun unreachable = nowhere.Run({"-usr", user_, "-pwd", "secret", "albums"});
  EXPECT_EQ(unreachable.status, kExitUnreachable);
  EXPECT_NE(unreachable.err.find("cannot be reached"), std::string::npos) << unreachable.err;
  EXPECT_NE(unreachable.err.find("Program zerva kalimtor, ver. 1.59.52.267"), std::string::npos);

  // "unins" ends before anything is sent, statistics included.
  const CliRun unins = cli_->Run({"-unins"});
  EXPECT_EQ(unins.status, kExitOk) << unins.err;
  EXPECT_TRUE(Server().Log().empty());

  ASSERT_TRUE(Server().SetConfig("message", "Closed for maintenance"));
  ASSERT_TRUE(Server().SetConfig("messageError", "true"));
  const CliRun closed = User({"albums"});
  ASSERT_TRUE(Server().SetConfig("message", ""));
  ASSERT_TRUE(Server().SetConfig("messageError", "false"));
  EXPECT_EQ(closed.status, kExitServiceMessage);
  EXPECT_NE(closed.err.find("Error: Closed for maintenance"), std::string::npos) << closed.err;
  EXPECT_TRUE(Server().LogOf("login.php").empty());
}

TEST_F(CliProcessTest, TraceSwitchWritesTraceLinesToStderr) {
  const CliRun run = User({"-trace", "albums"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.err.find("trace: (S) GetAlbums"), std::string::npos) << run.err;
  EXPECT_EQ(Lines(run.out).size(), 2u);  // results stay on stdout alone
}

TEST_F(CliProcessTest, UploadVerbsRefuseFilesThatAreNoPhotosAfterSignIn) {
  TempDir folder;
  const std::string photo = folder.Write("a.jpg", "not really a photo");
  const CliRun upload = User({"upload", folder.Path(), "--name", "Trip"});
  EXPECT_EQ(upload.status, kExitFailed) << upload.err;
  EXPECT_NE(upload.err.find("holds no photos or videos"), std::string::npos) << upload.err;
  EXPECT_FALSE(Server().LogOf("GetAlbums").empty());  // signed in first
  const CliRun unattended = User({"-lbl", "Trip", photo});
  EXPECT_EQ(unattended.status, kExitFailed) << unattended.err;
  EXPECT_TRUE(Server().LogOf("CreateAlbum").empty());
  // Arguments that name no existing photo are refused before anything is sent.
  Server().ClearLog();
  const CliRun nothing = User({folder.Path() + "missing.jpg"});
  EXPECT_EQ(nothing.status, kExitUsage);
  EXPECT_TRUE(Server().Log().empty());
}

}  // namespace
}  // namespace zerva::test
