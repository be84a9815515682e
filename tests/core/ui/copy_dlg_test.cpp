// The upload page against a running zerva-server: a new album is created, emptied, sent,
// verified and taken over from the fresh album list; another album's directory is never
// deleted; an unchanged album asks first; a failure the user does not retry leaves the failed
// photo out; a refused EmptyAlbum starts nothing; leaving during the run asks and stops.
#include "ui/copy_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/elements.h"
#include "core/jobs/fake_jobs.h"
#include "core/media/item_fixtures.h"
#include "core/ui/app_fixture.h"
#include "core/ui/fake_copy_view.h"
#include "jobs/jobs_mngr.h"
#include "lang/text.h"
#include "model/album_items.h"
#include "ui/album_list_load.h"
#include "ui/sign_in.h"

namespace zerva::test {
namespace {

class CopyDlgTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    user_ = NewAccount();
    PhotoFile(photos_, "a.jpg", 64, 48, 90, 1);
    PhotoFile(photos_, "b.jpg", 48, 64, 90, 2);
    Server().ClearLog();
  }

  // Runs `code` signed in as the test's user inside the main window, without the pause the
  // service asks for before uploads.
  void RunSignedIn(const std::function<void(CzervaApp&)>& code) {
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      const SignInResult result = SignIn(app, user_, Md5Hex("secret"));
      EXPECT_EQ(result.status, SignInStatus::kSignedIn) << result.message;
      app.Session().SetUploadDelayMs(0);
      if (result.status == SignInStatus::kSignedIn) code(app);
      return 0;
    };
    RunApp();
  }

  // The current album becomes a new album of the test's photos, as the editor hands it over.
  void NewAlbum(CzervaApp& app, const std::string& name, const std::string& serverDir) {
    CAlbum& album = app.CurrentAlbum();
    album.Clear();
    album.ownerName = app.Session().Name();
    album.tempFolder = app.Session().UserFolder();
    ASSERT_TRUE(AddFolder(album, photos_.Path()));
    album.localPath = photos_.Path();
    album.name = name;
    album.serverDir = serverDir;
    album.albumID = -1;
    album.modified = true;
  }

  // Shows the page and lets the session run until it moves on, moves back or stops.
  void RunPage(CCopyDlg& page, FakeCopyView& view) {
    page.OnShowPage();
    frontEnd_.loop.RunUntil(
        [&] {
          view.FireTimers();
          return view.Moved() || page.Outcome() == CopyOutcome::kNotStored;
        },
        std::chrono::seconds(60));
  }

  // An album of the test's user made on the service directly; its identifier.
  std::string CreateAlbumFor(const std::string& name, const std::string& serverDir) {
    Form form;
    form.Add("serverDir", serverDir)
        .Add("albumSetting", "<album><name>" + name + "</name><photos></photos></album>");
    const HttpReply reply = Server().Command("CreateAlbum", user_, Md5Hex("secret"), form);
    Server().ClearLog();
    return GetElement(reply.body, "value");
  }

  std::vector<LoggedRequest> Uploads() { return Server().LogOf("upload.php"); }
  std::vector<std::string> UploadedNames() {
    std::vector<std::string> names;
    for (const LoggedRequest& r : Uploads()) {
      const LoggedField* file = r.Find("soubor");
      names.push_back(r.Field("directory") + ":" + (file ? file->fileName : std::string()));
    }
    return names;
  }
  bool Asked(const std::string& key) {
    for (const auto& message : frontEnd_.dialogs->Messages()) {
      if (message.text.find(Text(key)) != std::string::npos) return true;
    }
    return false;
  }

  std::string user_;
  TempDir photos_;
};

