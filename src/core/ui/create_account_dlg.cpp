#include "ui/create_account_dlg.h"

#include "app/elements.h"
#include "app/trace.h"
#include "lang/languages.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

struct FieldControls {
  int edit;
  int status;
  int timer;
};

constexpr FieldControls kControls[] = {
    {kAccountNick, kAccountNickStatus, kNickTimer},
    {kAccountEmail, kAccountEmailStatus, kEmailTimer},
    {kAccountPassword, kAccountPasswordStatus, kPasswordTimer},
};

const FieldControls& ControlsOf(AccountField field) {
  return kControls[static_cast<int>(field)];
}

constexpr AccountField kFields[] = {AccountField::kNick, AccountField::kEmail,
                                    AccountField::kPassword};

}  // namespace

CreateAccountDlg::CreateAccountDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kCreateAccount, view) {}

void CreateAccountDlg::UpdateTexts() {
  Window().SetHeaderTitle(Text("createAccountDlg"));
  Window().SetHeaderText(Text("createAccountDlg"));
  Window().ShowNextButton(false);
  Window().ShowBackButton(false);
  PageView& view = View();
  view.SetText(kAccountNickLabel, Text("btnNick"));
  view.SetText(kAccountEmailLabel, Text("email"));
  view.SetText(kAccountPasswordLabel, Text("pass"));
  view.SetText(kAccountLanguageLabel, Text("btnLang"));
  view.SetText(kAccountNickHelp, Text("btnNickTool"));
  view.SetText(kAccountEmailHelp, Text("btnEmailTool"));
  view.SetText(kAccountPasswordHelp, Text("btnPasswdTool"));
  view.SetText(kAccountLanguageHelp, Text("btnLangTool"));
  view.SetText(kAccountAgreeHelp, Text("btnAgreeTool"));
  view.SetText(kAccountAgreeLink, Text("btnAgreeLink"));
  view.SetText(kAccountCreate, Text("btnCreateAccount"));
  view.SetText(kAccountCancel, Text("btnCancelCreate"));
  for (const AccountField field : kFields) ShowError(field, State(field).errorKey);
  CZervaDialog::UpdateTexts();
}

void CreateAccountDlg::InitControls() {
  SetTooltipEntry(kAccountAgreeLink, "newRulesTool");
  FillLanguages();
}

void CreateAccountDlg::FillLanguages() {
  std::vector<std::string> names;
  int selected = -1;
  for (const Language& language : Languages()) {
    if (language.localeId == chosenLocale_) selected = static_cast<int>(names.size());
    names.emplace_back(language.name);
  }
  View().SetItems(kAccountLanguage, names);
  View().Select(kAccountLanguage, selected);
}

void CreateAccountDlg::OnShowPage(bool cameBack) {
  PageView& view = View();
  entryLocale_ = chosenLocale_ = App().Lang().LocationId();
  fields_ = {};
  for (const AccountField field : kFields) view.StopTimer(ControlsOf(field).timer);
  FillLanguages();
  if (cameBack) {
    LoginHandOver& handOver = Window().HandOver();
    view.SetText(kAccountEmail, handOver.prefillEmail);
    view.SetText(kAccountPassword, handOver.prefillPassword);
    handOver.prefillEmail.clear();
    handOver.prefillPassword.clear();
  }
  view.SetText(kAccountNick, "");
  for (const AccountField field : kFields) {
    FieldState& state = State(field);
    const std::string value = view.GetText(ControlsOf(field).edit);
    state.lastValidated = state.lastTyped = value;
    ShowError(field, Validate(field, value));
  }
  UpdateCreateButton();
  view.Focus(kAccountNick);
}

std::string CreateAccountDlg::Validate(AccountField field, const std::string& value) {
  CHttpConnect* connection = App().MainConnection();
  switch (field) {
    case AccountField::kNick: {
      std::string key = NickLocalError(value);
      if (!key.empty() || connection == nullptr) return key;
      const ApiResult check = connection->CheckUserName(value);
      return check.Ok() ? NickCheckError(GetElementInt(check.value, "code")) : std::string();
    }
    case AccountField::kEmail: {
      std::string key = EmailLocalError(value);
      if (!key.empty() || connection == nullptr) return key;
      const ApiResult check = connection->CheckUserMail(value);
      return check.Ok() ? EmailCheckError(GetElementInt(check.value, "code")) : std::string();
    }
    case AccountField::kPassword:
      return PasswordError(value);
  }
  return {};
}

