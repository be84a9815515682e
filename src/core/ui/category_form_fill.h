// A category's form filled in without a window, as a person would fill it: the given values
// typed into the fields of their keys (the rest keep their start values), the agreement box
// ticked or not, then OK. The same validators decide, with the same messages.
#pragma once

#include <string>
#include <vector>

#include "category/value_set.h"
#include "ui/category_form.h"

namespace zerva {

struct FormProblem {
  std::string field;    // its label
  std::string message;  // the validator's message; empty: the field must not be empty
};

struct FilledForm {
  bool confirmed = false;
  std::string valueSet;  // when confirmed
  bool agreementMissing = false;
  std::vector<FormProblem> problems;     // every failing field, in form order
  std::vector<std::string> unknownKeys;  // given keys no field has
};

FilledForm FillCategoryForm(CategoryDlg& form, const ValueSet& given, bool agree);

}  // namespace zerva