TEST_F(CopyDlgTest, ANewAlbumIsCreatedEmptiedSentVerifiedAndTakenOver) {
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.UpdateTexts();
    page.InitControls();
    RunPage(page, view);

    EXPECT_EQ(page.Outcome(), CopyOutcome::kUploaded);
    EXPECT_EQ(view.nexts, 1);
    EXPECT_EQ(view.backs, 0);
    EXPECT_TRUE(view.backShown);
    const CAlbum& album = app.CurrentAlbum();
    ASSERT_GT(album.albumID, 0);
    EXPECT_EQ(app.CurrentAlbumId(), album.albumID);
    EXPECT_TRUE(app.JobsMngr().Jobs().empty());
    EXPECT_EQ(album.uploading, 0);
    EXPECT_EQ(album.coverSmall.state, kCoverDownloaded);
    EXPECT_EQ(album.thumbName, "a.jpg");
    ASSERT_EQ(album.items.size(), 2u);
    for (const auto& item : album.items) EXPECT_EQ(item->OriginalCode, item->LocalFileTime());
    EXPECT_GT(page.ConfirmedBytes(), 0);

    // Created, then emptied, then every file sent with the new identifier, then checked.
    std::vector<std::string> order;
    for (const LoggedRequest& r : Server().Log()) {
      const std::string name = r.Command().empty() ? r.Script() : r.Command();
      if (order.empty() || order.back() != name) order.push_back(name);
    }
    const std::vector<std::string> expected = {"CreateAlbum",       "EmptyAlbum",
                                               "upload.php",        "GetUploadedFiles",
                                               "SetAlbumUploading", "GetAlbums"};
    EXPECT_TRUE(std::search(order.begin(), order.end(), expected.begin(), expected.end()) !=
                order.end());
    EXPECT_EQ(UploadedNames(), (std::vector<std::string>{"Trip/images:a.jpg", "Trip/thumb:a.jpg",
                                                         "Trip/images:b.jpg", "Trip/thumb:b.jpg"}));
    for (const LoggedRequest& r : Uploads()) {
      EXPECT_EQ(r.Field("albumID"), std::to_string(album.albumID));
    }
    const std::vector<LoggedRequest> cleared = Server().LogOf("SetAlbumUploading");
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].Field("uploading"), "0");
  });
}

TEST_F(CopyDlgTest, AnotherAlbumsDirectoryIsNeverDeleted) {
  const std::string other = CreateAlbumFor("Old trip", "Trip");
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kUploaded);
    EXPECT_EQ(app.CurrentAlbum().serverDir, "Trip_2");
    EXPECT_NE(app.AlbumMngr().FindById(std::stoi(other)), nullptr) << "the other album stays";
  });
  EXPECT_TRUE(Server().LogOf("DeleteAlbum").empty());
  const std::vector<LoggedRequest> created = Server().LogOf("CreateAlbum");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].Field("serverDir"), "Trip_2");
  for (const LoggedRequest& r : Uploads()) EXPECT_EQ(r.Field("directory").rfind("Trip_2/", 0), 0u);
}

TEST_F(CopyDlgTest, AnUnchangedAlbumAsksBeforeSendingEverythingAgain) {
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView first;
    {
      CCopyDlg page(app, first);
      page.InitControls();
      RunPage(page, first);
      ASSERT_EQ(page.Outcome(), CopyOutcome::kUploaded);
    }
    Server().ClearLog();
    FakeCopyView again;
    CCopyDlg page(app, again);
    page.InitControls();
    RunPage(page, again);  // the question is declined
    EXPECT_TRUE(Asked("msgNotEditedAlbumText2"));
    EXPECT_EQ(page.Outcome(), CopyOutcome::kNothingToSend);
    EXPECT_EQ(again.backs, 1);
    EXPECT_TRUE(Server().Log().empty()) << "nothing is sent or stored";

    frontEnd_.dialogs->QueueReply(Reply::kYes);
    FakeCopyView yes;
    CCopyDlg resend(app, yes);
    resend.InitControls();
    RunPage(resend, yes);
    EXPECT_EQ(resend.Outcome(), CopyOutcome::kUploaded);
    EXPECT_EQ(Uploads().size(), 4u) << "every item with its local file goes again";
  });
}

TEST_F(CopyDlgTest, NoToTheRetryQuestionLeavesTheFailedPhotoOut) {
  Server().InjectFault("upload.php", "error", 1, "9:Refused");
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_TRUE(Asked("copyDlgCopyError"));
    EXPECT_EQ(page.Outcome(), CopyOutcome::kGaveUp);
    EXPECT_EQ(view.backs, 1);
    const CAlbum& album = app.CurrentAlbum();
    EXPECT_FALSE(album.items[0]->included) << "a.jpg's image was refused";
    EXPECT_TRUE(album.items[1]->included);
    // Leaving: the items of the jobs still held count as changed next time.
    EXPECT_TRUE(page.CanLeave(true));
    for (const auto& item : album.items) EXPECT_EQ(item->OriginalCode, 0);
  });
  EXPECT_EQ(Uploads().size(), 4u) << "one failure does not stop the other jobs";
  EXPECT_TRUE(Server().LogOf("SetAlbumUploading").empty());
}

TEST_F(CopyDlgTest, YesToTheRetryQuestionRunsOnlyTheFailedJobAgain) {
  Server().InjectFault("upload.php", "error", 1, "9:Refused");
  RunSignedIn([&](CzervaApp& app) {
    frontEnd_.dialogs->QueueReply(Reply::kYes);
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kUploaded);
  });
  EXPECT_EQ(UploadedNames(),
            (std::vector<std::string>{"Trip/images:a.jpg", "Trip/thumb:a.jpg", "Trip/images:b.jpg",
                                      "Trip/thumb:b.jpg", "Trip/images:a.jpg"}));
  EXPECT_EQ(Server().LogOf("GetUploadedFiles").size(), 2u) << "each run is verified";
}

