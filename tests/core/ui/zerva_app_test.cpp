// Start-up and shutdown of the application object against zerva-server: the fixed order of the
// checks, every way start-up ends early, the trace banners and the statistics at shutdown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "app/app_folders.h"
#include "app/elements.h"
#include "app/profile.h"
#include "core/ui/app_fixture.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "support/process.h"

namespace zerva::test {
namespace {

// Position of the first line holding `needle` in `text`, npos when none does.
size_t Where(const std::string& text, const std::string& needle) {
  return text.find(needle);
}

class RecordingRegistration : public InstallRegistration {
 public:
  explicit RecordingRegistration(bool registers) : registers_(registers) {}
  bool RegisterUrlProtocol(const std::string& executablePath) override {
    registered.push_back(executablePath);
    return registers_;
  }
  void NotifyStatus(bool installed, int delayMs) override {
    statuses.push_back(installed);
    delays.push_back(delayMs);
  }
  std::vector<std::string> registered;
  std::vector<bool> statuses;
  std::vector<int> delays;

 private:
  bool registers_;
};

TEST_F(AppTest, StartupRunsTheChecksInOrderThenTheWindowAndSendsStatisticsAtShutdown) {
  CzervaApp& app = MakeApp();
  frontEnd_.windowCode = [&](CzervaApp& running) {
    EXPECT_NE(running.MainConnection(), nullptr);
    return 5;
  };
  EXPECT_EQ(RunApp(), 5);
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kWindowClosed);
  EXPECT_EQ(frontEnd_.windowRuns, 1);
  EXPECT_TRUE(frontEnd_.dialogs->Messages().empty());
  EXPECT_FALSE(frontEnd_.dialogs->WaitVisible());
  EXPECT_EQ(app.MainConnection(), nullptr);  // released at shutdown
  EXPECT_GE(app.EchoTimeMs(), 0);

  const std::vector<std::string> names = RequestNames();
  // The update check of this installation runs between the server messages and the window.
  const std::vector<std::string> expected = {"client.php", "zerva-en-us.lng",      "messages.php",
                                             "files.dat",  "photovideoparams.xml", "send_stat.php"};
  ASSERT_EQ(names, expected);
  const LoggedRequest stat = Server().Log().back();
  EXPECT_EQ(stat.Field("uuid"), AppProfile().GetProfileString("common", "uuid"));
  EXPECT_FALSE(stat.Field("uuid").empty());
  const std::string statistic = stat.Field("statistic");
  EXPECT_EQ(GetElementInt(statistic, "echoTime"), app.EchoTimeMs());
  EXPECT_FALSE(GetElement(statistic, "osVersion").empty());

  const std::string log = TraceLog();
  const size_t init = Where(log, kAppInitBanner);
  const size_t winVer = Where(log, "**** WinVer ");
  const size_t sendStat = Where(log, "(S) SendStat");
  const size_t shutdown = Where(log, kShutdownBanner);
  ASSERT_NE(init, std::string::npos);
  EXPECT_LT(init, winVer);
  EXPECT_LT(winVer, Where(log, "test_connection/client.php"));
  EXPECT_LT(sendStat, shutdown);
  ASSERT_NE(shutdown, std::string::npos);
  EXPECT_EQ(log.find('\n', shutdown), log.size() - 1);  // the very last line
}

// The current folder is left alone, so a relative file argument still names its file when the
// window works with it.
TEST_F(AppTest, RelativeFileArgumentsStillResolveInTheWindow) {
  TempDir work;
  work.Write("a.jpg", "jpeg bytes");
  ASSERT_EQ(::chdir(work.Path().c_str()), 0);
  CzervaApp& app = MakeApp();
  frontEnd_.windowCode = [&](CzervaApp& running) {
    EXPECT_EQ(running.CommandLine().FileList(), std::vector<std::string>{"a.jpg"});
    EXPECT_TRUE(FileExists(running.CommandLine().FileList().at(0)));
    return 0;
  };
  RunApp({"a.jpg"});
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kWindowClosed);
  EXPECT_EQ(frontEnd_.windowRuns, 1);
}

