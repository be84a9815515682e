// The send-by-e-mail page on fake views against zerva-server: the fields filled from the album,
// the recipient check driving Next, what reaches the service's mail record, where the page
// returns to, the question on Back, a refused send, and the address book popup.
#include "ui/send_email_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "net/bug_report.h"
#include "ui/album_mail.h"
#include "ui/message_caption.h"
#include "ui/post_copy_page.h"

namespace zerva::test {
namespace {

using Addresses = std::vector<std::string>;

// Check marks as "0" and "1", one a menu entry.
std::string Marks(const std::vector<bool>& checked) {
  std::string marks;
  for (const bool mark : checked) marks += mark ? '1' : '0';
  return marks;
}

class SendEmailPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    user_ = NewAccount({"Trip"});
    const std::vector<StoredMail> mails = Server().Mails();
    since_ = mails.empty() ? 0 : mails.back().id;
  }

  // Signs in (by name, or by the account's e-mail address) and makes the account's album the
  // current one, as the albums page and an upload do.
  void SignIn(CzervaApp& app, WindowHarness& window, bool byAddress = false) {
    window.Start();
    SignInThroughThePage(window, byAddress ? Address() : user_, "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    ASSERT_EQ(app.AlbumMngr().albums.size(), 1u);
    const CAlbum& entry = *app.AlbumMngr().albums[0];
    app.SetCurrentAlbumId(entry.albumID);
    app.CurrentAlbum() = entry;
    app.CurrentAlbum().desc = "Ponds<br>and dams";
  }
  // The send page reached through the post-upload page's send button.
  void OpenFromPostCopy(CzervaApp& app, WindowHarness& window, bool byAddress = false) {
    SignIn(app, window, byAddress);
    ASSERT_TRUE(window.dlg.GoTo(kPostCopyPage, nullptr));
    window.Page(PageId::kPostCopy).Click(kPostCopySend);
    ASSERT_EQ(window.Current(), kSendEmailPage);
  }
  // The send page reached from the albums page.
  void OpenFromAlbums(CzervaApp& app, WindowHarness& window) {
    SignIn(app, window);
    ASSERT_TRUE(window.dlg.GoTo(kSendEmailPage, window.dlg.Pages().Page(PageId::kAlbums)));
  }
  // Addresses in the account's book before it signs in.
  void FillAddressBook(const std::string& recipients) {
    Form f;
    f.Add("userID", 0)
        .Add("mailTo", recipients)
        .Add("mailSubject", "s")
        .Add("mailMessage", "m")
        .Add("mailFrom", "");
    const HttpReply reply = Server().Command("SendEmail", user_, Md5Hex("secret"), f);
    ASSERT_NE(reply.body.find("<result>OK</result>"), std::string::npos) << reply.body;
    since_ = Server().Mails().back().id;
  }
  std::string Address() const { return user_ + "@example.com"; }
  std::vector<StoredMail> NewMails() const { return Server().Mails(since_); }
  static FakePageView& Send(WindowHarness& window) { return window.Page(PageId::kSendEmail); }
  static SendEmailDlg& Dlg(WindowHarness& window) {
    return window.Controller<SendEmailDlg>(PageId::kSendEmail);
  }
  static bool NextEnabled(WindowHarness& window) { return window.main.userBar.Enabled(kUserNext); }

  std::string user_;
  int64_t since_ = 0;
};

TEST_F(SendEmailPageTest, IsFilledFromTheAlbumAndTheRecipientCheckDrivesNext) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    const CAlbum& album = app.CurrentAlbum();
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("SendAlbumDlgTitle"));
    EXPECT_EQ(page.GetText(kSendToLabel), Text("SendAlbumDlgTO"));
    EXPECT_EQ(page.GetText(kSendSubjectLabel), Text("SendAlbumDlgSubject"));
    EXPECT_EQ(page.GetText(kSendSubject), "Trip");
    EXPECT_EQ(page.GetText(kSendMessage), AlbumMailMessage(album));
    EXPECT_NE(page.GetText(kSendMessage).find("\r\nPonds\r\nand dams"), std::string::npos);
    EXPECT_EQ(window.main.userBar.GetText(kUserNext), Text("SendAlbumDlgTitle"));
    EXPECT_EQ(window.main.userBar.GetText(kUserBack), Text("navBack"));
    EXPECT_EQ(window.main.userBar.Find(kUserBack).tooltip, Text("navPrevAlbumsTool"));
    EXPECT_TRUE(window.main.userBar.Shown(kUserNext));
    EXPECT_EQ(page.focus, kSendTo);
    EXPECT_FALSE(Dlg(window).Modified());

    EXPECT_FALSE(NextEnabled(window));
    EXPECT_EQ(window.main.userBar.Find(kUserNext).tooltip, "");
    const std::pair<const char*, bool> cases[] = {
        {"a@cd.ef", false}, {"ab@cd.ef", true},  {"ab@c.ef", false},
        {"ab@cd.e", false}, {"ab@cd.efg", true}, {"", false},
    };
    for (const auto& [text, valid] : cases) {
      page.Type(kSendTo, text);
      EXPECT_EQ(NextEnabled(window), valid) << text;
      EXPECT_EQ(window.main.userBar.Find(kUserNext).tooltip,
                valid ? Text("navNextSendEmailTool") : "")
          << text;
    }
    EXPECT_TRUE(Dlg(window).Modified());
  });
}

