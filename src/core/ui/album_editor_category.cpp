// CEditPhotosDlg: the category button, its menu and the categories' property forms.
#include <memory>

#include "lang/text.h"
#include "model/album.h"
#include "session/user_session.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/category_form.h"
#include "ui/category_form_user.h"
#include "ui/category_form_windows.h"
#include "ui/category_menu.h"
#include "ui/zerva_app.h"

namespace zerva {

void CEditPhotosDlg::OnCategoryMenu() {
  CUserSession& session = app_.Session();
  CAlbum& album = Album();
  const int id = controls_.ShowMenu(kEditCategoryButton,
                                    CategoryMenuEntries(session.Categories(), album.albumCategory));
  CategoryMenuHost host{
      session, album,
      [this](const std::string& text) { app_.MessageBox(text, MessageKind::kInformation); },
      [this](const std::string& question) {
        return app_.MessageBox(question, MessageKind::kInformation, MessageButtons::kYesNo) ==
               Reply::kYes;
      },
      [this](int category, const std::string& startValues, std::string* confirmed) {
        return RunCategoryForm(category, startValues, confirmed);
      }};
  const CategoryChoice choice = ChooseCategory(host, id);
  if (choice != CategoryChoice::kAdded && choice != CategoryChoice::kRemoved) return;
  ShowCategory();
  MarkModified();
  if (choice == CategoryChoice::kAdded) {
    ShowVisibility();
    ShowResolutions();
    list_->StartLoader();
  }
}

bool CEditPhotosDlg::RunCategoryForm(int id, const std::string& startValues,
                                     std::string* confirmed) {
  std::unique_ptr<CategoryFormView> window = NewCategoryFormWindow();
  if (window == nullptr) {
    app_.MessageBox(Text("msgNoCategoryForm"), MessageKind::kInformation);
    return false;
  }
  std::unique_ptr<CategoryDlg> form =
      CreateCategoryDialog(CategoryFormContextFor(app_, id, startValues));
  if (!form->Run(*window)) return false;
  *confirmed = form->Result();
  return true;
}

}  // namespace zerva