TEST_F(AppTest, ConnectionTestAnswerThatIsNotTheServiceDomainFailsStartUp) {
  SetServiceDomainName("other.example");
  CzervaApp& app = MakeApp();
  RunApp();
  SetServiceDomainName(kDefaultServiceDomainName);
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kConnectionFailed);
  EXPECT_EQ(frontEnd_.windowRuns, 0);
  ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
  const ScriptedDialogs::Message box = frontEnd_.dialogs->Messages()[0];
  EXPECT_EQ(box.kind, MessageKind::kError);
  EXPECT_NE(box.text.find("unexpected answer: zerva.localhost"), std::string::npos) << box.text;
  // Nothing after the test: no language file, no messages, no parameters.
  const std::vector<std::string> names = RequestNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "client.php");
  EXPECT_EQ(names.back(), "send_stat.php");
  EXPECT_EQ(names.size(), 2u);
}

TEST_F(AppTest, NoServerShowsHttpErrorWithVersionAndWithTraceTheRawAnswer) {
  const int port = FreeLoopbackPort();
  const std::string domain = "127.0.0.1:" + std::to_string(port);
  for (const bool trace : {false, true}) {
    SCOPED_TRACE(trace ? "with trace" : "without trace");
    PointIniAt(domain + "/");
    frontEnd_.dialogs = std::make_unique<ScriptedDialogs>(Reply::kNo);
    CzervaApp& app = MakeApp();
    RunApp(trace ? std::vector<std::string>{"-trace"} : std::vector<std::string>{});
    EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kConnectionFailed);
    ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
    const std::string text = frontEnd_.dialogs->Messages()[0].text;
    const std::string head = "The server " + domain + " cannot be reached.\nError: GetUrlToString";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    const std::string tail = "\n\nProgram zerva kalimtor, ver. 1.59.52.267";
    const size_t version = text.find(tail);
    ASSERT_NE(version, std::string::npos) << text;
    if (trace) {
      const std::string rest = text.substr(version + tail.size());
      EXPECT_EQ(rest.rfind("\n\n*****\n\nGetUrlToString", 0), 0u) << rest;
      EXPECT_NE(rest.find("\n\n*****\n\ntrace window text"), std::string::npos) << rest;
      ASSERT_NE(frontEnd_.traceWindow, nullptr);
      EXPECT_FALSE(frontEnd_.traceWindow->Lines().empty());
    } else {
      EXPECT_EQ(version + tail.size(), text.size()) << text;
    }
    EXPECT_EQ(frontEnd_.dialogs->Messages()[0].caption, "zerva.localhost | Error");
    app_.reset();
  }
}

TEST_F(AppTest, ServerMessageWithTheErrorFlagEndsStartUpAnOrdinaryOneIsOnlyShown) {
  ASSERT_TRUE(Server().SetConfig("message", "Closed for maintenance"));
  ASSERT_TRUE(Server().SetConfig("messageError", "true"));
  CzervaApp& app = MakeApp();
  RunApp();
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kServerMessage);
  EXPECT_EQ(frontEnd_.windowRuns, 0);
  ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
  EXPECT_EQ(frontEnd_.dialogs->Messages()[0].text, "Closed for maintenance");
  EXPECT_EQ(frontEnd_.dialogs->Messages()[0].kind, MessageKind::kError);

  ASSERT_TRUE(Server().SetConfig("messageError", "false"));
  frontEnd_.dialogs = std::make_unique<ScriptedDialogs>(Reply::kNo);
  CzervaApp& second = MakeApp();
  RunApp();
  ASSERT_TRUE(Server().SetConfig("message", ""));
  EXPECT_EQ(second.HowStartupEnded(), StartupEnd::kWindowClosed);
  ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
  EXPECT_EQ(frontEnd_.dialogs->Messages()[0].kind, MessageKind::kInformation);
}