TEST_F(CopyDlgTest, ARetryLimitGivesUpWithoutAsking) {
  Server().InjectFault("upload.php", "error", 10, "9:Refused");
  RunSignedIn([&](CzervaApp& app) {
    frontEnd_.dialogs->QueueReply(Reply::kYes);
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.SetRetryLimit(1);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kGaveUp);
    const auto messages = frontEnd_.dialogs->Messages();
    ASSERT_EQ(messages.size(), 2u) << "asked once, then given up";
    EXPECT_NE(messages[0].text.find(Text("copyDlgCopyError")), std::string::npos);
    // The last word names what did not arrive.
    EXPECT_NE(messages[1].text.find(Text("copyDlgNotInAlbum")), std::string::npos);
    EXPECT_NE(messages[1].text.find("a.jpg (" + Text("copyDlgNotReceived") + ")"),
              std::string::npos)
        << messages[1].text;
    ASSERT_FALSE(page.Problems().failed.empty());
    EXPECT_EQ(page.Problems().failed[0].name, "a.jpg");
  });
}

TEST_F(CopyDlgTest, APhotoThatCannotBePreparedIsNamedButNeitherSentNorOfferedAgain) {
  const std::string whole = FileBytes(PhotoFile(photos_, "cut.jpg", 320, 240, 90, 3));
  photos_.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  photos_.Write("empty.jpg", "");
  Server().InjectFault("upload.php", "error", 1, "9:Refused");  // a network-like failure too
  RunSignedIn([&](CzervaApp& app) {
    frontEnd_.dialogs->QueueReply(Reply::kYes);
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kUploaded);
    const auto messages = frontEnd_.dialogs->Messages();
    ASSERT_EQ(messages.size(), 2u);
    // The question offers only the file a new run can mend.
    EXPECT_NE(messages[0].text.find(Text("copyDlgCopyError")), std::string::npos);
    EXPECT_NE(messages[0].text.find("a.jpg"), std::string::npos) << messages[0].text;
    EXPECT_EQ(messages[0].text.find("cut.jpg"), std::string::npos) << messages[0].text;
    // The final message and the page name both files with their reasons.
    const std::string leftOut = "empty.jpg (" + Text("leftOutEmpty") + ")";
    const std::string failed = "cut.jpg (" + Text("failedTruncated") + ")";
    EXPECT_EQ(messages[1].kind, MessageKind::kWarning);
    EXPECT_NE(messages[1].text.find(leftOut), std::string::npos) << messages[1].text;
    EXPECT_NE(messages[1].text.find(failed), std::string::npos) << messages[1].text;
    EXPECT_NE(view.problemsText.find(failed), std::string::npos) << view.problemsText;
    // A repaint due after the run does not take the names off the page.
    page.OnJobsProgress(0);
    view.FireTimers();
    EXPECT_NE(view.problemsText.find(failed), std::string::npos) << view.problemsText;
    // The album the service holds does not list the photo it never got.
    const CAlbum& album = app.CurrentAlbum();
    for (const auto& item : album.items) {
      EXPECT_EQ(item->included, item->fileName != "cut.jpg") << item->fileName;
    }
  });
  for (const std::string& name : UploadedNames()) {
    EXPECT_EQ(name.find("cut.jpg"), std::string::npos) << name;
  }
  EXPECT_EQ(Uploads().size(), 5u) << "four files, and a.jpg's image once more";
  const std::vector<LoggedRequest> cleared = Server().LogOf("SetAlbumUploading");
  ASSERT_EQ(cleared.size(), 1u);
  EXPECT_EQ(cleared[0].Field("albumSetting").find("cut.jpg"), std::string::npos);
}

TEST_F(CopyDlgTest, APhotoThatCannotBePreparedIsNamedWhileTheRestIsStillBeingSent) {
  const std::string whole = FileBytes(PhotoFile(photos_, "cut.jpg", 320, 240, 90, 3));
  photos_.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  PhotoFile(photos_, "d.jpg", 64, 48, 90, 4);
  PhotoFile(photos_, "e.jpg", 64, 48, 90, 5);
  Server().InjectFault("upload.php", "delay", 8, "400");
  bool namedDuringTheRun = false;
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    view.onProblems = [&](const std::string& text) {
      if (text.find("cut.jpg") != std::string::npos && app.JobsMngr().IsRunning()) {
        namedDuringTheRun = true;
      }
    };
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kUploaded);
  });
  EXPECT_TRUE(namedDuringTheRun);
}

