#include "category_shots.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/category_form_dialog.h"
#include "gui_session.h"
#include "session/user_session.h"
#include "ui/category_form.h"
#include "ui/category_form_user.h"
#include "ui/zerva_app.h"

namespace zerva::test {
namespace {

// Opens the form, lets `act` fill some of it, shoots it and cancels it.
void ShootForm(gui::ZervaWindow& window, Shooter& shooter, CategoryFormContext context,
               const QString& name, const std::function<void(gui::CategoryFormDialog&)>& act) {
  std::unique_ptr<CategoryDlg> form = CreateCategoryDialog(std::move(context));
  gui::CategoryFormDialog dialog(&window);
  QTimer::singleShot(0, &dialog, [&] {
    act(dialog);
    Wait(50);
    shooter.Shoot(&dialog, name);
    dialog.Close(false);
  });
  (void)form->Run(dialog);
}

}  // namespace

void ShootCategoryForms(gui::ZervaWindow& window, Shooter& shooter) {
  CzervaApp& app = window.Controller().App();
  // The competition category without fields of its own: the six fixed fields.
  ShootForm(window, shooter, CategoryFormContextFor(app, 4, {}), "category-form-fixed",
            [](gui::CategoryFormDialog& dialog) {
              TypeInto(dialog.Widget(kFormAuthor), "Jana Nováková");
              TypeInto(dialog.Widget(kFormCity), "Třeboň");
              Click(dialog.Widget(kFormAgreement));
            });
  // The flood category as the service describes it.
  ShootForm(window, shooter, CategoryFormContextFor(app, 105, {}), "category-form-dynamic",
            [](gui::CategoryFormDialog& dialog) {
              Click(dialog.Widget(kFormAgreement));
              TypeInto(dialog.Widget(kFirstGeneratedControl + 2), "Třeboň");
              TypeInto(dialog.Widget(kFirstGeneratedControl + 6), "3500");
            });
  // The built-in flood form, as for a flood category that describes no fields.
  CategoryFormContext regional = CategoryFormContextFor(app, 105, {});
  regional.items = nullptr;
  ShootForm(window, shooter, std::move(regional), "category-form-regional",
            [](gui::CategoryFormDialog& dialog) {
              TypeInto(dialog.Widget(kFormLocation), "Třeboň");
              Click(dialog.Widget(kFormAgreement));
            });
}

}  // namespace zerva::test
