#include "cli/upload_categories.h"

#include <set>
#include <string>

#include "category/album_categories.h"
#include "category/value_set.h"
#include "model/album.h"
#include "session/user_session.h"
#include "ui/category_form.h"
#include "ui/category_form_fill.h"
#include "ui/category_form_user.h"
#include "ui/category_menu.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

// The category's form filled from the command line; its value set, or false with the reasons.
bool FillForm(CliContext& context, int id, const std::string& startValues, const ValueSet& given,
              std::set<std::string>* usedKeys, std::string* confirmed) {
  CzervaApp& app = *context.app;
  std::unique_ptr<CategoryDlg> form =
      CreateCategoryDialog(CategoryFormContextFor(app, id, startValues));
  for (const FormField& field : form->Fields()) {
    if (given.count(field.key) != 0) usedKeys->insert(field.key);
  }
  const FilledForm filled = FillCategoryForm(*form, given, context.args.agree);
  if (filled.confirmed) {
    *confirmed = filled.valueSet;
    return true;
  }
  std::fprintf(context.err, "zerva-cli: the form of category %d is not complete:\n", id);
  for (const FormProblem& problem : filled.problems) {
    if (problem.message.empty()) {
      std::fprintf(context.err, "  %s: must not be empty (--field)\n", problem.field.c_str());
    } else {
      std::fprintf(context.err, "  %s: %s\n", problem.field.c_str(), problem.message.c_str());
    }
  }
  if (filled.agreementMissing) {
    std::fprintf(context.err, "  the form asks you to agree: add --agree\n");
  }
  return false;
}

}  // namespace

bool ApplyCategories(CliContext& context) {
  if (context.args.categories.empty()) return true;
  CzervaApp& app = *context.app;
  CUserSession& session = app.Session();
  CAlbum& album = app.CurrentAlbum();
  ValueSet given;
  for (const auto& [key, value] : context.args.fields) given[key] = value;
  std::set<std::string> usedKeys;
  bool ok = true;
  for (const int id : context.args.categories) {
    const CCategoryInfo* info = session.Categories().GetCategoryInfo(id);
    if (info == nullptr) {
      std::fprintf(context.err, "zerva-cli: the service has no category %d\n", id);
      ok = false;
      continue;
    }
    if (CategoryLocked(session.Categories(), id)) {
      std::fprintf(context.err, "zerva-cli: category %d (%s) cannot be chosen\n", id,
                   info->name.c_str());
      ok = false;
      continue;
    }
    if (HasCategory(album.albumCategory, id)) {
      // Already there: only its form values are given again.
      if (!CategoryNeedsForm(session.Categories(), id)) continue;
      std::string confirmed;
      if (FillForm(context, id, session.StartValues(id), given, &usedKeys, &confirmed)) {
        session.StoreConfirmedValues(id, confirmed);
      } else {
        ok = false;
      }
      continue;
    }
    bool formRefused = false;
    CategoryMenuHost host{
        session, album,
        [&context](const std::string& text) {
          std::fprintf(context.err, "zerva-cli: %s\n", text.c_str());
        },
        [&context](const std::string& question) {
          return context.dialogs.ShowMessage(question, MessageKind::kInformation,
                                             MessageButtons::kYesNo) == Reply::kYes;
        },
        [&](int category, const std::string& startValues, std::string* confirmed) {
          formRefused = !FillForm(context, category, startValues, given, &usedKeys, confirmed);
          return !formRefused;
        }};
    const CategoryChoice choice = ChooseCategory(host, id);
    if (choice == CategoryChoice::kAdded) {
      album.modified = true;
      std::fprintf(context.err, "Category %d (%s) added\n", id, info->name.c_str());
    } else {
      if (choice == CategoryChoice::kCancelled && !formRefused) {
        std::fprintf(context.err, "zerva-cli: category %d was not added\n", id);
      }
      ok = false;
    }
  }
  for (const auto& [key, value] : given) {
    if (usedKeys.count(key) == 0) {
      std::fprintf(context.err, "zerva-cli: no form of the chosen categories has the field '%s'\n",
                   key.c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace zerva::cli
