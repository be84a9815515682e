// The login page: the first page of the wizard, where the user signs in with e-mail and
// password, optionally remembered, and from where an account is created.
#pragma once

#include <string>
#include <vector>

#include "ui/zerva_dialog.h"

namespace zerva {

// Controls of the login page.
inline constexpr int kLoginEmailLabel = 100;
inline constexpr int kLoginEmail = 101;
inline constexpr int kLoginHistory = 102;
inline constexpr int kLoginPasswordLabel = 103;
inline constexpr int kLoginPassword = 104;
inline constexpr int kLoginRemember = 105;
inline constexpr int kLoginButton = 106;
inline constexpr int kLoginForgot = 107;
inline constexpr int kLoginOr = 108;
inline constexpr int kLoginCreate = 109;
inline constexpr int kLoginNotice = 110;

class CLoginDlg : public CZervaDialog {
 public:
  CLoginDlg(CzervaDlg& window, PageView& view);

  void UpdateTexts() override;
  void InitControls() override;
  void OnShowPage(bool cameBack) override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  // Enter in the e-mail or the password field signs in, as the login button does.
  void OnEnter() override { Login(); }

  // Signs in with a login name and a password digest; both empty: from the fields. Nothing
  // happens while the session is signed in.
  void Login(const std::string& loginName = {}, const std::string& passwordDigest = {});

  // The history menu, newest first.
  std::vector<std::string> HistoryMenu() const;
  void ChooseHistoryEntry(const std::string& email);
  void RemoveHistoryEntry(const std::string& email);

  // The e-mail field trimmed, and written back so.
  std::string ReadEmail();
  // The remembered digest, or the digest of what is typed (empty when nothing is).
  std::string ReadPasswordDigest() const;
  bool HoldsStoredDigest() const { return storedDigest_; }

 private:
  void SetPassword(const std::string& text, bool isDigest);
  void ShowHistoryMenu();
  void ReportFailure(const std::string& message);

  bool loading_ = false;
  bool storedDigest_ = false;
  // After the user gave up loading the album list the page is shown again without signing in
  // from the remembered fields or the command line, which would only ask the same question
  // again.
  bool skipRememberedSignIn_ = false;
  std::vector<std::string> history_;  // oldest first
};

}  // namespace zerva
