#include "ui/send_email_page.h"

#include <vector>

#include "app/text_utils.h"
#include "app/trace.h"
#include "lang/text.h"
#include "ui/album_mail.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {

SendEmailDlg::SendEmailDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kSendEmail, view) {}

void SendEmailDlg::UpdateTexts() {
  CzervaDlg& window = Window();
  PageView& view = View();
  window.SetHeaderTitle(Text("SendAlbumDlgTitle"));
  window.SetHeaderText(Text("SendAlbumDlgText"));
  view.SetText(kSendToLabel, Text("SendAlbumDlgTO"));
  view.SetText(kSendSubjectLabel, Text("SendAlbumDlgSubject"));
  view.SetText(kSendMessageLabel, Text("SendAlbumDlgMessage"));
  SetTooltipEntry(kSendBook, "SendAlbumDlgBookTool");
  window.SetBackButton(Text("navBack"), "navPrevAlbumsTool");
  window.ShowBackButton(true);
  window.EnableBackButton(true);
  window.ShowNextButton(true);
  UpdateNextButton();
  CZervaDialog::UpdateTexts();
}

void SendEmailDlg::OnShowPage(bool /*cameBack*/) {
  // The page that sends the user here makes the album the current one.
  const CAlbum& album = App().CurrentAlbum();
  PageView& view = View();
  view.SetText(kSendSubject, AlbumMailSubject(album));
  view.SetText(kSendMessage, AlbumMailMessage(album));
  modified_ = false;
  UpdateNextButton();
  view.Focus(kSendTo);
}

void SendEmailDlg::UpdateNextButton() {
  const bool valid = RecipientsLookValid(View().GetText(kSendTo));
  Window().SetNextButton(Text("SendAlbumDlgTitle"), valid ? "navNextSendEmailTool" : "");
  Window().EnableNextButton(valid);
}

void SendEmailDlg::OnEdited(int control) {
  if (control != kSendTo && control != kSendSubject && control != kSendMessage) return;
  modified_ = true;
  if (control == kSendTo) UpdateNextButton();
}

void SendEmailDlg::OnEnter() {
  // Only what the enabled Next button would do.
  if (RecipientsLookValid(View().GetText(kSendTo))) Window().Next(nullptr);
}

void SendEmailDlg::OnCommand(int control) {
  if (control == kSendBook) ShowAddressBook();
}

bool SendEmailDlg::ForgetAddress(const std::string& address) {
  CHttpConnect* connection = App().MainConnection();
  if (connection == nullptr) return false;
  if (ForgetMailAddress(App().Session(), *connection, address)) return true;
  TraceText(kTraceWarning, "SendEmail: the address book kept " + address);
  return false;
}

void SendEmailDlg::ShowAddressBook() {
  // A copy: removing an address from the book must not move the menu's entries.
  const std::vector<std::string> book = App().Session().Details().emailHistory;
  if (book.empty()) return;
  PageView& view = View();
  const std::string field = view.GetText(kSendTo);
  PopupMenu menu;
  menu.items.push_back(Text("SendAlbumDlgAllEmails"));
  menu.checked.push_back(false);
  menu.separatorsAfter.push_back(0);
  for (const std::string& address : book) {
    menu.items.push_back(address);
    menu.checked.push_back(HasRecipient(field, address));
  }
  bool forgetFailed = false;
  menu.contextText = [&book](size_t index) {
    return index == 0 || index > book.size() ? std::string()
                                             : Text("msgRemoveEmail") + " " + book[index - 1];
  };
  menu.onContext = [this, &book, &forgetFailed](size_t index) {
    if (index == 0 || index > book.size()) return false;
    const bool forgotten = ForgetAddress(book[index - 1]);
    forgetFailed = forgetFailed || !forgotten;
    return forgotten;
  };
  const int chosen = view.ShowPopupMenu(kSendBook, menu);
  // Told once the menu is closed, so that no box opens over it.
  if (forgetFailed) ErrorBox(Text("SendAlbumDlgRemoveError"));
  if (chosen < 0 || static_cast<size_t>(chosen) > book.size()) return;

  std::string recipients = view.GetText(kSendTo);
  if (chosen == 0) {
    // Every address still in the book, those removed meanwhile not.
    for (const std::string& address : App().Session().Details().emailHistory) {
      recipients = WithRecipient(recipients, address);
    }
  } else {
    const std::string& address = book[static_cast<size_t>(chosen) - 1];
    recipients = HasRecipient(recipients, address) ? WithoutRecipient(recipients, address)
                                                   : WithRecipient(recipients, address);
  }
  view.SetText(kSendTo, recipients);
  modified_ = true;
  UpdateNextButton();
}

bool SendEmailDlg::OnNext() {
  PageView& view = View();
  const std::vector<std::string> recipients = SplitRecipients(view.GetText(kSendTo));
  if (recipients.empty()) {
    InfoBox(Text("SendAlbumDlgEmptyTO"));
    view.Focus(kSendTo);
    return false;
  }
  CHttpConnect* connection = App().MainConnection();
  if (connection == nullptr) return false;
  // Mail lines end in CR LF, whatever the field gives back.
  const std::string message =
      LfToCrLf(NormalizeToLf(view.GetText(kSendMessage), false, false, false));
  Window().ShowWaitPopup(Text("SendAlbumDlgSending"), Text("SendAlbumDlgTitle"));
  std::string errorText;
  const bool sent = SendAlbumMail(App().Session(), *connection, recipients,
                                  view.GetText(kSendSubject), message, &errorText);
  Window().CloseWaitPopup();
  if (!sent) {
    ErrorBox(errorText);
    return false;
  }
  InfoBox(Text("SendAlbumDlgSendOK"));
  modified_ = false;
  return true;
}

bool SendEmailDlg::OnBack() {
  if (!modified_) return true;
  return InfoQuestion(Text("msgSendAlbumDlg"), Text("msgWarning")) == Reply::kYes;
}

}  // namespace zerva