TEST_F(SendEmailPageTest, CommasAndBlanksGoAsOneListAndTheMailReachesTheService) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    page.Type(kSendTo, " ann@example.com , bob@example.org;cid@example.net ");
    page.Type(kSendSubject, "Our trip");
    Server().ClearLog();
    window.main.userBar.Click(kUserNext);
    // Sent, told so, and back on the page it came from.
    ASSERT_FALSE(window.main.boxes.empty());
    EXPECT_EQ(window.main.boxes.back().text, Text("SendAlbumDlgSendOK"));
    EXPECT_EQ(window.main.boxes.back().kind, MessageKind::kInformation);
    EXPECT_EQ(window.Current(), kPostCopyPage);
    // Every recipient joined the address book.
    const Addresses& book = app.Session().Details().emailHistory;
    for (const char* address : {"ann@example.com", "bob@example.org", "cid@example.net"}) {
      EXPECT_NE(std::find(book.begin(), book.end(), address), book.end()) << address;
    }
    // The wait popup was up while the service was asked.
    const auto waits = Replies().Waits();
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.back().text, Text("SendAlbumDlgSending"));
  });
  const std::vector<LoggedRequest> sent = Server().LogOf("SendEmail");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].Field("mailTo"), "ann@example.com;bob@example.org;cid@example.net");
  // Signed in by name: the client knows no address of the user's and sends none.
  EXPECT_EQ(sent[0].Field("mailFrom"), "");
  const std::vector<StoredMail> mails = NewMails();
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to, "ann@example.com;bob@example.org;cid@example.net");
  EXPECT_EQ(mails[0].subject, "Our trip");
  EXPECT_EQ(mails[0].message, AlbumMailMessage(app_->CurrentAlbum()));
  EXPECT_EQ(mails[0].from, Address());
  EXPECT_EQ(mails[0].albumId, app_->CurrentAlbum().albumID);
}

TEST_F(SendEmailPageTest, SignedInByAddressThatAddressIsTheSender) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window, true);
    Send(window).Type(kSendTo, "ann@example.com");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kPostCopyPage);
  });
  const std::vector<LoggedRequest> sent = Server().LogOf("SendEmail");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].Field("mailFrom"), Address());
}

TEST_F(SendEmailPageTest, OpenedFromTheAlbumsPageItReturnsThere) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromAlbums(app, window);
    EXPECT_EQ(Send(window).GetText(kSendSubject), "Trip");
    Send(window).Type(kSendTo, "ann@example.com");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kAlbumsPage);

    // Back without changes asks nothing and returns there as well.
    ASSERT_TRUE(window.dlg.GoTo(kSendEmailPage, window.dlg.Pages().Page(PageId::kAlbums)));
    const size_t boxes = window.main.boxes.size();
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(window.main.boxes.size(), boxes);
  });
  EXPECT_EQ(NewMails().size(), 1u);
}

TEST_F(SendEmailPageTest, BackWithChangesAsksAndNoKeepsThePage) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    Send(window).Type(kSendMessage, "Look at this!");
    window.main.userBar.Click(kUserBack);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    const FakeMainView::Box& box = window.main.boxes[0];
    EXPECT_EQ(box.text, Text("msgSendAlbumDlg"));
    EXPECT_EQ(box.caption, CaptionWithText(Text("msgWarning")));
    EXPECT_EQ(box.kind, MessageKind::kInformation);
    EXPECT_EQ(box.buttons, MessageButtons::kYesNo);
    EXPECT_EQ(window.Current(), kSendEmailPage);
    EXPECT_EQ(Send(window).GetText(kSendMessage), "Look at this!");

    Replies().QueueReply(Reply::kYes);
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kPostCopyPage);
    // Shown again, the page is filled afresh and unchanged.
    window.Page(PageId::kPostCopy).Click(kPostCopySend);
    EXPECT_EQ(Send(window).GetText(kSendMessage), AlbumMailMessage(app.CurrentAlbum()));
    EXPECT_FALSE(Dlg(window).Modified());
  });
}

TEST_F(SendEmailPageTest, ARefusedSendKeepsThePageAndTheText) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    page.Type(kSendTo, "ann@example.com");
    page.Type(kSendSubject, "Our trip");
    ASSERT_TRUE(Server().InjectFault("SendEmail", "error", 1, "9:Mailbox full"));
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kSendEmailPage);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].kind, MessageKind::kError);
    EXPECT_EQ(window.main.boxes[0].text,
              ServiceErrorText(Text("SendAlbumDlgSendError"), "Mailbox full"));
    EXPECT_EQ(page.GetText(kSendTo), "ann@example.com");
    EXPECT_EQ(page.GetText(kSendSubject), "Our trip");
    EXPECT_TRUE(Dlg(window).Modified());
    EXPECT_FALSE(Replies().WaitVisible());
  });
  EXPECT_TRUE(NewMails().empty());
}