TEST_F(AppTest, UninsReportsUninstalledAndEndsBeforeAnyConnection) {
  auto registration = std::make_shared<RecordingRegistration>(true);
  AppSeams seams;
  seams.registration = registration;
  CzervaApp& app = MakeApp(seams);
  RunApp({"-unins", "-delay:1500"});
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kUninstalled);
  EXPECT_TRUE(registration->registered.empty());
  EXPECT_EQ(registration->statuses, std::vector<bool>{false});
  EXPECT_EQ(registration->delays, std::vector<int>{1500});
  ASSERT_EQ(frontEnd_.dialogs->Waits().size(), 1u);
  EXPECT_EQ(frontEnd_.dialogs->Waits()[0].text, "Registrace...");
  EXPECT_TRUE(Server().Log().empty());  // not even statistics
  EXPECT_EQ(frontEnd_.windowRuns, 0);
}

TEST_F(AppTest, RegistrationIsVerifiedAndReportedUnlessNoreg) {
  struct Case {
    std::vector<std::string> switches;
    bool registers;
    size_t registrations;
    std::vector<bool> statuses;
  };
  const Case cases[] = {
      {{}, true, 1, {true}},
      {{}, false, 1, {false}},  // could not be written: "uninstalled"
      {{"-noreg"}, true, 0, {}},
  };
  for (const Case& c : cases) {
    auto registration = std::make_shared<RecordingRegistration>(c.registers);
    AppSeams seams;
    seams.registration = registration;
    CzervaApp& app = MakeApp(seams);
    RunApp(c.switches);
    EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kWindowClosed);
    EXPECT_EQ(registration->registered.size(), c.registrations);
    if (c.registrations > 0) {
      EXPECT_EQ(registration->registered[0], ExecutablePath());
    }
    EXPECT_EQ(registration->statuses, c.statuses);
    app_.reset();
  }
}

TEST_F(AppTest, MissingLanguageFilesEndWithAnUntranslatedMessage) {
  TempDir empty;
  CLocalization nothing(empty.Path());
  CzervaApp& app = MakeApp({}, &nothing);
  RunApp();
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kLocalizationFailed);
  using Plain = std::pair<std::string, std::string>;
  EXPECT_EQ(frontEnd_.plainMessages,
            std::vector<Plain>{Plain("Load localization error", "zerva.localhost | Error")});
  EXPECT_TRUE(Server().Log().empty());
  const std::string log = TraceLog();
  EXPECT_LT(Where(log, kAppInitBanner), Where(log, kShutdownBanner));
}

TEST_F(AppTest, TraceLogOfFiveMebibytesIsKeptOneByteMoreIsDeletedBeforeTheBanner) {
  TempDir empty;
  CLocalization nothing(empty.Path());
  for (const int64_t size : {kTraceStartupMaxBytes, kTraceStartupMaxBytes + 1}) {
    {
      std::ofstream file(TraceFilePath(), std::ios::binary | std::ios::trunc);
      file << std::string(static_cast<size_t>(size), 'x');
    }
    MakeApp({}, &nothing);
    RunApp();
    const std::string log = TraceLog();
    if (size == kTraceStartupMaxBytes) {
      EXPECT_EQ(log.compare(0, 10, "xxxxxxxxxx"), 0);
      EXPECT_GT(static_cast<int64_t>(log.size()), size);
    } else {
      EXPECT_LT(static_cast<int64_t>(log.size()), 10000);
      EXPECT_LT(Where(log, kAppInitBanner), 100u);
    }
    app_.reset();
  }
}

TEST_F(AppTest, FailedUpdateCheckSendsReportSixAndPrintsTheDownloadPage) {
  AppSeams seams;
  bool sawHidden = false;
  seams.updateCheck = [&](CHttpConnect&, bool hidden, bool* quit, CancelFlag*,
                          std::string* report) {
    sawHidden = sawHidden || hidden;
    *quit = true;
    *report += "files.dat: cannot read\n";
    return false;
  };
  CzervaApp& app = MakeApp(seams);
  RunApp();
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kUpdateFailed);
  EXPECT_FALSE(sawHidden);
  EXPECT_EQ(frontEnd_.windowRuns, 0);
  EXPECT_EQ(frontEnd_.opened, std::vector<std::string>{FailedUpdatePageUrl()});
  const std::vector<LoggedRequest> bugs = Server().LogOf("send_bug.php");
  ASSERT_EQ(bugs.size(), 1u);
  const std::string envelope = bugs[0].Field("whatIsWrong");
  EXPECT_EQ(GetElementInt(envelope, "id"), 6);
  EXPECT_EQ(GetElement(envelope, "failedApi"), "CheckUpdate");
  EXPECT_NE(envelope.find("files.dat: cannot read"), std::string::npos);
  EXPECT_NE(TraceLog().find("<failedApi>CheckUpdate</failedApi>"), std::string::npos);
}

