#include "ui/category_form.h"

#include <ctime>

#include "category/category_info.h"
#include "category/validator.h"
#include "lang/text.h"

namespace zerva {
namespace {

// Accepts "YYYY-MM-DD HH:MM:SS" and "YYYY-MM-DD"; false for anything else.
bool ParseDateTime(const std::string& text, std::tm* out) {
  std::tm tm{};
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                  &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &consumed) != 6 ||
      static_cast<size_t>(consumed) != text.size()) {
    tm = {};
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                    &consumed) != 3 ||
        static_cast<size_t>(consumed) != text.size()) {
      return false;
    }
  }
  if (tm.tm_year < 1601 || tm.tm_mon < 1 || tm.tm_mon > 12 || tm.tm_mday < 1 || tm.tm_mday > 31 ||
      tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59) {
    return false;
  }
  *out = tm;
  return true;
}

std::string FormatDateTime(const std::tm& tm) {
  // Room for any int in every field, so that nothing is cut whatever the fields hold.
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year, tm.tm_mon,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buffer;
}

}  // namespace

// --- The picker's value ---

namespace {
std::string NowAsFormDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_year += 1900;
  local.tm_mon += 1;
  return FormatDateTime(local);
}

}  // namespace

std::string FormDateOrNow(const std::string& value) {
  std::tm tm{};
  return ParseDateTime(value, &tm) ? FormatDateTime(tm) : NowAsFormDate();
}