TEST_F(SendEmailPageTest, NoRecipientIsToldAndNothingIsSent) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    Send(window).Type(kSendTo, " ; , ");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kSendEmailPage);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].text, Text("SendAlbumDlgEmptyTO"));
  });
  EXPECT_TRUE(Server().LogOf("SendEmail").empty());
}

TEST_F(SendEmailPageTest, EnterSendsOnlyWhatNextWouldSend) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    page.Type(kSendTo, "a@cd.ef");
    page.events->OnEnter();
    EXPECT_EQ(window.Current(), kSendEmailPage);
    EXPECT_TRUE(window.main.boxes.empty());
    page.Type(kSendTo, "ann@example.com");
    page.events->OnEnter();
    EXPECT_EQ(window.Current(), kPostCopyPage);
  });
  EXPECT_EQ(NewMails().size(), 1u);
}

TEST_F(SendEmailPageTest, TheAddressBookChecksAddsAndRemovesRecipients) {
  FillAddressBook("ann@example.com;bob@example.org");
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    page.Type(kSendTo, "bob@example.org");

    page.menuChoices.push_back(1);  // ann, not yet a recipient: added
    page.Click(kSendBook);
    ASSERT_EQ(page.menus.size(), 1u);
    EXPECT_EQ(page.menus[0].anchor, kSendBook);
    EXPECT_EQ(page.menus[0].items,
              (Addresses{Text("SendAlbumDlgAllEmails"), "ann@example.com", "bob@example.org"}));
    EXPECT_EQ(Marks(page.menus[0].checked), "001");
    EXPECT_EQ(page.menus[0].separatorsAfter, std::vector<size_t>{0});
    EXPECT_EQ(page.GetText(kSendTo), "bob@example.org; ann@example.com");

    page.menuChoices.push_back(2);  // bob, checked: removed
    page.Click(kSendBook);
    EXPECT_EQ(Marks(page.menus[1].checked), "011");
    EXPECT_EQ(page.GetText(kSendTo), "ann@example.com");

    page.Type(kSendTo, "");
    EXPECT_FALSE(NextEnabled(window));
    page.menuChoices.push_back(0);  // every address
    page.Click(kSendBook);
    EXPECT_EQ(page.GetText(kSendTo), "ann@example.com; bob@example.org");
    EXPECT_TRUE(NextEnabled(window)) << "a choice from the book is checked like typing";
    EXPECT_TRUE(Dlg(window).Modified());
  });
}

TEST_F(SendEmailPageTest, ARightClickRemovesAnAddressFromTheBookThroughTheService) {
  FillAddressBook("ann@example.com;bob@example.org");
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    page.contextChoices.push_back(1);
    page.Click(kSendBook);
    ASSERT_EQ(page.contextTexts.size(), 1u);
    EXPECT_EQ(page.contextTexts[0], Text("msgRemoveEmail") + " ann@example.com");
    EXPECT_TRUE(page.contextDone.at(0));
    EXPECT_EQ(app.Session().Details().emailHistory, Addresses{"bob@example.org"});
    EXPECT_EQ(page.GetText(kSendTo), "") << "nothing chosen";

    // The entry for every address offers no removal.
    page.contextChoices.push_back(0);
    page.Click(kSendBook);
    EXPECT_EQ(page.contextTexts[1], "");
    EXPECT_FALSE(page.contextDone.at(1));
    EXPECT_EQ(page.menus[1].items, (Addresses{Text("SendAlbumDlgAllEmails"), "bob@example.org"}));
  });
  const std::vector<LoggedRequest> removed = Server().LogOf("DeleteEmailAddress");
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].Field("email"), "ann@example.com");
}

TEST_F(SendEmailPageTest, ARefusedRemovalKeepsTheAddress) {
  FillAddressBook("ann@example.com");
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    FakePageView& page = Send(window);
    ASSERT_TRUE(Server().InjectFault("DeleteEmailAddress", "error", 1, "9:Not now"));
    page.contextChoices.push_back(1);
    page.Click(kSendBook);
    EXPECT_FALSE(page.contextDone.at(0)) << "the entry stays in the open menu";
    EXPECT_EQ(app.Session().Details().emailHistory, Addresses{"ann@example.com"});
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].text, Text("SendAlbumDlgRemoveError"));
    EXPECT_EQ(window.main.boxes[0].kind, MessageKind::kError);
  });
}

TEST_F(SendEmailPageTest, AnEmptyAddressBookOpensNoMenu) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenFromPostCopy(app, window);
    Send(window).Click(kSendBook);
    EXPECT_TRUE(Send(window).menus.empty());
  });
}

}  // namespace
}  // namespace zerva::test