TEST_F(AppTest, UpdateBeingInstalledEndsAtOnceWithoutReport) {
  AppSeams seams;
  seams.updateCheck = [](CHttpConnect&, bool, bool* quit, CancelFlag*, std::string*) {
    *quit = true;
    return true;
  };
  CzervaApp& app = MakeApp(seams);
  RunApp();
  EXPECT_EQ(app.HowStartupEnded(), StartupEnd::kUpdateRunning);
  EXPECT_EQ(frontEnd_.windowRuns, 0);
  EXPECT_TRUE(Server().LogOf("send_bug.php").empty());
  EXPECT_TRUE(frontEnd_.opened.empty());
}

// Without bundled or system video tools the hidden update runs beside the window and is
// stopped when the window closes.
TEST_F(AppTest, HiddenVideoUpdateRunsWhenToolsAreMissingAndStopsWithTheWindow) {
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath != nullptr ? oldPath : "";
  ::setenv("PATH", "", 1);
  std::atomic<int> visibleCalls{0};
  std::atomic<bool> hiddenStarted{false};
  std::atomic<bool> hiddenSawStop{false};
  AppSeams seams;
  seams.updateCheck = [&](CHttpConnect&, bool hidden, bool* quit, CancelFlag* stop, std::string*) {
    *quit = false;
    if (!hidden) {
      ++visibleCalls;
      return true;
    }
    hiddenStarted = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (stop != nullptr && !stop->load() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    hiddenSawStop = stop != nullptr && stop->load();
    return true;
  };
  CzervaApp& app = MakeApp(seams);
  frontEnd_.windowCode = [&](CzervaApp& running) {
    EXPECT_FALSE(running.VideoConverterPresent());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!hiddenStarted && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(running.HiddenUpdateRunning());
    return 0;
  };
  RunApp();
  ::setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(visibleCalls, 1);
  EXPECT_TRUE(hiddenStarted);
  EXPECT_TRUE(hiddenSawStop);
  EXPECT_FALSE(app.HiddenUpdateRunning());
  const std::string log = TraceLog();
  const size_t begin = Where(log, "ZervaApp thread: zacatek skryte aktualizace videa");
  const size_t end = Where(log, "ZervaApp thread: konec skryte aktualizace videa, return 1");
  ASSERT_NE(begin, std::string::npos);
  EXPECT_LT(begin, end);
  EXPECT_LT(end, Where(log, kShutdownBanner));
}

TEST_F(AppTest, WithBothVideoToolsPresentNoHiddenUpdateStarts) {
  // The program folder's own tools count when each has its version file.
  for (const char* name : {"ffmpeg", "ffplay"}) {
    programFolder_->Write(name, "#!/bin/sh\n");
    programFolder_->Write(std::string(name) + ".ver", "<version><number>1</number></version>");
  }
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath != nullptr ? oldPath : "";
  ::setenv("PATH", "", 1);
  std::atomic<int> hiddenCalls{0};
  AppSeams seams;
  seams.updateCheck = [&](CHttpConnect&, bool hidden, bool* quit, CancelFlag*, std::string*) {
    *quit = false;
    if (hidden) ++hiddenCalls;
    return true;
  };
  CzervaApp& app = MakeApp(seams);
  RunApp();
  ::setenv("PATH", savedPath.c_str(), 1);
  EXPECT_TRUE(app.VideoConverterPresent());
  EXPECT_TRUE(app.VideoPlayerPresent());
  EXPECT_EQ(hiddenCalls, 0);
  EXPECT_EQ(TraceLog().find("ZervaApp thread"), std::string::npos);
}

}  // namespace
}  // namespace zerva::test
