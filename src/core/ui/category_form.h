// The property form of a category: the competition form (six fixed contact fields, or the
// fields the service describes) and the flood-report form. A controller per form with its
// value map and validation map; the window is a CategoryFormView.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "category/category_tree.h"
#include "category/value_set.h"
#include "ui/category_form_view.h"

namespace zerva {

// Everything a form needs from outside, gathered by the caller.
struct CategoryFormContext {
  int categoryId = 0;
  std::string categoryName;              // display name, in the caption
  std::string valueSet;                  // the start values
  const CCategoryInfo* info = nullptr;   // the category (its link button, subcategories)
  const PropertyItems* items = nullptr;  // its form, or its parent's; none: a built-in form
  std::string userFullName;
  std::string userEmail;
  std::string albumName;  // the flood form's name and description fields
  std::string albumDesc;
  std::string linkText;  // the flood form's link field starts with it
  std::function<void(const std::string& url)> openUrl;
};

// Validation rules of the validation map.
inline constexpr int kRuleEdit = 0;   // an edit box that must not be empty
inline constexpr int kRuleCombo = 1;  // a list whose selection must be past its first entry
inline constexpr int kRuleItem = 2;   // a property-item control: its validators decide

// One property item on a form: its label and its input control.
class CDynCtrl {
 public:
  CDynCtrl(const PropertyItem& item, int labelId, int controlId)
      : item_(item), labelId_(labelId), controlId_(controlId) {}

  // Adds the label and the input control to the form's controls.
  void Create(std::vector<FormControl>& controls, int group) const;
  // The item's validators on GetValue.
  bool Check(const PageView& view, std::string* message) const;
  std::string GetValue(const PageView& view) const;
  void SetValue(PageView& view, const std::string& value) const;

  const PropertyItem& Item() const { return item_; }
  int Control() const { return controlId_; }
  FormControlKind Kind() const;

 private:
  const PropertyItem& item_;
  int labelId_;
  int controlId_;
};

// A field of a form by the key of its value.
struct FormField {
  std::string key;
  int control = 0;
  FormControlKind kind = FormControlKind::kEdit;
  std::string label;  // as shown, without the ":"
};

class CategoryDlg : public CategoryFormEvents {
 public:
  explicit CategoryDlg(CategoryFormContext context);
  ~CategoryDlg() override;
  CategoryDlg(const CategoryDlg&) = delete;
  CategoryDlg& operator=(const CategoryDlg&) = delete;

  // Builds the window, fills it and runs it; true when confirmed, Result() then holding the
  // confirmed value set.
  bool Run(CategoryFormView& view);
  const std::string& Result() const { return result_; }
  const std::string& Caption() const { return caption_; }
  const std::vector<FormControl>& Controls() const { return controls_; }
  // The fields that carry values, in form order.
  const std::vector<FormField>& Fields() const { return fields_; }
  const std::map<int, int>& ValidationMap() const { return validation_; }

  // True when the form is complete; `valueSetOut` (when given) gets the form's value set.
  virtual bool Collect(std::string* valueSetOut) = 0;
  // Checks the validation map in control order; the first failure's message goes into
  // `infoControl` (when not 0) after the heading's text.
  bool ValidateAll(int infoControl, const char* headingKey);
  bool ValidateControl(int control, int rule, std::string* firstMessage);

  // --- Events of the window ---
  void OnCommand(int control) override;
  void OnEnter() override;
  void OnEscape() override;

 protected:
  // Sets the controls from the value map; called once the window is built.
  virtual void OnInitDialog() = 0;
  void UpdateOkButton();
  // The value of `key`, or empty.
  std::string Value(const std::string& key) const;
  // Author and e-mail default to the signed-in user's when there is no value for them.
  void DefaultAuthor();
  void AddControl(int id, FormControlKind kind, std::string text, int group = 0,
                  std::string tooltip = {}, int colour = kDefaultTextColour);
  // A label (the key's text and ":") and its field.
  void AddField(int labelId, const char* labelKey, int id, FormControlKind kind, int group);
  // The category's link button, when it has an address.
  void AddCategoryLink();
  void AddAgreementAndButtons();

  CategoryFormContext context_;
  std::string caption_;
  ValueSet values_;
  std::map<int, int> validation_;  // control -> rule
  std::vector<FormControl> controls_;
  std::vector<CDynCtrl> dynamic_;
  std::vector<FormField> fields_;
  CategoryFormView* view_ = nullptr;
  std::string policyUrl_;  // opened by kFormPolicyLink

 private:
  const CDynCtrl* FindDynamic(int control) const;
  std::string result_;
};

// The competition form: the six fixed contact fields, or the category's property items.
class Competition : public CategoryDlg {
 public:
  explicit Competition(CategoryFormContext context);
  bool Collect(std::string* valueSetOut) override;
  bool Dynamic() const { return context_.items != nullptr && !context_.items->empty(); }

  void OnEdited(int control) override;
  void OnFocus(int control, bool gained) override;
  void OnTimer(int timer) override;

 protected:
  void OnInitDialog() override;

 private:
  bool IsField(int control) const;
};

// The flood-report form of the flood category when the service describes no fields for it.
class CFloods : public CategoryDlg {
 public:
  explicit CFloods(CategoryFormContext context);
  bool Collect(std::string* valueSetOut) override;

  void OnEdited(int control) override;
  void OnFocus(int control, bool gained) override;
  void OnTimer(int timer) override;

 protected:
  void OnInitDialog() override;

 private:
  std::vector<std::string> regions_;
  std::vector<std::string> subcategories_;
};

// The form for a category: the flood form for the flood category without property items, the
// competition form for every other.
std::unique_ptr<CategoryDlg> CreateCategoryDialog(CategoryFormContext context);

// The address of the owner's privacy policy, opened from the competition form.
inline constexpr const char* kPrivacyPolicyUrl = "https://www.zerva.net/privacy-policy";

// The picker's value for a stored date ("YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD"); the present
// local time for anything the picker cannot show.
std::string FormDateOrNow(const std::string& value);

// The split pieces of a ","-separated language text, empty pieces left out.
std::vector<std::string> SplitTextList(const std::string& text);

}  // namespace zerva
