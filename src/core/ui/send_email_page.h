// The send-by-e-mail page ("SendEmailDlg"): mails the album's address to a list of recipients
// through the service, with the user's address book at hand. Reached from the post-upload page
// (and returns there) or from the albums page (and returns there).
#pragma once

#include <string>

#include "ui/zerva_dialog.h"

namespace zerva {

// Controls of the send page.
inline constexpr int kSendToLabel = 1130;
inline constexpr int kSendTo = 1131;
inline constexpr int kSendBook = 1132;  // the address book's button beside the recipients
inline constexpr int kSendSubjectLabel = 1133;
inline constexpr int kSendSubject = 1134;
inline constexpr int kSendMessageLabel = 1135;
inline constexpr int kSendMessage = 1136;

class SendEmailDlg : public CZervaDialog {
 public:
  SendEmailDlg(CzervaDlg& window, PageView& view);

  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  bool OnNext() override;
  bool OnBack() override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  // Enter in the recipients or the subject sends (the message field keeps its Enter).
  void OnEnter() override;

  // Whether the user changed a field since the page was filled.
  bool Modified() const { return modified_; }

 private:
  void UpdateNextButton();
  void ShowAddressBook();
  // DeleteEmailAddress; true when the address left the book.
  bool ForgetAddress(const std::string& address);

  bool modified_ = false;
};

}  // namespace zerva
