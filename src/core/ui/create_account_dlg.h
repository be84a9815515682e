// The account-creation page: nick, e-mail and password checked while the user types (locally,
// then by the service), a language for the account, and the account made with CreateUser.
#pragma once

#include <array>
#include <string>

#include "ui/account_checks.h"
#include "ui/zerva_dialog.h"

namespace zerva {

// Controls of the account page.
inline constexpr int kAccountNickLabel = 200;
inline constexpr int kAccountNick = 201;
inline constexpr int kAccountNickStatus = 202;
inline constexpr int kAccountNickHelp = 203;
inline constexpr int kAccountEmailLabel = 204;
inline constexpr int kAccountEmail = 205;
inline constexpr int kAccountEmailStatus = 206;
inline constexpr int kAccountEmailHelp = 207;
inline constexpr int kAccountPasswordLabel = 208;
inline constexpr int kAccountPassword = 209;
inline constexpr int kAccountPasswordStatus = 210;
inline constexpr int kAccountPasswordHelp = 211;
inline constexpr int kAccountLanguageLabel = 212;
inline constexpr int kAccountLanguage = 213;
inline constexpr int kAccountLanguageHelp = 214;
inline constexpr int kAccountAgreeHelp = 215;
inline constexpr int kAccountAgreeLink = 216;
inline constexpr int kAccountCreate = 217;
inline constexpr int kAccountCancel = 218;

// The field timers, one per text field.
inline constexpr int kNickTimer = 1;
inline constexpr int kEmailTimer = 2;
inline constexpr int kPasswordTimer = 3;
// How long typing must pause before a field is checked.
inline constexpr int kValidationDelayMs = 300;

class CreateAccountDlg : public CZervaDialog {
 public:
  CreateAccountDlg(CzervaDlg& window, PageView& view);

  void UpdateTexts() override;
  void InitControls() override;
  void OnShowPage(bool cameBack) override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  void OnTimer(int timer) override;
  // Enter creates the account, unlike on every other page.
  void OnEnter() override { Create(); }

  void Create();
  void Cancel();
  const std::string& ErrorKey(AccountField field) const;
  int ChosenLocale() const { return chosenLocale_; }

 private:
  struct FieldState {
    std::string lastValidated;
    std::string lastTyped;
    std::string errorKey;
  };
  FieldState& State(AccountField field) { return fields_[static_cast<int>(field)]; }
  // The field's rules, the service's check included.
  std::string Validate(AccountField field, const std::string& value);
  void ShowError(AccountField field, const std::string& key);
  void UpdateCreateButton();
  void FillLanguages();

  std::array<FieldState, 3> fields_;
  int entryLocale_ = 0;
  int chosenLocale_ = 0;
};

}  // namespace zerva
