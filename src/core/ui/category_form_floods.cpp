// The flood-report form: the event, its region and subcategory, the author, and the agreement.
#include "app/elements.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "ui/category_form.h"

namespace zerva {
namespace {

struct FloodField {
  int label;
  int control;
  const char* textKey;
  const char* valueKey;
  FormControlKind kind;
  int group;
  int rule;  // -1: not checked
};
constexpr FloodField kFloodFields[] = {
    {kFormNameLabel, kFormName, "msgFloodsName", "name", FormControlKind::kEdit, kFormEventGroup,
     kRuleEdit},
    {kFormDescLabel, kFormDesc, "msgFloodsDesc", "desc", FormControlKind::kMultiEdit,
     kFormEventGroup, kRuleEdit},
    {kFormLocationLabel, kFormLocation, "msgFloodsLocation", "location", FormControlKind::kEdit,
     kFormEventGroup, kRuleEdit},
    {kFormRegionLabel, kFormRegion, "msgFloodsRegion", "region", FormControlKind::kCombo,
     kFormEventGroup, kRuleCombo},
    {kFormSubcategoryLabel, kFormSubcategory, "msgSubcategory", "subcategory",
     FormControlKind::kCombo, kFormEventGroup, kRuleCombo},
    {kFormDateLabel, kFormDate, "msgFloodsDate", "date", FormControlKind::kDateTime,
     kFormEventGroup, -1},
    {kFormAuthorLabel, kFormAuthor, "msgFloodsAuthor", "author", FormControlKind::kEdit,
     kFormAuthorGroup, kRuleEdit},
    {kFormAddressLabel, kFormAddress, "msgFloodsAddress", "address", FormControlKind::kEdit,
     kFormAuthorGroup, kRuleEdit},
    {kFormCityLabel, kFormCity, "msgFloodsCity", "city", FormControlKind::kEdit, kFormAuthorGroup,
     kRuleEdit},
    {kFormZipLabel, kFormZip, "msgFloodsZip", "zipcode", FormControlKind::kEdit, kFormAuthorGroup,
     kRuleEdit},
    {kFormPhoneLabel, kFormPhone, "msgFloodsPhone", "phone", FormControlKind::kEdit,
     kFormAuthorGroup, kRuleEdit},
    {kFormEmailLabel, kFormEmail, "msgFloodsEmail", "email", FormControlKind::kEdit,
     kFormAuthorGroup, kRuleEdit},
    {kFormLinkLabel, kFormLink, "msgFloodsLink", "link", FormControlKind::kEdit, kFormAuthorGroup,
     -1},
};

constexpr const char* kNoSubcategories =
    "No subcategories received from the server, using hardcoded list";

}  // namespace

CFloods::CFloods(CategoryFormContext context) : CategoryDlg(std::move(context)) {
  policyUrl_ = CategoryListingUrl(context_.categoryId);
  AddControl(kFormInstructions, FormControlKind::kText, Text("msgFloodsInstructions"));
  AddControl(kFormInfo, FormControlKind::kText, Text("msgFloodsInfo"), 0, std::string(), 0xFF0000);
  AddControl(kFormPolicyLink, FormControlKind::kLink, Text("msgFloodsURL"));
  AddCategoryLink();
  AddControl(kFormEventGroup, FormControlKind::kGroup, Text("msgFloodsGrpEvent"));
  for (const FloodField& field : kFloodFields) {
    if (field.group == kFormAuthorGroup && field.control == kFormAuthor) {
      AddControl(kFormAuthorGroup, FormControlKind::kGroup, Text("msgFloodsGrpAuthor"));
    }
    AddField(field.label, field.textKey, field.control, field.kind, field.group);
    fields_.back().key = field.valueKey;
    if (field.rule >= 0) validation_[field.control] = field.rule;
  }
  AddControl(kFormLinkHint, FormControlKind::kText, Text("msgFloodsLink2"), kFormAuthorGroup);
  AddAgreementAndButtons();

  regions_.push_back(Text("msgSelect"));
  for (std::string& region : SplitTextList(Text("regionNames"))) {
    regions_.push_back(std::move(region));
  }
  subcategories_.push_back(Text("msgSelect"));
  const std::vector<std::string> received =
      context_.info != nullptr ? GetElements(context_.info->subCategories, "subCategory")
                               : std::vector<std::string>();
  if (received.empty()) {
    Trace(kTraceWarning, 0, "%s\n", kNoSubcategories);
    for (std::string& name : SplitTextList(Text("subcategoryNames"))) {
      subcategories_.push_back(std::move(name));
    }
  } else {
    subcategories_.insert(subcategories_.end(), received.begin(), received.end());
  }
}

void CFloods::OnInitDialog() {
  PageView& view = view_->Controls();
  // The album's own name and description, whatever was stored.
  const std::string desc = NormalizeToLf(context_.albumDesc, true, false, false);
  if (Value("name").empty()) values_["name"] = context_.albumName;
  if (Value("desc").empty()) values_["desc"] = desc;
  DefaultAuthor();
  for (const FloodField& field : kFloodFields) {
    if (field.kind == FormControlKind::kEdit || field.kind == FormControlKind::kMultiEdit) {
      view.SetText(field.control, Value(field.valueKey));
    }
  }
  view.SetText(kFormName, context_.albumName);
  view.SetText(kFormDesc, desc);
  view.SetText(kFormLink, context_.linkText);
  view.SetText(kFormDate, FormDateOrNow(Value("date")));
  const auto fill = [&view, this](int control, const std::vector<std::string>& entries,
                                  const std::string& key) {
    view.SetItems(control, entries);
    int index = 0;
    for (size_t i = 1; i < entries.size() && index == 0; ++i) {
      if (entries[i] == Value(key)) index = static_cast<int>(i);
    }
    view.Select(control, index);
  };
  fill(kFormRegion, regions_, "region");
  fill(kFormSubcategory, subcategories_, "subcategory");
  view.SetChecked(kFormAgreement, false);
  UpdateOkButton();
}

bool CFloods::Collect(std::string* valueSetOut) {
  if (view_ == nullptr) return false;
  const bool valid = ValidateAll(0, nullptr);
  if (!view_->Controls().IsChecked(kFormAgreement) || !valid) return false;
  ValueSet read;
  for (const FloodField& field : kFloodFields) {
    std::string value;
    if (field.kind == FormControlKind::kCombo) {
      const std::vector<std::string>& entries =
          field.control == kFormRegion ? regions_ : subcategories_;
      const int index = view_->Controls().Selected(field.control);
      if (index >= 0 && static_cast<size_t>(index) < entries.size()) {
        value = entries[static_cast<size_t>(index)];
      }
    } else {
      value = view_->Controls().GetText(field.control);
    }
    if (value.empty() && field.control != kFormLink) return false;
    read[field.valueKey] = value;
  }
  if (valueSetOut != nullptr) {
    values_ = std::move(read);
    *valueSetOut = WriteValueSet(values_);
  }
  return true;
}

void CFloods::OnEdited(int /*control*/) {
  UpdateOkButton();
}

void CFloods::OnFocus(int control, bool gained) {
  if (view_ == nullptr || !view_->Controls().IsChecked(kFormAgreement)) return;
  bool field = false;
  for (const FloodField& f : kFloodFields) field = field || f.control == control;
  if (!field) return;
  if (gained) {
    ValidateAll(0, nullptr);
  } else {
    view_->Controls().StartTimer(kFormValidateTimer, kFormValidateDelayMs);
  }
}

void CFloods::OnTimer(int timer) {
  if (timer == kFormValidateTimer) ValidateAll(0, nullptr);
}

}  // namespace zerva
