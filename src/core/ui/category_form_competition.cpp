// The competition form: six fixed contact fields, or the fields the service describes for the
// category, with the agreement box and the red information line.
#include "lang/text.h"
#include "ui/category_form.h"

namespace zerva {
namespace {

// The six fixed fields: label, control, language key, value key.
struct FixedField {
  int label;
  int control;
  const char* textKey;
  const char* valueKey;
};
constexpr FixedField kFixedFields[] = {
    {kFormAuthorLabel, kFormAuthor, "msgFloodsAuthor", "author"},
    {kFormAddressLabel, kFormAddress, "msgFloodsAddress", "address"},
    {kFormCityLabel, kFormCity, "msgFloodsCity", "city"},
    {kFormZipLabel, kFormZip, "msgFloodsZip", "zipcode"},
    {kFormPhoneLabel, kFormPhone, "msgFloodsPhone", "phone"},
    {kFormEmailLabel, kFormEmail, "msgFloodsEmail", "email"},
};

}  // namespace

Competition::Competition(CategoryFormContext context) : CategoryDlg(std::move(context)) {
  policyUrl_ = kPrivacyPolicyUrl;
  AddControl(kFormInfo, FormControlKind::kText, std::string(), 0, std::string(), 0xFF0000);
  AddControl(kFormPolicyLink, FormControlKind::kLink, Text("msgCompetitionURL"));
  AddCategoryLink();
  if (Dynamic()) {
    int next = kFirstGeneratedControl;
    int group = 0;
    std::string groupName;
    bool first = true;
    for (const PropertyItem& item : *context_.items) {
      const std::string name = ItemProperty(item, "groupName");
      if (first || name != groupName) {
        groupName = name;
        group = 0;
        if (!name.empty()) {
          group = next++;
          AddControl(group, FormControlKind::kGroup, name);
        }
      }
      first = false;
      const int label = next++;
      const int control = next++;
      dynamic_.emplace_back(item, label, control);
      dynamic_.back().Create(controls_, group);
      fields_.push_back({item.key, control, dynamic_.back().Kind(), item.name});
      validation_[control] = kRuleItem;
    }
  } else {
    AddControl(kFormAuthorGroup, FormControlKind::kGroup, Text("msgFloodsGrpAuthor"));
    for (const FixedField& field : kFixedFields) {
      AddField(field.label, field.textKey, field.control, FormControlKind::kEdit, kFormAuthorGroup);
      fields_.back().key = field.valueKey;
      validation_[field.control] = kRuleEdit;
    }
  }
  AddAgreementAndButtons();
}

void Competition::OnInitDialog() {
  PageView& view = view_->Controls();
  DefaultAuthor();
  if (Dynamic()) {
    // A value the service sets for the field wins over what the user entered before.
    for (const CDynCtrl& dyn : dynamic_) {
      const auto initial = dyn.Item().properties.find("initialValue");
      if (initial != dyn.Item().properties.end()) values_[dyn.Item().key] = initial->second;
    }
    for (const CDynCtrl& dyn : dynamic_) dyn.SetValue(view, Value(dyn.Item().key));
  } else {
    for (const FixedField& field : kFixedFields) {
      view.SetText(field.control, Value(field.valueKey));
    }
  }
  view.SetChecked(kFormAgreement, false);
  UpdateOkButton();
}

bool Competition::Collect(std::string* valueSetOut) {
  if (view_ == nullptr || !view_->Controls().IsChecked(kFormAgreement)) return false;
  if (!ValidateAll(kFormInfo, nullptr)) return false;
  if (Dynamic()) {
    if (valueSetOut != nullptr) {
      values_.clear();
      for (const CDynCtrl& dyn : dynamic_)
        values_[dyn.Item().key] = dyn.GetValue(view_->Controls());
      *valueSetOut = WriteValueSet(values_);
    }
    return true;
  }
  ValueSet fixed;
  for (const FixedField& field : kFixedFields) {
    const std::string value = view_->Controls().GetText(field.control);
    if (value.empty()) return false;
    fixed[field.valueKey] = value;
  }
  if (valueSetOut != nullptr) {
    values_ = std::move(fixed);
    *valueSetOut = WriteValueSet(values_);
  }
  return true;
}

bool Competition::IsField(int control) const {
  return validation_.count(control) != 0;
}

void Competition::OnEdited(int control) {
  if (view_ == nullptr) return;
  if (control == kFormAgreement) {
    if (!view_->Controls().IsChecked(kFormAgreement))
      view_->Controls().SetText(kFormInfo, std::string());
    UpdateOkButton();
  } else if (IsField(control)) {
    UpdateOkButton();
  }
}

void Competition::OnFocus(int control, bool gained) {
  if (view_ == nullptr || !IsField(control) || !view_->Controls().IsChecked(kFormAgreement)) return;
  if (gained) {
    ValidateAll(kFormInfo, nullptr);
  } else {
    view_->Controls().StartTimer(kFormValidateTimer, kFormValidateDelayMs);
  }
}

void Competition::OnTimer(int timer) {
  if (view_ == nullptr || timer != kFormValidateTimer) return;
  if (view_->Controls().IsChecked(kFormAgreement)) {
    ValidateAll(kFormInfo, nullptr);
  } else {
    view_->Controls().SetText(kFormInfo, std::string());
  }
}

}  // namespace zerva