TEST_F(CopyDlgTest, ARefusedEmptyAlbumStartsNothingAndShowsTheLogId) {
  Server().InjectFault("EmptyAlbum", "error", 1, "7:Disk full");
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kNotStored);
    EXPECT_FALSE(page.InProgress());
    EXPECT_FALSE(app.JobsMngr().IsRunning());
    EXPECT_FALSE(view.Moved()) << "the page stays";
    const auto messages = frontEnd_.dialogs->Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::kError);
    EXPECT_EQ(messages[0].text.rfind(Text("msgCannotEmptyAlbum"), 0), 0u);
    EXPECT_NE(messages[0].text.find("Disk full"), std::string::npos);
    EXPECT_NE(messages[0].text.find("\nLog ID "), std::string::npos);
  });
  EXPECT_TRUE(Uploads().empty());
  const std::vector<LoggedRequest> bugs = Server().LogOf("send_bug.php");
  ASSERT_EQ(bugs.size(), 1u);
  EXPECT_EQ(GetElement(bugs[0].Field("whatIsWrong"), "failedApi"), "EmptyAlbum");
}

TEST_F(CopyDlgTest, ARefusedCreateAlbumKeepsTheNewAlbumNew) {
  Server().InjectFault("CreateAlbum", "error", 1, "9:No");
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    RunPage(page, view);
    EXPECT_EQ(page.Outcome(), CopyOutcome::kNotStored);
    EXPECT_EQ(app.CurrentAlbum().albumID, -1);
    ASSERT_EQ(frontEnd_.dialogs->Messages().size(), 1u);
    EXPECT_EQ(frontEnd_.dialogs->Messages()[0].text.rfind(Text("msgCannotCreateAlbum"), 0), 0u);
  });
  EXPECT_TRUE(Server().LogOf("EmptyAlbum").empty());
  ASSERT_EQ(Server().LogOf("send_bug.php").size(), 1u);
}

TEST_F(CopyDlgTest, LeavingBackDuringTheRunAsksThenStopsTheJobs) {
  RunSignedIn([&](CzervaApp& app) {
    app.Session().SetUploadDelayMs(30000);  // the first upload waits: the run is under way
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    page.OnShowPage();
    ASSERT_TRUE(frontEnd_.loop.RunUntil(
        [&] {
          const auto job = app.JobsMngr().CurrentJob();
          return job && job->Kind() == kJobKindUpload;
        },
        std::chrono::seconds(30)));

    EXPECT_FALSE(page.CanLeave(true)) << "declined: the page stays";
    EXPECT_TRUE(Asked("msgCopyInProgress"));
    EXPECT_TRUE(app.JobsMngr().IsRunning());

    frontEnd_.dialogs->QueueReply(Reply::kYes);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(page.CanLeave(true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(page.Cancelled());
    const auto waits = frontEnd_.dialogs->Waits();
    EXPECT_TRUE(std::any_of(waits.begin(), waits.end(), [](const auto& wait) {
      return wait.text == Text("msgWaitForThreadEnd");
    }));
    EXPECT_EQ(page.Outcome(), CopyOutcome::kCancelled);
    EXPECT_FALSE(app.JobsMngr().IsRunning());
    for (const auto& item : app.CurrentAlbum().items) EXPECT_EQ(item->OriginalCode, 0);
    frontEnd_.loop.PumpFor(std::chrono::milliseconds(200));
    EXPECT_FALSE(view.Moved()) << "a stopped run does not finish the session";
  });
  EXPECT_TRUE(Uploads().empty());
  EXPECT_TRUE(Server().LogOf("GetUploadedFiles").empty());
}

TEST_F(CopyDlgTest, AJobThatDoesNotStopInTimeKeepsThePageUntilItHasReturned) {
  RunSignedIn([&](CzervaApp& app) {
    NewAlbum(app, "Trip", "Trip");
    FakeCopyView view;
    CCopyDlg page(app, view);
    page.InitControls();
    // A job deaf to the stop request still works on the album's items.
    auto log = std::make_shared<JobLog>();
    auto gate = std::make_shared<Gate>();
    CJobsMngr& jobs = app.JobsMngr();
    jobs.SetKillWait(std::chrono::milliseconds(100));
    auto job = std::make_unique<FakeJob>(log, 1);
    job->Wait(gate, FakeJob::AtGate::kIgnoreStop);
    jobs.AddJob(std::move(job));
    ASSERT_TRUE(jobs.Start());
    ASSERT_TRUE(frontEnd_.loop.RunUntil([&] { return gate->Entered(); }, std::chrono::seconds(10)));

    EXPECT_FALSE(page.CanLeave(true)) << "the editor would change the items under the job";
    EXPECT_TRUE(Asked("msgUploadNotStopped"));

    gate->Open();
    ASSERT_TRUE(
        frontEnd_.loop.RunUntil([&] { return !jobs.IsRunning(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(page.CanLeave(true));
  });
}

}  // namespace
}  // namespace zerva::test