const std::string& CreateAccountDlg::ErrorKey(AccountField field) const {
  return fields_[static_cast<int>(field)].errorKey;
}

void CreateAccountDlg::ShowError(AccountField field, const std::string& key) {
  State(field).errorKey = key;
  View().SetText(ControlsOf(field).status, key.empty() ? std::string() : Text(key));
}

void CreateAccountDlg::UpdateCreateButton() {
  bool clean = true;
  for (const FieldState& state : fields_) clean = clean && state.errorKey.empty();
  View().Enable(kAccountCreate, clean);
}

void CreateAccountDlg::OnEdited(int control) {
  if (control == kAccountLanguage) {
    const int index = View().Selected(kAccountLanguage);
    const auto languages = Languages();
    if (index < 0 || static_cast<size_t>(index) >= languages.size()) return;
    const int localeId = languages[index].localeId;
    if (localeId == chosenLocale_) return;
    if (Window().SwitchLanguage(localeId)) {
      chosenLocale_ = localeId;
      Window().OnLanguageChanged();
    }
    return;
  }
  for (const AccountField field : kFields) {
    const FieldControls& controls = ControlsOf(field);
    if (controls.edit != control) continue;
    State(field).lastTyped = View().GetText(control);
    View().StartTimer(controls.timer, kValidationDelayMs);
  }
}

void CreateAccountDlg::OnTimer(int timer) {
  for (const AccountField field : kFields) {
    const FieldControls& controls = ControlsOf(field);
    if (controls.timer != timer) continue;
    FieldState& state = State(field);
    const std::string value = View().GetText(controls.edit);
    if (value != state.lastTyped || value == state.lastValidated) return;
    View().StopTimer(timer);
    state.lastValidated = value;
    const std::string key = Validate(field, value);
    if (key != state.errorKey) {
      ShowError(field, key);
      UpdateCreateButton();
    }
  }
}

void CreateAccountDlg::Create() {
  PageView& view = View();
  const std::string nick = view.GetText(kAccountNick);
  const std::string email = view.GetText(kAccountEmail);
  const std::string password = view.GetText(kAccountPassword);
  CHttpConnect* connection = App().MainConnection();
  if (connection == nullptr) return;
  const ApiResult result = connection->CreateUser(nick, email, password, chosenLocale_);
  CreateUserOutcome outcome;
  if (result.Ok()) {
    outcome = InterpretCreateUser(GetElementInt(result.value, "code"),
                                  GetElementInt(result.value, "userID"));
  } else {
    // A call that did not get through says so beside the nick rather than nothing at all.
    TraceText(kTraceError, "CreateUser: " + result.message);
    outcome = InterpretCreateUser(-1, 0);
  }
  if (outcome.created) {
    LoginHandOver& handOver = Window().HandOver();
    handOver.returnedFromAccountPage = true;
    handOver.prefillEmail = email;
    handOver.prefillPassword = password;
    Window().GoTo(kLoginPage, nullptr);
    return;
  }
  ShowError(outcome.field, outcome.errorKey);
  UpdateCreateButton();
  view.Focus(ControlsOf(outcome.field).edit);
}

void CreateAccountDlg::Cancel() {
  if (chosenLocale_ != entryLocale_ && Window().SwitchLanguage(entryLocale_)) {
    chosenLocale_ = entryLocale_;
    Window().OnLanguageChanged();
  }
  Window().HandOver().returnedFromAccountPage = true;
  Window().GoTo(kLoginPage, nullptr);
}

void CreateAccountDlg::OnCommand(int control) {
  switch (control) {
    case kAccountCreate:
      Create();
      break;
    case kAccountCancel:
      Cancel();
      break;
    case kAccountAgreeLink:
      Window().OpenUrl(AccountRulesUrl());
      break;
    default:
      break;
  }
}

}  // namespace zerva