std::vector<std::string> SplitTextList(const std::string& text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// --- CDynCtrl ---

FormControlKind CDynCtrl::Kind() const {
  if (item_.type == "select") return FormControlKind::kCombo;
  if (item_.type == "bool") return FormControlKind::kCheck;
  if (item_.type == "dateTime") return FormControlKind::kDateTime;
  // "string", "int" and a type this client does not know: typed in.
  return NumericValue(ItemProperty(item_, "multiline")) != 0 ? FormControlKind::kMultiEdit
                                                             : FormControlKind::kEdit;
}

void CDynCtrl::Create(std::vector<FormControl>& controls, int group) const {
  controls.push_back({labelId_, FormControlKind::kLabel, item_.name + ":", item_.description, group,
                      kDefaultTextColour});
  // A check box carries no text of its own: its label says what it means.
  controls.push_back(
      {controlId_, Kind(), std::string(), item_.description, group, kDefaultTextColour});
}

bool CDynCtrl::Check(const PageView& view, std::string* message) const {
  return CheckValue(item_, GetValue(view), message);
}

std::string CDynCtrl::GetValue(const PageView& view) const {
  switch (Kind()) {
    case FormControlKind::kCombo: {
      const std::vector<std::string> choices = SelectChoices(item_);
      const int index = view.Selected(controlId_);
      if (index < 0 || static_cast<size_t>(index) >= choices.size()) return {};
      return choices[static_cast<size_t>(index)];
    }
    case FormControlKind::kCheck:
      return view.IsChecked(controlId_) ? "true" : "false";
    default:
      return view.GetText(controlId_);
  }
}

void CDynCtrl::SetValue(PageView& view, const std::string& value) const {
  switch (Kind()) {
    case FormControlKind::kCombo: {
      const std::vector<std::string> choices = SelectChoices(item_);
      view.SetItems(controlId_, choices);
      int index = -1;
      for (size_t i = 0; i < choices.size() && index < 0; ++i) {
        if (choices[i] == value) index = static_cast<int>(i);
      }
      view.Select(controlId_, index);
      break;
    }
    case FormControlKind::kCheck:
      view.SetChecked(controlId_, value == "true" || value == "1");
      break;
    case FormControlKind::kDateTime:
      view.SetText(controlId_, FormDateOrNow(value));
      break;
    default:
      view.SetText(controlId_, value);
      break;
  }
}

// --- CategoryDlg ---

CategoryDlg::CategoryDlg(CategoryFormContext context)
    : context_(std::move(context)),
      caption_(Text("msgFloodsCaption") + " " + context_.categoryName),
      values_(ParseValueSet(context_.valueSet)) {}

CategoryDlg::~CategoryDlg() = default;

bool CategoryDlg::Run(CategoryFormView& view) {
  view_ = &view;
  view.Build(caption_, controls_);
  OnInitDialog();
  const bool ok = view.RunModal(*this);
  view_ = nullptr;
  return ok && !result_.empty();
}

std::string CategoryDlg::Value(const std::string& key) const {
  const auto it = values_.find(key);
  return it == values_.end() ? std::string() : it->second;
}

void CategoryDlg::DefaultAuthor() {
  if (Value("author").empty()) values_["author"] = context_.userFullName;
  if (Value("email").empty()) values_["email"] = context_.userEmail;
}

void CategoryDlg::AddControl(int id, FormControlKind kind, std::string text, int group,
                             std::string tooltip, int colour) {
  controls_.push_back({id, kind, std::move(text), std::move(tooltip), group, colour});
}

void CategoryDlg::AddField(int labelId, const char* labelKey, int id, FormControlKind kind,
                           int group) {
  AddControl(labelId, FormControlKind::kLabel, Text(labelKey) + ":", group);
  AddControl(id, kind, std::string(), group);
  fields_.push_back({std::string(), id, kind, Text(labelKey)});
}

void CategoryDlg::AddCategoryLink() {
  const CCategoryInfo* info = context_.info;
  if (info == nullptr || info->url.empty()) return;
  AddControl(kFormCategoryLink, FormControlKind::kLink,
             info->caption.empty() ? info->url : info->caption, 0, info->description);
}

void CategoryDlg::AddAgreementAndButtons() {
  AddControl(kFormAgreementLabel, FormControlKind::kText, Text("msgFloodsAgreementLbl"));
  AddControl(kFormAgreement, FormControlKind::kCheck, Text("msgFloodsAgreement"));
  AddControl(kFormOk, FormControlKind::kButton, Text("msgFloodsOK"));
  AddControl(kFormCancel, FormControlKind::kButton, Text("btnCancel"));
}

void CategoryDlg::UpdateOkButton() {
  if (view_ != nullptr) view_->Controls().Enable(kFormOk, Collect(nullptr));
}

const CDynCtrl* CategoryDlg::FindDynamic(int control) const {
  for (const CDynCtrl& dyn : dynamic_) {
    if (dyn.Control() == control) return &dyn;
  }
  return nullptr;
}

bool CategoryDlg::ValidateAll(int infoControl, const char* headingKey) {
  std::string firstMessage;
  bool valid = true;
  for (const auto& [control, rule] : validation_) {
    valid = ValidateControl(control, rule, &firstMessage) && valid;
  }
  if (infoControl != 0 && view_ != nullptr) {
    std::string text = headingKey != nullptr ? Text(headingKey) : std::string();
    if (!firstMessage.empty()) text += (text.empty() ? "" : " ") + firstMessage;
    view_->Controls().SetText(infoControl, text);
  }
  return valid;
}

bool CategoryDlg::ValidateControl(int control, int rule, std::string* firstMessage) {
  if (view_ == nullptr) return true;
  bool valid = true;
  const bool focused = view_->FocusedControl() == control;
  if (rule == kRuleEdit) {
    // The field being typed in is not judged yet.
    valid = focused || !view_->Controls().GetText(control).empty();
  } else if (rule == kRuleCombo) {
    valid = focused || view_->Controls().Selected(control) > 0;
  } else if (const CDynCtrl* dyn = FindDynamic(control)) {
    std::string message;
    valid = dyn->Check(view_->Controls(), &message);
    if (!valid && firstMessage != nullptr && firstMessage->empty()) *firstMessage = message;
  }
  view_->SetFramed(control, !valid);
  return valid;
}

void CategoryDlg::OnCommand(int control) {
  if (view_ == nullptr) return;
  if (control == kFormOk) {
    std::string out;
    // An incomplete form cannot be confirmed, whatever enabled the button.
    if (!Collect(&out)) return;
    result_ = out;
    view_->Close(true);
  } else if (control == kFormCancel) {
    view_->Close(false);
  } else if (control == kFormCategoryLink && context_.info != nullptr && context_.openUrl) {
    context_.openUrl(context_.info->url);
  } else if (control == kFormPolicyLink && context_.openUrl && !policyUrl_.empty()) {
    context_.openUrl(policyUrl_);
  }
}

void CategoryDlg::OnEnter() {
  OnCommand(kFormOk);
}

void CategoryDlg::OnEscape() {
  if (view_ != nullptr) view_->Close(false);
}

std::unique_ptr<CategoryDlg> CreateCategoryDialog(CategoryFormContext context) {
  const bool hasItems = context.items != nullptr && !context.items->empty();
  if (context.categoryId == kFloodCategoryId && !hasItems) {
    return std::make_unique<CFloods>(std::move(context));
  }
  return std::make_unique<Competition>(std::move(context));
}

}  // namespace zerva
