#include "ui/category_form_fill.h"

#include "ui/table_page_view.h"

namespace zerva {
namespace {

class TableFormView : public CategoryFormView {
 public:
  TableFormView(const ValueSet& given, bool agree, FilledForm& filled, CategoryDlg& form)
      : given_(given), agree_(agree), filled_(filled), form_(form) {}

  PageView& Controls() override { return controls_; }
  void Build(const std::string& /*caption*/, const std::vector<FormControl>& /*c*/) override {}
  void SetFramed(int /*control*/, bool /*framed*/) override {}
  int FocusedControl() const override { return 0; }
  void Close(bool ok) override { ok_ = ok; }

  bool RunModal(CategoryFormEvents& events) override {
    for (const auto& [key, value] : given_) {
      bool known = false;
      for (const FormField& field : form_.Fields()) {
        if (field.key != key) continue;
        known = true;
        Enter(field, value);
        events.OnEdited(field.control);
      }
      if (!known) filled_.unknownKeys.push_back(key);
    }
    controls_.SetChecked(kFormAgreement, agree_);
    events.OnEdited(kFormAgreement);
    events.OnCommand(kFormOk);
    if (!ok_) Explain();
    return ok_;
  }

 private:
  void Enter(const FormField& field, const std::string& value) {
    if (field.kind == FormControlKind::kCombo) {
      const std::vector<std::string>& items = controls_.Items(field.control);
      int index = -1;
      for (size_t i = 0; i < items.size() && index < 0; ++i) {
        if (items[i] == value) index = static_cast<int>(i);
      }
      controls_.Select(field.control, index);
    } else if (field.kind == FormControlKind::kCheck) {
      controls_.SetChecked(field.control, value == "true" || value == "1");
    } else if (field.kind == FormControlKind::kDateTime) {
      controls_.SetText(field.control, FormDateOrNow(value));
    } else {
      controls_.SetText(field.control, value);
    }
  }

  // Every failing field, not only the first.
  void Explain() {
    filled_.agreementMissing = !agree_;
    for (const FormField& field : form_.Fields()) {
      const auto rule = form_.ValidationMap().find(field.control);
      if (rule == form_.ValidationMap().end()) continue;
      std::string message;
      if (!form_.ValidateControl(field.control, rule->second, &message)) {
        filled_.problems.push_back({field.label, message});
      }
    }
  }

  const ValueSet& given_;
  bool agree_;
  FilledForm& filled_;
  CategoryDlg& form_;
  TablePageView controls_;
  bool ok_ = false;
};

}  // namespace

FilledForm FillCategoryForm(CategoryDlg& form, const ValueSet& given, bool agree) {
  FilledForm filled;
  TableFormView view(given, agree, filled, form);
  filled.confirmed = form.Run(view);
  if (filled.confirmed) filled.valueSet = form.Result();
  return filled;
}

}  // namespace zerva
